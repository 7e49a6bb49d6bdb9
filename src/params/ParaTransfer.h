// The transfers of the parameter screens: one value written and read back, everything received, the pages
// in view received, and the user or system parameters sent in blocks. Each runs the link check first
// and tells the user of every failed block, then goes on with the next. Requests go through the family of
// the connected series: K when CmdFamily is 1, else R for series code 25, else M.
#pragma once

#include <cstdint>
#include <string>

#include "params/ParaLogic.h"

namespace ParaText {
inline constexpr const char* RecvTitle = "Parameter reception";
inline constexpr const char* SendTitle = "Parameter transmission";
inline constexpr const char* CommFailed = "Communication failed";
inline constexpr const char* Usr16RecvAll = "16bit User parameter reception failed.";
inline constexpr const char* Usr32RecvAll = "32bit User parameter reception failed.";
inline constexpr const char* Usr16Recv = "Reception of the 16bit user parameter failed.";
inline constexpr const char* Sys16Recv = "Reception of the 16bit system parameter failed.";
inline constexpr const char* Usr32Recv = "Reception of the 32bit user parameter failed.";
inline constexpr const char* Sys32Recv = "Reception of the 32bit system parameter failed.";
inline constexpr const char* UsrRecvM = "User parameter reception failed.";
inline constexpr const char* RecvInterrupted = "Parameter reading interrupted. ";
inline constexpr const char* SendInterrupted = "Parameter transmission interrupted.";
inline constexpr const char* SysSendInterrupted = "Transmission of the system parameter interrupted.";
inline constexpr const char* TransferFailed = "Transfer failed";
inline constexpr const char* Usr16Send = "Failed to transmit 16bit user parameter";
inline constexpr const char* Usr32Send = "Failed to transmit 32bit uesr parameter";
inline constexpr const char* Sys16Send = "Failed to transmit 16bit system parameter";
inline constexpr const char* Sys32Send = "Failed to transmit 32bit system parameter";
inline constexpr const char* Password = "Need setting password setting for writing of system parameter.";
inline constexpr const char* PasswordTitle = "Password error";
} // namespace ParaText

// What a single write did for the window.
struct WriteOutcome {
    bool redraw = false;      // the row must show the table value again
    bool powerNotice = false; // a value that takes effect after a power cycle was written
};

// Writes value to 16-bit (32-bit) parameter n and reads it back, when the values on screen are the
// amplifier's and the parameter may be written; otherwise only the table changes and the sent flag of
// its kind is cleared. A failed link check or write puts the old value back.
WriteOutcome SetPrmOne(int n, double value);
WriteOutcome SetPrmOne32(int n, double value);

// Receives every parameter (16-bit user, 32-bit user, 16-bit system, 32-bit system). The values count as
// the amplifier's only when every block arrived. True then.
bool RecvAll();

// Receives the pages that screen page page of tab shows, when they are not the ones last shown
// (lastPage) or force is set. False when something failed.
bool RecvPage(ParaTab tab, int page, int lastPage, bool force);

// Sends the user (system) parameters after their range check; the sent flag is set only when every
// block went through.
bool SendUser();
bool SendSystem();

// Receives the user and system blocks of the connected series.
void PsLoad();

// The load dialog's receive: 16-bit user and system, then 32-bit user and system (family R), the two blocks
// (family M), or the upload (family K). True only when every request made succeeded.
bool RecvAllPrm();

// A list window's edit of parameter n: stored within its limits and, when a port is selected and the value
// changed, written and read back; a refused write puts the value from before the edit back. Returns what
// the table holds afterwards.
int32_t ListSetPrm(bool is32, int n, int64_t value);
