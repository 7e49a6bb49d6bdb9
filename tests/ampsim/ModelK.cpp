#include "ModelK.h"

#include <cmath>
#include <numbers>
#include <cstdio>
#include <cstdlib>

namespace ampsim {
namespace {

constexpr int kUserSkipped[] = {15, 31, 45, 46, 47}; // system numbers among the user ones

// "ERR_MON" digit and bit of each alarm code; digit 0's bit 4 says that an alarm is present.
struct AlarmBit {
    int code, digit, bit;
};
constexpr AlarmBit kAlarmBits[] = {
    {13, 0, 2}, {24, 1, 8}, {29, 1, 4}, {26, 1, 2}, {16, 1, 1}, {15, 2, 8}, {12, 2, 4},
    {14, 2, 1}, {22, 3, 8}, {38, 3, 4}, {27, 3, 2}, {43, 4, 2}, {42, 4, 1}, {41, 5, 8},
    {40, 5, 4}, {46, 5, 2}, {36, 6, 1}, {84, 7, 8}, {98, 7, 4}, {25, 7, 2}, {30, 7, 1},
};

// "IO_MON" digit and bit of each word bit: inputs in digits 0-2, outputs in digits 4-7.
struct IoBit {
    bool out;
    uint32_t mask;
    int digit, bit;
};
constexpr IoBit kIoBits[] = {
    {false, 0x1, 0, 8},   {false, 0x2, 0, 4},    {false, 0x4, 0, 2},   {false, 0x8, 0, 1},
    {false, 0x10, 1, 8},  {false, 0x20, 1, 4},   {false, 0x40, 1, 2},  {false, 0x80, 1, 1},
    {false, 0x100, 2, 8}, {false, 0x200, 2, 4},  {false, 0x400, 2, 2}, {true, 0x1, 4, 8},
    {true, 0x2, 4, 4},    {true, 0x4, 4, 2},     {true, 0x8, 4, 1},    {true, 0x10, 5, 8},
    {true, 0x20, 5, 4},   {true, 0x40, 5, 2},    {true, 0x80, 5, 1},   {true, 0x100, 6, 8},
    {true, 0x200, 6, 4},  {true, 0x80000, 7, 1},
};

const char* kHex = "0123456789ABCDEF";

std::string hex(unsigned v, int digits) {
    std::string s(static_cast<size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i, v >>= 4)
        s[static_cast<size_t>(i)] = kHex[v & 15];
    return s;
}

// Two hexadecimal digits (upper case only, as the amplifier writes them), or -1.
int pair(const std::string& s, size_t at) {
    auto d = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -100;
    };
    const int v = d(s[at]) * 16 + d(s[at + 1]);
    return v < 0 ? -1 : v;
}

std::vector<uint8_t> bytesOf(const std::string& s) {
    return {s.begin(), s.end()};
}

} // namespace

ModelK::ModelK(Options options) : opt_(std::move(options)) {
    for (int n = 0; n < kPrmCount; ++n)
        prm_[static_cast<size_t>(n)] = static_cast<int16_t>(n * 10);
}

void ModelK::attach(Simulator& sim) {
    sim.setHandler(handler());
    sim.setLineHandler(lineHandler());
}

Handler ModelK::handler() {
    return [this](const Request& rq) -> std::optional<std::vector<uint8_t>> {
        std::lock_guard lk(mu_);
        if (rq.cmd == 0 && rq.mode == 0) return std::vector<uint8_t>{kFramedOk};
        if (rq.cmd == 0 && rq.mode == 5) {
            std::vector<uint8_t> b = bytesOf(opt_.modelName);
            b.push_back(kFramedOk);
            return b;
        }
        if (rq.cmd == 11 && rq.mode == 0)
            return std::vector<uint8_t>{static_cast<uint8_t>(rq.address), 0, kFramedOk};
        return std::vector<uint8_t>{kFramedRefused};
    };
}

LineHandler ModelK::lineHandler() {
    return [this](uint8_t b) { return onByte(b); };
}

std::string ModelK::record(int address, const std::array<int16_t, 8>& values) {
    std::vector<int> bytes{0x10, (address >> 8) & 0xFF, address & 0xFF, 0};
    for (int16_t v : values) {
        const auto u = static_cast<uint16_t>(v);
        bytes.push_back(u & 0xFF);
        bytes.push_back(u >> 8);
    }
    int sum = 0;
    std::string s = ":";
    for (int b : bytes) {
        sum += b;
        s += hex(static_cast<unsigned>(b), 2);
    }
    return s + hex(static_cast<unsigned>((256 - (sum & 0xFF)) & 0xFF), 2);
}

