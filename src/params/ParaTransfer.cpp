#include "params/ParaTransfer.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "app/Frame.h"
#include "app/Glb.h"
#include "comm/ComCore.h"
#include "comm/ComGlb.h"
#include "comm/TeskCmd.h"
#include "comm/TeskR.h"
#include "data/PrmGlb.h"
#include "data/PrmTbl.h"
#include "platform/Ask.h"

namespace {

void Tell(const std::string& text, const char* title) {
    plat::MsgBox(text, plat::Buttons::Ok, plat::Icon::Exclamation, title);
}

// The hourglass for the scope, taken off on every way out.
struct HourglassScope {
    HourglassScope() { Hourglass(true); }
    ~HourglassScope() { Hourglass(false); }
};

bool Ok(int16_t r) {
    return r == -1;
}

// Family R pages one by one, so that every page is asked for even after one failed, and the user learns
// which one it was.
bool Pages(int16_t (*recv)(int16_t, int16_t), int first, int last, const char* failText, const char* title) {
    bool all = true;
    for (int p = first; p <= last; ++p) {
        if (Ok(recv(static_cast<int16_t>(p), static_cast<int16_t>(p)))) continue;
        all = false;
        Tell(std::string(failText) + "\nPage:" + std::to_string(p), title);
    }
    return all;
}

bool Step(int16_t r, const char* failText, const char* title) {
    if (Ok(r)) return true;
    Tell(failText, title);
    return false;
}

// One value written with read-back; the parts that differ between the two widths.
struct Width {
    bool is32;
    const char* writing;
    const char* caption;
    const char* reading;
    const char* done;
    const char* failed;
};

const Width W16{false,
                "In-writing the 16bit parameter individually.",
                "16bit Parameter writing",
                "In-reading the 16bit parameter individually.",
                "16bit Parameter value change completed",
                "16bit Parameter value change failed"};
const Width W32{true,
                "In-writing the 32bit parameter individually.",
                "32bit Parameter writing",
                "In-reading the 32bit parameter individually.",
                "32bit parameter value change completed.",
                "32bit parameter value change failed."};

WriteOutcome WriteOne(const Width& w, int n, double value) {
    WriteOutcome out;
    if (n < 0 || n >= PrmCnt) return out;
    const double current = w.is32 ? Prm32Val[n] : PrmVal[n];
    if (value == current) return out;
    out.redraw = true;
    const int64_t lo = w.is32 ? INT32_MIN : INT16_MIN;
    const int64_t hi = w.is32 ? INT32_MAX : INT16_MAX;
    const int64_t v = static_cast<int64_t>(std::clamp<double>(std::nearbyint(value), double(lo), double(hi)));
    const int32_t old = static_cast<int32_t>(current);
    auto attr = [&](int32_t mask) { return (w.is32 ? ChkPrm32Attr(n, mask) : ChkPrmAttr(n, mask)) != 0; };
    if (attr(PrmAttrReadOnly2 | PrmAttrReadOnly)) return out;
    const bool system = attr(PrmAttrSystem);
    if (system && UserLevel < 2) return out;
    if (w.is32)
        SetPrm32Val(n, static_cast<int32_t>(v));
    else
        SetPrmVal(n, static_cast<int16_t>(v));
    int16_t& sent = system ? SysPrmSent : UsrPrmSent;
    // Values that are not the amplifier's are not written singly; a line-protocol amplifier takes its
    // parameters only as a whole block. Either way the screen no longer matches the amplifier.
    if (PrmSrc != 1 || ComPortNo == 0 || CurrentFamily() == CmdFamilyKind::K) {
        sent = 0;
        return out;
    }
    HourglassScope busy;
    UpdStat(w.writing);
    bool ok = false;
    if (ChkComm(-1, w.caption)) {
        FamilyMCmds& m = FamilyM();
        const auto n16 = static_cast<int16_t>(n);
        const Variant wr = w.is32 ? (system ? m.SysPrm32WrM(n16) : m.Prm32WrM(n16))
                                  : (system ? m.SysPrmWrM(n16) : m.PrmWrM(n16));
        ok = !wr.IsEmpty() && wr.ToBool();
        if (ok) {
            UpdStat(w.reading);
            RetVar = Variant(w.is32 ? (system ? m.SysPrm32RdM(n16) : m.Prm32RdM(n16))
                                    : (system ? m.SysPrmRdM(n16) : m.PrmRdM(n16)));
            out.powerNotice = attr(PrmAttrPowerOff);
            UpdStat(w.done);
        }
    }
    if (!ok) {
        if (w.is32)
            Prm32Val[n] = old;
        else
            PrmVal[n] = static_cast<int16_t>(old);
        UpdStat(w.failed);
    }
    return out;
}

bool Usr32Pages(const char* text, const char* title) {
    if (Prm32Cnt == 0 || LastUsr32Page() < 0) return true;
    return Pages(UsrPrm32ZyuShin, 0, LastUsr32Page(), text, title);
}
bool Sys32Pages(const char* text, const char* title) {
    if (Prm32Cnt == 0 || LastSys32Page() < 0) return true;
    return Pages(SysPrm32ZyuShin, 0, LastSys32Page(), text, title);
}

} // namespace

