// One walk through the program as a person uses it: RS-232C with "Auto-set" against a family R amplifier
// with positioning, every screen of the Display menu opened in turn, then "Close all windows". Each screen is
// looked at as it opens in the frame as it started: one menu bar, the screen whole inside the workspace.
// Run with MEVALO_SHOTS=<folder> to keep a picture of the frame with each screen open.
#include "ConnEnv.h"
#include "CutTexts.h"
#include "Console.h"
#include "ModelFrq.h"
#include "ModelTune.h"
#include "app/ConnectCalls.h"
#include "app/FrmPort.h"
#include "app/Mevalo.h"
#include "app/StartUp.h"
#include "frequency/FrmFrqOpt.h"
#include "frequency/FrmSokuTei.h"
#include "monitor/FrmWavDlg.h"
#include "params/FrmEEP.h"
#include "params/FrmHexBit.h"
#include "params/FrmIchiran.h"
#include "params/FrmParaPrn.h"
#include "params/FrmPmtLoad.h"
#include "platform/FormRegistry.h"
#include "positioning/FrmPopEEP.h"
#include "positioning/FrmPopLod.h"
#include "positioning/FrmPopPrn.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QHeaderView>

namespace {

// Pumps events until done() holds or ms pass.
bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// True when a text field or label of w shows text.
bool Shows(QWidget* w, const QString& text) {
    for (auto* e : w->findChildren<QLineEdit*>())
        if (e->text().trimmed() == text) return true;
    for (auto* l : w->findChildren<QLabel*>())
        if (l->text().trimmed() == text) return true;
    for (auto* x : w->findChildren<QTextEdit*>())
        if (x->toPlainText().contains(text)) return true;
    return false;
}

// The menu titles the frame's menu bar shows.
QStringList Titles(QMenuBar* bar) {
    QStringList out;
    for (QAction* a : bar->actions())
        out << a->text();
    return out;
}

} // namespace

class WalkEnv : public ConnEnv {
  protected:
    void SetUp() override {
        ConnEnv::SetUp();
        fs::create_symlink(DUVO_LIBRARY_PATH, dir_ + "/libduvo.so");
        // The amplifier start.sh runs: model ZT040P, tuning and frequency response in front of it, and a
        // positioning program with a step under way.
        ampsim::ModelR::Options mo;
        mo.modelName = "ZT040P******";
        zt_ = std::make_unique<ampsim::ModelR>(mo);
        for (int n = 0; n < mo.popSteps; ++n)
            zt_->setStep(n, {(n % 4 == 3) ? 500 : n * int64_t{10000}, n % 16, n % 4, (n / 4) % 4, n % 4, n % 2});
        ampsim::ModelR::PopMonitor pm;
        pm.pos = 20000;
        pm.moving = true;
        zt_->setPopMonitor(pm);
        tune_ = std::make_unique<ampsim::TuneR>(*zt_, std::vector<int>{0, 1, 2, 3});
        ampsim::ModelFrq::Options fo;
        fo.plant = *ampsim::Plant::named("lag");
        frq_ = std::make_unique<ampsim::ModelFrq>(tune_->handler(), fo);
        sim_->setHandler(frq_->handler());
        ampsim::SteerTargets targets;
        targets.r.push_back(zt_.get());
        for (const char* line : {"speed 1234", "alarm 31"})
            ampsim::steer(targets, line);

        WireStartUpWindows();
        LinkKind = 0;
        KisyuMei.clear();
        StartUpDone = 0;
        prevPmt_ = FrmPmtLoad::SetShowHook([](FrmPmtLoad& w) { w.CmdOk_Click(); });
        prevPop_ = FrmPopLod::SetShowHook([](FrmPopLod& w) { w.CmdOk_Click(); });
        prevSok_ = FrmSokuTei::SetShowHook([](FrmSokuTei& w) { w.CmdCancel_Click(); });
    }
    void TearDown() override {
        main_.reset();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        FrmPmtLoad::SetShowHook(prevPmt_);
        FrmPopLod::SetShowHook(prevPop_);
        FrmSokuTei::SetShowHook(prevSok_);
        Links() = MainLinks{};
        Connect() = ConnectCalls{};
        ConnEnv::TearDown();
    }

