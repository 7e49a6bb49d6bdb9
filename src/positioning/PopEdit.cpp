#include "positioning/PopEdit.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "app/FileDlg.h"
#include "app/Frame.h"
#include "app/FrmPrmSel.h"
#include "app/FrmRem.h"
#include "app/Glb.h"
#include "app/Uty.h"
#include "comm/ComCore.h"
#include "comm/ComGlb.h"
#include "comm/ComGuard.h"
#include "comm/TeskR.h"
#include "data/DefFil.h"
#include "data/PopFil.h"
#include "platform/Ask.h"

namespace {

std::string Token(int page) {
    char buf[16];
    std::snprintf(buf, sizeof buf, " %03d", page);
    return buf;
}

void Tell(const std::string& text, const char* title) {
    plat::MsgBox(text, plat::Buttons::Ok, plat::Icon::None, title);
}

// A page receive on demand of one table: the link is checked first, and the result is not told (the
// request layer reports its own failures).
void RecvOnDemand(PopPageKeeper& keeper, int first, int count, const char* title,
                  const std::function<int16_t(int16_t page)>& recv) {
    if (PopRecvByPage == 0) return;
    if (ChkComm(-1, title) == 0) return;
    keeper.Recv(first, count, [&](int page) { RetVar = Variant(recv(static_cast<int16_t>(page))); });
}

} // namespace

void PopPageKeeper::Recv(int first, int count, const std::function<void(int page)>& recv) {
    const int last = PopLastPage(count);
    const int p1 = std::min(first / 8, last);
    const int p2 = std::min((first + 7) / 8, last);
    const std::string t1 = Token(p1), t2 = Token(p2);
    if (kept_.find(t1) == std::string::npos) {
        recv(p1);
        kept_ += t1;
    }
    if (kept_.find(t2) == std::string::npos) recv(p2);
    kept_ = t1 + t2;
}

void RecvStepPages(PopPageKeeper& keeper, int first) {
    RecvOnDemand(keeper, first, PopStepInUse(), "Step parameter reception", [](int16_t page) {
        return PopStepZyuShin(page, page, PopStep, "In-receiving the step parameter, page");
    });
}

void RecvPrm16Pages(PopPageKeeper& keeper, int first) {
    RecvOnDemand(keeper, first, Pop16InUse(), "16bit positioning parameter reception", [](int16_t page) {
        return PopPrm16ZyuShin(page, page, Pop16Prm, "Transferring 16bit positioning parameter. page");
    });
}

void RecvPrm32Pages(PopPageKeeper& keeper, int first) {
    RecvOnDemand(keeper, first, Pop32InUse(), "32bit positioning parameter reception", [](int16_t page) {
        return PopPrm32ZyuShin(page, page, Pop32Prm, "In-receiving the 32bit positioning parameter, page");
    });
}

PopPos PopPosFromText(const std::string& text) {
    PopPos p;
    if (auto v = PopPosParse(text)) {
        p = *v;
    } else {
        // An integer too long for 64 bits stands for the nearest end of the range.
        const size_t b = text.find_first_not_of(" \t");
        const size_t e = text.find_last_not_of(" \t");
        if (b != std::string::npos) {
            const bool neg = text[b] == '-';
            const size_t d = (neg || text[b] == '+') ? b + 1 : b;
            if (d <= e && text.find_first_not_of("0123456789", d) > e) {
                p.empty = false;
                p.value = neg ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
            }
        }
    }
    const int64_t v = p.empty ? 0 : p.value;
    if (v > PopPosHi()) p = PopPos{PopPosHi(), false};
    if (v < PopPosLo()) p = PopPos{PopPosLo(), false};
    return p;
}

PopStepRec GetStepRow(const PopStepRow& row, const PopStepRec& held) {
    PopStepRec s;
    const PopPos p = PopPosFromText(row.pos);
    s.Position = p.empty ? 0 : p.value;
    s.PosEmpty = p.empty;
    s.Vel = row.vel.value_or(held.Vel);
    s.Acc = row.acc.value_or(held.Acc);
    s.Dec = row.dec.value_or(held.Dec);
    s.Mod = row.mod.value_or(held.Mod);
    s.Blk = row.blk.value_or(held.Blk);
    s.Comment = row.comment;
    return s;
}

