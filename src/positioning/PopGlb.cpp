#include "positioning/PopGlb.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <limits>
#include <memory>

#include "app/Glb.h"
#include "app/Log.h"
#include "app/Uty.h"
#include "data/DefFil.h"
#include "platform/Ask.h"
#include "platform/Numbers.h"

int16_t PopEnable = 0;
int16_t PopStepCnt[4] = {};
int16_t Pop16Cnt[4] = {};
int16_t Pop32Cnt[4] = {};
Variant PopPosMin;
Variant PopPosMax;
PopItemRec PopItem[PopItemCols][PopItemRows];
std::string LblTxt[LblTxtCnt][LblTxtCnt];
PopStepRec PopStep[PopStepTblCnt];
PopStepRec PopStepBak[PopStepTblCnt];
PopPrmRec Pop16Prm[PopPrmCnt];
PopPrmRec Pop32Prm[PopPrmCnt];
PopPrmRec Pop16PrmBak[PopPrmCnt];
PopPrmRec Pop32PrmBak[PopPrmCnt];

int32_t PopSrc = 3;
std::string PopSrcName = "Default";
int16_t PopSent = 0;
std::function<void()> PopDataSourceChanged;

void SetPopDataSource(int32_t kind, const std::string& title) {
    PopSrc = kind;
    switch (kind) {
    case 1:
        PopSrcName = "Read-out value from the amplifier.";
        PopSent = -1;
        break;
    case 2:
        PopSrcName = "Value read from the file.";
        PopSent = 0;
        break;
    case 3:
        PopSrcName = "Default";
        PopSent = 0;
        break;
    default:
        break; // other kinds keep the caption and the flag
    }
    if (!title.empty()) PopSrcName = title;
    if (PopDataSourceChanged) PopDataSourceChanged();
}

std::string PopPosText(const PopStepRec& step) {
    return step.PosEmpty ? std::string() : std::to_string(step.Position);
}

std::optional<PopPos> PopPosParse(const std::string& text) {
    size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t'))
        ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t'))
        --e;
    if (b == e) return PopPos{};
    const char* first = text.data() + b;
    const char* last = text.data() + e;
    if (*first == '+' && ++first != last && *first == '-') return std::nullopt; // from_chars takes only '-'
    int64_t v = 0;
    const auto r = std::from_chars(first, last, v);
    if (r.ec != std::errc() || r.ptr != last) return std::nullopt;
    return PopPos{v, false};
}

namespace {

int Span(const int16_t (&cnt)[4], int size) {
    return std::clamp<int>(std::max(cnt[2], cnt[3]), 0, size);
}

} // namespace

int PopStepSpan() {
    return Span(PopStepCnt, PopStepTblCnt);
}
int Pop16Span() {
    return Span(Pop16Cnt, PopPrmCnt);
}
int Pop32Span() {
    return Span(Pop32Cnt, PopPrmCnt);
}

void BackupPopData() {
    std::copy_n(PopStep, PopStepSpan(), PopStepBak);
    std::copy_n(Pop16Prm, Pop16Span(), Pop16PrmBak);
    std::copy_n(Pop32Prm, Pop32Span(), Pop32PrmBak);
}

void RestorePopData() {
    std::copy_n(PopStepBak, PopStepSpan(), PopStep);
    for (int i = 0; i < Pop16Span(); ++i)
        Pop16Prm[i].Value = Pop16PrmBak[i].Value;
    for (int i = 0; i < Pop32Span(); ++i)
        Pop32Prm[i].Value = Pop32PrmBak[i].Value;
}

int16_t POP_Load(const std::string& path, int16_t /*seriesCode*/, bool showError) {
    log("POP_Load:" + path, LogOther);
    if (path.empty()) return plat::VbFalse;

    // A file that fails changes nothing: half a file would mix two data sets never meant to go together.
    const int16_t result = FIL_ReadGroupFile(path, plat::VbFalse);
    if (result == plat::VbTrue) return result;
    if (showError)
        plat::MsgBox("Reading failed.", plat::Buttons::Ok, plat::Icon::Exclamation,
                     "Positining parameter reading error");
    return plat::VbFalse;
}

namespace {

// A preset file and its numbered follow-ups; True when the first one was read.
int16_t LoadPopFiles(const std::string& base) {
    if (POP_Load(AppPath(base + ".NCP"), KisyuCode, false) != plat::VbTrue) return plat::VbFalse;
    for (int n = 0; n <= 0xFF; ++n)
        if (POP_Load(AppPath(base + Hex2(n) + ".NCP"), KisyuCode, false) != plat::VbTrue) break;
    return plat::VbTrue;
}

} // namespace

int16_t LoadPopDefault(const std::string& modelName, bool showModelMessage) {
    const std::string folder = "ini\\prm\\" + KisyuKey + "\\";
    if (LoadPopFiles(folder + KisyuKey) != plat::VbTrue) {
        plat::MsgBox(
            "Can not read the file of preset standard value of positioning parameter according to the "
            "series.  ",
            plat::Buttons::Ok, plat::Icon::Exclamation, "Reading of the default");
        return plat::VbFalse;
    }
    if (LoadPopFiles(folder + modelName) != plat::VbTrue && showModelMessage && ExtV25Opt[1] != 0)
        plat::MsgBox(
            "Can not read the file of preset standard value of positioning parameter according to the "
            "model. Standerd preset values of " +
                KisyuKey + " series are used.",
            plat::Buttons::Ok, plat::Icon::Exclamation, "Reading of the default");
    LoadPopFiles(folder + modelName + GetVerKey());
    SetPopDataSource(3, "");
    return plat::VbTrue;
}

// ---- entries in use ------------------------------------------------------------------------------

