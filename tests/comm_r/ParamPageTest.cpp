// Paged 16-bit and 32-bit parameter transfers against the family R model.
#include "FamREnv.h"

#include "comm/ComCore.h"
#include "comm/TeskRReq.h"

using namespace famr;
using ampsim::Fault;
using ampsim::Phase;

namespace {

class ParamPages : public FamR {
  protected:
    void SetUp() override {
        FamR::SetUp();
        for (int n = 0; n < PrmCnt; ++n) {
            PrmVal[n] = 0x5A5A;
            PrmAttr[n] = PrmAttrRec{};
            Prm32Val[n] = 0x5A5A5A5A;
            Prm32Attr[n] = Prm32AttrRec{};
        }
    }
    int n32() const { return model->prm32Count(); }
};

} // namespace

TEST_F(ParamPages, FullReadsFillValuesAndLimitsOfEveryPage) {
    PrmAttr[3].name = "kept";
    ASSERT_EQ(UsrPrm16ZyuShin(0, 7), -1);
    ASSERT_EQ(SysPrm16ZyuShin(0, 7), -1);
    for (int n = 0; n < 256; ++n) {
        const auto p = model->prm16(n);
        EXPECT_EQ(PrmVal[n], p.ram) << n;
        EXPECT_EQ(PrmAttr[n].Min, p.min) << n;
        EXPECT_EQ(PrmAttr[n].Max, p.max) << n;
        EXPECT_EQ(PrmAttr[n].Attr, p.attr) << n;
    }
    EXPECT_EQ(PrmVal[200], -2); // a pair with its high bit set
    EXPECT_EQ(PrmAttr[3].name, "kept");
    EXPECT_EQ(PrmVal[256], 0x5A5A);
    EXPECT_EQ(Raw()[3], (Bytes{0x01, 0x00, 0x1B, 0x03, 0xE1}));
    EXPECT_EQ(sim.requests()[10].mode, 4);
    EXPECT_EQ(sim.requests()[10].data, Bytes{2});
    EXPECT_EQ(stat[3], "In-receiving the user parameter(16bit), page3");
    EXPECT_EQ(stat[8], "In-receiving the system parameter(16bit), page0");
    EXPECT_EQ(pbar[3], (std::pair<long, long>{4, 8}));

    // 32-bit: 20 user and 13 system parameters, three and two pages.
    ASSERT_EQ(UsrPrm32ZyuShin(0, (Prm32Max - 1) / 8), -1);
    ASSERT_EQ(SysPrm32ZyuShin(0, (Prm32MaxSys - Prm32Max - 1) / 8), -1);
    EXPECT_EQ(Of(11).size(), 16u + 3u + 2u);
    for (int n = 0; n < n32(); ++n) {
        const auto p = model->prm32(n);
        EXPECT_EQ(Prm32Val[n], p.ram) << n;
        EXPECT_EQ(Prm32Attr[n].Min, p.min) << n;
        EXPECT_EQ(Prm32Attr[n].Max, p.max) << n;
        EXPECT_EQ(Prm32Attr[n].Attr, p.attr) << n;
    }
    EXPECT_EQ(stat.back(), "In-receiving the 32bit system parameter, page1");
}

TEST_F(ParamPages, ComparisonReadsStoreOnlyValuesOfTheAxis) {
    for (int n = 0; n < PrmCnt; ++n)
        PrmCmpVal[3][n] = Prm32CmpVal[3][n] = 77;
    ASSERT_EQ(UsrPrm16HiKaKu(0, 7, 3), -1);
    ASSERT_EQ(SysPrm16HiKaKu(2, 2, 3), -1);
    ASSERT_EQ(SysPrm32HiKaKu(1, 1, 3), -1);
    for (int n = 0; n < 128; ++n)
        EXPECT_EQ(PrmCmpVal[3][n], model->prm16(n).ram) << n;
    for (int n = 160; n < 176; ++n)
        EXPECT_EQ(PrmCmpVal[3][n], model->prm16(n).ram) << n;
    EXPECT_EQ(PrmCmpVal[3][159], 77);
    EXPECT_EQ(PrmCmpVal[3][176], 77);
    for (int n = Prm32Max + 8; n < n32(); ++n)
        EXPECT_EQ(Prm32CmpVal[3][n], model->prm32(n).ram) << n;
    EXPECT_EQ(Prm32CmpVal[3][Prm32Max + 7], 77);
    EXPECT_EQ(PrmVal[5], 0x5A5A);
    EXPECT_EQ(PrmAttr[5].Max, 0);
    EXPECT_EQ(stat[0], "In-receiving the 16bit user parameter for comparison , axis3 page:0");
    EXPECT_EQ(UsrPrm16HiKaKu(0, 0, 16), 0); // no read-back table for axis 16
}

