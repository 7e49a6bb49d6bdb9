// Family R status side: alarms and their histories, monitors, maker data, auto tuning and the console's
// model set-up.
#include "comm/TeskR.h"

#include "app/Frame.h"
#include "app/Glb.h"
#include "app/Log.h"
#include "comm/ComCore.h"
#include "comm/ComReq.h"
#include "comm/ComStatus.h"
#include "comm/TeskRReq.h"
#include "platform/Ask.h"
#include "platform/Numbers.h"

#include <algorithm>

using plat::VbFalse;
using plat::VbTrue;
using namespace teskr;

namespace {

// A read of `used` reply bytes without a driver-error window.
bool Read(int cmd, int mode, size_t used, const char* who) {
    return Request(cmd, mode, 0, NoErrWindow, 0, 0x38) != VbFalse && ReplyHolds(used, who);
}

// A clear: its result, the driver-error window on a bad status.
int16_t Clear(int mode) {
    return Request(9, mode, 0, 0, 0, 0x38);
}

int16_t History(int mode, const char* who) {
    if (!Read(9, mode, 14, who)) return VbFalse;
    const Reply r = LastReply();
    for (int k = 0; k < 14; ++k)
        AlmHist[k] = r[static_cast<size_t>(k)];
    return VbTrue;
}

// The console's EEPROM writes: user (mode 4) or system (mode 9) parameters, under the execution right.
int16_t EepWrite(int mode) {
    const bool sys = mode == 9;
    if (GetExecRight(VbTrue) == VbFalse) return VbFalse;
    UpdPbar(0, 1);
    UpdStatFix(sys ? "In-writing system parameter to EEPROM." : "In-writing the user parameter to EEPROM.");
    const int16_t r = Request(8, mode, 0, 0, 0, 0x38);
    RetVar = Variant(GetExecRight(VbFalse));
    UpdStat(sys ? "Writing system parameter to EEPROM completed."
                : "Writing the user parameter to EEPROM completed.");
    UpdPbar(1, 1);
    return r;
}

// Model code and calibration replies carry the alarm code in byte 0.
int16_t ConsoleWrite(int mode, int len) {
    if (Request(1, mode, len, NoErrWindow, 0, 0x38) == VbFalse || !ReplyHolds(1, "SetKisyuMei"))
        return VbFalse;
    AlmNo = LastReply()[0];
    return VbTrue;
}

int16_t Auto(uint8_t v, uint8_t start, int16_t& b0, int16_t& st) {
    SndBuf[0] = v;
    SndBuf[1] = start;
    const int16_t r = Request(10, 0, 2, NoErrWindow, 0, 0);
    ComResult = r;
    st = StatGet(0);
    if (r == VbFalse || !ReplyHolds(1, start ? "AutoStart" : "AutoSts")) return VbFalse;
    b0 = LastReply()[0];
    return VbTrue;
}

} // namespace

int16_t GetAlmNo(int16_t& code) {
    if (!Read(9, 0, 1, "GetAlmNo")) return VbFalse;
    code = LastReply()[0];
    return VbTrue;
}

int16_t GetAlmNoGlb() {
    return GetAlmNo(AlmNo);
}

int16_t GetAlmHist() {
    return History(2, "GetAlmHist");
}

int16_t GetSysHist() {
    return History(5, "GetSysHist");
}

int16_t GetAlmTim() {
    if (!Read(9, 8, 30, "GetAlmTim")) return VbFalse;
    const Reply r = LastReply();
    for (int k = 0; k < 15; ++k)
        AlmTime[k] = U16(r, 2 * static_cast<size_t>(k));
    return VbTrue;
}

int16_t GetAlmTimNow(int32_t& t) {
    if (!Read(9, 9, 6, "GetAlmTimNow")) return VbFalse;
    t = S32(LastReply(), 2);
    return VbTrue;
}

int16_t ClrAlm() {
    return Clear(4);
}
int16_t ClrAlmHist() {
    return Clear(3);
}
int16_t ClrSysHist() {
    return Clear(6);
}
int16_t ClrMoni() {
    return Clear(11);
}
int16_t ClrBat() {
    return Clear(4);
}

int16_t GetMkrDat() {
    if (!Read(15, 0, 8, "GetMkrDat")) return VbFalse;
    const Reply r = LastReply();
    MkrDat1 = S16(r, 4);
    MkrDat2 = S16(r, 6);
    return VbTrue;
}

int16_t GetMoniPos(int32_t& a, int32_t& b, int16_t& c, int16_t& d, int16_t& e) {
    if (!Read(2, 10, 12, "GetMoniPos")) return VbFalse;
    const Reply r = LastReply();
    a = S32(r, 2);
    b = S32(r, 6);
    c = r[0];
    d = r[1];
    e = S16(r, 10);
    return VbTrue;
}

