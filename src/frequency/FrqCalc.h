// The analysis of a frequency-response measurement into gain and phase curves, and the searches the
// graph window runs on the curves: cursor, peak and dip, cut-off frequency.
#pragma once

#include <cstdint>
#include <string>

#include "frequency/FrqGlb.h"

// Real and imaginary parts of one transformed series.
struct FftWorkRec {
    double Re[FrqPointCnt] = {};
    double Im[FrqPointCnt] = {};
};

// Points a record's samples may hold.
constexpr int FrqMinPoints = 2;

// Smoothing: what the box shows after it was normalised into 1..25, and the number it stands for.
struct Smoothing {
    std::string text;
    int value = 1;
};
Smoothing NormaliseSmoothing(const std::string& typed);
inline constexpr int SmoothingDefaultIndex = 18; // "4" in the box's list
extern const char* const SmoothingList[22];

// Runs the spectrum chain on rec into the two curves. Zero on success; otherwise the failing step's error
// word (or -100 for a record that cannot be analysed, -101 when the library is missing), and rec is then
// marked not ready. The record's own point count is N.
int32_t FftCalc(FrqRec& rec, FftWorkRec& in, FftWorkRec& out, FrqGraphRec& gain, FrqGraphRec& phase,
                int smoothing);
// The chain on the current and on the reference measurement, each only while it holds data. True when
// the record was analysed.
bool CalcObs(int smoothing);
bool CalcRef(int smoothing);

// Last point drawn and searched for n samples: n / 4 (a half to the even neighbour), within the points
// the analysis computes.
int16_t FrqIdxLast(int32_t n);

// The cursor scroll bar and the point it shows are tied logarithmically: value = 1000 x log10(point).
int CsrValueOfPoint(int point);
int CsrPointOfValue(int value);
// The point a wanted cursor point becomes: below the highest frequency the cursor may reach, at most
// IdxLast, at least IdxFirst.
int CsrClamp(const FrqGraphRec& rec, int point, double fftTime);

// Highest (peak) or lowest (dip) value among IdxFirst..IdxLast, the first of equal ones; 0 for none.
int PeakAll(const FrqGraphRec& rec, bool peak);
// Climb from start towards the neighbouring peak or dip in steps of 3, 2 and 1 points.
int PeakLocal(const FrqGraphRec& rec, int start, bool peak);
// First point from IdxFirst whose gain is below -3 dB among the computed points; 0 for none.
int CutOffIdx(const FrqGraphRec& gain);
