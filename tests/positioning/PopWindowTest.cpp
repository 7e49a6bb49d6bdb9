// The positioning windows as a user drives them, against the simulated amplifier: the load dialog, the
// editor's step and parameter rows, closing with the EEPROM offer, and the monitor's copy of the target.
#include "PopEnv.h"

#include "positioning/FrmPom.h"
#include "positioning/FrmPop.h"
#include "positioning/FrmPopEEP.h"
#include "positioning/FrmPopLod.h"
#include "positioning/FrmPopPrn.h"
#include "positioning/PopEep.h"
#include "positioning/PopWiring.h"
#include "app/Frame.h"
#include "app/Glb.h"
#include "app/Prd.h"
#include "app/SetModel.h"
#include "app/Mevalo.h"
#include "platform/FormRegistry.h"

#include "PrintDialogAnswer.h"
#include <QMdiArea>

#include <QApplication>

#include <algorithm>
#include <cstdlib>
#include <QCheckBox>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <QClipboard>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

using namespace poptest;

namespace {

class PopWindows : public PopAmp {
  protected:
    void TearDown() override {
        PopSent = 0; // no EEPROM offer while the windows go
        for (QWidget* w :
             {static_cast<QWidget*>(FrmPop::Instance()), static_cast<QWidget*>(FrmPom::Instance())})
            if (w) {
                w->close();
                delete w;
            }
        FrmPopLod::SetShowHook(nullptr);
        FrmPopEEP::SetShowHook(nullptr);
        PopAmp::TearDown();
    }
};

} // namespace

TEST_F(PopWindows, LoadDialogReceivesOnlyWhenEveryTableCame) {
    PopStep[0].Comment = "old";
    DefineCounts(model->options().popSteps, 30, model->options().pop32);
    std::string seen;
    FrmPopLod::SetShowHook([&](FrmPopLod& d) {
        EXPECT_TRUE(d.OptDrv->isChecked());
        EXPECT_TRUE(d.ChkRecvByPage->isChecked() && d.ChkRecvByAxis->isEnabled());
        d.CmdOk_Click(); // the 16-bit table cannot be read whole: the dialog stays
        seen = d.Result();
        d.OptDefault->click();
        EXPECT_FALSE(d.ChkRecvByPage->isEnabled() || d.ChkRecvByPage->isChecked());
        d.CmdCancel_Click();
    });
    EXPECT_EQ(FrmPopLod::Exec("Load"), "Cancel");
    EXPECT_EQ(seen, "Cancel");
    EXPECT_EQ(asker.Asked().back().text, "Transfer failed");
    EXPECT_EQ(PopStep[0].Comment, "old");

    DefineCounts(model->options().popSteps, model->options().pop16, model->options().pop32);
    FrmPopLod::SetShowHook([](FrmPopLod& d) { d.CmdOk_Click(); });
    EXPECT_EQ(FrmPopLod::Exec("Load"), "Recieve");
    EXPECT_EQ(PopStep[0].Comment, "");
    EXPECT_EQ(PopStep[10].Position, model->step(10).pos);
    EXPECT_EQ(PopRecvByPage, -1);
    EXPECT_EQ(PopRecvByAxis, -1);
    EXPECT_EQ(PopSrc, 1);
}

TEST_F(PopWindows, EditorAppliesRowsFromTheKeyboardAndOffersEepromOnClose) {
    ASSERT_EQ(PopRecvTables(PopStep, Pop16Prm, Pop32Prm, "steps"), 0);
    SetPopDataSource(1, "");
    FrmPop* w = FrmPop::Show();
    QApplication::processEvents();
    QTest::qWait(30);
    EXPECT_EQ(w->windowTitle().toStdString(), "Positioning parameter(Read-out value from the amplifier.)");
    // Row 2 of the step page: a new position, applied with Enter.
    w->TxtPos[2]->setFocus();
    w->TxtPos[2]->setText("-9223372036854775808");
    QTest::keyClick(w->TxtPos[2], Qt::Key_Return);
    EXPECT_EQ(model->step(2).pos, std::numeric_limits<int64_t>::min());
    EXPECT_EQ(w->TxtPos[2]->text().toStdString(), "-9223372036854775808");
    // Page Down at the end of the table wraps to its start.
    w->VScrStep->setValue(w->VScrStep->maximum());
    w->TxtPos[0]->setFocus();
    QTest::keyClick(w->TxtPos[0], Qt::Key_PageDown);
    EXPECT_EQ(w->VScrStep->value(), 0);
    // Arrow keys in a list move between rows and never change the selection.
    const int sel = w->CmbVel[1]->currentIndex();
    w->CmbVel[1]->setFocus();
    QTest::keyClick(w->CmbVel[1], Qt::Key_Down);
    EXPECT_EQ(w->CmbVel[1]->currentIndex(), sel);
    EXPECT_EQ(w->CurRow(), 2);

    // A 16-bit value, with the row set apart beyond the count.
    w->TabStrip1_Click(1);
    QLineEdit* box = w->Prm[0].val[1];
    box->setFocus();
    box->setText("123");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(model->pop16(1).ram, 123);
    // Its up-down steps the box within the limits and sends nothing.
    QTest::mouseClick(w->Prm[0].updn[1]->findChildren<QToolButton*>().at(0), Qt::LeftButton);
    EXPECT_EQ(box->text().toStdString(), "124");
    EXPECT_EQ(model->pop16(1).ram, 123);
    w->Prm[0].scr->setValue(w->Prm[0].scr->maximum());
    EXPECT_FALSE(w->Prm[0].val[7]->isVisibleTo(w) && w->Prm[0].scr->value() + 7 >= Pop16InUse());

    // After a complete send, closing offers the EEPROM write of the changes.
    ASSERT_TRUE(PopSendAll());
    PopCheckPoint(PopEepOpt::ForceAll);
    PopStep[5].Position += 1;
    ASSERT_TRUE(PopSendAll());
    int listed = 0;
    FrmPopEEP::SetShowHook([&](FrmPopEEP& d) {
        listed = d.ListView1->topLevelItemCount();
        d.CmdOk_Click();
    });
    w->close();
    EXPECT_EQ(listed, 1);
    EXPECT_EQ(model->eepromWrites(2), 1);
}

