// The main window and the button panel, offscreen: menus and buttons per link state, caption, status strip,
// the close-all sequence with stand-in screens, its follow-up actions, and the ways out of the program.
#include "app/ConnectCalls.h"
#include "app/Frame.h"
#include "app/FrmMenu.h"
#include "app/Glb.h"
#include "app/Mevalo.h"
#include "comm/ComGlb.h"
#include "platform/Ask.h"
#include "platform/EndProgram.h"
#include "platform/FormRegistry.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const std::map<int, uint16_t> ItemBit = {{1, 0x0004}, {2, 0x0001}, {3, 0x0002}, {4, 0x0010},
                                         {5, 0x0008}, {6, 0x0020}, {7, 0x0040}, {8, 0x0080}};

// Shared state the window reads, put back after each test.
class FrmMainTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = {ComHandle, LinkKind, ComPortNo, ComBaud, AxisNo, UserLevel, ComBusy, DlgResult, TypeSelMode};
        std::copy(MenuMask, MenuMask + 3, savedMask_);
        savedMei_ = KisyuMei;
        savedLinks_ = Links();
        Links() = MainLinks{};
        savedConnect_ = Connect();
        Connect() = ConnectCalls{};
        ComHandle = 0;
        LinkKind = 3;
        ComPortNo = 0;
        ComBusy = 0;
        UserLevel = 1;
        KisyuMei = "ABC";
        main_ = std::make_unique<Mevalo>();
        main_->show();
    }

    void TearDown() override
    {
        main_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Links() = savedLinks_;
        Connect() = savedConnect_;
        ComHandle = saved_.handle;
        LinkKind = saved_.kind;
        ComPortNo = saved_.port;
        ComBaud = saved_.baud;
        AxisNo = saved_.axis;
        UserLevel = saved_.level;
        ComBusy = saved_.busy;
        DlgResult = saved_.dlg;
        TypeSelMode = saved_.typeSel;
        std::copy(savedMask_, savedMask_ + 3, MenuMask);
        KisyuMei = savedMei_;
    }

    QAction* Item(QWidget* w, const char* menu, int i) { return w->findChild<QAction*>(Mevalo::ItemName(menu, i)); }
    QMenu* Menu(const char* name) { return main_->findChild<QMenu*>(name); }
    bool MenusEnabled()
    {
        for (const char* m : {"MnuFil", "MnuHyouji_Oya", "MnuWindow", "MnuHelp"})
            if (!Menu(m)->menuAction()->isEnabled())
                return false;
        return true;
    }
    // Lets the close-all timer run until the work is done (or 3 s passed).
    bool WaitCloseAll()
    {
        QElapsedTimer t;
        t.start();
        while (main_->CloseGoing() && t.elapsed() < 3000)
            QTest::qWait(20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return !main_->CloseGoing();
    }

    std::unique_ptr<Mevalo> main_;
    // What the stand-in screens saw; lives as long as the window, which may hide them when it goes.
    std::vector<std::string> journal;

private:
    struct {
        uint32_t handle;
        int32_t kind;
        int16_t port;
        int32_t baud;
        int16_t axis, level, busy, dlg, typeSel;
    } saved_{};
    int16_t savedMask_[3]{};
    std::string savedMei_;
    MainLinks savedLinks_;
    ConnectCalls savedConnect_;
};

// A stand-in for one of the screens: registered under its form name, it writes what happens to it.
class StubScreen : public QWidget {
public:
    StubScreen(const char* name, std::vector<std::string>& journal, std::function<std::string()> note = {})
        : name_(name), journal_(journal), note_(std::move(note))
    {
        setObjectName(name);
        plat::RegisterForm(name, this);
    }
    ~StubScreen() override { plat::UnregisterForm(this); }

