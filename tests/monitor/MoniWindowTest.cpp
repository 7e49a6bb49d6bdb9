// The monitor and alarm windows against the simulated amplifier, their ticks run by hand.
#include "MoniEnv.h"

#include "Console.h"

#include "app/FrmCaution.h"
#include "app/MainLogic.h"
#include "app/Mevalo.h"
#include "comm/Com.h"
#include "monitor/MoniWiring.h"
#include "monitor/FrmAlm.h"
#include "monitor/FrmMoni.h"
#include "platform/FormRegistry.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTabBar>
#include <QTimer>

#include <chrono>
#include <thread>

using namespace monitest;
using ampsim::Fault;
using ampsim::Phase;

namespace {

// A tick as the timer runs it: never right after another window's exchanges, which it would yield to.
template <class W> void Tick(W& w) {
    std::this_thread::sleep_for(std::chrono::milliseconds(PollYieldMs));
    w.Timer1_Timer();
}

std::string T(const QLabel* l) {
    return l->text().toStdString();
}

void SelectTab(FrmMoni& w, const QString& caption) {
    for (int i = 0; i < w.TabStrip1->count(); ++i)
        if (w.TabStrip1->tabText(i) == caption) w.TabStrip1->setCurrentIndex(i);
}

// Replies with status 0x88 (refused) to one request, or not at all.
ampsim::Handler Refusing(ampsim::ModelR& m, int cmd, int mode, bool silent) {
    return [&m, cmd, mode, silent](const ampsim::Request& rq) -> std::optional<std::vector<uint8_t>> {
        if (rq.cmd == cmd && rq.mode == mode) {
            if (silent) return std::nullopt;
            return std::vector<uint8_t>{0x88};
        }
        return m.answer(rq);
    };
}

class Monitor : public MoniR {};
class MoniM : public Link<ampsim::ModelM, 32> {
  protected:
    void Configure() override {
        KisyuCode = 20;
        Definitions();
    }
};

} // namespace

TEST_F(Monitor, ShowsValuesWithUnitsNamesAndTheAlarm) {
    Still();
    FrmMoni w;
    Tick(w);
    EXPECT_EQ(T(w.speed), "1500 r/min");
    EXPECT_EQ(T(w.trq), "10.0 %");
    EXPECT_EQ(T(w.err_cnt), "-12 pulse");
    EXPECT_EQ(T(w.LblCtrlMode), "Speed control");
    EXPECT_EQ(T(w.PicAlart), "Overload warning\nBattery warning");
    EXPECT_TRUE(w.Picture1->text().startsWith("IN0 on\nIN1 off\n"));
    EXPECT_EQ(T(w.LblAlmMsgNow), "Normal action");
    EXPECT_EQ(T(w.LblWork), "");
    EXPECT_EQ(w.TimerInterval(), 200);

    // Steered as a person does it on the simulator's standard input.
    SelectTab(w, "I/O 2");
    ampsim::SteerTargets steer;
    steer.r = {model.get()};
    EXPECT_EQ(ampsim::steer(steer, "alarm 16"), "ok");
    EXPECT_EQ(ampsim::steer(steer, "bit out 17 1"), "ok");
    EXPECT_NE(ampsim::steer(steer, "bit out 40 1"), "ok");
    Tick(w);
    EXPECT_TRUE(w.Picture1->text().endsWith("IN31 on"));
    EXPECT_TRUE(w.Picture2->text().startsWith("OUT16 on\nOUT17 on\nOUT18 off"));
    EXPECT_EQ(T(w.LblAlmMsgNow), " 16 Overcurrent");
    EXPECT_EQ(w.LblAlmMsgNow->palette().color(QPalette::WindowText), QColor(0xC0, 0, 0));

    SelectTab(w, "Pulse");
    Tick(w);
    EXPECT_EQ(T(w.LblCmdCnt), std::to_string(model->monitor().speedAct) + " pulse");
}

