// Steering a running simulated amplifier by hand or from a script: one text command a line on its
// standard input (raise or clear an alarm, set a monitor value or an I/O bit, power-cycle it).
#pragma once

#include <string>
#include <vector>

namespace ampsim {

class ModelK;
class ModelM;
class ModelR;

// The amplifiers a command applies to (every one on the line).
struct SteerTargets {
    std::vector<ModelR*> r;
    std::vector<ModelM*> m;
    ModelK* k = nullptr;
};

// The help text of the commands.
const char* steerHelp();

// Applies one command line; returns "ok", or what was wrong with the line.
std::string steer(SteerTargets& t, const std::string& line);

} // namespace ampsim