    bool refuse = false;

protected:
    void hideEvent(QHideEvent*) override
    {
        if (!closing_)
            journal_.push_back("hide " + name_ + (note_ ? note_() : ""));
    }
    void closeEvent(QCloseEvent* e) override
    {
        if (refuse) {
            e->ignore();
            return;
        }
        closing_ = true;
        journal_.push_back("unload " + name_);
        e->accept();
    }

private:
    std::string name_;
    std::vector<std::string>& journal_;
    std::function<std::string()> note_;
    bool closing_ = false;
};

} // namespace

TEST_F(FrmMainTest, MenusAndPanelFollowTheMaskOfEachLinkState)
{
    MenuMask[0] = 0x0105; // RS-232C: monitor, parameter, model choice
    MenuMask[1] = 0x04FA; // RS-485: alarm, tuning, waveform, frequency, positioning, axis choice
    MenuMask[2] = 0x0014; // off line: parameter, waveform
    struct State {
        const char* name;
        uint32_t handle;
        int32_t kind;
        int16_t port;
        uint16_t word;
    };
    const State states[] = {{"off line", 0, 3, 0, 0x0014},
                            {"off line after RS-485", 0, 2, 0, 0x0014},
                            {"RS-232C", 5, 1, 1, 0x0105},
                            {"RS-485", 5, 2, 3, 0x04FA},
                            {"no amplifier but a link", 5, 3, 2, 0}};
    main_->ShowFrmMenu();
    FrmMenu* panel = FrmMenu::Instance();
    ASSERT_NE(panel, nullptr);
    // A screen carrying the same menus, set by name.
    QWidget screen;
    for (int i = 0; i < 4; ++i)
        (new QAction(&screen))->setObjectName(Mevalo::ItemName("MnuSeTtei", i));
    for (int i = 0; i < 10; ++i)
        (new QAction(&screen))->setObjectName(Mevalo::ItemName("MnuHyouji", i));

    for (const State& s : states) {
        SCOPED_TRACE(s.name);
        ComHandle = s.handle;
        LinkKind = s.kind;
        ComPortNo = s.port;
        emit Menu("MnuFil")->aboutToShow();
        emit Menu("MnuHyouji_Oya")->aboutToShow();
        panel->SetEnable();
        main_->MnuFilEnable(&screen);
        main_->MnuHyoujiEnable(&screen);
        for (QWidget* w : {static_cast<QWidget*>(main_.get()), &screen}) {
            EXPECT_TRUE(Item(w, "MnuHyouji", 0)->isEnabled());
            EXPECT_TRUE(Item(w, "MnuHyouji", 9)->isEnabled());
            for (int i = 1; i <= 8; ++i)
                EXPECT_EQ(Item(w, "MnuHyouji", i)->isEnabled(), (s.word & ItemBit.at(i)) != 0) << "Display " << i;
            EXPECT_EQ(Item(w, "MnuSeTtei", 0)->isEnabled(), (s.word & 0x0400) != 0);
            EXPECT_EQ(Item(w, "MnuSeTtei", 1)->isEnabled(), (s.word & 0x0100) != 0);
            EXPECT_TRUE(Item(w, "MnuSeTtei", 2)->isEnabled());
            EXPECT_EQ(Item(w, "MnuSeTtei", 3)->isEnabled(), s.port != 0);
        }
        for (int i = 1; i <= 8; ++i)
            EXPECT_EQ(panel->findChild<QPushButton*>(Mevalo::ItemName("CmdGo", i))->isEnabled(),
                      (s.word & ItemBit.at(i)) != 0)
                << "CmdGo " << i;
        EXPECT_TRUE(panel->findChild<QPushButton*>("CmdGo_9")->isEnabled());
        EXPECT_EQ(panel->findChild<QPushButton*>("CmdModel")->isHidden(), (s.word & 0x0100) == 0);
        EXPECT_EQ(panel->findChild<QPushButton*>("CmdAxis")->isHidden(), (s.word & 0x0400) == 0);
        EXPECT_TRUE(panel->findChild<QPushButton*>("CmdSetuZoku")->isEnabled());
    }
    EXPECT_EQ(panel->windowTitle(), "Window menu");
    EXPECT_EQ(panel->findChild<QPushButton*>("CmdSetuZoku")->text(), "Communication with\nthe amplifier");
    EXPECT_EQ(panel->findChild<QPushButton*>("CmdGo_6")->text(), "Frequency\ncharacteristics");
}

