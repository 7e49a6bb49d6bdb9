// The whole RS-232C road of the connection dialog with "Auto-set", through the real windows, against the
// simulated amplifier: series choice, detection, the one amplifier's set-up, and the dialog closing on line.
#include "ConnEnv.h"
#include "app/ConnectCalls.h"
#include "app/FrmAxis.h"
#include "app/FrmPort.h"
#include "app/MainLogic.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

// Answers the modal window of that name once it is on the screen.
void OnModal(const std::string& name, std::function<void(QWidget*)> fn) {
    auto* t = new QTimer;
    t->setInterval(5);
    QObject::connect(t, &QTimer::timeout, [t, name, fn] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || w->objectName().toStdString() != name || !w->isVisible()) return;
        t->stop();
        t->deleteLater();
        fn(w);
    });
    t->start();
}

} // namespace

class RoadEnv : public ConnEnv {
  protected:
    void SetUp() override {
        ConnEnv::SetUp();
        WireConnectSteps();
        // Nothing is connected yet, as at start-up.
        LinkKind = 0;
        KisyuMei.clear();
        StartUpDone = 0;
    }
    void TearDown() override {
        Connect() = ConnectCalls{};
        ConnEnv::TearDown();
    }
};

TEST_F(RoadEnv, Rs232AutoSetEndsOnLineWithTheAmplifiersModel) {
    plat::ScriptedAsker ask(plat::Yes);
    bool seriesShown = false;
    OnModal("FrmType", [&seriesShown](QWidget* d) {
        seriesShown = true;
        auto* list = d->findChild<QListWidget*>("List1");
        ASSERT_NE(list, nullptr);
        ASSERT_GE(list->count(), 1);
        list->setCurrentRow(0);
        d->findChild<QPushButton*>("CmdOk")->click();
    });

    FrmPort f;
    f.show();
    f.Opt232->click();
    f.CmbPort->setCurrentIndex(0); // "Auto-set"
    f.CmdOk_Click();

    EXPECT_TRUE(seriesShown);
    EXPECT_EQ(DlgResult, -1);
    EXPECT_EQ(LinkKind, 1);
    EXPECT_NE(ComHandle, 0u);
    EXPECT_EQ(ComPortNo, kPort);
    EXPECT_EQ(ComBaud, 9600);
    EXPECT_EQ(AxisNo, 0);
    EXPECT_EQ(KisyuKey, "TESK_R");
    EXPECT_EQ(KisyuMei, "TESKR21B7C__");
    EXPECT_FALSE(f.isVisible());
    // The one question is the detection's; the presets were asked for the model the amplifier named.
    ASSERT_FALSE(ask.Asked().empty());
    EXPECT_EQ(ask.Asked()[0].text, "Detect the amplifier at COM2. Do you connect ?");
    EXPECT_NE(std::find(journal_.begin(), journal_.end(), "presets TESKR21B7C__"), journal_.end());
    // The model name was read from address 0 after the line was found.
    EXPECT_FALSE(Addresses(0, 5).empty());
    EXPECT_EQ(Addresses(0, 5).front(), 0);
}