int PopStepInUse() {
    return std::clamp<int>(PopStepCnt[3], 0, PopStepTblCnt);
}
int Pop16InUse() {
    return std::clamp<int>(Pop16Cnt[3], 0, PopPrmCnt);
}
int Pop32InUse() {
    return std::clamp<int>(Pop32Cnt[3], 0, PopPrmCnt);
}

std::string PopNo(int n) {
    if (n >= 0 && n < 256) return Hex2(n);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(n));
    return buf;
}

namespace {

// A limit text of the definition as an exact value: beyond the 64-bit range it is clamped into it.
int64_t PosLimit(const Variant& v, int64_t none) {
    if (v.IsEmpty()) return none;
    const std::string text = v.ToText();
    if (auto p = PopPosParse(text); p && !p->empty) return p->value;
    size_t b = text.find_first_not_of(" \t");
    if (b == std::string::npos) return none;
    const bool neg = text[b] == '-';
    if (neg || text[b] == '+') ++b;
    const size_t e = text.find_last_not_of(" \t") + 1;
    if (b >= e || text.find_first_not_of("0123456789", b) < e) return none;
    return neg ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
}

} // namespace

int64_t PopPosLo() {
    return PosLimit(PopPosMin, std::numeric_limits<int64_t>::min());
}
int64_t PopPosHi() {
    return PosLimit(PopPosMax, std::numeric_limits<int64_t>::max());
}

PopAxisSnap& PopAxis(int axis) {
    // Large: kept on the heap, made on first use.
    static const std::unique_ptr<PopAxisSnap[]> snaps = std::make_unique<PopAxisSnap[]>(PopAxisCnt);
    return snaps[static_cast<size_t>(std::clamp(axis, 0, PopAxisCnt - 1))];
}

// ---- items, attributes, setters, checks ------------------------------------------------------------

std::string GetPopItmName(int column, int32_t code) {
    if (column < 0 || column >= PopItemCols) return {};
    for (const PopItemRec& r : PopItem[column])
        if (r.Code == code) return r.Name;
    return {};
}

namespace {

bool AttrHas(const PopPrmRec* tbl, int n, int32_t mask) {
    return n >= 0 && n < PopPrmCnt && (tbl[n].Attr & mask) != 0;
}

int32_t SetPopVal(PopPrmRec* tbl, int n, int32_t value) {
    if (n < 0 || n >= PopPrmCnt) return 0;
    PopPrmRec& p = tbl[n];
    if ((p.Attr & 8) != 0 && UserLevel < 2) return p.Value;
    if ((p.Attr & 128) != 0)
        p.Value = 0;
    else
        p.Value = std::clamp(value, std::min(p.Min, p.Max), std::max(p.Min, p.Max));
    return p.Value;
}

bool Fault(const std::string& text, const char* title) {
    plat::MsgBox(text, plat::Buttons::Ok, plat::Icon::Exclamation, title);
    return false;
}

std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(' ');
    return b == std::string::npos ? std::string() : s.substr(b, s.find_last_not_of(' ') + 1 - b);
}

bool ChkPrmTable(const PopPrmRec* tbl, int count, const char* title) {
    for (int i = 0; i < count; ++i) {
        const PopPrmRec& p = tbl[i];
        const std::string who = Trim(p.Name) + "(No" + PopNo(i) + ")";
        if (p.Value < p.Min) return Fault(who + " value is too small.", title);
        if (p.Value > p.Max) return Fault(who + " value is too large.", title);
    }
    return true;
}

} // namespace

bool ChkPop16Attr(int number, int32_t mask) {
    return AttrHas(Pop16Prm, number, mask);
}
bool ChkPop32Attr(int number, int32_t mask) {
    return AttrHas(Pop32Prm, number, mask);
}

int16_t SetPop16Val(int number, int32_t value) {
    return static_cast<int16_t>(SetPopVal(Pop16Prm, number, std::clamp(value, -32768, 32767)));
}
int32_t SetPop32Val(int number, int32_t value) {
    return SetPopVal(Pop32Prm, number, value);
}

bool ChkStepData() {
    static const char* const title = "Positioning parameter (Step) value";
    // Codes are looked up by value, as the lists show them: a code no entry has is not in range.
    static const struct {
        int column;
        const char* what;
        int16_t PopStepRec::*code;
    } codes[] = {{0, " vel not in range.", &PopStepRec::Vel},
                 {1, " acc not in range.", &PopStepRec::Acc},
                 {2, " dec not in range.", &PopStepRec::Dec},
                 {3, " mod not in range.", &PopStepRec::Mod},
                 {4, " blk not in range.", &PopStepRec::Blk}};
    const int64_t lo = PopPosLo(), hi = PopPosHi();
    for (int i = 0; i < PopStepInUse(); ++i) {
        const PopStepRec& s = PopStep[i];
        for (const auto& c : codes)
            if (GetPopItmName(c.column, s.*c.code).empty())
                return Fault("Step No" + PopNo(i) + c.what, title);
        if (PopPosValue(s) < lo) return Fault("Step No" + PopNo(i) + " value is too small.", title);
        if (PopPosValue(s) > hi) return Fault("Step No" + PopNo(i) + " value is too large.", title);
    }
    return true;
}

bool ChkPop16Data() {
    return ChkPrmTable(Pop16Prm, Pop16InUse(), "Positioning parameter (16 bits) value");
}
bool ChkPop32Data() {
    return ChkPrmTable(Pop32Prm, Pop32InUse(), "Positioning parameter (32 bits) value");
}

void ClrStepCmt(bool ask) {
    if (ask && plat::MsgBox("Do you clear comments for each steps ?", plat::Buttons::YesNo,
                            plat::Icon::Question, "Yes ?") != plat::Yes)
        return;
    for (int i = 0; i <= 512; ++i)
        PopStep[i].Comment.clear();
}
