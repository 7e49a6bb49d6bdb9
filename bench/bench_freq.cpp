// The frequency response screen: the spectrum chain, opening the graph window, a redraw of both graphs
// with reference curves, and the transfer of one measurement against its wire-time bound.
//
// Targets: the chain for N = 2059 at most 3 times one bare real-to-complex transform of the same length
// (planned as well as FFTW can, measured in the same run) and under 0.2 ms; the window open under 50 ms; a
// redraw in at most 8 ms; the transfer at 9600 and 38400 bit/s at most 1.05 x the bound, which is every byte
// the line carried (from the simulator's wire transcript) at 10 bits each. At 38400 bit/s the same requests
// from a bare client (the simulated line alone, nothing of the program in it) give the line's own floor.
#include "ModelFrq.h"
#include "ModelR.h"
#include "PacedLine.h"
#include "ampsim.h"
#include "app/FrmCaution.h"
#include "app/Glb.h"
#include "comm/ComGlb.h"
#include "comm/QelApi.h"
#include "data/PrmGlb.h"
#include "frequency/FrmFft.h"
#include "frequency/FrmSokuTei.h"
#include "frequency/FrqCalc.h"
#include "frequency/FrqGlb.h"
#include "platform/Ask.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int kPort = 93;
constexpr std::chrono::microseconds kNoReplyDelay{0}; // the simulated amplifier answers at once here
constexpr double kBase = 0.0001;

struct Result {
    std::string what;
    double value;
    double target;
    const char* unit;
    std::string note = {}; // beside the verdict
};
std::vector<Result> results;

void Fill(FrqRec& rec, const ampsim::Plant& p, int n) {
    const auto raw = p.measure(n, 1000, 0);
    std::copy(raw.begin(), raw.end(), rec.Raw);
    rec.Points = n;
    rec.Amp = 1000;
    rec.Smp = 0;
    rec.BaseTime = kBase;
    rec.Valid = -1;
}

void BM_SpectrumChain(benchmark::State& state) {
    auto rec = std::make_unique<FrqRec>();
    auto in = std::make_unique<FftWorkRec>(), out = std::make_unique<FftWorkRec>();
    auto gain = std::make_unique<FrqGraphRec>(), phase = std::make_unique<FrqGraphRec>();
    Fill(*rec, ampsim::Plant{}, 2059);
    FftCalc(*rec, *in, *out, *gain, *phase, 4); // plans the length once
    for (auto _ : state)
        benchmark::DoNotOptimize(FftCalc(*rec, *in, *out, *gain, *phase, 4));
}
BENCHMARK(BM_SpectrumChain)->Unit(benchmark::kMicrosecond);

// What the chain's two transforms cannot beat: one transform of the same length and nothing else.
void BM_BareTransform(benchmark::State& state) {
    const int n = 2059;
    double* in = fftw_alloc_real(n);
    fftw_complex* out = fftw_alloc_complex(n / 2 + 1);
    const fftw_plan plan = fftw_plan_dft_r2c_1d(n, in, out, FFTW_MEASURE);
    auto rec = std::make_unique<FrqRec>();
    Fill(*rec, ampsim::Plant{}, n);
    for (int i = 0; i < n; ++i)
        in[i] = rec->Raw[i] >> 1;
    for (auto _ : state) {
        fftw_execute(plan);
        benchmark::DoNotOptimize(out[1][0]);
    }
    fftw_destroy_plan(plan);
    fftw_free(out);
    fftw_free(in);
}
BENCHMARK(BM_BareTransform)->Unit(benchmark::kMicrosecond);

void Prepare() {
    ComPortNo = 0;
    FftReqCount = FftSplitN = 2048;
    FftTime = 2000;
    FftDefAmp = 1000;
    SokuTeiRec.BaseTime = RefSokuTeiRec.BaseTime = kBase;
}

void BM_OpenWindow(benchmark::State& state) {
    Prepare();
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        auto w = std::make_unique<FrmFft>();
        w->show();
        w->TimRefreshGraph_Timer();
        QApplication::processEvents();
        state.SetIterationTime(t.nsecsElapsed() / 1e9);
    }
}
BENCHMARK(BM_OpenWindow)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

void BM_RedrawWithReference(benchmark::State& state) {
    Prepare();
    FrmFft w;
    w.show();
    ampsim::Plant res;
    res.kind = ampsim::Plant::Resonance;
    res.theta = 0.3;
    Fill(SokuTeiRec, res, 2048);
    w.CmbWindow_Click();
    w.MnuTenSouSanSyou_Click();
    Fill(SokuTeiRec, ampsim::Plant{}, 2048);
    w.CmbWindow_Click();
    w.MnuDspRef_Click();
    w.ChkCsr->setChecked(true);
    w.ChkCsr_Click();
    w.ChkCov->setChecked(true);
    QApplication::processEvents();
    for (auto _ : state)
        w.TimRefreshGraph_Timer();
}
BENCHMARK(BM_RedrawWithReference)->Unit(benchmark::kMillisecond);

