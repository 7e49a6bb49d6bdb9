// The family M amplifier model. Parameter and monitor values travel low byte first in two's complement,
// the two I/O words high byte first.
#include "ModelM.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace ampsim {

using namespace wire;

ModelM::ModelM(Options options) : opt_(std::move(options)) {
    if (opt_.user16 < 0 || opt_.user16 > kMaxBlock || opt_.sys16 < 0 || opt_.sys16 > kMaxBlock ||
        opt_.user32 < 0 || opt_.user32 > 256 || opt_.sys32 < 0 || opt_.sys32 > 256)
        throw std::invalid_argument("ampsim: family M table sizes out of range");
    opt_.modelName = fit12(opt_.modelName);
    opt_.motorName = fit12(opt_.motorName);

    user16_.resize(static_cast<size_t>(opt_.user16));
    for (int n = 0; n < opt_.user16; ++n) {
        Prm16& p = user16_[static_cast<size_t>(n)];
        p.min = static_cast<int16_t>(-1000 - n);
        p.max = static_cast<int16_t>(1000 + 100 * n);
        p.ram = p.eep = static_cast<int16_t>(std::clamp(n * 53 - 700, -1000 - n, 1000 + 100 * n));
        p.attr = static_cast<int16_t>(n % 16 == 15 ? 0x80 : 0);
    }
    sys16_.resize(static_cast<size_t>(opt_.sys16));
    for (int n = 0; n < opt_.sys16; ++n) {
        Prm16& p = sys16_[static_cast<size_t>(n)];
        p.min = -32768;
        p.max = 32767;
        p.ram = p.eep = static_cast<int16_t>(n % 2 ? -300 * n - 1 : 300 * n + 7); // high bytes set too
        p.attr = 0x08;
    }
    user32_.resize(static_cast<size_t>(opt_.user32));
    for (int n = 0; n < opt_.user32; ++n)
        user32_[static_cast<size_t>(n)] = Prm32{(n - 3) * 1234567, (n - 3) * 1234567, -50000000, 50000000, 0};
    sys32_.resize(static_cast<size_t>(opt_.sys32));
    for (int n = 0; n < opt_.sys32; ++n)
        sys32_[static_cast<size_t>(n)] = Prm32{-7654321 * (n + 1), -7654321 * (n + 1), INT32_MIN, INT32_MAX, 0x08};

    mon_ = Monitor{true, 1500, -200, 123456, 0x1234, 0xABCD};
    for (size_t k = 0; k < 3; ++k) {
        hist_[k] = static_cast<uint8_t>(0x21 + k);
        histHours_[k] = static_cast<uint8_t>(90 - 10 * k);
    }
}

Handler ModelM::handler() {
    return [this](const Request& rq) { return answer(rq); };
}

std::optional<std::vector<uint8_t>> ModelM::answer(const Request& rq) {
    std::lock_guard lk(mu_);
    tickTuning();
    std::optional<Bytes> out = dispatch(rq);
    if (out && shorten_ && (shorten_->cmd < 0 || (shorten_->cmd == rq.cmd && shorten_->mode == rq.mode))) {
        shorten(*out, shorten_->bytes);
        shorten_.reset();
    }
    return out;
}

void ModelM::tickTuning() {
    if (tuningLeft_ <= 0 || --tuningLeft_ > 0) return;
    tuningLeft_ = -1;
    for (size_t k = 0; k < kTunedPrm.size(); ++k) {
        const auto n = static_cast<size_t>(kTunedPrm[k]);
        if (n >= user16_.size()) continue;
        Prm16& p = user16_[n];
        p.ram = std::clamp(tunedValue(static_cast<int>(k), tuningValue_), p.min, p.max);
    }
}

int16_t ModelM::tunedValue(int k, int v) {
    return static_cast<int16_t>((v + 1) * (k + 2));
}

