// The ENQ/EOT/ACK/NAK exchange of link blocks over a line. Every wait the peer drives is bounded,
// so a chattering or broken peer ends an exchange as a time-out would.
#ifndef QEL_EXCHANGE_H
#define QEL_EXCHANGE_H

#include "link/port.h"

#include <cstdint>

namespace qel {

// Foreign bytes skipped while waiting for EOT or ENQ, bytes thrown away by one drain, and NAKed
// repetitions of one receive, before giving up.
inline constexpr int kMaxSkipped = 4096;
inline constexpr int kMaxDrained = 10000;
inline constexpr int kMaxNakRepeats = 10;

// The link's waits: T1 and T2 in ms, and the per-byte multiplier 10000 / baud.
struct Waits {
    uint32_t t1;
    uint32_t t2;
    uint32_t m;
};

// ENQ, then wait for EOT under (T1, m, T1), which stay in force: 1 when EOT came.
int SendEnq(Line& line, const Waits& w);
// One send try of a built block of n data bytes: 1 when the peer acknowledged it.
int SendTry(Line& line, const Waits& w, const uint8_t* block, int n);
// 0 when the block's checksum is right, 1 otherwise (with its trace line).
int SumNG(const uint8_t* block);
// One receive try into block (room for the largest extended block): 1 received and ACKed,
// 0 refused with NAK, -1 no ENQ came (nothing written).
int ReceiveTry(Line& line, const Waits& w, uint8_t* block);
// Receive tries until one succeeds (1) or no ENQ comes or the peer was NAKed too often (0).
int Receive(Line& line, const Waits& w, uint8_t* block);
// Throws away what is waiting under (1, m, 1), which stay in force; ends at once when nothing is waiting.
// Returns 1.
int Drain(Line& line, uint32_t m);

}  // namespace qel

#endif
