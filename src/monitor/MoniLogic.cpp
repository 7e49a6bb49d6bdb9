#include "monitor/MoniLogic.h"

#include "app/FrmCaution.h"
#include "app/Glb.h"
#include "app/MainLogic.h"
#include "app/Uty.h"
#include "comm/Com.h"
#include "comm/ComCore.h"
#include "comm/ComReq.h"
#include "comm/RGlb.h"
#include "comm/TeskCmd.h"
#include "comm/TeskKGlb.h"
#include "comm/TeskR.h"
#include "data/PrmGlb.h"
#include "monitor/MonGlb.h"
#include "platform/Ask.h"
#include "platform/Numbers.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>

#include <algorithm>
#include <cstdio>

using plat::VbTrue;

namespace {

constexpr int kWarnRow = 10;
constexpr int kAlmRows = 14;  // rows of the alarm window
constexpr int kAlmRowsKM = 8; // history entries of families K and M
constexpr uint8_t kStatusMask = 0x38;

bool IsFamilyR() {
    return CurrentFamily() == CmdFamilyKind::R;
}

bool Bit(int32_t word, int n) {
    return (static_cast<uint32_t>(word) >> n & 1u) != 0;
}

// The speed, torque and position error into MonVal: family K by its line command, the others framed.
int16_t GetSpeed() {
    if (CurrentFamily() == CmdFamilyKind::K) return FamilyK().MonK ? FamilyK().MonK() : NoProcedure("MonK");
    return FamilyM().GetSpeedM ? FamilyM().GetSpeedM() : NoProcedure("GetSpeedM");
}

} // namespace

// ---- texts ------------------------------------------------------------------------------------------

std::string GeneralNumber(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    return buf;
}

std::string AlmCodeText(int code) {
    const std::string num = (code < 0 ? "" : " ") + std::to_string(code);
    if (code < 0 || code >= AlmCodeCnt) return num + " ?" + std::to_string(code);
    return num + " " + AlmName[code];
}

std::string AlmDetailText(int code) {
    if (code < 0 || code >= AlmCodeCnt) return {};
    return AlmTxt2[code] + AlmTxt3[code];
}

std::string CtrlModeText(int mode) {
    if (mode < 0 || mode >= CtrlModeCnt) return "?" + std::to_string(mode);
    return CtrlModeMenu[mode];
}

bool IsFullClosedMode(int mode) {
    return mode >= 0 && mode < CtrlModeCnt && FullCloseMode[mode] != 0;
}

std::string HexText(int32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", static_cast<uint32_t>(v));
    return buf;
}

std::string Hex4Text(int32_t v) {
    const std::string s = HexText(v);
    return s.size() > 4 ? s.substr(s.size() - 4) : s;
}

std::vector<std::string> WarnLines(int16_t warn) {
    std::vector<std::string> out;
    for (int i = 0; i < 16; ++i)
        if (Bit(warn, i)) out.push_back(BitName[kWarnRow][i]);
    return out;
}

std::vector<std::string> IoLines(int32_t word, int kind, int offset) {
    std::vector<std::string> out;
    for (int i = 0; i < 16; ++i) {
        const int n = i + offset;
        out.push_back(n < IoBitCnt ? IoName[kind][n][Bit(word, n) ? 1 : 2] : std::string());
    }
    return out;
}

std::vector<std::string> AbsoLines(int16_t stat) {
    std::vector<std::string> out;
    for (int i = 0; i < 16; ++i)
        out.push_back(AbsoMenu[i][Bit(stat, i) ? 1 : 2]);
    return out;
}

// ---- pages ------------------------------------------------------------------------------------------

std::vector<std::string> MoniTabs() {
    std::vector<std::string> tabs;
    if (MoniOptIo1) tabs.push_back(MoniText::Io1);
    if (MoniOptIo2) tabs.push_back(MoniText::Io2);
    tabs.push_back(MoniText::Pulse);
    if (MoniOptLoad) tabs.push_back(MoniText::Load);
    if (MoniOptAbso) tabs.push_back(MoniText::Abso);
    tabs.push_back(MoniText::FullClosed);
    return tabs;
}

int MoniPageOfTab(const std::string& caption) {
    if (caption == MoniText::Io1 || caption == MoniText::Io2) return 0;
    if (caption == MoniText::Load) return 1;
    if (caption == MoniText::Abso) return 2;
    if (caption == MoniText::Pulse) return 3;
    if (caption == MoniText::FullClosed) return 4;
    return -1;
}

bool MoniPageSupported(int page) {
    return page == 0 || IsFamilyR();
}