std::vector<LineOut> ModelK::onByte(uint8_t b) {
    std::lock_guard lk(mu_);
    if (b == '\n') return {};
    if (b == '\r') return lineEnded();
    std::vector<LineOut> out;
    if (mode_ == Mode::Command) {
        uint8_t echo = b;
        if (badEcho_ && *badEcho_ == echoIndex_) {
            echo = static_cast<uint8_t>(b ^ 0x20);
            badEcho_.reset();
        }
        ++echoIndex_;
        out.push_back({milliseconds(0), {echo}});
    }
    line_ += static_cast<char>(b);
    return out;
}

std::vector<LineOut> ModelK::lineEnded() {
    std::string line;
    line.swap(line_);
    echoIndex_ = 0;
    lines_.push_back(line);
    switch (mode_) {
    case Mode::Command:
        return command(line);
    case Mode::Records:
        return recordLine(line);
    case Mode::Capture:
        return captureLine(line);
    }
    return {};
}

std::vector<LineOut> ModelK::reply(std::string text) {
    if (silent_) {
        silent_ = false;
        return {};
    }
    if (replacement_) {
        text = *replacement_;
        replacement_.reset();
    } else if (error_) {
        text = "ERROR\r\n%";
    }
    error_ = false;
    return {{milliseconds(0), bytesOf(text)}};
}

std::vector<LineOut> ModelK::command(const std::string& word) {
    if (word == "ERR_MON") return reply(alarmDigits() + "\r\n%");
    if (word == "IO_MON") return reply(ioDigits() + "\r\n%");
    if (word == "HIST") {
        std::string s = "HST ";
        for (uint8_t c : hist_)
            s += hex(c, 2) + "  ";
        return reply(s + "\r\n%");
    }
    if (word == "MON") {
        if (moving_) ++counter_;
        return reply(hex(static_cast<uint16_t>(speed_), 4) + "  " +
                     hex(static_cast<uint16_t>(torque_ * 5), 4) + "  " +
                     hex(static_cast<uint16_t>(counter_), 4) + "\r\n%");
    }
    if (word == "UP_LOAD") {
        std::string s;
        for (int b = 0; b < 8; ++b) {
            std::array<int16_t, 8> v{};
            for (int k = 0; k < 8; ++k)
                v[static_cast<size_t>(k)] = prm_[static_cast<size_t>(8 * b + k)];
            s += record(16 * b, v) + "\r\n";
        }
        return reply(s + "%");
    }
    if (word == "DOWNLOAD" || word == "DOWN_LOAD") {
        // Faults wait for the answer after the end record.
        mode_ = Mode::Records;
        systemDownload_ = word == "DOWN_LOAD";
        incoming_.fill(std::nullopt);
        downloadBad_ = false;
        return {};
    }
    if (word.rfind("AUTO 1,", 0) == 0) {
        char* end = nullptr;
        const long v = std::strtol(word.c_str() + 7, &end, 16);
        if (word.size() == 7 || *end || v < 0 || v > 255) return reply("ERROR\r\n%");
        tuning_ = static_cast<int>(v);
        return reply("AUTO START\r\n%");
    }
    if (word == "DISP") {
        if (error_ || replacement_ || silent_) return reply("");
        mode_ = Mode::Capture;
        cap_ = Capture{};
        return {{milliseconds(0), {kAck}}};
    }
    if (word == "GRPDAT") {
        // The points of the last capture, four 7-bit bytes each, closed by the ready character.
        if (!cap_.armed) return reply("ERROR\r\n%");
        std::vector<uint8_t> pts;
        for (int i = 0; i < 500; ++i)
            for (int sig = 0; sig < 2; ++sig) {
                const int v = waveSample(sig, i, cap_.position) & 0x3FFF;
                pts.push_back(static_cast<uint8_t>(v >> 7));
                pts.push_back(static_cast<uint8_t>(v & 0x7F));
            }
        pts.push_back(kReady);
        return {{milliseconds(0), pts}};
    }
    if (word == "s") {
        cap_.stopped = true;
        return reply("\r\n%");
    }
    if (word == "e") return reply("\r\n%");
    return reply("ERROR\r\n%");
}

std::vector<LineOut> ModelK::recordLine(const std::string& line) {
    if (line == ":00000001FF") {
        mode_ = Mode::Command;
        bool complete = true;
        for (int n = 0; n < kPrmCount; ++n)
            complete = complete && incoming_[static_cast<size_t>(n)].has_value();
        if (downloadBad_ || !complete || error_) return reply("ERROR\r\n%");
        for (int n = 0; n < kPrmCount; ++n) {
            bool keep = !systemDownload_ && n >= 48;
            for (int s : kUserSkipped)
                keep = keep || (!systemDownload_ && n == s);
            if (!keep) prm_[static_cast<size_t>(n)] = *incoming_[static_cast<size_t>(n)];
        }
        ++downloads_;
        return reply("\r\n%");
    }
    int sum = 0;
    bool ok = line.size() == 43 && line[0] == ':';
    std::vector<int> bytes;
    for (size_t i = 1; ok && i < 43; i += 2) {
        const int v = pair(line, i);
        ok = v >= 0;
        bytes.push_back(v);
        sum += v;
    }
    ok = ok && bytes[0] == 0x10 && bytes[1] == 0 && bytes[3] == 0 && (sum & 0xFF) == 0 &&
         bytes[2] % 16 == 0 && bytes[2] < 128;
    if (!ok) {
        downloadBad_ = true;
        return {};
    }
    const int first = bytes[2] / 2;
    for (int k = 0; k < 8; ++k)
        incoming_[static_cast<size_t>(first + k)] = static_cast<int16_t>(
            bytes[static_cast<size_t>(4 + 2 * k)] | (bytes[static_cast<size_t>(5 + 2 * k)] << 8));
    return {};
}

