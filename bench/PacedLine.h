// The simulated amplifier of the transfer benchmarks: a pty that paces every byte at the line's bit rate,
// and the program's link opened to it with the time-outs the transfers run under.
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstddef>
#include <cstdint>

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

// The wire-time bound of a transfer: every byte on the line at 10 bits, plus the reply delay once per request.
inline double WireBoundSeconds(size_t lineBytes, size_t requests, uint32_t baud,
                               std::chrono::microseconds replyDelay) {
    return lineBytes * 10.0 / baud + requests * std::chrono::duration<double>(replyDelay).count();
}
