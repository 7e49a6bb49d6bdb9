// The cost of one request/reply exchange above its wire time, and the CPU a waiting read burns.
//
// One exchange is a 4-byte request and a 64-byte reply: ENQ EOT [4] ACK, then ENQ EOT [64] ACK, 74 bytes
// or 740 bits, 19.27 ms at 38400 bit/s. Against an amplifier that answers at once over a pty the wire costs
// nothing, so the time per exchange is the software's own cost (the link library, the simulator and the
// kernel's pty together, an upper bound of the library's share). The target is 2% of the wire time.
#include "LineAlone.h"
#include "ampsim.h"
#include "qel.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <pty.h>
#include <sys/resource.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kPort = 90;
constexpr uint32_t kBaud = 38400;
constexpr int kRequestBytes = 4;
constexpr int kReplyData = 60; // a 64-byte reply block
constexpr int kLineBytes = 3 + kRequestBytes + 3 + (kReplyData + 4);
constexpr double kWireMs = kLineBytes * 10 * 1000.0 / kBaud;
constexpr double kTargetShare = 0.02;
constexpr double kDrainTargetMs = 0.05;

struct Bench {
    ampsim::Simulator sim;
    uint32_t link = 0;

    static ampsim::Simulator::Options options() {
        ampsim::Simulator::Options o;
        o.port = kPort;
        o.keepLog = false;
        return o;
    }
    Bench() : sim(options()) {
        sim.setHandler([](const ampsim::Request&) {
            return std::optional<std::vector<uint8_t>>{std::vector<uint8_t>(kReplyData, 0x5A)};
        });
        link = Qel_Open(kPort, kBaud);
    }
    ~Bench() {
        if (link) Qel_Close(&link);
    }
};

Bench* bench = nullptr;

// Figures of the last run of each benchmark, for the summary.
struct Figures {
    double exchangeMs = -1, exchangeCpuMs = -1, exchangeProcessCpuMs = -1;
    double sndRcvMs = -1, drainMs = -1;
    double drainInLoopMs = -1, drainInLoopMaxMs = -1;
    double pacedMs = -1, pacedAloneMs = -1;
    double waitMs = -1, waitCpuMs = -1;
    double roundTripMs = -1;
} figures;

double threadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double processCpuMs() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return (ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) * 1e3 +
           (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e3;
}

double nowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

bool exchangeOnce() {
    int16_t address = 0, cmd = 0, mode = 0, n = 0;
    static uint8_t data[QEL_RCV_DATA_MAX];
    return Qel_SndCmd2(bench->link, 0, 1, 10, nullptr, 0) == 1 &&
           Qel_RcvCmd2(bench->link, &address, &cmd, &mode, data, &n) == 1 && n == kReplyData;
}

// Sets the per-exchange counters from totals measured around the loop.
void report(benchmark::State& state, double wallMs, double cpuMs, double processMs, double* keep) {
    double per = wallMs / static_cast<double>(state.iterations());
    state.counters["ms_per_exchange"] = per;
    state.counters["wire_ms"] = kWireMs;
    state.counters["x_wire"] = per / kWireMs;
    state.counters["thread_cpu_ms"] = cpuMs / static_cast<double>(state.iterations());
    state.counters["process_cpu_ms"] = processMs / static_cast<double>(state.iterations());
    *keep = per;
}

// What the program does per request: Qel_SndCmd2, then Qel_RcvCmd2.
void BM_Exchange(benchmark::State& state) {
    Qel_SetRty(bench->link, 3);
    double wall0 = nowMs(), cpu0 = threadCpuMs(), proc0 = processCpuMs();
    for (auto _ : state)
        if (!exchangeOnce()) {
            state.SkipWithError("exchange failed");
            return;
        }
    double cpu = threadCpuMs() - cpu0, proc = processCpuMs() - proc0;
    report(state, nowMs() - wall0, cpu, proc, &figures.exchangeMs);
    figures.exchangeCpuMs = cpu / static_cast<double>(state.iterations());
    figures.exchangeProcessCpuMs = proc / static_cast<double>(state.iterations());
}
BENCHMARK(BM_Exchange)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The same through Qel_SndRcv, which drains the line before every request.
void BM_ExchangeSndRcv(benchmark::State& state) {
    double wall0 = nowMs(), cpu0 = threadCpuMs(), proc0 = processCpuMs();
    static uint8_t data[QEL_RCV_DATA_MAX];
    for (auto _ : state) {
        int16_t address = 0, cmd = 1, mode = 10, n = 0;
        if (Qel_SndRcv(bench->link, &address, &cmd, &mode, data, &n) != 1 || n != kReplyData) {
            state.SkipWithError("exchange failed");
            return;
        }
    }
    report(state, nowMs() - wall0, threadCpuMs() - cpu0, processCpuMs() - proc0, &figures.sndRcvMs);
}
BENCHMARK(BM_ExchangeSndRcv)->Unit(benchmark::kMicrosecond)->UseRealTime();

