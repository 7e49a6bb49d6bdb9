// What the family M procedures share: one request to the current axis through the request core, the
// length check of its reply, and the byte check of a number before it is sent.
#pragma once

#include <cstdint>

#include "comm/TeskMCodec.h"

namespace teskm {

// Fills the request fields (axis AxisNo; SndBuf is the caller's) and runs ComCmd with no retries.
int16_t Request(int cmd, int mode, int len, int16_t errset, uint8_t mask);
// The last reply's data bytes, status byte last.
Reply LastReply();
// True when the last reply holds `used` data bytes before its status byte; otherwise logs who was
// short-changed.
bool ReplyHolds(size_t used, const char* who);
// A number outside the byte it travels in: logged, false.
bool FitsByte(int value, const char* who);

} // namespace teskm
