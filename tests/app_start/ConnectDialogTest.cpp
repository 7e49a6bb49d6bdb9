#include "StartEnv.h"

#include "app/ConnectCalls.h"
#include "app/FrmModel.h"
#include "app/FrmPort.h"
#include "app/FrmType.h"
#include "app/MainLogic.h"
#include "app/ModSearchKisyu.h"
#include "data/DefFil.h"
#include "monitor/MonGlb.h"
#include "platform/Ask.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

template <class T> T* Child(QWidget* w, const char* name) {
    T* c = w->findChild<T*>(name);
    EXPECT_NE(c, nullptr) << name;
    return c;
}

void Click(QWidget* dialog, const char* button) {
    Child<QPushButton>(dialog, button)->click();
}

void SelectRow(QWidget* dialog, int row) {
    Child<QListWidget>(dialog, "List1")->setCurrentRow(row);
}

std::vector<std::string> Items(QListWidget* list) {
    std::vector<std::string> out;
    for (int i = 0; i < list->count(); ++i)
        out.push_back(list->item(i)->text().toStdString());
    return out;
}

// Fake connection steps that record what the dialog asked for.
struct FakeConnect {
    int detections = 0, closes = 0, axisWindows = 0;
    int16_t answerAtZero = 0;
    bool set232 = true;
    FakeConnect() {
        Connect().hanTeiExec = [this](int16_t& port, int32_t& baud) {
            ++detections;
            port = 2;
            baud = 9600;
            ComHandle = 77;
            DlgResult = -1;
        };
        Connect().set232Axis = [this] { return set232; };
        Connect().validAxis = [this](int16_t) { return answerAtZero; };
        Connect().showFrmAxis = [this] {
            ++axisWindows;
            DlgResult = -1;
        };
        Links().comClose = [this] {
            ++closes;
            ComHandle = 0;
        };
    }
    ~FakeConnect() {
        Connect() = ConnectCalls{};
        Links().comClose = nullptr;
    }
};

} // namespace

class ConnectDialogTest : public StartEnv {
  protected:
    void SetUp() override {
        StartEnv::SetUp();
        ASSERT_TRUE(SearchKisyu().ToBool());
    }
};

TEST_F(ConnectDialogTest, OfflineRoadFromConnectionToModel) {
    plat::ScriptedAsker ask;
    ModalWatchdog watchdog;
    StartUpDone = 0;
    OnModal("FrmPort", [](QWidget* d) {
        Child<QRadioButton>(d, "OptNoDrv")->click();
        Click(d, "CmdOk");
    });
    OnModal("FrmType", [](QWidget* d) {
        EXPECT_EQ(Items(Child<QListWidget>(d, "List1")), std::vector<std::string>{"TESKR"});
        Click(d, "CmdOk");
    });
    OnModal("FrmModel", [](QWidget* d) {
        EXPECT_EQ(d->windowTitle().toStdString(), "TESKR Model selection");
        EXPECT_EQ(Items(Child<QListWidget>(d, "List1")), (std::vector<std::string>{"ZT010A", "ZT020B", "ZT040P"}));
        SelectRow(d, 1);
        Click(d, "CmdOk");
    });
    ShowFrmPort();

    EXPECT_FALSE(watchdog.Fired());
    EXPECT_TRUE(ask.Asked().empty());
    EXPECT_EQ(DlgResult, -1);
    EXPECT_EQ(LinkKind, 3);
    EXPECT_EQ(TypeSelMode, 2);
    EXPECT_EQ(KisyuKey, "TESK_R");
    EXPECT_EQ(KisyuMei, "ZT020B______");
    EXPECT_EQ(KisyuCode, 25);
    EXPECT_EQ(CmdFamily, 5);
    EXPECT_EQ(ComPortNo, 0);
    EXPECT_EQ(ComHandle, 0u);
    // The series' definition file was read: its off-line mask and its own rate table.
    EXPECT_EQ(MenuMask[2], 0x0134);
    EXPECT_EQ(BaudCnt, 5);
    EXPECT_EQ(BuildCaption(), "ZT020B  Communication port(not in use) ");
}