int16_t GetMoni2(int32_t& v) {
    if (!Read(2, 2, 4, "GetMoni2")) return VbFalse;
    v = S32(LastReply(), 0);
    return VbTrue;
}

int16_t GetMoni14(int32_t& a, int32_t& b) {
    if (!Read(2, 14, 8, "GetMoni14")) return VbFalse;
    a = S32(LastReply(), 0);
    b = S32(LastReply(), 4);
    return VbTrue;
}

int16_t GetMoniSpd(int32_t& a, int32_t& b, double& c, double& d) {
    if (!Read(2, 1, 4, "GetMoniSpd")) return VbFalse;
    a = S32(LastReply(), 0);
    if (!Read(2, 2, 4, "GetMoniSpd")) return VbFalse;
    b = S32(LastReply(), 0);
    if (!Read(2, 11, 6, "GetMoniSpd")) return VbFalse;
    const Reply r = LastReply();
    c = S16(r, 4) / 5.0;
    const int x = S16(r, 0);
    int y = S16(r, 2);
    if (y < 1) y = 1;
    d = x * 100.0 / y;
    return VbTrue;
}

int16_t GetMoni13(int16_t& a, int16_t& b, int32_t& c, int16_t& d) {
    if (!Read(2, 13, 9, "GetMoni13")) {
        a = b = d = 0;
        c = 0;
        return VbFalse;
    }
    const Reply r = LastReply();
    a = S16(r, 0);
    b = S16(r, 2);
    c = static_cast<int32_t>(U24(r, 4));
    d = S16(r, 7);
    return VbTrue;
}

int16_t GetPopMoni(PopMoniRec& rec) {
    if (!Read(14, 13, 41, "GetPopMoni")) return VbFalse;
    const Reply r = LastReply();
    rec.Val1 = S32(r, 0);
    rec.Val2 = r[8];
    rec.Val3 = S32(r, 9);
    rec.Val4 = S32(r, 13);
    rec.Val5 = r[17];
    rec.Val6 = r[18];
    rec.Position = S64(r, 19);
    rec.Sts1 = r[27];
    rec.Sts1Lo = r[27] & 15;
    rec.Sts1Hi = r[27] >> 6;
    rec.Sts1Mid = (r[27] >> 4) & 3;
    rec.Sts2 = r[28];
    rec.Sts2Bit7 = r[28] >> 7;
    rec.Sts2Lo = r[28] & 127;
    for (size_t k = 0; k < 5; ++k)
        rec.Word[k] = S16(r, 30 + 2 * k);
    rec.Last = r[40];
    return VbTrue;
}

int16_t AutoStart(int16_t& v, int16_t& b0, int16_t& st) {
    v = std::clamp<int16_t>(v, 0, 255);
    return Auto(static_cast<uint8_t>(v), 1, b0, st);
}

int16_t AutoSts(int16_t v, int16_t& b0, int16_t& st) {
    return Auto(static_cast<uint8_t>(std::clamp<int16_t>(v, 0, 255)), 0, b0, st);
}

int16_t SetKisyuMei() {
    // It rewrites the identity and calibration of whatever amplifier is connected: a developer's tool.
    if (UserLevel < 2) {
        log("SetKisyuMei: only in the internal operating modes", LogOther);
        return VbFalse;
    }
    const std::string title = "Setting model";
    if (plat::MsgBox("Writing the model name", plat::Buttons::OkCancel, plat::Icon::None, title) != plat::Ok)
        return VbFalse;
    static constexpr char code[] = "TESKR21B7C";
    std::fill_n(SndBuf, 12, uint8_t{0});
    std::copy_n(code, 10, SndBuf);
    ConsoleWrite(5, 12);

    plat::MsgBox("Writing to EEPROM", plat::Buttons::Ok, plat::Icon::None, title);
    EepWrite(4);
    plat::MsgBox("Writing to EEPROM(sys)", plat::Buttons::Ok, plat::Icon::None, title);
    EepWrite(9);

    plat::MsgBox("Writing power voltage calibration", plat::Buttons::Ok, plat::Icon::None, title);
    static constexpr int16_t calibration[5] = {280, 350, 180, 200, 100};
    for (size_t k = 0; k < 5; ++k)
        PutS16(&SndBuf[2 * k], calibration[k]);
    return ConsoleWrite(4, 10);
}

FamilyRCmds TeskRCmds() {
    FamilyRCmds c;
    c.GetMoniPos = GetMoniPos;
    c.GetAlmNoGlb = GetAlmNoGlb;
    c.GetMkrDat = GetMkrDat;
    c.GetAlmHist = GetAlmHist;
    c.GetSysHist = GetSysHist;
    c.SetKisyuMei = SetKisyuMei;
    return c;
}