TEST_F(FrmMainTest, CaptionAndMenuTexts)
{
    KisyuMei = "ABC_________";
    ComPortNo = 1;
    ComBaud = 9600;
    LinkKind = 2;
    AxisNo = 3;
    UpdCaption(); // through the frame hook, as code without widgets calls it
    EXPECT_EQ(main_->windowTitle().toStdString(), "ABC Axis address(ID):3 Communication port(COM1 9600bps) ");
    ComPortNo = 0;
    UserLevel = 2;
    main_->UpdCaption();
    EXPECT_EQ(main_->windowTitle().toStdString(), "ABC  Communication port(not in use) MAKER");

    EXPECT_EQ(Menu("MnuFil")->title(), "File &F");
    EXPECT_EQ(Menu("MnuSeTteiOya")->title(), "Setting &S");
    EXPECT_EQ(Item(main_.get(), "MnuSeTtei", 2)->text(), "Communication with the amplifier &P");
    EXPECT_EQ(Item(main_.get(), "MnuHyouji", 6)->text(), "Frequency characteristics &F");
    EXPECT_EQ(Item(main_.get(), "MnuWin", 1)->text(), "Display horizontally &H");
    EXPECT_EQ(main_->findChild<QAction*>("MnuSyuuRyou")->text(), "Exit of Mevalo &X");
    EXPECT_EQ(main_->findChild<QAction*>("MnuVerGrp")->text(), "Version information &V");
}

TEST_F(FrmMainTest, StatusStripTimesOut)
{
    auto* strip = main_->findChild<QWidget*>("PicStat");
    auto* label = main_->findChild<QLabel*>("LblStat");
    auto* bar = main_->findChild<QProgressBar*>("PBar");
    auto* timer1 = main_->findChild<QTimer*>("Timer1");
    EXPECT_TRUE(timer1->isActive()); // the strip goes one second after load

    UpdStat("In-reading page 3"); // through the frame hook
    EXPECT_EQ(label->text(), "In-reading page 3");
    EXPECT_TRUE(strip->isVisible());
    EXPECT_TRUE(timer1->isActive());
    QTest::qWait(1300);
    EXPECT_FALSE(strip->isVisible());

    main_->UpdStatFix("Reading completed.");
    EXPECT_TRUE(strip->isVisible());
    QTest::qWait(1300);
    EXPECT_TRUE(strip->isVisible()); // stays until the next UpdStat or UpdPbar
    EXPECT_EQ(label->text(), "Reading completed.");

    UpdPbar(5, 0);
    EXPECT_EQ(bar->maximum(), 1);
    EXPECT_EQ(bar->value(), 1);
    EXPECT_TRUE(timer1->isActive());
    main_->UpdPbar(7, 3);
    EXPECT_EQ(bar->maximum(), 3);
    EXPECT_EQ(bar->value(), 3);
    main_->UpdPbar(2, 8);
    EXPECT_EQ(bar->value(), 2);
    main_->Timer1_Timer();
    EXPECT_FALSE(strip->isVisible());
    EXPECT_FALSE(timer1->isActive());

    // Once the window is gone the services do nothing.
    main_.reset();
    UpdStat("nobody listens");
    UpdPbar(1, 2);
    UpdCaption();
}

