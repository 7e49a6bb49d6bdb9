// A private program folder (shipped data, the link and spectrum libraries), a family R amplifier on COM2
// of a pty, COM1, COM3 and COM4 naming devices that do not exist, and the shared state of a program whose
// series TESK_R is chosen.
#pragma once

#include "TestMain.h"
#include "ModelR.h"
#include "ampsim.h"
#include "app/Frame.h"
#include "app/Glb.h"
#include "app/SetModel.h"
#include "comm/Com.h"
#include "comm/ComGlb.h"
#include "data/PrmGlb.h"
#include "data/PrmTbl.h"
#include "platform/Ask.h"
#include "platform/Paths.h"
#include "positioning/PopGlb.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

// Listing the tests at build time runs this program without a display too; the windows the tests close
// must not end it.
inline const bool kMainSetup = testmain::Use({.keepPlatform = true, .keepRunning = true});

namespace fs = std::filesystem;

// A pty carries no bit rate: this gate puts the amplifiers on the line only while the port is set to
// the one rate they "speak", and takes them off otherwise, so that an ENQ at a wrong rate goes unanswered
// as garbled bytes would. It watches the rate through a descriptor of its own on the pty.
class RateGate {
  public:
    RateGate(ampsim::Simulator& sim, uint32_t rate, std::vector<int> addresses)
        : sim_(sim), speed_(SpeedOf(rate)), addresses_(std::move(addresses)) {
        fd_ = ::open(sim.devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        sim_.setAddresses({});
        thread_ = std::thread([this] { Run(); });
    }
    ~RateGate() {
        stop_ = true;
        thread_.join();
        if (fd_ >= 0) ::close(fd_);
    }
    RateGate(const RateGate&) = delete;
    RateGate& operator=(const RateGate&) = delete;

    static speed_t SpeedOf(uint32_t rate) {
        switch (rate) {
        case 2400:
            return B2400;
        case 4800:
            return B4800;
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        default:
            return B38400;
        }
    }

  private:
    void Run() {
        int on = -1;
        while (!stop_) {
            termios tio{};
            const int now = fd_ >= 0 && ::tcgetattr(fd_, &tio) == 0 && ::cfgetospeed(&tio) == speed_;
            if (now != on) {
                sim_.setAddresses(now ? addresses_ : std::vector<int>{});
                on = now;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }

    ampsim::Simulator& sim_;
    speed_t speed_;
    std::vector<int> addresses_;
    int fd_ = -1;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class ConnEnv : public ::testing::Test {
  protected:
    static constexpr int kPort = 2;

    void SetUp() override {
        ASSERT_TRUE(tmp_.isValid());
        dir_ = tmp_.path().toStdString() + "/app";
        fs::copy(MEVALO_RUNTIME_DIR, dir_, fs::copy_options::recursive);
        fs::create_symlink(QEL_LIBRARY_PATH, dir_ + "/libqel.so");
        fs::create_symlink(SPEKT_LIBRARY_PATH, dir_ + "/libspekt.so");
        plat::SetAppDir(dir_);
        for (int p : {1, 3, 4})
            ::setenv(("QEL_COM" + std::to_string(p)).c_str(), (dir_ + "/no-such-tty").c_str(), 1);

        ampsim::Simulator::Options o;
        o.port = kPort;
        sim_ = std::make_unique<ampsim::Simulator>(o);
        model_ = std::make_unique<ampsim::ModelR>();
        sim_->setHandler(model_->handler());

        ComHandle = 0;
        ComPortNo = 0;
        ComBaud = 0;
        ComBusy = 0;
        ComPortCnt = 2;
        ComTime[0] = {500, 3000, 3};
        ComTime[1] = {60, 120, 1};
        BaudCnt = 3;
        BaudTbl[0] = 9600;
        BaudTbl[1] = 4800;
        BaudTbl[2] = 2400;
        DlgResult = 0;
        StartUpDone = -1;
        LinkKind = 1;
        KisyuKey = "TESK_R";
        KisyuMei = "ZT010A______";
        KisyuCode = 25;
        AxisNo = 0;
        ExtV25Opt[0] = 0;
        PopEnable = 0;
        PrmFlg = PrmIsAmp = 0;
        PopFlg = PopIsAmp = 0;
        for (std::string& t : AxisTxt)
            t.clear();

        Frame().updCaption = [this] { ++captions_; };
        Frame().updPbar = [this](long cur, long total) { pbar_.emplace_back(cur, total); };
        AxisScreens() = AxisScreenCalls{};
        AxisScreens().prmKiTeiChi = [this](const std::string& model, int16_t) {
            journal_.push_back("presets " + model);
            return presetsResult_;
        };
    }

    void TearDown() override {
        ComClose();
        Frame() = FrameHooks{};
        AxisScreens() = AxisScreenCalls{};
        sim_.reset();
        for (int p : {1, 3, 4})
            ::unsetenv(("QEL_COM" + std::to_string(p)).c_str());
        plat::SetAppDir("");
    }

    void Write(const std::string& rel, const std::string& text) const {
        fs::create_directories(fs::path(dir_ + "/" + rel).parent_path());
        std::ofstream(dir_ + "/" + rel, std::ios::binary) << text;
    }

    // The requests of one command and mode, in order, by address.
    std::vector<int> Addresses(int cmd, int mode) const {
        std::vector<int> out;
        for (const ampsim::Request& r : sim_->requests())
            if (r.cmd == cmd && r.mode == mode) out.push_back(r.address);
        return out;
    }

    // A handler that answers the axis query at its address with value, else as the model does.
    ampsim::Handler AxisAnswer(int value) {
        return [this, value](const ampsim::Request& rq) -> std::optional<std::vector<uint8_t>> {
            if (rq.cmd == 11 && rq.mode == 0)
                return std::vector<uint8_t>{static_cast<uint8_t>(value & 0xFF),
                                            static_cast<uint8_t>((value >> 8) & 0xFF), 0x00};
            return model_->answer(rq);
        };
    }

    QTemporaryDir tmp_;
    std::string dir_;
    std::unique_ptr<ampsim::Simulator> sim_;
    std::unique_ptr<ampsim::ModelR> model_;
    int captions_ = 0;
    std::vector<std::pair<long, long>> pbar_;
    std::vector<std::string> journal_;
    int16_t presetsResult_ = -1;
};
