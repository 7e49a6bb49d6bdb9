#include "monitor/WavLogic.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/Numbers.h"

using plat::VbFalse;
using plat::VbTrue;

int16_t btod(uint8_t lo, uint8_t hi)
{
    return static_cast<int16_t>(static_cast<uint16_t>(hi << 8 | lo));
}

int16_t WavSampling(const WavControls& c)
{
    return static_cast<int16_t>(std::max(1, c.sldMax + c.sldMin - c.sldValue));
}

void MakeChCond(WavCondRec& cond, const WavControls& c)
{
    cond.Word[WavWChOn] = VbTrue;
    for (int k = 1; k < WavChShown; ++k) cond.Word[WavWChOn + k] = VbFalse;
    if (WavChkMode == 0) {
        // Option mode: channel 0 and one of channels 3, 1, 2.
        const int opt = std::clamp(c.optItem, 0, 2);
        cond.Word[WavWChOn + 3] = plat::VbBool(opt == 0);
        cond.Word[WavWChOn + 1] = plat::VbBool(opt == 1);
        cond.Word[WavWChOn + 2] = plat::VbBool(opt == 2);
        cond.Word[WavWOption] = static_cast<int16_t>(opt);
        return;
    }
    for (int k : {1, 2, 3, 5, 4})
        cond.Word[WavWChOn + k] = plat::VbBool(c.chkItem[k] && MeasItem[k].Offered != 0);
    cond.Word[WavWOption] = 0;
}

std::string WavLevelText(int value)
{
    return (value >= 0 ? " " : "") + std::to_string(value);
}

void MakeTrigCond(WavCondRec& cond, WavControls& c)
{
    cond.Word[WavWTrig] = static_cast<int16_t>(c.trgMode ? 1 : 0);
    cond.Word[WavWTrigSlope] = static_cast<int16_t>(c.slope);
    cond.Word[WavWTrigPos] = static_cast<int16_t>(c.position);
    cond.Word[WavWSmp] = WavSampling(c);
    // Text that is no number counts as 0, as the level box has always read it.
    double v = std::strtod(c.levelText.c_str(), nullptr);
    if (!std::isfinite(v)) v = 0;
    if (WavTrgMin < WavTrgMax) v = std::clamp(v, static_cast<double>(WavTrgMin), static_cast<double>(WavTrgMax));
    const int level = static_cast<int>(std::clamp(plat::RoundHalfEven(v), -32768.0, 32767.0));
    cond.Word[WavWTrigLevel] = static_cast<int16_t>(level);
    c.levelText = WavLevelText(level);
}

void WaveDefCh(WavCondRec& cond, WavControls& c)
{
    for (int k = 1; k < WavChShown; ++k) {
        c.chkItemEnabled[k] = true;
        c.chkItem[k] = k <= 3;
    }
    MakeChCond(cond, c);
    cond.Word[WavWSlot + 0] = 0;
    cond.Word[WavWSlot + 3] = 1;
    cond.Word[WavWSlot + 1] = 2;
    cond.Word[WavWSlot + 2] = 3;
    cond.Word[WavWSlot + 4] = WavNoSlot;
    cond.Word[WavWSlot + 5] = WavNoSlot;
}

void WavClearSlots(WavCondRec& cond)
{
    cond.Word[WavWSlot] = 0;
    for (int ch = 1; ch < WavChShown; ++ch) cond.Word[WavWSlot + ch] = WavNoSlot;
}

bool WavChannelUnslotted(const WavCondRec& cond, int ch)
{
    const int16_t slot = cond.Word[WavWSlot + ch];
    return cond.Word[WavWChOn + ch] != 0 && (slot < 0 || slot > 3);
}

int WavSecondRecord(const WavCondRec& cond)
{
    switch (cond.Word[WavWOption]) {
    case 1: return 2;
    case 2: return 3;
    default: return 0;
    }
}

int WaveUnpackK(std::span<const uint8_t> data, const WavCondRec& cond, WavGraphRec& g)
{
    auto value = [](uint8_t hi, uint8_t lo) {
        int v = (hi & 0x7F) * 128 + (lo & 0x7F);
        return static_cast<int16_t>(v >= 8192 ? v - 16384 : v);
    };
    WavChRec& second = g.Ch[WavSecondRecord(cond)];
    int i = 0;
    for (; i < 500; ++i) {
        const size_t p = 4 * static_cast<size_t>(i);
        if (p + 4 > data.size() || data[p] == 130) break;
        g.Ch[1].RawData[i] = value(data[p], data[p + 1]);
        second.RawData[i] = value(data[p + 2], data[p + 3]);
    }
    return i;
}