    // Connects through the connection dialog on RS-232C, the series list answered as a person would: the
    // first series, OK.
    static void ConnectOnRs232(FrmPort& port) {
        auto* t = new QTimer;
        t->setInterval(5);
        QObject::connect(t, &QTimer::timeout, [t] {
            QWidget* d = QApplication::activeModalWidget();
            if (!d || d->objectName() != "FrmType") return;
            t->stop();
            t->deleteLater();
            d->findChild<QListWidget*>("List1")->setCurrentRow(0);
            d->findChild<QPushButton*>("CmdOk")->click();
        });
        t->start();
        port.show();
        port.Opt232->click();
        port.CmbPort->setCurrentIndex(0);
        port.CmdOk_Click();
    }

    // Connects and opens every screen through the Display menu. oneAtATime: each screen is closed again
    // before the next opens, so that each opens in the frame as it started, beside the button panel.
    void Walk(bool oneAtATime);

    std::unique_ptr<ampsim::ModelR> zt_;
    std::unique_ptr<ampsim::TuneR> tune_;
    std::unique_ptr<ampsim::ModelFrq> frq_;
    std::unique_ptr<Mevalo> main_;
    FrmPmtLoad::ShowHook prevPmt_;
    FrmPopLod::ShowHook prevPop_;
    FrmSokuTei::ShowHook prevSok_;
};

TEST_F(WalkEnv, EveryDisplayItemOpensWithTheAmplifiersDataAndCloseAllTakesThemDown) { Walk(false); }

TEST_F(WalkEnv, EachScreenOpensWholeInTheFrameAsItStarted) { Walk(true); }