std::vector<LineOut> ModelK::captureLine(const std::string& line) {
    auto number = [&line](size_t from) { return line.size() > from ? std::atoi(line.c_str() + from) : -1; };
    if (line == "t") {
        mode_ = Mode::Command;
        cap_.armed = true;
        return {{milliseconds(0), {kArmed}}, {opt_.captureTime, {kReady}}};
    }
    if (line.rfind("p h", 0) == 0) cap_.option = number(3);
    if (line.rfind("p x", 0) == 0) cap_.sampling = number(3);
    if (line.rfind("p t", 0) == 0) cap_.position = number(3);
    if (line.rfind("p l", 0) == 0) cap_.level = number(3);
    if (line.rfind("p s", 0) == 0) {
        // The first "p s" gives the slope, the second arms the trigger (0 free run).
        if (cap_.slope < 0)
            cap_.slope = number(3);
        else
            cap_.trigger = number(3);
    }
    return {};
}

std::string ModelK::alarmDigits() const {
    int d[8] = {};
    for (const AlarmBit& a : kAlarmBits)
        if (a.code == alarm_) {
            d[0] |= 4;
            d[a.digit] |= a.bit;
        }
    std::string s;
    for (int v : d)
        s += kHex[v];
    return s;
}

std::string ModelK::ioDigits() const {
    int d[8] = {};
    for (const IoBit& b : kIoBits)
        if (((b.out ? out_ : in_) & b.mask) != 0) d[b.digit] |= b.bit;
    std::string s;
    for (int v : d)
        s += kHex[v];
    return s;
}

int16_t ModelK::prm(int n) const {
    std::lock_guard lk(mu_);
    return prm_.at(static_cast<size_t>(n));
}

void ModelK::setPrm(int n, int16_t v) {
    std::lock_guard lk(mu_);
    prm_.at(static_cast<size_t>(n)) = v;
}

void ModelK::raiseAlarm(int code) {
    std::lock_guard lk(mu_);
    alarm_ = code;
    for (size_t i = hist_.size() - 1; i > 0; --i)
        hist_[i] = hist_[i - 1];
    hist_[0] = static_cast<uint8_t>(code);
}

void ModelK::clearAlarm() {
    std::lock_guard lk(mu_);
    alarm_ = 0;
}

void ModelK::setHistory(const std::array<uint8_t, 8>& codes) {
    std::lock_guard lk(mu_);
    hist_ = codes;
}

void ModelK::setIo(uint32_t in, uint32_t out) {
    std::lock_guard lk(mu_);
    in_ = in;
    out_ = out;
}

void ModelK::setMonitor(int16_t speed, int16_t torque, int16_t counter, bool moving) {
    std::lock_guard lk(mu_);
    speed_ = speed;
    torque_ = torque;
    counter_ = counter;
    moving_ = moving;
}

std::vector<std::string> ModelK::lines() const {
    std::lock_guard lk(mu_);
    return lines_;
}

ModelK::Capture ModelK::capture() const {
    std::lock_guard lk(mu_);
    return cap_;
}

int ModelK::tuningValue() const {
    std::lock_guard lk(mu_);
    return tuning_;
}

int ModelK::downloads() const {
    std::lock_guard lk(mu_);
    return downloads_;
}

void ModelK::answerError() {
    std::lock_guard lk(mu_);
    error_ = true;
}

void ModelK::replaceReply(std::string text) {
    std::lock_guard lk(mu_);
    replacement_ = std::move(text);
}

void ModelK::breakEcho(size_t index) {
    std::lock_guard lk(mu_);
    badEcho_ = index;
}

void ModelK::silence() {
    std::lock_guard lk(mu_);
    silent_ = true;
}

} // namespace ampsim

namespace ampsim {

int16_t ModelK::waveSample(int signal, int i, int position) {
    const int pos = position < 0 ? 0 : position;
    if (signal == 0) return static_cast<int16_t>(std::lround(2000 * std::sin(2 * std::numbers::pi * (i - pos) / 100.0)));
    return static_cast<int16_t>(i < pos ? -500 : 500);
}

} // namespace ampsim
