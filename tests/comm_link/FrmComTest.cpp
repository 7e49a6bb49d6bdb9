// The communication settings dialog: what it shows, its boxes' clamps and Esc, and the OK and Cancel
// roads with the link they leave behind.
#include "LinkEnv.h"
#include "comm/FrmCom.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class FrmComTest : public LinkEnv {
  protected:
    static void Focus(QLineEdit* box, QEvent::Type type) {
        QFocusEvent e(type, Qt::TabFocusReason);
        QApplication::sendEvent(box, &e);
    }
    // Types text into box the way a user does: focus in, new text, focus out.
    static void Type(QLineEdit* box, const char* text) {
        Focus(box, QEvent::FocusIn);
        box->setText(text);
        Focus(box, QEvent::FocusOut);
    }
    // Limits that let every edge case through: T1 from 0.1, retries from 0.
    void PermissiveAdj() const {
        WriteAdj("\"time1\",0.1,5,100,\"0.0\"\n\"time2\",1,3,60,\"0\"\n\"retry\",0,3,10,\"0\"\nEND\n");
    }
};

TEST_F(FrmComTest, LoadShowsTheStoredSettings) {
    ComPortCnt = 4;
    ComPortNo = 2;
    ComBaud = 19200;
    ComTime[0] = {550, 10999, 3};
    FrmCom f;
    EXPECT_EQ(f.windowTitle(), "Communication set-up at PC");
    ASSERT_EQ(f.rs232c->count(), 4);
    EXPECT_EQ(f.rs232c->itemText(3), "COM4");
    EXPECT_EQ(f.rs232c->currentIndex(), 1);
    EXPECT_EQ(f.borate->currentText(), "19200");
    EXPECT_EQ(f.time1->text(), "5") << "whole tenths of a second";
    EXPECT_EQ(f.time2->text(), "10") << "whole seconds";
    EXPECT_EQ(f.retry->text(), "3");
}

TEST_F(FrmComTest, LoadSelectsTheFirstRateForAnUnlistedOneAndNoPortBeyondTheList) {
    ComPortCnt = 2;
    for (auto [stored, shown] : {std::pair{1200, "2400"}, std::pair{38400, "38400"}, std::pair{4800, "4800"},
                                 std::pair{0, "2400"}}) {
        ComBaud = stored;
        FrmCom f;
        EXPECT_EQ(f.borate->currentText(), shown) << stored;
    }
    ComPortNo = 3;
    FrmCom beyond;
    EXPECT_EQ(beyond.rs232c->currentIndex(), -1);
    ComPortNo = 0;
    FrmCom none;
    EXPECT_EQ(none.rs232c->currentIndex(), -1);
}

TEST_F(FrmComTest, BoxesAreClampedToTheLimitsTableWhenTheyLoseFocus) {
    FrmCom f;
    Type(f.time1, "500");
    EXPECT_EQ(f.time1->text(), "100");
    Type(f.time1, "0.3");
    EXPECT_EQ(f.time1->text(), "1");
    Type(f.time1, "abc");
    EXPECT_EQ(f.time1->text(), "5") << "the default";
    Type(f.time2, "7");
    EXPECT_EQ(f.time2->text(), "7") << "within the limits it stays as typed";
    Type(f.retry, "0");
    EXPECT_EQ(f.retry->text(), "1");
}

TEST_F(FrmComTest, EscInABoxTakesTheEditBackAndKeepsTheDialogOpen) {
    ComTime[0] = {700, 5000, 2};
    FrmCom f;
    Focus(f.time1, QEvent::FocusIn);
    f.time1->setText("42");
    QTest::keyClick(f.time1, Qt::Key_Escape);
    EXPECT_EQ(f.time1->text(), "7");
    EXPECT_FALSE(f.Unloaded());

    // The box remembers what it held when it last got the focus, not what the dialog loaded.
    Type(f.retry, "6");
    Focus(f.retry, QEvent::FocusIn);
    f.retry->setText("9");
    QTest::keyClick(f.retry, Qt::Key_Escape);
    EXPECT_EQ(f.retry->text(), "6");
    EXPECT_FALSE(f.Unloaded());
    EXPECT_EQ(ComRetry, 2) << "nothing is stored before OK";

    // Esc anywhere else is Cancel.
    QTest::keyClick(&f, Qt::Key_Escape);
    EXPECT_TRUE(f.Unloaded());
}

TEST_F(FrmComTest, OkStoresTheTimesInMilliseconds) {
    PermissiveAdj();
    FrmCom f;
    f.time1->setText("5");
    f.time2->setText("10");
    f.retry->setText("4");
    f.ok_Click();
    EXPECT_EQ(ComT1, 500);
    EXPECT_EQ(ComT2, 10000);
    EXPECT_EQ(ComRetry, 4);
    EXPECT_TRUE(f.Unloaded());

    FrmCom tenths;
    tenths.time1->setText("0.3");
    tenths.ok_Click();
    EXPECT_EQ(ComT1, 30);

    // With the shipped limits 0.3 tenths is below the lowest T1 and OK clamps it first.
    fs::copy_file(std::string(MEVALO_RUNTIME_DIR) + "/com.adj", dir_ + "/com.adj",
                  fs::copy_options::overwrite_existing);
    FrmCom shipped;
    shipped.time1->setText("0.3");
    shipped.ok_Click();
    EXPECT_EQ(shipped.time1->text(), "1");
    EXPECT_EQ(ComT1, 100);
}

