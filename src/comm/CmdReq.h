// What the command procedures of the framed families share: one request to the current axis through the
// request core, the length check of its reply, and the byte check of a number before it is sent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace cmdreq {

// A reply's data bytes, status byte last.
using Reply = std::span<const uint8_t>;

// The reply (data and status byte) holds `used` data bytes before its status byte.
constexpr bool Holds(Reply reply, size_t used) {
    return reply.size() >= used + 1;
}

// Fills the request fields (axis AxisNo; SndBuf is the caller's) and runs ComCmd.
int16_t Request(int cmd, int mode, int len, int16_t errset, int16_t retry, uint8_t mask);
// The last reply's data bytes, status byte last.
Reply LastReply();
// True when the last reply holds `used` data bytes before its status byte; otherwise logs who was
// short-changed.
bool ReplyHolds(size_t used, const char* who);
// A number outside the byte it travels in: logged, false.
bool FitsByte(int value, const char* who);

} // namespace cmdreq