// What Qel_SndRcv does, with the drain timed by itself: Qel_Clr right after the last exchange's reply, as
// before every request of the program. Nothing is pending, so it should cost next to nothing: at most
// 0.05 ms.
void BM_DrainInExchange(benchmark::State& state) {
    double sum = 0, most = 0;
    for (auto _ : state) {
        const double t0 = nowMs();
        const int16_t cleared = Qel_Clr(bench->link);
        const double took = nowMs() - t0;
        sum += took;
        most = std::max(most, took);
        if (cleared != 1 || !exchangeOnce()) {
            state.SkipWithError("exchange failed");
            return;
        }
    }
    figures.drainInLoopMs = sum / static_cast<double>(state.iterations());
    figures.drainInLoopMaxMs = most;
    state.counters["ms_per_drain"] = figures.drainInLoopMs;
    state.counters["ms_longest_drain"] = most;
}
BENCHMARK(BM_DrainInExchange)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The drain alone on a quiet line, as before every request of the program.
void BM_DrainQuiet(benchmark::State& state) {
    double wall0 = nowMs();
    for (auto _ : state)
        if (Qel_Clr(bench->link) != 1) {
            state.SkipWithError("drain failed");
            return;
        }
    figures.drainMs = (nowMs() - wall0) / static_cast<double>(state.iterations());
    state.counters["ms_per_drain"] = figures.drainMs;
}
BENCHMARK(BM_DrainQuiet)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Against an amplifier whose bytes take their wire time: how far the whole exchange lies above the wire.
// Then the same exchanges from a bare client, without the library: the paced line's own floor.
void BM_ExchangePaced(benchmark::State& state) {
    bench->sim.setPacing(true, kBaud);
    double wall0 = nowMs(), cpu0 = threadCpuMs(), proc0 = processCpuMs();
    for (auto _ : state)
        if (!exchangeOnce()) {
            state.SkipWithError("exchange failed");
            break;
        }
    report(state, nowMs() - wall0, threadCpuMs() - cpu0, processCpuMs() - proc0, &figures.pacedMs);
    Qel_Close(&bench->link); // the bare client opens the line itself
    ampsim::Request request;
    request.raw = ampsim::encodeBlock(0, 1, 10, {});
    request.complete = true;
    const LineAlone alone = ReplayAlone(bench->sim, std::vector<ampsim::Request>(30, request), kBaud, {});
    if (alone.requests > 0) figures.pacedAloneMs = alone.seconds * 1e3 / static_cast<double>(alone.requests);
    bench->sim.setPacing(false, kBaud);
    bench->link = Qel_Open(kPort, kBaud);
    if (!bench->link) state.SkipWithError("cannot open the link again");
}
BENCHMARK(BM_ExchangePaced)->Unit(benchmark::kMillisecond)->Iterations(30);

// One byte there and back over a pty between two threads, blocking reads: what handing a byte to the other
// side and back costs with nothing else in it. An exchange turns the line round three times (ENQ for EOT,
// block for ACK, EOT for the reply), but this is no floor under it: exchanges have taken less than three of
// these round trips. The summary prints how many of them the exchange took in the same run.
void BM_PtyRoundTrip(benchmark::State& state) {
    int master = -1, slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
        state.SkipWithError("no pty");
        return;
    }
    termios tio{};
    tcgetattr(slave, &tio);
    cfmakeraw(&tio);
    tcsetattr(slave, TCSANOW, &tio);
    std::thread echo([master] {
        uint8_t b;
        while (read(master, &b, 1) == 1 && write(master, &b, 1) == 1) {
        }
    });
    double wall0 = nowMs();
    uint8_t b = 0x55;
    for (auto _ : state)
        if (write(slave, &b, 1) != 1 || read(slave, &b, 1) != 1) {
            state.SkipWithError("pty failed");
            break;
        }
    figures.roundTripMs = (nowMs() - wall0) / static_cast<double>(state.iterations());
    state.counters["ms_per_round_trip"] = figures.roundTripMs;
    close(slave); // the echo thread's read ends with EIO
    echo.join();
    close(master);
}
BENCHMARK(BM_PtyRoundTrip)->Unit(benchmark::kMicrosecond)->UseRealTime();