std::optional<Bytes> ModelM::dispatch(const Request& rq) {
    const Bytes& d = rq.data;
    switch (rq.cmd) {
    case 0:
        if (!d.empty()) return status(kStRefused);
        if (rq.mode == 0) return status(kStOk);
        if (rq.mode >= 1 && rq.mode <= 3) {
            const auto& v = opt_.cpuVer[static_cast<size_t>(rq.mode - 1)];
            return Bytes{v[0], v[1], kStOk};
        }
        if (rq.mode == 5 || rq.mode == 6) {
            const std::string& s = rq.mode == 5 ? opt_.modelName : opt_.motorName;
            Bytes b(s.begin(), s.end());
            b.push_back(kStOk);
            return b;
        }
        return status(kStRefused);
    case 1:
        if (rq.mode != 7 || d.size() != 1 || d[0] > 1) return status(kStRefused);
        if (d[0] == 1) {
            if (panel_) return status(kStPanel);
            right_ = true;
        } else {
            right_ = false;
        }
        return status(kStOk);
    case 2:
        if (!d.empty()) return status(kStRefused);
        return monitorReply(rq.mode);
    case 8:
        if (rq.mode == 12 || rq.mode == 14) return params32(8, rq.mode, d);
        return params(rq.mode, d);
    case 9:
        if (!d.empty()) return status(kStRefused);
        if (rq.mode == 0) return Bytes{alarm_, kStOk};
        if (rq.mode == 2) {
            Bytes b;
            for (size_t k = 0; k < hist_.size(); ++k) {
                b.push_back(histHours_[k]);
                b.push_back(hist_[k]);
            }
            b.push_back(kStOk);
            return b;
        }
        if (rq.mode == 4) { // clear the current alarm
            alarm_ = 0;
            return status(kStOk);
        }
        if (rq.mode == 3) { // clear the history
            hist_.fill(0);
            histHours_.fill(0);
            return status(kStOk);
        }
        return status(kStRefused);
    case 10:
        return waveform(rq.mode, d);
    case 11:
        if (rq.mode == 0) {
            if (d.size() != 1) return status(kStRefused);
            return Bytes{static_cast<uint8_t>(rq.address), 0, kStOk};
        }
        return params32(11, rq.mode, d);
    default:
        return status(kStRefused);
    }
}

ModelM::Bytes ModelM::params(int mode, const Bytes& d) {
    const bool sys = mode >= 5 && mode <= 9;
    std::vector<Prm16>& t = table16(sys);
    switch (mode) {
    case 0:
    case 5: { // single read [n]
        if (d.size() != 1 || d[0] >= t.size()) return status(kStRefused);
        Bytes b;
        put16(b, t[d[0]].ram);
        b.push_back(kStOk);
        return b;
    }
    case 1:
    case 6: { // single write [n][lo][hi]
        if (d.size() != 3 || d[0] >= t.size() || !writeAllowed()) return status(kStRefused);
        Prm16& p = t[d[0]];
        const int16_t v = get16(d, 1);
        if (readOnly(p.attr) || v < p.min || v > p.max) return status(kStRefused);
        p.ram = v;
        return status(kStOk);
    }
    case 2:
    case 7: { // block read: every value of the table
        if (!d.empty()) return status(kStRefused);
        Bytes b;
        for (const Prm16& p : t)
            put16(b, p.ram);
        b.push_back(kStOk);
        return b;
    }
    case 3:
    case 8: { // block write from the first parameter; read-only ones keep their value
        if (d.size() % 2 != 0 || d.size() > 2 * t.size()) return status(kStRefused);
        const size_t n = d.size() / 2;
        for (size_t i = 0; i < n; ++i) {
            const int16_t v = get16(d, 2 * i);
            if (!readOnly(t[i].attr) && (v < t[i].min || v > t[i].max)) return status(kStRefused);
        }
        for (size_t i = 0; i < n; ++i)
            if (!readOnly(t[i].attr)) t[i].ram = get16(d, 2 * i);
        return status(kStOk);
    }
    case 4:
    case 9: // EEPROM write
        if (!d.empty() || !writeAllowed()) return status(kStRefused);
        for (Prm16& p : t)
            p.eep = p.ram;
        for (Prm32& p : table32(sys))
            p.eep = p.ram;
        ++eepWrites_[sys ? 1 : 0];
        return status(kStOk);
    default:
        return status(kStRefused);
    }
}

