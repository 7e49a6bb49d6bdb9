// Family M: link check, identity, monitors, alarms and the 16-bit and 32-bit parameter transfers.
#include "comm/TeskM.h"

#include "app/Frame.h"
#include "app/Log.h"
#include "comm/ComCore.h"
#include "comm/ComReq.h"
#include "comm/TeskKGlb.h"
#include "comm/TeskMReq.h"
#include "comm/RGlb.h"
#include "data/PrmGlb.h"
#include "data/PrmTbl.h"
#include "platform/Ask.h"
#include "platform/Numbers.h"

#include <algorithm>

using plat::VbFalse;
using plat::VbTrue;
using namespace teskm;

namespace {

// A read without a driver-error window whose reply must hold `used` data bytes.
bool Read(int cmd, int mode, size_t used, uint8_t mask, const char* who) {
    return Request(cmd, mode, 0, NoErrWindow, mask) != VbFalse && ReplyHolds(used, who);
}

// ---- block transfers ----------------------------------------------------------------------------------

struct BlockKind {
    int sendMode, recvMode;
    const char* sendFix;
    const char* recvFix;
    const char* done;
};
constexpr BlockKind kUsr{3, 2, "In-transmitting the user parameter.", "In-receiving the user parameter.",
                         "User parameter transmission completed."};
constexpr BlockKind kSys{8, 7, "In-transmitting the system parameter", "In-receiving the system parameter",
                         "Transmission of the system parameter completed."};

int16_t BlockSend(const BlockKind& k, int first, int count, const char* who) {
    // A count that does not fit one block (or the table) would send a block whose length byte lies, or
    // cut the table short: refuse it before anything goes out.
    if (count < 0 || count > MaxBlockValues || first < 0 || first + count > PrmCnt) {
        const std::string text = std::string(who) + ": " + std::to_string(count) +
                                 " parameters do not fit one block (at most " +
                                 std::to_string(MaxBlockValues) + ").";
        log(text, LogOther);
        plat::MsgBox(text, plat::Buttons::Ok, plat::Icon::Exclamation);
        return VbFalse;
    }
    UpdPbar(0, 1);
    UpdStatFix(k.sendFix);
    PackPrmBlock(std::span<const int16_t>(PrmVal + first, static_cast<size_t>(count)), SndBuf);
    const int16_t r = Request(8, k.sendMode, 2 * count, 0, 0x38);
    UpdStat(k.done);
    UpdPbar(1, 1);
    return r;
}

int16_t BlockRecv(const BlockKind& k, int first, bool user) {
    UpdPbar(0, 1);
    UpdStatFix(k.recvFix);
    int16_t r = Request(8, k.recvMode, 0, 0, 0x38);
    if (r != VbFalse) {
        const int c = std::max(0, (SndLen - 1) / 2);
        log(std::string(user ? "User parameter" : "System parameter") + std::to_string(c) +
                (user ? "Received 3 pcs." : "Received  3 pcs."),
            LogOther);
        // The user block fills from 0; the system block from Prm16Max up to 255. Only what the reply holds.
        const int last = user ? PrmCnt - 1 : 255;
        if (first < 0 || first > last) {
            log("System parameter: first number " + std::to_string(first) + " is outside the table", LogOther);
            r = VbFalse;
        } else {
            UnpackPrmBlock(LastReply(), std::span<int16_t>(PrmVal + first, static_cast<size_t>(last - first + 1)));
        }
    }
    UpdStat(k.done);
    UpdPbar(1, 1);
    return r;
}

// ---- single parameters --------------------------------------------------------------------------------

// Wire number of table number n less offset, or -1 (logged) when it does not fit its byte or n is outside
// the table.
int WireNumber(int16_t n, int offset, const char* who) {
    if (n < 0 || n >= PrmCnt) {
        log(std::string(who) + ": parameter " + std::to_string(n) + " is outside the table", LogOther);
        return -1;
    }
    const int wire = n - offset;
    return FitsByte(wire, who) ? wire : -1;
}

int16_t Read16(int mode, int16_t n, int offset, const char* who) {
    const int wire = WireNumber(n, offset, who);
    if (wire < 0) return VbFalse;
    SndBuf[0] = static_cast<uint8_t>(wire);
    if (Request(8, mode, 1, 0, 0xFF) == VbFalse || !ReplyHolds(2, who)) return VbFalse;
    PrmVal[n] = S16(LastReply(), 0);
    return VbTrue;
}

int16_t Read32(int mode, int16_t n, int offset, const char* who) {
    const int wire = WireNumber(n, offset, who);
    if (wire < 0) return VbFalse;
    SndBuf[0] = static_cast<uint8_t>(wire);
    if (Request(11, mode, 1, 0, 0xFF) == VbFalse || !ReplyHolds(4, who)) return VbFalse;
    Prm32Val[n] = S32(LastReply(), 0);
    return VbTrue;
}

// One write under the execution right; the write's result is left in ComResult.
Variant Write(int mode, int16_t n, int offset, bool wide, const char* who) {
    const int wire = WireNumber(n, offset, who);
    if (wire < 0) return Variant(false);
    if (GetExecRight(VbTrue) == VbFalse) return Variant(false);
    SndBuf[0] = static_cast<uint8_t>(wire);
    if (wide)
        PutS32(&SndBuf[1], Prm32Val[n]);
    else
        PutS16(&SndBuf[1], PrmVal[n]);
    const int16_t r = Request(8, mode, wide ? 5 : 3, 0, 0xFF);
    RetVar = Variant(GetExecRight(VbFalse));
    ComResult = r;
    return Variant(r != VbFalse);
}

int16_t EepWrite(bool sys) {
    if (GetExecRight(VbTrue) == VbFalse) return VbFalse;
    UpdPbar(0, 1);
    UpdStatFix(sys ? "In-writing system parameter to EEPROM." : "In-writing the user parameter to EEPROM.");
    const int16_t r = Request(8, sys ? 9 : 4, 0, 0, 0x38);
    RetVar = Variant(GetExecRight(VbFalse));
    UpdStat(sys ? "Writing system parameter to EEPROM completed."
                : "Writing the user parameter to EEPROM completed.");
    UpdPbar(1, 1);
    return r;
}

} // namespace

