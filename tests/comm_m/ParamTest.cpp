// 16-bit and 32-bit parameter transfers of a family M amplifier: blocks, single reads and writes under the
// execution right, EEPROM writes and the receive-all procedure.
#include "FamMEnv.h"

#include <algorithm>

using namespace famm;
using ampsim::Fault;
using ampsim::Phase;

namespace {

class Param : public FamM {
  protected:
    static constexpr int16_t kUntouched = 0x5555;
    void Sentinel() { std::fill(std::begin(PrmVal), std::end(PrmVal), kUntouched); }
};

// The data of a block send: values low byte first.
Bytes Pairs(const int16_t* v, int n) {
    Bytes b;
    for (int i = 0; i < n; ++i) {
        b.push_back(static_cast<uint8_t>(v[i] & 0xFF));
        b.push_back(static_cast<uint8_t>((v[i] >> 8) & 0xFF));
    }
    return b;
}

} // namespace

TEST_F(Param, BlockReceivesStoreOnlyWhatTheReplyHolds) {
    Sentinel();
    EXPECT_EQ(FamilyM().UsrPrmJuShinM(), -1);
    for (int n = 0; n < 40; ++n)
        EXPECT_EQ(PrmVal[n], model->prm16(false, n).ram) << n;
    EXPECT_EQ(PrmVal[40], kUntouched);
    EXPECT_EQ(Raw()[0], (Bytes{0x00, 0x00, 0x28, 0xD8}));
    EXPECT_EQ(stat, (std::vector<std::string>{"fix:In-receiving the user parameter.",
                                              "User parameter transmission completed."}));
    EXPECT_EQ(pbar, (std::vector<std::pair<long, long>>{{0, 1}, {1, 1}}));

    stat.clear();
    EXPECT_EQ(FamilyM().SysPrmJuShinM(), -1);
    for (int n = 0; n < 30; ++n)
        EXPECT_EQ(PrmVal[40 + n], model->prm16(true, n).ram) << n;
    // Numbers the 30 values do not reach keep their values: no stale reply bytes, no status byte.
    for (int n = 70; n <= 256; ++n)
        ASSERT_EQ(PrmVal[n], kUntouched) << n;
    EXPECT_EQ(Raw()[1], Block(8, 7, {}));
    EXPECT_EQ(stat.back(), "Transmission of the system parameter completed.");

    // A shorter reply: three values (seven data bytes and the status byte).
    Sentinel();
    model->shortenNextReply(7);
    EXPECT_EQ(SysPrmJuShinM(), -1);
    EXPECT_EQ(PrmVal[42], model->prm16(true, 2).ram);
    EXPECT_EQ(PrmVal[43], kUntouched);

    // A bad status: the driver-error window, the status texts, and the table as it was.
    sim.inject(Fault::badStatus(0x08));
    stat.clear();
    EXPECT_EQ(UsrPrmJuShinM(), 0);
    EXPECT_EQ(PrmVal[0], kUntouched);
    ASSERT_EQ(drvErr.size(), 1u);
    EXPECT_NE(drvErr[0].find("Communication cmd:8 mode:2"), std::string::npos) << drvErr[0];
    EXPECT_EQ(stat.back(), "User parameter transmission completed.");
}

TEST_F(Param, BlockSendsAtAndOverTheLimit) {
    for (int n = 0; n < 40; ++n)
        PrmVal[n] = static_cast<int16_t>(n % 16 == 15 ? model->prm16(false, n).ram : -10 * n - 3);
    for (int n = 0; n < 30; ++n)
        PrmVal[40 + n] = static_cast<int16_t>(1000 * n - 15001);
    PrmVal[70] = 99; // beyond the system count: never sent
    EXPECT_EQ(FamilyM().UsrPrmSouShinM(), -1);
    EXPECT_EQ(FamilyM().SysPrmSouShinM(), -1);
    for (int n = 0; n < 40; ++n)
        EXPECT_EQ(model->prm16(false, n).ram, PrmVal[n]) << n;
    for (int n = 0; n < 30; ++n)
        EXPECT_EQ(model->prm16(true, n).ram, PrmVal[40 + n]) << n;
    const auto raw = Raw();
    ASSERT_EQ(raw.size(), 2u);
    EXPECT_EQ(raw[0], Block(8, 3, Pairs(PrmVal, 40)));
    EXPECT_EQ(raw[1], Block(8, 8, Pairs(PrmVal + 40, 30)));
    EXPECT_EQ(stat.front(), "fix:In-transmitting the user parameter.");
    EXPECT_EQ(stat.back(), "Transmission of the system parameter completed.");

    // 125 values, the most a plain block holds: 250 data bytes out, and back in a 251-byte reply.
    ModelM::Options o;
    o.user16 = 125;
    o.sys16 = 125;
    Replace(o);
    sim.clearLog();
    for (int n = 0; n < 125; ++n)
        PrmVal[n] = static_cast<int16_t>(n % 16 == 15 ? model->prm16(false, n).ram : n - 60);
    EXPECT_EQ(UsrPrmSouShinM(), -1);
    ASSERT_EQ(sim.requests().size(), 1u);
    EXPECT_EQ(sim.requests()[0].raw[0], 250);
    EXPECT_EQ(model->prm16(false, 124).ram, 64);
    std::fill(std::begin(PrmVal), std::end(PrmVal), int16_t{0});
    EXPECT_EQ(UsrPrmJuShinM(), -1);
    EXPECT_EQ(PrmVal[124], 64);
    EXPECT_EQ(PrmVal[125], 0);

    // A send is bounded by the request's length byte alone: 127 values go out as 254 data bytes (this
    // amplifier holds fewer and refuses them); one more does not fit and nothing is sent.
    sim.clearLog();
    Prm16Max = 127;
    EXPECT_EQ(UsrPrmSouShinM(), 0);
    ASSERT_EQ(sim.requests().size(), 1u);
    EXPECT_EQ(sim.requests()[0].raw[0], 254);
    drvErr.clear();
    sim.clearLog();
    Prm16Max = 128;
    EXPECT_EQ(UsrPrmSouShinM(), 0);
    Prm16Max = 125;
    Prm16SysCnt = 128;
    EXPECT_EQ(SysPrmSouShinM(), 0);
    Prm16SysCnt = -1;
    EXPECT_EQ(SysPrmSouShinM(), 0);
    EXPECT_TRUE(sim.requests().empty());
    ASSERT_EQ(asker.Asked().size(), 3u);
    EXPECT_NE(asker.Asked()[0].text.find("128"), std::string::npos) << asker.Asked()[0].text;

    // Values outside the amplifier's limits come back as a bad status.
    Prm16SysCnt = 125;
    PrmVal[0] = -20000;
    EXPECT_EQ(UsrPrmSouShinM(), 0);
    EXPECT_EQ(drvErr.size(), 1u);
}

