// Family R request data and reply layouts, without any I/O: request builders fill byte arrays, reply
// decoders read a reply's data bytes (status byte last) and refuse a reply shorter than their layout, so
// that a short reply never decodes bytes left over from an earlier one.
//
// Values travel low byte first in two's complement; the 16- and 32-bit packings go through the
// byte-packing functions of libspekt.so, bound by name at their first call.
#pragma once

#include "comm/CmdReq.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "monitor/MonGlb.h"
#include "positioning/PopGlb.h"

namespace teskr {

using cmdreq::Reply;
using cmdreq::Holds;

// Reading at a fixed offset; the caller has checked the length with Holds.
int16_t S16(Reply r, size_t at);
uint16_t U16(Reply r, size_t at);
int32_t S32(Reply r, size_t at);
uint32_t U24(Reply r, size_t at);
int64_t S64(Reply r, size_t at);
// Writing, low byte first.
void PutS16(uint8_t* out, int16_t v);
void PutS32(uint8_t* out, int32_t v);

// ---- parameter pages ---------------------------------------------------------------------------------

struct Entry16 {
    int16_t Val = 0, Min = 0, Max = 0, Attr = 0;
};
struct Entry32 {
    int32_t Val = 0, Min = 0, Max = 0, Attr = 0;
};

// Parameter page replies: byte 0 unused, then per entry value, minimum, maximum, attribute.
// 16-bit parameters: sixteen entries of 2-byte fields. 32-bit parameters: eight entries of 4-byte fields.
bool DecodePrm16Page(Reply r, std::array<Entry16, 16>& out);
bool DecodePrm32Page(Reply r, std::array<Entry32, 8>& out);
// Positioning parameter pages: eight entries. 16-bit: four 2-byte fields. 32-bit: value, minimum and
// maximum of 4 bytes, then a 2-byte attribute (14 bytes an entry).
bool DecodePop16Page(Reply r, std::array<Entry16, 8>& out);
bool DecodePop32Page(Reply r, std::array<Entry32, 8>& out);

// ---- positioning steps -------------------------------------------------------------------------------

constexpr size_t StepImageLen = 10; // a page carries one more, reserved byte per step
// Step image: position (8 bytes), velocity | deceleration << 4 | acceleration << 6, mode | block << 7.
// Each code is masked to its field; an empty position goes as 0.
void PackStepImage(const PopStepRec& step, uint8_t* out);
// Fills the wire fields of step (the comment stays); the position is no longer empty.
void UnpackStepImage(Reply r, size_t at, PopStepRec& step);
// Step page reply: byte 0 the page, then eight 11-byte images.
bool DecodeStepPage(Reply r, std::array<PopStepRec, 8>& out);

// ---- waveform ----------------------------------------------------------------------------------------

// Condition data [position << 4 | slope << 3 | option << 1 | trigger][level][sampling] from the
// condition words. The level is multiplied by 5 for option 1 and clamped to 16 bits. A trigger position
// outside 0..15, a slope outside 0..1, an option outside 0..2 or a negative sampling index is refused:
// false, with the reason in why.
bool PackWavCond(const WavGraphRec& cond, uint8_t (&out)[5], std::string* why);
// Channel selection codes: channel 3, 1, 2, 4, 5 in that order into slots 1 to 3 while they last; each
// placed channel's slot goes back into the condition words 7..11. Slot 0 stays 0.
void PackGrpCh(WavGraphRec& cond, uint8_t (&out)[4]);
// State of a capture from the state poll's status: -1 error (a bit outside 0x85), 0 running, 1 ready.
int16_t GrpStsOf(uint8_t status);

} // namespace teskr
