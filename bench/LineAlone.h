// The simulated line alone, for the benchmarks that measure transfers against the simulated amplifier.
#pragma once

#include "ampsim.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

// The simulated line alone: the requests of a measured transfer sent again, one exchange after the other, by
// a bare client (plain writes and reads on the pty, nothing of the program in them) against the same
// simulator. Its time against its own bound is the floor the simulated line sets under that transfer; the
// measured transfer's ratio less this one is the program's share.
struct LineAlone {
    double seconds = 0, boundSeconds = 0;
    size_t requests = 0, lineBytes = 0;
    double Ratio() const { return boundSeconds > 0 ? seconds / boundSeconds : 0; }
};

// Replays requests (as the simulator logged them) over sim's line, which the program must have closed; the
// bound is every byte the client sent and read at 10 bits, plus the reply delay once per request. A request
// that gets no whole reply ends the replay with nothing measured (requests 0).
inline LineAlone ReplayAlone(ampsim::Simulator& sim, const std::vector<ampsim::Request>& requests,
                             uint32_t baud, std::chrono::microseconds replyDelay) {
    LineAlone r;
    const int fd = open(sim.devicePath().c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0) return r;
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd, TCSANOW, &tio);
    size_t lineBytes = 0, exchanges = 0;
    auto get = [&]() -> int {
        uint8_t b = 0;
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 2000) != 1 || read(fd, &b, 1) != 1) return -1;
        ++lineBytes;
        return b;
    };
    auto put = [&](const uint8_t* b, size_t n) {
        lineBytes += n;
        return write(fd, b, n) == static_cast<ssize_t>(n);
    };
    auto reply = [&] {
        const int head = get();
        if (head < 0) return false;
        const size_t extended = ampsim::extendedSize(static_cast<uint8_t>(head));
        for (size_t left = extended ? extended : static_cast<size_t>(head) + 3; left > 0; --left)
            if (get() < 0) return false;
        return true;
    };
    sim.waitIdle(std::chrono::milliseconds(200));
    const uint8_t enq = ampsim::kEnq, eot = ampsim::kEot, ack = ampsim::kAck;
    bool ok = true;
    const auto t0 = std::chrono::steady_clock::now();
    for (const ampsim::Request& q : requests) {
        if (!q.complete) continue;
        ok = put(&enq, 1) && get() == eot && put(q.raw.data(), q.raw.size()) && get() == ack &&
             get() == enq && put(&eot, 1) && reply() && put(&ack, 1);
        if (!ok) break;
        ++exchanges;
    }
    const auto t1 = std::chrono::steady_clock::now();
    sim.waitIdle(std::chrono::milliseconds(200));
    close(fd);
    if (!ok || exchanges == 0) return r;
    r.seconds = std::chrono::duration<double>(t1 - t0).count();
    r.requests = exchanges;
    r.lineBytes = lineBytes;
    r.boundSeconds = lineBytes * 10.0 / baud + exchanges * std::chrono::duration<double>(replyDelay).count();
    return r;
}