WriteOutcome SetPrmOne(int n, double value) {
    return WriteOne(W16, n, value);
}
WriteOutcome SetPrmOne32(int n, double value) {
    return WriteOne(W32, n, value);
}

bool RecvAll() {
    using namespace ParaText;
    if (!ChkComm(-1, RecvTitle)) {
        UpdStat(RecvInterrupted);
        return false;
    }
    HourglassScope busy;
    bool all = true;
    switch (CurrentFamily()) {
    case CmdFamilyKind::K: {
        const int16_t r = FamilyK().PrmJuShinK();
        RetVar = Variant(r);
        all = Step(r, Usr16RecvAll, RecvTitle);
        break;
    }
    case CmdFamilyKind::R:
        all &= Pages(UsrPrm16ZyuShin, 0, 7, Usr16RecvAll, RecvTitle);
        all &= Usr32Pages(Usr32RecvAll, RecvTitle);
        all &= Pages(SysPrm16ZyuShin, 0, 7, Sys16Recv, RecvTitle);
        all &= Sys32Pages(Sys32Recv, RecvTitle);
        break;
    case CmdFamilyKind::M:
        all &= Step(FamilyM().UsrPrmJuShinM(), Usr16RecvAll, RecvTitle);
        all &= Step(FamilyM().SysPrmJuShinM(), Sys16Recv, RecvTitle);
        break;
    }
    if (all) {
        SetPrmSrc(1, "");
    } else {
        // Part of the values are the amplifier's, part are not: neither may go to EEPROM as they stand.
        UsrPrmSent = 0;
        SysPrmSent = 0;
        if (const auto& notice = PrmSrcNotice()) notice();
    }
    return all;
}

bool RecvPage(ParaTab tab, int page, int lastPage, bool force) {
    using namespace ParaText;
    // The line is checked on every page shown, also when the page in view needs no new read.
    if (!ChkComm(-1, RecvTitle)) return false;
    const bool r = CurrentFamily() == CmdFamilyKind::R;
    if (Is32(tab) && !r) return true;
    if (tab == ParaTab::EditAll && !force && page / 2 == lastPage / 2) return true;
    if (tab == ParaTab::Edit32 && !force && page == lastPage) return true;
    HourglassScope busy;
    bool all = true;
    if (!r) {
        if (CurrentFamily() == CmdFamilyKind::K) return Step(FamilyK().PrmJuShinK(), UsrRecvM, RecvTitle);
        return Step(FamilyM().UsrPrmJuShinM(), UsrRecvM, RecvTitle);
    }
    switch (tab) {
    case ParaTab::EditAll:
        for (const PageReq& q : Pages16For(page))
            all &= q.system ? Pages(SysPrm16ZyuShin, q.page, q.page, Sys16Recv, RecvTitle)
                            : Pages(UsrPrm16ZyuShin, q.page, q.page, Usr16Recv, RecvTitle);
        break;
    case ParaTab::Select:
        all &= Pages(UsrPrm16ZyuShin, 0, 7, Usr16Recv, RecvTitle);
        all &= Pages(SysPrm16ZyuShin, 0, 7, Sys16Recv, RecvTitle);
        break;
    case ParaTab::Edit32:
        for (const PageReq& q : Pages32For(page))
            all &= q.system ? Pages(SysPrm32ZyuShin, q.page, q.page, Sys32Recv, RecvTitle)
                            : Pages(UsrPrm32ZyuShin, q.page, q.page, Usr32Recv, RecvTitle);
        break;
    case ParaTab::Select32:
        all &= Usr32Pages(Usr32Recv, RecvTitle);
        all &= Sys32Pages(Sys32Recv, RecvTitle);
        break;
    }
    return all;
}

namespace {

bool Send(bool system) {
    using namespace ParaText;
    if (system) {
        if (!ChkSysPrmData()) return false;
        if (Prm32Cnt != 0 && !ChkSysPrm32Data()) return false;
        if (UserLevel < 2) {
            Tell(Password, PasswordTitle);
            return false;
        }
    } else {
        if (!ChkUsrPrmData()) return false;
        if (Prm32Cnt != 0 && !ChkUsrPrm32Data()) return false;
    }
    HourglassScope busy;
    if (!ChkComm(-1, SendTitle)) {
        UpdStat(system ? SysSendInterrupted : SendInterrupted);
        return false;
    }
    bool all = true;
    switch (CurrentFamily()) {
    case CmdFamilyKind::K:
        all =
            Step(system ? FamilyK().SysPrmSouShinK() : FamilyK().UsrPrmSouShinK(), TransferFailed, SendTitle);
        break;
    case CmdFamilyKind::M:
        all =
            Step(system ? FamilyM().SysPrmSouShinM() : FamilyM().UsrPrmSouShinM(), TransferFailed, SendTitle);
        break;
    case CmdFamilyKind::R:
        if (system) {
            all &= Step(SysPrm16SouShin(0, 7), Sys16Send, SendTitle);
            if (Prm32Cnt != 0 && LastSys32Page() >= 0)
                all &= Step(SysPrm32SouShin(0, static_cast<int16_t>(LastSys32Page())), Sys32Send, SendTitle);
        } else {
            all &= Step(UsrPrm16SouShin(0, 7), Usr16Send, SendTitle);
            if (Prm32Cnt != 0 && LastUsr32Page() >= 0)
                all &= Step(UsrPrm32SouShin(0, static_cast<int16_t>(LastUsr32Page())), Usr32Send, SendTitle);
        }
        break;
    }
    UpdStat("");
    (system ? SysPrmSent : UsrPrmSent) = all ? -1 : 0;
    return all;
}

} // namespace

