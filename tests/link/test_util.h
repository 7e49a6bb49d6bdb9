// Small helpers shared by the link tests.
#ifndef MEVALO_TESTS_LINK_TEST_UTIL_H
#define MEVALO_TESTS_LINK_TEST_UTIL_H

#include <chrono>
#include <ctime>

// Milliseconds of wall time (monotonic) since construction.
class Stopwatch {
public:
    double Ms() const
    {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_).count();
    }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// CPU time this process has used, in ms.
inline double CpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

#endif
