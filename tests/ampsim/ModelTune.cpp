#include "ModelTune.h"

#include "ModelCommon.h"

#include <algorithm>

namespace ampsim {

int16_t tunedValue(int n, int v) {
    return static_cast<int16_t>(100 + 10 * v + n);
}

// ---- family R -----------------------------------------------------------------------------------------

TuneR::TuneR(ModelR& model, std::vector<int> tuned) : model_(model), tuned_(std::move(tuned)) {}

Handler TuneR::handler() {
    return [this](const Request& rq) { return answer(rq); };
}

std::optional<std::vector<uint8_t>> TuneR::answer(const Request& rq) {
    using Bytes = std::vector<uint8_t>;
    const Bytes& d = rq.data;
    if (rq.cmd == 8 && rq.mode == 0) { // single 16-bit read: [n]
        if (d.size() != 1) return Bytes{ModelR::kStRefused};
        Bytes out;
        wire::put16(out, model_.prm16(d[0]).ram);
        out.push_back(ModelR::kStOk);
        return out;
    }
    if (rq.cmd != 10 || rq.mode != 0) return model_.answer(rq);

    std::lock_guard lk(mu_);
    if (d.size() != 2 || d[1] > 1) return Bytes{0, ModelR::kStRefused};
    if (servoOff_) return Bytes{kStServoOff}; // a refusal carries the status byte alone
    if (d[1] == 1) {
        if (model_.options().requireRight && !model_.rightHeld()) return Bytes{0, ModelR::kStRefused};
        value_ = d[0];
        polled_ = 0;
        running_ = start_ == 0 || start_ == 2 || start_ == 3;
        return Bytes{start_, ModelR::kStOk};
    }
    if (!running_) return Bytes{1, ModelR::kStOk};
    // A poll carries the stiffness of its run; any other value is not this run's poll.
    if (d[0] != value_) return Bytes{0, ModelR::kStRefused};
    const uint8_t b = polls_.empty() ? 3 : polls_[std::min(static_cast<size_t>(polled_), polls_.size() - 1)];
    ++polled_;
    if (b != 0 && b != 2) running_ = false;
    if (b == 3)
        for (int n : tuned_) {
            Param16 p = model_.prm16(n);
            p.ram = std::clamp<int16_t>(tunedValue(n, value_), p.min, p.max);
            model_.setPrm16(n, p);
        }
    return Bytes{b, ModelR::kStOk};
}

void TuneR::script(uint8_t start, std::vector<uint8_t> polls) {
    std::lock_guard lk(mu_);
    start_ = start;
    polls_ = std::move(polls);
}
void TuneR::setServoOff(bool off) {
    std::lock_guard lk(mu_);
    servoOff_ = off;
}
int TuneR::polls() const {
    std::lock_guard lk(mu_);
    return polled_;
}
int TuneR::value() const {
    std::lock_guard lk(mu_);
    return value_;
}
bool TuneR::running() const {
    std::lock_guard lk(mu_);
    return running_;
}

// ---- family M -----------------------------------------------------------------------------------------

TuneM::TuneM(ModelM& model, Simulator& sim, std::vector<int> tuned)
    : model_(model), sim_(sim), tuned_(std::move(tuned)) {}

Handler TuneM::handler() {
    return [this](const Request& rq) { return answer(rq); };
}

std::optional<std::vector<uint8_t>> TuneM::answer(const Request& rq) {
    if (rq.cmd != 10 || rq.mode != 0) return model_.answer(rq);
    std::lock_guard lk(mu_);
    // The start is never answered; without the execution right it is ignored.
    if (rq.data.size() != 1 || (model_.options().requireRight && !model_.rightHeld())) return std::nullopt;
    ++starts_;
    value_ = rq.data[0];
    if (result_ == 0 && status_ == 0)
        for (int n : tuned_) {
            Param16 p = model_.prm16(false, n);
            p.ram = std::clamp<int16_t>(tunedValue(n, value_), p.min, p.max);
            model_.setPrm16(false, n, p);
        }
    sim_.sendUnsolicited(rq.address, 10, 0, {result_, status_}, after_);
    return std::nullopt;
}

void TuneM::outcome(uint8_t result, uint8_t status, milliseconds after) {
    std::lock_guard lk(mu_);
    result_ = result;
    status_ = status;
    after_ = after;
}
int TuneM::starts() const {
    std::lock_guard lk(mu_);
    return starts_;
}
int TuneM::value() const {
    std::lock_guard lk(mu_);
    return value_;
}

// ---- family K -----------------------------------------------------------------------------------------

TuneK::TuneK(ModelK& model) : model_(model) {}

void TuneK::attach(Simulator& sim) {
    model_.attach(sim);
    sim.setLineHandler([this](uint8_t b) { return onByte(b); });
}

void TuneK::outcome(std::string line, milliseconds after) {
    std::lock_guard lk(mu_);
    end_ = std::move(line);
    after_ = after;
}

void TuneK::setServoOff(bool off) {
    std::lock_guard lk(mu_);
    servoOff_ = off;
}

std::vector<LineOut> TuneK::onByte(uint8_t b) {
    std::vector<LineOut> out = model_.onByte(b);
    std::lock_guard lk(mu_);
    if (b >= 32) {
        line_ += static_cast<char>(b);
        return out;
    }
    const bool started = line_.rfind("AUTO 1,", 0) == 0 &&
                         std::any_of(out.begin(), out.end(), [](const LineOut& o) {
                             return std::string(o.bytes.begin(), o.bytes.end()).find("START") != std::string::npos;
                         });
    line_.clear();
    if (started && servoOff_) {
        const std::string refusal = "ERROR\r\n%";
        return {{milliseconds(0), std::vector<uint8_t>(refusal.begin(), refusal.end())}};
    }
    if (started) {
        const std::string end = end_ + "\r\n%";
        out.push_back({after_, std::vector<uint8_t>(end.begin(), end.end())});
    }
    return out;
}

} // namespace ampsim