void UpdStepRow(int n, const PopStepRec& rec, const PopWaitMsg& wait) {
    if (n < 0 || n >= PopStepInUse()) return;
    const PopStepRec before = PopStep[n];
    PopStep[n] = rec;
    if (PopSrc != 1) {
        PopSent = 0;
        return;
    }
    if (ComPortNo == 0) {
        // The amplifier has not got this change: the data are not the amplifier's any more.
        PopSent = 0;
        return;
    }
    wait("In-writing the step parameter individually.", true);
    Variant res;
    if (ChkComm(-1, "Step parameter writing") == 0 ||
        PopStepKaki(res, static_cast<int16_t>(n), PopStep[n]) == 0) {
        PopStep[n] = before;
        wait("Step parameter value change failed", false);
        return;
    }
    wait("In-reading the step parameter individually.", true);
    PopStepRec back = PopStep[n];
    RetVar = Variant(PopStepYomi(res, back, static_cast<int16_t>(n)));
    PopStep[n] = back;
    wait("Step parameter value change completed", false);
}

bool UpdPrmRow(bool wide, int n, int64_t value) {
    PopPrmRec* tbl = wide ? Pop32Prm : Pop16Prm;
    const int count = wide ? Pop32InUse() : Pop16InUse();
    if (n < 0 || n >= count) return false;
    PopPrmRec& p = tbl[n];
    if (value == p.Value) return false;
    const int64_t lo = wide ? std::numeric_limits<int32_t>::min() : -32768;
    const int64_t hi = wide ? std::numeric_limits<int32_t>::max() : 32767;
    const int32_t v = static_cast<int32_t>(std::clamp(value, lo, hi));
    const int32_t old = p.Value;
    if ((p.Attr & (256 | 128)) != 0) return false;
    if (wide)
        SetPop32Val(n, v);
    else
        SetPop16Val(n, v);
    if (PopSrc != 1 || ComPortNo == 0) {
        PopSent = 0;
        return false;
    }
    const char* title = wide ? "32bit positioning parameter writing" : "16bit positioning parameter writing";
    if (ChkComm(-1, title) == 0) {
        p.Value = old;
        return false;
    }
    UpdStat(wide ? "In-writing the 32bit positioning parameter individually."
                 : "In-writing the 16bit positioning parameter individually.");
    Variant res;
    const auto num = static_cast<int16_t>(n);
    const bool ok = (wide ? PopPrm32Kaki(res, num, p.Value) : PopPrm16Kaki(res, num, p.Value)) != 0;
    if (!ok) {
        p.Value = old;
        return false;
    }
    int32_t back = p.Value;
    RetVar = Variant(wide ? PopPrm32Yomi(res, back, num) : PopPrm16Yomi(res, back, num));
    p.Value = back;
    return (p.Attr & 16) != 0;
}

bool PopSendAll() {
    if (!ChkStepData() || !ChkPop16Data() || !ChkPop32Data()) return false;
    ExecRightGuard right;
    if (!right.Take()) {
        Tell("Transfer failed", "Step parameter transmission");
        return false;
    }
    if (TESKR_SendPopStepHeld(0, static_cast<int16_t>(PopLastPage(PopStepInUse())),
                              std::span<const PopStepRec>(PopStep, PopStepTblCnt)) == 0) {
        Tell("Transfer failed", "Step parameter transmission");
        return false;
    }
    if (PopPrm16SouShinAllHeld(Pop16Cnt[0], static_cast<int16_t>(Pop16InUse() - 1),
                               std::span<const PopPrmRec>(Pop16Prm, PopPrmCnt)) == 0) {
        Tell("Transfer failed", "16bit positioning parameter transmission");
        return false;
    }
    if (PopPrm32SouShinHeld(0, static_cast<int16_t>(PopLastPage(Pop32InUse())),
                            std::span<const PopPrmRec>(Pop32Prm, PopPrmCnt)) == 0) {
        Tell("Transfer failed", "32bit positioning parameter transmission");
        return false;
    }
    PopSent = -1;
    return true;
}

