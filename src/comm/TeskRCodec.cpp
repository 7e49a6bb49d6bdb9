#include "comm/TeskRCodec.h"

#include "comm/Duvo.h"
#include "comm/SpektApi.h"

#include <algorithm>

namespace teskr {
namespace {

using spekt::BtoL;
using spekt::BtoS;
using spekt::LtoB;
using spekt::StoB;

} // namespace

int16_t S16(Reply r, size_t at) {
    return BtoS(r[at + 1], r[at]);
}

uint16_t U16(Reply r, size_t at) {
    return static_cast<uint16_t>(r[at] | (r[at + 1] << 8));
}

int32_t S32(Reply r, size_t at) {
    return BtoL(r[at + 3], r[at + 2], r[at + 1], r[at]);
}

uint32_t U24(Reply r, size_t at) {
    return static_cast<uint32_t>(r[at]) | static_cast<uint32_t>(r[at + 1]) << 8 |
           static_cast<uint32_t>(r[at + 2]) << 16;
}

int64_t S64(Reply r, size_t at) {
    uint8_t b[8];
    std::copy_n(r.begin() + static_cast<std::ptrdiff_t>(at), 8, b);
    return Int64ToDec(b);
}

void PutS16(uint8_t* out, int16_t v) {
    StoB(v, &out[1], &out[0]);
}

void PutS32(uint8_t* out, int32_t v) {
    LtoB(v, &out[3], &out[2], &out[1], &out[0]);
}

bool DecodePrm16Page(Reply r, std::array<Entry16, 16>& out) {
    if (!Holds(r, 1 + 16 * 8)) return false;
    for (size_t k = 0; k < 16; ++k) {
        size_t at = 1 + 8 * k;
        out[k] = Entry16{S16(r, at), S16(r, at + 2), S16(r, at + 4), S16(r, at + 6)};
    }
    return true;
}

bool DecodePrm32Page(Reply r, std::array<Entry32, 8>& out) {
    if (!Holds(r, 1 + 8 * 16)) return false;
    for (size_t k = 0; k < 8; ++k) {
        size_t at = 1 + 16 * k;
        out[k] = Entry32{S32(r, at), S32(r, at + 4), S32(r, at + 8), S32(r, at + 12)};
    }
    return true;
}

bool DecodePop16Page(Reply r, std::array<Entry16, 8>& out) {
    if (!Holds(r, 1 + 8 * 8)) return false;
    for (size_t k = 0; k < 8; ++k) {
        size_t at = 1 + 8 * k;
        out[k] = Entry16{S16(r, at), S16(r, at + 2), S16(r, at + 4), S16(r, at + 6)};
    }
    return true;
}

bool DecodePop32Page(Reply r, std::array<Entry32, 8>& out) {
    if (!Holds(r, 1 + 8 * 14)) return false;
    for (size_t k = 0; k < 8; ++k) {
        size_t at = 1 + 14 * k;
        out[k] = Entry32{S32(r, at), S32(r, at + 4), S32(r, at + 8), S16(r, at + 12)};
    }
    return true;
}

void PackStepImage(const PopStepRec& step, uint8_t* out) {
    uint8_t pos[8];
    DecToInt64(pos, step.PosEmpty ? int64_t{0} : step.Position);
    std::copy_n(pos, 8, out);
    out[8] = static_cast<uint8_t>((step.Vel & 15) | ((step.Dec & 3) << 4) | ((step.Acc & 3) << 6));
    out[9] = static_cast<uint8_t>((step.Mod & 127) | ((step.Blk & 1) << 7));
}

void UnpackStepImage(Reply r, size_t at, PopStepRec& step) {
    step.Position = S64(r, at);
    step.PosEmpty = false;
    const uint8_t b8 = r[at + 8], b9 = r[at + 9];
    step.Vel = b8 & 15;
    step.Dec = (b8 >> 4) & 3;
    step.Acc = b8 >> 6;
    step.Mod = b9 & 127;
    step.Blk = b9 >> 7;
}

bool DecodeStepPage(Reply r, std::array<PopStepRec, 8>& out) {
    if (!Holds(r, 1 + 8 * 11)) return false;
    for (size_t k = 0; k < 8; ++k)
        UnpackStepImage(r, 1 + 11 * k, out[k]);
    return true;
}

bool PackWavCond(const WavGraphRec& cond, uint8_t (&out)[5], std::string* why) {
    const int16_t option = cond.Word[12], sampling = cond.Word[13], trigger = cond.Word[14];
    const int16_t level = cond.Word[15], position = cond.Word[16], slope = cond.Word[17];
    auto refuse = [&](const std::string& text) {
        if (why) *why = text;
        return false;
    };
    if (position < 0 || position > 15)
        return refuse("trigger position " + std::to_string(position) + " is not 0..15");
    if (slope < 0 || slope > 1) return refuse("trigger slope " + std::to_string(slope) + " is not 0 or 1");
    if (option < 0 || option > 2) return refuse("option " + std::to_string(option) + " is not 0..2");
    if (sampling < 0) return refuse("sampling index " + std::to_string(sampling) + " is negative");
    out[0] = static_cast<uint8_t>(position * 16 + slope * 8 + option * 2 + (trigger != 0 ? 1 : 0));
    const int32_t wire = option == 1 ? int32_t{level} * 5 : int32_t{level};
    PutS16(&out[1], static_cast<int16_t>(std::clamp<int32_t>(wire, -32768, 32767)));
    PutS16(&out[3], sampling);
    return true;
}

void PackGrpCh(WavGraphRec& cond, uint8_t (&out)[4]) {
    std::fill(std::begin(out), std::end(out), uint8_t{0});
    // Channel, the code it goes by on the wire.
    static constexpr int order[5][2] = {{3, 1}, {1, 2}, {2, 3}, {4, 4}, {5, 5}};
    int slot = 1;
    for (const auto& [ch, code] : order) {
        if (slot > 3) break;
        if (cond.Word[ch] == 0) continue;
        out[slot] = static_cast<uint8_t>(code);
        cond.Word[6 + ch] = static_cast<int16_t>(slot);
        ++slot;
    }
}

int16_t GrpStsOf(uint8_t status) {
    if ((status | 0x85) > 0x85) return -1;
    return (status & 0x01) ? 0 : 1;
}

} // namespace teskr
