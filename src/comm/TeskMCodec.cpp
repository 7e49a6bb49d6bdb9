#include "comm/TeskMCodec.h"

#include "monitor/MonGlb.h"
#include "platform/Library.h"
#include "platform/Numbers.h"
#include "comm/SpektApi.h"

#include <algorithm>
#include <cmath>

namespace teskm {
namespace {

using spekt::BtoL;
using spekt::BtoS;
using spekt::LtoB;
using spekt::StoB;

// The block transfers' own pair rule: low + 256 * high, less 65536 from a high byte of 128 on.
int16_t Pair(uint8_t lo, uint8_t hi) {
    int v = lo + 256 * hi;
    if (hi >= 128) v -= 65536;
    return static_cast<int16_t>(v);
}

} // namespace

int16_t S16(Reply r, size_t at) {
    return BtoS(r[at + 1], r[at]);
}

int32_t S32(Reply r, size_t at) {
    return BtoL(r[at + 3], r[at + 2], r[at + 1], r[at]);
}

void PutS16(uint8_t* out, int16_t v) {
    StoB(v, &out[1], &out[0]);
}

void PutS32(uint8_t* out, int32_t v) {
    LtoB(v, &out[3], &out[2], &out[1], &out[0]);
}

bool DecodeCpuVer(Reply r, CpuVerRec& rec) {
    if (!Holds(r, 2)) return false;
    rec.Present = plat::VbTrue;
    rec.Major = static_cast<int16_t>(r[0] >> 4);
    rec.Minor = static_cast<int16_t>(10 * (r[1] >> 4) + (r[1] & 15));
    rec.Word4 = 0;
    return true;
}

bool DecodeMotorName(Reply r, std::string& name) {
    if (!Holds(r, 12)) return false;
    std::string s;
    for (size_t i = 0; i < 12; ++i) {
        const char c = static_cast<char>(r[i]);
        if (c != '*' && c != '_' && c != '\0') s.push_back(c);
    }
    const auto first = s.find_first_not_of(' ');
    const auto last = s.find_last_not_of(' ');
    name = first == std::string::npos ? std::string() : s.substr(first, last - first + 1);
    return true;
}

bool DecodeIoWord(Reply r, int32_t& word) {
    if (!Holds(r, 2)) return false;
    word = r[0] * 256 + r[1];
    return true;
}

bool DecodeMon(Reply r, MonRaw& out) {
    if (!Holds(r, 8)) return false;
    out.speed = Pair(r[0], r[1]);
    out.torque = S16(r, 2);
    out.counter = S32(r, 4);
    return true;
}

bool DecodeAlmHist(Reply r, std::array<int16_t, 8>& codes) {
    if (!Holds(r, 16)) return false;
    for (size_t k = 0; k < codes.size(); ++k)
        codes[k] = r[2 * k + 1];
    return true;
}

bool PackPrmBlock(std::span<const int16_t> values, uint8_t* out) {
    if (values.size() > static_cast<size_t>(MaxBlockValues)) return false;
    for (size_t i = 0; i < values.size(); ++i) {
        const auto u = static_cast<uint16_t>(values[i]);
        out[2 * i] = static_cast<uint8_t>(u & 0xFF);
        out[2 * i + 1] = static_cast<uint8_t>(u >> 8);
    }
    return true;
}

size_t UnpackPrmBlock(Reply r, std::span<int16_t> dest) {
    const size_t held = r.empty() ? 0 : (r.size() - 1) / 2;
    const size_t n = std::min(held, dest.size());
    for (size_t i = 0; i < n; ++i)
        dest[i] = Pair(r[2 * i], r[2 * i + 1]);
    return n;
}

bool PackWavCond(const WavCondRec& cond, uint8_t (&out)[4], std::string* why) {
    const int16_t option = cond.Word[WavWOption], sampling = cond.Word[WavWSmp];
    const int16_t trigger = cond.Word[WavWTrig], level = cond.Word[WavWTrigLevel];
    const int16_t position = cond.Word[WavWTrigPos], slope = cond.Word[WavWTrigSlope];
    auto refuse = [&](const std::string& text) {
        if (why) *why = text;
        return false;
    };
    if (position < 0 || position > 15)
        return refuse("trigger position " + std::to_string(position) + " is not 0..15");
    if (slope < 0 || slope > 1) return refuse("trigger slope " + std::to_string(slope) + " is not 0 or 1");
    if (option < 0 || option > 2) return refuse("option " + std::to_string(option) + " is not 0..2");
    if (sampling < 0 || sampling > 511)
        return refuse("sampling index " + std::to_string(sampling) + " is not 0..511");
    out[0] = static_cast<uint8_t>(position * 16 + slope * 8 + option * 2 + (trigger != 0 ? 1 : 0));
    const int32_t wire = option == 1 ? int32_t{level} * 5 : int32_t{level};
    PutS16(&out[1], static_cast<int16_t>(std::clamp<int32_t>(wire, -32768, 32767)));
    out[3] = static_cast<uint8_t>(plat::RoundHalfEven(sampling / 2.0));
    return true;
}

int WavDataCode(int option) {
    switch (option) {
    case 0:
        return 10;
    case 1:
        return 9;
    case 2:
        return 12;
    default:
        return -1;
    }
}

bool IsExtendedMarker(uint8_t n) {
    return n >= 0xFC;
}

size_t BytesAfterLength(uint8_t n) {
    switch (n) {
    case 0xFC:
        return 4004;
    case 0xFD:
        return 3004;
    case 0xFE:
        return 2004;
    case 0xFF:
        return 1004;
    default:
        return size_t{n} + 3;
    }
}

bool BlockSumOk(std::span<const uint8_t> block) {
    unsigned sum = 0;
    for (uint8_t b : block)
        sum += b;
    return !block.empty() && (sum & 0xFF) == 0;
}

} // namespace teskm
