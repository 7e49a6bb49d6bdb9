// What the family M procedures share: one request to the current axis through the request core, the
// length check of its reply, and the byte check of a number before it is sent.
#pragma once

#include <cstdint>

#include "comm/TeskMCodec.h"

namespace teskm {

// Family M requests make one try: the caller decides about repeating.
inline int16_t Request(int cmd, int mode, int len, int16_t errset, uint8_t mask) {
    return cmdreq::Request(cmd, mode, len, errset, 0, mask);
}
using cmdreq::FitsByte;
using cmdreq::LastReply;
using cmdreq::ReplyHolds;

} // namespace teskm
