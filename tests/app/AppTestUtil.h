// A fresh program folder for one test, removed afterwards; the program folder goes back on exit.
#pragma once

#include "platform/Paths.h"

#include <QCoreApplication>
#include <QEvent>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <stdlib.h>

class TempAppDir {
  public:
    TempAppDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "mevalo-app-XXXXXX").string();
        path_ = mkdtemp(tmpl.data());
        plat::SetAppDir(path_);
    }
    ~TempAppDir() {
        plat::SetAppDir({});
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempAppDir(const TempAppDir&) = delete;
    TempAppDir& operator=(const TempAppDir&) = delete;

    const std::string& path() const { return path_; }
    void put(const std::string& name, const std::string& bytes) const {
        std::ofstream(path_ + "/" + name, std::ios::binary) << bytes;
    }
    bool exists(const std::string& name) const { return std::filesystem::exists(path_ + "/" + name); }
    std::string get(const std::string& name) const {
        std::ifstream in(path_ + "/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

  private:
    std::string path_;
};

// Runs the deletions that windows asked for with deleteLater.
inline void FlushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

#include <QApplication>
#include <QTimer>
#include <QWidget>

// Closes a modal window that a test failed to answer, so that the test fails instead of hanging.
class ModalWatchdog {
  public:
    ModalWatchdog() {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, [] {
            if (QWidget* w = QApplication::activeModalWidget()) w->close();
        });
        timer_.start(5000);
    }

  private:
    QTimer timer_;
};