TEST_F(ConnectDialogTest, PortListAndOptionsFollowTheSharedState) {
    ComPortCnt = 0;
    ComPortNo = 6; // more than a definition file now offers
    LinkKind = 3;
    MultiAxisEnable = 0;
    FrmPort f;
    ASSERT_EQ(f.CmbPort->count(), 2);
    EXPECT_EQ(f.CmbPort->itemText(1), "COM1");
    EXPECT_EQ(f.CmbPort->currentIndex(), 0);
    EXPECT_EQ(f.LblComMsg->text().toStdString(),
              "Check the communication port from COM1, and uses the port where the amplifier is connected.");
    EXPECT_TRUE(f.OptNoDrv->isChecked());
    EXPECT_FALSE(f.CmbPort->isEnabled());
    EXPECT_FALSE(f.OptDrv->isEnabled());
    EXPECT_FALSE(f.CmdDataInstall->isVisibleTo(&f));

    f.Opt232->click();
    EXPECT_TRUE(f.CmbPort->isEnabled());
    f.CmbPort->setCurrentIndex(1);
    EXPECT_EQ(f.LblComMsg->text().toStdString(),
              "Use the [COM1] terminal of the PC for the communication with the amplifier.");
    EXPECT_EQ(PortEntries(3), (std::vector<std::string>{"Auto-set", "COM1", "COM2", "COM3"}));
}

TEST_F(ConnectDialogTest, CancelEndsAtStartUpAndAsksOnceOkWasPressedLater) {
    plat::ScriptedAsker ask;
    StartUpDone = 0;
    {
        FrmPort f;
        f.show();
        f.CmdOk_Click(); // no option chosen: nothing happens
        EXPECT_EQ(LinkKind, 0);
        EXPECT_FALSE(f.OkPressed());
        f.CmdCancel_Click();
        EXPECT_EQ(DlgResult, 0);
        EXPECT_FALSE(f.isVisible());
        EXPECT_TRUE(ask.Asked().empty());
    }

    StartUpDone = -1;
    FrmPort f;
    f.show();
    f.CmdOk_Click();
    ASSERT_TRUE(f.OkPressed());
    ask.Push(plat::No);
    DlgResult = 5;
    f.CmdCancel_Click();
    ASSERT_EQ(ask.Asked().size(), 2u);
    EXPECT_EQ(ask.Asked()[0].text, "Can't cancel.  Do you exit Mevalo ?");
    EXPECT_EQ(ask.Asked()[0].title, "Selecting the connection with the amplifier.");
    EXPECT_EQ(ask.Asked()[0].buttons, plat::Buttons::YesNo);
    EXPECT_EQ(ask.Asked()[1].text, "Click the <OK> button after selecting the connection.");
    EXPECT_EQ(ask.Asked()[1].title, "Select the connection with the amplifier.");
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(DlgResult, 5);

    ask.Push(plat::Yes);
    f.CmdCancel_Click();
    EXPECT_EQ(DlgResult, 123);
    EXPECT_FALSE(f.isVisible());
}

TEST_F(ConnectDialogTest, OnlinePathsWithoutTheirWindowsSayNotAvailable) {
    plat::ScriptedAsker ask;
    ModalWatchdog watchdog;
    FrmPort f;
    f.show();
    f.Opt232->click();
    f.CmdOk_Click();
    ASSERT_EQ(ask.Asked().size(), 1u);
    EXPECT_EQ(ask.Asked()[0].text, "Communication with the amplifier is not available in this program.");
    EXPECT_EQ(LinkKind, 1);
    EXPECT_TRUE(f.isVisible());
    EXPECT_FALSE(watchdog.Fired()); // no series dialog was opened first

    ask.Clear();
    f.CmdDataInstall_Click();
    ASSERT_EQ(ask.Asked().size(), 1u);
    EXPECT_EQ(ask.Asked()[0].text, "The data installer is not available in this program.");
    EXPECT_TRUE(f.isVisible());
}

TEST_F(ConnectDialogTest, Rs485NeedsTheAmplifierAtAddressZeroToAnswerZero) {
    plat::ScriptedAsker ask;
    ModalWatchdog watchdog;
    FakeConnect fake;
    fake.answerAtZero = 1;
    FrmPort f;
    f.show();
    f.OptDrv->click();
    f.CmbPort->setCurrentIndex(2);
    OnModal("FrmType", [](QWidget* d) { Click(d, "CmdOk"); });
    f.CmdOk_Click();
    ASSERT_EQ(ask.Asked().size(), 1u);
    EXPECT_EQ(ask.Asked()[0].text, "No connection. 485 communication is for amplifier.");
    EXPECT_EQ(ask.Asked()[0].title, "Connects with the amplifier.");
    EXPECT_EQ(fake.detections, 1);
    EXPECT_EQ(fake.closes, 1);
    EXPECT_EQ(ComHandle, 0u);
    EXPECT_EQ(fake.axisWindows, 0);
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(TypeSelMode, 1);

    ask.Clear();
    fake.answerAtZero = 0;
    OnModal("FrmType", [](QWidget* d) { Click(d, "CmdOk"); });
    f.CmdOk_Click();
    EXPECT_TRUE(ask.Asked().empty());
    EXPECT_EQ(fake.axisWindows, 1);
    EXPECT_EQ(DlgResult, -1);
    EXPECT_EQ(LinkKind, 2);
    EXPECT_FALSE(f.isVisible());
    EXPECT_FALSE(watchdog.Fired());
}

