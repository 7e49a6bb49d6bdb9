// The parameter tables' rules, driven directly.
#include "app/Glb.h"
#include "data/PrmGlb.h"
#include "data/PrmTbl.h"
#include "platform/Ask.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class PrmTbl : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int n = 0; n < PrmCnt; ++n) {
            PrmVal[n] = 0;
            PrmAttr[n] = PrmAttrRec{};
            PrmAttr[n].Min = -1000;
            PrmAttr[n].Max = 1000;
            Prm32Val[n] = 0;
            Prm32Attr[n] = Prm32AttrRec{};
            Prm32Attr[n].Min = -100000;
            Prm32Attr[n].Max = 100000;
        }
        UserLevel = 1;
        Prm16Max = 16;
        Prm16MaxAll = 31;
        Prm32Cnt = -1;
        Prm32Max = 8;
        Prm32MaxSys = 20;
        Prm32MaxAll = 20;
        PrmSrc = 3;
        PrmSrcMei = "Default";
        UsrPrmSent = SysPrmSent = 0;
        PrmSrcNotice() = [this] { ++notices_; };
        PrmRecv() = PrmRecvSteps{};
        PrmRecv().chkComm = [](int16_t, const std::string&) { return int16_t(-1); };
        KisyuCode = 25;
        CmdFamily = 5;
    }
    void TearDown() override {
        PrmSrcNotice() = nullptr;
        PrmRecv() = PrmRecvSteps{};
        UserLevel = 1;
    }

    int notices_ = 0;
};

TEST_F(PrmTbl, SetPrmValHonoursProtectionAndClampsToTheLimits) {
    PrmVal[3] = 7;
    PrmAttr[3].Attr = PrmAttrSystem;
    EXPECT_EQ(SetPrmVal(3, 500), 7) << "a system parameter is refused in normal mode";
    UserLevel = 2;
    EXPECT_EQ(SetPrmVal(3, 5000), 1000) << "and clamped in internal mode";

    for (int16_t ro : {int16_t(PrmAttrReadOnly), int16_t(PrmAttrReadOnly2)}) {
        PrmAttr[4].Attr = ro;
        PrmVal[4] = 9;
        for (int16_t level : {1, 2, 3}) {
            UserLevel = level;
            EXPECT_EQ(SetPrmVal(4, 1), 9) << ro << " level " << level;
        }
    }

    UserLevel = 1;
    EXPECT_EQ(SetPrmVal(5, -2000), -1000);
    EXPECT_EQ(PrmVal[5], -1000);
    EXPECT_EQ(SetPrmVal(5, 999), 999);

    // Limits the wrong way round never let the asked value through.
    PrmAttr[6].Min = 100;
    PrmAttr[6].Max = -100;
    for (int16_t v : {-200, -100, 0, 100, 200})
        EXPECT_TRUE(SetPrmVal(6, v) == 100 || SetPrmVal(6, v) == -100) << v;

    EXPECT_EQ(SetPrmVal(257, 1), 0);
    EXPECT_EQ(SetPrmVal(-1, 1), 0);
}

TEST_F(PrmTbl, SetPrm32ValUsesTheWholeRange) {
    Prm32Attr[2].Min = -2147483647 - 1;
    Prm32Attr[2].Max = 2147483647;
    EXPECT_EQ(SetPrm32Val(2, -2147483647 - 1), -2147483647 - 1);
    EXPECT_EQ(SetPrm32Val(9, 250000), 100000);
    Prm32Attr[9].Attr = PrmAttrSystem;
    EXPECT_EQ(SetPrm32Val(9, 5), 100000);
    Prm32Attr[10].Attr = PrmAttrReadOnly2;
    UserLevel = 3;
    EXPECT_EQ(SetPrm32Val(10, 5), 0);
}

