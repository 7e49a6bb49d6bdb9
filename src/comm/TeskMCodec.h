// Family M request data and reply layouts, without any I/O: builders fill byte arrays, decoders read a
// reply's data bytes (status byte last) and refuse a reply shorter than their layout, so that a short reply
// never decodes bytes left over from an earlier one.
//
// Parameter and monitor values travel low byte first in two's complement; the two I/O state words travel
// high byte first. Single values go through the byte-packing functions of libspekt.so, bound by name at
// their first call; block transfers use the program's own pair rule.
#pragma once

#include "comm/CmdReq.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "app/Glb.h"

struct WavCondRec;

namespace teskm {

using cmdreq::Reply;
using cmdreq::Holds;

// A request's one length byte counts at most 255 data bytes, so a block send holds at most 127 values. (Only
// a reply reads a length of 252 to 255 as an extended block; that limits what an amplifier can answer, not
// what it can be sent.)
constexpr int MaxBlockValues = 127;

// Single values through the packing library; the caller has checked the length with Holds.
int16_t S16(Reply r, size_t at);
int32_t S32(Reply r, size_t at);
void PutS16(uint8_t* out, int16_t v);
void PutS32(uint8_t* out, int32_t v);

// CPU version: major = high nibble of byte 0, minor = byte 1 as two BCD digits.
bool DecodeCpuVer(Reply r, CpuVerRec& rec);
// Motor model: the 12 characters without "*", "_" and NUL, trimmed.
bool DecodeMotorName(Reply r, std::string& name);
// One I/O state word, high byte first.
bool DecodeIoWord(Reply r, int32_t& word);

struct MonRaw {
    int16_t speed = 0;   // bytes 0-1
    int16_t torque = 0;  // bytes 2-3, before the torque scale
    int32_t counter = 0; // bytes 4-7
};
bool DecodeMon(Reply r, MonRaw& out);

// Alarm history: codes at the odd offsets 1, 3, ... 15.
bool DecodeAlmHist(Reply r, std::array<int16_t, 8>& codes);

// Block of values, two bytes each, low byte first. Refuses more than MaxBlockValues values (false, nothing
// written); out must hold 2 * values.size() bytes.
bool PackPrmBlock(std::span<const int16_t> values, uint8_t* out);
// Values a block reply holds: (data bytes - status) / 2, never more than dest holds. Fills dest from its
// start and returns how many it filled.
size_t UnpackPrmBlock(Reply r, std::span<int16_t> dest);

// Waveform condition [position << 4 | slope << 3 | option << 1 | trigger][level low][level high]
// [sampling / 2 rounded half to even] from the condition words. The level is multiplied by 5 for option 1
// and clamped to 16 bits. A trigger position outside 0..15, a slope outside 0..1, an option outside 0..2
// or a sampling index outside 0..511 is refused: false, with the reason in why.
bool PackWavCond(const WavCondRec& cond, uint8_t (&out)[4], std::string* why);
// Data byte of the waveform data read for option index 0, 1, 2 (10, 9, 12); -1 for any other.
int WavDataCode(int option);

// The ready block of the waveform read, as the line gives it after the length byte N: an extended
// marker (0xFC..0xFF) is followed by 4004, 3004, 2004 or 1004 bytes, any other N by N + 3.
bool IsExtendedMarker(uint8_t n);
size_t BytesAfterLength(uint8_t n);
// Every byte of the block, length byte and checksum included, adds up to 0 modulo 256.
bool BlockSumOk(std::span<const uint8_t> block);

} // namespace teskm