TEST_F(ConnectDialogTest, Rs232FailedSetUpClosesTheLinkAndStays) {
    plat::ScriptedAsker ask;
    ModalWatchdog watchdog;
    FakeConnect fake;
    fake.set232 = false;
    FrmPort f;
    f.show();
    f.Opt232->click();
    OnModal("FrmType", [](QWidget* d) { Click(d, "CmdOk"); });
    f.CmdOk_Click();
    EXPECT_EQ(fake.closes, 1);
    EXPECT_TRUE(f.isVisible());

    fake.set232 = true;
    OnModal("FrmType", [](QWidget* d) { Click(d, "CmdOk"); });
    f.CmdOk_Click();
    EXPECT_EQ(DlgResult, -1);
    EXPECT_EQ(LinkKind, 1);
    EXPECT_FALSE(f.isVisible());
    EXPECT_FALSE(watchdog.Fired());
}

TEST_F(ConnectDialogTest, SeriesDialogMessagesAndAFailedSeriesKeepsTheOldOne) {
    plat::ScriptedAsker ask;
    Write("ini/prm/TESK_X/ZZ9_________.prm", "");
    KisyuKey = "TESK_R";
    BaudCnt = 2;
    BaudTbl[0] = 19200;
    BaudTbl[1] = 38400;
    BaudTbl[2] = 0;
    TypeSelMode = 1;

    FrmType f;
    f.show();
    EXPECT_EQ(Items(f.List1), (std::vector<std::string>{"TESKR", "TESKX"}));
    f.List1->clearSelection();
    f.CmdOk_Click();
    ASSERT_EQ(ask.Asked().size(), 1u);
    EXPECT_EQ(ask.Asked()[0].text, "Select series.");
    EXPECT_EQ(ask.Asked()[0].title, "Select series");

    ask.Clear();
    f.List1->setCurrentRow(1);
    DlgResult = 0;
    f.CmdOk_Click();
    ASSERT_EQ(ask.Asked().size(), 1u);
    EXPECT_EQ(ask.Asked()[0].text, "Can not select series.\r\n"
                                   "There is no definition file according to selected series.(TESK_X.def)");
    EXPECT_EQ(ask.Asked()[0].title, "Select series");
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(KisyuKey, "TESK_R");
    EXPECT_EQ(BaudCnt, 2);
    EXPECT_EQ(BaudTbl[0], 19200);
    EXPECT_EQ(BaudTbl[1], 38400);
    EXPECT_EQ(BaudTbl[2], 0);

    ask.Clear();
    f.List1->setCurrentRow(0);
    f.CmdOk_Click();
    EXPECT_TRUE(ask.Asked().empty());
    EXPECT_EQ(KisyuKey, "TESK_R");
    EXPECT_EQ(DlgResult, -1);
    EXPECT_FALSE(f.isVisible());
}

TEST_F(ConnectDialogTest, CancelledModelChoiceLeavesTheSeriesDialogOpen) {
    plat::ScriptedAsker ask;
    ModalWatchdog watchdog;
    TypeSelMode = 2;
    FrmType f;
    f.show();
    OnModal("FrmModel", [](QWidget* d) { Click(d, "CmdCancel"); });
    f.CmdOk_Click();
    EXPECT_EQ(DlgResult, 0);
    EXPECT_TRUE(f.isVisible());
    EXPECT_TRUE(KisyuMei.empty());

    f.CmdCancel_Click();
    EXPECT_EQ(DlgResult, 0);
    EXPECT_FALSE(f.isVisible());
    EXPECT_FALSE(watchdog.Fired());
}

