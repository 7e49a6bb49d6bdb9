// Tables of the monitor, alarm and waveform screens that the series definition files fill.
// Only what the definition loaders and the frame need today; the screens extend them.
#pragma once

#include <cstdint>
#include <string>

#include "app/Variant.h"

// Alarm texts by alarm code 0..200.
constexpr int AlmCodeCnt = 201;
extern std::string AlmName[AlmCodeCnt];
extern std::string AlmTxt2[AlmCodeCnt];
extern std::string AlmTxt3[AlmCodeCnt];

// Names of the control modes 0..10.
constexpr int CtrlModeCnt = 11;
extern std::string CtrlModeMenu[CtrlModeCnt];
// Non-zero when the control mode uses the external scale.
extern int16_t FullCloseMode[CtrlModeCnt];

// Absolute-encoder texts 0..16, columns 1 and 2 (column 0 is the screens' own).
constexpr int AbsoMenuCnt = 17;
extern std::string AbsoMenu[AbsoMenuCnt][3];

// I/O names per bit 0..40, columns 1 (shown while the bit is set) and 2 (while it is clear).
enum IoKind { IoIn = 0, IoOut = 1, IoPosIn = 2, IoPosOut = 3 };
constexpr int IoKindCnt = 4;
constexpr int IoBitCnt = 41;
extern std::string IoName[IoKindCnt][IoBitCnt][3];

// Waveform channels the series offers, 0..6.
constexpr int MeasItemCnt = 7;
struct MeasItemRec {
    std::string TextA; // channel caption
    std::string TextB;
    std::string TextC;
    std::string TextD;
    int16_t Offered = 0; // True when the model offers this channel
};
extern MeasItemRec MeasItem[MeasItemCnt];

// Encoder table 0..50, searched by code; a row counts as present when Enable is True.
constexpr int EncoderCnt = 51;
struct EncoderRec {
    int32_t Code = 0;
    std::string Name;
    int16_t Val16 = 0;
    int32_t Val32 = 0;
    int16_t Flag1 = 0;
    int16_t Flag2 = 0;
    int16_t Enable = 0;
};
extern EncoderRec EncoderTbl[EncoderCnt];

// Monitor options of the series (MAX ITEM fields 18 to 23): the control mode label, the pages
// "I/O 1", "I/O 2", "Load" and "Absolute encoder", and the multi-turn clear button.
extern int16_t MoniOptCtrlMode;
extern int16_t MoniOptIo1;
extern int16_t MoniOptIo2;
extern int16_t MoniOptLoad;
extern int16_t MoniOptAbso;
extern int16_t MoniOptMultiClr;

// EXTENTION V3.0 words read by the waveform screen.
extern int16_t ExtV30Val3;
extern int16_t ExtV30Val4;
extern std::string ExtV30Val16;

// ---- waveform data ---------------------------------------------------------------------------------
//
// One block for the whole program: the condition words, then twelve channel records. Only the graph
// window and the file loads it starts write it. Colours are 0x00BBGGRR values, as in the files.

// Channels are numbered 0..5 on the screen and in the files (actual speed, torque, position error,
// commanded speed, full-closed error, in-position); their records are numbered differently.
constexpr int WavChShown = 6;
constexpr int WavDspToRec[WavChShown] = {1, 2, 3, 0, 4, 5};
constexpr int WavDspToRefRec[WavChShown] = {7, 8, 9, 6, 10, 11};

// Words of the condition record.
enum WavWord : int {
    WavWChOn = 0,       // words 0..5: channel 0..5 measured (True -1 / 0); word 0 always True
    WavWSlot = 6,       // words 6..11: capture slot of channel 0..5 (family R)
    WavWOption = 12,    // which record takes the second signal of families K and M (0, 1, 2)
    WavWSmp = 13,       // sampling multiplier n: one sample every n base periods
    WavWTrig = 14,      // 1 trigger on, 0 free run
    WavWTrigLevel = 15, // signed, as typed
    WavWTrigPos = 16,   // code 0..5 of the trigger point
    WavWTrigSlope = 17, // code of the slope list
    WavWordCnt = 18
};

struct WavCondRec {
    int16_t Word[WavWordCnt] = {-1};
    double SmpTime = 0; // seconds per base sampling period (MAX ITEM field 16), kept with the condition
};

