// What the parameter screens decide, apart from their widgets: which parameter a grid row shows, the page
// arithmetic and its wrap, the pages a family R amplifier is asked for, the words of the EEPROM offer and
// of the print dialog, the EEPROM change list, the value entry's hexadecimal and bit forms, and the typed
// buffer of the list windows. Everything reads the shared tables and counts as they are at the call.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A row with no parameter.
constexpr int NoPrm = 65535;
// Rows of one grid page.
constexpr int ParaRows = 8;

// Hex(value) in upper case with a leading "0" below 16: "0A", "1F", "100".
std::string HexPad2(int value);
// Last 16-bit system number of the EEPROM dialog's system scope: for family R every number up to 255,
// for the others the system parameters the series declares, at most 255.
int16_t Prm16SysLast();

// ---- paging -------------------------------------------------------------------------------------------

// The tabs of the editor.
enum class ParaTab { EditAll, Select, Edit32, Select32 };
inline bool Is32(ParaTab t) {
    return t == ParaTab::Edit32 || t == ParaTab::Select32;
}
inline bool IsSelect(ParaTab t) {
    return t == ParaTab::Select || t == ParaTab::Select32;
}

// Last number shown in the current operating mode: Prm16Max - 1 in normal mode, Prm16MaxAll (at most
// 256) in the internal and SE modes; the 32-bit twin is the count in force minus 1.
int ParaLast(bool is32);
// Parameter number at list position pos of tab, or NoPrm. The edit tabs never reach past the last
// number, so rows hidden in normal mode stay empty.
int GetPrmIdx(ParaTab tab, int pos);
// Last page of tab (0 when a select tab has nothing selected).
int LastPage(ParaTab tab);
// The page a request for page lands on: past the end wraps to 0, below 0 to lastPage, and a page whose
// first row is empty to 0.
int GoToPage(ParaTab tab, int page, int lastPage);
// The page label: the first position in two hexadecimal digits.
std::string PageLabel(int page);

struct PageRow {
    int page;
    int row;
};
// Where the Up (up = true) or Down key leads from row of page: within the page, or to the neighbouring
// page (wrapping), where the row is made the last filled one.
PageRow KeyNav(ParaTab tab, int page, int row, bool up, int lastPage);
// The last filled row at or above row on page (-1 when none).
int FilledRowAtOrAbove(ParaTab tab, int page, int row);

// ---- family R page requests -----------------------------------------------------------------------------

struct PageReq {
    bool system; // a system page (numbers from 128 for 16 bits, from Prm32Max for 32 bits)
    int page;
};
// The 16-bit pages (16 numbers each) that cover screen page p of an edit tab: chosen by table number, so
// that neither a page below 0 nor one past 255 is ever asked for.
std::vector<PageReq> Pages16For(int screenPage);
// The 32-bit pages (8 numbers each) that cover screen page p: a screen page that straddles the user and
// system numbers takes the user page and then the system pages, so that the system values win.
std::vector<PageReq> Pages32For(int screenPage);
// Last 32-bit user and system pages (-1 when there are none).
int LastUsr32Page();
int LastSys32Page();

// ---- words --------------------------------------------------------------------------------------------

namespace EepWord {
inline const std::string UserExplicit = "/USER/明示的に書込";
inline const std::string SystemExplicit = "/SYSTEM/明示的に書込";
inline const std::string AllImplicit = "/ALL/暗黙的に書込";
inline const std::string UserImplicit = "/USER/暗黙的に書込";
inline const std::string SystemImplicit = "/SYSTEM/暗黙的に書込";
inline const std::string Explicit = "/明示的に書込";
inline const std::string IfNotRead = "/未だなら読む";
inline const std::string ForcedAll = "/強制設定/ALL";
inline const std::string ForcedSystem = "/強制設定/SYSTEM";
inline const std::string ForcedUser = "/強制設定/USER";
} // namespace EepWord

// The EEPROM offer when the editor closes, from the operating mode and the sent flags; "" for none.
std::string CloseOfferWord(int16_t level, int16_t usrSent, int16_t sysSent);
// The print dialog's answer: "cancel", or " para16" and / or " para32" in that order.
std::string ParaPrnWord(bool para16, bool para32);
// Parameters the lists print: every 16-bit number the mode shows (at most 256), and the 32-bit count.
int16_t PrintCount16(int16_t level);
int16_t PrintCount32(int16_t level);

// ---- EEPROM change list -----------------------------------------------------------------------------------

struct EepRange {
    int first16 = 0, last16 = 0;
    int first32 = 0, last32 = 0;
};
// The number ranges of the scope in flags: "/USER", "/SYSTEM", "/ALL" tested in that order, the last match
// winning; none gives 0..0.
EepRange EepRanges(const std::string& flags);

struct EepRow {
    std::string type; // "Prm16" or "Prm32"
    std::string number;
    std::string title;
    std::string before;
    std::string after;
};
// Every parameter of the scope whose value differs from axis's EEPROM copy, 16-bit rows first. Read-only
// parameters and 16-bit numbers past 255 (the copy holds no value for them) are left out.
std::vector<EepRow> BuildChangeList(const std::string& flags, int axis);

// The scope the OK button writes: first match of "/ALL", "/SYSTEM", "/USER"; "" for none.
std::string EepWriteScope(const std::string& flags);

// ---- value entry
// -------------------------------------------------------------------------------------------

// Upper-case hexadecimal without leading zeros; a negative value as its four-digit 16-bit pattern.
std::string FormatHex16(int16_t v);
// Reads text as hexadecimal up to its first non-hexadecimal character (none reads as 0): up to four
// digits are a 16-bit pattern, more a 32-bit one; more than eight digits and the result are clamped to
// -32768..32767.
int16_t ParseHex16(const std::string& text);

// ---- list windows -----------------------------------------------------------------------------------------

// The typed buffer of a list window's value cell: digits and "-" up to maxLen characters, Backspace.
class CellBuffer {
  public:
    explicit CellBuffer(int maxLen) : maxLen_(maxLen) {}
    void Clear() { text_.clear(); }
    // True when key changed the buffer.
    bool Key(char key);
    bool Backspace();
    const std::string& Text() const { return text_; }

  private:
    int maxLen_;
    std::string text_;
};

// ---- commit
// ------------------------------------------------------------------------------------------------

// The value of a typed number: optional blanks and sign, digits with an optional fraction and exponent.
// False for anything else, and for a number too large for a double.
bool ParseNumber(const std::string& text, double& value);
