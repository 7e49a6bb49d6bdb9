// Frequency-response measurement on the simulated amplifier: the start request (command 10 mode 4), the
// state poll and the paged transfer of the raw samples (command 10 mode 5), answered from a plant whose
// response is known exactly. Everything else goes to the handler it wraps (a family R model).
//
// A raw sample is input bit + 2 x output: bit 0 is the binary excitation (set = +amplitude), bits 15..1
// the output in r/min. The excitation is periodic in the point count N (a maximum-length sequence when N
// is 2^k - 1, else a fixed pseudo-random sequence), and the plant runs three periods before the last N
// samples are kept, so the record is in periodic steady state and its spectrum has no leakage.
#pragma once

#include "ampsim.h"

#include <complex>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace ampsim {

struct Plant {
    enum Kind { Gain, Delay, Lag, Resonance } kind = Lag;
    double k = 1.0;  // Gain: y = k x
    int d = 3;       // Delay: y[n] = x[n - d]
    double a = 0.9;  // Lag: y[n] = a y[n-1] + (1 - a) x[n]
    double r = 0.97; // Resonance: poles at r e^(+-j theta), unit gain at 0 Hz
    double theta = 0.1;

    // Exact response at omega radians per sample.
    std::complex<double> response(double omega) const;
    // The raw words of one measurement of n points.
    std::vector<int16_t> measure(int n, int amp, int offset) const;
    // From a name: "gain", "delay", "lag" or "resonance".
    static std::optional<Plant> named(const std::string& name);
};

class ModelFrq {
  public:
    struct Options {
        Plant plant;
        int samplingPolls = 3; // transfer requests answered "still sampling" first
        int wordsPerPage = 64;
        int extraWords = 0;      // words the last page carries beyond N
        int alarmPage = -1;      // page answered with the alarm bit
        int torquePage = -1;     // page answered with the torque-saturated bit
        bool servoAlarm = false; // the start is refused with the servo-alarm bit
    };

    ModelFrq(Handler fallback, Options options);
    Handler handler();
    std::optional<std::vector<uint8_t>> answer(const Request& rq);

    struct Start {
        int smp = 0;
        bool fullClose = false;
        int amp = 0, offset = 0, count = 0;
    };
    std::vector<Start> starts() const;    // every start request (stops have amplitude 0)
    std::vector<int16_t> samples() const; // the words of the running measurement

  private:
    Handler fallback_;
    Options opt_;
    mutable std::mutex mu_;
    std::vector<Start> starts_;
    std::vector<int16_t> words_;
    int pollsLeft_ = 0;
    bool running_ = false;
};

} // namespace ampsim
