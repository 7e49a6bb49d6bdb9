#include "params/ParaLogic.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/Glb.h"
#include "app/Uty.h"
#include "comm/TeskCmd.h"
#include "data/PrmGlb.h"
#include "data/PrmTbl.h"
#include "platform/Numbers.h"

std::string HexPad2(int value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(value));
    std::string s = buf;
    if (value >= 0 && value < 16) s = "0" + s;
    return s;
}

int16_t Prm16SysLast() {
    if (KisyuCode == 25) return 255;
    return static_cast<int16_t>(std::min(255, Prm16MaxSys + Prm16SysCnt - 1));
}

// ---- paging -------------------------------------------------------------------------------------------

int ParaLast(bool is32) {
    if (is32) return (UserLevel >= 2 ? Prm32MaxAll : Prm32Max) - 1;
    return UserLevel >= 2 ? std::min<int>(Prm16MaxAll, PrmCnt - 1) : Prm16Max - 1;
}

int GetPrmIdx(ParaTab tab, int pos) {
    const bool is32 = Is32(tab);
    const int last = ParaLast(is32);
    if (pos < 0) return NoPrm;
    if (!IsSelect(tab)) return pos <= last ? pos : NoPrm;
    int seen = 0;
    for (int n = 0; n <= last; ++n) {
        const bool selected =
            is32 ? ChkPrm32Type(n, PrmTypeSelected) != 0 : ChkPrmType(n, PrmTypeSelected) != 0;
        if (selected && seen++ == pos) return n;
    }
    return NoPrm;
}

int LastPage(ParaTab tab) {
    if (!IsSelect(tab)) return std::max(0, ParaLast(Is32(tab))) / ParaRows;
    const bool is32 = Is32(tab);
    int count = 0;
    for (int n = 0; n <= ParaLast(is32); ++n)
        if (is32 ? ChkPrm32Type(n, PrmTypeSelected) != 0 : ChkPrmType(n, PrmTypeSelected) != 0) ++count;
    return count == 0 ? 0 : (count - 1) / ParaRows;
}

int GoToPage(ParaTab tab, int page, int lastPage) {
    if (page * ParaRows > ParaLast(Is32(tab)) || page > lastPage) page = 0;
    if (page < 0) page = lastPage;
    if (GetPrmIdx(tab, page * ParaRows) == NoPrm) page = 0;
    return page;
}

std::string PageLabel(int page) {
    const std::string h = "00" + HexPad2(page * ParaRows);
    return h.substr(h.size() - 2);
}

int FilledRowAtOrAbove(ParaTab tab, int page, int row) {
    while (row >= 0 && GetPrmIdx(tab, page * ParaRows + row) == NoPrm)
        --row;
    return row;
}

PageRow KeyNav(ParaTab tab, int page, int row, bool up, int lastPage) {
    if (up) {
        if (row > 0) return {page, row - 1};
        const int p = GoToPage(tab, page - 1, lastPage);
        return {p, std::max(0, FilledRowAtOrAbove(tab, p, ParaRows - 1))};
    }
    if (row < ParaRows - 1) {
        if (GetPrmIdx(tab, page * ParaRows + row + 1) != NoPrm) return {page, row + 1};
        return {GoToPage(tab, 0, lastPage), 0};
    }
    return {GoToPage(tab, page + 1, lastPage), 0};
}

// ---- family R page requests -----------------------------------------------------------------------------

std::vector<PageReq> Pages16For(int screenPage) {
    const int first = screenPage * ParaRows;
    if (first < 0 || first > 255) return {};
    if (first < 128) return {{false, first / 16}};
    return {{true, (first - 128) / 16}};
}

int LastUsr32Page() {
    return Prm32Max >= 1 ? (Prm32Max - 1) / 8 : -1;
}
int LastSys32Page() {
    return Prm32MaxSys - Prm32Max >= 1 ? (Prm32MaxSys - Prm32Max - 1) / 8 : -1;
}

std::vector<PageReq> Pages32For(int screenPage) {
    std::vector<PageReq> out;
    if (screenPage < 0) return out;
    auto add = [&](PageReq r) {
        for (const PageReq& o : out)
            if (o.system == r.system && o.page == r.page) return;
        out.push_back(r);
    };
    const int last = std::min<int>(screenPage * ParaRows + ParaRows - 1, Prm32MaxSys - 1);
    for (int n = screenPage * ParaRows; n <= last; ++n)
        if (n < Prm32Max) add({false, n / 8});
    for (int n = std::max<int>(screenPage * ParaRows, Prm32Max); n <= last; ++n)
        add({true, (n - Prm32Max) / 8});
    return out;
}

// ---- words --------------------------------------------------------------------------------------------