TEST_F(FrmMainTest, CloseAllTakesEveryScreenDownInOrder)
{
    int followUps = 0;
    Links().showPort = Links().showType = Links().showCom = Connect().showFrmAxis = [&] { ++followUps; };
    main_->ShowFrmMenu();
    auto note = [this] {
        return std::string(MenusEnabled() ? " menus on" : " menus off") +
               (FrmMenu::Instance()->isEnabled() ? " panel on" : " panel off");
    };
    std::vector<QPointer<StubScreen>> screens;
    for (const char* name : {"FrmPara", "FrmMoni", "FrmAlm", "FrmGraph", "FrmAuto", "FrmFft", "FrmPop", "FrmPom"}) {
        auto* s = new StubScreen(name, journal, note);
        main_->AddChild(s)->show();
        screens.emplace_back(s);
    }
    QTimer poll; // a screen's polling timer
    poll.start(50);
    KisyuMei = "NEW_________";

    main_->MnuHyouji_Click(9);
    EXPECT_TRUE(main_->CloseGoing());
    EXPECT_TRUE(main_->IsCloseGoing(&poll));
    EXPECT_FALSE(poll.isActive());
    EXPECT_TRUE(journal.empty()); // the work runs from the timer, after the handler returned
    ASSERT_TRUE(WaitCloseAll());

    const std::vector<std::string> expected = {
        "hide FrmAuto menus off panel off",  "hide FrmAlm menus off panel off",
        "hide FrmGraph menus off panel off", "hide FrmPara menus off panel off",
        "hide FrmFft menus off panel off",   "hide FrmMoni menus off panel off",
        "hide FrmPop menus off panel off",   "hide FrmPom menus off panel off",
        "unload FrmAuto", "unload FrmMoni", "unload FrmPom", "unload FrmAlm",
        "unload FrmGraph", "unload FrmPop", "unload FrmPara", "unload FrmFft"};
    EXPECT_EQ(journal, expected);
    for (const auto& s : screens)
        EXPECT_TRUE(s.isNull());
    EXPECT_FALSE(plat::IsFrmLoad("FrmPara"));
    EXPECT_TRUE(plat::IsFrmLoad("FrmMenu"));
    EXPECT_TRUE(MenusEnabled());
    EXPECT_TRUE(FrmMenu::Instance()->isEnabled());
    EXPECT_EQ(followUps, 0);
    EXPECT_TRUE(RetVar.ToBool());
    EXPECT_EQ(main_->windowTitle().toStdString(), "NEW  Communication port(not in use) ");
    EXPECT_FALSE(main_->IsCloseGoing(&poll));
}

TEST_F(FrmMainTest, CloseAllWaitsForALongOperation)
{
    QPointer<StubScreen> graph = new StubScreen("FrmGraph", journal);
    main_->AddChild(graph)->show();
    QPointer<StubScreen> moni = new StubScreen("FrmMoni", journal);
    main_->AddChild(moni)->show();

    // A waveform measurement of the graph screen: it lets events run while the amplifier works.
    bool survived = true;
    auto measurement = [&] {
        ComBusy = 4;
        main_->MnuHyouji_Click(9); // the user asks for close-all in the middle of it
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 400) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            if (graph.isNull() || !journal.empty() || !main_->CloseGoing())
                survived = false;
        }
        ComBusy = 0;
    };
    QTimer::singleShot(0, graph.data(), measurement);
    QTest::qWait(50);
    EXPECT_TRUE(survived);
    ASSERT_TRUE(WaitCloseAll());
    EXPECT_TRUE(survived);
    EXPECT_TRUE(graph.isNull());
    EXPECT_TRUE(moni.isNull());
    EXPECT_EQ(journal.back(), "unload FrmGraph");
}