TEST_F(PrmTbl, RangeChecksReportTheFirstParameterOutOfRange) {
    plat::ScriptedAsker asker;
    EXPECT_EQ(ChkUsrPrmData(), -1);
    EXPECT_TRUE(asker.Asked().empty());

    PrmAttr[0x0A].name = "  Gain  ";
    PrmVal[0x0A] = -1001;
    PrmAttr[0x0C].name = "Later";
    PrmVal[0x0C] = 1001;
    EXPECT_EQ(ChkUsrPrmData(), 0);
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].text, "Gain(No0A) value is too small.");
    EXPECT_EQ(asker.Asked()[0].title, "16bit parameter value");

    // The system check skips user parameters and covers up to the inclusive last number.
    asker.Clear();
    EXPECT_EQ(ChkSysPrmData(), -1);
    PrmAttr[31].Attr = PrmAttrSystem;
    PrmAttr[31].name = "Sys";
    PrmVal[31] = 1001;
    EXPECT_EQ(ChkSysPrmData(), 0);
    EXPECT_EQ(asker.Asked().back().text, "Sys(No1F) value is too large.");

    // The user check skips system parameters; with no user parameters it checks nothing.
    PrmAttr[0x0A].Attr = PrmAttrSystem;
    PrmVal[0x0C] = 0;
    EXPECT_EQ(ChkUsrPrmData(), -1);
    PrmAttr[0x0A].Attr = 0;
    Prm16Max = 0;
    EXPECT_EQ(ChkUsrPrmData(), -1);
}

TEST_F(PrmTbl, RangeChecks32StopAtTheCounts) {
    plat::ScriptedAsker asker;
    Prm32Attr[8].name = "Beyond users";
    Prm32Val[8] = 100001;
    EXPECT_EQ(ChkUsrPrm32Data(), -1) << "numbers from Prm32Max on are not user parameters";
    Prm32Attr[20].Attr = PrmAttrSystem;
    Prm32Val[20] = -100001;
    EXPECT_EQ(ChkSysPrm32Data(), -1) << "Prm32MaxAll is a count";
    Prm32Attr[19].Attr = PrmAttrSystem;
    Prm32Attr[19].name = "Pos";
    Prm32Val[19] = -100001;
    EXPECT_EQ(ChkSysPrm32Data(), 0);
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].text, "Pos(No13) value is too small.");
    EXPECT_EQ(asker.Asked()[0].title, "32bit parameter value");
}

TEST_F(PrmTbl, PrmSumWrapsToSixteenBits) {
    for (int i = 0; i < 79; ++i)
        PrmVal[i] = 32767;
    EXPECT_EQ(PrmSum(0, 79), 32689);
    PrmVal[0] = -20000;
    PrmVal[1] = -20000;
    EXPECT_EQ(PrmSum(0, 2), 25536);
    PrmVal[2] = -32768;
    EXPECT_EQ(PrmSum(2, 3), -32768);
    EXPECT_EQ(PrmSum(5, 5), 0);
    EXPECT_EQ(PrmSum(9, 3), 0);
}

TEST_F(PrmTbl, CountsPerOperatingMode) {
    EXPECT_EQ(Prm16LastFor(1), 15);
    EXPECT_EQ(Prm16LastFor(2), 31) << "an inclusive last number";
    EXPECT_EQ(Prm16LastFor(3), 31);
    EXPECT_EQ(Prm32LastFor(1), 7);
    EXPECT_EQ(Prm32LastFor(2), 19) << "from a count";
}

TEST_F(PrmTbl, AxisCopiesRestoreWhatWasSaved) {
    for (int n = 0; n < PrmCnt; ++n)
        PrmVal[n] = static_cast<int16_t>(n);
    PrmVal[40] = 40;
    PrmFlg = -1;
    PrmIsAmp = 0;
    SavePrmToAxis(3);
    for (int n = 0; n < PrmCnt; ++n)
        PrmVal[n] = -5;
    PrmFlg = 0;
    PrmIsAmp = -1;
    SavePrmToAxis(4);
    LoadPrmFromAxis(3);
    EXPECT_EQ(PrmVal[0], 0);
    EXPECT_EQ(PrmVal[31], 31) << "up to Prm16MaxAll";
    EXPECT_EQ(PrmVal[32], -5) << "beyond it nothing is copied";
    EXPECT_EQ(PrmFlg, -1);
    EXPECT_EQ(PrmIsAmp, 0);
    LoadPrmFromAxis(4);
    EXPECT_EQ(PrmVal[31], -5);
    EXPECT_EQ(PrmIsAmp, -1);

    Prm32Val[19] = 123456;
    SavePrm32ToAxis(16);
    Prm32Val[19] = 0;
    LoadPrm32FromAxis(16);
    EXPECT_EQ(Prm32Val[19], 123456);

    // Without 32-bit parameters the copies change nothing; an axis out of range is ignored.
    Prm32MaxAll = 0;
    Prm32Val[0] = 77;
    LoadPrm32FromAxis(16);
    EXPECT_EQ(Prm32Val[0], 77);
    LoadPrmFromAxis(17);
    SavePrmToAxis(-1);
    EXPECT_EQ(PrmVal[31], -5);
}

