// The waveform graph: a full redraw of six measured and six reference channels of 501 samples, a cursor
// move (the cached picture and the cursor overlay, as the window paints it), both at 1280 x 800; and a
// family R capture of four channels at 9600 and 38400 bit/s against the wire-time bound of the same bytes.
// Targets: redraw at most 8 ms, cursor move at most 1 ms, capture at most 1.05 x the bound.
#include "ModelR.h"
#include "PacedLine.h"
#include "ampsim.h"
#include "app/Glb.h"
#include "data/PrmGlb.h"
#include "comm/ComCore.h"
#include "comm/ComGlb.h"
#include "comm/QelApi.h"
#include "comm/TeskR.h"
#include "monitor/WavDraw.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <span>

namespace {

constexpr int kPort = 92;
constexpr auto kReplyDelay = std::chrono::microseconds(2000);
const QSize kSize(1280, 800);
constexpr double kCaptureTarget = 1.05;

std::map<uint32_t, Transfer> captures; // by bit rate
double redrawMs = 0, cursorMs = 0;

void FillGraph() {
    for (auto& m : MeasItem)
        m.Offered = -1;
    WavGraph.Word[WavWSmp] = 1;
    WavSmpBase = 0.0005;
    for (int rec = 0; rec < WavChCnt; ++rec) {
        WavChRec& r = WavGraph.Ch[rec];
        WgdAxisInit(r);
        r.XOff = 0;
        r.DataValid = -1;
        r.Visible = -1;
        r.YDiv = 400;
        r.Color = 0x101010 * (rec + 1);
        for (int i = 0; i < WavSampleCnt; ++i)
            r.RawData[i] = static_cast<int16_t>(std::lround(1800 * std::sin(i * 0.05 + rec)));
    }
    GrpCursor[0].CsrOn = GrpCursor[1].CsrOn = -1;
    GrpCursor[0].CsrPos = 100;
    GrpCursor[1].CsrPos = 300;
}

void BM_WaveRedraw(benchmark::State& state) {
    FillGraph();
    QImage cache(kSize, QImage::Format_RGB32);
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        cache.fill(Qt::white);
        QPainter p(&cache);
        WavPainterDevice dev(p, QSizeF(kSize), 96);
        PrdSurface s(&dev);
        WgdDraw(&s, 1, "/NO_TEXT /NO_PRINTER", WgdPanelInfo{}, false);
        dev.Flush();
        p.end();
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        state.SetIterationTime(ms / 1000);
        redrawMs = ms;
    }
}
BENCHMARK(BM_WaveRedraw)->Iterations(50)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_WaveCursorMove(benchmark::State& state) {
    FillGraph();
    QImage cache(kSize, QImage::Format_RGB32);
    cache.fill(Qt::white);
    {
        QPainter p(&cache);
        WavPainterDevice dev(p, QSizeF(kSize), 96);
        PrdSurface s(&dev);
        WgdDraw(&s, 1, "/NO_TEXT /NO_PRINTER", WgdPanelInfo{}, false);
    }
    QImage screen(kSize, QImage::Format_RGB32);
    int pos = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        GrpCursor[0].CsrPos = static_cast<int16_t>(pos++ % 500);
        QPainter p(&screen);
        p.drawImage(0, 0, cache);
        WavPainterDevice dev(p, QSizeF(kSize), 96);
        PrdSurface s(&dev);
        WgdCursors(&s);
        dev.Flush();
        p.end();
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        state.SetIterationTime(ms / 1000);
        cursorMs = ms;
    }
}
BENCHMARK(BM_WaveCursorMove)->Iterations(200)->UseManualTime()->Unit(benchmark::kMillisecond);

bool CaptureFour() {
    WavGraphRec& g = WavGraph;
    for (int ch = 0; ch < WavChShown; ++ch)
        g.Word[ch] = ch <= 3 ? -1 : 0;
    g.Word[WavWSmp] = 1;
    int16_t st = 0;
    if (GetExecRight(-1) == 0 || SetGrpCh(g, st) == 0 || SetSokuTeiJyouKen(g, st) == 0) return false;
    int16_t r = 0;
    while ((r = GrpSts(st)) == 0) {
    }
    if (r != 1) return false;
    const int recs[4] = {1, 0, 2, 3};
    const int16_t slotOf[4] = {0, g.Word[WavWSlot + 3], g.Word[WavWSlot + 1], g.Word[WavWSlot + 2]};
    for (int k = 0; k < 4; ++k)
        if (TESKR_trans_graph(std::span<int16_t>(g.Ch[recs[k]].RawData, WavSampleCnt), slotOf[k]) == 0)
            return false;
    return GetExecRight(0) != 0;
}

void BM_WaveCaptureR(benchmark::State& state) {
    const auto baud = static_cast<uint32_t>(state.range(0));
    Transfer& capture = captures[baud];
    ampsim::ModelR::Options mo;
    mo.replyDelay = kReplyDelay;
    ampsim::ModelR model(mo);
    ampsim::Simulator sim(PacedOptions(kPort, baud));
    sim.setHandler(model.handler());
    AxisNo = 0;
    KisyuCode = 25;
    ExecRightUse = -1;
    if (!OpenPacedLink(state, kPort, baud)) return;
    for (auto _ : state) {
        sim.clearLog();
        const auto t0 = std::chrono::steady_clock::now();
        const bool ok = CaptureFour();
        const auto t1 = std::chrono::steady_clock::now();
        if (!ok) {
            state.SkipWithError("the capture failed");
            break;
        }
        capture.seconds = std::chrono::duration<double>(t1 - t0).count();
        NoteLine(capture, sim, baud, kReplyDelay);
        state.SetIterationTime(capture.seconds);
    }
    CloseAndMeasureLineAlone(capture, sim, baud, kReplyDelay);
    state.counters["ratio"] = capture.Ratio();
}
BENCHMARK(BM_WaveCaptureR)
    ->Arg(9600)
    ->Arg(38400)
    ->Iterations(2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("\nWaveform graph at %dx%d: full redraw %.2f ms (target 8), cursor move %.3f ms (target 1)\n",
                kSize.width(), kSize.height(), redrawMs, cursorMs);
    bool met = redrawMs <= 8 && cursorMs <= 1 && !captures.empty();
    for (const auto& [baud, capture] : captures) {
        const double ratio = capture.Ratio();
        met = met && ratio > 0 && ratio <= kCaptureTarget;
        std::printf(
            "Family R capture of four channels at %u bit/s: %zu requests, %zu line bytes, %.3f s against a "
            "bound of %.3f s = %.3f x (target %.2f)%s\n",
            baud, capture.requests, capture.lineBytes, capture.seconds, capture.boundSeconds, ratio,
            kCaptureTarget, capture.AloneText().c_str());
    }
    return met ? 0 : 1;
}