TEST_F(PopWindows, PrintGoesThroughThePrintDialogAndTellsHowItEnded) {
    if (std::system("pdftotext -v >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdftotext is not installed";
    ASSERT_EQ(PopRecvTables(PopStep, Pop16Prm, Pop32Prm, "steps"), 0);
    SetPopDataSource(1, "");
    PopStep[3].Comment = "park at the stop";
    CommentTxt[3][0] = "bench axis memo";
    FrmPop* w = FrmPop::Show();
    QApplication::processEvents();
    std::vector<std::string> status;
    const FrameHooks keepFrame = Frame();
    Frame().updStat = [&status](const std::string& t) { status.push_back(t); };
    const auto prevPrn = FrmPopPrn::SetShowHook([](FrmPopPrn& d) {
        d.ChkStep->setChecked(true);
        d.OptStep[0]->setChecked(true);
        d.ChkPop16->setChecked(true);
        d.ChkPop32->setChecked(true);
        d.CmdOk_Click();
    });
    QTemporaryDir dir;
    const QString text = testmain::PrintThreeWays([w] { w->MnuInSatu_Click(); }, dir.path(),
                                                  "Print of the parameter", "Print completed,", asker, status);
    FrmPopPrn::SetShowHook(prevPrn);
    Frame() = keepFrame;
    CommentTxt[3][0].clear();
    for (const char* t :
         {"Step data list", "Positioning parameter list (16bit)", "Positioning parameter list (32bit)",
          "Model name :", "bench axis memo", "park at the stop", "Position/Dowel time"})
        EXPECT_TRUE(text.contains(t)) << t << "\n" << text.toStdString();
}

// The editor opens with the focus in the mode cell of row 0: its guide is there before any click, and
// each parameter page opens with the guide of its first row.
TEST_F(PopWindows, GuideOfTheFocusedCellIsShownOnOpening) {
    for (int i = 0; i < 4; ++i)
        LblTxt[2][12 + i] = "Mode guide " + std::to_string(i);
    Pop16Prm[0].Guide[0] = "First 16-bit guide";
    auto main = std::make_unique<Mevalo>();
    main->show();
    WirePositioningScreens();
    FrmPopLod::SetShowHook([](FrmPopLod& d) { d.CmdOk_Click(); });
    FrmPopEEP::SetShowHook([](FrmPopEEP& d) { d.CmdCancel_Click(); });
    main->MnuHyouji_Click(7);
    FrmPop* w = FrmPop::Instance();
    ASSERT_NE(w, nullptr);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(w->LblMsgStep[static_cast<size_t>(i)]->text().toStdString(),
                  "Mode guide " + std::to_string(i));
    EXPECT_EQ(w->CurRow(), 0);
    w->TabStrip1_Click(1);
    EXPECT_EQ(w->Prm[0].msg[0]->text().toStdString(), "First 16-bit guide");
    w->close();
    main.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (auto& row : LblTxt)
        for (auto& t : row)
            t.clear();
}

TEST_F(PopWindows, ApplyingARowKeepsTheCodesItsListsDoNotHold) {
    // Step 2's mode (2) and velocity (2) are codes that no entry of their lists holds.
    PopItem[3][2].Code = 126;
    PopItem[0][2].Code = 15;
    ASSERT_EQ(PopRecvTables(PopStep, Pop16Prm, Pop32Prm, "steps"), 0);
    PopCheckPoint(PopEepOpt::ForceAll);
    SetPopDataSource(1, "");
    FrmPop* w = FrmPop::Show();
    QApplication::processEvents();
    ASSERT_EQ(w->CmbMod[2]->currentIndex(), -1);
    ASSERT_EQ(w->CmbVel[2]->currentIndex(), -1);

    // Only the position changes, on the amplifier, in the table and in the EEPROM change list.
    w->TxtPos[2]->setFocus();
    w->TxtPos[2]->setText("77");
    QTest::keyClick(w->TxtPos[2], Qt::Key_Return);
    EXPECT_EQ(model->step(2).pos, 77);
    EXPECT_EQ(model->step(2).mode, 2);
    EXPECT_EQ(model->step(2).vel, 2);
    EXPECT_EQ(PopStep[2].Mod, 2);
    const auto changes = PopChangeList();
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].before, "-3000000021");
    EXPECT_EQ(changes[0].after, "77");

    // A choice in the list does change the code.
    w->CmbMod[2]->setCurrentIndex(w->CmbMod[2]->findData(126));
    w->TxtPos[2]->setFocus();
    QTest::keyClick(w->TxtPos[2], Qt::Key_Return);
    EXPECT_EQ(model->step(2).mode, 126);
    EXPECT_EQ(model->step(2).vel, 2);
}

