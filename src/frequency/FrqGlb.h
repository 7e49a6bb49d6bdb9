// Values of the frequency-response and auto-tuning screens that the series definition files fill.
// Only what the definition loaders need today; the screens extend them.
#pragma once

#include <cstdint>
#include <string>

// Tuning parameters shown by the auto-tuning screen, rows 0..10.
constexpr int AutoPrmCnt = 11;
struct AutoPrmRec {
    int16_t Shown = 0;
    int16_t PrmNo = 0;
    std::string Label;
};
extern AutoPrmRec AutoPrm[AutoPrmCnt];

extern int32_t AutoKind;        // auto-tuning command family 0, 1 or 2
extern double FftTime;          // highest frequency the frequency cursor may reach, Hz
extern int16_t FftSplitN;       // number N of raw samples of a measurement
extern int16_t FftFullClose[2]; // 0: full-closed measurement offered, 1: its default

// A frequency measurement record (the fields the definition files and the transfers touch).
constexpr int FrqRawCnt = 2059;
struct FrqRec {
    int32_t Kisyu = 0;
    int16_t Bui = 0; // measuring part
    int16_t Smp = 0; // sampling index
    int32_t Amp = 0; // input amplitude
    int32_t Off = 0; // input offset
    int32_t Points = 0;
    int16_t FullCloseAvail = 0;
    int16_t FullClose = 0;
    double BaseTime = 0; // base period (MAX ITEM field 15)
    int16_t Raw[FrqRawCnt] = {};
    int16_t Valid = 0;
};
extern FrqRec SokuTeiRec;    // the current measurement
extern FrqRec RefSokuTeiRec; // the reference measurement
