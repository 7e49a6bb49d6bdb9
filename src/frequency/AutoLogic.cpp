#include "frequency/AutoLogic.h"

#include "app/Frame.h"
#include "app/FrmCaution.h"
#include "app/Glb.h"
#include "app/MainLogic.h"
#include "comm/Com.h"
#include "comm/ComCore.h"
#include "comm/ComGlb.h"
#include "comm/ComReq.h"
#include "comm/ComWrap.h"
#include "comm/TeskCmd.h"
#include "comm/TeskK.h"
#include "comm/TeskR.h"
#include "data/PrmTbl.h"
#include "frequency/FrqGlb.h"
#include "params/FrmEEP.h"
#include "platform/Ask.h"
#include "platform/FormRegistry.h"

#include <algorithm>
#include <cstring>
#include <span>

namespace {

void Msg(const std::string& text, const std::string& title = {})
{
    plat::MsgBox(text, plat::Buttons::Ok, plat::Icon::None, title);
}

// Family K answers "UP_LOAD" with parameters 0 to 63.
constexpr int KUploadCnt = 64;

// An amplifier that refuses for servo-off may answer with the status byte alone, a reply too short for
// the request; its status still says why. ComResult keeps the request core's own result.
bool ServoOff(int16_t st) { return ComResult != 0 && (st & 0x04) != 0; }

bool RowShown(int i) { return AutoPrm[i].Shown != 0 && AutoPrm[i].PrmNo >= 0 && AutoPrm[i].PrmNo < PrmCnt; }

} // namespace

std::string AutoEepFlags(bool tuned, int16_t userLevel)
{
    if (!tuned)
        return {};
    return userLevel < 2 ? AutoText::EepUserImplicit : AutoText::EepAllImplicit;
}

AutoTune::~AutoTune()
{
    // A window destroyed without its unload handling still gives back what a run holds.
    ReleaseBusy();
    ReleaseRight();
}

// ---- state shown by the window ----------------------------------------------------------------------

void AutoTune::SetStatus(const std::string& text, bool busy)
{
    busy_ = busy;
    if (busy)
        UpdStatFix(text);
    else
        UpdStat(text);
}

void AutoTune::HoldBusy()
{
    if (busyHeld_)
        return;
    ComBusySet(BusyAutoTuning);
    busyHeld_ = true;
}

void AutoTune::ReleaseBusy()
{
    if (!busyHeld_)
        return;
    busyHeld_ = false;
    ComBusyClr(BusyAutoTuning);
}

void AutoTune::ReleaseRight()
{
    if (!rightHeld_)
        return;
    rightHeld_ = false;
    RetVar = Variant(GetExecRight(0));
}

void AutoTune::EndRun()
{
    ReleaseBusy();
    ReleaseRight();
}

void AutoTune::AutoTimes() { ComSetTime(ComT1Auto, ComT2Auto, ComRetryAuto); }

// ---- load, axis, parameters ---------------------------------------------------------------------------

void AutoTune::Load()
{
    stiffness_ = 1;
    tuned_ = false;
    TakeEepReference();
    UpdAxis();
}

void AutoTune::UpdAxis()
{
    ReadRows(before_);
    after_.fill({});
}

// The working values start from the axis's EEPROM reference, but only when that reference was read, and
// never for parameters the user may not set here: a reference never read would put zeros into the table
// that a later send would write to the amplifier.
void AutoTune::TakeEepReference()
{
    if (AxisNo < 0 || AxisNo >= PrmCmpAxisCnt) return;
    int16_t keep[PrmCnt];
    int32_t keep32[PrmCnt];
    std::memcpy(keep, PrmVal, sizeof keep);
    std::memcpy(keep32, Prm32Val, sizeof keep32);
    FrmEEP::ChkeckDataToUserData();
    const int32_t own = PrmAttrSystem | PrmAttrReadOnly | PrmAttrReadOnly2;
    for (int n = 0; n < PrmCnt; ++n) {
        if (ChkPrmAttr(n, own)) PrmVal[n] = keep[n];
        if (ChkPrm32Attr(n, own)) Prm32Val[n] = keep32[n];
    }
}