void BM_TransferOneMeasurement(benchmark::State& state) {
    const auto baud = static_cast<uint32_t>(state.range(0));
    ampsim::ModelR model;
    ampsim::ModelFrq::Options fo;
    fo.samplingPolls = 0;
    ampsim::ModelFrq frq(model.handler(), fo);
    ampsim::Simulator sim(PacedOptions(kPort, baud));
    sim.setHandler(frq.handler());
    plat::ScriptedAsker asker;
    AxisNo = 0;
    KisyuCode = 25;
    ExecRightUse = -1;
    FftReqCount = 2048;
    SokuTeiRec.Amp = 1000;
    FrqNextCondSet = 0;
    // The cautions are answered at once: the user's reading time is not the transfer's.
    const auto cautions = FrmCaution::SetShowHook([](FrmCaution& w) { w.CmdOk_Click(); });
    if (!OpenPacedLink(state, kPort, baud)) return;
    Transfer t;
    const auto previous = FrmSokuTei::SetShowHook([&](FrmSokuTei& d) {
        sim.clearLog();
        const auto t0 = std::chrono::steady_clock::now();
        d.CmdZiKkou_Click();
        while (!d.Unloaded() && d.Measuring())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        t.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        sim.waitIdle(std::chrono::milliseconds(2000));
        NoteLine(t, sim, baud, kNoReplyDelay);
    });
    for (auto _ : state) {
        sim.clearLog();
        if (FrmSokuTei::Exec() != "success") {
            state.SkipWithError("the measurement failed");
            break;
        }
        state.SetIterationTime(t.seconds);
    }
    FrmSokuTei::SetShowHook(previous);
    FrmCaution::SetShowHook(cautions);
    CloseAndMeasureLineAlone(t, sim, baud, kNoReplyDelay);
    state.counters["bound_s"] = t.boundSeconds;
    state.counters["ratio"] = t.Ratio();
    results.push_back({"transfer of 2048 words at " + std::to_string(baud) + " bit/s, x the wire-time bound",
                       t.Ratio(), 1.05, "x", t.AloneText()});
}
BENCHMARK(BM_TransferOneMeasurement)
    ->Arg(9600)
    ->Arg(38400)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Keeps each timed run, to compare the median of each benchmark with its target after the run.
class Reporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.run_type != Run::RT_Iteration || r.error_occurred) continue;
            const double ms = r.GetAdjustedRealTime() * (r.time_unit == benchmark::kMicrosecond ? 1e-3 : 1.0);
            const std::string name = r.run_name.function_name;
            for (const char* kept :
                 {"BM_SpectrumChain", "BM_BareTransform", "BM_OpenWindow", "BM_RedrawWithReference"})
                if (name == kept) samples[name].push_back(ms);
        }
    }
    // The median of the repetitions (one without --benchmark_repetitions); 0 when it did not run.
    double Median(const std::string& name) const {
        const auto it = samples.find(name);
        if (it == samples.end() || it->second.empty()) return 0;
        std::vector<double> v = it->second;
        std::sort(v.begin(), v.end());
        return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    }

  private:
    std::map<std::string, std::vector<double>> samples;
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double chainMs = reporter.Median("BM_SpectrumChain"),
                 transformMs = reporter.Median("BM_BareTransform");
    const double openMs = reporter.Median("BM_OpenWindow"),
                 redrawMs = reporter.Median("BM_RedrawWithReference");
    if (chainMs > 0) results.push_back({"spectrum chain, N = 2059", chainMs, 0.2, "ms"});
    if (openMs > 0) results.push_back({"opening the graph window", openMs, 50, "ms"});
    if (redrawMs > 0) results.push_back({"redraw of both graphs with reference", redrawMs, 8, "ms"});
    std::printf("\nFrequency response against its targets:\n");
    if (chainMs > 0 && transformMs > 0) {
        std::printf("  spectrum chain %.4f ms, one bare transform of the same length %.4f ms: %.2f x\n",
                    chainMs, transformMs, chainMs / transformMs);
        results.push_back(
            {"spectrum chain against one bare transform, N = 2059", chainMs / transformMs, 3.0, "x"});
    }
    bool met = true;
    for (const Result& r : results) {
        const bool ok = r.value > 0 && r.value <= r.target;
        met = met && ok;
        std::printf("  %-62s %8.3f %s (target %.2f) %s%s\n", r.what.c_str(), r.value, r.unit, r.target,
                    ok ? "met" : "MISSED", r.note.c_str());
    }
    return met ? 0 : 1;
}
