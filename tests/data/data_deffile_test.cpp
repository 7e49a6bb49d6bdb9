// Definition files: families, configuration groups, the developer group and the screens' tables.
#include <gtest/gtest.h>

#include "TestFiles.h"
#include "app/Glb.h"
#include "comm/ComGlb.h"
#include "data/DefFil.h"
#include "data/PrmGlb.h"
#include "frequency/FrqGlb.h"
#include "monitor/MonGlb.h"
#include "platform/Ask.h"
#include "platform/EndProgram.h"
#include "positioning/PopGlb.h"

namespace {

std::string Group(const std::string& name, const std::string& records)
{
    return name + ",1,#Group name and max. data\n#\n" + records + "END\n";
}

std::string File(const std::string& groups) { return "#\n#\n" + groups + "#----\nDEF END,0\n#\n"; }

class DefFile : public ScratchDir {
protected:
    void SetUp() override
    {
        ScratchDir::SetUp();
        UserLevel = 1;
        for (auto& r : FileVerTbl) r = FileVerRec{};
        DebugHooks() = DebugStateHooks{};
        DbgState = DebugStateRec{};
    }
    void TearDown() override
    {
        UserLevel = 1;
        ScratchDir::TearDown();
    }

    // Reads one definition body as a definition file is read (fatal).
    int16_t Read(const std::string& groups)
    {
        return FIL_ReadGroupFile(Def("t.DEF", File(groups)), -1);
    }
    // A read that must end the program with the damaged-file messages.
    void ExpectFatal(const std::string& groups)
    {
        plat::EndProgramThrows ends;
        plat::ScriptedAsker ask;
        EXPECT_THROW(Read(groups), plat::ProgramEnded) << groups;
        ASSERT_EQ(ask.Asked().size(), 2u);
        EXPECT_EQ(ask.Asked()[0].text, "File is damaged. Install the Mevalo again.");
    }
};

TEST_F(DefFile, FamilyStopsAtTheFirstMissingNumber)
{
    auto row = [](int i) { return File(Group("FILE VERSION", "DATA," + std::to_string(i) + ",\"f\",\"v\"\n")); };
    Def("fam.DEF", row(0));
    Def("fam00.def", row(1)); // names are found whatever their case
    Def("fam02.DEF", row(3));
    plat::ScriptedAsker ask;
    EXPECT_EQ(FIL_LoadDefFile("fam"), -1);
    EXPECT_NE(FileVerTbl[0].Present, 0);
    EXPECT_NE(FileVerTbl[1].Present, 0);
    EXPECT_EQ(FileVerTbl[3].Present, 0);

    // Without its base file a family reads nothing, numbered files or not.
    for (auto& r : FileVerTbl) r = FileVerRec{};
    Def("gone00.DEF", row(1));
    EXPECT_EQ(FIL_LoadDef("gone"), 0);
    EXPECT_EQ(FileVerTbl[1].Present, 0);
    EXPECT_TRUE(ask.Asked().empty());
}

TEST_F(DefFile, ModelFamilyWithTheVersionKey)
{
    for (auto& v : CpuVer) v = CpuVerRec{};
    CpuVer[0] = {1, 3, 0, 0};
    CpuVer[1] = {1, 1, 2, 0};
    Def("M1.DEF", File(Group("FILE VERSION", "DATA,4,\"m\",\"1\"\n")));
    Def("M1_132_212.DEF", File(Group("FILE VERSION", "DATA,5,\"k\",\"1\"\n")));
    FIL_LoadDefFileCpu("M1");
    EXPECT_EQ(RetVar, Variant(int16_t(-1)));
    EXPECT_NE(FileVerTbl[4].Present, 0);
    EXPECT_EQ(FileVerTbl[5].Name, "k");
    CpuVer[1].Minor = 9; // another key: its file is missing and the result says so
    FIL_LoadDefFileCpu("M1");
    EXPECT_EQ(RetVar, Variant(int16_t(0)));
    for (auto& v : CpuVer) v = CpuVerRec{};
}

TEST_F(DefFile, ConfigurationGroupsLandInTheSharedState)
{
    std::string maxItem = "DATA,0\n";
    for (int i = 1; i <= 29; ++i) {
        const double v = i == 1 ? 100 : i + (i == 14 || i == 15 || i == 16 ? 0.5 : 0);
        maxItem += std::to_string(v) + ",#f\n";
    }
    ASSERT_EQ(Read(Group("VERSION", "DATA,7,0x013F,0x053F,0x0134\n") +
                   Group("COM PORT", "DATA,0,9,9,500,3000,3,100,300,1,7,8,9,1000,20000,2\n") +
                   Group("EXTENTION V2.5", "DATA,0,1,8,1,0,1\n") + Group("EXTENTION V3.6", "DATA,0,12\n") +
                   Group("DLL VERSION", "DATA,0,3,1\n") + Group("DEF MODEL", "DATA,0,\"a\",5,\"b\"\n") +
                   Group("MAX ITEM", maxItem)),
              -1);
    EXPECT_EQ(MenuMask[0], 0x013F);
    EXPECT_EQ(MenuMask[1], 0x053F);
    EXPECT_EQ(MenuMask[2], 0x0134);
    EXPECT_EQ(ComT1, 500);
    EXPECT_EQ(ComT2, 3000);
    EXPECT_EQ(ComRetry, 3);
    EXPECT_EQ(ComTime[1].T2, 300);
    EXPECT_EQ(ComTime[2].T1, 7);
    EXPECT_EQ(ComTime[3].T2, 20000);
    EXPECT_EQ(ComTime[3].Retry, 2);
    EXPECT_EQ(MultiAxisEnable, 1);
    EXPECT_EQ(ComPortCnt, 8);
    EXPECT_EQ(ExtV25Opt[0], 0);
    EXPECT_EQ(ExtV25Opt[1], 1);
    EXPECT_EQ(ExtV25Opt[2], 1);
    EXPECT_EQ(ExtV36Val, 12);
    EXPECT_EQ(DllVer[0], 3);
    EXPECT_EQ(DllVer[1], 1);

    EXPECT_EQ(Prm16MaxAll, 100);
    EXPECT_EQ(Prm16Max, 2);
    EXPECT_EQ(Prm16SysCnt, 3);
    EXPECT_EQ(Prm16Last, 1); // Prm16Max - 1 in normal mode
    EXPECT_EQ(Prm16MaxSys, 4);
    EXPECT_EQ(MaxItem5, 5);
    EXPECT_EQ(MaxItem6, 6);
    EXPECT_EQ(AlmHistRows, 7);
    EXPECT_EQ(AlmTimeRows, 8);
    EXPECT_EQ(IhxBase, 9);
    EXPECT_EQ(FftReqCount, 10);
    EXPECT_EQ(FftSplitN, 10);
    EXPECT_EQ(FftDefAmp, 11);
    EXPECT_EQ(FftDefSmp, 13);
    EXPECT_EQ(FftTime, 14.5);
    EXPECT_EQ(SokuTeiRec.BaseTime, 15.5);
    EXPECT_EQ(RefSokuTeiRec.BaseTime, 15.5);
    EXPECT_EQ(WavGraph.SmpTime, 16.5);
    EXPECT_EQ(MaxItem17, -1);
    const int16_t moni[6] = {MoniOptCtrlMode, MoniOptIo1, MoniOptIo2, MoniOptLoad, MoniOptAbso, MoniOptMultiClr};
    for (int w = 0; w < 6; ++w) EXPECT_EQ(moni[w], 18 + w) << w;
    EXPECT_EQ(AlmTimNowShown, 24);
    EXPECT_EQ(MaxItem25, 25);
    EXPECT_EQ(MaxItem26, 26);
    EXPECT_EQ(ExecRightUse, 27);
    EXPECT_EQ(AutoKind, 28);
    EXPECT_EQ(WavMaxItem, 29);

    UserLevel = 3;
    ASSERT_EQ(Read(Group("MAX ITEM", maxItem)), -1);
    EXPECT_EQ(Prm16Last, 100); // Prm16MaxAll in internal and SE mode
}

TEST_F(DefFile, ExtensionsComputeTheirCountsForTheMode)
{
    ASSERT_EQ(Read(Group("EXTENTION V3.5", "DATA,0,2,1,3,0,8,24\n")), -1);
    EXPECT_EQ(FftFullClose[0], 0);
    EXPECT_EQ(FftFullClose[1], 0); // forced off when the option is not offered
    EXPECT_EQ(Prm32Cnt, -1);
    EXPECT_EQ(Prm32Max, 8);
    EXPECT_EQ(Prm32MaxSys, 24);
    EXPECT_EQ(Prm32MaxAll, 24);
    EXPECT_EQ(Prm32Last, 7);
    UserLevel = 3;
    ASSERT_EQ(Read(Group("EXTENTION V3.5", "DATA,0,Tr,1,2,0,8,24\n")), -1);
    EXPECT_EQ(FftFullClose[0], -1);
    EXPECT_EQ(FftFullClose[1], 1);
    EXPECT_EQ(Prm32Cnt, 0);
    EXPECT_EQ(Prm32Last, 23);

    ASSERT_EQ(Read(Group("EXTENTION V3.0", "DATA,0,1,5,6,7,10,11,12,20,21,22,30,31,32,\"-100\",\"100\",x16\n")), -1);
    EXPECT_EQ(PopEnable, -1);
    EXPECT_EQ(WavGraph.ExtV30Val2, Variant(true));
    EXPECT_EQ(ExtV30Val3, 6);
    EXPECT_EQ(ExtV30Val4, 7);
    EXPECT_EQ(PopStepCnt[3], 12);
    EXPECT_EQ(Pop16Cnt[3], 22);
    EXPECT_EQ(Pop32Cnt[3], 32);
    EXPECT_EQ(Pop32Cnt[1], 31);
    EXPECT_EQ(PopPosMin, Variant("-100"));
    EXPECT_EQ(PopPosMax, Variant("100"));
    EXPECT_EQ(ExtV30Val16, "x16");
    UserLevel = 1;
    ASSERT_EQ(Read(Group("EXTENTION V3.0", "DATA,0,0,0,6,7,10,11,12,20,21,22,30,31,32,\"\",\"\",\"\"\n")), -1);
    EXPECT_EQ(PopStepCnt[3], 11);
    EXPECT_EQ(WavGraph.ExtV30Val2, Variant(false));
}

TEST_F(DefFile, RateTable)
{
    ASSERT_EQ(Read(Group("EXTENTION V3.7", "DATA,0,4,9600,19200,38400,4800\n")), -1);
    EXPECT_EQ(BaudCnt, 4);
    EXPECT_EQ(BaudTbl[1], 19200);
    EXPECT_EQ(BaudTbl[3], 4800);
    ASSERT_EQ(Read(Group("EXTENTION V3.7", "DATA,0,0\n")), -1);
    EXPECT_EQ(BaudCnt, 0);
    EXPECT_EQ(BaudTbl[1], 19200);
    std::string many = "DATA,0,18";
    for (int i = 0; i < 18; ++i) many += ",1";
    ExpectFatal(Group("EXTENTION V3.7", many + "\n"));
    EXPECT_EQ(BaudCnt, 0);
    EXPECT_EQ(BaudTbl[0], 9600); // nothing stored from the refused record
}

TEST_F(DefFile, NumbersThatDoNotFitTheirFieldsOrTablesAreDamage)
{
    std::string maxItem = "DATA,0,256,257,257,0,0,0,14,14,0,2059";
    for (int i = 11; i <= 29; ++i) maxItem += ",1";
    ASSERT_EQ(Read(Group("MAX ITEM", maxItem + "\n")), -1);
    ExpectFatal(Group("MAX ITEM", "DATA,0,257\n"));
    ExpectFatal(Group("MAX ITEM", "DATA,0,255,-1\n"));
    ExpectFatal(Group("MAX ITEM", "DATA,0,255,128,128,0,0,0,14,14,0,2060\n"));
    ExpectFatal(Group("EXTENTION V3.5", "DATA,0,1,1,1,0,8,258\n"));
    ExpectFatal(Group("EXTENTION V3.0", "DATA,0,1,1,1,1,10,1026,1\n"));
    ExpectFatal(Group("EXTENTION V3.0", "DATA,0,1,1,1,1,10,11,12,20,21,514\n"));
    ExpectFatal(Group("EXTENTION V2.5", "DATA,0,1,40000\n")); // a value too large for its word
    ExpectFatal(Group("MAX ITEM", "DATA,0,255,128,128,0,0,0,14,14,0,2059,1,1,1,1e999\n")); // beyond a double
    ExpectFatal(Group("FILE VERSION", "DATA,11,\"a\",\"b\"\n"));
}

TEST_F(DefFile, DebugStateSetsTheConsole)
{
    std::vector<std::string> checks;
    std::vector<int> modes;
    int tests = 0;
    bool console = false;
    int32_t splash = 0;
    DebugHooks().setCheck = [&](const std::string& box, int16_t v) { checks.push_back(box + "=" + std::to_string(v)); };
    DebugHooks().setLogMode = [&](int16_t k, bool) { modes.push_back(k); };
    DebugHooks().comPortTest = [&] { ++tests; };
    DebugHooks().showConsole = [&](bool s) { console = s; };
    DebugHooks().setSplashTime = [&](int32_t ms) { splash = ms; };

    plat::ScriptedAsker ask;
    ASSERT_EQ(Read(Group("DEBUG STATE", "DATA,0,3,500,1,0,5,1,1,1\n")), -1);
    ASSERT_EQ(ask.Asked().size(), 1u);
    EXPECT_EQ(ask.Asked()[0].text, "[DEBUG STATE]Data group was detected. Remove it before delivery");
    EXPECT_EQ(ask.Asked()[0].title, plat::DefaultTitle());
    EXPECT_EQ(ask.Asked()[0].icon, plat::Icon::None);
    EXPECT_EQ(UserLevel, 3);
    EXPECT_EQ(splash, 500);
    EXPECT_EQ(checks, (std::vector<std::string>{"ChkDmyCom=1", "ChkComLog=0", "ChkLogWin=1", "ChkBlkLog=1"}));
    EXPECT_EQ(modes, (std::vector<int>{0, 2}));
    EXPECT_TRUE(console);
    EXPECT_EQ(tests, 1);

    // A mask of 0 leaves the log window and its categories alone; test 2 is not the test switch.
    checks.clear();
    modes.clear();
    ASSERT_EQ(Read(Group("DEBUG STATE", "DATA,0,1,2000,0,1,0,0,0,2\n")), -1);
    EXPECT_EQ(checks, (std::vector<std::string>{"ChkDmyCom=0", "ChkComLog=1", "ChkBlkLog=0"}));
    EXPECT_TRUE(modes.empty());
    EXPECT_FALSE(console);
    EXPECT_EQ(tests, 1);
    EXPECT_EQ(DbgState.ChkLogWin, 1); // ticked earlier, never cleared here
}

TEST_F(DefFile, SavedDebugStateReadsBack)
{
    UserLevel = 2;
    DbgState = DebugStateRec{1500, 1, 1, 1, {0, 1, 1, 0, 1}, 1, 1};
    const std::string path = (dir_ / "SaveTest.txt").string();
    ASSERT_EQ(FIL_SaveDebugState(path), -1);
    UserLevel = 1;
    DbgState = DebugStateRec{};
    int tests = 0;
    DebugHooks().comPortTest = [&] { ++tests; };
    plat::ScriptedAsker ask;
    ASSERT_EQ(FIL_ReadGroupFile(path, -1), -1);
    EXPECT_EQ(UserLevel, 2);
    EXPECT_EQ(DbgState.SplashTime, 1500);
    EXPECT_EQ(DbgState.ChkDmyCom, 1);
    EXPECT_EQ(DbgState.ChkComLog, 1);
    EXPECT_EQ(DbgState.ChkLogWin, 1);
    EXPECT_EQ(DbgState.ChkBlkLog, 1);
    EXPECT_EQ(DbgState.SysConShown, 1);
    // The log window's categories come back as category 0 alone.
    EXPECT_EQ(DbgState.ChkLogMode[0], 1);
    EXPECT_EQ(DbgState.ChkLogMode[1], 0);
    EXPECT_EQ(tests, 0);
    EXPECT_EQ(FIL_SaveDebugState((dir_ / "missing" / "x.txt").string()), 0);
}

TEST_F(DefFile, TextTablesAndTheirLimits)
{
    ASSERT_EQ(Read(Group("ERROR DATA", "DATA,200,\" Last \",b,c\nDATA,0,,,\n") +
                   Group("AUTO MESSAGE", "DATA,100,\"m, with comma\"\n") +
                   Group("CTRL MODE MENU", "DATA,10,speed\n") + Group("ABSO MENU", "DATA,16,on,off\n") +
                   Group("IN MENU", "DATA,40,i1,i2\n") + Group("OUT MENU", "DATA,0,o1,o2\n") +
                   Group("POS IN NAME", "DATA,1,p1,p2\n") + Group("POS OUT NAME", "DATA,2,q1,q2\n") +
                   Group("BIT NAME EXT", "DATA,40,20,top\nDATA,0,0,\"#zero\"\n") +
                   Group("LABEL TEXT", "DATA,30,30,corner\n") +
                   Group("FULL CLOSE ENABLE MODE", "DATA,10,1\n")),
              -1);
    EXPECT_EQ(AlmName[200], "Last");
    EXPECT_EQ(AlmTxt3[200], "c");
    EXPECT_EQ(AlmName[0], "");
    EXPECT_EQ(AutoMsg[100], "m, with comma");
    EXPECT_EQ(CtrlModeMenu[10], "speed");
    EXPECT_EQ(AbsoMenu[16][1], "on");
    EXPECT_EQ(AbsoMenu[16][2], "off");
    EXPECT_EQ(IoName[IoIn][40][2], "i2");
    EXPECT_EQ(IoName[IoOut][0][1], "o1");
    EXPECT_EQ(IoName[IoPosIn][1][1], "p1");
    EXPECT_EQ(IoName[IoPosOut][2][2], "q2");
    EXPECT_EQ(BitName[20][40], "top");
    EXPECT_EQ(BitName[0][0], "#zero");
    EXPECT_EQ(LblTxt[30][30], "corner");
    EXPECT_EQ(FullCloseMode[10], 1);

    ExpectFatal(Group("ERROR DATA", "DATA,201,a,b,c\n"));
    ExpectFatal(Group("ERROR DATA", "DATA,-1,a,b,c\n"));
    ExpectFatal(Group("BIT NAME EXT", "DATA,5,21,x\n"));
    ExpectFatal(Group("BIT NAME EXT", "DATA,41,0,x\n"));
    ExpectFatal(Group("LABEL TEXT", "DATA,0,31,x\n"));
    ExpectFatal(Group("ABSO MENU", "DATA,17,a,b\n"));
    ExpectFatal(Group("IN MENU", "DATA,41,a,b\n"));
    ExpectFatal(Group("CTRL MODE MENU", "DATA,11,a\n"));
    ExpectFatal(Group("AUTO MESSAGE", "DATA,101,a\n"));
    ExpectFatal(Group("FULL CLOSE ENABLE MODE", "DATA,11,1\n"));
    ExpectFatal(Group("ERROR DATA", "DATA,70000,a,b,c\n")); // an index beyond 16 bits
}

TEST_F(DefFile, RecordTables)
{
    AlartTbl[4].Off = 1;
    Pop16Prm[512].Value = 77;
    WavGraph.Ch[6].Color = 123;
    WavGraph.Ch[9].Color = 456;
    EncoderTbl[3].Enable = 0;
    ASSERT_EQ(Read(Group("MEASURE ITEM", "DATA,6,A,C,B,D,1\n") +
                   Group("DEF ENCODER", "DATA,3,0x0011,enc,5,100000,Tr,0\n") +
                   Group("AUTO PARA", "DATA,10,1,gain,0x20\n") + Group("ALART", "DATA,4,cap,msg,1\n") +
                   Group("POSITIONING COMBO", "DATA,100,10,name,70000,text\n") +
                   Group("POS PARA 16 MENU", "DATA,512,n,-5,5,0x08,1,g1,g2,g3,g4\n") +
                   Group("POS PARA 32 MENU", "DATA,0,big,-100000,100000,0,0,a,b,c,d\n") +
                   Group("GRAPH DATA", "DATA,99,255,65280,16711680,0\n")),
              -1);
    EXPECT_EQ(MeasItem[6].TextA, "A");
    EXPECT_EQ(MeasItem[6].TextB, "B");
    EXPECT_EQ(MeasItem[6].TextC, "C");
    EXPECT_EQ(MeasItem[6].TextD, "D");
    EXPECT_EQ(MeasItem[6].Offered, -1);
    EXPECT_EQ(EncoderTbl[3].Code, 0x11);
    EXPECT_EQ(EncoderTbl[3].Name, "enc");
    EXPECT_EQ(EncoderTbl[3].Val32, 100000);
    EXPECT_EQ(EncoderTbl[3].Flag1, -1);
    EXPECT_EQ(EncoderTbl[3].Flag2, 0);
    EXPECT_EQ(EncoderTbl[3].Enable, -1);
    EXPECT_EQ(AutoPrm[10].Shown, -1);
    EXPECT_EQ(AutoPrm[10].PrmNo, 0x20);
    EXPECT_EQ(AutoPrm[10].Label, "gain");
    EXPECT_EQ(AlartTbl[4].Caption, "cap");
    EXPECT_EQ(AlartTbl[4].Message, "msg");
    EXPECT_EQ(AlartTbl[4].Offer, 1);
    EXPECT_EQ(AlartTbl[4].Off, 1); // the user's choice survives a new reading
    EXPECT_EQ(PopItem[10][100].Name, "name");
    EXPECT_EQ(PopItem[10][100].Code, 70000);
    EXPECT_EQ(PopItem[10][100].Text, "text");
    EXPECT_EQ(Pop16Prm[512].Min, -5);
    EXPECT_EQ(Pop16Prm[512].Attr, 8);
    EXPECT_EQ(Pop16Prm[512].Guide[3], "g4");
    EXPECT_EQ(Pop16Prm[512].Value, 77);
    EXPECT_EQ(Pop32Prm[0].Max, 100000);
    EXPECT_EQ(WavGraph.Ch[1].Color, 255);
    EXPECT_EQ(WavGraph.Ch[2].Color, 65280);
    EXPECT_EQ(WavGraph.Ch[3].Color, 16711680);
    EXPECT_EQ(WavGraph.Ch[0].Color, 0);
    EXPECT_EQ(WavGraph.Ch[6].Color, 123);
    EXPECT_EQ(WavGraph.Ch[9].Color, 456);

    ExpectFatal(Group("MEASURE ITEM", "DATA,7,A,C,B,D,1\n"));
    ExpectFatal(Group("DEF ENCODER", "DATA,51,1,n,0,0,0,0\n"));
    ExpectFatal(Group("AUTO PARA", "DATA,11,1,x,1\n"));
    ExpectFatal(Group("ALART", "DATA,11,a,b,1\n"));
    ExpectFatal(Group("POSITIONING COMBO", "DATA,101,0,n,1,t\n"));
    ExpectFatal(Group("POSITIONING COMBO", "DATA,0,11,n,1,t\n"));
    ExpectFatal(Group("POS PARA 32 MENU", "DATA,513,n,0,0,0,0,a,b,c,d\n"));
    ExpectFatal(Group("POS PARA 16 MENU", "DATA,0,n,0,3000000000,0,0,a,b,c,d\n"));
}

TEST_F(DefFile, EveryShippedDefinitionFileReads)
{
    plat::SetAppDir(MEVALO_SOURCE_DIR "/runtime");
    const auto names = plat::ListDir(plat::AppFile("ini\\def"), "*.def");
    ASSERT_FALSE(names.empty());
    plat::EndProgramThrows ends;
    plat::ScriptedAsker ask;
    for (const std::string& n : names) {
        try {
            EXPECT_EQ(FIL_ReadGroupFile(plat::AppFile("ini\\def\\" + n), -1), -1) << n;
        } catch (const plat::ProgramEnded&) {
            ADD_FAILURE() << n << " is damaged: " << (ask.Asked().empty() ? "" : ask.Asked().back().text);
        }
    }
    EXPECT_TRUE(ask.Asked().empty()); // no developer group ships

    // What start-up and the series need of them.
    ASSERT_EQ(FIL_LoadDefFile("default"), -1);
    EXPECT_EQ(DllVer[0], 3);
    EXPECT_EQ(DllVer[1], 1);
    ASSERT_EQ(FIL_LoadDef("TESK_R"), -1);
    for (const ComTimeRec& t : ComTime) EXPECT_GT(t.Retry, 0);
    EXPECT_NE(MenuMask[2], 0);
    EXPECT_GT(WavMaxItem, 0);
    EXPECT_GT(BaudCnt, 0);
}

} // namespace
