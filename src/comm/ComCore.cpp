#include "comm/ComCore.h"

#include "app/FrmDrvErr.h"
#include "app/Glb.h"
#include "app/Log.h"
#include "app/LogSvc.h"
#include "comm/ComGlb.h"
#include "comm/ComReq.h"
#include "comm/ComStatus.h"
#include "comm/ComWrap.h"
#include "comm/FrmSysCon.h"
#include "comm/QelApi.h"
#include "data/PrmGlb.h"
#include "platform/Ask.h"
#include "platform/Numbers.h"

#include <exception>
#include <functional>

namespace {

using plat::VbFalse;
using plat::VbTrue;

// Set while a request runs: a timer or a window reached through the event pump of a message box must not
// start a second exchange in the middle of this one.
int16_t requestLock = 0;

class RequestLock {
  public:
    RequestLock() { requestLock = -1; }
    ~RequestLock() { requestLock = 0; }
    RequestLock(const RequestLock&) = delete;
    RequestLock& operator=(const RequestLock&) = delete;
};

} // namespace

int16_t ComSndRcv1(int16_t& axis, int16_t& cmd, int16_t& mode, int16_t& len) {
    if (requestLock != 0) return VbFalse;
    RequestLock lock; // freed on every way out, a library error included
    if (ComHandle == 0) return VbFalse;

    RsClr(ComHandle);
    ComResult = RsSndCmd(ComHandle, axis, cmd, mode, SndBuf, len);
    if (ComResult == 0) {
        ComStatus = 0;
        return VbFalse;
    }
    if (SysCon.Chk485Err) ComRcvSkip();
    ComResult = RsRcvCmd(ComHandle, axis, cmd, mode, RcvBuf, len);
    if (ComResult == 0 || len > RcvBufSize) {
        ComStatus = 0;
        return VbFalse;
    }
    ComStatus = len >= 1 ? RcvBuf[len - 1] : 0;
    if (len >= 1 && SysCon.Chk485Err) ComStatus |= 0x90;
    return VbTrue;
}

int16_t ComCmd(int16_t& axis, int16_t& cmd, int16_t& mode, int16_t& len, int16_t errset, int16_t retry,
               uint8_t mask) {
    // A try receives into the same variables, so each try starts again from the request as given.
    const int16_t reqAxis = axis, reqCmd = cmd, reqMode = mode, reqLen = len;
    const int tries = retry < 0 ? 1 : retry + 1;
    int16_t r = VbFalse;
    for (int k = 0; k < tries; ++k) {
        axis = reqAxis;
        cmd = reqCmd;
        mode = reqMode;
        len = reqLen;
        r = ComSndRcv1(axis, cmd, mode, len);
        ComResult = r;
        if (r != VbFalse && (ComStatus & mask) == 0) return VbTrue;
    }
    if (r == VbFalse) return VbFalse;
    if (errset != NoErrWindow)
        FrmDrvErr::DspErr("Communication cmd:" + std::to_string(cmd) + " mode:" + std::to_string(mode),
                          errset);
    return VbFalse;
}

void ComRcvSkip() {
    int16_t axis = 0, cmd = 0, mode = 0, n = 0;
    RetVar = Variant(qel::RcvCmd2(ComHandle, &axis, &cmd, &mode, RcvBuf, &n));
}

bool StatChk(uint8_t mask) {
    return (ComStatus & mask) != 0;
}

bool StatChkOther(uint8_t mask) {
    return (ComStatus | mask) > mask;
}

uint8_t StatGet(uint8_t mask) {
    return static_cast<uint8_t>(ComStatus & ~mask);
}

int16_t ChkComm(int16_t ask, const std::string& title) {
    if (ComHandle == 0) return VbFalse;
    // The framed ping, for every series: the line protocol's amplifiers answer it too.
    SndAxis = AxisNo;
    SndCmd = 0;
    SndMode = 0;
    SndLen = 0;
    if (ComCmd(SndAxis, SndCmd, SndMode, SndLen, NoErrWindow, 0, 0x38) != VbFalse) return VbTrue;
    if (ask != 0)
        plat::MsgBox(StatChk(0x10) ? "Communicatio failed(485 error)" : "Communication failed",
                     plat::Buttons::Ok, plat::Icon::None, title);
    return VbFalse;
}

int16_t GetExecRight(int16_t take) {
    if (ExecRightUse == 0) return VbTrue;
    int16_t axis = AxisNo, cmd = 1, mode = 7, len = 1;
    SndBuf[0] = take != 0 ? 1 : 0;
    if (ComCmd(axis, cmd, mode, len, NoErrWindow, 0, 0) == VbFalse) return VbFalse;
    if (StatChk(0xFF)) {
        plat::MsgBox("Front panel in use. Execute after returning the front panel to selection display.",
                     plat::Buttons::Ok, plat::Icon::None, "Execution right error");
        log("Failure to get execution right.", LogOther);
        return VbFalse;
    }
    return VbTrue;
}

void ComPortTest() {
    if (plat::MsgBox("Do you want to test the port ?", plat::Buttons::YesNo, plat::Icon::Question) ==
        plat::No)
        return;

    // Every step goes on after a failing one; the last library error is written after each result.
    std::string lastError;
    auto trap = [&](const std::function<void()>& step) {
        try {
            step();
        } catch (const std::exception& e) {
            lastError = e.what();
        }
    };
    auto err = [&] { return " err:" + lastError; };

    for (int16_t port = 1; port <= 2; ++port) {
        LogFileOut("Port Test COM" + std::to_string(port) + " / 9600bps");

        int16_t rc = 0;
        LogFileOut("Qel_Ping : going");
        trap([&] { rc = qel::Ping(1); });
        LogFileOut("Qel_Ping : rc:" + std::to_string(rc) + err());

        uint32_t link = 0;
        LogFileOut("Qel_Open : going");
        trap([&] { link = qel::Open(port, 9600); });
        LogFileOut("Qel_Open : QEL:" + std::to_string(link) + err());
        if (link == 0) continue;

        rc = 0;
        LogFileOut("Qel_SndCmd2 : going");
        trap([&] { rc = RsSndCmd(link, 0, 0, 0, SndBuf, 0); });
        LogFileOut("Qel_SndCmd2 : rc:" + std::to_string(rc) + err());

        int16_t axis = 0, cmd = 0, mode = 0, n = 0;
        rc = 0;
        LogFileOut("Qel_RcvCmd2 : going" + err());
        trap([&] { rc = RsRcvCmd(link, axis, cmd, mode, RcvBuf, n); });
        LogFileOut("Qel_RcvCmd2 : rc:" + std::to_string(rc) + " N:" + std::to_string(n) + err());

        rc = 0;
        LogFileOut("Qel_Close : going");
        trap([&] { rc = qel::Close(&link); });
        LogFileOut("Qel_Close : rc:" + std::to_string(rc) + err());

        rc = 0;
        LogFileOut("Qel_CloseAll : going");
        trap([&] { rc = qel::CloseAll(); });
        LogFileOut("Qel_CloseAll : rc:" + std::to_string(rc) + err());
    }
    // The closes above took the program's own link with them.
    trap([&] {
        if (ComHandle != 0 && qel::IsReg(ComHandle) == 0) ComHandle = 0;
    });
}