// ---- link check, identity, monitors, alarms -----------------------------------------------------------

int16_t PingM() {
    return Request(0, 0, 0, NoErrWindow, 0x38);
}

int16_t VerCpuM(CpuVerRec& rec, int16_t cpu) {
    rec.Present = 0;
    if (cpu < 0 || cpu > 15) return 0;
    if (!Read(0, cpu, 2, 0x38, "VerCpuM")) return 0;
    return DecodeCpuVer(LastReply(), rec) ? 1 : 0;
}

int16_t MotorMeiM(MotorMeiRec& rec) {
    std::string name;
    if (!Read(0, 6, 12, 0x80, "MotorMeiM") || !DecodeMotorName(LastReply(), name)) return VbFalse;
    rec.Present = VbTrue;
    rec.Name = name;
    return VbTrue;
}

int16_t VerJuShinM(CpuVerRec (&ver)[CpuVerCnt]) {
    for (CpuVerRec& v : ver)
        v.Present = 0;
    int sum = 0;
    for (int16_t cpu = 1; cpu <= 3; ++cpu)
        sum += VerCpuM(ver[cpu - 1], cpu);
    RetVar = Variant(MotorMeiM(MotorMei) != VbFalse);
    return plat::VbBool(sum != 0);
}

int16_t IoMonM(int32_t& in, int32_t& out) {
    int32_t a = 0, b = 0;
    if (!Read(2, 7, 2, 0x38, "IoMonM") || !DecodeIoWord(LastReply(), a)) return VbFalse;
    if (!Read(2, 8, 2, 0x38, "IoMonM") || !DecodeIoWord(LastReply(), b)) return VbFalse;
    in = a;
    out = b;
    log("N:" + std::to_string(SndLen) + "  IN:" + std::to_string(in) + "  OUT:" + std::to_string(out) +
            "  error:" + std::to_string(RcvBuf[2]),
        LogOther);
    return VbTrue;
}

int16_t MonM(double& speed, double& torque, double& counter) {
    if (WavMaxItem == 0) {
        log("MonM: the torque scale of the series definition is 0, nothing read", LogOther);
        return VbFalse;
    }
    MonRaw m;
    if (!Read(2, 9, 8, 0x38, "MonM") || !DecodeMon(LastReply(), m)) return VbFalse;
    speed = m.speed;
    torque = static_cast<double>(m.torque) / WavMaxItem;
    counter = m.counter;
    return VbTrue;
}

