// The simulated amplifier of the transfer benchmarks: a pty that paces every byte at the line's bit rate,
// and the program's link opened to it with the time-outs the transfers run under.
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "LineAlone.h"
#include "ampsim.h"
#include "comm/ComGlb.h"
#include "comm/QelApi.h"

inline ampsim::Simulator::Options PacedOptions(int port, uint32_t baud) {
    ampsim::Simulator::Options so;
    so.port = port;
    so.pace = true;
    so.baud = baud;
    return so;
}

// Opens ComHandle on port at baud with T1 500 ms and T2 1000 ms; false, and the benchmark skipped, when the
// line cannot be opened.
inline bool OpenPacedLink(benchmark::State& state, int port, uint32_t baud) {
    ComHandle = qel::Open(port, baud);
    if (ComHandle == 0) {
        state.SkipWithError("cannot open the simulated line");
        return false;
    }
    qel::SetT1(ComHandle, 500);
    qel::SetT2(ComHandle, 1000);
    return true;
}

// The wire-time bound of a transfer: every byte on the line at 10 bits, plus the reply delay once per
// request.
inline double WireBoundSeconds(size_t lineBytes, size_t requests, uint32_t baud,
                               std::chrono::microseconds replyDelay) {
    return lineBytes * 10.0 / baud + requests * std::chrono::duration<double>(replyDelay).count();
}

// The rate at which each transfer's ratio is shown beside the simulated line's own floor.
inline constexpr uint32_t kLineFloorBaud = 38400;

// One measured transfer against its bound, and at kLineFloorBaud the same requests over the line alone.
struct Transfer {
    double seconds = 0, boundSeconds = 0;
    size_t lineBytes = 0, requests = 0;
    std::vector<ampsim::Request> log; // the requests of the last run
    LineAlone alone;
    double Ratio() const { return boundSeconds > 0 ? seconds / boundSeconds : 0; }
    // ", the line alone 1.030 x" where the line alone was measured, else nothing.
    std::string AloneText() const {
        char text[64] = "";
        if (alone.requests > 0) std::snprintf(text, sizeof text, ", the line alone %.3f x", alone.Ratio());
        return text;
    }
};

// Notes what the line carried in the run that just ended (seconds are the caller's to set).
inline void NoteLine(Transfer& t, const ampsim::Simulator& sim, uint32_t baud,
                     std::chrono::microseconds replyDelay) {
    t.lineBytes = sim.wire().size();
    t.log = sim.requests();
    t.requests = t.log.size();
    t.boundSeconds = WireBoundSeconds(t.lineBytes, t.requests, baud, replyDelay);
}

// Closes the program's link and, at kLineFloorBaud, sends the last run's requests again from a bare client,
// `runs` times, keeping the quickest (as a benchmark that keeps the quickest of its runs does).
inline void CloseAndMeasureLineAlone(Transfer& t, ampsim::Simulator& sim, uint32_t baud,
                                     std::chrono::microseconds replyDelay, int runs = 1) {
    qel::CloseAll();
    ComHandle = 0;
    if (baud != kLineFloorBaud) return;
    for (int i = 0; i < runs; ++i) {
        const LineAlone run = ReplayAlone(sim, t.log, baud, replyDelay);
        if (run.requests == 0) {
            t.alone = {};
            return;
        }
        if (i == 0 || run.seconds < t.alone.seconds) t.alone = run;
    }
}
