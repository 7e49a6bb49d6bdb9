// One poll of the positioning monitor, apart from its window: which reads it makes, what the labels show
// afterwards, and when the next poll comes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "comm/RGlb.h"

// The step being executed, as the Target tab shows it.
struct PomTarget {
    std::string stp, mod;
    bool dwell = false;   // mode 3: the value is a dwell time, not a position
    std::string pos, tim; // one of them filled
    std::string vel, acc, acs, dec, des;
    std::string velNam, accNam, acsNam, decNam, desNam, blk;
};

// What one poll reached; a field left empty was not reached and keeps what the last poll showed.
struct PomView {
    std::optional<std::string> cmdPos, actPos, fce, speed, trq, err, load, kaisei;
    std::optional<std::vector<std::string>> warnings; // active warnings, one a line
    std::optional<std::string> alarm;
    bool alarmRed = false;
    std::optional<PomTarget> target;
    std::optional<std::array<std::string, 16>> in, out; // texts of the 16 bits of the I/O page shown
    bool work = false;                                  // "*": the link was busy or a read failed
    int interval = 200;                                 // ms to the next poll
};

// Tab keys of the monitor.
namespace PomTab {
inline constexpr const char* Target = "Target";
inline constexpr const char* PosIo1 = "PosIo1";
inline constexpr const char* PosIo2 = "PosIo2";
inline constexpr const char* Load = "Load";
} // namespace PomTab

// One poll with the tab shown and the polling factor in force. While the link is busy nothing is read
// and the next poll comes after 200 ms; a failed positioning or actual-position read waits 10 s; a
// later failure 200 ms; a full poll 200 ms times the factor.
PomView PomPoll(const std::string& tab, double factor);

// The mask of bit n (0..31).
uint32_t bit(int16_t n);
// Alarm caption: the code with a leading blank when not negative, a blank and its text; "Normal action"
// for 0. An alarm code beyond the table has no text.
std::string PomAlarmText(int16_t code);
// The Target tab of a monitor record.
PomTarget PomTargetOf(const PopMoniRec& rec);
// The 16 texts of an I/O page (offset 0 or 16) of input (kind 2) or output (kind 3) bits.
std::array<std::string, 16> PomIoTexts(uint32_t bits, int offset, int kind);
