// Family R tuning: start and poll reply tables, parameters before and after, Stop, the EEPROM offer, and
// the window around it.
#include "TuneEnv.h"

#include "comm/ComReq.h"
#include "app/MainLogic.h"
#include "app/Mevalo.h"
#include "frequency/AutoWiring.h"
#include "frequency/FrmAuto.h"
#include "data/PrmGlb.h"
#include "params/FrmEEP.h"
#include "params/ParaLogic.h"
#include "platform/FormRegistry.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {

using namespace tunetest;

const std::vector<int> kRows = {16, 17, 18};

class TuneR : public famtest::FamLink<ampsim::ModelR, 41> {
  protected:
    void Configure() override {
        KisyuCode = 25;
        sim.setHandler(tune.handler());
        UseTuning(2, kRows);
        for (int n : kRows)
            model->setPrm16(n, {static_cast<int16_t>(n * 3), static_cast<int16_t>(n * 3), -30000, 30000, 0});
        Frame().updStatFix = [this](const std::string& s) { stat.push_back(s); };
    }
    void TearDown() override {
        FamLink::TearDown();
        Frame().updStatFix = nullptr;
    }
    int TuningRequests() const {
        int k = 0;
        for (const auto& r : sim.requests())
            k += r.cmd == 10 && r.mode == 0;
        return k;
    }

    ampsim::TuneR tune{*model};
    AutoTune t;
};

class TuneRStiffness : public TuneR, public ::testing::WithParamInterface<int> {};

TEST_P(TuneRStiffness, RunShowsNewValuesAndOffersEepromOnClosing) {
    const int v = GetParam();
    ExtV36Val = 400;
    tune.script(0, {0, 2, 2, 3});
    t.Load();
    t.SetStiffness(static_cast<int16_t>(v));
    t.Exec();
    RunTicks(t);

    EXPECT_EQ(tune.value(), std::min(v, 255));
    EXPECT_EQ(t.Stiffness(), std::min(v, 255));
    EXPECT_EQ(tune.polls(), 4);
    for (size_t i = 0; i < kRows.size(); ++i) {
        const int i32 = static_cast<int>(i);
        EXPECT_EQ(t.Before(i32), std::to_string(kRows[i] * 3));
        EXPECT_EQ(t.After(i32), std::to_string(ampsim::tunedValue(kRows[i], std::min(v, 255))));
    }
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].text, AutoText::TuneCompleted);
    EXPECT_EQ(asker.Asked()[0].title, AutoText::CompletedTitle);
    EXPECT_EQ(ComBusy, 0);
    EXPECT_EQ(Rights(), (std::vector<int>{1, -1}));
    EXPECT_FALSE(t.Busy());
    EXPECT_EQ(t.Unload(), AutoText::EepUserImplicit);
}

INSTANTIATE_TEST_SUITE_P(Values, TuneRStiffness, ::testing::Values(1, 9, 300));

TEST_F(TuneR, EepromOfferAfterATakeUpListsOnlyTheTunedParameters) {
    // An axis taken up without the parameter editor: the tables hold the presets, the reference what
    // the amplifier's EEPROM holds.
    Prm16Max = 128;
    Prm32Cnt = -1;
    Prm32Max = static_cast<int16_t>(model->options().prm32User);
    Prm32MaxSys = Prm32MaxAll = static_cast<int16_t>(model->prm32Count());
    for (int n = 0; n < PrmCnt; ++n) {
        PrmAttr[n] = PrmAttrRec{};
        Prm32Attr[n] = Prm32AttrRec{};
        PrmVal[n] = 7;
        Prm32Val[n] = 1000000;
    }
    FrmEEP::CheckPoint(EepWord::ForcedAll);
    ASSERT_EQ(Prm32CmpDone[0], -1);

    tune.script(0, {0, 3});
    t.Load();
    t.Exec();
    RunTicks(t);
    ASSERT_TRUE(t.Tuned());
    const auto rows = BuildChangeList(AutoText::EepUserImplicit, 0);
    std::vector<std::string> listed;
    for (const auto& r : rows)
        listed.push_back(r.type + " " + r.number);
    EXPECT_EQ(listed, (std::vector<std::string>{"Prm16 10", "Prm16 11", "Prm16 12"}));
    Prm32Cnt = 0;
    Prm32Max = Prm32MaxSys = Prm32MaxAll = 0;
}