TEST_F(FrmMainTest, SettingItemsRunTheirFollowUpAfterClosing)
{
    Links().showType = [&] { journal.push_back("series dialog, TypeSelMode " + std::to_string(TypeSelMode)); };
    Links().showPort = [&] { journal.push_back("connection dialog"); DlgResult = -1; };
    Links().showCom = [&] { journal.push_back("settings dialog"); };
    Connect().showFrmAxis = [&] { journal.push_back("axis dialog"); };

    main_->MnuSeTtei_Click(0); // no close-all for the axis dialog
    EXPECT_FALSE(main_->CloseGoing());
    EXPECT_EQ(journal, std::vector<std::string>{"axis dialog"});

    const std::pair<int16_t, const char*> cases[] = {
        {1, "series dialog, TypeSelMode 2"}, {2, "connection dialog"}, {3, "settings dialog"}};
    for (const auto& [index, dialog] : cases) {
        journal.clear();
        TypeSelMode = 1;
        main_->AddChild(new StubScreen("FrmAlm", journal))->show();
        main_->MnuSeTtei_Click(index);
        EXPECT_EQ(main_->CloseKind(), index);
        ASSERT_TRUE(WaitCloseAll());
        EXPECT_EQ(journal, (std::vector<std::string>{"hide FrmAlm", "unload FrmAlm", dialog}));
    }

    // The panel's buttons ask for the same.
    main_->ShowFrmMenu();
    FrmMenu::Instance()->findChild<QPushButton*>("CmdModel")->click();
    EXPECT_EQ(main_->CloseKind(), CloseForSeries);
    FrmMenu::Instance()->findChild<QPushButton*>("CmdSetuZoku")->click();
    EXPECT_EQ(main_->CloseKind(), CloseForConnection);
    ASSERT_TRUE(WaitCloseAll());
}

TEST_F(FrmMainTest, QuitAnswerOfTheConnectionDialogEndsTheProgram)
{
    int closed = 0;
    ComHandle = 9;
    Links().comClose = [&] { ++closed; ComHandle = 0; };
    Links().showPort = [] { DlgResult = 123; };
    plat::EndProgramThrows ending;
    EXPECT_THROW(main_->AfterAllClose(CloseForConnection), plat::ProgramEnded);
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(ComHandle, 0u);
    EXPECT_FALSE(main_->isVisible());
}

TEST_F(FrmMainTest, ExitAsksAndClosesTheLink)
{
    plat::ScriptedAsker asker;
    asker.Push(plat::No);
    main_->MnuSyuuRyou_Click();
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].text, "Do you exit the Mevalo ?");
    EXPECT_EQ(asker.Asked()[0].title, "Yes ?");
    EXPECT_EQ(asker.Asked()[0].buttons, plat::Buttons::YesNo);
    EXPECT_TRUE(main_->isVisible());

    asker.Push(plat::Yes);
    EXPECT_FALSE(main_->Form_QueryUnload(Mevalo::UnloadReason::User));

    // While a long operation runs the program refuses to go, without the exit question.
    asker.Clear();
    ComBusy = 16;
    EXPECT_TRUE(main_->Form_QueryUnload(Mevalo::UnloadReason::User));
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].text, MainText::Busy);
    ComBusy = 0;

    int closed = 0;
    ComHandle = 4;
    Links().comClose = [&] { ++closed; ComHandle = 0; };
    plat::EndProgramThrows ending;
    EXPECT_THROW(main_->Form_Unload(), plat::ProgramEnded);
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(ComHandle, 0u);
    EXPECT_FALSE(main_->isVisible());

    // The end of the session asks nothing.
    asker.Clear();
    EXPECT_THROW(main_->Form_QueryUnload(Mevalo::UnloadReason::SessionEnd), plat::ProgramEnded);
    EXPECT_TRUE(asker.Asked().empty());
    EXPECT_EQ(closed, 2);
}

TEST_F(FrmMainTest, CloseUnloadsTheActiveChildUnlessBusy)
{
    plat::ScriptedAsker asker;
    main_->MnuClose_Click(); // nothing open: nothing happens
    EXPECT_TRUE(asker.Asked().empty());

    QPointer<StubScreen> alm = new StubScreen("FrmAlm", journal);
    QMdiSubWindow* sub = main_->AddChild(alm);
    sub->show();
    main_->MdiArea()->setActiveSubWindow(sub);

    ComBusy = 1;
    main_->MnuClose_Click();
    EXPECT_FALSE(alm.isNull());
    EXPECT_TRUE(plat::IsFrmLoad("FrmAlm"));
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].title, MainText::CloseTitle);

    ComBusy = 0;
    alm->refuse = true; // a screen may keep itself open
    main_->MnuClose_Click();
    EXPECT_TRUE(plat::IsFrmLoad("FrmAlm"));
    alm->refuse = false;
    main_->MnuClose_Click();
    EXPECT_FALSE(plat::IsFrmLoad("FrmAlm"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alm.isNull());
    EXPECT_EQ(journal.back(), "unload FrmAlm");
}