int16_t GetSpeedM() {
    return MonM(MonVal.Speed, MonVal.Torque, MonVal.Counter);
}

int16_t AlmNowM() {
    if (!Read(9, 0, 1, 0x38, "AlmNowM")) return VbFalse;
    AlmNo = LastReply()[0];
    return VbTrue;
}

int16_t AlmHistM() {
    std::array<int16_t, 8> codes{};
    if (!Read(9, 2, 16, 0x38, "AlmHistM") || !DecodeAlmHist(LastReply(), codes)) return VbFalse;
    std::copy(codes.begin(), codes.end(), AlmHist);
    return VbTrue;
}

// ---- 16-bit parameters --------------------------------------------------------------------------------

int16_t UsrPrmSouShinM() {
    return BlockSend(kUsr, 0, Prm16Max, "UsrPrmSouShinM");
}

int16_t SysPrmSouShinM() {
    return BlockSend(kSys, Prm16Max, Prm16SysCnt, "SysPrmSouShinM");
}

int16_t UsrPrmJuShinM() {
    return BlockRecv(kUsr, 0, true);
}

int16_t SysPrmJuShinM() {
    return BlockRecv(kSys, Prm16Max, false);
}

int16_t PrmRdM(int16_t n) {
    return Read16(0, n, 0, "PrmRdM");
}

int16_t SysPrmRdM(int16_t n) {
    return Read16(5, n, Prm16MaxSys, "SysPrmRdM");
}

Variant PrmWrM(int16_t n) {
    return Write(1, n, 0, false, "PrmWrM");
}

Variant SysPrmWrM(int16_t n) {
    return Write(6, n, Prm16MaxSys, false, "SysPrmWrM");
}

int16_t UsrPrmEepM() {
    return EepWrite(false);
}

int16_t SysPrmEepM() {
    if (UserLevel < 2) return VbFalse;
    return EepWrite(true);
}

// ---- 32-bit parameters --------------------------------------------------------------------------------

Variant Prm32WrM(int16_t n) {
    return Write(12, n, 0, true, "Prm32WrM");
}

Variant SysPrm32WrM(int16_t n) {
    return Write(14, n, Prm32Max, true, "SysPrm32WrM");
}

int16_t Prm32RdM(int16_t n) {
    return Read32(6, n, 0, "Prm32RdM");
}

int16_t SysPrm32RdM(int16_t n) {
    return Read32(9, n, Prm32Max, "SysPrm32RdM");
}

// ---- dispatcher ----------------------------------------------------------------------------------------

FamilyMCmds TeskMCmds() {
    FamilyMCmds c;
    c.VerJuShinM = VerJuShinM;
    c.IoMonM = IoMonM;
    c.AlmNowM = AlmNowM;
    c.AlmHistM = AlmHistM;
    c.PingM = PingM;
    c.GetSpeedM = GetSpeedM;
    c.UsrPrmSouShinM = UsrPrmSouShinM;
    c.SysPrmSouShinM = SysPrmSouShinM;
    c.UsrPrmJuShinM = UsrPrmJuShinM;
    c.SysPrmJuShinM = SysPrmJuShinM;
    c.PrmRdM = PrmRdM;
    c.SysPrmRdM = SysPrmRdM;
    c.PrmWrM = PrmWrM;
    c.SysPrmWrM = SysPrmWrM;
    c.UsrPrmEepM = UsrPrmEepM;
    c.SysPrmEepM = SysPrmEepM;
    c.Prm32WrM = Prm32WrM;
    c.SysPrm32WrM = SysPrm32WrM;
    c.Prm32RdM = Prm32RdM;
    c.SysPrm32RdM = SysPrm32RdM;
    c.AutoM = AutoM;
    c.GrpSetM = GrpSetM;
    c.GrpBlkRcvM = GrpBlkRcvM;
    c.GrpDatJuShinM = GrpDatJuShinM;
    return c;
}

void InstallTeskMPrmRecv() {
    PrmRecvSteps& s = PrmRecv();
    s.usrPrmJuShinM = UsrPrmJuShinM;
    s.sysPrmJuShinM = SysPrmJuShinM;
}