TEST_F(Param, SingleReadsAndWritesUnderTheRight) {
    EXPECT_EQ(FamilyM().PrmRdM(5), -1);
    EXPECT_EQ(PrmVal[5], model->prm16(false, 5).ram);
    EXPECT_EQ(FamilyM().SysPrmRdM(45), -1); // system number 5 on the wire
    EXPECT_EQ(PrmVal[45], model->prm16(true, 5).ram);
    auto raw = Raw();
    EXPECT_EQ(raw[0], (Bytes{0x01, 0x00, 0x08, 0x05, 0xF2}));
    EXPECT_EQ(raw[1], Block(8, 5, {5}));

    // A wire number outside its byte, or a table number outside the table: nothing sent.
    sim.clearLog();
    EXPECT_EQ(SysPrmRdM(39), 0);
    EXPECT_EQ(PrmRdM(257), 0);
    EXPECT_EQ(PrmRdM(-1), 0);
    Prm32Max = 0;
    EXPECT_EQ(SysPrm32RdM(256), 0);
    Prm32Max = 8;
    EXPECT_FALSE(SysPrmWrM(300).ToBool());
    EXPECT_TRUE(sim.requests().empty());

    // The worked write: -2 into number 5, between the take and the release of the right.
    PrmVal[5] = -2;
    const Variant w = FamilyM().PrmWrM(5);
    EXPECT_TRUE(w.IsBool());
    EXPECT_TRUE(w.ToBool());
    EXPECT_TRUE(RetVar.ToBool());
    raw = Raw();
    ASSERT_EQ(raw.size(), 3u);
    EXPECT_EQ(raw[0], (Bytes{0x01, 0x00, 0x71, 0x01, 0x8D}));
    EXPECT_EQ(raw[1], (Bytes{0x03, 0x00, 0x18, 0x05, 0xFE, 0xFF, 0xE3}));
    EXPECT_EQ(raw[2], (Bytes{0x01, 0x00, 0x71, 0x00, 0x8E}));
    EXPECT_EQ(model->prm16(false, 5).ram, -2);
    EXPECT_FALSE(model->rightHeld());

    // System write; the write's result stays in ComResult after the release.
    sim.clearLog();
    PrmVal[46] = -31000;
    EXPECT_TRUE(FamilyM().SysPrmWrM(46).ToBool());
    EXPECT_EQ(ComResult, -1);
    EXPECT_EQ(Raw()[1], Block(8, 6, {6, 0xE8, 0x86}));
    EXPECT_EQ(model->prm16(true, 6).ram, -31000);

    // Out of the amplifier's limits: a bad status, the driver-error window, and the right still released.
    sim.clearLog();
    PrmVal[5] = 30000;
    EXPECT_FALSE(PrmWrM(5).ToBool());
    EXPECT_EQ(Rights(), (std::vector<int>{1, -1}));
    ASSERT_EQ(drvErr.size(), 1u);
    EXPECT_NE(drvErr[0].find("Communication cmd:8 mode:1"), std::string::npos);
    PrmVal[46] = 1;
    model->setPrm16(true, 6, ModelM::Prm16{0, 0, 0, 0, 0x80});
    EXPECT_FALSE(SysPrmWrM(46).ToBool());
    EXPECT_EQ(ComResult, 0);

    // Front panel in use: only the take goes out.
    sim.clearLog();
    model->setFrontPanel(true);
    PrmVal[5] = 1;
    EXPECT_FALSE(PrmWrM(5).ToBool());
    EXPECT_FALSE(Prm32WrM(1).ToBool());
    EXPECT_EQ(Rights(), (std::vector<int>{1, 1}));
    EXPECT_EQ(sim.requests().size(), 2u);
    ASSERT_FALSE(asker.Asked().empty());
    EXPECT_EQ(asker.Asked()[0].text,
              "Front panel in use. Execute after returning the front panel to selection display.");
    EXPECT_EQ(asker.Asked()[0].title, "Execution right error");
    EXPECT_EQ(model->prm16(false, 5).ram, -2);
}