ModelM::Bytes ModelM::params32(int cmd, int mode, const Bytes& d) {
    if (cmd == 11 && (mode == 6 || mode == 9)) { // read [n]
        std::vector<Prm32>& t = table32(mode == 9);
        if (d.size() != 1 || d[0] >= t.size()) return status(kStRefused);
        Bytes b;
        put32(b, t[d[0]].ram);
        b.push_back(kStOk);
        return b;
    }
    if (cmd == 8 && (mode == 12 || mode == 14)) { // write [n][b0..b3]
        std::vector<Prm32>& t = table32(mode == 14);
        if (d.size() != 5 || d[0] >= t.size() || !writeAllowed()) return status(kStRefused);
        Prm32& p = t[d[0]];
        const int32_t v = get32(d, 1);
        if (readOnly(p.attr) || v < p.min || v > p.max) return status(kStRefused);
        p.ram = v;
        return status(kStOk);
    }
    return status(kStRefused);
}

ModelM::Bytes ModelM::monitorReply(int mode) {
    Bytes b;
    switch (mode) {
    case 7:
        b = {static_cast<uint8_t>(mon_.in >> 8), static_cast<uint8_t>(mon_.in & 0xFF), kStOk};
        break;
    case 8:
        b = {static_cast<uint8_t>(mon_.out >> 8), static_cast<uint8_t>(mon_.out & 0xFF), kStOk};
        break;
    case 9:
        put16(b, mon_.speed);
        put16(b, mon_.torque);
        put32(b, mon_.counter);
        b.push_back(kStOk);
        break;
    default:
        return status(kStRefused);
    }
    if (mon_.moving) {
        mon_.speed = static_cast<int16_t>(mon_.speed + 37);
        mon_.torque = static_cast<int16_t>(-mon_.torque + (mon_.torque > 0 ? 11 : -11));
        mon_.counter += 1001;
        mon_.in = static_cast<uint16_t>((mon_.in << 1) | (mon_.in >> 15));
        mon_.out = static_cast<uint16_t>(mon_.out ^ 0x0101);
    }
    return b;
}

std::optional<ModelM::Bytes> ModelM::waveform(int mode, const Bytes& d) {
    switch (mode) {
    case 0: // tuning start: never answered
        if (d.size() == 1 && writeAllowed()) {
            tuningValue_ = d[0];
            tuningLeft_ = std::max(1, opt_.tuningRequests);
        }
        return std::nullopt;
    case 2:
        if (d.size() != 4) return status(kStRefused);
        cap_ = Capture{d[0], get16(d, 1), d[3], true, opt_.captureBusyPolls, false};
        return status(kStOk);
    case 3: {
        if (d.size() != 1) return status(kStRefused);
        if (d[0] == 0) { // ready poll
            if (!cap_.armed) return status(kStRefused);
            if (!cap_.ready && cap_.pollsLeft > 0) {
                --cap_.pollsLeft;
                return status(kStRunning);
            }
            cap_.ready = true;
            Bytes b; // extended: the commanded speed and the status
            for (int i = 0; i < kSamples; ++i)
                put16(b, sampleLocked(0, i));
            b.push_back(kStOk);
            return b;
        }
        const int option = (cap_.cond0 >> 1) & 3;
        static constexpr int codes[3] = {10, 9, 12};
        if (!cap_.ready || option > 2 || d[0] != codes[option]) return status(kStRefused);
        // Extended: per point the actual speed, then the signal of the option (torque five times over),
        // then the status.
        const int second = optionChannel(d[0]);
        Bytes b;
        for (int i = 0; i < kSamples; ++i) {
            put16(b, sampleLocked(1, i));
            const int v = sampleLocked(second, i) * (second == 2 ? 5 : 1);
            put16(b, static_cast<int16_t>(std::clamp(v, -32768, 32767)));
        }
        b.push_back(kStOk);
        return b;
    }
    default:
        return status(kStRefused);
    }
}

int ModelM::optionChannel(int code) {
    switch (code) {
    case 10:
        return 0;
    case 9:
        return 2;
    case 12:
        return 3;
    default:
        return -1;
    }
}