TEST(AutoEepFlags, OnlyATunedRunIsOfferedByOperatingMode) {
    EXPECT_EQ(AutoEepFlags(false, 1), "");
    EXPECT_EQ(AutoEepFlags(false, 3), "");
    EXPECT_EQ(AutoEepFlags(true, 1), AutoText::EepUserImplicit);
    EXPECT_EQ(AutoEepFlags(true, 2), AutoText::EepAllImplicit);
    EXPECT_EQ(AutoEepFlags(true, 3), AutoText::EepAllImplicit);
}

// One row per first reply byte of the start (and the two refusals before it).
struct StartRow {
    int byte;
    bool servoOff;
    bool panel;
    const char* message; // nullptr: tuning runs
};

class TuneRStart : public TuneR, public ::testing::WithParamInterface<StartRow> {};

TEST_P(TuneRStart, StartReplyDecidesWhetherTuningRuns) {
    const StartRow row = GetParam();
    tune.script(static_cast<uint8_t>(row.byte), {0});
    tune.setServoOff(row.servoOff);
    model->setFrontPanel(row.panel);
    t.Load();
    t.Exec();

    const bool runs = row.message == nullptr;
    EXPECT_EQ(t.TimerOn(), runs);
    EXPECT_EQ(t.Busy(), runs);
    EXPECT_EQ((ComBusy & 2) != 0, runs);
    EXPECT_EQ(Rights(), (runs ? std::vector<int>{1} : std::vector<int>{1, -1}));
    EXPECT_EQ(TuningRequests(), row.panel ? 0 : 1);
    if (runs) {
        EXPECT_TRUE(asker.Asked().empty());
    } else {
        ASSERT_FALSE(asker.Asked().empty());
        EXPECT_EQ(asker.Asked().back().text, row.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, TuneRStart,
    ::testing::Values(StartRow{0, false, false, nullptr}, StartRow{2, false, false, nullptr},
                      StartRow{3, false, false, nullptr}, StartRow{1, false, false, AutoText::Incomplete},
                      StartRow{4, false, false, AutoText::Incomplete}, StartRow{6, false, false, AutoText::Incomplete},
                      StartRow{5, false, false, AutoText::CantUse}, StartRow{0, true, false, AutoText::ServoOff},
                      StartRow{0, false, true,
                               "Front panel in use. Execute after returning the front panel to selection display."}));

// One row per first reply byte of a poll.
struct PollRow {
    int byte;
    bool servoOff;
    const char* message; // nullptr: still running
    bool tuned;
};

class TuneRPoll : public TuneR, public ::testing::WithParamInterface<PollRow> {};

TEST_P(TuneRPoll, PollReplyDecidesHowTuningEnds) {
    const PollRow row = GetParam();
    tune.script(0, {static_cast<uint8_t>(row.byte)});
    t.Load();
    t.Exec();
    ASSERT_TRUE(t.TimerOn());
    tune.setServoOff(row.servoOff);
    t.Tick();

    const bool runs = row.message == nullptr;
    EXPECT_EQ(t.TimerOn(), runs);
    EXPECT_EQ((ComBusy & 2) != 0, runs);
    EXPECT_EQ(t.Tuned(), row.tuned);
    EXPECT_EQ(Rights(), (runs ? std::vector<int>{1} : std::vector<int>{1, -1}));
    EXPECT_EQ(t.After(0).empty(), !row.tuned);
    if (!runs) {
        ASSERT_EQ(asker.Asked().size(), 1u);
        EXPECT_EQ(asker.Asked()[0].text, row.message);
    }
}

INSTANTIATE_TEST_SUITE_P(Bytes, TuneRPoll,
                         ::testing::Values(PollRow{0, false, nullptr, false}, PollRow{2, false, nullptr, false},
                                           PollRow{3, false, AutoText::TuneCompleted, true},
                                           PollRow{1, false, AutoText::Incomplete, false},
                                           PollRow{4, false, AutoText::Incomplete, false},
                                           PollRow{7, false, AutoText::Incomplete, false},
                                           PollRow{5, false, AutoText::CantUse, false},
                                           PollRow{0, true, AutoText::ServoOff, false}));

TEST_F(TuneR, StopMidRunGivesBackOnceAndWarnsThatTheAmplifierMayGoOn) {
    tune.script(0, {0});
    t.Load();
    t.Exec();
    t.Tick();
    ASSERT_TRUE(t.TimerOn());

    EXPECT_EQ(t.Unload(), ""); // not tuned: nothing to offer
    t.Stop();                  // a second stop has nothing left to give back
    EXPECT_FALSE(t.TimerOn());
    EXPECT_FALSE(t.Busy());
    EXPECT_EQ(ComBusy, 0);
    EXPECT_EQ(Rights(), (std::vector<int>{1, -1}));
    EXPECT_TRUE(Has(stat, AutoText::Interrupted));
    EXPECT_EQ(Texts(asker), (std::vector<std::string>{AutoText::MayStillRun}));
}

TEST_F(TuneR, UnknownTuningFamilySendsNothingAndLeavesTheControlsUsable) {
    AutoKind = 7;
    t.Load();
    t.Exec();
    EXPECT_EQ(Texts(asker), (std::vector<std::string>{AutoText::CantUse}));
    EXPECT_FALSE(t.Busy());
    EXPECT_FALSE(t.TimerOn());
    EXPECT_EQ(ComBusy, 0);
    EXPECT_EQ(TuningRequests(), 0);
}

TEST_F(TuneR, WindowFollowsTheRunAndStopsItWhenClosed) {
    tune.script(0, {0});
    auto* w = new FrmAuto;
    EXPECT_EQ(w->LblParaVal[1]->text().toStdString(), std::to_string(kRows[1] * 3));
    EXPECT_TRUE(w->LblParaVal[3]->isHidden());
    w->CmdZiKkou->click();
    EXPECT_TRUE(w->Timer1->isActive());
    EXPECT_FALSE(w->CmdZiKkou->isEnabled());
    EXPECT_FALSE(w->TbExit->isEnabled());
    EXPECT_FALSE(w->findChild<QAction*>("MnuAutoExec")->isEnabled());

    w->close();
    EXPECT_FALSE(w->Timer1->isActive());
    EXPECT_EQ(ComBusy, 0);
    EXPECT_EQ(Rights(), (std::vector<int>{1, -1}));
    EXPECT_FALSE(plat::IsFrmLoad("FrmAuto"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The close-all sequence waits while a long operation holds its busy bit; a run stops so that it can go on.
TEST_F(TuneR, CloseAllStopsTheRunAndTakesTheWindowDown) {
    tune.script(0, {0});
    const MainLinks saved = Links();
    auto main = std::make_unique<Mevalo>();
    main->show();
    WireAutoScreen();
    main->MnuHyouji_Click(5);
    FrmAuto* w = FrmAuto::Instance();
    ASSERT_NE(w, nullptr);
    w->CmdZiKkou->click();
    ASSERT_TRUE(w->Timer1->isActive());

    main->MnuHyouji_Click(9);
    QElapsedTimer t;
    t.start();
    while (plat::IsFrmLoad("FrmAuto") && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_FALSE(plat::IsFrmLoad("FrmAuto"));
    EXPECT_EQ(ComBusy, 0);
    EXPECT_EQ(Rights(), (std::vector<int>{1, -1}));
    EXPECT_TRUE(Has(Texts(asker), AutoText::MayStillRun));
    main.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Links() = saved;
}

} // namespace