TEST_F(Param, ThirtyTwoBitReadsAndWrites) {
    Prm32Val[3] = -12345678; // 0xFF439EB2
    EXPECT_TRUE(FamilyM().Prm32WrM(3).ToBool());
    EXPECT_EQ(Raw()[1], Block(8, 12, {3, 0xB2, 0x9E, 0x43, 0xFF}));
    EXPECT_EQ(model->prm32(false, 3).ram, -12345678);
    Prm32Val[10] = 2147483647;
    EXPECT_TRUE(FamilyM().SysPrm32WrM(10).ToBool()); // system number 2
    EXPECT_EQ(ComResult, -1);
    EXPECT_EQ(Raw()[4], Block(8, 14, {2, 0xFF, 0xFF, 0xFF, 0x7F}));
    EXPECT_EQ(model->prm32(true, 2).ram, 2147483647);

    sim.clearLog();
    Prm32Val[1] = 0;
    Prm32Val[9] = 0;
    EXPECT_EQ(FamilyM().Prm32RdM(1), -1);
    EXPECT_EQ(FamilyM().SysPrm32RdM(9), -1);
    EXPECT_EQ(Prm32Val[1], model->prm32(false, 1).ram);
    EXPECT_EQ(Prm32Val[9], model->prm32(true, 1).ram);
    EXPECT_EQ(Raw()[0], Block(11, 6, {1}));
    EXPECT_EQ(Raw()[1], Block(11, 9, {1}));

    // Failures leave the value: a short reply, silence, NAK.
    Prm32Val[1] = 77;
    model->shortenNextReply(3);
    EXPECT_EQ(Prm32RdM(1), 0);
    sim.inject(Silence(Phase::ReplyEnq));
    EXPECT_EQ(Prm32RdM(1), 0);
    sim.inject(Fault::nakRequest(ampsim::kAlways));
    EXPECT_EQ(Prm32RdM(1), 0);
    sim.clearFaults();
    PrmVal[4] = 77;
    model->shortenNextReply(1);
    EXPECT_EQ(PrmRdM(4), 0);
    EXPECT_EQ(PrmVal[4], 77);
    EXPECT_EQ(Prm32Val[1], 77);
    EXPECT_TRUE(drvErr.empty());
}

TEST_F(Param, EepromWritesSurviveAPowerCycle) {
    PrmVal[6] = 123;
    EXPECT_TRUE(PrmWrM(6).ToBool());
    model->powerCycle();
    EXPECT_NE(model->prm16(false, 6).ram, 123);

    EXPECT_TRUE(PrmWrM(6).ToBool());
    sim.clearLog();
    stat.clear();
    EXPECT_EQ(FamilyM().UsrPrmEepM(), -1);
    EXPECT_EQ(Raw()[1], Block(8, 4, {}));
    EXPECT_EQ(Rights(), (std::vector<int>{1, -1}));
    EXPECT_EQ(stat, (std::vector<std::string>{"fix:In-writing the user parameter to EEPROM.",
                                              "Writing the user parameter to EEPROM completed."}));
    model->powerCycle();
    EXPECT_EQ(model->prm16(false, 6).ram, 123);
    EXPECT_EQ(model->eepromWrites(false), 1);

    // System EEPROM writes only in the internal operating modes.
    sim.clearLog();
    EXPECT_EQ(FamilyM().SysPrmEepM(), 0);
    EXPECT_TRUE(sim.requests().empty());
    UserLevel = 2;
    EXPECT_EQ(SysPrmEepM(), -1);
    EXPECT_EQ(model->eepromWrites(true), 1);
    EXPECT_EQ(stat.back(), "Writing system parameter to EEPROM completed.");

    // Refused right: nothing written, no EEPROM request.
    sim.clearLog();
    model->setFrontPanel(true);
    EXPECT_EQ(UsrPrmEepM(), 0);
    EXPECT_EQ(sim.requests().size(), 1u);
    EXPECT_EQ(model->eepromWrites(false), 1);
}

TEST_F(Param, ReceiveAllRunsBothBlocks) {
    InstallTeskMPrmRecv();
    KisyuCode = 21;
    std::fill(std::begin(PrmVal), std::end(PrmVal), int16_t{0});
    EXPECT_EQ(PrmZenZyuShin(), -1);
    EXPECT_EQ(PrmVal[1], model->prm16(false, 1).ram);
    EXPECT_EQ(PrmVal[41], model->prm16(true, 1).ram);
    EXPECT_EQ(PrmSrc, 1);
}