// Reads each shown parameter from the amplifier and shows what was read; a value that could not be read
// shows nothing rather than an old one.
void AutoTune::ReadRows(std::array<std::string, RowCnt>& into)
{
    into.fill({});
    if (CurrentFamily() == CmdFamilyKind::K) {
        // The line protocol reads all its parameters at once; only the shown ones are taken over, so that
        // values edited elsewhere and not sent stay as they are.
        int16_t keep[PrmCnt];
        std::memcpy(keep, PrmVal, sizeof keep);
        const auto& up = FamilyK().PrmJuShinK;
        // Only -1 is a whole upload; "ERROR" (-2) left the table as it was.
        const bool read = (up ? up() : NoProcedure("PrmJuShinK")) == -1;
        bool take[PrmCnt] = {};
        for (int i = 0; i < RowCnt; ++i)
            if (read && RowShown(i) && AutoPrm[i].PrmNo < KUploadCnt) {
                take[AutoPrm[i].PrmNo] = true;
                into[static_cast<size_t>(i)] = std::to_string(PrmVal[AutoPrm[i].PrmNo]);
            }
        for (int n = 0; n < PrmCnt; ++n)
            if (!take[n])
                PrmVal[n] = keep[n];
        return;
    }
    const auto& rd = FamilyM().PrmRdM;
    for (int i = 0; i < RowCnt; ++i) {
        if (!RowShown(i))
            continue;
        const int16_t n = AutoPrm[i].PrmNo;
        if ((rd ? rd(n) : NoProcedure("PrmRdM")) != 0)
            into[static_cast<size_t>(i)] = std::to_string(PrmVal[n]);
    }
}

// ---- start ---------------------------------------------------------------------------------------------

void AutoTune::Exec()
{
    if (!ChkComm(1, AutoText::StartTitle))
        return;
    if (ComBusyGet() != 0) {
        Msg(AutoText::Occupied, AutoText::Caption);
        return;
    }
    bool ok = false;
    FrmCaution::Exec(1, ok);
    if (!ok || !ChkComm(1, AutoText::StartTitle))
        return;
    ReadRows(before_);
    after_.fill({});
    SetStatus(AutoText::Started, true);
    switch (AutoKind) {
    case 0: StartK(); break;
    case 1: StartM(); break;
    case 2: StartR(); break;
    default:
        // A series whose definition names no known tuning family: nothing was sent.
        SetStatus(AutoText::CantExec, false);
        Msg(AutoText::CantUse, AutoText::MeasError);
        break;
    }
}

void AutoTune::StartK()
{
    HoldBusy();
    stiffness_ = std::min<int16_t>(stiffness_, 255);
    const auto& start = FamilyK().AutoK;
    // An amplifier that refuses the start answers "ERROR" (after the echo of the line, which the start does
    // not read apart) and sends no closing line: there is no run to follow.
    if ((start ? start(stiffness_) : NoProcedure("AutoK")) == 0 ||
        StoredTextK(RcvTxtK).find("ERROR") != std::string::npos) {
        SetStatus(AutoText::Failed, false);
        Msg(AutoText::Failed, AutoText::FailedTitle);
        ReleaseBusy();
        return;
    }
    SetStatus(AutoText::Running, true);
    AutoTimes();
    timerOn_ = true;
}

void AutoTune::StartM()
{
    HoldBusy();
    stiffness_ = std::min<int16_t>(stiffness_, 255);
    const auto& start = FamilyM().AutoM;
    // The start takes the execution right and keeps it while the amplifier tunes.
    if ((start ? start(stiffness_) : NoProcedure("AutoM")) == 0) {
        SetStatus(AutoText::Failed, false);
        Msg(AutoText::Failed, AutoText::FailedTitle);
        ReleaseBusy();
        return;
    }
    rightHeld_ = true;
    SetStatus(AutoText::Running, true);
    AutoTimes();
    timerOn_ = true;
}