void WalkEnv::Walk(bool oneAtATime) {
    plat::ScriptedAsker ask(plat::Yes);
    main_ = std::make_unique<Mevalo>();
    main_->show();
    const QStringList ownMenus = Titles(main_->menuBar());
    const QRect desk = QGuiApplication::primaryScreen()->availableGeometry();
    // On a desktop that holds it, the frame opens inside it; on a smaller one it takes the whole area (a
    // fractional scale may round its place by a pixel).
    EXPECT_TRUE(desk.adjusted(-1, -1, 1, 1).contains(main_->geometry()))
        << "frame " << main_->geometry().x() << "," << main_->geometry().y() << " " << main_->width() << "x"
        << main_->height() << " on " << desk.width() << "x" << desk.height();
    const bool smallDesk = main_->size() == desk.size();
    const QString shots = qEnvironmentVariable("MEVALO_SHOTS");

    FrmPort port;
    ConnectOnRs232(port);
    ASSERT_EQ(DlgResult, -1);
    ASSERT_EQ(KisyuMei, "ZT040P______");
    ASSERT_NE(PopEnable, 0);
    main_->ShowFrmMenu();

    std::vector<std::string> cut;
    // Each item, the form it loads and a value the amplifier gave it.
    const struct {
        int item;
        const char* form;
        const char* shows;
    } items[] = {
        {1, "FrmPara", "-1000"},       // parameter 0 as read
        {2, "FrmMoni", "1234 r/min"},  // actual speed as steered
        {3, "FrmAlm", "31 Overload"},  // current alarm by name
        {4, "FrmGraph", nullptr},
        {5, "FrmAuto", "-1000"},       // position loop gain before tuning
        {6, "FrmFft", nullptr},
        {7, "FrmPop", "10000"},        // step 1 position
        {8, "FrmPom", "20000"},        // target position of the step under way
    };
    for (const auto& it : items) {
        SCOPED_TRACE(it.form);
        // Through the Display menu, as a person would: the item must be enabled for this model.
        main_->MnuHyouji_Oya_Click();
        QAction* a = main_->findChild<QAction*>(Mevalo::ItemName("MnuHyouji", it.item));
        ASSERT_NE(a, nullptr);
        ASSERT_TRUE(a->isEnabled());
        a->trigger();
        ASSERT_TRUE(WaitFor([&] { return plat::IsFrmLoad(it.form); }));
        QWidget* w = plat::FindForm(it.form);
        EXPECT_TRUE(WaitFor([w] { return w->isVisible(); }));
        // Every screen opens with its caption: an empty title bar tells the user nothing.
        EXPECT_FALSE(w->windowTitle().trimmed().isEmpty());
        if (it.shows) {
            EXPECT_TRUE(WaitFor([&] { return Shows(w, it.shows); })) << it.shows;
        }

        // One menu bar: the frame's, showing the screen's own menus while it is active.
        QApplication::processEvents();
        int bars = 0;
        for (QMenuBar* b : main_->findChildren<QMenuBar*>())
            bars += b->isVisible() ? 1 : 0;
        EXPECT_EQ(bars, 1);
        // Help is in reach from every screen.
        EXPECT_TRUE(Titles(main_->menuBar()).contains("Help &H"))
            << Titles(main_->menuBar()).join(" ").toStdString();
        if (QMenuBar* own = w->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly)) {
            EXPECT_FALSE(own->isVisible());
            EXPECT_EQ(main_->menuBar()->actions(), own->actions());
        } else {
            EXPECT_EQ(Titles(main_->menuBar()), ownMenus);
        }

        // The screen opens whole inside the workspace, even with the status strip shown; on a desktop too
        // small for the frame, with its title bar in reach.
        auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget());
        ASSERT_NE(sub, nullptr);
        // The strip's own timer may just have hidden it: let the layout follow before measuring, with no
        // timer run in between.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const QRect area = main_->MdiArea()->viewport()->rect();
        const int strip = main_->findChild<QWidget*>("PicStat")->isVisible()
                              ? 0
                              : main_->findChild<QWidget*>("PicStat")->sizeHint().height();
        const QRect areaWithStrip = area.adjusted(0, 0, 0, -strip);
        // (With many screens open at once, where each goes is the area's business.)
        if (oneAtATime && smallDesk) {
            EXPECT_GE(sub->x(), 0);
            EXPECT_GE(sub->y(), 0);
        } else if (oneAtATime) {
            EXPECT_TRUE(area.contains(sub->geometry()))
                << "screen at " << sub->x() << "," << sub->y() << " " << sub->width() << "x" << sub->height()
                << " in " << area.width() << "x" << area.height();
            EXPECT_LE(sub->height(), areaWithStrip.height())
                << "frame " << main_->width() << "x" << main_->height() << " strip " << strip;
        }
        // The frame was sized from the screens' opening sizes: each screen within its entry.
        for (const ScreenOpeningSize& e : ScreenOpeningSizes)
            if (e.form == std::string(it.form)) {
                EXPECT_LE(w->width(), e.width) << "opening width of " << it.form << " is " << w->width();
                EXPECT_LE(w->height(), e.height) << "opening height of " << it.form << " is " << w->height();
            }
        // Every text of the screen whole, nothing running into its neighbour.
        if (oneAtATime)
            for (std::string& c : testmain::CutTexts(w, {.buttonTextOnly = true}))
                cut.push_back(std::move(c));
        if (!shots.isEmpty())
            main_->grab().save(shots + "/" + it.form + (oneAtATime ? "-alone" : "") + ".png");
        if (oneAtATime) {
            ASSERT_TRUE(main_->UnloadWindow(w));
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QApplication::processEvents();
        }
    }
    EXPECT_EQ(cut, std::vector<std::string>{});
    EXPECT_EQ(ComBusy, 0);

    main_->MnuHyouji_Click(9);
    ASSERT_TRUE(WaitFor([this] { return !main_->CloseGoing(); }, 10000));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (const auto& it : items)
        EXPECT_FALSE(plat::IsFrmLoad(it.form)) << it.form;
    EXPECT_EQ(ComBusy, 0);
    QApplication::processEvents();
    EXPECT_EQ(Titles(main_->menuBar()), ownMenus);
}