TEST_F(ParamPages, FullWritesReachRamAndOnlyEepromSurvivesAPowerCycle) {
    ASSERT_EQ(UsrPrm16ZyuShin(0, 7), -1);
    ASSERT_EQ(SysPrm16ZyuShin(0, 7), -1);
    ASSERT_EQ(UsrPrm32ZyuShin(0, 2), -1);
    ASSERT_EQ(SysPrm32ZyuShin(0, 1), -1);
    for (int n = 0; n < 256; ++n)
        PrmVal[n] = static_cast<int16_t>(PrmAttr[n].Min + n % 5);
    for (int n = 0; n < n32(); ++n)
        Prm32Val[n] = Prm32Attr[n].Max - n;
    sim.clearLog();

    ASSERT_EQ(UsrPrm16SouShin(0, 7), -1);
    ASSERT_EQ(SysPrm16SouShin(0, 7), -1);
    ASSERT_EQ(UsrPrm32SouShin(0, 2), -1);
    ASSERT_EQ(SysPrm32SouShin(0, 1), -1);
    EXPECT_EQ(Rights(), (std::vector<int>{1, -1, 1, -1, 1, -1, 1, -1}));
    for (int n = 0; n < 256; ++n) {
        const auto p = model->prm16(n);
        if (p.attr & 0x80) continue;
        EXPECT_EQ(p.ram, PrmVal[n]) << n;
    }
    for (int n = 0; n < n32(); ++n) {
        if (!(model->prm32(n).attr & 0x180)) {
            EXPECT_EQ(model->prm32(n).ram, Prm32Val[n]) << n;
        }
    }

    // The last system page reaches past the last parameter: zeros there.
    const auto pages = Of(11);
    const ampsim::Request& last = pages.back();
    ASSERT_EQ(last.mode, 11);
    ASSERT_EQ(last.data.size(), 33u);
    EXPECT_EQ(last.data[0], 1);
    const int used = n32() - Prm32Max - 8; // entries of that page still inside the table
    for (size_t i = 1 + 4 * static_cast<size_t>(used); i < 33; ++i)
        EXPECT_EQ(last.data[i], 0) << i;
    EXPECT_EQ(stat.back(), "Transferring 32bit system parameter. page1");

    model->powerCycle();
    EXPECT_NE(model->prm16(1).ram, PrmVal[1]);
    ASSERT_EQ(UsrPrm16SouShin(0, 7), -1);
    ASSERT_EQ(GetExecRight(-1), -1);
    ASSERT_EQ(teskr::Request(8, 4, 0, 0, 0, 0x38), -1);
    model->powerCycle();
    EXPECT_EQ(model->prm16(1).ram, PrmVal[1]);
}

TEST_F(ParamPages, AUserPageCarriesStoredSystemValuesBelowTheCount) {
    Prm32MaxAll = Prm32MaxSys = 22; // two system values inside user page 2, zeros after them
    for (int n = 0; n < PrmCnt; ++n)
        Prm32Val[n] = 1000 + n;
    ASSERT_EQ(UsrPrm32SouShin(2, 2), -1);
    const auto rq = Of(11).back();
    EXPECT_EQ(rq.data[1 + 4 * 4], (1000 + 20) & 0xFF);
    EXPECT_EQ(rq.data[1 + 4 * 5], (1000 + 21) & 0xFF);
    for (size_t i = 1 + 4 * 6; i < 33; ++i)
        EXPECT_EQ(rq.data[i], 0);
}