// ---- read cycles ------------------------------------------------------------------------------------

MoniCycle MoniReadCycle(const std::string& tab, int32_t& extFbPulseSum, int32_t& extScaleErr) {
    MoniCycle c;
    // Family K answers "ERROR" with -2: only -1 is a good read.
    if (ReadIoMon(MonIn, MonOut, MonCtrlMode, MonIoAux, MonWarn) != VbTrue) {
        c.outcome = PollOutcome::BackOff;
        return c;
    }
    c.alarmRead = ReadErrMon() == VbTrue;
    if (GetSpeed() != VbTrue) {
        c.outcome = PollOutcome::ReadFailed;
        return c;
    }
    const int page = MoniPageOfTab(tab);
    if (page <= 0 || !MoniPageSupported(page)) return c;

    bool ok = true;
    if (page == 2) {
        // Read into locals: a failed read must not show zeros as the encoder's data.
        int16_t code = 0, stat = 0, multi = 0;
        int32_t single = 0;
        ok = GetMoni13(code, stat, single, multi) == VbTrue;
        if (ok) {
            AbsEncCode = code;
            AbsEncStat = stat;
            AbsPosSingle = single;
            AbsPosMulti = multi;
        }
    } else {
        if (page == 4 && IsFullClosedMode(MonCtrlMode)) {
            int32_t a = 0, b = 0;
            ok = GetMoni14(a, b) == VbTrue;
            if (ok) {
                extFbPulseSum = a;
                extScaleErr = b;
                c.extScale = true;
            }
        }
        if (ok) ok = GetMoniSpd(CmdPulseSum, FbPulseSum, LoadRate, RegenRate) == VbTrue;
    }
    ComResult = plat::VbBool(ok);
    c.pageRead = ok;
    c.pageFailed = !ok;
    return c;
}

bool AlmReadCycle() {
    if (ComBusyGet() != 0) return false;
    const bool r = IsFamilyR();
    if (ReadErrMon() != VbTrue) return false;
    if (r && GetAlmTimNow(AlmTimNow) != VbTrue) return false;
    if (r && ReadAlmExtA() != VbTrue) return false;
    // The system history is a family R request; the other families show their alarm history.
    const int16_t hist = (UserLevel < 2 || !r) ? ReadAlmHist() : ReadAlmExtB();
    if (hist != VbTrue) return false;
    if (r && GetAlmTim() != VbTrue) return false;
    return true;
}

int AlmRowsShown(int16_t rows) {
    return std::clamp<int>(rows, 0, IsFamilyR() ? kAlmRows : kAlmRowsKM);
}

bool RunClear(ClearKind kind) {
    struct ClearDef {
        const char* title;
        const char* ask;
        int16_t (*send)();
    };
    static const ClearDef clears[] = {
        {MoniText::BatTitle, MoniText::BatAsk, ClrBat},
        {MoniText::MultiTitle, nullptr, ClrMoni},
        {MoniText::ClrAlmTitle, MoniText::ClrAlmAsk, ClrAlm},
        {MoniText::ClrHistTitle, MoniText::ClrHistAsk, ClrAlmHist},
        {MoniText::ClrSysHistTitle, MoniText::ClrSysHistAsk, ClrSysHist},
    };
    const ClearDef& s = clears[static_cast<int>(kind)];
    // The clear requests exist on family R alone; the windows offer them only there.
    if (!IsFamilyR()) return false;
    if (ComBusyGet() != 0) {
        plat::MsgBox(MainText::Busy, plat::Buttons::Ok, plat::Icon::Exclamation, s.title);
        return false;
    }
    if (ChkComm(VbTrue, s.title) != VbTrue) return false;
    bool go = false;
    if (s.ask)
        go = MsgYesNo(s.ask, MoniText::YesTitle);
    else
        FrmCaution::Exec(2, go);
    if (!go) return false;
    const int16_t r = s.send();
    RetVar = Variant(r);
    if (r == VbTrue) return true;
    // A bad status has shown the driver-error window already; a silent line has not.
    if (!StatChk(kStatusMask))
        plat::MsgBox(MoniText::ClearFailed, plat::Buttons::Ok, plat::Icon::Exclamation, s.title);
    return false;
}

void SetAlarmColour(QLabel* label, bool red) {
    const QColor want = red ? QColor(0xC0, 0, 0) : QApplication::palette(label).color(QPalette::WindowText);
    if (label->palette().color(QPalette::WindowText) == want) return;
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, want);
    label->setPalette(p);
}