TEST_F(WalkEnv, TheScreensDialogsShowTheirTextsWhole) {
    plat::ScriptedAsker ask(plat::Yes);
    main_ = std::make_unique<Mevalo>();
    main_->show();
    FrmPort port;
    ConnectOnRs232(port);
    ASSERT_EQ(KisyuMei, "ZT040P______");

    std::vector<std::string> cut;
    std::vector<std::string> shown;
    const auto check = [&](QWidget& w) {
        shown.push_back(w.objectName().toStdString());
        for (std::string& s : testmain::CutTexts(&w, {.needTitle = true, .buttonTextOnly = true}))
            cut.push_back(std::move(s));
    };
    FrmPmtLoad::SetShowHook([&](FrmPmtLoad& w) { check(w); });
    FrmPmtLoad::Exec();
    FrmParaPrn::SetShowHook([&](FrmParaPrn& w) { check(w); });
    FrmParaPrn::Exec();
    FrmParaPrn::SetShowHook({});
    FrmHexBit::SetShowHook([&](FrmHexBit& w) { check(w); });
    FrmHexBit::Exec(0);
    FrmHexBit::SetShowHook({});
    FrmIchiran::SetShowHook([&](FrmIchiran& w) { check(w); });
    FrmIchiran::Exec(false);
    FrmIchiran::Exec(true);
    FrmIchiran::SetShowHook({});
    FrmEEP::SetShowHook([&](FrmEEP& w) { check(w); });
    FrmEEP::Exec("");
    FrmEEP::SetShowHook({});
    FrmPopLod::SetShowHook([&](FrmPopLod& w) { check(w); });
    FrmPopLod::Exec("Selection of positioning parameter to be read");
    FrmPopPrn::SetShowHook([&](FrmPopPrn& w) { check(w); });
    int first = 0, last = 0;
    std::string options;
    FrmPopPrn::Exec(first, last, options);
    FrmPopPrn::SetShowHook({});
    FrmPopEEP::SetShowHook([&](FrmPopEEP& w) { check(w); });
    FrmPopEEP::Exec("");
    FrmPopEEP::SetShowHook({});
    FrmSokuTei::SetShowHook([&](FrmSokuTei& w) { check(w); });
    FrmSokuTei::Exec();
    FrmFrqSav::SetShowHook([&](FrmFrqSav& w) { check(w); });
    FrmFrqSav::Exec();
    FrmFrqSav::SetShowHook({});
    FrmFrqLod::SetShowHook([&](FrmFrqLod& w) { check(w); });
    FrmFrqLod::Exec("", "Frequency characteristic data");
    FrmFrqLod::SetShowHook({});
    FrmWavSav::SetShowHook([&](FrmWavSav& w) { check(w); });
    std::string ver;
    FrmWavSav::Exec(ver);
    FrmWavSav::SetShowHook({});
    FrmWavLod::SetShowHook([&](FrmWavLod& w) { check(w); });
    FrmWavLod::Exec("");
    FrmWavLod::SetShowHook({});
    FrmPmtLoad::SetShowHook(prevPmt_);
    FrmPopLod::SetShowHook(prevPop_);
    FrmSokuTei::SetShowHook(prevSok_);
    EXPECT_EQ(cut, std::vector<std::string>{});
    // Every dialog was shown: a check of none would pass.
    EXPECT_EQ(shown,
              (std::vector<std::string>{"FrmPmtLoad", "FrmParaPrn", "FrmHexBit", "FrmIchiran", "FrmIchiran32",
                                        "FrmEEP", "FrmPopLod", "FrmPopPrn", "FrmPopEEP", "FrmSokuTei",
                                        "FrmFrqSav", "FrmFrqLod", "FrmWavSav", "FrmWavLod"}));
}