TEST_F(FrmComTest, OkOnAnUnchangedDialogKeepsTimesTheBoxesRound) {
    ComTime[0] = {550, 10500, 3};
    FrmCom f;
    f.ok_Click();
    EXPECT_EQ(ComT1, 550);
    EXPECT_EQ(ComT2, 10500);

    // Edited and typed back to what it showed is still unchanged; another value is stored.
    ComTime[0] = {550, 10500, 3};
    FrmCom g;
    Type(g.time1, "8");
    Type(g.time1, "5");
    g.time2->setText("11");
    g.ok_Click();
    EXPECT_EQ(ComT1, 550);
    EXPECT_EQ(ComT2, 11000);

    // A stored time outside the limits is shown clamped, and what is shown is stored.
    ComTime[0] = {50, 10500, 3};
    FrmCom h;
    h.ok_Click();
    EXPECT_EQ(ComT1, 100);
}

TEST_F(FrmComTest, OkWithoutAPortGoesOffLine) {
    ASSERT_EQ(ComOpen(kPort, 9600), -1);
    ComPortNo = kPort;
    ComBaud = 9600;
    ComPortCnt = 4; // the port in use is not in the list: nothing selected
    FakeDetection(true);
    FrmCom f;
    f.borate->setCurrentIndex(2);
    f.ok_Click();
    EXPECT_TRUE(f.Unloaded());
    EXPECT_EQ(detections_, 0) << "no port, no test";
    EXPECT_EQ(ComHandle, 0u);
    EXPECT_EQ(ComPortNo, 0);
    EXPECT_EQ(ComBaud, 9600);
    EXPECT_EQ(captions_, 1);
}

TEST_F(FrmComTest, OkAfterAGoodTestOpensTheChosenPortWithTheNewSettings) {
    ComPortCnt = kPort + 2;
    FakeDetection(true);
    FrmCom f;
    f.rs232c->setCurrentIndex(kPort - 1);
    f.borate->setCurrentIndex(4);
    f.time1->setText("3");
    f.retry->setText("5");
    f.ok_Click();
    EXPECT_TRUE(f.Unloaded());
    EXPECT_EQ(detectedPort_, kPort);
    EXPECT_EQ(ComPortNo, kPort);
    EXPECT_EQ(ComBaud, 38400);
    ASSERT_NE(ComHandle, 0u);
    EXPECT_EQ(qel::SetT1(ComHandle, 0), 300u);
    EXPECT_EQ(qel::SetRty(ComHandle, -1), 5);
    EXPECT_EQ(captions_, 1);
}

TEST_F(FrmComTest, FailedTestKeepsTheDialogOpenAndCancelReopensThePreviousLink) {
    ComPortCnt = kPort + 2;
    ComPortNo = kPort;
    ComBaud = 4800;
    ASSERT_EQ(ComOpen(kPort, 4800), -1);
    FakeDetection(false);
    FrmCom f;
    f.rs232c->setCurrentIndex(kPort); // the next port: nothing answers there
    f.time1->setText("9");
    f.ok_Click();
    EXPECT_FALSE(f.Unloaded());
    EXPECT_EQ(ComT1, 900) << "the times are stored before the test";
    EXPECT_EQ(ComHandle, 0u);
    EXPECT_EQ(ComPortNo, 0);

    f.cancel_Click();
    EXPECT_TRUE(f.Unloaded());
    EXPECT_EQ(ComPortNo, kPort);
    EXPECT_EQ(ComBaud, 4800);
    ASSERT_NE(ComHandle, 0u);
    EXPECT_EQ(qel::SetT1(ComHandle, 0), 900u) << "the reopened link runs the stored times";
    EXPECT_EQ(ComT1, 900) << "Cancel does not take the times back";
}

TEST_F(FrmComTest, WithoutTheDetectionWindowOkSaysSoAndStaysOpen) {
    ComPortCnt = kPort;
    plat::ScriptedAsker asker;
    FrmCom f;
    f.rs232c->setCurrentIndex(kPort - 1);
    f.ok_Click();
    EXPECT_FALSE(f.Unloaded());
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].text, "The communication test is not available in this program.");
    EXPECT_EQ(ComPortNo, 0);
}

TEST_F(FrmComTest, RetryZeroIsClampedByTheShippedLimitsAndOtherwiseStopsEveryRequest) {
    FrmCom shipped;
    shipped.retry->setText("0");
    shipped.ok_Click();
    EXPECT_EQ(ComRetry, 1);

    PermissiveAdj();
    ComPortCnt = kPort;
    FakeDetection(true);
    FrmCom f;
    f.rs232c->setCurrentIndex(kPort - 1);
    f.retry->setText("0");
    f.ok_Click();
    ASSERT_NE(ComHandle, 0u);
    EXPECT_EQ(ComRetry, 0);
    sim_->clearLog();
    EXPECT_EQ(qel::SndCmd2(ComHandle, 0, 0, 0, nullptr, 0), 0);
    EXPECT_TRUE(sim_->requests().empty());
}

TEST(FrmComRules, TextsAndRates) {
    EXPECT_EQ(ComMsFromText("2.5", 100), 250);
    EXPECT_EQ(ComMsFromText("0.005", 100), 0) << "half to even";
    EXPECT_EQ(ComMsFromText("0.015", 100), 2);
    EXPECT_EQ(ComMsFromText("1e12", 1000), 2147483647);
    EXPECT_EQ(ComMsFromText("", 1000), 0);
    EXPECT_EQ(ComRetryFromText("70000"), 32767);
    EXPECT_EQ(ComRetryFromText("2.5"), 2);
    EXPECT_EQ(ComRateOf(ComRateIndex(9600)), 9600);
    EXPECT_EQ(ComRateOf(7), 2400);
}

} // namespace
