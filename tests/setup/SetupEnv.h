// Disk folders, file contents and waiting for the dialog's threads, shared by the launcher tests.
#pragma once

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QThread>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace setuptest {

namespace fs = std::filesystem;

// A fresh folder, removed with everything in it.
struct Scratch {
    QTemporaryDir dir;
    fs::path Root() const { return dir.path().toStdString(); }
    fs::path Dir(const std::string& name) const {
        fs::create_directories(Root() / name);
        return Root() / name;
    }
};

// Writes size bytes that differ from file to file, so that a mixed-up copy shows.
inline std::string WriteFile(const fs::path& path, size_t size) {
    static std::mt19937 rng(7);
    std::string data(size, '\0');
    for (char& c : data) c = static_cast<char>(rng());
    std::ofstream(path, std::ios::binary).write(data.data(), static_cast<std::streamsize>(size));
    return data;
}

inline std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs the event loop until pred holds or the time is up; returns pred's last value.
template <class Pred> bool WaitFor(Pred pred, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
    return true;
}

} // namespace setuptest