TEST_F(PopWindows, MonitorCopiesTheTargetPositionToTheClipboard) {
    ampsim::ModelR::PopMonitor pm;
    pm.pos = -9223372036854775807LL;
    pm.b28 = 1;
    model->setPopMonitor(pm);
    WavMaxItem = 20;
    FrmPom* m = FrmPom::Show();
    m->Timer1->stop();
    m->Timer1_Timer();
    EXPECT_EQ(m->LblWork->text().toStdString(), "");
    EXPECT_EQ(m->LblTgtPos->text().toStdString(), "-9223372036854775807");
    m->LblTgtPos_Click();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "-9223372036854775807");
    EXPECT_EQ(m->Timer1->interval(), 200);
}

TEST_F(PopWindows, AxisChangeReceivesFromTheNewAxisOrPutsTheKeptValuesBack) {
    WirePositioningScreens();
    ampsim::ModelR::Options o;
    ampsim::ModelR other(o);
    other.setStep(3, {-42, 1, 1, 1, 1, 1});
    sim.setHandler(other.handler(), 1);
    sim.setAddresses({0, 1});
    ASSERT_EQ(PopRecvTables(PopStep, Pop16Prm, Pop32Prm, "steps"), 0);
    FrmPop::Show();

    // Without receive-by-axis the values from before the change come back, with the new limits.
    BackupPopData();
    const int32_t kept = Pop16Prm[2].Value;
    Pop16Prm[2] = PopPrmRec{};
    Pop16Prm[2].Max = 9;
    RestorePopData();
    EXPECT_EQ(Pop16Prm[2].Value, kept);
    EXPECT_EQ(Pop16Prm[2].Max, 9);

    // With it, the editor receives everything from the new address, checking the link once: showing
    // the tables afterwards asks nothing more.
    PopRecvByAxis = PopRecvByPage = -1;
    AxisNo = 1;
    sim.clearLog();
    AxisScreens().popUpdAxis();
    QTest::qWait(30);
    AxisNo = 0;
    const auto& asked = sim.requests();
    EXPECT_EQ(std::count_if(asked.begin(), asked.end(), [](const auto& r) { return r.cmd == 0; }), 1);
    EXPECT_EQ(PopStep[3].Position, -42);
    EXPECT_EQ(PopSrc, 1);
    EXPECT_EQ(PopSent, -1);
    sim.setHandler(model->handler(), 1); // the second model goes with this test
}

TEST_F(PopWindows, DisplayItemsOpenBothScreensInTheFrameAndCloseAllUnloadsThem) {
    auto main = std::make_unique<Mevalo>();
    main->show();
    WirePositioningScreens();
    WavMaxItem = 20;
    int offered = 0;
    FrmPopLod::SetShowHook([](FrmPopLod& d) { d.CmdCancel_Click(); });
    main->MnuHyouji_Click(7);
    EXPECT_FALSE(plat::IsFrmLoad("FrmPop")); // "Cancel": no editor
    FrmPopLod::SetShowHook([](FrmPopLod& d) { d.CmdOk_Click(); });
    FrmPopEEP::SetShowHook([&](FrmPopEEP& d) {
        ++offered;
        d.CmdCancel_Click();
    });
    main->MnuHyouji_Click(7);
    main->MnuHyouji_Click(8);
    ASSERT_TRUE(FrmPop::Instance() && FrmPom::Instance());
    EXPECT_EQ(main->MdiArea()->subWindowList().size(), 2);
    main->MnuHyouji_Click(9);
    for (int i = 0; i < 200 && (main->CloseGoing() || plat::IsFrmLoad("FrmPop") || plat::IsFrmLoad("FrmPom"));
         ++i)
        QTest::qWait(10);
    EXPECT_FALSE(plat::IsFrmLoad("FrmPop"));
    EXPECT_FALSE(plat::IsFrmLoad("FrmPom"));
    EXPECT_EQ(offered, 1); // received data count as transmitted: their EEPROM write is offered
    main.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