// A read that waits 200 ms for a byte that never comes: poll, not spinning, so next to no CPU.
void BM_WaitingRead(benchmark::State& state) {
    Qel_Clr(bench->link); // nothing left over that would end the wait early
    Qel_SetTimeOut(bench->link, 200);
    double wall0 = nowMs(), cpu0 = threadCpuMs();
    for (auto _ : state)
        if (Qel_GetChr(bench->link) != -1) {
            state.SkipWithError("a byte came");
            return;
        }
    double iters = static_cast<double>(state.iterations());
    figures.waitMs = (nowMs() - wall0) / iters;
    figures.waitCpuMs = (threadCpuMs() - cpu0) / iters;
    state.counters["ms_per_wait"] = figures.waitMs;
    state.counters["cpu_ms_per_wait"] = figures.waitCpuMs;
}
BENCHMARK(BM_WaitingRead)->Unit(benchmark::kMillisecond)->Iterations(5);

void summary() {
    std::printf(
        "\nOne exchange (%d-byte request, %d-byte reply): %d bytes on the line, %.2f ms at %u bit/s.\n",
        kRequestBytes, kReplyData + 4, kLineBytes, kWireMs, kBaud);
    if (figures.exchangeMs >= 0) {
        double target = kTargetShare * kWireMs;
        std::printf("  software's own cost per exchange: %.3f ms = %.2f%% of the wire time (target %.0f%%, "
                    "%.3f ms): %s\n",
                    figures.exchangeMs, 100 * figures.exchangeMs / kWireMs, 100 * kTargetShare, target,
                    figures.exchangeMs <= target ? "met" : "NOT met");
        std::printf("  CPU per exchange: %.3f ms in the caller's thread, %.3f ms in the whole process "
                    "(simulator included)\n",
                    figures.exchangeCpuMs, figures.exchangeProcessCpuMs);
    }
    if (figures.roundTripMs > 0) {
        std::printf("  a bare pty round trip between two threads: %.3f ms", figures.roundTripMs);
        if (figures.exchangeMs >= 0)
            std::printf("; the exchange above, which turns the line round three times, took %.2f of them",
                        figures.exchangeMs / figures.roundTripMs);
        std::printf("\n");
    }
    if (figures.sndRcvMs >= 0)
        std::printf("  through Qel_SndRcv (drain first): %.3f ms per exchange\n", figures.sndRcvMs);
    if (figures.drainInLoopMs >= 0)
        std::printf(
            "  Qel_Clr timed in the exchange loop, right after each reply: %.4f ms on average, %.4f ms the "
            "longest (target at most %.2f ms on average): %s\n",
            figures.drainInLoopMs, figures.drainInLoopMaxMs, kDrainTargetMs,
            figures.drainInLoopMs <= kDrainTargetMs ? "met" : "NOT met");
    if (figures.drainMs >= 0) std::printf("  Qel_Clr alone on a quiet line: %.4f ms\n", figures.drainMs);
    if (figures.pacedMs >= 0)
        std::printf("  against a paced line: %.2f ms per exchange, %.3f ms above the wire time\n",
                    figures.pacedMs, figures.pacedMs - kWireMs);
    if (figures.pacedAloneMs >= 0)
        std::printf(
            "  the paced line alone (a bare client, no library): %.2f ms per exchange, %.3f ms above the "
            "wire time\n",
            figures.pacedAloneMs, figures.pacedAloneMs - kWireMs);
    if (figures.waitMs >= 0)
        std::printf("  a read waiting 200 ms: %.1f ms, %.3f ms of CPU\n", figures.waitMs, figures.waitCpuMs);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Bench b;
    if (!b.link) {
        std::fprintf(stderr, "bench_link: cannot open the link to the simulated amplifier at %s\n",
                     b.sim.devicePath().c_str());
        return 1;
    }
    bench = &b;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    summary();
    bench = nullptr;
    return 0;
}
