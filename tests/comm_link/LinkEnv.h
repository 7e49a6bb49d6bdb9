// A private program folder per test (the link library and a limits table in it), the link state of a
// fresh program, and a simulated amplifier on its own port.
#pragma once

#include "ampsim.h"
#include "app/ConnectCalls.h"
#include "app/Frame.h"
#include "app/Glb.h"
#include "comm/Com.h"
#include "comm/ComGlb.h"
#include "comm/ComReq.h"
#include "comm/QelApi.h"
#include "platform/Ask.h"
#include "platform/Paths.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace fs = std::filesystem;

class LinkEnv : public ::testing::Test {
  protected:
    static constexpr int kPort = 73;

    void SetUp() override {
        ASSERT_TRUE(tmp_.isValid());
        dir_ = tmp_.path().toStdString();
        fs::create_symlink(QEL_LIBRARY_PATH, dir_ + "/libqel.so");
        fs::copy_file(std::string(MEVALO_RUNTIME_DIR) + "/com.adj", dir_ + "/com.adj");
        plat::SetAppDir(dir_);

        ampsim::Simulator::Options o;
        o.port = kPort;
        sim_ = std::make_unique<ampsim::Simulator>(o);
        sim_->setHandler([](const ampsim::Request&) { return std::vector<uint8_t>{0x00}; });

        ComHandle = 0;
        ComPortNo = 0;
        ComBaud = 0;
        ComBusy = 0;
        ComPortCnt = 4;
        ComTime[0] = {800, 5000, 2};
        DlgResult = 0;
        Connect().hanTeiExec = nullptr;
        captions_ = 0;
        Frame().updCaption = [this] { ++captions_; };
    }

    void TearDown() override {
        ComClose();
        Connect().hanTeiExec = nullptr;
        Frame().updCaption = nullptr;
        sim_.reset();
        plat::SetAppDir("");
    }

    // Replaces the shipped limits table.
    void WriteAdj(const std::string& text) const {
        std::ofstream(dir_ + "/com.adj", std::ios::binary) << text;
    }

    // A detection window that closes the link, then finds the amplifier (the link left open at the port
    // asked for) or not (off line, no port), as the real one does.
    void FakeDetection(bool found) {
        Connect().hanTeiExec = [this, found](int16_t& port, int32_t& baud) {
            ++detections_;
            detectedPort_ = port;
            ComClose();
            if (found && ComOpen(port, baud)) {
                ComPortNo = port;
                ComBaud = baud;
                DlgResult = -1;
            } else {
                port = 0;
                baud = 0;
                ComPortNo = 0;
                ComBaud = 0;
            }
        };
    }

    QTemporaryDir tmp_;
    std::string dir_;
    std::unique_ptr<ampsim::Simulator> sim_;
    int captions_ = 0;
    int detections_ = 0;
    int16_t detectedPort_ = -1;
};