constexpr int WavSampleCnt = 501; // samples 0..500; a run fills 0..499
constexpr int WavRangeCnt = 15;
struct WavChRec {
    int16_t RangeCnt = 0;                // highest valid entry of RangeTbl
    int32_t RangeTbl[WavRangeCnt] = {};  // full-scale values, largest first
    int16_t RangeIdx = 0;                // chosen entry of RangeTbl
    int16_t GrLeft = 45;
    int16_t GrRight = 545;
    int16_t GrBottom = 550;
    int16_t GrCenter = 300;
    int16_t GrTop = 50;
    int32_t Color = 0;                   // curve colour
    int32_t GridColor = 0x646464;
    int32_t FrameColor = 0;
    int16_t Thick = 15;                  // 15 thin, 25 thick
    int16_t LineStyle = 0;
    std::string AxisTitle = "Title of the axis";
    float TitleX = 5.0f;
    float TitleY = 0.0f;
    float LabelX = 5.0f;
    int16_t ShowLabels = 1;
    int16_t Visible = 1;                 // menu checked And DataValid And offered, set before drawing
    float Factor = 1.0f;                 // display sample = raw sample / Factor
    int16_t DataValid = 0;               // the record holds data (True -1 / 0)
    float YOff = 0.0f;                   // value offset in divisions
    float YDiv = 1.0f;                   // value per division
    float XOff = 1.0f;                   // first shown sample (time-axis offset)
    float XScale = 1.0f;                 // time-axis magnification: 1, 2, 4, 10 or 20
    int16_t RawData[WavSampleCnt] = {};
    int16_t DispData[WavSampleCnt] = {};
};

// Records 0 commanded speed, 1 actual speed, 2 torque, 3 position error, 4 full-closed error,
// 5 in-position; 6..11 the same for the reference.
constexpr int WavChCnt = 12;
struct WavGraphRec : WavCondRec {
    Variant ExtV30Val2; // True when the series takes an explicit channel selection
    WavChRec Ch[WavChCnt];
    WavGraphRec(); // the records' own initial values
};
extern WavGraphRec WavGraph;

// Date and time of the last waveform measurement. The default is the zero date.
struct WavDateRec {
    int16_t Year = 1899;
    int16_t Month = 12;
    int16_t Day = 30;
    int16_t Hour = 0;
    int16_t Minute = 0;
    int16_t Second = 0;
    bool operator==(const WavDateRec&) const = default;
};
extern WavDateRec SokuTeiDate;
// "yyyy/mm/dd hh:mm:ss".
std::string WavDateText(const WavDateRec& d);
// A date as that text writes it (one or two digits for the fields after the year; the time may be
// left out); false, and d unchanged, when the text is not a valid date.
bool WavDateParse(const std::string& text, WavDateRec& d);

// View settings of the graph window that the waveform files carry. The window keeps this in step
// with its controls; the file writers read it and the file readers fill it.
struct WavViewRec {
    int16_t TimeSlider = 0;              // time-axis slider
    int16_t Thick[WavChShown] = {};      // thick line of measured channel d (True -1 / 0)
    int16_t RefThick[WavChShown] = {};   // thick line of reference channel d
    int16_t ChkDsp[WavChShown] = {};     // display check of channel d (0 / 1)
    int16_t ChkRefDsp = 0;               // reference display check (0 / 1)
    bool operator==(const WavViewRec&) const = default;
};
extern WavViewRec WavView;

// What the last successful waveform load changed, for the window to carry into its controls; parts
// not marked keep the controls as they are.
struct WavLoadRec {
    bool Cond = false;       // channel words, trigger words and colours of WavGraph
    bool Sampling = false;   // sampling slider from word WavWSmp
    bool YAxes = false;      // axes 0, 1, 2, 4: offset bars to 0, range of records 1, 2, 3, 5
                             // (RangeIdx), then the bars to the negated YOff of those records
    bool TimeAxis = false;   // XOff and XScale of the measured records, WavView.TimeSlider
    bool Thick[WavChShown] = {};
    bool RefThick[WavChShown] = {};
    bool ChkDsp[WavChShown] = {};
    bool ChkRefDsp = false;
    bool DataValid[WavChShown] = {};    // DataIsValid(d) with the record's DataValid
    bool RefDataValid[WavChShown] = {}; // RefDataIsValid(d) likewise
};
extern WavLoadRec WavLoaded;
