// Request fields of the framed requests. Every command procedure fills them before it calls ComCmd; the
// reply's header then overwrites the four words. Plain globals, one user-interface thread.
#pragma once

#include <cstdint>

// Highest index of the send and reply buffers.
constexpr int SndBufLast = 400;
constexpr int RcvBufLast = 10000;
constexpr int SndBufSize = SndBufLast + 1;
constexpr int RcvBufSize = RcvBufLast + 1;

extern int16_t SndAxis; // address byte; after a reply, the reply's
extern int16_t SndCmd;  // command 0..15; after a reply, the reply's
extern int16_t SndMode; // mode 0..15; after a reply, the reply's
extern int16_t SndLen;  // data bytes to send (0..255); after a reply, the reply's N
extern uint8_t SndBuf[SndBufSize];
extern uint8_t RcvBuf[RcvBufSize];
// Result of the last try (-1 good, 0 failed) or of the last library call of the link procedures.
extern int16_t ComResult;
