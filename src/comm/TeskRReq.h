// What the family R procedures share: one request to the current axis through the request core, and the
// length check of its reply.
#pragma once

#include <cstdint>
#include <string>

#include "comm/TeskRCodec.h"

namespace teskr {

// Fills the request fields (axis AxisNo; SndBuf is the caller's) and runs ComCmd.
int16_t Request(int cmd, int mode, int len, int16_t errset, int16_t retry, uint8_t mask);
// The last reply's data bytes, status byte last.
Reply LastReply();
// True when the last reply holds `used` data bytes before its status byte; otherwise logs who was
// short-changed.
bool ReplyHolds(size_t used, const char* who);
// A page or number outside the byte it travels in: logged, false.
bool FitsByte(int value, const char* who);

} // namespace teskr
