// A family R amplifier (series code 25) for the simulated line: what it stores and how it answers each
// framed request. Plug it in with `sim.setHandler(model.handler(), address)`.
//
// The wire layouts here are written from the request tables on their own, apart from the program's
// decoders, so that a wrong offset on either side shows up as a failed test rather than agreeing with
// itself. Every reply ends with the status byte: 0 all is well (capture blocks carry 0x04, data ready).
//
// The model is shared between the line thread (the handler) and the test thread (the accessors): every
// member takes the model's lock.
#pragma once

#include "ModelCommon.h"
#include "ampsim.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace ampsim {

class ModelR {
  public:
    // Status bytes the model answers with.
    static constexpr uint8_t kStOk = 0x00;
    static constexpr uint8_t kStRefused = 0x88;     // bad request, no right, value out of limits
    static constexpr uint8_t kStPanel = 0x40;       // execution right refused: front panel in use
    static constexpr uint8_t kStRunning = 0x01;     // capture or tuning still running
    static constexpr uint8_t kStReady = 0x04;       // capture done, data ready
    static constexpr uint8_t kStNoSelection = 0xA0; // channel selection not offered

    static constexpr int kPrm16Count = 256; // 0..127 user, 128..255 system
    static constexpr int kCaptureSamples = 512;

    struct Options {
        int prm32User = 20;        // 32-bit user parameters
        int prm32Sys = 13;         // 32-bit system parameters after them
        int popSteps = 44;         // positioning steps
        int pop16 = 21;            // 16-bit positioning parameters
        int pop32 = 13;            // 32-bit positioning parameters
        bool requireRight = true;  // writes, EEPROM writes, tuning and captures need the execution right
        bool channelSelect = true; // answers the channel selection (else status 0xA0)
        int captureBusyPolls = 2;  // state polls that still see the capture running
        int tuningPolls = 4;       // progress polls until tuning has finished
        std::string modelName = "TESKR21B7C**"; // 12 characters
        std::string motorName = "SM-R400_0A**"; // 12 characters
        std::array<std::array<uint8_t, 2>, 3> cpuVer{{{0x25, 0x37}, {0x13, 0x02}, {0x40, 0x10}}};
        std::chrono::microseconds replyDelay{0}; // the amplifier's own thinking time before each reply
    };

    using Prm16 = Param16;
    using Prm32 = Param32;
    struct Step {
        int64_t pos = 0;
        int vel = 0, acc = 0, dec = 0, mode = 0, block = 0;
        bool operator==(const Step&) const = default;
    };
    // Monitor values; they move with every monitor request while `moving` is set.
    struct Monitor {
        bool moving = true;
        int32_t fbPos = 0, cmdPos = 0;           // 2/10 bytes 2-5, 6-9
        uint8_t inputs = 0, outputs = 0;         // 2/10 bytes 0, 1
        int16_t posErr = 0;                      // 2/10 bytes 10-11
        int32_t speedAct = 0;                    // 2/1
        int32_t speedCmd = 0;                    // 2/2
        int16_t loadX = 0, loadY = 1, volt5 = 0; // 2/11: x, y, voltage x 5
        int16_t m13a = 0, m13b = 0;              // 2/13
        uint32_t m13c = 0;                       // 2/13, 24 bits
        int16_t m13d = 0;
        int32_t m14a = 0, m14b = 0;     // 2/14
        int16_t maker1 = 0, maker2 = 0; // 15/0 bytes 4-5, 6-7
        // 2/9: speed [r/min], torque (% times the series' torque scale), position error [pulse]. The
        // monitor screen reads 2/10 as control mode (byte 0), aux (byte 1), inputs (fbPos), outputs
        // (cmdPos) and warnings (posErr).
        int16_t speed = 0, torque = 0;
        int32_t counter = 0;
    };
    // The positioning monitor reply (14/13), field by field.
    struct PopMonitor {
        int32_t f1 = 0;         // bytes 0-3
        uint8_t f2 = 0;         // byte 8
        int32_t f3 = 0, f4 = 0; // bytes 9-12, 13-16
        uint8_t f5 = 0, f6 = 0; // bytes 17, 18
        int64_t pos = 0;        // bytes 19-26
        uint8_t b27 = 0, b28 = 0;
        std::array<int16_t, 5> w{}; // bytes 30-39
        uint8_t f11 = 0;            // byte 40
        bool moving = false;        // the command position runs on with every read
    };
    struct Capture {
        uint8_t cond0 = 0; // position << 4 | slope << 3 | option << 1 | trigger
        int16_t level = 0;
        uint16_t sampling = 0;
        // Channel code per slot; slot 0 is always the commanded speed. Without a selection the amplifier
        // captures its fixed set.
        std::array<uint8_t, 4> slots{0, 1, 2, 3};
        bool armed = false;
        int pollsLeft = 0;
    };

