// A named pipe where a reader expects a file. Readers must refuse it at once; one that waits for a writer
// is let go after a while, so that the fault fails its test instead of hanging the suite.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Makes a named pipe at path, runs read and returns the seconds it took (-1 when no pipe could be made).
// A read still waiting on the pipe after two seconds meets a writer that opens and closes it at once.
inline double SecondsOnFifo(const std::string& path, const std::function<void()>& read) {
    using namespace std::chrono;
    ::unlink(path.c_str());
    if (::mkfifo(path.c_str(), 0600) != 0) return -1;
    std::atomic<bool> done{false};
    const auto start = steady_clock::now();
    std::thread release([&] {
        while (!done) {
            if (steady_clock::now() - start > seconds(2)) {
                // Opens only while a reader holds the pipe, and wakes that reader.
                const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                if (fd >= 0) ::close(fd);
            }
            std::this_thread::sleep_for(milliseconds(20));
        }
    });
    read();
    const double took = duration<double>(steady_clock::now() - start).count();
    done = true;
    release.join();
    return took;
}
