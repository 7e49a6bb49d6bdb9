// Small helpers every module and screen uses: hexadecimal text, model-name marks, program-folder paths,
// yes/no questions, the error report after file operations, value clamping, bit flags, the amplifier's
// version key and the series key. Text is UTF-8.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "app/Variant.h"

class QLineEdit;

// ---- pending error --------------------------------------------------------------------------------
//
// File procedures run "with errors ignored": a failing step does not stop them but leaves a pending
// error (a number and a text). After the operation they call ErrMsg with a short description of what
// they were doing; ErrMsg tells the user, clears the error and returns its number, so the caller stops
// on a non-zero result. Only the first error of an operation is kept: a later one would only describe
// the damage the first one did.

// Numbers of the pending errors the program raises.
enum ErrNo : int32_t {
    ErrNone = 0,
    ErrFileNotFound = 53, // a file could not be opened for reading
    ErrPastEnd = 62,      // a read went past the end of a file
    ErrFileAccess = 75,   // a file could not be created, written or closed
};

struct ErrState {
    int32_t Number = 0;      // 0 while nothing is pending
    std::string Description; // the system's text of the error
};

// The pending error (read-only view; change it with SetErr and ClearErr).
const ErrState& Err();
// Makes an error pending unless one already is.
void SetErr(int32_t number, const std::string& description);
void ClearErr();

// When an error is pending: shows place & " : " & its text under the title "Error occurs", clears it
// and returns its number. Otherwise returns 0 and shows nothing.
int32_t ErrMsg(const std::string& place);

// ---- numbers and bits -----------------------------------------------------------------------------

// Common logarithm.
double Log10(double x);

// on: flags |= mask; off: flags &= ~mask.
void SetBit16(int16_t& flags, int16_t mask, bool on);
// The same on a 32-bit word. The mask is widened with its sign, so 0x8000 covers bits 15 to 31.
void SetBit32(int32_t& flags, int16_t mask, bool on);

// The leading number of v clamped to -32768..32767; the clamped number is stored back into v (as a
// Double) and returned rounded to the nearest integer, a half to the even neighbour. Never fails:
// a text without a number reads 0.
int16_t ValToInt(Variant& v);
// The same for a text that is not to be changed.
int16_t ValToInt(const std::string& text);
// As ValToInt with the limits -2147483648..2147483647.
int32_t ValToLng(Variant& v);
int32_t ValToLng(const std::string& text);

// a = b only when they differ (so that a change event fires only on a real change).
template <class A, class B> void SetIfDiff(A& a, const B& b) {
    if (!(a == b)) a = b;
}

// ---- text -----------------------------------------------------------------------------------------

// count characters, character k having the code bytes[start + k]. Bytes outside the array are not read.
std::string ByteToStr(std::span<const uint8_t> bytes, int start, int count);
// s with every '*' and NUL replaced by '_'.
std::string AstToUnder(const std::string& s);
// s without any '*', '_' or NUL, then without leading and trailing blanks (how model names are shown).
std::string DelMark(const std::string& s);
// s without any ',' and '"' (comment text before it goes into a group file).
std::string DelCommaQuote(const std::string& s);

// "0x" and the last 2, 4 or 8 digits of v in upper-case hexadecimal (two's complement: -1 -> "0xFF").
std::string HexB0x(int32_t v);
std::string HexW0x(int32_t v);
std::string HexL0x(int32_t v);
// The last two upper-case hexadecimal digits, no prefix: how parameter and step numbers are shown.
std::string Hex2(int32_t v);

// ---- amplifier and catalogue ----------------------------------------------------------------------

// Version key of the connected amplifier from CpuVer, appended to the names of preset, definition and
// positioning files: "_" & (i + 1) & major(i) & minor(1) for each present entry i. Installed file names
// depend on exactly this form, including the minor version taken from entry 1 for every entry.
std::string GetVerKey();
// Series key by series code, "???" for an unknown code.
std::string GetSeriesKey(int16_t code);
// True when a filled row of the model catalogue has this series key and model key.
bool ChkKisyuList(const std::string& series, const std::string& model);
// The first encoder-table row among 1..50 that is present and has this code; 0 when there is none.
int16_t GetMoniItem(int32_t code);

// ---- user interface -------------------------------------------------------------------------------

// A Yes/No question; True unless the answer is No.
bool MsgYesNo(const std::string& prompt, const std::string& title);
// True when a loaded window has this form name.
bool IsFrmLoad(const std::string& name);
// all: select the whole text; otherwise the caret after the last character, nothing selected.
void SelTxt(QLineEdit* box, bool all);

// ---- paths and files ------------------------------------------------------------------------------

// folder & "\" & file, without a second separator when folder already ends with one.
std::string AddPath(const std::string& folder, const std::string& file);
// A file of the program folder, e.g. AppPath("ini\\def\\default.DEF"), as a real path (existing
// components found without regard to case).
std::string AppPath(const std::string& file);

// Appends text and CR LF to a file (created when missing), in the program's file code page.
// Opens and closes the file on each call, so the line is on disk when it returns.
bool AppendTextLine(const std::string& path, const std::string& text);

// The trace switch of the per-user settings (section "Log", key "Switch", default "OFF"): reads it and
// writes it back so that the key exists; when it is anything but "OFF" appends text as one line to
// AppPath(file).
void WrtLogSwitch(const std::string& text, const std::string& file);

// True when the machine can no longer create windows (the user has been told). Screens call it before
// they open a large window or print, and give up on True.
bool ChkResourceSmall();