TEST_F(ConnectDialogTest, CancelledSeriesChangeKeepsTheOldSeriesWhole) {
    // A second series whose definitions differ in masks, rates and a table.
    std::string def = Read(Path("ini/def/TESK_R.DEF"));
    for (auto [from, to] : {std::pair<std::string, std::string>{"0x013F", "0x0001"},
                            {"DATA,0,5,9600,19200,38400,4800,2400", "DATA,0,2,115200,57600"},
                            {"\"Position control\"", "\"Other control\""}}) {
        ASSERT_NE(def.find(from), std::string::npos) << from;
        def.replace(def.find(from), from.size(), to);
    }
    Write("ini/def/TESK_Q.DEF", def);
    Write("ini/prm/TESK_Q/ZQ010A______.prm", "");
    ASSERT_EQ(FIL_LoadDef("TESK_R"), -1);
    KisyuKey = "TESK_R";
    KisyuMei = "ZT010A______";
    // Types as the model's presets chose them, unlike the definition's.
    PrmAttr[0].Type = 1;
    Prm32Attr[0].Type = 1;
    const std::vector<int32_t> rates(std::begin(BaudTbl), std::end(BaudTbl));
    const int32_t rateCnt = BaudCnt;

    plat::ScriptedAsker ask;
    ModalWatchdog watchdog;
    TypeSelMode = 2;
    FrmType f;
    f.show();
    ASSERT_EQ(Items(f.List1), (std::vector<std::string>{"TESKQ", "TESKR"}));
    f.List1->setCurrentRow(0);
    OnModal("FrmModel", [](QWidget* d) { Click(d, "CmdCancel"); });
    f.CmdOk_Click();
    ASSERT_EQ(MenuMask[0], 0x0001); // the new series was in force while the model was chosen
    f.CmdCancel_Click();

    EXPECT_EQ(KisyuKey, "TESK_R");
    EXPECT_EQ(KisyuMei, "ZT010A______");
    EXPECT_EQ(MenuMask[0], 0x013F);
    EXPECT_EQ(std::vector<int32_t>(std::begin(BaudTbl), std::end(BaudTbl)), rates);
    EXPECT_EQ(BaudCnt, rateCnt);
    EXPECT_EQ(CtrlModeMenu[0], "Position control");
    EXPECT_EQ(PrmAttr[0].Type, 1);
    EXPECT_EQ(Prm32Attr[0].Type, 1);
    EXPECT_TRUE(ask.Asked().empty());
    EXPECT_FALSE(watchdog.Fired());
}

TEST_F(ConnectDialogTest, ModelDialogAsksForAChoice) {
    plat::ScriptedAsker ask;
    FrmModel f("TESK_R");
    f.show();
    f.List1->clearSelection();
    f.CmdOk_Click();
    ASSERT_EQ(ask.Asked().size(), 1u);
    EXPECT_EQ(ask.Asked()[0].text, "Select the model.");
    EXPECT_EQ(ask.Asked()[0].title, "Model setting");
    EXPECT_TRUE(f.isVisible());

    FrmModel none("NO_SUCH");
    EXPECT_EQ(none.List1->count(), 0);
}

TEST_F(ConnectDialogTest, ModeCodesTypedOnTheDialogs) {
    plat::ScriptedAsker ask;
    {
        FrmPort f;
        f.show();
        QTest::keyClicks(f.CmdCancel, "4093517"); // not a button that takes codes here
        EXPECT_TRUE(ask.Asked().empty());
        QTest::keyClicks(f.CmdOk, "x4093517");
        EXPECT_EQ(UserLevel, 3);
        EXPECT_TRUE(f.CmdDataInstall->isVisible());
        QTest::keyClicks(f.CmdOk, "6251873");
        EXPECT_EQ(UserLevel, 2);
        EXPECT_FALSE(f.CmdDataInstall->isVisible());
        ASSERT_EQ(ask.Asked().size(), 2u);
        EXPECT_EQ(ask.Asked()[0].text, "Entering to SE mode");
        EXPECT_EQ(ask.Asked()[1].text, "Entering internal mode.");
    }

    // Each key counts once, whether it reaches the dialog from a button or directly.
    ask.Clear();
    {
        FrmModel f("TESK_R");
        f.show();
        QTest::keyClicks(f.CmdCancel, "882");
        QTest::keyClicks(&f, "61");
        QTest::keyClicks(f.CmdOk, "04");
        EXPECT_EQ(UserLevel, 1);
        ASSERT_EQ(ask.Asked().size(), 1u);
        EXPECT_EQ(ask.Asked()[0].text, "Enter normal mode.");
        EXPECT_EQ(ask.Asked()[0].title, "Mode setting");
        EXPECT_TRUE(f.isVisible());
    }

    // A code split between two dialogs is not one: every dialog starts with an empty buffer.
    ask.Clear();
    {
        FrmType a;
        a.show();
        QTest::keyClicks(a.CmdOk, "625");
    }
    FrmType b;
    b.show();
    QTest::keyClicks(b.CmdCancel, "1873");
    EXPECT_TRUE(ask.Asked().empty());
    QTest::keyClicks(&b, "4093517");
    ASSERT_EQ(ask.Asked().size(), 1u);
    EXPECT_EQ(ask.Asked()[0].text, "Entering to SE mode");
    EXPECT_EQ(UserLevel, 3);
    UserLevel = 1;
}
