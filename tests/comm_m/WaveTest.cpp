// Auto tuning and the waveform capture of a family M amplifier: conditions, the ready read with its
// extended block, and the data read.
#include "FamMEnv.h"

#include "monitor/MonGlb.h"

#include <algorithm>

using namespace famm;
using ampsim::Fault;
using ampsim::Phase;

namespace {

class Wave : public FamM {
  protected:
    // Conditions: trigger on at position code 2, rising slope 1, option 1, level -100, sampling 5.
    static WavCondRec Cond(int option = 1, int sampling = 5) {
        WavCondRec c;
        c.Word[WavWOption] = static_cast<int16_t>(option);
        c.Word[WavWSmp] = static_cast<int16_t>(sampling);
        c.Word[WavWTrig] = 1;
        c.Word[WavWTrigLevel] = -100;
        c.Word[WavWTrigPos] = 2;
        c.Word[WavWTrigSlope] = 1;
        return c;
    }
    static int16_t Pair(size_t at) { return static_cast<int16_t>(RcvBuf[at] | (RcvBuf[at + 1] << 8)); }
    // The bytes the PC sent after the last poll block it sent.
    Bytes AfterLastPoll() const {
        // The simulator logs a byte when it reads it: let it take in the PC's last answer first.
        EXPECT_TRUE(sim.waitIdle(std::chrono::milliseconds(5000)));
        const Bytes pc = FromPc();
        const Bytes poll{0x01, 0x00, 0x3A, 0x00, 0xC5};
        auto it = std::search(pc.rbegin(), pc.rend(), poll.rbegin(), poll.rend());
        if (it == pc.rend()) return Bytes{0xEE};
        return Bytes(it.base(), pc.end());
    }
};

} // namespace

TEST_F(Wave, AutoTuningKeepsTheRightAndChangesParameters) {
    EXPECT_EQ(FamilyM().AutoM(300), -1);
    ASSERT_TRUE(sim.waitForRequests(2, std::chrono::milliseconds(2000)));
    EXPECT_EQ(Raw()[1], Block(10, 0, {255}));
    EXPECT_EQ(Rights(), (std::vector<int>{1}));
    EXPECT_TRUE(model->rightHeld());
    EXPECT_TRUE(model->tuning());
    EXPECT_EQ(model->tuningValue(), 255);

    // Tuning runs for a few requests, then the tuned parameters hold new values.
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(PrmRdM(2), -1);
    EXPECT_FALSE(model->tuning());
    EXPECT_EQ(PrmVal[2], ModelM::tunedValue(0, 255));
    EXPECT_EQ(PrmRdM(7), -1);
    EXPECT_EQ(PrmVal[7], ModelM::tunedValue(3, 255));
    EXPECT_EQ(GetExecRight(0), -1); // the screen releases the right when tuning ends
    EXPECT_FALSE(model->rightHeld());

    sim.clearLog();
    EXPECT_EQ(AutoM(-5), -1);
    ASSERT_TRUE(sim.waitForRequests(2, std::chrono::milliseconds(2000)));
    EXPECT_EQ(Raw()[1], Block(10, 0, {0}));

    // Front panel in use: only the take.
    sim.clearLog();
    model->setFrontPanel(true);
    EXPECT_EQ(AutoM(10), 0);
    EXPECT_TRUE(sim.waitIdle(std::chrono::milliseconds(2000)));
    EXPECT_EQ(Rights(), (std::vector<int>{1}));
    EXPECT_EQ(sim.requests().size(), 1u);

    // A send that fails: False and ComResult 0.
    model->setFrontPanel(false);
    ExecRightUse = 0;
    sim.inject(Silence(Phase::Eot, ampsim::kAlways));
    EXPECT_EQ(AutoM(10), 0);
    EXPECT_EQ(ComResult, 0);
}

TEST_F(Wave, ConditionsPackIntoTheirFieldsOrAreRefused) {
    EXPECT_EQ(FamilyM().GrpSetM(Cond()), -1);
    // 2 << 4 | 1 << 3 | 1 << 1 | 1; level -100 x 5 = -500; sampling 5 / 2 = 2.5 -> 2
    EXPECT_EQ(Raw()[0], Block(10, 2, {43, 0x0C, 0xFE, 2}));
    EXPECT_EQ(model->capture().cond0, 43);
    EXPECT_EQ(model->capture().level, -500);

    EXPECT_EQ(GrpSetM(Cond(0, 7)), -1); // 3.5 -> 4, level not multiplied
    EXPECT_EQ(Raw()[1], Block(10, 2, {41, 0x9C, 0xFF, 4}));
    WavCondRec big = Cond();
    big.Word[WavWTrigLevel] = 7000; // 35000 does not fit: clamped
    EXPECT_EQ(GrpSetM(big), -1);
    EXPECT_EQ(Raw()[2], Block(10, 2, {43, 0xFF, 0x7F, 2}));

    sim.clearLog();
    WavCondRec bad = Cond();
    bad.Word[WavWTrigPos] = 16;
    EXPECT_EQ(GrpSetM(bad), 0);
    EXPECT_EQ(GrpSetM(Cond(3)), 0);
    EXPECT_EQ(GrpSetM(Cond(1, -1)), 0);
    EXPECT_EQ(GrpSetM(Cond(1, 512)), 0);
    EXPECT_TRUE(sim.requests().empty());

    // A bad status shows the driver-error window.
    sim.inject(Fault::badStatus(0x10));
    EXPECT_EQ(GrpSetM(Cond()), 0);
    ASSERT_EQ(drvErr.size(), 1u);
    EXPECT_NE(drvErr[0].find("Communication cmd:10 mode:2"), std::string::npos);
}

