#include "ModelFrq.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace ampsim {
namespace {

using Bytes = std::vector<uint8_t>;
using cd = std::complex<double>;

// One period of the binary excitation, +1 / -1.
std::vector<int> Excitation(int n) {
    std::vector<int> s(static_cast<size_t>(n));
    int bits = 0;
    while ((1 << bits) - 1 < n)
        ++bits;
    if ((1 << bits) - 1 == n && bits >= 2 && bits <= 16) {
        // A Galois register whose feedback makes its period n: the first such mask found by trial.
        const unsigned top = 1u << (bits - 1);
        for (unsigned mask = top | 1; mask < 2 * top; ++mask) {
            unsigned reg = 1;
            int period = 0;
            do {
                reg = (reg >> 1) ^ ((reg & 1) ? mask : 0);
                ++period;
            } while (reg != 1 && period <= n);
            if (period != n) continue;
            for (int i = 0; i < n; ++i) {
                s[static_cast<size_t>(i)] = (reg & 1) ? 1 : -1;
                reg = (reg >> 1) ^ ((reg & 1) ? mask : 0);
            }
            return s;
        }
    }
    uint32_t x = 0x12345678;
    for (int i = 0; i < n; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        s[static_cast<size_t>(i)] = (x & 1) ? 1 : -1;
    }
    return s;
}

void Put16(Bytes& b, int v) {
    b.push_back(static_cast<uint8_t>(v & 0xFF));
    b.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

} // namespace

cd Plant::response(double w) const {
    const cd z1 = std::polar(1.0, -w);
    switch (kind) {
    case Gain:
        return k;
    case Delay:
        return std::polar(1.0, -w * d);
    case Lag:
        return (1 - a) / (1.0 - a * z1);
    case Resonance: {
        const double a1 = -2 * r * std::cos(theta), a2 = r * r;
        return (1 + a1 + a2) / (1.0 + a1 * z1 + a2 * z1 * z1);
    }
    }
    return 0;
}

std::vector<int16_t> Plant::measure(int n, int amp, int offset) const {
    const std::vector<int> e = Excitation(n);
    std::vector<double> x(static_cast<size_t>(3 * n)), y(x.size());
    for (size_t i = 0; i < x.size(); ++i)
        x[i] = amp * e[i % static_cast<size_t>(n)];
    const double a1 = -2 * r * std::cos(theta), a2 = r * r;
    for (size_t i = 0; i < x.size(); ++i) {
        auto X = [&](size_t back) {
            return i >= back ? x[i - back] : x[(i + 3 * static_cast<size_t>(n) - back) % x.size()];
        };
        auto Y = [&](size_t back) { return i >= back ? y[i - back] : 0.0; };
        switch (kind) {
        case Gain:
            y[i] = k * x[i];
            break;
        case Delay:
            y[i] = X(static_cast<size_t>(d));
            break;
        case Lag:
            y[i] = a * Y(1) + (1 - a) * x[i];
            break;
        case Resonance:
            y[i] = (1 + a1 + a2) * x[i] - a1 * Y(1) - a2 * Y(2);
            break;
        }
    }
    std::vector<int16_t> raw(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const size_t j = static_cast<size_t>(2 * n + i);
        const long out = std::clamp(std::lround(y[j] + offset), -16384L, 16383L);
        raw[static_cast<size_t>(i)] = static_cast<int16_t>(out * 2 + (e[static_cast<size_t>(i)] > 0 ? 1 : 0));
    }
    return raw;
}

std::optional<Plant> Plant::named(const std::string& name) {
    Plant p;
    if (name == "gain") {
        p.kind = Gain;
        p.k = 2.0;
    } else if (name == "delay") {
        p.kind = Delay;
    } else if (name == "lag") {
        p.kind = Lag;
    } else if (name == "resonance") {
        p.kind = Resonance;
    } else {
        return std::nullopt;
    }
    return p;
}

ModelFrq::ModelFrq(Handler fallback, Options options) : fallback_(std::move(fallback)), opt_(options) {}

Handler ModelFrq::handler() {
    return [this](const Request& rq) { return answer(rq); };
}

std::optional<Bytes> ModelFrq::answer(const Request& rq) {
    if (rq.cmd != 10 || (rq.mode != 4 && rq.mode != 5)) return fallback_ ? fallback_(rq) : std::nullopt;
    std::lock_guard lk(mu_);
    const Bytes& d = rq.data;
    if (rq.mode == 4) {
        if (d.size() != 7) return Bytes{0x88};
        Start s;
        s.smp = d[0] & 0x3F;
        s.fullClose = (d[0] & 0x40) != 0;
        s.amp = static_cast<int16_t>(d[1] | d[2] << 8);
        s.offset = static_cast<int16_t>(d[3] | d[4] << 8);
        s.count = static_cast<int16_t>(d[5] | d[6] << 8);
        starts_.push_back(s);
        if (s.amp == 0) { // the stop request
            running_ = false;
            return Bytes{0x00};
        }
        if (opt_.servoAlarm) return Bytes{0x04};
        if (s.count < 1) return Bytes{0x88};
        words_ = opt_.plant.measure(s.count, s.amp, s.offset);
        words_.resize(words_.size() + static_cast<size_t>(std::max(0, opt_.extraWords)), 0x7FFF);
        pollsLeft_ = opt_.samplingPolls;
        running_ = true;
        return Bytes{0x00};
    }
    if (d.size() != 1 || !running_) return Bytes{0x88};
    const int page = d[0];
    if (pollsLeft_ > 0) {
        --pollsLeft_;
        return Bytes{0x00, 0x01};
    }
    if (page == opt_.alarmPage) return Bytes{static_cast<uint8_t>(page), 0x02};
    Bytes b{static_cast<uint8_t>(page)};
    const size_t first = static_cast<size_t>(page) * static_cast<size_t>(opt_.wordsPerPage);
    for (size_t i = first; i < std::min(words_.size(), first + static_cast<size_t>(opt_.wordsPerPage)); ++i)
        Put16(b, words_[i]);
    b.push_back(page == opt_.torquePage ? 0x04 : 0x00);
    return b;
}

std::vector<ModelFrq::Start> ModelFrq::starts() const {
    std::lock_guard lk(mu_);
    return starts_;
}

std::vector<int16_t> ModelFrq::samples() const {
    std::lock_guard lk(mu_);
    return words_;
}

} // namespace ampsim