TEST_F(Monitor, FailedEncoderReadKeepsTheValuesAndMarksIt) {
    EncoderTbl[1] = EncoderRec{5, "Absolute 17bit", 0, 0, -1, -1, -1};
    Still();
    auto m = model->monitor();
    m.m13a = 5;
    m.m13c = 0xABCDEF;
    m.m13d = -3;
    model->setMonitor(m);
    FrmMoni w;
    SelectTab(w, "Absolute encoder");
    Tick(w);
    EXPECT_EQ(T(w.LblAbsoType), "Absolute 17bit");
    EXPECT_EQ(T(w.LblAbsoPosS), "11259375");
    EXPECT_EQ(T(w.LblAbsoPosM), "-3");

    // The clear buttons: the battery warning after Yes, the multi-turn data after the caution's OK.
    asker.Push(plat::Yes);
    w.CmdBatClr_Click();
    EXPECT_EQ(Of(9, 4).size(), 1u);
    const auto previous = FrmCaution::SetShowHook([](FrmCaution& c) { c.CmdOk_Click(); });
    w.CmdClr_Click();
    FrmCaution::SetShowHook(previous);
    EXPECT_EQ(Of(9, 11).size(), 1u);

    sim.setHandler(Refusing(*model, 2, 13, false));
    Tick(w);
    EXPECT_EQ(T(w.LblWork), "*");
    EXPECT_EQ(T(w.LblAbsoPosS), "11259375");
    EXPECT_EQ(AbsPosSingle, 0xABCDEF);
}

TEST_F(Monitor, BacksOffWhileTheAmplifierIsSilentAndTheAlarmWindowWaits) {
    Still();
    FrmMoni moni;
    FrmAlm alm;
    Tick(moni);
    EXPECT_EQ(moni.TimerInterval(), 300); // two polling windows

    sim.inject(Fault::silence(Phase::Eot, ampsim::kAlways));
    Tick(moni);
    EXPECT_EQ(T(moni.LblWork), "*");
    EXPECT_EQ(moni.TimerInterval(), 10000);

    const size_t before = sim.requests().size();
    Tick(alm);
    EXPECT_EQ(T(alm.LblWork), "*");
    EXPECT_EQ(alm.Timer1->interval(), 2000);
    EXPECT_EQ(sim.requests().size(), before);

    sim.clearFaults();
    Tick(moni);
    EXPECT_EQ(T(moni.LblWork), "");
    EXPECT_EQ(moni.TimerInterval(), 300);
    Tick(alm);
    EXPECT_EQ(T(alm.LblWork), "");
    EXPECT_EQ(alm.Timer1->interval(), 750);

    ComBusySet(BusyWaveform);
    Tick(moni);
    Tick(alm);
    ComBusyClr(BusyWaveform);
    EXPECT_EQ(moni.TimerInterval(), 300);
    EXPECT_EQ(alm.Timer1->interval(), 500);
    EXPECT_EQ(sim.requests().size(), before + 3 + 5);

    // A third polling window stretches both further.
    QWidget pom;
    plat::RegisterForm("FrmPom", &pom);
    Tick(moni);
    Tick(alm);
    EXPECT_EQ(moni.TimerInterval(), 400);
    EXPECT_EQ(alm.Timer1->interval(), 1000);
    plat::UnregisterForm(&pom);
}

TEST_F(Monitor, AlarmWindowShowsHistoryTimesAndInternalValues) {
    model->setHours(0x12345678);
    model->raiseAlarm(12);
    model->setHours(0xFFFF);
    model->raiseAlarm(16);
    FrmAlm w;
    Tick(w);
    EXPECT_EQ(T(w.PicAlmMsgNow), " 16 Overcurrent");
    EXPECT_EQ(w.PicAlmMsgNow->toolTip().toStdString(), "Display the current alarm");
    EXPECT_EQ(T(w.PicAlmMsg[0]), " 16 Overcurrent");
    EXPECT_EQ(T(w.PicAlmMsg[1]), " 12 Overvoltage");
    EXPECT_EQ(T(w.PicAlmTim[0]), "FFFF");
    EXPECT_EQ(T(w.PicAlmTim[1]), "5678");
    // Empty entries give an empty row and an empty time cell.
    const auto hist = model->alarmHistory();
    for (size_t i = 2; i < hist.size(); ++i)
        if (hist[i] == 0) {
            EXPECT_EQ(T(w.PicAlmMsg[i]), "") << i;
            EXPECT_EQ(T(w.PicAlmTim[i]), "") << i;
        }
    EXPECT_NE(std::count(hist.begin(), hist.end(), 0), 0);
    EXPECT_EQ(T(w.PicAlmTimNow), "FFFF");
    EXPECT_EQ(T(w.PicMkrDat1), "FFF4"); // -12
    EXPECT_EQ(w.Timer1->interval(), 500);
    EXPECT_EQ(Of(9, 2).size(), 1u);
    EXPECT_TRUE(Of(9, 5).empty());

    // Operating mode 2: the system history, and tool tips from the definition.
    UserLevel = 2;
    model->raiseSystemEvent(16);
    Tick(w);
    EXPECT_EQ(Of(9, 5).size(), 1u);
    EXPECT_EQ(w.PicAlmMsgNow->toolTip().toStdString(), "Current above the limit");
}

