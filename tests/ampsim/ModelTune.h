// Auto tuning as amplifiers of the three families run it, put in front of their models: each class answers
// the tuning requests itself and passes everything else on to the model it wraps.
//
//   family R: 10/0 [v][1] starts and 10/0 [v][0] polls; the first reply byte follows a script (start: 0, 2,
//             3 running, 5 not available, others refused; poll: 0, 2 running, 3 done, 5 not available,
//             others incomplete); a finished run leaves new values in the tuned parameters, which 8/0 [n]
//             reads back.
//   family M: 10/0 [v] starts without a reply; some time later the amplifier sends a block 10/0 [result]
//             [status] of its own accord (result 0 tuned).
//   family K: "AUTO 1,<hex>" is answered at once; the line that ends the run follows later.
// Shared between the line thread and the test thread: every member takes the object's lock.
#pragma once

#include "ModelK.h"
#include "ModelM.h"
#include "ModelR.h"
#include "ampsim.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace ampsim {

// What a finished run at stiffness v leaves in parameter n.
int16_t tunedValue(int n, int v);

class TuneR {
  public:
    static constexpr uint8_t kStServoOff = 0x04;

    explicit TuneR(ModelR& model, std::vector<int> tuned = {16, 17, 18});
    Handler handler();

    // First reply byte of the start, and of each poll in turn (the last one repeats).
    void script(uint8_t start, std::vector<uint8_t> polls);
    void setServoOff(bool off); // starts and polls answered with status 0x04
    int polls() const;          // polls of the current run
    int value() const;          // stiffness of the last start, -1 before any
    bool running() const;

  private:
    std::optional<std::vector<uint8_t>> answer(const Request& rq);

    ModelR& model_;
    std::vector<int> tuned_;
    mutable std::mutex mu_;
    uint8_t start_ = 0;
    std::vector<uint8_t> polls_{0, 2, 3};
    bool servoOff_ = false;
    bool running_ = false;
    int polled_ = 0;
    int value_ = -1;
};

class TuneM {
  public:
    TuneM(ModelM& model, Simulator& sim, std::vector<int> tuned = {2, 3, 4});
    Handler handler();

    // How the next runs end: `after` the start, the block [result][status] (0, 0: tuned).
    void outcome(uint8_t result, uint8_t status, milliseconds after);
    int starts() const;
    int value() const; // stiffness of the last start, -1 before any

  private:
    std::optional<std::vector<uint8_t>> answer(const Request& rq);

    ModelM& model_;
    Simulator& sim_;
    std::vector<int> tuned_;
    mutable std::mutex mu_;
    uint8_t result_ = 0, status_ = 0;
    milliseconds after_{1500};
    int starts_ = 0;
    int value_ = -1;
};

class TuneK {
  public:
    explicit TuneK(ModelK& model);
    // Installs the model's handlers with this one in front of its line handler.
    void attach(Simulator& sim);

    // The line that ends the next runs (a "%" follows it), sent `after` the start's answer.
    void outcome(std::string line, milliseconds after);
    void setServoOff(bool off); // the start is answered "ERROR" and no run follows

  private:
    std::vector<LineOut> onByte(uint8_t b);

    ModelK& model_;
    mutable std::mutex mu_;
    std::string line_;
    std::string end_ = "AUTO END";
    bool servoOff_ = false;
    milliseconds after_{1500};
};

} // namespace ampsim
