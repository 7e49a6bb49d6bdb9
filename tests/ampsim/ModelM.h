// A family M amplifier (series codes 20 to 24) for the simulated line: what it stores and how it answers each
// framed request. Plug it in with `sim.setHandler(model.handler(), address)`.
//
// The wire layouts here are written from the request tables on their own, apart from the program's
// decoders, so that a wrong offset on either side shows up as a failed test rather than agreeing with
// itself. Every reply ends with the status byte (0 all is well). The auto-tuning start is never answered.
//
// The model is shared between the line thread (the handler) and the test thread (the accessors): every
// member takes the model's lock.
#pragma once

#include "ModelCommon.h"
#include "ampsim.h"

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace ampsim {

class ModelM {
  public:
    static constexpr uint8_t kStOk = 0x00;
    static constexpr uint8_t kStRefused = 0x88; // bad request, no right, value out of limits, no data yet
    static constexpr uint8_t kStPanel = 0x40;   // execution right refused: front panel in use
    static constexpr uint8_t kStRunning = 0x01; // capture still running (ready poll)

    static constexpr int kSamples = 500;    // per channel of a capture
    static constexpr int kMaxBlock = 125;   // values of one block transfer
    static constexpr int kHistory = 8;      // alarm history entries

    struct Options {
        int user16 = 40;   // 16-bit user parameters (block 8/2, 8/3), at most 125
        int sys16 = 30;    // 16-bit system parameters (block 8/7, 8/8), at most 125
        int user32 = 8;    // 32-bit user parameters
        int sys32 = 4;     // 32-bit system parameters
        bool requireRight = true; // single writes, EEPROM writes and tuning need the execution right
        int captureBusyPolls = 2; // ready polls that still see the capture running
        int tuningRequests = 3;   // requests after the start until tuning has finished
        std::string modelName = "TESKM22A1B**"; // 12 characters
        std::string motorName = "SM-M200_1A*_"; // 12 characters
        std::array<std::array<uint8_t, 2>, 3> cpuVer{{{0x25, 0x37}, {0x13, 0x02}, {0x4F, 0x99}}};
    };

    using Prm16 = Param16;
    using Prm32 = Param32;
    // Monitor values and I/O words; they move with every monitor request while `moving` is set.
    struct Monitor {
        bool moving = true;
        int16_t speed = 0;   // 2/9 bytes 0-1
        int16_t torque = 0;  // 2/9 bytes 2-3
        int32_t counter = 0; // 2/9 bytes 4-7
        uint16_t in = 0;     // 2/7, high byte first
        uint16_t out = 0;    // 2/8, high byte first
    };
    struct Capture {
        uint8_t cond0 = 0; // position << 4 | slope << 3 | option << 1 | trigger
        int16_t level = 0;
        uint8_t sampling = 0;
        bool armed = false;
        int pollsLeft = 0;
        bool ready = false;
    };

    explicit ModelM(Options options);
    ModelM() : ModelM(Options{}) {}
    ModelM(const ModelM&) = delete;
    ModelM& operator=(const ModelM&) = delete;

    // The request handler for the simulator; the model must outlive the simulator's use of it.
    Handler handler();
    std::optional<std::vector<uint8_t>> answer(const Request& rq);

    // Switching the amplifier off and on: RAM stores reload from EEPROM; the right, the capture and tuning
    // are gone; the current alarm stays latched.
    void powerCycle();

    // ---- what tests look at and set --------------------------------------------------------------
    Options options() const;
    void setFrontPanel(bool inUse);
    bool rightHeld() const;
    // The next reply (to cmd/mode when given) carries only `dataBytes` data bytes before its status byte.
    void shortenNextReply(size_t dataBytes, int cmd = -1, int mode = -1);

    Prm16 prm16(bool sys, int n) const;
    void setPrm16(bool sys, int n, Prm16 p);
    Prm32 prm32(bool sys, int n) const;
    void setPrm32(bool sys, int n, Prm32 p);
    int eepromWrites(bool sys) const;

    Monitor monitor() const;
    void setMonitor(Monitor m);

    // Raises an alarm: it becomes the current one and the newest history entry, stamped with the hours.
    void raiseAlarm(uint8_t code);
    uint8_t alarm() const;
    std::array<uint8_t, kHistory> alarmHistory() const;
    void setHours(uint32_t h);

    Capture capture() const;
    bool tuning() const;
    int tuningValue() const; // value of the last start, -1 before any
    // Parameters that tuning rewrites (user numbers) and what a run with value v leaves in them.
    static constexpr std::array<int, 4> kTunedPrm{2, 3, 4, 7};
    static int16_t tunedValue(int k, int v);

    // Sample i (0..499) of channel ch: 0 commanded speed, 1 actual speed, 2 torque, 3 position error,
    // 4 full-closed error, 5 in-position; the data read carries 1 and the one its code names in pairs.
    int16_t sample(int ch, int i) const;
    // Channel the data read's second value of a point carries for data code 10, 9 or 12; -1 for any other.
    static int optionChannel(int code);

  private:
    using Bytes = std::vector<uint8_t>;
    static Bytes status(uint8_t st) { return Bytes{st}; }
    std::optional<Bytes> dispatch(const Request& rq);
    Bytes params(int mode, const Bytes& d);
    Bytes params32(int cmd, int mode, const Bytes& d);
    std::optional<Bytes> waveform(int mode, const Bytes& d);
    Bytes monitorReply(int mode);
    void tickTuning();
    bool writeAllowed() const { return !opt_.requireRight || right_; }
    int16_t sampleLocked(int ch, int i) const;
    std::vector<Prm16>& table16(bool sys) { return sys ? sys16_ : user16_; }
    std::vector<Prm32>& table32(bool sys) { return sys ? sys32_ : user32_; }

    mutable std::mutex mu_;
    Options opt_;
    std::vector<Prm16> user16_, sys16_;
    std::vector<Prm32> user32_, sys32_;
    Monitor mon_;
    bool panel_ = false;
    bool right_ = false;
    struct Shorten {
        size_t bytes;
        int cmd, mode;
    };
    std::optional<Shorten> shorten_;
    uint8_t alarm_ = 0;
    std::array<uint8_t, kHistory> hist_{};
    std::array<uint8_t, kHistory> histHours_{};
    uint32_t hours_ = 700;
    int eepWrites_[2] = {0, 0};
    Capture cap_;
    int tuningLeft_ = -1; // requests until tuning ends; -1 idle
    int tuningValue_ = -1;
};

} // namespace ampsim
