#include "AppTestUtil.h"

#include "app/FrmCaution.h"
#include "app/FrmDrvErr.h"
#include "app/FrmLog.h"
#include "app/Glb.h"
#include "comm/ComStatus.h"
#include "platform/FormRegistry.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

struct DrvErrSeen {
    std::string title, msg, code;
    std::vector<std::string> list;
    int height = 0;
    bool arrow = false;
};

class DrvErrTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int b = 0; b < 8; ++b)
            BitName[0][b] = "bit" + std::to_string(b);
        log = FrmLog::Load();
        log->show(); // the "ChkRes:" line goes to Log.txt only while the log window is shown
        FrmDrvErr::SetShowHook([this](FrmDrvErr& w) {
            DrvErrSeen s;
            s.title = w.windowTitle().toStdString();
            s.msg = w.LblMsg->text().toStdString();
            s.code = w.LblErrCod->text().toStdString();
            for (int i = 0; i < w.LstErr->count(); ++i)
                s.list.push_back(w.LstErr->item(i)->text().toStdString());
            s.height = w.height();
            s.arrow =
                QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::ArrowCursor;
            seen = s;
            w.CmdExit->click();
        });
    }
    void TearDown() override {
        FrmDrvErr::SetShowHook({});
        for (int b = 0; b < 8; ++b)
            BitName[0][b].clear();
        ComStatus = 0;
        UserLevel = 1;
        FrmLog::Unload();
        FlushDeletes();
    }

    TempAppDir dir;
    FrmLog* log = nullptr;
    std::optional<DrvErrSeen> seen;
};

} // namespace

TEST_F(DrvErrTest, ListsTheSetBitsFromSevenDown) {
    ComStatus = 0x85;
    UserLevel = 3;
    FrmDrvErr::DspErr("Communication cmd:8 mode:2", 0);
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->title, "Communication error");
    EXPECT_EQ(seen->msg, "Communication cmd:8 mode:2");
    EXPECT_EQ(seen->code, "Response:85");
    EXPECT_EQ(seen->list, (std::vector<std::string>{"bit7", "bit2", "bit0"}));
    EXPECT_TRUE(seen->arrow);
    EXPECT_EQ(dir.get("Log.txt"), "ChkRes:Communication cmd:8 mode:2:85\r\n");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr); // the caller's pointer is back
    FlushDeletes();
    EXPECT_FALSE(plat::IsFrmLoad("FrmDrvErr"));
}

TEST_F(DrvErrTest, StatusZeroShowsNothingAndLeavesThePointer) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ComStatus = 0;
    FrmDrvErr::DspErr("Communication cmd:0 mode:0", 0);
    EXPECT_FALSE(seen);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QApplication::restoreOverrideCursor();
    EXPECT_FALSE(dir.exists("Log.txt"));
}

TEST_F(DrvErrTest, CodeHasNoLeadingZerosAndBadSetsListNothing) {
    EXPECT_EQ(DrvErrCodeText(0x08), "Response:8");
    EXPECT_EQ(DrvErrCodeText(0xF0), "Response:F0");
    ComStatus = 0x08;
    FrmDrvErr::DspErr("x", 21);
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->code, "Response:8");
    EXPECT_TRUE(seen->list.empty());
    EXPECT_TRUE(DrvErrBitNames(0xFF, -1).empty());
    EXPECT_EQ(DrvErrBitNames(0x01, 20).size(), 1u);
}

TEST_F(DrvErrTest, TheListIsVisibleOnlyInInternalAndSeMode) {
    ComStatus = 0x01;
    UserLevel = 1;
    FrmDrvErr::DspErr("x", 0);
    ASSERT_TRUE(seen);
    const int normal = seen->height;
    UserLevel = 2;
    FrmDrvErr::DspErr("x", 0);
    EXPECT_GT(seen->height, normal);
}

TEST_F(DrvErrTest, RunsModallyUntilConfirmed) {
    FrmDrvErr::SetShowHook({});
    ModalWatchdog watchdog;
    ComStatus = 0x40;
    bool clicked = false;
    QTimer::singleShot(0, [&] {
        auto* w = qobject_cast<FrmDrvErr*>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->LblErrCod->text(), QStringLiteral("Response:40"));
        clicked = true;
        w->CmdExit->click();
    });
    FrmDrvErr::DspErr("Measurement", 0);
    EXPECT_TRUE(clicked);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

namespace {

class CautionTest : public ::testing::Test {
  protected:
    void TearDown() override {
        FrmCaution::SetShowHook({});
        for (AlartRec& r : AlartTbl)
            r = AlartRec{};
        FlushDeletes();
    }
    // Installs a hook that records what the window showed and then does act.
    void OnShow(std::function<void(FrmCaution&)> act) {
        FrmCaution::SetShowHook([this, act](FrmCaution& w) {
            ++shown;
            title = w.windowTitle().toStdString();
            msg = w.LblMsg->text().toStdString();
            boxOffered = !w.ChkVoid->isHidden();
            boxTicked = w.ChkVoid->isChecked();
            act(w);
        });
    }

    int shown = 0;
    std::string title, msg;
    bool boxOffered = false, boxTicked = true;
};

} // namespace

TEST_F(CautionTest, ExecuteGoesOnCancelDoesNot) {
    AlartTbl[1] = {"Auto tuning", "The motor will move.", 0, 0};
    OnShow([](FrmCaution& w) { w.CmdOk->click(); });
    bool ok = false;
    FrmCaution::Exec(1, ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(title, "Auto tuning");
    EXPECT_EQ(msg, "The motor will move.");
    EXPECT_FALSE(boxOffered);

    OnShow([](FrmCaution& w) { w.Command1->click(); });
    FrmCaution::Exec(1, ok);
    EXPECT_FALSE(ok);

    OnShow([](FrmCaution&) {}); // closed without a button
    ok = true;
    FrmCaution::Exec(1, ok);
    EXPECT_FALSE(ok);
}

TEST_F(CautionTest, TickThenCancelStillSwitchesTheCautionOff) {
    AlartTbl[2] = {"Monitor", "Check the wiring.", 1, 0};
    OnShow([](FrmCaution& w) {
        EXPECT_EQ(w.ChkVoid->text(), QStringLiteral("No display of this window hereafter"));
        w.ChkVoid->click();
        w.Command1->click();
    });
    bool ok = true;
    FrmCaution::Exec(2, ok);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(boxOffered);
    EXPECT_FALSE(boxTicked);
    EXPECT_EQ(AlartTbl[2].Off, 1);

    FrmCaution::Exec(2, ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(CautionOff(2));
}

TEST_F(CautionTest, IndexOutsideTheTableIsRefusedWithoutAWindow) {
    OnShow([](FrmCaution& w) { w.CmdOk->click(); });
    bool ok = true;
    FrmCaution::Exec(11, ok);
    EXPECT_FALSE(ok);
    ok = true;
    FrmCaution::Exec(-1, ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(shown, 0);
    EXPECT_FALSE(CautionOff(99));
}

TEST_F(CautionTest, RunsModallyUntilAnswered) {
    AlartTbl[0] = {"Caution", "Go?", 0, 0};
    ModalWatchdog watchdog;
    QTimer::singleShot(0, [] {
        auto* w = qobject_cast<FrmCaution*>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        w->CmdOk->click();
    });
    bool ok = false;
    FrmCaution::Exec(0, ok);
    EXPECT_TRUE(ok);
}
