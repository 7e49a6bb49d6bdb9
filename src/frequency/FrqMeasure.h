// What the measurement dialog decides, apart from its widgets: the range of the conditions, the bytes of
// the start and stop requests, the reading of a transfer reply, and where entered conditions are kept.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "frequency/FrqGlb.h"

// Execute is offered only for a positive amplitude whose swing around the offset stays strictly inside
// +-5000 r/min, and a sampling index that fits the six bits of its byte.
bool FrqCondInRange(double amp, double off, double smp);

// Start request (command 10, mode 4): [sampling | 0x40 full-closed][amplitude][offset][point count],
// 16-bit values low byte first. The stop request is the same with amplitude 0 and never full-closed.
std::array<uint8_t, 7> FrqStartRequest(int smp, bool fullClose, int amp, int off, int count);

// Status bits of a transfer reply.
inline constexpr uint8_t FrqStSampling = 0x01; // still sampling: ask for the same page again
inline constexpr uint8_t FrqStAlarm = 0x02;    // alarm during the measurement
inline constexpr uint8_t FrqStTorque = 0x04;   // torque saturated (servo alarm in a start reply)
inline constexpr uint8_t FrqStAccepted = 0x85; // bits a transfer reply may carry without error

// Data words of a transfer reply of n bytes (block number, words, status byte): (n - 2) / 2, rounded
// down so that the status byte is never taken for data.
int FrqReplyWords(int n);
// Stores the reply's words as raw samples from ptr on, but never at or beyond limit; returns the new
// pointer (counting every word, stored or not, up to limit).
int FrqStoreWords(FrqRec& rec, int ptr, int limit, std::span<const uint8_t> reply);

// Conditions offered for the next measurement: those kept apart after a load or a cancelled dialog, else
// the current record's.
FrqCondRec FrqPendingCond();
// Keeps entered conditions: into the current record while it holds no samples, else apart for the next
// measurement, so that samples keep the conditions they were measured with.
void FrqStorePendingCond(const FrqCondRec& cond);