std::string CloseOfferWord(int16_t level, int16_t usrSent, int16_t sysSent) {
    const bool usr = usrSent == -1;
    const bool sys = sysSent == -1;
    if (level < 2) return usr ? EepWord::UserImplicit : "";
    if (usr && sys) return EepWord::AllImplicit;
    if (usr) return EepWord::UserImplicit;
    if (sys) return EepWord::SystemImplicit;
    return "";
}

std::string ParaPrnWord(bool para16, bool para32) {
    if (!para16 && !para32) return "cancel";
    std::string s;
    if (para16) s += " para16";
    if (para32) s += " para32";
    return s;
}

int16_t PrintCount16(int16_t level) {
    return static_cast<int16_t>(level >= 2 ? std::min(PrmCnt - 1, Prm16MaxAll + 1) : Prm16Max);
}

int16_t PrintCount32(int16_t level) {
    return level >= 2 ? Prm32MaxAll : Prm32Max;
}

// ---- EEPROM change list -----------------------------------------------------------------------------------

EepRange EepRanges(const std::string& flags) {
    EepRange r;
    auto has = [&](const char* w) { return flags.find(w) != std::string::npos; };
    if (has("/USER")) r = {0, Prm16Max - 1, 0, Prm32Max - 1};
    if (has("/SYSTEM")) r = {Prm16MaxSys, Prm16SysLast(), Prm32Max, Prm32MaxAll - 1};
    if (has("/ALL")) r = {0, Prm16SysLast(), 0, Prm32MaxAll - 1};
    return r;
}

std::vector<EepRow> BuildChangeList(const std::string& flags, int axis) {
    std::vector<EepRow> rows;
    if (axis < 0 || axis >= PrmCmpAxisCnt) return rows;
    const EepRange r = EepRanges(flags);
    for (int n = std::max(0, r.first16); n <= std::min(255, r.last16); ++n) {
        if (ChkPrmAttr(n, PrmAttrReadOnly2) || PrmVal[n] == PrmCmpVal[axis][n] ||
            ChkPrmAttr(n, PrmAttrReadOnly))
            continue;
        rows.push_back({"Prm16", Hex2(n), PrmAttr[n].name, std::to_string(PrmCmpVal[axis][n]),
                        std::to_string(PrmVal[n])});
    }
    if (Prm32Cnt == 0) return rows;
    for (int n = std::max(0, r.first32); n <= std::min(PrmCnt - 1, r.last32); ++n) {
        if (ChkPrm32Attr(n, PrmAttrReadOnly2) || Prm32Val[n] == Prm32CmpVal[axis][n] ||
            ChkPrm32Attr(n, PrmAttrReadOnly))
            continue;
        rows.push_back({"Prm32", Hex2(n), Prm32Attr[n].name, std::to_string(Prm32CmpVal[axis][n]),
                        std::to_string(Prm32Val[n])});
    }
    return rows;
}

std::string EepWriteScope(const std::string& flags) {
    for (const char* w : {"/ALL", "/SYSTEM", "/USER"})
        if (flags.find(w) != std::string::npos) return w;
    return "";
}

// ---- value entry
// -------------------------------------------------------------------------------------------

std::string FormatHex16(int16_t v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(static_cast<uint16_t>(v)));
    return buf;
}

int16_t ParseHex16(const std::string& text) {
    size_t n = 0;
    while (n < text.size() && std::isxdigit(static_cast<unsigned char>(text[n])))
        ++n;
    if (n == 0) return 0;
    if (n > 8) return 32767; // beyond any 32-bit pattern: clamped as the largest value
    const uint32_t u = static_cast<uint32_t>(std::strtoul(text.substr(0, n).c_str(), nullptr, 16));
    const int64_t v = n <= 4 ? static_cast<int16_t>(static_cast<uint16_t>(u)) : static_cast<int32_t>(u);
    return static_cast<int16_t>(std::clamp<int64_t>(v, -32768, 32767));
}

// ---- list windows -----------------------------------------------------------------------------------------

bool CellBuffer::Key(char key) {
    if (!(std::isdigit(static_cast<unsigned char>(key)) || key == '-')) return false;
    if (static_cast<int>(text_.size()) >= maxLen_) return false;
    text_ += key;
    return true;
}

bool CellBuffer::Backspace() {
    if (text_.empty()) return false;
    text_.pop_back();
    return true;
}

// ---- commit
// ------------------------------------------------------------------------------------------------

bool ParseNumber(const std::string& text, double& value) {
    // The rule of the file readers: a number beyond the range of a double is no number, never an
    // infinity that the write would quietly clamp to the row's limit.
    const auto v = plat::ParseDouble(text);
    if (!v || !std::isfinite(*v)) return false;
    value = *v;
    return true;
}
