// The console: its switches as the DEBUG STATE group and the boxes set them, and the series dispatcher.
#include "CommEnv.h"

#include "app/FrmLog.h"
#include "comm/TeskCmd.h"
#include "data/DefFil.h"
#include "platform/Ask.h"

#include <QCheckBox>

#include <filesystem>
#include <fstream>

#include <unistd.h>

using namespace commtest;

TEST(SysCon, DefinitionFileHooksAndBoxesSetTheSameSwitches) {
    ResetState();
    FrmSysCon* con = FrmSysCon::Load();
    ASSERT_TRUE(con);
    EXPECT_FALSE(con->isVisible());

    DebugHooks().setCheck("ChkDmyCom", 1);
    DebugHooks().setCheck("ChkBlkLog", 2); // any ticked state counts as on
    EXPECT_EQ(SysCon.ChkDmyCom, 1);
    EXPECT_EQ(SysCon.ChkBlkLog, 1);
    EXPECT_EQ(DbgState.ChkBlkLog, 1);
    EXPECT_TRUE(con->ChkDmyCom->isChecked());

    con->Chk485Err->click();
    EXPECT_EQ(SysCon.Chk485Err, 1);
    con->ChkDmyCom->click();
    EXPECT_EQ(SysCon.ChkDmyCom, 0);
    EXPECT_EQ(DbgState.ChkDmyCom, 0);

    // The log window's switch shows the log window, and the categories come from the same group.
    DebugHooks().setCheck("ChkLogWin", 1);
    ASSERT_TRUE(FrmLog::Loaded());
    EXPECT_TRUE(FrmLog::Loaded()->isVisible());
    DebugHooks().setLogMode(1, true);
    EXPECT_EQ(FrmLog::Loaded()->Mask(), 2);
    con->ChkLogWin->click();
    EXPECT_FALSE(FrmLog::Loaded()->isVisible());

    DebugHooks().showConsole(true);
    EXPECT_TRUE(con->isVisible());
    EXPECT_EQ(DbgState.SysConShown, 1);
    con->close();
    EXPECT_FALSE(con->isVisible());
    EXPECT_EQ(FrmSysCon::Loaded(), con) << "closing only hides the console";
    ResetState();
}

// A data file that turns the switches on and then fails leaves the console, the log window and the
// link as they were.
TEST(SysCon, AFailedReadSwitchesBack) {
    ResetState();
    FrmSysCon* con = FrmSysCon::Load();
    for (const char* box : {"ChkDmyCom", "ChkComLog", "ChkLogWin", "ChkBlkLog"})
        DebugHooks().setCheck(box, 0);
    for (QCheckBox* mode : FrmLog::Load()->ChkLogMode)
        mode->setChecked(false);
    DbgState = DebugStateRec{};
    con->hide();
    UserLevel = 1;

    const std::string path = (std::filesystem::temp_directory_path() /
                              ("mevalo_syscon_" + std::to_string(::getpid()) + ".prm")).string();
    std::ofstream(path, std::ios::binary) << "DEBUG STATE,1\r\nDATA,0,3,500,1,1,5,1,1,0\r\nEND\r\n";
    plat::ScriptedAsker ask;
    EXPECT_EQ(FIL_ReadGroupFile(path, 0), 0);
    std::filesystem::remove(path);

    EXPECT_EQ(ask.Asked().size(), 1u); // the developer group's notice, nothing more
    EXPECT_EQ(UserLevel, 1);
    EXPECT_EQ(SysCon.ChkDmyCom, 0);
    EXPECT_EQ(SysCon.ChkComLog, 0);
    EXPECT_EQ(SysCon.ChkBlkLog, 0);
    EXPECT_EQ(SysCon.ChkLogWin, 0);
    EXPECT_FALSE(con->ChkDmyCom->isChecked());
    EXPECT_FALSE(con->isVisible());
    EXPECT_FALSE(FrmLog::Loaded()->isVisible());
    EXPECT_EQ(FrmLog::Loaded()->Mask(), 0);
    EXPECT_EQ(DbgState.SplashTime, DebugStateRec{}.SplashTime);
    EXPECT_EQ(DbgState.ChkLogMode[0] + DbgState.ChkLogMode[2], 0);
    ResetState();
}

TEST(TeskCmd, RequestsGoToTheFamilyOfTheSeries) {
    std::vector<std::string> called;
    FamilyK().ErrMonK = [&] {
        called.push_back("K");
        return int16_t(-1);
    };
    FamilyM().AlmNowM = [&] {
        called.push_back("M");
        return int16_t(-1);
    };
    FamilyR().GetAlmNoGlb = [&] {
        called.push_back("R");
        return int16_t(-1);
    };

    CmdFamily = 1, KisyuCode = 25;
    EXPECT_EQ(ReadErrMon(), -1);
    CmdFamily = 5, KisyuCode = 25;
    EXPECT_EQ(ReadErrMon(), -1);
    CmdFamily = 5, KisyuCode = 21;
    EXPECT_EQ(ReadErrMon(), -1);
    EXPECT_EQ(called, (std::vector<std::string>{"K", "R", "M"}));
    // Family R only requests are 0 elsewhere, without a call.
    EXPECT_EQ(ReadAlmExtB(), 0);

    // Versions: cleared first; empty for family K.
    CpuVer[2].Present = 1;
    CmdFamily = 1;
    EXPECT_TRUE(GetVerInfo(CpuVer).IsEmpty());
    EXPECT_EQ(CpuVer[2].Present, 0);

    // A procedure not installed fails.
    FamilyK() = FamilyKCmds{};
    FamilyM() = FamilyMCmds{};
    FamilyR() = FamilyRCmds{};
    CmdFamily = 5, KisyuCode = 25;
    int32_t in = 0, out = 0;
    int16_t c = 0, a = 0, w = 0;
    EXPECT_EQ(ReadIoMon(in, out, c, a, w), 0);
    ResetState();
}