    explicit ModelR(Options options);
    ModelR() : ModelR(Options{}) {}
    ModelR(const ModelR&) = delete;
    ModelR& operator=(const ModelR&) = delete;

    // The request handler for the simulator; the model must outlive the simulator's use of it.
    Handler handler();
    std::optional<std::vector<uint8_t>> answer(const Request& rq);

    // Switching the amplifier off and on: RAM stores reload from EEPROM, the right, captures and
    // tuning are gone, the current alarm stays latched.
    void powerCycle();

    // ---- what tests look at and set --------------------------------------------------------------
    Options options() const;
    void setFrontPanel(bool inUse);
    bool rightHeld() const;
    void setReplyDelay(std::chrono::microseconds d);
    // The next reply carries only `dataBytes` data bytes before its status byte.
    void shortenNextReply(size_t dataBytes);

    Prm16 prm16(int n) const;
    void setPrm16(int n, Prm16 p);
    Prm32 prm32(int n) const;
    void setPrm32(int n, Prm32 p);
    int prm32Count() const { return opt_.prm32User + opt_.prm32Sys; }

    Step step(int n) const;
    void setStep(int n, Step s);
    Step stepEep(int n) const;
    Prm16 pop16(int n) const;
    void setPop16(int n, Prm16 p);
    Prm32 pop32(int n) const;
    void setPop32(int n, Prm32 p);

    Monitor monitor() const;
    void setMonitor(Monitor m);
    PopMonitor popMonitor() const;
    void setPopMonitor(PopMonitor m);

    // Raises an alarm: it becomes the current one and the newest history entry, stamped with the hour
    // counter.
    void raiseAlarm(uint8_t code);
    void raiseSystemEvent(uint8_t code);
    uint8_t alarm() const;
    // Resets the current alarm, as the clear request does.
    void clearAlarm();
    std::array<uint8_t, 14> alarmHistory() const;
    std::array<uint8_t, 14> systemHistory() const;
    std::array<uint16_t, 15> alarmTimes() const;
    void setHours(uint32_t h);

    std::string modelCode() const;            // as written with 1/5 (empty before)
    std::vector<int16_t> calibration() const; // as written with 1/4 (empty before)
    int eepromWrites(int which) const;        // 0 user, 1 system, 2 positioning

    Capture capture() const;
    int tuningProgress() const; // -1 idle
    // The sample the capture gives for channel code at index i (0..511).
    int16_t sample(int code, int i) const;

  private:
    using Bytes = std::vector<uint8_t>;
    Bytes status(uint8_t st) const { return Bytes{st}; }
    std::optional<Bytes> dispatch(const Request& rq);
    Bytes prmPage16(int mode, const Bytes& d);
    Bytes prmPage32(int mode, const Bytes& d);
    Bytes prmSingle(int cmd, int mode, const Bytes& d); // ModelRSingle.cpp
    Bytes positioning(int mode, const Bytes& d);
    Bytes waveform(int mode, const Bytes& d);
    Bytes monitorReply(int mode);
    Bytes alarmReply(int mode);
    void advanceMonitor();
    bool writeAllowed() const { return !opt_.requireRight || right_; }
    int16_t sampleLocked(int code, int i) const;

    mutable std::mutex mu_;
    Options opt_;
    std::vector<Prm16> prm16_;
    std::vector<Prm32> prm32_;
    std::vector<Step> steps_, stepsEep_;
    std::vector<Prm16> pop16_;
    std::vector<Prm32> pop32_;
    Monitor mon_;
    PopMonitor popMon_;
    long tick_ = 0;
    bool panel_ = false;
    bool right_ = false;
    std::optional<size_t> shorten_;
    uint8_t alarm_ = 0;
    std::array<uint8_t, 14> hist_{}, sysHist_{};
    std::array<uint16_t, 15> times_{};
    uint32_t hours_ = 1200;
    std::string modelCode_;
    std::vector<int16_t> calib_;
    int eepWrites_[3] = {0, 0, 0};
    Capture cap_;
    int tuning_ = -1;
    int tuningValue_ = 0;
};

} // namespace ampsim
