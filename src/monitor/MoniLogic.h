// What the monitor and alarm windows decide and show, apart from their widgets: the texts of the values,
// bit lists and alarm codes, the pages the series offers, and the read cycles of one tick.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "monitor/PollTick.h"

namespace MoniText {
inline constexpr const char* Normal = "Normal action";
inline constexpr const char* WorkTip = "Display the communicating status.(*:communication error)";
inline constexpr const char* Io1 = "I/O 1";
inline constexpr const char* Io2 = "I/O 2";
inline constexpr const char* Pulse = "Pulse";
inline constexpr const char* Load = "Load";
inline constexpr const char* Abso = "Absolute encoder";
inline constexpr const char* FullClosed = "Full closed";
inline constexpr const char* BatTitle = "Clear of the battery warning. ";
inline constexpr const char* BatAsk = "Do you clear the battery warning ?";
inline constexpr const char* MultiTitle = "Clear of the multi-turn data and encoder error";
inline constexpr const char* YesTitle = "Yes ?";
inline constexpr const char* ClrAlmAsk = "Do you clear the current alarm ?";
inline constexpr const char* ClrHistAsk = "Do you clear the error history?";
inline constexpr const char* ClrSysHistAsk = "Do you clear the system alarm history ?";
inline constexpr const char* ClrAlmTitle = "Clear of the current alarm";
inline constexpr const char* ClrHistTitle = "Clear of the error history";
inline constexpr const char* ClrSysHistTitle = "Clear of the system alarm history";
// Said when the amplifier did not carry out a clear.
inline constexpr const char* ClearFailed = "The amplifier did not carry out the clear.";
} // namespace MoniText

// ---- texts ------------------------------------------------------------------------------------------

// A number as the general number format writes it: no sign blank, no exponent below 1E+15.
std::string GeneralNumber(double v);
// " 16 name": the code with its sign blank, a blank and AlmName (empty when the definition leaves it
// empty); a code outside the table gives " 231 ?231". Callers show "Normal action" (or nothing) for code 0.
std::string AlmCodeText(int code);
// AlmTxt2 & AlmTxt3 of the code, or "" for a code outside the table.
std::string AlmDetailText(int code);
// The control mode name (empty when the definition leaves it empty), or "?" and the number for a mode
// outside the table.
std::string CtrlModeText(int mode);
// True when the control mode uses the external scale (false outside the table).
bool IsFullClosedMode(int mode);
// Upper-case hexadecimal of the 32-bit two's complement without leading zeros ("0" for 0).
std::string HexText(int32_t v);
// Its last four characters (the whole text when shorter).
std::string Hex4Text(int32_t v);

// The names of the active warnings (BitName row 10), one under another.
std::vector<std::string> WarnLines(int16_t warn);
// Sixteen lines of bits offset .. offset + 15 of word: the set text or the clear text of the I/O names.
std::vector<std::string> IoLines(int32_t word, int kind, int offset);
// Sixteen lines of the encoder status bits: AbsoMenu set text or clear text.
std::vector<std::string> AbsoLines(int16_t stat);

// ---- pages ------------------------------------------------------------------------------------------

// The tab captions of the monitor window for the series' options, in order.
std::vector<std::string> MoniTabs();
// The page (0 I/O, 1 load, 2 absolute encoder, 3 pulse, 4 full closed) of a tab, or -1.
int MoniPageOfTab(const std::string& caption);
// True when the page's requests exist for the amplifier's family (the I/O page always does).
bool MoniPageSupported(int page);

// ---- read cycles ------------------------------------------------------------------------------------

// What one monitor tick read after it found the link free.
struct MoniCycle {
    PollOutcome outcome = PollOutcome::Done; // BackOff: I/O read failed; ReadFailed: speed read failed
    bool alarmRead = false;                  // AlmNo is fresh
    bool pageRead = false;                   // the page's values are fresh
    bool pageFailed = false;                 // the page's read failed: keep what is shown and mark it
    bool extScale = false;                   // full-closed page: the external scale values were read
};
// One monitor cycle: I/O, alarm, speed, then the requests of the page (by its tab caption) into the
// shared values. Stops at the first read whose failure ends the cycle.
MoniCycle MoniReadCycle(const std::string& tab, int32_t& extFbPulseSum, int32_t& extScaleErr);

// One alarm read cycle into AlmNo, AlmTimNow, MkrDat1, MkrDat2, AlmHist and AlmTime: true when every read
// succeeded. Requests of family R alone are left out on the other families.
bool AlmReadCycle();
// Rows of the history (and of its time stamps) the window can show for the series and family.
int AlmRowsShown(int16_t rows);

// Which clear a user asked for.
enum class ClearKind { Battery, MultiTurn, Alarm, History, SystemHistory };
// Runs a clear: refuses while a long operation holds the link, checks the link, asks the user and sends
// the request; tells the user when the amplifier did not carry it out. True when the clear went through.
bool RunClear(ClearKind kind);

class QLabel;
// Alarm texts in red, everything else in the window-text colour; touches the label only on a change.
void SetAlarmColour(QLabel* label, bool red);
