// What the family R procedures share: one request to the current axis through the request core, and the
// length check of its reply.
#pragma once

#include <cstdint>
#include <string>

#include "comm/TeskRCodec.h"

namespace teskr {

using cmdreq::FitsByte;
using cmdreq::LastReply;
using cmdreq::ReplyHolds;
using cmdreq::Request;

} // namespace teskr
