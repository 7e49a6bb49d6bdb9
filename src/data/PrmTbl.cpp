#include "data/PrmTbl.h"

#include "app/Glb.h"
#include "app/Uty.h"
#include "comm/ComCore.h"
#include "data/DefFil.h"
#include "data/PrmGlb.h"
#include "platform/Ask.h"

#include <algorithm>

int16_t PrmVal[PrmCnt];
PrmAttrRec PrmAttr[PrmCnt];
int32_t Prm32Val[PrmCnt];
Prm32AttrRec Prm32Attr[PrmCnt];

int16_t PrmValAxis[PrmAxisCnt][PrmCnt];
int32_t Prm32ValAxis[PrmAxisCnt][PrmCnt];
int16_t PrmFlg = 0;
int16_t PrmIsAmp = 0;
int16_t AxisPrmFlag[PrmAxisCnt];
int16_t AxisPrmSrc[PrmAxisCnt];

int16_t PrmCmpVal[PrmCmpAxisCnt][PrmCnt];
int32_t Prm32CmpVal[PrmCmpAxisCnt][PrmCnt];
int16_t PrmCmpDone[PrmCmpAxisCnt];
int16_t Prm32CmpDone[PrmCmpAxisCnt];

int32_t PrmSrc = 0;
std::string PrmSrcMei;
int16_t UsrPrmSent = 0;
int16_t SysPrmSent = 0;

namespace {

constexpr int16_t True = -1;
constexpr int16_t False = 0;

bool InTable(int n) {
    return n >= 0 && n < PrmCnt;
}

// The attribute rules shared by both tables.
template <class V, class Rec> V SetValue(V* values, const Rec* attrs, int n, V value) {
    if (!InTable(n)) return 0;
    const Rec& a = attrs[n];
    if ((a.Attr & PrmAttrSystem) && UserLevel < 2) return values[n];
    if (a.Attr & (PrmAttrReadOnly | PrmAttrReadOnly2)) return values[n];
    if (value < a.Min)
        values[n] = a.Min;
    else if (value > a.Max)
        values[n] = a.Max;
    else
        values[n] = value;
    return values[n];
}

std::string TrimBlanks(const std::string& s) {
    const size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// Checks numbers 0..last of one table; system selects the parameters with the system bit, else those
// without it.
template <class V, class Rec>
int16_t CheckRange(const V* values, const Rec* attrs, int last, bool system, const char* title) {
    last = std::min(last, PrmCnt - 1);
    for (int n = 0; n <= last; ++n) {
        const Rec& a = attrs[n];
        if (((a.Attr & PrmAttrSystem) != 0) != system) continue;
        const char* what = nullptr;
        if (values[n] < a.Min)
            what = ") value is too small.";
        else if (values[n] > a.Max)
            what = ") value is too large.";
        if (what) {
            plat::MsgBox(TrimBlanks(a.name) + "(No" + Hex2(n) + what, plat::Buttons::Ok, plat::Icon::None,
                         title);
            return False;
        }
    }
    return True;
}

// Copies numbers 0..last between the current table and one axis's copy.
template <class V> void CopyAxis(V* table, V (*axisTable)[PrmCnt], int axis, int last, bool toAxis) {
    if (axis < 0 || axis >= PrmAxisCnt) return;
    last = std::min(last, PrmCnt - 1);
    for (int n = 0; n <= last; ++n) {
        if (toAxis)
            axisTable[axis][n] = table[n];
        else
            table[n] = axisTable[axis][n];
    }
}

int16_t Int16(int16_t file) {
    return FIL_ReadValue(file).ToInt16();
}
int32_t Int32(int16_t file) {
    return FIL_ReadValue(file).ToInt32();
}

} // namespace

int16_t SetPrmVal(int n, int16_t value) {
    return SetValue(PrmVal, PrmAttr, n, value);
}

int32_t SetPrm32Val(int n, int32_t value) {
    return SetValue(Prm32Val, Prm32Attr, n, value);
}

int16_t ChkPrmAttr(int n, int32_t mask) {
    return InTable(n) && (PrmAttr[n].Attr & mask) ? True : False;
}
int16_t ChkPrmType(int n, int32_t mask) {
    return InTable(n) && (PrmAttr[n].Type & mask) ? True : False;
}
int16_t ChkPrm32Attr(int n, int32_t mask) {
    return InTable(n) && (Prm32Attr[n].Attr & mask) ? True : False;
}
int16_t ChkPrm32Type(int n, int32_t mask) {
    return InTable(n) && (Prm32Attr[n].Type & mask) ? True : False;
}

int16_t ChkUsrPrmData() {
    return CheckRange(PrmVal, PrmAttr, Prm16Max - 1, false, "16bit parameter value");
}
int16_t ChkSysPrmData() {
    return CheckRange(PrmVal, PrmAttr, Prm16MaxAll, true, "16bit parameter value");
}
int16_t ChkUsrPrm32Data() {
    return CheckRange(Prm32Val, Prm32Attr, Prm32Max - 1, false, "32bit parameter value");
}
int16_t ChkSysPrm32Data() {
    return CheckRange(Prm32Val, Prm32Attr, Prm32MaxAll - 1, true, "32bit parameter value");
}

int32_t PrmSum(int from, int to) {
    int32_t sum = 0;
    for (int i = std::max(from, 0); i < std::min(to, PrmCnt); ++i)
        sum += PrmVal[i];
    // Two's complement wrap: a plain remainder would leave a negative sum below -32768.
    return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(sum) & 0xFFFFu));
}