int PopRecvTables(PopStepRec* steps, PopPrmRec* prm16, PopPrmRec* prm32, const char* stepText) {
    if (PopStepZyuShin(0, static_cast<int16_t>(PopLastPage(PopStepInUse())),
                       std::span<PopStepRec>(steps, PopStepTblCnt), stepText) == 0)
        return 1;
    if (PopPrm16ZyuShin(0, static_cast<int16_t>(PopLastPage(Pop16InUse())),
                        std::span<PopPrmRec>(prm16, PopPrmCnt),
                        "Transferring 16bit positioning parameter. page") == 0)
        return 2;
    if (PopPrm32ZyuShin(0, static_cast<int16_t>(PopLastPage(Pop32InUse())),
                        std::span<PopPrmRec>(prm32, PopPrmCnt),
                        "In-receiving the 32bit positioning parameter, page") == 0)
        return 3;
    return 0;
}

bool PopRecvAll() {
    if (ChkComm(-1, "Writing to EEPROM") == 0) return false;
    const int failed = PopRecvTables(PopStep, Pop16Prm, Pop32Prm, "In-receiving the step parameter, page");
    static const char* const titles[] = {"", "Step parameter reception",
                                         "16bit positioning parameter reception",
                                         "32bit positioning parameter reception"};
    if (failed != 0) {
        Tell("Transfer failed", titles[failed]);
        // Part of the tables is the amplifier's and part is not: never count that as transmitted.
        SetPopDataSource(1, "Read-out value from the amplifier (reception incomplete).");
        PopSent = 0;
        return false;
    }
    SetPopDataSource(1, "");
    return true;
}

bool PopSaveFile() {
    if (!ChkStepData() || !ChkPop16Data() || !ChkPop32Data()) return false;
    FrmRem::Exec(Variant(int16_t{3}), "Comment on positioning parameter",
                 "Comment is saved with positioning parameter.");
    if (DlgResult != -1) return false;
    const std::string path = FilDlg("ncp", "write", "Positioning parameter and step data file(*.ncp)|*.ncp");
    if (path.empty()) return false;
    if (FIL_CheckOverWrite(path) != 0) return false;
    UpdStat("In-writing the file.");
    Hourglass(true);
    const bool ok = FIL_SaveStepFile(path) != 0;
    Hourglass(false);
    UpdStat(ok ? "File writing completed." : "File was not saved.");
    return ok;
}

bool PopReadFile() {
    const std::string path = FrmPrmSel::Exec("ncp", "ncp", "Positioning parameters and step data");
    if (path.empty()) return false;
    return POP_Load(path, KisyuCode, false) != 0;
}

bool PopPresets() {
    if (plat::MsgBox("Eliminate currently set valuses and read factory preset values?", plat::Buttons::YesNo,
                     plat::Icon::Question, "Yes ?") != plat::Yes)
        return false;
    // The presets set the source themselves, and only when they were read.
    return LoadPopDefault(KisyuMei, true) != 0;
}

PopMenuState PopMenuFor(bool portSelected, int32_t source) {
    PopMenuState m;
    m.send = m.eep = m.recv = portSelected;
    // Data from a file or the presets are replaced by reading again, amplifier data by receiving.
    if (source == 1) m.recv = true;
    if (source == 2 || source == 3) m.recv = false;
    m.read = m.presets = source == 2 || source == 3;
    return m;
}

int PopPageKeyTarget(int value, int delta, int min, int max) {
    const int t = value + delta;
    if (t == max + 8) return min;
    if (t == min - 8) return max;
    return std::clamp(t, min, max);
}

int PopRowKeyTarget(int value, int delta, int min, int max) {
    const int t = value + delta;
    if (t > max) return min;
    if (t < min) return max;
    return t;
}
