// The family R amplifier model. Layouts follow the request tables; every multi-byte value travels low
// byte first in two's complement.
#include "ModelR.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <thread>

namespace ampsim {

using namespace wire;

namespace {

// Step image: position, then velocity | deceleration << 4 | acceleration << 6, then mode | block << 7.
void putStep(Bytes& b, const ModelR::Step& s) {
    put64(b, s.pos);
    b.push_back(static_cast<uint8_t>((s.vel & 15) | ((s.dec & 3) << 4) | ((s.acc & 3) << 6)));
    b.push_back(static_cast<uint8_t>((s.mode & 127) | ((s.block & 1) << 7)));
}
ModelR::Step getStep(const Bytes& b, size_t at) {
    ModelR::Step s;
    s.pos = get64(b, at);
    s.vel = b[at + 8] & 15;
    s.dec = (b[at + 8] >> 4) & 3;
    s.acc = b[at + 8] >> 6;
    s.mode = b[at + 9] & 127;
    s.block = b[at + 9] >> 7;
    return s;
}

} // namespace

ModelR::ModelR(Options options) : opt_(std::move(options)) {
    if (opt_.prm32User < 0 || opt_.prm32Sys < 0 || opt_.prm32User + opt_.prm32Sys > 256 ||
        opt_.popSteps < 0 || opt_.popSteps > 1025 || opt_.pop16 < 0 || opt_.pop16 > 513 || opt_.pop32 < 0 ||
        opt_.pop32 > 513)
        throw std::invalid_argument("ampsim: family R table sizes out of range");
    opt_.modelName = fit12(opt_.modelName);
    opt_.motorName = fit12(opt_.motorName);

    prm16_.resize(kPrm16Count);
    for (int n = 0; n < kPrm16Count; ++n) {
        Prm16& p = prm16_[static_cast<size_t>(n)];
        p.min = static_cast<int16_t>(-1000 - n);
        p.max = static_cast<int16_t>(1000 + 100 * n);
        p.ram = p.eep = static_cast<int16_t>(std::clamp(n * 97 - 3000, -1000 - n, 1000 + 100 * n));
        p.attr =
            static_cast<int16_t>((n >= 128 ? 0x08 : 0) | (n % 16 == 15 ? 0x80 : 0) | (n % 7 == 3 ? 0x10 : 0));
    }
    prm16_[200].max = -2; // a negative maximum: a pair with its high bit set
    prm16_[200].ram = prm16_[200].eep = -2;

    prm32_.resize(static_cast<size_t>(prm32Count()));
    for (int n = 0; n < prm32Count(); ++n) {
        Prm32& p = prm32_[static_cast<size_t>(n)];
        p.min = -2000000 - 1000 * n;
        p.max = 30000000 + n;
        p.ram = p.eep = (n - 10) * 123457;
        p.attr = (n >= opt_.prm32User ? 0x08 : 0) | (n == 5 ? 0x100 : 0);
    }

    steps_.resize(static_cast<size_t>(opt_.popSteps));
    for (int n = 0; n < opt_.popSteps; ++n)
        steps_[static_cast<size_t>(n)] =
            Step{(n - 5) * int64_t{1000000007}, n % 16, n % 4, (n / 4) % 4, n % 128, n % 2};
    stepsEep_ = steps_;
    pop16_.resize(static_cast<size_t>(opt_.pop16));
    for (int n = 0; n < opt_.pop16; ++n) {
        int16_t v = static_cast<int16_t>(n * 11 - 50);
        pop16_[static_cast<size_t>(n)] = Prm16{v, v, -500, 5000, static_cast<int16_t>(n % 3)};
    }
    pop32_.resize(static_cast<size_t>(opt_.pop32));
    for (int n = 0; n < opt_.pop32; ++n) {
        int32_t v = (n - 3) * 99991;
        pop32_[static_cast<size_t>(n)] = Prm32{v, v, -100000000, 100000000, 0x0100 + n};
    }
    for (size_t i = 0; i < hist_.size(); ++i) {
        hist_[i] = static_cast<uint8_t>(i < 3 ? 0x21 + i : 0);
        sysHist_[i] = static_cast<uint8_t>(i < 2 ? 0x90 + i : 0);
    }
    for (size_t i = 0; i < 3; ++i)
        times_[i] = static_cast<uint16_t>(1000 - 100 * i);
    advanceMonitor();
}

Handler ModelR::handler() {
    return [this](const Request& rq) { return answer(rq); };
}

std::optional<std::vector<uint8_t>> ModelR::answer(const Request& rq) {
    std::chrono::microseconds delay;
    std::optional<Bytes> out;
    {
        std::lock_guard lk(mu_);
        delay = opt_.replyDelay;
        out = dispatch(rq);
        if (out && shorten_) {
            shorten(*out, *shorten_);
            shorten_.reset();
        }
    }
    if (delay.count() > 0) std::this_thread::sleep_for(delay);
    return out;
}

std::optional<Bytes> ModelR::dispatch(const Request& rq) {
    const Bytes& d = rq.data;
    auto need = [&](size_t n) { return d.size() == n; };
    switch (rq.cmd) {
    case 0:
        if (!need(0)) return status(kStRefused);
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
        if (rq.mode == 7) {
            if (!need(1) || d[0] > 1) return status(kStRefused);
            if (d[0] == 1) {
                if (panel_) return status(kStPanel);
                right_ = true;
            } else {
                right_ = false;
            }
            return status(kStOk);
        }
        if (rq.mode == 5) {
            if (!need(12)) return status(kStRefused);
            modelCode_.assign(d.begin(), d.begin() + 10);
            return Bytes{alarm_, kStOk};
        }
        if (rq.mode == 4) {
            if (!need(10)) return status(kStRefused);
            calib_.clear();
            for (size_t i = 0; i < 10; i += 2)
                calib_.push_back(get16(d, i));
            return Bytes{alarm_, kStOk};
        }
        return status(kStRefused);
    case 2:
        if (!need(0)) return status(kStRefused);
        return monitorReply(rq.mode);
    case 8:
        if (rq.mode != 4 && rq.mode != 9) return prmSingle(8, rq.mode, d);
        if (!need(0)) return status(kStRefused);
        if (!writeAllowed()) return status(kStRefused);
        for (int n = 0; n < kPrm16Count; ++n)
            if ((n >= 128) == (rq.mode == 9))
                prm16_[static_cast<size_t>(n)].eep = prm16_[static_cast<size_t>(n)].ram;
        for (int n = 0; n < prm32Count(); ++n)
            if ((n >= opt_.prm32User) == (rq.mode == 9))
                prm32_[static_cast<size_t>(n)].eep = prm32_[static_cast<size_t>(n)].ram;
        ++eepWrites_[rq.mode == 9 ? 1 : 0];
        return status(kStOk);
    case 9:
        if (!need(0)) return status(kStRefused);
        return alarmReply(rq.mode);
    case 10:
        return waveform(rq.mode, d);
    case 11:
        if (rq.mode == 0) {
            if (!need(1)) return status(kStRefused);
            Bytes b;
            put16(b, rq.address);
            b.push_back(kStOk);
            return b;
        }
        if (rq.mode == 6 || rq.mode == 9) return prmSingle(11, rq.mode, d);
        if (rq.mode == 1 || rq.mode == 2 || rq.mode == 4 || rq.mode == 5) return prmPage16(rq.mode, d);
        if (rq.mode == 7 || rq.mode == 8 || rq.mode == 10 || rq.mode == 11) return prmPage32(rq.mode, d);
        return status(kStRefused);
    case 14:
        return positioning(rq.mode, d);
    case 15:
        if (rq.mode != 0 || !need(0)) return status(kStRefused);
        {
            advanceMonitor();
            Bytes b{0x52, 0x31, 0x00, 0x07};
            put16(b, mon_.maker1);
            put16(b, mon_.maker2);
            b.push_back(kStOk);
            return b;
        }
    default:
        return status(kStRefused);
    }
}

// 16-bit pages: sixteen parameters a page, user numbers 16p + k, system numbers 128 + 16p + k.
Bytes ModelR::prmPage16(int mode, const Bytes& d) {
    bool write = mode == 2 || mode == 5;
    if (d.size() != (write ? 33u : 1u) || d[0] > 7) return status(kStRefused);
    int base = (mode == 4 || mode == 5 ? 128 : 0) + 16 * d[0];
    if (!write) {
        Bytes b{d[0]};
        for (int k = 0; k < 16; ++k) {
            const Prm16& p = prm16_[static_cast<size_t>(base + k)];
            put16(b, p.ram);
            put16(b, p.min);
            put16(b, p.max);
            put16(b, p.attr);
        }
        b.push_back(kStOk);
        return b;
    }
    if (!writeAllowed()) return status(kStRefused);
    for (int k = 0; k < 16; ++k) {
        const Prm16& p = prm16_[static_cast<size_t>(base + k)];
        int16_t v = get16(d, 1 + 2 * static_cast<size_t>(k));
        if (!readOnly(p.attr) && (v < p.min || v > p.max)) return status(kStRefused);
    }
    for (int k = 0; k < 16; ++k) {
        Prm16& p = prm16_[static_cast<size_t>(base + k)];
        if (!readOnly(p.attr)) p.ram = get16(d, 1 + 2 * static_cast<size_t>(k));
    }
    return status(kStOk);
}

// 32-bit pages: eight parameters a page, user numbers 8p + k, system numbers user count + 8p + k;
// numbers past the table read as zeros and are not written.
Bytes ModelR::prmPage32(int mode, const Bytes& d) {
    bool write = mode == 8 || mode == 11;
    if (d.size() != (write ? 33u : 1u)) return status(kStRefused);
    int base = (mode == 10 || mode == 11 ? opt_.prm32User : 0) + 8 * d[0];
    if (base >= prm32Count()) return status(kStRefused);
    if (!write) {
        Bytes b{d[0]};
        for (int k = 0; k < 8; ++k) {
            Prm32 p{};
            if (base + k < prm32Count()) p = prm32_[static_cast<size_t>(base + k)];
            put32(b, p.ram);
            put32(b, p.min);
            put32(b, p.max);
            put32(b, p.attr);
        }
        b.push_back(kStOk);
        return b;
    }
    if (!writeAllowed()) return status(kStRefused);
    for (int k = 0; k < 8 && base + k < prm32Count(); ++k) {
        const Prm32& p = prm32_[static_cast<size_t>(base + k)];
        int32_t v = get32(d, 1 + 4 * static_cast<size_t>(k));
        if (!readOnly(p.attr) && (v < p.min || v > p.max)) return status(kStRefused);
    }
    for (int k = 0; k < 8 && base + k < prm32Count(); ++k) {
        Prm32& p = prm32_[static_cast<size_t>(base + k)];
        if (!readOnly(p.attr)) p.ram = get32(d, 1 + 4 * static_cast<size_t>(k));
    }
    return status(kStOk);
}

Bytes ModelR::positioning(int mode, const Bytes& d) {
    static const size_t lengths[] = {2, 13, 1, 89, 1, 3, 1, 17, 1, 5, 1, 33, 0, 0};
    if (mode > 13 || d.size() != lengths[mode]) return status(kStRefused);
    bool write = mode == 1 || mode == 3 || mode == 5 || mode == 7 || mode == 9 || mode == 11 || mode == 12;
    if (write && !writeAllowed()) return status(kStRefused);
    const int steps = opt_.popSteps, n16 = opt_.pop16, n32 = opt_.pop32;
    int n = d.empty() ? 0 : d[0];
    Bytes b;
    switch (mode) {
    case 0: // one step: [n][0]
    case 1: // [n][0][image 0-9][0]
        if (d[1] != 0 || n >= steps) return status(kStRefused);
        if (mode == 0) {
            putStep(b, steps_[static_cast<size_t>(n)]);
            break;
        }
        if (d[12] != 0) return status(kStRefused);
        steps_[static_cast<size_t>(n)] = getStep(d, 2);
        break;
    case 2: // page of eight steps
        if (8 * n >= steps) return status(kStRefused);
        b.push_back(d[0]);
        for (int k = 0; k < 8; ++k) {
            putStep(b, 8 * n + k < steps ? steps_[static_cast<size_t>(8 * n + k)] : Step{});
            b.push_back(0);
        }
        break;
    case 3:
        if (8 * n >= steps) return status(kStRefused);
        for (int k = 0; k < 8 && 8 * n + k < steps; ++k)
            steps_[static_cast<size_t>(8 * n + k)] = getStep(d, 1 + 11 * static_cast<size_t>(k));
        break;
    case 4:
        if (n >= n16) return status(kStRefused);
        put16(b, pop16_[static_cast<size_t>(n)].ram);
        break;
    case 5: {
        if (n >= n16) return status(kStRefused);
        Prm16& p = pop16_[static_cast<size_t>(n)];
        int16_t v = get16(d, 1);
        if (v < p.min || v > p.max) return status(kStRefused);
        p.ram = v;
        break;
    }
    case 6:
        if (8 * n >= n16) return status(kStRefused);
        b.push_back(d[0]);
        for (int k = 0; k < 8; ++k) {
            Prm16 p = 8 * n + k < n16 ? pop16_[static_cast<size_t>(8 * n + k)] : Prm16{};
            put16(b, p.ram);
            put16(b, p.min);
            put16(b, p.max);
            put16(b, p.attr);
        }
        break;
    case 7:
        if (8 * n >= n16) return status(kStRefused);
        for (int k = 0; k < 8 && 8 * n + k < n16; ++k) {
            const Prm16& p = pop16_[static_cast<size_t>(8 * n + k)];
            int16_t v = get16(d, 1 + 2 * static_cast<size_t>(k));
            if (v < p.min || v > p.max) return status(kStRefused);
        }
        for (int k = 0; k < 8 && 8 * n + k < n16; ++k)
            pop16_[static_cast<size_t>(8 * n + k)].ram = get16(d, 1 + 2 * static_cast<size_t>(k));
        break;
    case 8:
        if (n >= n32) return status(kStRefused);
        put32(b, pop32_[static_cast<size_t>(n)].ram);
        break;
    case 9: {
        if (n >= n32) return status(kStRefused);
        Prm32& p = pop32_[static_cast<size_t>(n)];
        int32_t v = get32(d, 1);
        if (v < p.min || v > p.max) return status(kStRefused);
        p.ram = v;
        break;
    }
    case 10: // value, minimum, maximum (4 bytes each), then a 2-byte attribute
        if (8 * n >= n32) return status(kStRefused);
        b.push_back(d[0]);
        for (int k = 0; k < 8; ++k) {
            Prm32 p = 8 * n + k < n32 ? pop32_[static_cast<size_t>(8 * n + k)] : Prm32{};
            put32(b, p.ram);
            put32(b, p.min);
            put32(b, p.max);
            put16(b, p.attr);
        }
        break;
    case 11:
        if (8 * n >= n32) return status(kStRefused);
        for (int k = 0; k < 8 && 8 * n + k < n32; ++k) {
            const Prm32& p = pop32_[static_cast<size_t>(8 * n + k)];
            int32_t v = get32(d, 1 + 4 * static_cast<size_t>(k));
            if (v < p.min || v > p.max) return status(kStRefused);
        }
        for (int k = 0; k < 8 && 8 * n + k < n32; ++k)
            pop32_[static_cast<size_t>(8 * n + k)].ram = get32(d, 1 + 4 * static_cast<size_t>(k));
        break;
    case 12:
        stepsEep_ = steps_;
        for (auto& p : pop16_)
            p.eep = p.ram;
        for (auto& p : pop32_)
            p.eep = p.ram;
        ++eepWrites_[2];
        break;
    case 13: {
        // While the monitor moves, the command position runs on with every read.
        if (popMon_.moving) popMon_.f1 += 250;
        const PopMonitor& m = popMon_;
        put32(b, m.f1);
        put32(b, 0);
        b.push_back(m.f2);
        put32(b, m.f3);
        put32(b, m.f4);
        b.push_back(m.f5);
        b.push_back(m.f6);
        put64(b, m.pos);
        b.push_back(m.b27);
        b.push_back(m.b28);
        b.push_back(0);
        for (int16_t w : m.w)
            put16(b, w);
        b.push_back(m.f11);
        break;
    }
    }
    b.push_back(kStOk);
    return b;
}

Bytes ModelR::waveform(int mode, const Bytes& d) {
    Bytes b;
    switch (mode) {
    case 0: // auto tuning: [v][1] starts, [v][0] polls; the reply byte is the progress in percent
        if (d.size() != 2 || d[1] > 1) return status(kStRefused);
        if (d[1] == 1) {
            if (!writeAllowed()) return status(kStRefused);
            tuning_ = 0;
            tuningValue_ = d[0];
            return Bytes{0, kStRunning};
        }
        if (tuning_ < 0) return Bytes{0, kStOk};
        if (tuning_ < 100) {
            tuning_ = std::min(100, tuning_ + 100 / std::max(1, opt_.tuningPolls));
            if (tuning_ >= 100) {
                // Tuning has settled: the gains change with the value it was started with.
                for (int n = 16; n < 19; ++n) {
                    Prm16& p = prm16_[static_cast<size_t>(n)];
                    p.ram = static_cast<int16_t>(
                        std::clamp(tuningValue_ * 4 + n, static_cast<int>(p.min), static_cast<int>(p.max)));
                }
            }
        }
        return Bytes{static_cast<uint8_t>(tuning_),
                     static_cast<uint8_t>(tuning_ >= 100 ? kStOk : kStRunning)};
    case 2: // condition: [pos << 4 | slope << 3 | option << 1 | trigger][level][sampling]
        if (d.size() != 5) return status(kStRefused);
        if (!writeAllowed()) return status(kStRefused);
        cap_.cond0 = d[0];
        cap_.level = get16(d, 1);
        cap_.sampling = static_cast<uint16_t>(get16(d, 3));
        cap_.slots[0] = 0;
        cap_.armed = true;
        cap_.pollsLeft = opt_.captureBusyPolls;
        return status(kStOk);
    case 7: // channel selection: [0][code of slot 1][slot 2][slot 3]
        if (!opt_.channelSelect) return status(kStNoSelection);
        if (d.size() != 4 || d[0] != 0) return status(kStRefused);
        for (size_t k = 1; k < 4; ++k)
            if (d[k] > 5) return status(kStRefused);
        if (!writeAllowed()) return status(kStRefused);
        for (size_t k = 1; k < 4; ++k)
            cap_.slots[k] = d[k];
        return status(kStOk);
    case 6:
        if (d.size() != 2) return status(kStRefused);
        // [0][0] is both the state poll and block 0 of slot 0: while the capture runs only the state
        // answers; once it is ready the block comes with it.
        if (d[1] == 0 && d[0] == 0) {
            if (!cap_.armed) return status(0x08);
            if (cap_.pollsLeft > 0) {
                --cap_.pollsLeft;
                return status(kStRunning);
            }
        }
        // block [b][slot]: 64 samples of the slot's channel
        if (d[0] > 7 || d[1] > 3 || !cap_.armed || cap_.pollsLeft > 0) return status(0x80);
        b = {d[0], d[1]};
        {
            int code = d[1] == 0 ? 0 : cap_.slots[d[1]];
            bool empty = d[1] != 0 && code == 0;
            for (int k = 0; k < 64; ++k)
                put16(b, empty ? 0 : sampleLocked(code, 64 * d[0] + k));
        }
        b.push_back(kStReady);
        return b;
    default:
        return status(kStRefused);
    }
}

// Simple signals, lined up so that the commanded speed passes the trigger level at the trigger position.
int16_t ModelR::sampleLocked(int code, int i) const {
    const double pi = 3.14159265358979323846;
    // Trigger point of the position code: sample 0, 62, 125, 250, 375 or 438 of 500.
    static constexpr int kTrigAt[6] = {0, 62, 125, 250, 375, 438};
    const int posCode = (cap_.cond0 >> 4) & 15;
    int trig = posCode < 6 ? kTrigAt[posCode] : 0;
    bool falling = (cap_.cond0 & 0x08) != 0;
    double period = 100.0 * (1 + cap_.sampling % 8);
    double ph = 2 * pi * (i - trig) / period;
    double sign = falling ? -1.0 : 1.0;
    double v = 0;
    switch (code) {
    case 0:
        v = cap_.level + sign * 3000 * std::sin(ph);
        break; // commanded speed
    case 1:
        v = 400 * (4 * std::fabs(std::fmod((i - trig) / period + 1000.0, 1.0) - 0.5) - 1);
        break; // position error
    case 2:
        v = cap_.level + sign * 2900 * std::sin(ph - 0.2);
        break; // actual speed
    case 3:
        v = 1500 * std::cos(ph);
        break; // torque
    case 4:
        v = ((i * 7) % 400) - 200;
        break; // full-closed error
    case 5:
        v = ((i - trig + 1000) / 25) % 2 ? 1 : 0;
        break; // in-position bit
    }
    return static_cast<int16_t>(std::clamp(std::lround(v), -32768L, 32767L));
}

int16_t ModelR::sample(int code, int i) const {
    std::lock_guard lk(mu_);
    return sampleLocked(code, i);
}

void ModelR::advanceMonitor() {
    if (!mon_.moving) return;
    ++tick_;
    double t = tick_ * 0.1;
    mon_.cmdPos += 1000;
    mon_.fbPos = mon_.cmdPos - static_cast<int32_t>(50 * std::sin(t));
    mon_.posErr = static_cast<int16_t>(mon_.cmdPos - mon_.fbPos);
    mon_.inputs = static_cast<uint8_t>(0x01 | ((tick_ & 1) << 3));
    mon_.outputs = static_cast<uint8_t>(0x02 | ((tick_ / 2 & 1) << 5));
    mon_.speedCmd = static_cast<int32_t>(1500 * std::sin(t));
    mon_.speedAct = mon_.speedCmd - static_cast<int32_t>(10 * std::cos(t));
    mon_.loadX = static_cast<int16_t>(300 + 50 * std::sin(t));
    mon_.loadY = 400;
    mon_.volt5 = static_cast<int16_t>(5 * 282);
    mon_.m13a = static_cast<int16_t>(-100 + tick_ % 200);
    mon_.m13b = static_cast<int16_t>(tick_ % 1000);
    mon_.m13c = static_cast<uint32_t>(0xA00000 + tick_) & 0xFFFFFF;
    mon_.m13d = static_cast<int16_t>(-tick_ % 30000);
    mon_.m14a = -70000 - static_cast<int32_t>(tick_);
    mon_.m14b = 123456789;
    mon_.maker1 = -12;
    mon_.maker2 = 345;
    mon_.speed = static_cast<int16_t>(mon_.speedAct);
    mon_.torque = static_cast<int16_t>(20 * (mon_.loadX - 300));
    mon_.counter = mon_.posErr;
    // 2/10 as the monitor screen reads it: control mode 1, servo on with inputs 8 to 15 counting the
    // requests, ready with an in-position output now and then, and now and then an overload warning.
    mon_.inputs = 1;
    mon_.fbPos = 0x01 | static_cast<int32_t>((tick_ & 0xFF) << 8);
    mon_.cmdPos = 0x01 | static_cast<int32_t>((tick_ / 5 & 1) << 2);
    mon_.posErr = static_cast<int16_t>(tick_ / 20 & 1);
}

Bytes ModelR::monitorReply(int mode) {
    advanceMonitor();
    const Monitor& m = mon_;
    Bytes b;
    switch (mode) {
    case 1:
        put32(b, m.speedAct);
        break;
    case 2:
        put32(b, m.speedCmd);
        break;
    case 9:
        put16(b, m.speed);
        put16(b, m.torque);
        put32(b, m.counter);
        break;
    case 10:
        b.push_back(m.inputs);
        b.push_back(m.outputs);
        put32(b, m.fbPos);
        put32(b, m.cmdPos);
        put16(b, m.posErr);
        break;
    case 11:
        put16(b, m.loadX);
        put16(b, m.loadY);
        put16(b, m.volt5);
        break;
    case 13:
        put16(b, m.m13a);
        put16(b, m.m13b);
        b.push_back(static_cast<uint8_t>(m.m13c & 0xFF));
        b.push_back(static_cast<uint8_t>((m.m13c >> 8) & 0xFF));
        b.push_back(static_cast<uint8_t>((m.m13c >> 16) & 0xFF));
        put16(b, m.m13d);
        break;
    case 14:
        put32(b, m.m14a);
        put32(b, m.m14b);
        break;
    default:
        return status(kStRefused);
    }
    b.push_back(kStOk);
    return b;
}

Bytes ModelR::alarmReply(int mode) {
    Bytes b;
    switch (mode) {
    case 0:
        b.push_back(alarm_);
        break;
    case 2:
        b.assign(hist_.begin(), hist_.end());
        break;
    case 5:
        b.assign(sysHist_.begin(), sysHist_.end());
        break;
    case 8:
        for (uint16_t t : times_)
            put16(b, t);
        break;
    case 9:
        b = {0, 0};
        put32(b, hours_);
        break;
    case 3:
        hist_.fill(0);
        times_.fill(0);
        break;
    case 4:
        alarm_ = 0;
        break;
    case 6:
        sysHist_.fill(0);
        break;
    case 11:
        mon_.cmdPos = mon_.fbPos = 0;
        mon_.posErr = 0;
        break;
    default:
        return status(kStRefused);
    }
    b.push_back(kStOk);
    return b;
}

void ModelR::powerCycle() {
    std::lock_guard lk(mu_);
    reloadRam(prm16_);
    reloadRam(prm32_);
    steps_ = stepsEep_;
    reloadRam(pop16_);
    reloadRam(pop32_);
    right_ = false;
    cap_ = Capture{};
    tuning_ = -1;
}

ModelR::Options ModelR::options() const {
    std::lock_guard lk(mu_);
    return opt_;
}
void ModelR::setFrontPanel(bool inUse) {
    std::lock_guard lk(mu_);
    panel_ = inUse;
    if (inUse) right_ = false;
}
bool ModelR::rightHeld() const {
    std::lock_guard lk(mu_);
    return right_;
}
void ModelR::setReplyDelay(std::chrono::microseconds d) {
    std::lock_guard lk(mu_);
    opt_.replyDelay = d;
}
void ModelR::shortenNextReply(size_t dataBytes) {
    std::lock_guard lk(mu_);
    shorten_ = dataBytes;
}

ModelR::Prm16 ModelR::prm16(int n) const {
    std::lock_guard lk(mu_);
    return prm16_.at(static_cast<size_t>(n));
}
void ModelR::setPrm16(int n, Prm16 p) {
    std::lock_guard lk(mu_);
    prm16_.at(static_cast<size_t>(n)) = p;
}
ModelR::Prm32 ModelR::prm32(int n) const {
    std::lock_guard lk(mu_);
    return prm32_.at(static_cast<size_t>(n));
}
void ModelR::setPrm32(int n, Prm32 p) {
    std::lock_guard lk(mu_);
    prm32_.at(static_cast<size_t>(n)) = p;
}
ModelR::Step ModelR::step(int n) const {
    std::lock_guard lk(mu_);
    return steps_.at(static_cast<size_t>(n));
}
void ModelR::setStep(int n, Step s) {
    std::lock_guard lk(mu_);
    steps_.at(static_cast<size_t>(n)) = s;
}
ModelR::Step ModelR::stepEep(int n) const {
    std::lock_guard lk(mu_);
    return stepsEep_.at(static_cast<size_t>(n));
}
ModelR::Prm16 ModelR::pop16(int n) const {
    std::lock_guard lk(mu_);
    return pop16_.at(static_cast<size_t>(n));
}
void ModelR::setPop16(int n, Prm16 p) {
    std::lock_guard lk(mu_);
    pop16_.at(static_cast<size_t>(n)) = p;
}
ModelR::Prm32 ModelR::pop32(int n) const {
    std::lock_guard lk(mu_);
    return pop32_.at(static_cast<size_t>(n));
}
void ModelR::setPop32(int n, Prm32 p) {
    std::lock_guard lk(mu_);
    pop32_.at(static_cast<size_t>(n)) = p;
}
ModelR::Monitor ModelR::monitor() const {
    std::lock_guard lk(mu_);
    return mon_;
}
void ModelR::setMonitor(Monitor m) {
    std::lock_guard lk(mu_);
    mon_ = m;
}
ModelR::PopMonitor ModelR::popMonitor() const {
    std::lock_guard lk(mu_);
    return popMon_;
}
void ModelR::setPopMonitor(PopMonitor m) {
    std::lock_guard lk(mu_);
    popMon_ = m;
}

void ModelR::raiseAlarm(uint8_t code) {
    std::lock_guard lk(mu_);
    alarm_ = code;
    std::copy_backward(hist_.begin(), hist_.end() - 1, hist_.end());
    hist_[0] = code;
    std::copy_backward(times_.begin(), times_.end() - 1, times_.end());
    times_[0] = static_cast<uint16_t>(hours_ & 0xFFFF);
}
void ModelR::raiseSystemEvent(uint8_t code) {
    std::lock_guard lk(mu_);
    std::copy_backward(sysHist_.begin(), sysHist_.end() - 1, sysHist_.end());
    sysHist_[0] = code;
}
void ModelR::clearAlarm() {
    std::lock_guard lk(mu_);
    alarm_ = 0;
}
uint8_t ModelR::alarm() const {
    std::lock_guard lk(mu_);
    return alarm_;
}
std::array<uint8_t, 14> ModelR::alarmHistory() const {
    std::lock_guard lk(mu_);
    return hist_;
}
std::array<uint8_t, 14> ModelR::systemHistory() const {
    std::lock_guard lk(mu_);
    return sysHist_;
}
std::array<uint16_t, 15> ModelR::alarmTimes() const {
    std::lock_guard lk(mu_);
    return times_;
}
void ModelR::setHours(uint32_t h) {
    std::lock_guard lk(mu_);
    hours_ = h;
}
std::string ModelR::modelCode() const {
    std::lock_guard lk(mu_);
    return modelCode_;
}
std::vector<int16_t> ModelR::calibration() const {
    std::lock_guard lk(mu_);
    return calib_;
}
int ModelR::eepromWrites(int which) const {
    std::lock_guard lk(mu_);
    return eepWrites_[std::clamp(which, 0, 2)];
}
ModelR::Capture ModelR::capture() const {
    std::lock_guard lk(mu_);
    return cap_;
}
int ModelR::tuningProgress() const {
    std::lock_guard lk(mu_);
    return tuning_;
}

} // namespace ampsim
