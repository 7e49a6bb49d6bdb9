// Families M and K: the start without a reply, the amplifier's own end of the run, the time-outs in force
// while it runs, and Stop.
#include "TuneEnv.h"

#include "comm/Com.h"
#include "comm/ComReq.h"
#include "comm/TeskCmd.h"

#include <chrono>

namespace {

using namespace tunetest;
using std::chrono::milliseconds;

const std::vector<int> kRowsM = {2, 3, 4};

class TuneM : public famtest::FamLink<ampsim::ModelM, 42> {
  protected:
    void Configure() override {
        KisyuCode = 22;
        const auto o = model->options();
        Prm16Max = static_cast<int16_t>(o.user16);
        Prm16SysCnt = static_cast<int16_t>(o.sys16);
        Prm16MaxSys = Prm16Max;
        sim.setHandler(tune.handler());
        UseTuning(1, kRowsM);
        for (int n : kRowsM)
            model->setPrm16(false, n, {static_cast<int16_t>(-n), static_cast<int16_t>(-n), -30000, 30000, 0});
        Frame().updStatFix = [this](const std::string& s) { stat.push_back(s); };
    }
    void TearDown() override {
        FamLink::TearDown();
        Frame().updStatFix = nullptr;
    }

    ampsim::TuneM tune{*model, sim};
    AutoTune t;
};

struct OutcomeRow {
    int stiffness;
    uint8_t result;
    uint8_t status;
    const char* message;
};

class TuneMOutcome : public TuneM, public ::testing::WithParamInterface<OutcomeRow> {};

// The amplifier's block decides, even though the release that follows it is answered cleanly.
TEST_P(TuneMOutcome, OwnBlockDecidesUnderTheTuningTimeOuts) {
    const OutcomeRow row = GetParam();
    ExtV36Val = 400;
    tune.outcome(row.result, row.status, milliseconds(400));
    t.Load();
    t.SetStiffness(static_cast<int16_t>(row.stiffness));
    t.Exec();
    ASSERT_TRUE(t.TimerOn());
    EXPECT_EQ(LinkTimes().T1, kAuto.T1);
    EXPECT_EQ(LinkTimes().T2, kAuto.T2);
    EXPECT_EQ(LinkTimes().Retry, kAuto.Retry);

    auto longest = milliseconds(0);
    for (int i = 0; i < 60 && t.TimerOn(); ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        t.Tick();
        longest = std::max(longest, std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - t0));
        if (t.TimerOn()) {
            EXPECT_EQ(LinkTimes().T2, kAuto.T2);
        }
    }
    EXPECT_FALSE(t.TimerOn());
    EXPECT_LT(longest.count(), kAuto.T2 / 3); // the poll's wait stays short

    EXPECT_EQ(tune.value(), std::min(row.stiffness, 255));
    EXPECT_EQ(Texts(asker), (std::vector<std::string>{row.message}));
    EXPECT_EQ(Rights(), (std::vector<int>{1, -1}));
    EXPECT_EQ(ComBusy, 0);
    EXPECT_EQ(LinkTimes().T1, kNormal.T1);
    EXPECT_EQ(LinkTimes().T2, kNormal.T2);
    EXPECT_FALSE(t.Tuned());
    EXPECT_EQ(t.Before(0), "-2");
    EXPECT_EQ(t.After(0), "");
}

INSTANTIATE_TEST_SUITE_P(Blocks, TuneMOutcome,
                         ::testing::Values(OutcomeRow{7, 0, 0, AutoText::TuneSucceeded},
                                           OutcomeRow{1, 1, 0, AutoText::TuneFailed},
                                           OutcomeRow{300, 1, 0x04, AutoText::TuneFailed},
                                           OutcomeRow{3, 0, 0x04, AutoText::TuneFailed}));

TEST_F(TuneM, StopMidRunReleasesAndRestoresTheNormalTimeOuts) {
    tune.outcome(0, 0, milliseconds(5000));
    t.Load();
    t.Exec();
    t.Tick();
    ASSERT_TRUE(t.TimerOn());
    EXPECT_EQ(t.Unload(), "");
    EXPECT_EQ(Rights(), (std::vector<int>{1, -1}));
    EXPECT_EQ(ComBusy, 0);
    EXPECT_EQ(LinkTimes().T1, kNormal.T1);
    EXPECT_EQ(LinkTimes().T2, kNormal.T2);
    EXPECT_EQ(Texts(asker), (std::vector<std::string>{AutoText::MayStillRun}));
}

