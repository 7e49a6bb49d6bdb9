// A private program folder for each test: a copy of the shipped runtime data, made the program folder,
// with the shared state put back to what a fresh program has.
#pragma once

#include "TestMain.h"
#include "app/Glb.h"
#include "comm/ComGlb.h"
#include "platform/Paths.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <string>

// Listing the tests at build time runs this program without a display too; the windows the tests close
// must not end it.
inline const bool kMainSetup = testmain::Use({.keepPlatform = true, .keepRunning = true});

namespace fs = std::filesystem;

class StartEnv : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(tmp_.isValid());
        dir_ = tmp_.path().toStdString() + "/app";
        fs::copy(MEVALO_RUNTIME_DIR, dir_, fs::copy_options::recursive);
        plat::SetAppDir(dir_);
        ResetShared();
    }
    void TearDown() override { plat::SetAppDir(""); }

    static void ResetShared() {
        DlgResult = 0;
        StartUpDone = 0;
        UserLevel = 1;
        MultiAxisEnable = 1;
        ComPortCnt = 4;
        LinkKind = 0;
        TypeSelMode = 1;
        KisyuKey.clear();
        KisyuMei.clear();
        KisyuCode = 0;
        CmdFamily = 0;
        ComPortNo = 0;
        ComBaud = 0;
        ComHandle = 0;
        BaudCnt = 3;
        for (int32_t& b : BaudTbl)
            b = 0;
        BaudTbl[0] = 9600;
        BaudTbl[1] = 4800;
        BaudTbl[2] = 2400;
        for (CpuVerRec& c : CpuVer)
            c = CpuVerRec{};
        for (FileVerRec& f : FileVerTbl)
            f = FileVerRec{};
        MotorMei = MotorMeiRec{};
    }

    std::string Path(const std::string& rel) const { return dir_ + "/" + rel; }
    void Write(const std::string& rel, const std::string& text) const {
        fs::create_directories(fs::path(Path(rel)).parent_path());
        std::ofstream(Path(rel), std::ios::binary) << text;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    QTemporaryDir tmp_;
    std::string dir_;
};

// Runs fn on the modal dialog named name as soon as it is the active modal window. Each call waits for
// its own dialog, so a whole chain of nested dialogs can be scripted before the first one opens.
inline void OnModal(const char* name, std::function<void(QWidget*)> fn) {
    auto* t = new QTimer;
    t->setInterval(5);
    const std::string n = name;
    QObject::connect(t, &QTimer::timeout, [t, n, fn] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || w->objectName().toStdString() != n || !w->isVisible()) return;
        t->stop();
        t->deleteLater();
        fn(w);
    });
    t->start();
}

// Ends a test that would otherwise wait forever on a dialog nobody answers: cancels every modal window.
class ModalWatchdog {
  public:
    explicit ModalWatchdog(int ms = 10000) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            fired_ = true;
            while (QWidget* w = QApplication::activeModalWidget()) {
                w->close();
                w->hide();
                if (QApplication::activeModalWidget() == w) break;
            }
        });
        timer_.start(ms);
    }
    bool Fired() const { return fired_; }

  private:
    QTimer timer_;
    bool fired_ = false;
};
