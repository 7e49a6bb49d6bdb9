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
extern int16_t FftReqCount;     // point count sent with every start of a measurement
extern int16_t FftDefAmp;       // defaults of the measuring conditions: amplitude, offset, sampling index
extern int16_t FftDefOff;
extern int16_t FftDefSmp;

// ---- frequency records -----------------------------------------------------------------------------

// The conditions of one measurement, as the frequency files carry them.
struct FrqCondRec {
    int32_t Kisyu = 0;          // model code
    int16_t Bui = 0;            // measuring part
    int16_t Smp = 0;            // sampling index: sample interval = (Smp + 1) x base period
    int32_t Amp = 0;            // input amplitude, r/min
    int32_t Off = 0;            // input offset, r/min
    int32_t Points = 0;         // point count requested from the amplifier
    int16_t FullCloseAvail = 0; // non-zero when the amplifier offers the full-closed measurement
    int16_t FullClose = 0;      // 1 when the measurement was made full-closed
    bool operator==(const FrqCondRec&) const = default;
};

// One frequency-response measurement. Copies between instances are whole-record copies.
constexpr int FrqRawCnt = 2059;
struct FrqRec : FrqCondRec {
    double BaseTime = 0;               // base period (MAX ITEM field 15)
    double Dt = 0;                     // sample interval, written by the analysis
    int16_t Raw[FrqRawCnt] = {};       // words as transferred: input in bit 0, output above it
    double InSeries[FrqRawCnt] = {};   // input split out of Raw by the analysis
    double OutSeries[FrqRawCnt] = {};  // output split out of Raw by the analysis
    int16_t Valid = 0;                 // True (-1) when the record holds a complete measurement
};
extern FrqRec SokuTeiRec;    // the current measurement
extern FrqRec RefSokuTeiRec; // the reference measurement
extern FrqRec FftCond;       // copy of SokuTeiRec through which the frequency files are written and read
extern FrqRec FftCondRef;    // copy of RefSokuTeiRec for the same purpose

// Conditions a load brought for a record that already held samples: they are kept apart so that the
// samples keep the conditions they were measured with; the measurement dialog offers them next.
extern FrqCondRec FrqNextCond;
extern int16_t FrqNextCondSet; // True when FrqNextCond holds such conditions

// Display settings of the frequency window that the files carry: frequency display offset and
// magnification, phase display offset and magnification, time-axis offset and magnification,
// smoothing, cursor on/off, cursor position, cross-over display on/off.
constexpr int FrqViewCnt = 10;
extern int16_t FrqView[FrqViewCnt];

// Gain or phase over frequency of one curve with the view it is drawn in. Points without a value hold
// NaN in LogFrq or GrVal; every reader skips them.
constexpr int FrqPointCnt = 2049;
struct FrqGraphRec {
    double PlotTop = 500;    // plot rectangle in drawing units
    double PlotLeft = 900;
    double PlotHeight = 2000;
    double PlotWidth = 5000;
    double XOrg = 0;         // x offset of log10 f = 0 from PlotLeft
    double YOrg = 1000;      // y offset of the value 0 from PlotTop
    double XPerDec = 1600;   // drawing units per decade
    double YPerUnit = 20;    // drawing units per dB or degree
    int16_t IdxFirst = 1;    // first and last point drawn and searched
    int16_t IdxLast = 0;
    double LogFrq[FrqPointCnt] = {}; // common logarithm of each point's frequency in Hz
    double GrVal[FrqPointCnt] = {};  // gain in dB or phase in degrees
    int16_t DataReady = 0;
    double TickStep = 20;    // value between grid lines
    uint32_t LineColor = 0x0000FF; // colours as 0xRRGGBB
    uint32_t BoxColor = 0x000000;
    uint32_t TickColor = 0x000000;
    uint32_t CsrLineColor = 0x009600;
    uint32_t MarkColor = 0x960000;
    float PenScale = 1;      // set for the target by the drawing
    int16_t FontSmall = 8;
    int16_t FontLarge = 16;
    std::string GrTitle;
    std::string XTitle = "Frequency [Hz]";
    std::string YTitle = "Gain";
    std::string YUnit = "[dB]";
    int16_t FrqCsrOn = 0;    // cursor shown, at point FrqCsrIdx
    int16_t FrqCsrIdx = 1;
    int16_t MarkOn = 0;      // cut-off mark shown, at point MarkIdx
    int16_t MarkIdx = 0;
    int16_t HeadOn = 0;      // header with date and comment drawn with this record
    std::string HeadMemo[5];
    int16_t Shown = 0;       // curve drawn
    double LogFrqMin = 0;    // lowest log10 frequency drawn
};
extern FrqGraphRec FrqGainRec;  // measured
extern FrqGraphRec FrqPhaseRec;
extern FrqGraphRec RefGainRec;  // reference
extern FrqGraphRec RefPhaseRec;