// ---- family K ------------------------------------------------------------------------------------------

class TuneK : public ::testing::Test {
  protected:
    static constexpr int kPort = 43;
    static ampsim::Simulator::Options SimOptions() {
        ampsim::Simulator::Options o;
        o.port = kPort;
        return o;
    }
    void SetUp() override {
        tune.attach(sim);
        CmdFamily = 1;
        KisyuCode = 10;
        AxisNo = 0;
        UseTuning(0, {5, 9});
        ComHandle = qel::Open(kPort, 38400);
        ASSERT_NE(ComHandle, 0u);
        qel::SetTimeOut(ComHandle, 150);
        ComSetTime(kNormal.T1, kNormal.T2, kNormal.Retry);
    }
    void TearDown() override {
        qel::CloseAll();
        ComHandle = 0;
        CmdFamily = 5;
    }

    ampsim::ModelK model;
    ampsim::TuneK tune{model};
    ampsim::Simulator sim{SimOptions()};
    plat::ScriptedAsker asker;
    AutoTune t;
};

struct KRow {
    int stiffness;
    int largest;
    const char* end;
    const char* line;
    const char* message;
};

class TuneKEnd : public TuneK, public ::testing::WithParamInterface<KRow> {};

TEST_P(TuneKEnd, EndLineDecidesAndValuesComeThroughTheLineProtocol) {
    const KRow row = GetParam();
    ExtV36Val = static_cast<int16_t>(row.largest);
    model.setPrm(5, 1234);
    model.setPrm(9, -77);
    model.setPrm(20, 555);
    PrmVal[20] = 20; // edited here and not sent: the before column must not overwrite it
    tune.outcome(row.end, milliseconds(400));
    t.Load();
    EXPECT_EQ(t.Before(0), "1234");
    EXPECT_EQ(t.Before(1), "-77");
    EXPECT_EQ(PrmVal[20], 20);

    t.SetStiffness(static_cast<int16_t>(row.stiffness));
    t.Exec();
    ASSERT_TRUE(t.TimerOn()) << (Texts(asker).empty() ? "" : Texts(asker)[0]);
    RunTicks(t);

    const auto lines = model.lines();
    EXPECT_TRUE(Has(lines, row.line));
    EXPECT_EQ(Texts(asker), (std::vector<std::string>{row.message}));
    EXPECT_EQ(ComBusy, 0);
    EXPECT_FALSE(t.Tuned());
    EXPECT_EQ(t.After(0), "");
    EXPECT_EQ(qel::SetT1(ComHandle, 0), static_cast<uint32_t>(kNormal.T1));
}

INSTANTIATE_TEST_SUITE_P(Lines, TuneKEnd,
                         ::testing::Values(KRow{300, 400, "AUTO END", "AUTO 1,FF", AutoText::TuneSucceeded},
                                           KRow{10, 9, "ERROR 2", "AUTO 1,A", AutoText::TuneFailed}));

TEST_F(TuneK, ValuesTheAmplifierRefusedToUploadShowNothing) {
    model.setPrm(5, 1234);
    PrmVal[5] = 99;
    model.answerError();
    t.Load();
    EXPECT_EQ(t.Before(0), "");
    EXPECT_EQ(PrmVal[5], 99);
}

// A refused start leaves nothing to poll: the window must not wait for a closing line that never comes.
TEST_F(TuneK, RefusedStartEndsAtOnce) {
    tune.setServoOff(true);
    t.Load();
    t.Exec();
    EXPECT_FALSE(t.TimerOn());
    EXPECT_FALSE(t.Busy());
    EXPECT_EQ(ComBusy, 0);
    EXPECT_EQ(Texts(asker), (std::vector<std::string>{AutoText::Failed}));
    EXPECT_EQ(qel::SetT1(ComHandle, 0), static_cast<uint32_t>(kNormal.T1));
}

} // namespace
