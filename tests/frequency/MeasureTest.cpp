// The measurement dialog against the simulated amplifier's plant, end to end.
#include "FrqEnv.h"

#include "comm/ComGlb.h"
#include "frequency/FrmSokuTei.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QTest>

namespace {

using Action = std::function<void(FrmSokuTei&)>;

ampsim::ModelFrq::Options Opt(int alarmPage, int torquePage, bool servoAlarm) {
    ampsim::ModelFrq::Options o;
    o.alarmPage = alarmPage;
    o.torquePage = torquePage;
    o.servoAlarm = servoAlarm;
    return o;
}

class Measure : public frqtest::FrqLink {
  protected:
    ampsim::ModelFrq::Options Options() const override { return opt; }

    // Execute, then `during` while the measurement runs; the dialog's answer.
    std::string Run(const Action& during = {}, const Action& before = {}) {
        const auto previous = FrmSokuTei::SetShowHook([&](FrmSokuTei& w) {
            if (before) before(w);
            w.CmdZiKkou_Click();
            if (during) during(w);
            EXPECT_TRUE(QTest::qWaitFor([&] { return w.Unloaded() || !w.Measuring(); }, 30000));
        });
        const std::string r = FrmSokuTei::Exec();
        FrmSokuTei::SetShowHook(previous);
        return r;
    }
    std::vector<std::string> Said() const {
        std::vector<std::string> out;
        for (const auto& a : asker.Asked())
            out.push_back(a.text);
        return out;
    }
    static void WaitFor(const std::function<bool()>& c) { ASSERT_TRUE(QTest::qWaitFor(c, 20000)); }

    ampsim::ModelFrq::Options opt;
};

TEST_F(Measure, TransfersThePlantsSamplesAndGivesEverythingBack) {
    SokuTeiRec.Amp = 500;
    SokuTeiRec.Off = -100;
    SokuTeiRec.Smp = 4;
    EXPECT_EQ(Run(), "success");
    const auto starts = frq->starts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].amp, 500);
    EXPECT_EQ(starts[0].offset, -100);
    EXPECT_EQ(starts[0].smp, 4);
    EXPECT_EQ(starts[0].count, 2047);
    const auto words = frq->samples();
    EXPECT_TRUE(std::equal(words.begin(), words.begin() + 2047, SokuTeiRec.Raw));
    EXPECT_EQ(SokuTeiRec.Points, 2047);
    EXPECT_EQ(SokuTeiRec.Amp, 500);
    EXPECT_EQ(ComBusy, 0);
    EXPECT_EQ(Rights(), (std::vector<int>{1, -1}));
    EXPECT_TRUE(Said().empty());
}

TEST_F(Measure, LastPageBeyondTheCountStoresNothingOutsideTheRecord) {
    opt.wordsPerPage = 120;
    opt.extraWords = 100;
    FftReqCount = 2059;
    EXPECT_EQ(Run(), "success");
    const auto words = frq->samples();
    EXPECT_TRUE(std::equal(words.begin(), words.begin() + 2059, SokuTeiRec.Raw));
}

TEST_F(Measure, StatusOfTheAmplifierDecidesTheOutcome) {
    const struct {
        const char* what;
        ampsim::ModelFrq::Options o;
        const char* result;
        const char* message;
    } rows[] = {
        {"alarm on page 5", Opt(5, -1, false), "failure", "Alarm occurs at measuring."},
        {"torque saturated", Opt(-1, 3, false), "success",
         "Torque is saturated. Lower the amplitude and re-measure."},
        {"servo alarm at start", Opt(-1, -1, true), "failure", "Servo alarm is on, and stops measurement."},
    };
    for (const auto& row : rows) {
        opt = row.o;
        frq = std::make_unique<ampsim::ModelFrq>(model->handler(), opt);
        sim.setHandler(frq->handler());
        sim.clearLog();
        asker.Clear();
        EXPECT_EQ(Run(), row.result) << row.what;
        EXPECT_EQ(Said(), std::vector<std::string>{row.message}) << row.what;
        EXPECT_EQ(ComBusy, 0) << row.what;
        EXPECT_EQ(Rights(), (std::vector<int>{1, -1})) << row.what;
    }
}

TEST_F(Measure, StopBeforeTheFirstWordSendsTheStopRequest) {
    opt.samplingPolls = 1000000;
    SokuTeiRec.FullCloseAvail = -1;
    SokuTeiRec.FullClose = 1;
    FrmSokuTei* seen = nullptr;
    const std::string r = Run([&](FrmSokuTei& w) {
        WaitFor([&] { return frq->starts().size() == 1 && sim.requests().size() > 6; });
        w.CmdCyuuShi_Click();
        seen = &w;
        w.CmdCancel_Click();
    });
    EXPECT_NE(seen, nullptr);
    EXPECT_EQ(r, "failure");
    const auto starts = frq->starts();
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_TRUE(starts[0].fullClose);
    EXPECT_EQ(starts[1].amp, 0);
    EXPECT_FALSE(starts[1].fullClose);
    EXPECT_EQ(Said(), std::vector<std::string>{"Measurement interrupted."});
    EXPECT_EQ(ComBusy, 0);
    EXPECT_EQ(Rights(), (std::vector<int>{1, -1}));
}

TEST_F(Measure, StopOrCloseAfterTheFirstWordSendsNoStopRequest) {
    for (bool close : {false, true}) {
        frq = std::make_unique<ampsim::ModelFrq>(model->handler(), opt);
        sim.setHandler(frq->handler());
        sim.clearLog();
        const std::string r = Run([&](FrmSokuTei& w) {
            WaitFor([&] { return w.PbrTenSou->value() > 0; });
            if (close)
                w.close();
            else
                w.CmdCyuuShi_Click();
        });
        EXPECT_EQ(r, "failure") << close;
        EXPECT_EQ(frq->starts().size(), 1u) << close;
        EXPECT_EQ(ComBusy, 0) << close;
        EXPECT_EQ(Rights(), (std::vector<int>{1, -1})) << close;
    }
}

TEST_F(Measure, CancelKeepsTheConditionsOfMeasuredSamples) {
    SokuTeiRec.Valid = -1;
    SokuTeiRec.Smp = 1;
    const auto previous = FrmSokuTei::SetShowHook([](FrmSokuTei& w) {
        w.TxtSmp->setText("3");
        w.CmdCancel_Click();
    });
    EXPECT_EQ(FrmSokuTei::Exec(), "cancel");
    FrmSokuTei::SetShowHook(previous);
    EXPECT_EQ(SokuTeiRec.Smp, 1);
    EXPECT_NE(FrqNextCondSet, 0);
    EXPECT_EQ(FrqNextCond.Smp, 3);
    EXPECT_TRUE(sim.requests().empty());
}

TEST_F(Measure, ExecuteIsOfferedOnlyForConditionsInRange) {
    const auto previous = FrmSokuTei::SetShowHook([](FrmSokuTei& w) {
        w.TxtAmp->setText("2000");
        w.TxtOff->setText("3000");
        EXPECT_FALSE(w.CmdZiKkou->isEnabled());
        w.TxtOff->setText("2999");
        EXPECT_TRUE(w.CmdZiKkou->isEnabled());
        w.TxtAmp->setText("-5");
        EXPECT_FALSE(w.CmdZiKkou->isEnabled());
    });
    FrmSokuTei::Exec();
    FrmSokuTei::SetShowHook(previous);
}

} // namespace