TEST_F(ParamPages, AFailedPageEndsTheTransferKeepingEarlierPages) {
    sim.setHandler([this, k = std::make_shared<int>(0)](const ampsim::Request& rq) -> std::optional<Bytes> {
        auto out = model->answer(rq);
        if (rq.cmd == 11 && ++*k == 4) out->back() = 0x80;
        return out;
    });
    EXPECT_EQ(UsrPrm16ZyuShin(0, 7), 0);
    EXPECT_EQ(Of(11).size(), 4u);
    EXPECT_EQ(PrmVal[47], model->prm16(47).ram);
    EXPECT_EQ(PrmVal[48], 0x5A5A);
    EXPECT_EQ(PrmAttr[48].Max, 0);
    ASSERT_EQ(drvErr.size(), 1u);
    EXPECT_EQ(drvErr[0], "Communication cmd:11 mode:1");

    // A send releases the right after a failed page.
    sim.setHandler(model->handler());
    ASSERT_EQ(SysPrm16ZyuShin(0, 7), -1);
    sim.setHandler([this, k = std::make_shared<int>(0)](const ampsim::Request& rq) -> std::optional<Bytes> {
        auto out = model->answer(rq);
        if (rq.cmd == 11 && ++*k == 3) out->back() = 0x80;
        return out;
    });
    sim.clearLog();
    EXPECT_EQ(SysPrm16SouShin(0, 7), 0);
    EXPECT_EQ(Of(11).size(), 3u);
    EXPECT_EQ(Rights(), (std::vector<int>{1, -1}));
}

TEST_F(ParamPages, ShortRepliesNeverDecodeStaleBytes) {
    ASSERT_EQ(UsrPrm16ZyuShin(0, 0), -1); // fills the reply buffer with a whole page
    for (int n = 0; n < PrmCnt; ++n)
        PrmVal[n] = 0x5A5A;
    model->shortenNextReply(100);
    EXPECT_EQ(UsrPrm16ZyuShin(0, 0), 0);
    EXPECT_EQ(PrmVal[0], 0x5A5A);
    EXPECT_EQ(PrmVal[15], 0x5A5A);
    model->shortenNextReply(128);
    EXPECT_EQ(SysPrm32ZyuShin(0, 0), 0);
    EXPECT_EQ(Prm32Val[Prm32Max], 0x5A5A5A5A);
}

TEST_F(ParamPages, RefusedRightSendsNothingAndEmptyRangesStillTakeAndRelease) {
    model->setFrontPanel(true);
    EXPECT_EQ(UsrPrm16SouShin(0, 7), 0);
    EXPECT_EQ(UsrPrm32SouShin(0, 2), 0);
    EXPECT_TRUE(Of(11).empty());
    ASSERT_GE(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].title, "Execution right error");

    model->setFrontPanel(false);
    sim.clearLog();
    EXPECT_EQ(SysPrm32SouShin(3, 2), -1);
    EXPECT_EQ(UsrPrm16ZyuShin(3, 2), -1);
    EXPECT_EQ(Rights(), (std::vector<int>{1, -1}));
    EXPECT_TRUE(Of(11).empty());

    // A page number that cannot travel in its byte is refused before the right is taken.
    sim.clearLog();
    EXPECT_EQ(UsrPrm16SouShin(0, 300), 0);
    EXPECT_TRUE(sim.requests().empty());
}

TEST_F(ParamPages, ReceiveAllRunsEveryFamilyRPageRange) {
    InstallTeskRPrmRecv();
    ASSERT_EQ(PrmZenZyuShin(), -1);
    EXPECT_TRUE(asker.Asked().empty());
    EXPECT_EQ(PrmSrc, 1);
    // The ping, then 8 + 3 + 8 + 2 pages.
    EXPECT_EQ(Of(11).size(), 21u);
    EXPECT_EQ(PrmVal[255], model->prm16(255).ram);
    EXPECT_EQ(Prm32Val[n32() - 1], model->prm32(n32() - 1).ram);
}