TEST_F(Monitor, ClearsCheckTheLinkAndTellWhenTheyFail) {
    model->raiseAlarm(16);
    FrmAlm w;
    Tick(w);

    asker.Push(plat::Yes);
    w.ClrAlmAsk();
    EXPECT_EQ(Of(9, 4).size(), 1u);
    Tick(w);
    EXPECT_EQ(T(w.PicAlmMsgNow), "Normal action");

    // Busy: nothing is sent and the user is told.
    model->raiseAlarm(16);
    Tick(w);
    ComBusySet(BusyAutoTuning);
    asker.Clear();
    w.ClrAlmAsk();
    ComBusyClr(BusyAutoTuning);
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].text, MainText::Busy);

    // Not answered: the user is told and the alarm stays on screen.
    sim.setHandler(Refusing(*model, 9, 4, true));
    asker.Clear();
    asker.Push(plat::Yes);
    w.ClrAlmAsk();
    ASSERT_EQ(asker.Asked().size(), 2u);
    EXPECT_EQ(asker.Asked()[1].text, MoniText::ClearFailed);
    EXPECT_EQ(model->alarm(), 16);
    EXPECT_EQ(T(w.PicAlmMsgNow), " 16 Overcurrent");
    EXPECT_EQ(Of(9, 4).size(), 2u);
}

TEST_F(Monitor, DisplayItemsOpenOnceAndCloseAllEndsTheTicks) {
    const MainLinks saved = Links();
    {
        Mevalo main;
        WireMonitorScreens();
        main.MnuHyouji_Click(2);
        main.MnuHyouji_Click(3);
        QPointer<FrmMoni> moni = FrmMoni::Instance();
        QPointer<FrmAlm> alm = FrmAlm::Instance();
        ASSERT_TRUE(moni && alm);
        main.MnuHyouji_Click(2);
        EXPECT_EQ(FrmMoni::Instance(), moni.data());

        const size_t before = sim.requests().size();
        main.MnuHyouji_Click(9);
        Tick(*moni);
        Tick(*alm);
        EXPECT_FALSE(moni->Timer1->isActive());
        EXPECT_FALSE(alm->Timer1->isActive());
        EXPECT_EQ(sim.requests().size(), before);

        QElapsedTimer t;
        t.start();
        while (main.CloseGoing() && t.elapsed() < 3000)
            QTest::qWait(20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(moni.isNull());
        EXPECT_TRUE(alm.isNull());
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Links() = saved;
}

TEST_F(MoniM, FamilyMGetsNoFamilyRRequestsAndShowsItsAlarms) {
    model->raiseAlarm(12);
    FrmMoni moni;
    FrmAlm alm;
    SelectTab(moni, "Absolute encoder");
    Tick(moni);
    SelectTab(moni, "Full closed");
    Tick(moni);
    Tick(alm);
    for (const auto& r : sim.requests()) {
        EXPECT_TRUE(r.cmd == 2 ? (r.mode >= 7 && r.mode <= 9) : (r.cmd == 9 && (r.mode == 0 || r.mode == 2)))
            << r.cmd << "/" << r.mode;
    }
    EXPECT_EQ(T(moni.LblWork), "");
    EXPECT_EQ(T(moni.LblAlmMsgNow), " 12 Overvoltage");
    EXPECT_EQ(T(alm.PicAlmMsg[0]), " 12 Overvoltage");
    EXPECT_EQ(T(alm.LblWork), "");
}

namespace {

class MoniK : public ::testing::Test {
  protected:
    void SetUp() override {
        model.attach(sim);
        CmdFamily = 1;
        KisyuCode = 10;
        AxisNo = 0;
        Definitions();
        ComHandle = qel::Open(33, 38400);
        ASSERT_NE(ComHandle, 0u);
        qel::SetTimeOut(ComHandle, 150);
    }
    void TearDown() override {
        qel::CloseAll();
        ComHandle = 0;
        CmdFamily = 0;
    }
    ampsim::ModelK model;
    ampsim::Simulator sim{[] {
        ampsim::Simulator::Options o;
        o.port = 33;
        return o;
    }()};
};

} // namespace

TEST_F(MoniK, AnErrorReplyIsAFailedRead) {
    model.setMonitor(100, 50, 7);
    FrmMoni w;
    Tick(w);
    EXPECT_EQ(T(w.speed), "100 r/min");
    EXPECT_EQ(T(w.trq), "50.0 %");
    EXPECT_EQ(T(w.LblWork), "");

    model.setMonitor(200, 100, 8);
    model.answerError();
    Tick(w);
    EXPECT_EQ(T(w.LblWork), "*");
    EXPECT_EQ(w.TimerInterval(), 10000);
    EXPECT_EQ(T(w.speed), "100 r/min");
}
