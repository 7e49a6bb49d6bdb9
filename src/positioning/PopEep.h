// Writing the positioning data to the amplifier's EEPROM: the list of what differs from the reference
// copy of the current axis, the reading of that copy, and the write itself.
#pragma once

#include <string>
#include <vector>

// Option words of the dialog and of the reference read (compared as they stand).
namespace PopEepOpt {
inline constexpr const char* Explicit = "/USER/明示的に書込";
inline constexpr const char* Implicit = "/USER/暗黙的に書込";
inline constexpr const char* ExplicitWord = "/明示的に書込";
inline constexpr const char* IfNotRead = "/未だなら読む";
inline constexpr const char* ForceAll = "/強制設定/ALL";
} // namespace PopEepOpt

struct PopChangeRow {
    std::string type; // "Step", "Prm16", "Prm32"
    std::string no;
    std::string title;
    std::string before;
    std::string after;
};

// target := item when target is empty, else target & sep & item.
void UTY_CatStr(std::string& target, const std::string& sep, const std::string& item);

// Compares step n with the reference copy of the current axis: the texts of the fields that differ, in
// the order position, acceleration, block, deceleration, mode, velocity. True when any differs.
bool ChkStepChange(int n, std::string& before, std::string& after);

// Every step and parameter in use that differs from the reference copy of the current axis.
std::vector<PopChangeRow> PopChangeList();

// Reads the reference copy of the current axis from the amplifier (with IfNotRead only when a table of
// it has not been read yet). Each table is marked read only when it was read completely.
void PopCheckPoint(const std::string& options);

// The EEPROM write with the positioning busy bit held, then a new reference read. False (after telling
// the user) when the link or the write failed; the reference then stays as it was.
bool PopEepWrite();
