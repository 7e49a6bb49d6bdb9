// Positioning transfers of a family R amplifier against the wire-time bound of the same bytes, and the
// page flip of the step grid.
//
// The simulated amplifier (44 steps, 21 16-bit and 13 32-bit positioning parameters) paces every byte at the
// line's bit rate and thinks for a fixed reply delay before each reply. Receive all is the three tables'
// pages; send all is the step pages, the 16-bit parameters and the 32-bit pages under one execution right,
// through the program's own request path, with the main window shown so that its status strip paints
// the page numbers as in use. The bound is every byte the line carried at 10 bits each, plus the reply
// delay once per request. Targets: at most 1.05 times the bound; a page flip under 2 ms.
#include "ModelR.h"
#include "PacedLine.h"
#include "ampsim.h"
#include "app/Glb.h"
#include "app/Mevalo.h"
#include "comm/ComCore.h"
#include "comm/ComGlb.h"
#include "comm/QelApi.h"
#include "data/PrmGlb.h"
#include "positioning/FrmPop.h"
#include "positioning/PopEdit.h"
#include "positioning/PopGlb.h"

#include <QApplication>
#include <QScrollBar>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int kPort = 92;
constexpr auto kReplyDelay = std::chrono::microseconds(2000);
constexpr double kTarget = 1.05;
constexpr double kFlipTargetMs = 2.0;

std::map<std::string, Transfer> figures;
double flipMs = 0, flipWorstMs = 0;

// Names for every code the simulated amplifier's steps use.
void DefineItems(const ampsim::ModelR::Options& mo) {
    const int rows[] = {16, 4, 4, PopItemRows, 2};
    for (int c = 0; c < 5; ++c)
        for (int r = 0; r < rows[c]; ++r)
            PopItem[c][r] = {"I" + std::to_string(r), r, ""};
    PopStepCnt[3] = static_cast<int16_t>(mo.popSteps);
    Pop16Cnt[0] = 0;
    Pop16Cnt[3] = static_cast<int16_t>(mo.pop16);
    Pop32Cnt[3] = static_cast<int16_t>(mo.pop32);
}

void TransferBench(benchmark::State& state, bool send) {
    const auto baud = static_cast<uint32_t>(state.range(0));
    ampsim::ModelR::Options mo;
    mo.replyDelay = kReplyDelay;
    ampsim::ModelR model(mo);
    ampsim::Simulator sim(PacedOptions(kPort, baud));
    sim.setHandler(model.handler());
    AxisNo = 0;
    KisyuCode = 25;
    ExecRightUse = -1;
    DefineItems(mo);
    if (!OpenPacedLink(state, kPort, baud)) return;
    if (send && PopRecvTables(PopStep, Pop16Prm, Pop32Prm, "steps") != 0) {
        state.SkipWithError("the tables could not be read first");
        return;
    }
    Transfer f;
    for (auto _ : state) {
        sim.clearLog();
        const auto t0 = std::chrono::steady_clock::now();
        const bool ok = send ? PopSendAll() : PopRecvTables(PopStep, Pop16Prm, Pop32Prm, "steps") == 0;
        const auto t1 = std::chrono::steady_clock::now();
        if (!ok) {
            state.SkipWithError("a transfer failed");
            break;
        }
        f.seconds = std::chrono::duration<double>(t1 - t0).count();
        NoteLine(f, sim, baud, kReplyDelay);
        state.SetIterationTime(f.seconds);
    }
    CloseAndMeasureLineAlone(f, sim, baud, kReplyDelay);
    figures[std::string(send ? "send all   " : "receive all") + " " + std::to_string(baud)] = f;
    state.counters["ratio"] = f.Ratio();
}

void BM_ReceiveAll(benchmark::State& state) {
    TransferBench(state, false);
}
void BM_SendAll(benchmark::State& state) {
    TransferBench(state, true);
}
BENCHMARK(BM_ReceiveAll)
    ->Arg(9600)
    ->Arg(38400)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SendAll)->Arg(9600)->Arg(38400)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// One flip of the step grid by a page, as the scroll bar does it (no reception on demand).
void BM_StepPageFlip(benchmark::State& state) {
    ampsim::ModelR::Options mo;
    mo.popSteps = 1024;
    DefineItems(mo);
    PopRecvByPage = 0;
    FrmPop* w = FrmPop::Show();
    QScrollBar* s = w->VScrStep;
    double worst = 0, total = 0;
    int page = 0, n = 0;
    for (auto _ : state) {
        page = (page + 8) % (s->maximum() + 1);
        const auto t0 = std::chrono::steady_clock::now();
        s->setValue(page);
        const auto t1 = std::chrono::steady_clock::now();
        const double ms = std::chrono::duration<double, std::milli>(t1 - t0).count();
        worst = std::max(worst, ms);
        total += ms;
        ++n;
        state.SetIterationTime(ms / 1000.0);
    }
    flipMs = n > 0 ? total / n : 0;
    flipWorstMs = worst;
    state.counters["worst_ms"] = worst;
    w->close();
}
BENCHMARK(BM_StepPageFlip)->Iterations(200)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    auto frame = std::make_unique<Mevalo>();
    frame->show();
    QApplication::processEvents();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    frame.reset();

    std::printf("\nPositioning transfers (reply delay %.1f ms), target %.2f x the bound:\n",
                std::chrono::duration<double, std::milli>(kReplyDelay).count(), kTarget);
    bool met = true;
    for (const auto& [name, f] : figures) {
        const double ratio = f.Ratio();
        met = met && ratio > 0 && ratio <= kTarget;
        std::printf(
            "  %s bit/s: %zu requests, %zu line bytes, %.3f s against a bound of %.3f s = %.3f x %s%s\n",
            name.c_str(), f.requests, f.lineBytes, f.seconds, f.boundSeconds, ratio,
            ratio <= kTarget ? "(met)" : "(MISSED)", f.AloneText().c_str());
    }
    std::printf("Step grid page flip: %.3f ms on average (worst %.3f ms), target under %.1f ms %s\n", flipMs,
                flipWorstMs, kFlipTargetMs, flipMs < kFlipTargetMs ? "(met)" : "(MISSED)");
    return met && flipMs < kFlipTargetMs ? 0 : 1;
}