void AutoTune::StartR()
{
    HoldBusy();
    if (!GetExecRight(1)) {
        SetStatus(AutoText::Failed, false);
        ReleaseBusy();
        // The take may have reached the amplifier with only its answer lost: give the right back anyway.
        RetVar = Variant(GetExecRight(0));
        return;
    }
    rightHeld_ = true;
    int16_t b0 = 0, st = 0;
    const int16_t ok = AutoStart(stiffness_, b0, st);
    if (!ok || st != 0) {
        SetStatus(AutoText::Failed, false);
        Msg(ServoOff(st) ? AutoText::ServoOff : AutoText::CantExec, AutoText::MeasError);
        EndRun();
        return;
    }
    switch (b0) {
    case 0:
    case 2:
    case 3:
        SetStatus(AutoText::Running, true);
        timerOn_ = true;
        break;
    case 5:
        SetStatus(AutoText::CantExec, false);
        Msg(AutoText::CantUse, AutoText::MeasError);
        EndRun();
        break;
    default:
        SetStatus(AutoText::CantExec, false);
        Msg(AutoText::Incomplete, AutoText::MeasError);
        EndRun();
        break;
    }
}

// ---- poll ----------------------------------------------------------------------------------------------

void AutoTune::Tick()
{
    if (!timerOn_)
        return;
    if (++progress_ > 10)
        progress_ = 0;
    UpdPbar(progress_, 10);
    SetStatus(AutoText::Running, true);
    switch (AutoKind) {
    case 0: PollK(); break;
    case 1: PollM(); break;
    case 2: PollR(); break;
    default: timerOn_ = false; break;
    }
    if (plat::IsFrmLoad("FrmPara") && Links().paraUpdForRecv)
        Links().paraUpdForRecv(AutoText::ParaUpd);
}

void AutoTune::PollK()
{
    RetVar = Variant(RcvLineK(RcvTxtK));
    const Variant& first = RcvTxtK[0];
    if (first.kind() == Variant::Kind::Int16 && first.ToInt16() == -1) {
        SetStatus(AutoText::Running, true);
        return;
    }
    timerOn_ = false;
    Msg(RcvOkK(RcvTxtK) ? AutoText::TuneSucceeded : AutoText::TuneFailed);
    SetStatus(AutoText::Completed, false);
    ReleaseBusy();
    ComSetTimeDef();
}

void AutoTune::PollM()
{
    int16_t axis = 0, cmd = 0, mode = 0, n = 0;
    if (ComT2Auto > PollWaitMs)
        ComSetTime(ComT1Auto, PollWaitMs, ComRetryAuto);
    ComResult = RsRcvCmd(ComHandle, axis, cmd, mode, std::span<uint8_t>(RcvBuf, RcvBufSize), n);
    AutoTimes();
    if (ComResult != 1) {
        SetStatus(AutoText::Running, true);
        return;
    }
    // Judged on the amplifier's own block, before the release below replaces the reply and its status.
    const bool failed = n < 1 || RcvBuf[n - 1] != 0 || RcvBuf[0] != 0;
    EndRun();
    timerOn_ = false;
    Msg(failed ? AutoText::TuneFailed : AutoText::TuneSucceeded);
    SetStatus(AutoText::Completed, false);
    ComSetTimeDef();
}

void AutoTune::PollR()
{
    timerOn_ = false;
    int16_t b0 = 0, st = 0;
    const int16_t ok = AutoSts(stiffness_, b0, st);
    if (!ok || st != 0) {
        SetStatus(AutoText::Failed, false);
        Msg(ServoOff(st) ? AutoText::ServoOff : AutoText::Failed, AutoText::ErrorTitle);
        EndRun();
        return;
    }
    switch (b0) {
    case 0:
    case 2:
        timerOn_ = true;
        break;
    case 3:
        tuned_ = true;
        ReadRows(after_);
        SetStatus(AutoText::Completed, false);
        Msg(AutoText::TuneCompleted, AutoText::CompletedTitle);
        EndRun();
        break;
    case 5:
        SetStatus(AutoText::Failed, false);
        Msg(AutoText::CantUse, AutoText::ErrorTitle);
        EndRun();
        break;
    default:
        SetStatus(AutoText::Failed, false);
        Msg(AutoText::Incomplete, AutoText::ErrorTitle);
        EndRun();
        break;
    }
}

// ---- stop and unload -----------------------------------------------------------------------------------

void AutoTune::Stop()
{
    if (!timerOn_ && !busyHeld_)
        return;
    timerOn_ = false;
    SetStatus(AutoText::Interrupted, false);
    EndRun();
    ComSetTimeDef();
    Msg(AutoText::MayStillRun, AutoText::Caption);
}

std::string AutoTune::Unload()
{
    Stop();
    return AutoEepFlags(tuned_, UserLevel);
}