bool WaveUnpackM(std::span<const uint8_t> data, const WavCondRec& cond, WavGraphRec& g)
{
    auto at = [&data](size_t p) { return btod(data[p], data[p + 1]); };
    auto second = [&cond](int16_t v) {
        if (cond.Word[WavWOption] != 1) return v;
        return static_cast<int16_t>(plat::RoundHalfEven(v / 5.0));
    };
    WavChRec& rec2 = g.Ch[WavSecondRecord(cond)];
    // Per point the actual speed, then the second signal.
    if (data.size() < 2000) return false;
    for (size_t i = 0; i < 500; ++i) {
        g.Ch[1].RawData[i] = at(4 * i);
        rec2.RawData[i] = second(at(4 * i + 2));
    }
    return true;
}

void WaveBitTrace(int16_t* samples, int16_t mask)
{
    for (int i = 0; i < 500; ++i) samples[i] = (samples[i] & mask) != 0 ? 1 : 0;
}

// ---- view --------------------------------------------------------------------------------------------

namespace {
constexpr float kZoom[] = {1, 2, 4, 10, 20};
int ZoomIndex(float f)
{
    for (int i = 0; i < 5; ++i)
        if (f == kZoom[i]) return i;
    return -1;
}
} // namespace

float WavZoomIn(float f)
{
    const int i = ZoomIndex(f);
    return i < 0 ? 4.0f : kZoom[std::min(i + 1, 4)];
}

float WavZoomOut(float f)
{
    const int i = ZoomIndex(f);
    return i < 0 ? 4.0f : kZoom[std::max(i - 1, 0)];
}

float WavZoomValid(float f) { return ZoomIndex(f) < 0 ? 1.0f : f; }

int WavSliderLarge(float f) { return std::max(1, static_cast<int>(plat::RoundHalfEven(160.0 / f))); }
int WavSliderSmall(float f) { return std::max(1, static_cast<int>(plat::RoundHalfEven(40.0 / f))); }

int WavXOff(float f, int value, int maximum)
{
    if (f <= 1.0f || maximum <= 0) return 0;
    const int h = static_cast<int>(std::floor((f - 1) * 500 / f));
    return static_cast<int>(std::floor(static_cast<double>(h) * std::clamp(value, 0, maximum) / maximum));
}

int WavCsrToTrig(int code)
{
    static constexpr double kAt[] = {0, 499.0 / 8, 499.0 / 4, 499.0 / 2, 1497.0 / 4, 3493.0 / 8};
    if (code < 0 || code > 5) return 0;
    return static_cast<int>(plat::RoundHalfEven(kAt[code]));
}

int WavSampleAt(double x, float zoom, int xoff)
{
    const double s = x / std::max(1.0f, zoom) + xoff;
    return std::clamp(static_cast<int>(std::floor(s)), 0, 499);
}

bool WavAxisOffered(int axis)
{
    if (axis == 4) return MeasItem[5].Offered != 0;
    return axis >= 0 && axis <= 2;
}

int32_t WavFullScale(const WavChRec& rec)
{
    const int idx = std::clamp<int>(rec.RangeIdx, 0, std::max<int>(0, rec.RangeCnt));
    const int32_t fs = rec.RangeTbl[idx];
    return fs > 0 ? fs : 1;
}

WavBar WavBarSetup(WavChRec& rec, int newIdx, bool keep, int oldValue)
{
    const double absOff = oldValue * (WavFullScale(rec) / 5.0);
    rec.RangeIdx = static_cast<int16_t>(std::clamp(newIdx, 0, std::max<int>(0, rec.RangeCnt)));
    const double fs = WavFullScale(rec);
    WavBar b;
    b.value = keep ? static_cast<int>(plat::RoundHalfEven(absOff / (fs / 5.0))) : oldValue;
    const int32_t first = rec.RangeTbl[0] > 0 ? rec.RangeTbl[0] : 1;
    const int lim = static_cast<int>(std::min(32767.0, 7.0 * first / fs));
    b.max = lim;
    b.min = -lim;
    b.value = std::clamp(b.value, -lim, lim);
    b.large = lim == 28000 ? 2 : 1;
    return b;
}

// ---- texts -------------------------------------------------------------------------------------------

std::string WavCycleText(int n, double base)
{
    return "Cycle of " + plat::FormatFixed(n * base * 1000, 2) + "ms";
}

std::string WavTimeText(int n, double base)
{
    return "Measuring time " + plat::FormatFixed(n * base * 1000 * 500, 0) + "ms";
}

double WavCsrTime(int pos, int n, double base)
{
    return static_cast<double>(static_cast<float>(n * base * 1000)) * pos;
}

std::string WavMsText(double ms)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.2fms", ms);
    return buf;
}

std::string WavValText(int v, const char* unit)
{
    return std::to_string(v) + unit;
}
