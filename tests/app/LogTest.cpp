#include "AppTestUtil.h"

#include "app/FrmLog.h"
#include "app/Log.h"
#include "app/LogSvc.h"
#include "platform/FormRegistry.h"

#include <QCheckBox>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

class LogTest : public ::testing::Test {
  protected:
    void SetUp() override { w = FrmLog::Load(); }
    void TearDown() override {
        FrmLog::Unload();
        FlushDeletes();
    }
    // Shows the window and ticks the categories of mask.
    void ShowWith(int mask) {
        w->show();
        for (int i = 0; i < FrmLog::LogModeCnt; ++i)
            w->ChkLogMode[i]->setChecked((mask >> i) & 1);
    }
    std::string Shown() const { return w->TxtLog->toPlainText().toStdString(); }

    TempAppDir dir;
    FrmLog* w = nullptr;
};

} // namespace

TEST_F(LogTest, TheWindowIsLoadedHiddenOnceAndRegistered) {
    EXPECT_EQ(FrmLog::Load(), w);
    EXPECT_EQ(FrmLog::Loaded(), w);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->Mask(), 0);
    EXPECT_TRUE(plat::IsFrmLoad("FrmLog"));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Log"));
    EXPECT_EQ(w->ChkLogMode[3]->text(), QStringLiteral("Used Files"));
    FrmLog::Unload();
    EXPECT_EQ(FrmLog::Loaded(), nullptr);
    EXPECT_FALSE(plat::IsFrmLoad("FrmLog"));
    log("after unload", LogOther); // no window: nothing happens, nothing breaks
}

TEST_F(LogTest, HiddenWindowWritesNothingAnywhere) {
    for (int i = 0; i < FrmLog::LogModeCnt; ++i)
        w->ChkLogMode[i]->setChecked(true);
    log("a", LogOther);
    LogFileOut("b");
    const uint8_t bytes[] = {1, 2};
    LogHexDump(bytes, 2, LogCom);
    EXPECT_EQ(Shown(), "");
    EXPECT_FALSE(dir.exists("Log.txt"));
}

TEST_F(LogTest, CategoriesSelectWhatIsLogged) {
    ShowWith(0x12);
    EXPECT_EQ(w->Mask(), 0x12);
    log("b", LogCom);
    log("c", LogOther);
    log("d", LogOther | LogDebug);
    EXPECT_EQ(Shown(), "b\nd\n");
    EXPECT_EQ(dir.get("Log.txt"), "b\r\nd\r\n");
}

TEST_F(LogTest, DirectFileWritesIgnoreTheCategories) {
    ShowWith(0);
    log("x", LogOther);
    LogFileOut("direct");
    EXPECT_EQ(Shown(), "");
    EXPECT_EQ(dir.get("Log.txt"), "direct\r\n");
}

TEST_F(LogTest, FullWindowStopsTakingLinesButTheFileKeepsEverything) {
    ShowWith(LogOther);
    const std::string line(98, 'x'); // 100 characters with the line end
    for (int i = 0; i < 25; ++i)
        log(line, LogOther);
    // 20 lines fill the window to 2000 characters; the check comes before each append.
    EXPECT_EQ(w->TxtLog->toPlainText().count(QLatin1Char('\n')), 20);
    EXPECT_EQ(dir.get("Log.txt").size(), 25u * 100u);

    w->CmdClear_Click();
    EXPECT_EQ(Shown(), "");
    EXPECT_FALSE(dir.exists("Log.txt"));
    log("again", LogOther);
    EXPECT_EQ(Shown(), "again\n");
    w->CmdClear_Click();
    w->CmdClear_Click(); // no file to delete: not an error
}

TEST_F(LogTest, HexDumpOfTenBytesGivesTwoLines) {
    ShowWith(LogCom);
    const std::vector<uint8_t> bytes = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    LogHexDump(bytes, 10, LogCom);
    EXPECT_EQ(Shown(), "    00 : 00 01 02 03 04 05 06 07\n    08 : 08 09\n");

    w->CmdClear_Click();
    LogHexDump(bytes, 0, LogCom);
    EXPECT_EQ(Shown(), "");
    EXPECT_EQ(dir.get("Log.txt"), "No data available\r\n");
}

TEST_F(LogTest, HexDumpNeverReadsPastItsDataAndWrapsLongIndexes) {
    const std::vector<uint8_t> three = {0xAB, 0xCD, 0xEF};
    EXPECT_EQ(HexDumpLines(three, 200), std::vector<std::string>{"    00 : AB CD EF"});
    EXPECT_TRUE(HexDumpLines(three, -5).empty());

    const std::vector<uint8_t> big(264, 0x5A);
    const auto lines = HexDumpLines(big, 264);
    ASSERT_EQ(lines.size(), 33u);
    EXPECT_EQ(lines[32], "    00 : 5A 5A 5A 5A 5A 5A 5A 5A"); // index 0x100
}

TEST_F(LogTest, CommandFrameHeaderThenData) {
    EXPECT_EQ(CmdFrameHeader("P", 1, 8, 2, 3), "P03,01,28,");
    ShowWith(LogCom);
    const std::vector<uint8_t> data = {0x0A, 0x0B, 0x0C};
    LogCmdFrame("P", 1, 8, 2, data, 3);
    EXPECT_EQ(Shown(), "P03,01,28,\n    00 : 0A 0B 0C\n");
    EXPECT_EQ(dir.get("Log.txt"), "P03,01,28,\r\n    00 : 0A 0B 0C\r\n");
}

TEST_F(LogTest, WrtLogTxtWritesWhetherShownOrNot) {
    WrtLogTxt("one");
    WrtLogTxt("two");
    EXPECT_EQ(dir.get("Log.txt"), "one\r\ntwo\r\n");
}