int16_t Prm16LastFor(int16_t level) {
    return level < 2 ? static_cast<int16_t>(Prm16Max - 1) : Prm16MaxAll;
}

int16_t Prm32LastFor(int16_t level) {
    return static_cast<int16_t>(level < 2 ? Prm32Max - 1 : Prm32MaxSys - 1);
}

void SavePrmToAxis(int axis) {
    if (axis < 0 || axis >= PrmAxisCnt) return;
    CopyAxis(PrmVal, PrmValAxis, axis, Prm16MaxAll, true);
    AxisPrmFlag[axis] = PrmFlg;
    AxisPrmSrc[axis] = PrmIsAmp;
}

void LoadPrmFromAxis(int axis) {
    if (axis < 0 || axis >= PrmAxisCnt) return;
    CopyAxis(PrmVal, PrmValAxis, axis, Prm16MaxAll, false);
    PrmFlg = AxisPrmFlag[axis];
    PrmIsAmp = AxisPrmSrc[axis];
}

void SavePrm32ToAxis(int axis) {
    CopyAxis(Prm32Val, Prm32ValAxis, axis, Prm32MaxAll - 1, true);
}

void LoadPrm32FromAxis(int axis) {
    CopyAxis(Prm32Val, Prm32ValAxis, axis, Prm32MaxAll - 1, false);
}

std::function<void()>& PrmSrcNotice() {
    static std::function<void()> notice;
    return notice;
}

void SetPrmSrc(int32_t kind, const std::string& title) {
    PrmSrc = kind;
    switch (kind) {
    case 1:
        PrmSrcMei = "Read-out value from the amplifier.";
        UsrPrmSent = SysPrmSent = True;
        break;
    case 2:
        PrmSrcMei = "Value read from the file.";
        UsrPrmSent = SysPrmSent = False;
        break;
    case 3:
        PrmSrcMei = "Default";
        UsrPrmSent = SysPrmSent = False;
        break;
    default:
        break;
    }
    if (!title.empty()) PrmSrcMei = title;
    if (PrmSrcNotice()) PrmSrcNotice()();
}

PrmRecvSteps& PrmRecv() {
    static PrmRecvSteps steps;
    return steps;
}

int16_t PrmZenZyuShin() {
    static const char* const kTitle = "Parameter reception";
    const PrmRecvSteps& s = PrmRecv();
    const int16_t linked = s.chkComm ? s.chkComm(1, kTitle) : ChkComm(1, kTitle);
    if (!linked) return False;

    bool allGood = true;
    // Each step runs whatever the others did; a failed one is told on its own.
    auto step = [&allGood](bool ok, const char* failure) {
        if (ok) return;
        allGood = false;
        if (failure) plat::MsgBox(failure, plat::Buttons::Ok, plat::Icon::None, kTitle);
    };
    auto pages = [](const std::function<int16_t(int16_t, int16_t)>& fn, int first, int last) {
        return fn && fn(static_cast<int16_t>(first), static_cast<int16_t>(last)) != 0;
    };

    if (CmdFamily == 1) {
        RetVar = s.prmJuShinK ? s.prmJuShinK() : int16_t(0);
        step(RetVar.ToInt16() == True, nullptr);
    } else if (KisyuCode == 25) {
        step(pages(s.usrPrm16ZyuShin, 0, 7), "Communication failed in 16bit user parameter");
        if (Prm32Cnt == True && Prm32Max > 0)
            step(pages(s.usrPrm32ZyuShin, 0, (Prm32Max - 1) / 8),
                 "Communication failed in 32bit user parameter");
        step(pages(s.sysPrm16ZyuShin, 0, 7), "Communication failed in 16bit system parameter");
        if (Prm32Cnt == True && Prm32MaxSys - Prm32Max >= 1)
            step(pages(s.sysPrm32ZyuShin, 0, (Prm32MaxSys - Prm32Max - 1) / 8),
                 "Communication failed in 32bit system parameter");
    } else {
        step(s.usrPrmJuShinM && s.usrPrmJuShinM() != 0, "Communication failed in 16bit user parameter");
        step(s.sysPrmJuShinM && s.sysPrmJuShinM() != 0, "Communication failed in 16bit system parameter");
    }

    // Part of the tables may be new and part old: only a complete receive is the amplifier's set.
    if (allGood) {
        SetPrmSrc(1, "");
        return True;
    }
    UsrPrmSent = SysPrmSent = False;
    if (PrmSrcNotice()) PrmSrcNotice()();
    return False;
}

void FIL_LoadParaMenu(int16_t file, int16_t index) {
    FIL_CheckIndex(index, 0, PrmCnt - 1, "PARA MENU");
    // Read whole before storing, so a record that fails part-way leaves the old one.
    PrmAttrRec r;
    r.name = FIL_ReadString(file);
    r.Min = Int16(file);
    r.Max = Int16(file);
    r.Attr = Int16(file);
    r.Type = Int16(file);
    for (std::string& g : r.Guide)
        g = FIL_ReadString(file);
    PrmAttr[index] = std::move(r);
}

void FIL_LoadParaMenu32(int16_t file, int16_t index) {
    FIL_CheckIndex(index, 0, PrmCnt - 1, "PARA MENU32");
    Prm32AttrRec r;
    r.name = FIL_ReadString(file);
    r.Min = Int32(file);
    r.Max = Int32(file);
    r.Attr = Int32(file);
    r.Type = Int32(file);
    for (std::string& g : r.Guide)
        g = FIL_ReadString(file);
    Prm32Attr[index] = std::move(r);
}

void WirePrmTbl() {
    FIL_PrmSrcHook = SetPrmSrc;
}
