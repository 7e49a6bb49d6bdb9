// A family K amplifier (series codes 10 to 12) for the simulated line: an ASCII line protocol where every
// character of a command word is echoed, replies end with "%", and parameters travel as Intel-HEX records
// of eight values. It also answers the few framed requests every series gets (ping 0/0, model name 0/5,
// axis 11/0). Plug it in with `model.attach(sim)`.
//
// The layouts are written from the protocol's tables on their own, apart from the program's decoders and
// its record codec, so that a wrong position on either side fails a test instead of agreeing with itself.
//
// Shared between the line thread and the test thread: every member takes the model's lock.
#pragma once

#include "ampsim.h"

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace ampsim {

class ModelK {
  public:
    static constexpr int kPrmCount = 64;
    static constexpr uint8_t kAck = 0x06;
    static constexpr uint8_t kArmed = '*'; // answer to the capture's last set-up line
    static constexpr uint8_t kReady = 130; // capture finished
    static constexpr uint8_t kFramedOk = 0x00;
    static constexpr uint8_t kFramedRefused = 0x88;

    struct Options {
        std::string modelName = "TESKK11A3***"; // 12 characters
        milliseconds captureTime{150};          // from the trigger line to the ready character
    };

    // The capture set-up as the amplifier understood it; -1 for lines that did not come.
    struct Capture {
        int option = -1, sampling = -1, slope = -1, position = -1, level = -1, trigger = -1;
        bool armed = false;
        bool stopped = false;
    };

    explicit ModelK(Options options);
    ModelK() : ModelK(Options{}) {}
    ModelK(const ModelK&) = delete;
    ModelK& operator=(const ModelK&) = delete;

    // Installs both handlers; the model must outlive the simulator's use of it.
    void attach(Simulator& sim);
    Handler handler();
    LineHandler lineHandler();
    std::vector<LineOut> onByte(uint8_t b);

    // ---- what tests look at and set --------------------------------------------------------------
    // The record text the amplifier sends for eight values at address (its own encoder).
    static std::string record(int address, const std::array<int16_t, 8>& values);

    int16_t prm(int n) const;
    void setPrm(int n, int16_t v);
    // Raises an alarm: its bits show in the "ERR_MON" digits and it becomes the newest history entry.
    void raiseAlarm(int code);
    void clearAlarm();
    void setHistory(const std::array<uint8_t, 8>& codes); // newest first
    void setIo(uint32_t in, uint32_t out);
    // Monitor: speed, torque (as the amplifier measures it: the wire carries it times 5), counter. The
    // counter moves on with every "MON" while moving is set.
    void setMonitor(int16_t speed, int16_t torque, int16_t counter, bool moving = false);

    // A capture's points: signal 0 (actual speed) a sine of 2000 and period 100 samples rising through 0
    // at the trigger position, signal 1 (the second signal) a step from -500 to 500 there.
    static int16_t waveSample(int signal, int i, int position);

    // Lines the PC sent (command words, records, capture lines), in order.
    std::vector<std::string> lines() const;
    Capture capture() const;
    int tuningValue() const; // -1 before any "AUTO"
    int downloads() const;   // accepted parameter downloads

    // Faults, each used up by the next command word.
    void answerError();                  // the next command answers "ERROR"
    void replaceReply(std::string text); // the next command answers text exactly
    void breakEcho(size_t index);        // the echo of that character of the next command is wrong
    void silence();                      // the next command gets no reply at all

  private:
    enum class Mode { Command, Records, Capture };
    std::vector<LineOut> lineEnded();
    std::vector<LineOut> command(const std::string& word);
    std::vector<LineOut> recordLine(const std::string& line);
    std::vector<LineOut> captureLine(const std::string& line);
    std::vector<LineOut> reply(std::string text);
    std::string alarmDigits() const;
    std::string ioDigits() const;

    mutable std::mutex mu_;
    Options opt_;
    Mode mode_ = Mode::Command;
    std::string line_;
    size_t echoIndex_ = 0;
    std::vector<std::string> lines_;
    std::array<int16_t, kPrmCount> prm_{};
    // A download in progress: the kind (false user, true system) and the values of its records so far.
    bool systemDownload_ = false;
    std::array<std::optional<int16_t>, kPrmCount> incoming_{};
    bool downloadBad_ = false;
    int downloads_ = 0;
    int alarm_ = 0;
    std::array<uint8_t, 8> hist_{};
    uint32_t in_ = 0, out_ = 0;
    int16_t speed_ = 0, torque_ = 0, counter_ = 0;
    bool moving_ = false;
    Capture cap_;
    int tuning_ = -1;
    bool error_ = false, silent_ = false;
    std::optional<std::string> replacement_;
    std::optional<size_t> badEcho_;
};

} // namespace ampsim