TEST_F(PrmTbl, SetPrmSrcSetsCaptionAndFlagsAndTellsTheEditor) {
    SetPrmSrc(1, "");
    EXPECT_EQ(PrmSrcMei, "Read-out value from the amplifier.");
    EXPECT_EQ(UsrPrmSent, -1);
    EXPECT_EQ(SysPrmSent, -1);
    SetPrmSrc(2, "");
    EXPECT_EQ(PrmSrcMei, "Value read from the file.");
    EXPECT_EQ(UsrPrmSent, 0);
    SetPrmSrc(1, "Axis 3");
    EXPECT_EQ(PrmSrcMei, "Axis 3");
    EXPECT_EQ(SysPrmSent, -1);
    SetPrmSrc(9, "");
    EXPECT_EQ(PrmSrc, 9);
    EXPECT_EQ(PrmSrcMei, "Axis 3") << "an unknown kind leaves caption and flags";
    EXPECT_EQ(UsrPrmSent, -1);
    EXPECT_EQ(notices_, 4);
}

TEST_F(PrmTbl, ReceiveAllCountsAsTheAmplifiersOnlyWhenEveryStepWorked) {
    std::vector<std::string> calls;
    auto pages = [&calls](const char* name, int16_t ok) {
        return [&calls, name, ok](int16_t first, int16_t last) {
            calls.push_back(std::string(name) + " " + std::to_string(first) + ".." + std::to_string(last));
            return ok;
        };
    };
    PrmRecv().usrPrm16ZyuShin = pages("u16", -1);
    PrmRecv().usrPrm32ZyuShin = pages("u32", -1);
    PrmRecv().sysPrm16ZyuShin = pages("s16", 0);
    PrmRecv().sysPrm32ZyuShin = pages("s32", -1);

    plat::ScriptedAsker asker;
    EXPECT_EQ(PrmZenZyuShin(), 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"u16 0..7", "u32 0..0", "s16 0..7", "s32 0..1"}));
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].text, "Communication failed in 16bit system parameter");
    EXPECT_EQ(asker.Asked()[0].title, "Parameter reception");
    EXPECT_EQ(PrmSrc, 3) << "a partial receive is not the amplifier's set";
    EXPECT_EQ(UsrPrmSent, 0);

    // All good: the values are the amplifier's. Without 32-bit parameters only the 16-bit pages go.
    calls.clear();
    PrmRecv().sysPrm16ZyuShin = pages("s16", -1);
    Prm32Cnt = 0;
    EXPECT_EQ(PrmZenZyuShin(), -1);
    EXPECT_EQ(calls, (std::vector<std::string>{"u16 0..7", "s16 0..7"}));
    EXPECT_EQ(PrmSrc, 1);
    EXPECT_EQ(SysPrmSent, -1);

    // A failed link check changes nothing and receives nothing.
    calls.clear();
    PrmSrc = 2;
    PrmRecv().chkComm = [](int16_t ask, const std::string& title) {
        EXPECT_NE(ask, 0);
        EXPECT_EQ(title, "Parameter reception");
        return int16_t(0);
    };
    EXPECT_EQ(PrmZenZyuShin(), 0);
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(PrmSrc, 2);
}

TEST_F(PrmTbl, ReceiveAllByTheOtherFamilies) {
    plat::ScriptedAsker asker;
    KisyuCode = 22;
    PrmRecv().usrPrmJuShinM = [] { return int16_t(0); };
    PrmRecv().sysPrmJuShinM = [] { return int16_t(-1); };
    EXPECT_EQ(PrmZenZyuShin(), 0);
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].text, "Communication failed in 16bit user parameter");

    // Family K: the upload's own result, and no message here.
    asker.Clear();
    CmdFamily = 1;
    PrmRecv().prmJuShinK = [] { return int16_t(-2); };
    EXPECT_EQ(PrmZenZyuShin(), 0);
    EXPECT_EQ(RetVar.ToInt16(), -2);
    EXPECT_TRUE(asker.Asked().empty());
    EXPECT_NE(PrmSrc, 1);
    PrmRecv().prmJuShinK = [] { return int16_t(-1); };
    EXPECT_EQ(PrmZenZyuShin(), -1);
    EXPECT_EQ(PrmSrc, 1);
}

} // namespace
