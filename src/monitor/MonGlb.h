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

// Monitor options, words 0..5 (MAX ITEM fields 19, 20, 22, 21, 23, 18).
extern int16_t MoniOpt[6];

// EXTENTION V3.0 words read by the waveform screen.
extern int16_t ExtV30Val3;
extern int16_t ExtV30Val4;
extern std::string ExtV30Val16;

// One waveform channel record. Colours are 0x00BBGGRR values.
constexpr int WavSampleCnt = 501;
struct WavChRec {
    int16_t Range = 0;
    int32_t Color = 0;
    int16_t Valid = 0;
    float Offset = 0;
    float TOffset = 0;
    float TMag = 0;
    int16_t Data[WavSampleCnt] = {};
};

// Waveform measurement condition block; channel records 0 commanded speed, 1 actual speed, 2 torque,
// 3 position error, 4 full-closed error, 5 in-position, 6..11 the same for the reference.
constexpr int WavChCnt = 12;
struct WavGraphRec {
    int16_t Word[18] = {};
    double SmpTime = 0; // unit sampling time, seconds (MAX ITEM field 16)
    Variant ExtV30Val2; // True when the series takes an explicit channel selection
    WavChRec Ch[WavChCnt];
};
extern WavGraphRec WavGraph;
