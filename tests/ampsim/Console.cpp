#include "Console.h"

#include "ModelK.h"
#include "ModelM.h"
#include "ModelR.h"

#include <cstdlib>
#include <sstream>

namespace ampsim {
namespace {

// The family K model keeps no readable copy of what it was told.
struct KState {
    int16_t speed = 0, torque = 0, counter = 0;
    uint32_t in = 0, out = 0;
};
KState& kState() {
    static KState s;
    return s;
}

bool number(const std::string& text, long long& v) {
    if (text.empty()) return false;
    char* end = nullptr;
    v = std::strtoll(text.c_str(), &end, 0); // decimal, or hexadecimal with 0x
    return *end == 0;
}

uint32_t withBit(uint32_t word, long long n, bool on) {
    const uint32_t m = 1u << n;
    return on ? (word | m) : (word & ~m);
}

} // namespace

const char* steerHelp() {
    return "commands on standard input, one a line (numbers decimal or 0x hexadecimal):\n"
           "  alarm N          raise alarm N: the current alarm and the newest history entry\n"
           "  clear            clear the current alarm\n"
           "  speed V          actual speed [r/min]\n"
           "  torque V         torque as the amplifier sends it (family M and R: % x torque scale)\n"
           "  error V          position error [pulse]\n"
           "  in X | out X     input / output state word\n"
           "  bit in|out N 0|1 one input / output bit\n"
           "  ctrl N           control mode (family R)\n"
           "  warn X           warning bits (family R)\n"
           "  enc CODE STAT SINGLE MULTI   absolute encoder data (family R)\n"
           "  move | still     values move by themselves, or hold (any set command holds them)\n"
           "  power            switch the amplifier off and on\n"
           "  help             this text\n";
}

std::string steer(SteerTargets& t, const std::string& line) {
    std::istringstream in(line);
    std::string cmd;
    std::vector<long long> args;
    std::vector<std::string> words;
    in >> cmd;
    for (std::string w; in >> w;) {
        words.push_back(w);
        long long v = 0;
        args.push_back(number(w, v) ? v : 0);
    }
    if (cmd.empty()) return "ok";
    auto need = [&](size_t n) { return args.size() == n; };

    if (cmd == "help") return steerHelp();
    if (cmd == "alarm" && need(1)) {
        for (ModelR* r : t.r)
            r->raiseAlarm(static_cast<uint8_t>(args[0]));
        for (ModelM* m : t.m)
            m->raiseAlarm(static_cast<uint8_t>(args[0]));
        if (t.k) t.k->raiseAlarm(static_cast<int>(args[0]));
        return "ok";
    }
    if (cmd == "clear" && need(0)) {
        for (ModelR* r : t.r)
            r->clearAlarm();
        if (t.k) t.k->clearAlarm();
        return t.m.empty() ? "ok" : "family M keeps its alarm until power-cycled";
    }
    if (cmd == "power" && need(0)) {
        for (ModelR* r : t.r)
            r->powerCycle();
        for (ModelM* m : t.m)
            m->powerCycle();
        return "ok";
    }
    if ((cmd == "move" || cmd == "still") && need(0)) {
        const bool moving = cmd == "move";
        for (ModelR* r : t.r) {
            auto m = r->monitor();
            m.moving = moving;
            r->setMonitor(m);
        }
        for (ModelM* mm : t.m) {
            auto m = mm->monitor();
            m.moving = moving;
            mm->setMonitor(m);
        }
        if (t.k) t.k->setMonitor(kState().speed, kState().torque, kState().counter, moving);
        return "ok";
    }
    const bool bitCmd = cmd == "bit" && args.size() == 3 && (words[0] == "in" || words[0] == "out") &&
                        args[1] >= 0 && args[1] < 32;
    const bool valueCmd = need(1) && (cmd == "speed" || cmd == "torque" || cmd == "error" || cmd == "in" ||
                                      cmd == "out" || cmd == "ctrl" || cmd == "warn");
    const bool encCmd = cmd == "enc" && need(4);
    if (!bitCmd && !valueCmd && !encCmd) return "unknown command or wrong arguments (try help)";

    const long long v = args.empty() ? 0 : args[0];
    const std::string io = bitCmd ? words[0] : cmd;
    auto setIo = [&](uint32_t word) -> uint32_t {
        return bitCmd ? withBit(word, args[1], args[2] != 0) : static_cast<uint32_t>(v);
    };
    for (ModelR* r : t.r) {
        auto m = r->monitor();
        m.moving = false;
        if (cmd == "speed") m.speed = static_cast<int16_t>(v);
        if (cmd == "torque") m.torque = static_cast<int16_t>(v);
        if (cmd == "error") m.counter = static_cast<int32_t>(v);
        if (cmd == "ctrl") m.inputs = static_cast<uint8_t>(v);
        if (cmd == "warn") m.posErr = static_cast<int16_t>(v);
        if (io == "in" && (bitCmd || valueCmd))
            m.fbPos = static_cast<int32_t>(setIo(static_cast<uint32_t>(m.fbPos)));
        if (io == "out" && (bitCmd || valueCmd))
            m.cmdPos = static_cast<int32_t>(setIo(static_cast<uint32_t>(m.cmdPos)));
        if (encCmd) {
            m.m13a = static_cast<int16_t>(args[0]);
            m.m13b = static_cast<int16_t>(args[1]);
            m.m13c = static_cast<uint32_t>(args[2]) & 0xFFFFFF;
            m.m13d = static_cast<int16_t>(args[3]);
        }
        r->setMonitor(m);
    }
    for (ModelM* mm : t.m) {
        auto m = mm->monitor();
        m.moving = false;
        if (cmd == "speed") m.speed = static_cast<int16_t>(v);
        if (cmd == "torque") m.torque = static_cast<int16_t>(v);
        if (cmd == "error") m.counter = static_cast<int32_t>(v);
        if (io == "in" && (bitCmd || valueCmd)) m.in = static_cast<uint16_t>(setIo(m.in));
        if (io == "out" && (bitCmd || valueCmd)) m.out = static_cast<uint16_t>(setIo(m.out));
        mm->setMonitor(m);
    }
    if (t.k) {
        KState& k = kState();
        if (cmd == "speed") k.speed = static_cast<int16_t>(v);
        if (cmd == "torque") k.torque = static_cast<int16_t>(v);
        if (cmd == "error") k.counter = static_cast<int16_t>(v);
        if (io == "in" && (bitCmd || valueCmd)) k.in = setIo(k.in);
        if (io == "out" && (bitCmd || valueCmd)) k.out = setIo(k.out);
        t.k->setMonitor(k.speed, k.torque, k.counter, false);
        t.k->setIo(k.in, k.out);
    }
    return "ok";
}

} // namespace ampsim