int16_t ModelM::sampleLocked(int ch, int i) const {
    const double a = 2 * std::numbers::pi * i * (cap_.sampling + 1) / 250.0;
    switch (ch) {
    case 0:
        return static_cast<int16_t>(std::lround(1000 * std::sin(a)));
    case 1:
        return static_cast<int16_t>(std::lround(950 * std::sin(a - 0.3)));
    case 2:
        return static_cast<int16_t>(std::lround(-400 * std::cos(a)));
    case 3:
        return static_cast<int16_t>(i % 50 - 25);
    case 4:
        return static_cast<int16_t>(-3 * (i % 40));
    case 5:
        return static_cast<int16_t>(i % 100 < 50 ? 1 : 0);
    default:
        return 0;
    }
}

int16_t ModelM::sample(int ch, int i) const {
    std::lock_guard lk(mu_);
    return sampleLocked(ch, i);
}

void ModelM::powerCycle() {
    std::lock_guard lk(mu_);
    reloadRam(user16_);
    reloadRam(sys16_);
    reloadRam(user32_);
    reloadRam(sys32_);
    right_ = false;
    cap_ = Capture{};
    tuningLeft_ = -1;
}

ModelM::Options ModelM::options() const {
    std::lock_guard lk(mu_);
    return opt_;
}

void ModelM::setFrontPanel(bool inUse) {
    std::lock_guard lk(mu_);
    panel_ = inUse;
}

bool ModelM::rightHeld() const {
    std::lock_guard lk(mu_);
    return right_;
}

void ModelM::shortenNextReply(size_t dataBytes, int cmd, int mode) {
    std::lock_guard lk(mu_);
    shorten_ = Shorten{dataBytes, cmd, mode};
}

ModelM::Prm16 ModelM::prm16(bool sys, int n) const {
    std::lock_guard lk(mu_);
    return (sys ? sys16_ : user16_).at(static_cast<size_t>(n));
}

void ModelM::setPrm16(bool sys, int n, Prm16 p) {
    std::lock_guard lk(mu_);
    table16(sys).at(static_cast<size_t>(n)) = p;
}

ModelM::Prm32 ModelM::prm32(bool sys, int n) const {
    std::lock_guard lk(mu_);
    return (sys ? sys32_ : user32_).at(static_cast<size_t>(n));
}

void ModelM::setPrm32(bool sys, int n, Prm32 p) {
    std::lock_guard lk(mu_);
    table32(sys).at(static_cast<size_t>(n)) = p;
}

int ModelM::eepromWrites(bool sys) const {
    std::lock_guard lk(mu_);
    return eepWrites_[sys ? 1 : 0];
}

ModelM::Monitor ModelM::monitor() const {
    std::lock_guard lk(mu_);
    return mon_;
}

void ModelM::setMonitor(Monitor m) {
    std::lock_guard lk(mu_);
    mon_ = m;
}

void ModelM::raiseAlarm(uint8_t code) {
    std::lock_guard lk(mu_);
    alarm_ = code;
    std::copy_backward(hist_.begin(), hist_.end() - 1, hist_.end());
    std::copy_backward(histHours_.begin(), histHours_.end() - 1, histHours_.end());
    hist_[0] = code;
    histHours_[0] = static_cast<uint8_t>(hours_ & 0xFF);
}

uint8_t ModelM::alarm() const {
    std::lock_guard lk(mu_);
    return alarm_;
}

std::array<uint8_t, ModelM::kHistory> ModelM::alarmHistory() const {
    std::lock_guard lk(mu_);
    return hist_;
}

void ModelM::setHours(uint32_t h) {
    std::lock_guard lk(mu_);
    hours_ = h;
}

ModelM::Capture ModelM::capture() const {
    std::lock_guard lk(mu_);
    return cap_;
}

bool ModelM::tuning() const {
    std::lock_guard lk(mu_);
    return tuningLeft_ > 0;
}

int ModelM::tuningValue() const {
    std::lock_guard lk(mu_);
    return tuningValue_;
}

} // namespace ampsim