bool SendUser() {
    return Send(false);
}
bool SendSystem() {
    return Send(true);
}

void PsLoad() {
    HourglassScope busy;
    if (!ChkComm(0, "Communication error")) {
        Tell(ParaText::CommFailed, "Reading of the system parameter");
        UpdStat("Reading of the system parameter interrupted.");
        return;
    }
    switch (CurrentFamily()) {
    case CmdFamilyKind::K:
        RetVar = Variant(FamilyK().PrmJuShinK());
        break;
    case CmdFamilyKind::M:
        RetVar = Variant(FamilyM().UsrPrmJuShinM());
        RetVar = Variant(FamilyM().SysPrmJuShinM());
        break;
    case CmdFamilyKind::R:
        RetVar = Variant(UsrPrm16ZyuShin(0, 7));
        RetVar = Variant(SysPrm16ZyuShin(0, 7));
        break;
    }
    UpdStat("");
}

bool RecvAllPrm() {
    if (!ChkComm(0, "Communication error")) {
        Tell(ParaText::CommFailed, ParaText::RecvTitle);
        return false;
    }
    HourglassScope busy;
    switch (CurrentFamily()) {
    case CmdFamilyKind::K:
        // Only a whole upload counts: an "ERROR" answer (-2) or a garbled reply is a failed load.
        return Ok(FamilyK().PrmJuShinK());
    case CmdFamilyKind::M: {
        const bool u = Ok(FamilyM().UsrPrmJuShinM());
        const bool s = Ok(FamilyM().SysPrmJuShinM());
        return u && s;
    }
    case CmdFamilyKind::R: {
        bool all = Ok(UsrPrm16ZyuShin(0, 7));
        all &= Ok(SysPrm16ZyuShin(0, 7));
        if (Prm32Cnt != 0) {
            if (LastUsr32Page() >= 0) all &= Ok(UsrPrm32ZyuShin(0, static_cast<int16_t>(LastUsr32Page())));
            if (LastSys32Page() >= 0) all &= Ok(SysPrm32ZyuShin(0, static_cast<int16_t>(LastSys32Page())));
        }
        return all;
    }
    }
    return false;
}

int32_t ListSetPrm(bool is32, int n, int64_t value) {
    if (n < 0 || n >= PrmCnt) return 0;
    auto attr = [&](int32_t mask) { return (is32 ? ChkPrm32Attr(n, mask) : ChkPrmAttr(n, mask)) != 0; };
    auto current = [&]() -> int32_t { return is32 ? Prm32Val[n] : PrmVal[n]; };
    const bool system = attr(PrmAttrSystem);
    if (system && UserLevel < 2) return current();
    // The value to fall back on is the table's at the time of the edit, never what the cell showed.
    const int32_t before = current();
    if (is32)
        SetPrm32Val(n, static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX)));
    else
        SetPrmVal(n, static_cast<int16_t>(std::clamp<int64_t>(value, INT16_MIN, INT16_MAX)));
    if (attr(PrmAttrReadOnly | PrmAttrReadOnly2) || current() == before || ComPortNo == 0) return current();
    // A line-protocol amplifier takes its parameters only as a whole download: frames would garble its
    // line. The edit waits for the next send, as in the editor.
    if (CurrentFamily() == CmdFamilyKind::K) {
        (system ? SysPrmSent : UsrPrmSent) = 0;
        return current();
    }
    FamilyMCmds& m = FamilyM();
    const auto n16 = static_cast<int16_t>(n);
    const Variant wr =
        is32 ? (system ? m.SysPrm32WrM(n16) : m.Prm32WrM(n16)) : (system ? m.SysPrmWrM(n16) : m.PrmWrM(n16));
    if (!wr.IsEmpty() && wr.ToBool()) {
        RetVar = Variant(is32 ? (system ? m.SysPrm32RdM(n16) : m.Prm32RdM(n16))
                              : (system ? m.SysPrmRdM(n16) : m.PrmRdM(n16)));
    } else if (is32) {
        Prm32Val[n] = before;
    } else {
        PrmVal[n] = static_cast<int16_t>(before);
    }
    return current();
}