TEST_F(Wave, CaptureIsPolledUntilReadyThenRead) {
    const WavCondRec cond = Cond(1, 3);
    ASSERT_EQ(GrpSetM(cond), -1);
    sim.clearLog();
    EXPECT_EQ(FamilyM().GrpBlkRcvM(), 0);
    EXPECT_EQ(AfterLastPoll(), (Bytes{0x04, 0x06})); // EOT for the reply, ACK after it
    EXPECT_EQ(GrpBlkRcvM(), 0);
    EXPECT_EQ(GrpBlkRcvM(), 1);
    EXPECT_EQ(Raw()[0], (Bytes{0x01, 0x00, 0x3A, 0x00, 0xC5}));
    EXPECT_EQ(AfterLastPoll(), (Bytes{0x04, 0x06}));
    EXPECT_EQ(RcvBuf[0], 0xFF);
    EXPECT_EQ(SndLen, 1004);
    EXPECT_EQ(RcvBuf[1], 0x00);
    EXPECT_EQ(RcvBuf[2], 0x3A);
    for (int i = 0; i < ModelM::kSamples; ++i)
        ASSERT_EQ(Pair(3 + 2 * static_cast<size_t>(i)), model->sample(0, i)) << i;

    // The data read: option 1 asks with 9 and gets the actual speed and the torque (five times over) in
    // pairs, in an extended reply.
    stat.clear();
    EXPECT_EQ(FamilyM().GrpDatJuShinM(cond), -1);
    EXPECT_EQ(Raw().back(), Block(10, 3, {9}));
    EXPECT_EQ(SndLen, 2001);
    for (int i = 0; i < ModelM::kSamples; ++i) {
        ASSERT_EQ(Pair(4 * static_cast<size_t>(i)), model->sample(1, i)) << i;
        ASSERT_EQ(Pair(4 * static_cast<size_t>(i) + 2), 5 * model->sample(ModelM::optionChannel(9), i)) << i;
    }
    EXPECT_EQ(stat, (std::vector<std::string>{"fix:In-receiving the wave form graphic data.",
                                              "In-receiving the wave form graphic data."}));
    EXPECT_NE(model->sample(1, 10), 0); // the signals are not flat
}

TEST_F(Wave, ReadyReadFailuresAndACorruptedBlock) {
    ModelM::Options o;
    o.captureBusyPolls = 0;
    Replace(o);
    ASSERT_EQ(GrpSetM(Cond()), -1);

    // A wrong checksum is answered NAK and never taken for data.
    sim.inject(Fault::badSum());
    EXPECT_EQ(GrpBlkRcvM(), -1);
    const Bytes after = AfterLastPoll();
    ASSERT_GE(after.size(), 2u);
    EXPECT_EQ(after.back(), 0x15);
    ASSERT_TRUE(sim.waitIdle(std::chrono::milliseconds(5000)));
    EXPECT_EQ(GrpBlkRcvM(), 1);

    // The request block refused: -1 at once, nothing more sent after it.
    sim.inject(Fault::nakRequest());
    EXPECT_EQ(GrpBlkRcvM(), -1);
    EXPECT_TRUE(AfterLastPoll().empty());
    // No EOT for the ENQ: 0.
    sim.inject(Silence(Phase::Eot));
    EXPECT_EQ(GrpBlkRcvM(), 0);
    ASSERT_TRUE(sim.waitIdle(std::chrono::milliseconds(2000)));
    // The block stops half-way: -1 rather than a partial block.
    sim.inject(Fault::shortReply(500));
    EXPECT_EQ(GrpBlkRcvM(), -1);
    EXPECT_EQ(AfterLastPoll(), (Bytes{0x04}));
    ASSERT_TRUE(sim.waitIdle(std::chrono::milliseconds(5000)));

    // Data before a capture is ready: a bad status and the driver-error window. An option the data read
    // has no code for: nothing sent.
    Replace(o);
    sim.clearLog();
    EXPECT_EQ(GrpDatJuShinM(Cond()), 0);
    ASSERT_EQ(drvErr.size(), 1u);
    EXPECT_NE(drvErr[0].find("Communication cmd:10 mode:3"), std::string::npos);
    EXPECT_EQ(GrpDatJuShinM(Cond(3)), 0);
    EXPECT_EQ(sim.requests().size(), 1u);
}