TEST_F(FrmMainTest, DisplayItemsOpenThroughTheirOpeners)
{
    plat::ScriptedAsker asker;
    std::vector<int> opened;
    for (int i = 1; i <= 8; ++i)
        Links().openScreen[static_cast<size_t>(i)] = [&opened, i] { opened.push_back(i); };
    for (int16_t i = 1; i <= 8; ++i)
        main_->MnuHyouji_Click(i);
    EXPECT_EQ(opened, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));

    // A screen that does not exist yet opens nothing.
    Links().openScreen[4] = nullptr;
    main_->MnuHyouji_Click(4);
    EXPECT_EQ(opened.size(), 8u);
    EXPECT_TRUE(main_->MdiArea()->subWindowList().isEmpty());

    Links().openScreen[2] = [] { throw std::bad_alloc(); };
    main_->MnuHyouji_Click(2);
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].text, "Too many application is being used.\nClose some unnecessary windows.");
    EXPECT_EQ(asker.Asked()[0].title, "Can not open the window.");
    Links().openScreen[3] = [] { throw std::runtime_error("any"); };
    main_->MnuHyouji_Click(3); // other failures pass silently
    EXPECT_EQ(asker.Asked().size(), 1u);

    main_->MnuHyouji_Click(0);
    ASSERT_NE(FrmMenu::Instance(), nullptr);
    EXPECT_EQ(main_->MdiArea()->activeSubWindow()->widget(), FrmMenu::Instance());
    FrmMenu::Instance()->findChild<QPushButton*>("CmdGo_1")->setEnabled(true);
    FrmMenu::Instance()->findChild<QPushButton*>("CmdGo_1")->click();
    EXPECT_EQ(opened.back(), 1);
}

TEST_F(FrmMainTest, TileArrangesTheVisibleChildren)
{
    QMdiSubWindow* a = main_->AddChild(new StubScreen("FrmMoni", journal));
    QMdiSubWindow* b = main_->AddChild(new StubScreen("FrmAlm", journal));
    a->show();
    b->show();
    main_->MnuWin_Click(1);
    const QRect area = main_->MdiArea()->viewport()->rect();
    EXPECT_EQ(a->width(), area.width());
    EXPECT_EQ(b->width(), area.width());
    EXPECT_FALSE(a->geometry().intersects(b->geometry()));
    main_->MnuWin_Click(2);
    EXPECT_EQ(a->height(), area.height());
    EXPECT_FALSE(a->geometry().intersects(b->geometry()));
}

namespace {

QStringList Titles(const QList<QAction*>& actions)
{
    QStringList out;
    for (QAction* a : actions)
        out << a->text();
    return out;
}

// Gives a stand-in screen a menu bar of its own, as the screens build theirs: a File menu with one item
// that has a shortcut, and the ten Display items under the main window's names.
QMenuBar* GiveMenus(QWidget* screen, QAction** item = nullptr)
{
    auto* layout = new QVBoxLayout(screen);
    auto* bar = new QMenuBar(screen);
    layout->setMenuBar(bar);
    layout->addWidget(new QWidget(screen));
    QMenu* fil = bar->addMenu("File &F");
    QAction* save = fil->addAction("Save &W");
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    if (item)
        *item = save;
    QMenu* disp = bar->addMenu("Display &D");
    for (int i = 0; i < 10; ++i)
        disp->addAction(QString::number(i))->setObjectName(Mevalo::ItemName("MnuHyouji", i));
    bar->addMenu("Edit &E");
    return bar;
}

} // namespace

