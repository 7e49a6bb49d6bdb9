// What a piece of work costs: how long it takes and how much memory it takes on top of what the process
// already held. It runs in a forked child, so that neither the test program's own memory nor what the work
// leaves behind counts, and a runaway is stopped instead of taking the suite with it.
#pragma once

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include <csignal>
#include <malloc.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

struct WorkCost {
    bool measured = false; // false: the child could not measure, died, or ran past the time given
    int result = 0;        // what the work returned
    double seconds = 0;
    long peakKiB = 0; // the most resident memory above what the child held when the work began
};

namespace workcost {

// A field of /proc/self/status in KiB, or -1.
inline long StatusKiB(const char* field) {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return -1;
    char line[256];
    long kib = -1;
    const size_t n = std::strlen(field);
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, field, n) == 0 && line[n] == ':') kib = std::atol(line + n + 1);
    std::fclose(f);
    return kib;
}

} // namespace workcost

inline WorkCost MeasureWork(const std::function<int()>& work, double limitSeconds = 60) {
    int fds[2];
    if (::pipe(fds) != 0) return {};
    const pid_t pid = ::fork();
    if (pid < 0) return {};
    if (pid == 0) {
        ::close(fds[0]);
        WorkCost c;
        // Free memory the heap still holds would be taken again without showing: it goes back first.
        ::malloc_trim(0);
        // "5" sets the peak back to what is resident now; the peak afterwards is then the work's.
        std::FILE* clear = std::fopen("/proc/self/clear_refs", "w");
        const bool reset = clear && std::fputs("5", clear) >= 0 && std::fclose(clear) == 0;
        const long base = workcost::StatusKiB("VmHWM");
        const auto start = std::chrono::steady_clock::now();
        c.result = work();
        c.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const long peak = workcost::StatusKiB("VmHWM");
        c.measured = reset && base >= 0 && peak >= 0;
        c.peakKiB = peak - base;
        (void)!::write(fds[1], &c, sizeof c);
        ::_exit(0);
    }
    ::close(fds[1]);
    WorkCost c;
    pollfd p{fds[0], POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(limitSeconds * 1000)) == 1) {
        if (::read(fds[0], &c, sizeof c) != static_cast<ssize_t>(sizeof c)) c = {};
    } else {
        ::kill(pid, SIGKILL);
    }
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return c;
}
