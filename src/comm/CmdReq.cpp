#include "comm/CmdReq.h"

#include "app/Glb.h"
#include "app/Log.h"
#include "comm/ComCore.h"
#include "comm/ComReq.h"

#include <algorithm>
#include <string>

namespace cmdreq {

int16_t Request(int cmd, int mode, int len, int16_t errset, int16_t retry, uint8_t mask) {
    SndAxis = AxisNo;
    SndCmd = static_cast<int16_t>(cmd);
    SndMode = static_cast<int16_t>(mode);
    SndLen = static_cast<int16_t>(len);
    return ComCmd(SndAxis, SndCmd, SndMode, SndLen, errset, retry, mask);
}

Reply LastReply() {
    const int n = std::clamp<int>(SndLen, 0, RcvBufSize);
    return Reply(RcvBuf, static_cast<size_t>(n));
}

bool ReplyHolds(size_t used, const char* who) {
    if (Holds(LastReply(), used)) return true;
    log(std::string(who) + ": reply too short (" + std::to_string(SndLen) + " bytes, " +
            std::to_string(used + 1) + " needed)",
        LogOther);
    return false;
}

bool FitsByte(int value, const char* who) {
    if (value >= 0 && value <= 255) return true;
    log(std::string(who) + ": number " + std::to_string(value) + " does not fit its byte, nothing sent",
        LogOther);
    return false;
}

} // namespace cmdreq