TEST_F(FrmMainTest, TheActiveScreensMenusShowInTheFramesOneMenuBar)
{
    const QStringList own{"File &F", "Display &D", "Window &W", "Help &H"};
    EXPECT_EQ(Titles(main_->menuBar()->actions()), own);

    QAction* save = nullptr;
    QPointer<StubScreen> para = new StubScreen("FrmPara", journal);
    QMenuBar* bar = GiveMenus(para, &save);
    main_->AddChild(para);
    Mevalo::ShowChild(para);
    QCoreApplication::processEvents();
    // The screen's bar stays hidden; the frame's bar shows its menus, the very same actions.
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(main_->menuBar()->actions(), bar->actions());
    EXPECT_EQ(main_->MenuOwner(), para.data());
    int visibleBars = 0;
    for (QMenuBar* b : main_->findChildren<QMenuBar*>())
        visibleBars += b->isVisible() ? 1 : 0;
    EXPECT_EQ(visibleBars, 1);

    // Its shortcut works while it is active, and only then.
    main_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main_.get()));
    int saved = 0;
    QObject::connect(save, &QAction::triggered, [&saved] { ++saved; });
    QTest::keyClick(main_.get(), Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(saved, 1);

    // The panel and a screen without menus show the frame's own menus.
    main_->ShowFrmMenu();
    QCoreApplication::processEvents();
    EXPECT_EQ(Titles(main_->menuBar()->actions()), own);
    QTest::keyClick(main_.get(), Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(saved, 1);
    QPointer<StubScreen> moni = new StubScreen("FrmMoni", journal);
    main_->AddChild(moni);
    Mevalo::ShowChild(moni);
    Mevalo::ShowChild(para);
    EXPECT_EQ(main_->menuBar()->actions(), bar->actions());
    Mevalo::ShowChild(moni);
    QCoreApplication::processEvents();
    EXPECT_EQ(Titles(main_->menuBar()->actions()), own);

    // The frame's Display menu follows the mask on the frame's own items, whatever a screen carries.
    MenuMask[2] = 0x0014; // off line: parameter and waveform
    Mevalo::ShowChild(para);
    for (QAction* a : para->findChildren<QAction*>())
        a->setEnabled(true);
    main_->MnuHyouji_Oya_Click();
    QMenu* display = main_->menuBar()->findChild<QMenu*>("MnuHyouji_Oya");
    ASSERT_NE(display, nullptr);
    EXPECT_TRUE(display->findChild<QAction*>(Mevalo::ItemName("MnuHyouji", 1))->isEnabled());
    EXPECT_FALSE(display->findChild<QAction*>(Mevalo::ItemName("MnuHyouji", 2))->isEnabled());
    EXPECT_TRUE(Item(para, "MnuHyouji", 2)->isEnabled());
    main_->MnuHyoujiEnable(para);
    EXPECT_FALSE(Item(para, "MnuHyouji", 2)->isEnabled());

    // Unloaded, its menus leave the frame's bar before it goes.
    ASSERT_TRUE(main_->UnloadWindow(para));
    for (QAction* a : bar->actions())
        EXPECT_FALSE(main_->menuBar()->actions().contains(a));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    EXPECT_TRUE(para.isNull());
    EXPECT_EQ(Titles(main_->menuBar()->actions()), own);

    // A screen deleted without being unloaded takes its menus with it; the frame's come back.
    QPointer<StubScreen> alm = new StubScreen("FrmAlm", journal);
    GiveMenus(alm);
    QPointer<QMdiSubWindow> sub = main_->AddChild(alm);
    Mevalo::ShowChild(alm);
    EXPECT_EQ(main_->MenuOwner(), alm.data());
    delete sub;
    QCoreApplication::processEvents();
    EXPECT_EQ(main_->MenuOwner(), nullptr);
    EXPECT_EQ(Titles(main_->menuBar()->actions()), own);
}
