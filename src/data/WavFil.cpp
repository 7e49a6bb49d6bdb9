// Waveform data files: the six waveform groups and the save and load procedures of the four kinds.
#include "data/WavFil.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <memory>

#include "app/Glb.h"
#include "app/Log.h"
#include "app/Uty.h"
#include "data/DefFil.h"
#include "data/PrmGlb.h"
#include "data/PrmTbl.h"
#include "monitor/MonGlb.h"
#include "platform/Ask.h"
#include "platform/Numbers.h"

int16_t WavFileVer = 2;

namespace {

// Number of the pending error when the data cannot be written as they are ("invalid argument").
constexpr int32_t kErrBadData = 5;

constexpr int kCondFieldsV34 = 56;
// Records of the four vertical axes 0, 1, 2, 4 (actual speed, torque, position error, in-position).
constexpr int kAxisRec[4] = {1, 2, 3, 5};

// ---- field readers ---------------------------------------------------------------------------------

int16_t I16(int16_t file) { return FIL_ReadValue(file).ToInt16(); }
int32_t I32(int16_t file) { return FIL_ReadValue(file).ToInt32(); }
int16_t BoolW(int16_t file) { return FIL_ReadValue(file).ToBoolWord(); }

double Dbl(int16_t file)
{
    const double v = FIL_ReadValue(file).ToDouble();
    if (!std::isfinite(v)) throw FilError("a value is not a finite number");
    return v;
}

float Sng(int16_t file)
{
    const double v = Dbl(file);
    if (std::fabs(v) > std::numeric_limits<float>::max()) throw FilError("a value does not fit a single");
    return static_cast<float>(v);
}

int16_t Fit16(double v, const char* what)
{
    if (auto r = plat::ToInt16(v)) return *r;
    throw FilError(std::string(what) + " does not fit a 16-bit word");
}

int16_t RangeIndex(int v) { return static_cast<int16_t>(std::clamp(v, 0, WavRangeCnt - 1)); }

void ReadDate(int16_t file, WavDateRec& date)
{
    const std::string text = FIL_ReadString(file);
    if (!WavDateParse(text, date)) throw FilError("not a date: " + text);
}

// A torque column holds the sample divided by the torque scale; the scale brings it back.
int16_t TorqueIn(double v)
{
    if (WavMaxItem < 1) throw FilError("the definition file gives no torque scale");
    return Fit16(v * WavMaxItem, "a torque sample");
}

// Value columns of one data record by file version; 0 for a version that has no data layout.
int DataColumns()
{
    if (WavFileVer == 2) return 4;
    if (WavFileVer == 3 || WavFileVer == 4) return 6;
    return 0;
}

// The offsets are kept rounded: the window's offset bars hold whole steps.
void SetAxis(WavGraphRec& g, int k, float offset, int range)
{
    WavChRec& r = g.Ch[kAxisRec[k]];
    Fit16(-offset, "a display offset"); // the bar takes the negated offset
    r.YOff = static_cast<float>(plat::RoundHalfEven(offset));
    r.RangeIdx = RangeIndex(range);
}

void ReadTimeAxis(int16_t file)
{
    const float off = Sng(file);
    const float mag = Sng(file);
    for (int d = 0; d < WavChShown; ++d) {
        WavGraph.Ch[WavDspToRec[d]].XOff = off;
        WavGraph.Ch[WavDspToRec[d]].XScale = mag;
    }
    WavView.TimeSlider = I16(file);
    WavLoaded.TimeAxis = true;
}

void ReadTrigger(int16_t file, WavGraphRec& g)
{
    for (int w = WavWTrig; w <= WavWTrigSlope; ++w) g.Word[w] = I16(file);
}

// ---- condition readers -----------------------------------------------------------------------------

void ReadCndV34(int16_t file, bool v3)
{
    if (LoadSel[0] || LoadSel[4]) {
        FIL_SkipItems(file, kCondFieldsV34);
        return;
    }
    WavGraphRec& g = WavGraph;
    ReadDate(file, SokuTeiDate);
    FIL_ReadString(file); // the model name: the MODEL group compares it where a file has one
    for (int d = 0; d < WavChShown; ++d) g.Word[WavWChOn + d] = BoolW(file);
    g.SmpTime = Dbl(file);
    g.Word[WavWSmp] = I16(file);
    ReadTrigger(file, g);
    float off[4];
    for (float& o : off) o = Sng(file);
    for (int k = 0; k < 4; ++k) {
        int range = I16(file);
        // Version 3 counted the speed ranges from the fifth entry of today's list.
        if (v3 && k == 0) range += 4;
        SetAxis(g, k, off[k], range);
    }
    ReadTimeAxis(file);
    for (int d = 0; d < WavChShown; ++d) g.Ch[WavDspToRec[d]].Color = I32(file);
    for (int d = 0; d < WavChShown; ++d) g.Ch[WavDspToRefRec[d]].Color = I32(file);
    for (int d = 0; d < WavChShown; ++d) WavView.Thick[d] = BoolW(file);
    for (int d = 0; d < WavChShown; ++d) WavView.RefThick[d] = BoolW(file);
    for (int d = 0; d < WavChShown; ++d) WavView.ChkDsp[d] = I16(file);
    WavView.ChkRefDsp = I16(file);

    WavLoadRec& l = WavLoaded;
    l.Cond = l.Sampling = l.YAxes = l.ChkRefDsp = true;
    std::fill(std::begin(l.Thick), std::end(l.Thick), true);
    std::fill(std::begin(l.RefThick), std::end(l.RefThick), true);
    std::fill(std::begin(l.ChkDsp), std::end(l.ChkDsp), true);
}

// Version 2 knew four channels and kept the data-present flags in the condition.
void ReadCndV2(int16_t file)
{
    if (LoadSel[0])
        plat::MsgBox("The measurement condition is read forcibly. Because the preveious version of file is specified.",
                     plat::Buttons::Ok, plat::Icon::None, "Notice");
    WavGraphRec& g = WavGraph;
    WavViewRec& v = WavView;
    WavLoadRec& l = WavLoaded;
    ReadDate(file, SokuTeiDate);
    FIL_ReadString(file);
    for (int d = 0; d < 4; ++d) g.Word[WavWChOn + d] = BoolW(file);
    g.Word[WavWChOn + 4] = g.Word[WavWChOn + 5] = 0;
    for (int d = 0; d < WavChShown; ++d) {
        g.Ch[WavDspToRec[d]].DataValid = d < 4 ? BoolW(file) : int16_t(0);
        l.DataValid[d] = true;
    }
    g.Word[WavWSmp] = I16(file);
    g.SmpTime = Dbl(file);
    ReadTrigger(file, g);
    float off[3];
    for (float& o : off) o = Sng(file);
    for (int k = 0; k < 3; ++k) {
        int range = I16(file);
        if (k == 0) range += 4;
        SetAxis(g, k, off[k], range);
    }
    SetAxis(g, 3, 0.0f, 0);
    ReadTimeAxis(file);
    for (int d = 0; d < 4; ++d) {
        const int32_t c = I32(file);
        g.Ch[WavDspToRec[d]].Color = c;
        g.Ch[WavDspToRefRec[d]].Color = c;
    }
    for (int d = 0; d < WavChShown; ++d) {
        v.Thick[d] = d < 4 ? BoolW(file) : int16_t(0);
        v.RefThick[d] = 0;
        l.Thick[d] = l.RefThick[d] = true;
    }
    for (int d = 0; d < WavChShown; ++d) {
        v.ChkDsp[d] = d < 4 ? static_cast<int16_t>(I16(file) & 1) : int16_t(0);
        l.ChkDsp[d] = true;
    }
    l.Cond = l.Sampling = l.YAxes = true;
}

// A version 2 file loaded as the reference: its data-present flags, colours and marks go to the
// reference channels.
void ReadCndV2Ref(int16_t file)
{
    WavGraphRec& g = WavGraph;
    WavViewRec& v = WavView;
    WavLoadRec& l = WavLoaded;
    FIL_SkipItems(file, 6);
    for (int d = 0; d < WavChShown; ++d) {
        g.Ch[WavDspToRefRec[d]].DataValid = d < 4 ? BoolW(file) : int16_t(0);
        l.RefDataValid[d] = true;
    }
    g.Word[WavWSmp] = I16(file);
    g.SmpTime = Dbl(file);
    FIL_SkipItems(file, 4 + 9); // trigger words, axes and time axis belong to the measured waveform
    for (int d = 0; d < 4; ++d) g.Ch[WavDspToRefRec[d]].Color = I32(file);
    for (int d = 0; d < 4; ++d) {
        v.RefThick[d] = BoolW(file);
        l.RefThick[d] = true;
    }
    v.Thick[4] = v.Thick[5] = 0;
    l.Thick[4] = l.Thick[5] = true;
    for (int d = 0; d < WavChShown; ++d) {
        v.ChkDsp[d] = d < 4 ? static_cast<int16_t>(I16(file) & 1) : int16_t(0);
        l.ChkDsp[d] = true;
    }
    l.Sampling = true;
}

void SetValid(int16_t file, bool ref)
{
    for (int d = 0; d < WavChShown; ++d) {
        WavGraph.Ch[ref ? WavDspToRefRec[d] : WavDspToRec[d]].DataValid = BoolW(file);
        (ref ? WavLoaded.RefDataValid : WavLoaded.DataValid)[d] = true;
    }
}

void ReadSamples(int16_t file, int16_t index, const int* recs)
{
    WavGraphRec& g = WavGraph;
    const int cols = DataColumns();
    for (int c = 0; c < cols; ++c) {
        const double v = Dbl(file);
        g.Ch[recs[c]].RawData[index] = c == 1 ? TorqueIn(v) : Fit16(v, "a sample");
    }
}

// ---- writers ---------------------------------------------------------------------------------------

// Set while a file is written in the version 2 layout (four channels, no version and status groups).
bool saveV2 = false;

void Val(int16_t file, double v, const char* title) { FIL_WriteValue(file, Variant(v), title); }
void Flag(int16_t file, int v, const char* title) { FIL_WriteValue(file, Variant(v != 0), title); }

// The shortest text that reads back as the same double, so that the torque sample comes back whole.
std::string TorqueOut(int16_t sample)
{
    if (WavMaxItem < 1) throw FilError("the definition file gives no torque scale");
    const double v = static_cast<double>(sample) / WavMaxItem;
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    return std::string(buf, r.ptr);
}

void WriteSamples(int16_t file, int16_t index, const int* recs)
{
    FIL_CheckIndex(index, 0, WavSampleCnt - 1, "waveform samples");
    std::string line = "DATA," + std::to_string(index);
    const int cols = saveV2 ? 4 : WavChShown;
    for (int d = 0; d < cols; ++d) {
        const int16_t s = WavGraph.Ch[recs[d]].RawData[index];
        line += "," + (d == 1 ? TorqueOut(s) : std::to_string(s));
    }
    FIL_WriteLine(file, line);
}

// ---- procedures ------------------------------------------------------------------------------------

struct Group {
    const char* name;
    int first;
    int last;
};

int16_t Save(const std::string& path, std::initializer_list<Group> groups, bool params, const char* openCtx,
             const char* writeCtx)
{
    WavFileVer = 4;
    if (path.empty()) return plat::VbFalse;
    int16_t file = FIL_OpenDateGroupe(path);
    if (ErrMsg(openCtx) != 0 || file == -1) {
        if (file != -1) FIL_AbortDateGroupe(file);
        return plat::VbFalse;
    }
    try {
        for (const Group& g : groups) FIL_WriteGroup(file, g.name, g.first, g.last);
        if (params) FIL_WriteParaGroups(file);
        FIL_CloseDateGroupe(file);
    } catch (const std::exception& e) {
        // Nothing of a save that cannot be completed reaches the disk.
        FIL_AbortDateGroupe(file);
        log("Save stopped: " + std::string(e.what()), LogOther);
        SetErr(kErrBadData, e.what());
    }
    return ErrMsg(writeCtx) == 0 ? plat::VbTrue : plat::VbFalse;
}

bool HasExtension(const std::string& path, const char* ext)
{
    if (path.size() < 4) return false;
    std::string tail = path.substr(path.size() - 4);
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ext;
}

int16_t Load(const std::string& path, const char* ext, const char* kindTitle, const char* failTitle)
{
    WavFileVer = 2;
    if (path.empty()) return plat::VbFalse;
    if (ext && !HasExtension(path, ext)) {
        plat::MsgBox("Type of the file is different.", plat::Buttons::Ok, plat::Icon::None, kindTitle);
        return plat::VbFalse;
    }
    // What this load changes, for the window to carry into its controls.
    WavLoaded = WavLoadRec{};
    if (FIL_ReadGroupFile(path, plat::VbFalse)) return plat::VbTrue;
    plat::MsgBox("Reading interrupted.", plat::Buttons::Ok, plat::Icon::None, failTitle);
    return plat::VbFalse;
}

constexpr Group kVersion{"WAVE GRAPH VERSION", 0, 0};
constexpr Group kCond{"WAVE GRAPH CONDITION", 0, 0};
constexpr Group kStat{"WAVE GRAPH STATUS", 0, 0};
constexpr Group kData{"WAVE GRAPH DATA", 0, 499};
constexpr Group kRefStat{"WAVE REF GRAPH STATUS", 0, 0};
constexpr Group kRefData{"WAVE REF GRAPH DATA", 0, 499};
constexpr Group kModel{"MODEL", 0, 0};
constexpr Group kWaveComment{"WAVE COMMENT", 0, CommentLines - 1};
constexpr Group kParaComment{"PARA COMMENT", 0, CommentLines - 1};
constexpr Group kCpuVer{"CPU VER", 0, CpuVerCnt - 1};
constexpr Group kMotor{"MOTOR MODEL", 0, 0};

} // namespace

void FIL_WriteParaGroups(int16_t file)
{
    FIL_WriteGroup(file, "USER DATA", 0, Prm16MaxAll);
    FIL_WriteGroup(file, "PARA TYPE", 0, Prm16MaxAll);
    if (Prm32Cnt != 0) {
        FIL_WriteGroup(file, "USER DATA32", 0, Prm32MaxAll - 1);
        FIL_WriteGroup(file, "PARA TYPE32", 0, Prm32MaxAll - 1);
    }
}

// ---- group readers ---------------------------------------------------------------------------------

void FIL_LoadWaveVer(int16_t file, int16_t)
{
    WavFileVer = I16(file);
}

void FIL_ReadWaveCnd(int16_t file, int16_t)
{
    switch (WavFileVer) {
    case 2:
        if (LoadSel[4])
            ReadCndV2Ref(file);
        else
            ReadCndV2(file);
        break;
    case 3: ReadCndV34(file, true); break;
    case 4: ReadCndV34(file, false); break;
    default:
        // Left unread, the fields end the read as a damaged file.
        plat::MsgBox("Unkonwn file version");
        break;
    }
}

void FIL_LoadWaveStat(int16_t file, int16_t)
{
    if (FIL_SkipIf(file, LoadSel[1], 12)) return;
    if (LoadSel[4]) {
        FIL_SkipItems(file, 6);
        SetValid(file, true);
        return;
    }
    WavGraph.SmpTime = Dbl(file);
    WavGraph.Word[WavWSmp] = I16(file);
    ReadTrigger(file, WavGraph);
    WavLoaded.Cond = WavLoaded.Sampling = true;
    SetValid(file, false);
}

void FIL_LoadWaveRefStat(int16_t file, int16_t)
{
    if (FIL_SkipIf(file, static_cast<int16_t>(LoadSel[2] || LoadSel[4]), 6)) return;
    SetValid(file, true);
}

void FIL_LoadWaveData(int16_t file, int16_t index)
{
    FIL_CheckIndex(index, 0, WavSampleCnt - 1, "waveform samples");
    if (FIL_SkipIf(file, LoadSel[1], DataColumns())) return;
    ReadSamples(file, index, LoadSel[4] ? WavDspToRefRec : WavDspToRec);
}

void FIL_LoadWaveRefData(int16_t file, int16_t index)
{
    FIL_CheckIndex(index, 0, WavSampleCnt - 1, "waveform samples");
    if (FIL_SkipIf(file, static_cast<int16_t>(LoadSel[2] || LoadSel[4]), DataColumns())) return;
    ReadSamples(file, index, WavDspToRefRec);
}

// ---- group writers ---------------------------------------------------------------------------------

void FIL_SaveWaveVer(int16_t file, int16_t)
{
    Val(file, 4, "Version of wave graphic data");
}

namespace {

// The 37 fields of version 2: channels 0 to 3 only, their data-present flags here instead of a status
// group, the speed range counted from the fifth entry of today's list.
void SaveCndV2(int16_t file)
{
    const WavGraphRec& g = WavGraph;
    const WavViewRec& v = WavView;
    FIL_WriteString(file, WavDateText(SokuTeiDate), "Date and time of measurement");
    FIL_WriteString(file, KisyuMei, "Model name");
    static const char* const kOn[] = {"Actual speed measurement or none", "Torque measurement or none.",
                                      "Position error measurement or none", "Commanded speed measurement or none"};
    for (int d = 0; d < 4; ++d) Flag(file, g.Word[WavWChOn + d], kOn[d]);
    static const char* const kValid[] = {"Data of actual speed or none", "Data of torque or none.",
                                         "Data of position error or none.", "Data of commanded speed or none"};
    for (int d = 0; d < 4; ++d) Flag(file, g.Ch[WavDspToRec[d]].DataValid, kValid[d]);
    Val(file, g.Word[WavWSmp], "Sampling");
    Val(file, g.SmpTime, "Unit sampling time(sec)");
    static const char* const kTrig[] = {"Trigger mode", "Trigger level", "Trigger position", "Trigger slope"};
    for (int w = 0; w < 4; ++w) Val(file, g.Word[WavWTrig + w], kTrig[w]);
    static const char* const kOff[] = {"Offset of the actual speed display", "Offset of the torque display",
                                       "Speed error offset"};
    for (int k = 0; k < 3; ++k) Val(file, g.Ch[kAxisRec[k]].YOff, kOff[k]);
    static const char* const kRange[] = {"Speed range", "Torque range", "Position error range"};
    for (int k = 0; k < 3; ++k) Val(file, g.Ch[kAxisRec[k]].RangeIdx - (k == 0 ? 4 : 0), kRange[k]);
    Val(file, g.Ch[1].XOff, "Offset of the time axis");
    Val(file, g.Ch[1].XScale, "Magnification rate of the time axis.");
    Val(file, v.TimeSlider, "Position of the time axis slide");
    static const char* const kColor[] = {"Display color of speed", "Display color of torque",
                                         "Display color of position error", "Displaying color of commanded speed."};
    for (int d = 0; d < 4; ++d) Val(file, g.Ch[WavDspToRec[d]].Color, kColor[d]);
    static const char* const kThick[] = {"Thick line of the actual speed data or none",
                                         "Thick line or not of the torque data or none.",
                                         "Thick line of the position error data or none.",
                                         "Thick line of the commanded speed data or none."};
    for (int d = 0; d < 4; ++d) Flag(file, v.Thick[d], kThick[d]);
    static const char* const kDsp[] = {"Actual speed data display or none", "Torque data display or none.",
                                       "Position error data display or none.", "Commanded speed data display or none"};
    for (int d = 0; d < 4; ++d) Val(file, v.ChkDsp[d] != 0 ? 1 : 0, kDsp[d]);
}

// Writes a file in the version 2 layout; WavFileVer tells the version written.
int16_t SaveV2(const std::string& path, std::initializer_list<Group> groups, bool params, const char* openCtx,
               const char* writeCtx)
{
    saveV2 = true;
    const int16_t r = Save(path, groups, params, openCtx, writeCtx);
    saveV2 = false;
    WavFileVer = 2;
    return r;
}

} // namespace

void FIL_SaveWaveCnd(int16_t file, int16_t)
{
    if (saveV2) {
        SaveCndV2(file);
        return;
    }
    const WavGraphRec& g = WavGraph;
    const WavViewRec& v = WavView;
    FIL_WriteString(file, WavDateText(SokuTeiDate), "Date and time of measurement");
    FIL_WriteString(file, KisyuMei, "Model name");
    static const char* const kOn[] = {"Actual speed measurement or none",      "Torque measurement or none.",
                                      "Position error measurement or none",    "Commanded speed measurement or none",
                                      "Full close error measurement or none", "In position  measurement or none"};
    for (int d = 0; d < WavChShown; ++d) Flag(file, g.Word[WavWChOn + d], kOn[d]);
    Val(file, g.SmpTime, "Unit sampling time(sec)");
    Val(file, g.Word[WavWSmp], "Sampling");
    static const char* const kTrig[] = {"Trigger mode", "Trigger level", "Trigger position", "Trigger slope"};
    for (int w = 0; w < 4; ++w) Val(file, g.Word[WavWTrig + w], kTrig[w]);
    static const char* const kOff[] = {"Offset of the actual speed display", "Offset of the torque display",
                                       "Speed error offset", "Positioning complete offset"};
    for (int k = 0; k < 4; ++k) Val(file, g.Ch[kAxisRec[k]].YOff, kOff[k]);
    static const char* const kRange[] = {"Speed range", "Torque range", "Position error range",
                                         "Positioning complete range"};
    for (int k = 0; k < 4; ++k) Val(file, g.Ch[kAxisRec[k]].RangeIdx, kRange[k]);
    Val(file, g.Ch[1].XOff, "Offset of the time axis");
    Val(file, g.Ch[1].XScale, "Magnification rate of the time axis.");
    Val(file, v.TimeSlider, "Position of the time axis slide");
    static const char* const kColor[] = {"Display color of speed",
                                         "Display color of torque",
                                         "Display color of position error",
                                         "Displaying color of commanded speed.",
                                         "Display color of full close error.",
                                         "Display color of the in -position."};
    for (int d = 0; d < WavChShown; ++d) Val(file, g.Ch[WavDspToRec[d]].Color, kColor[d]);
    static const char* const kRefColor[] = {"Display color of the speed.",
                                            "Display color of the torque.",
                                            "Display color of the position error.",
                                            "Display color of the reference cmmanded speed.",
                                            "Display color of the reference full close error.",
                                            "Display color of the reference In-position."};
    for (int d = 0; d < WavChShown; ++d) Val(file, g.Ch[WavDspToRefRec[d]].Color, kRefColor[d]);
    static const char* const kThick[] = {"Thick line of the actual speed data or none",
                                         "Thick line or not of the torque data or none.",
                                         "Thick line of the position error data or none.",
                                         "Thick line of the commanded speed data or none.",
                                         "Thick line of full close error or none.",
                                         "Thick line of display color of the in-position or none."};
    for (int d = 0; d < WavChShown; ++d) Flag(file, v.Thick[d], kThick[d]);
    static const char* const kRefThick[] = {"Thick line of the ref actual speed data or none",
                                            "Thick line or not of the ref torque data or none.",
                                            "Thick line of the ref position error data or none.",
                                            "Thick line of the ref commanded speed data or none.",
                                            "Thick line of the ref full close position error data or none.",
                                            "Thick line of the ref positioning completed data or none."};
    for (int d = 0; d < WavChShown; ++d) Flag(file, v.RefThick[d], kRefThick[d]);
    static const char* const kDsp[] = {"Actual speed data display or none",    "Torque data display or none.",
                                       "Position error data display or none.", "Commanded speed data display or none",
                                       "Full close error data display or none.",
                                       "Positioning completed data display or none."};
    for (int d = 0; d < WavChShown; ++d) Flag(file, v.ChkDsp[d], kDsp[d]);
    Val(file, v.ChkRefDsp, "Display reference or none");
}

void FIL_SaveWaveStat(int16_t file, int16_t)
{
    const WavGraphRec& g = WavGraph;
    Val(file, g.SmpTime, "Unit sampling time(sec)");
    Val(file, g.Word[WavWSmp], "Sampling");
    static const char* const kTrig[] = {"Trigger mode", "Trigger level", "Trigger position", "Trigger slope"};
    for (int w = 0; w < 4; ++w) Val(file, g.Word[WavWTrig + w], kTrig[w]);
    static const char* const kValid[] = {"Data of actual speed or none",    "Data of torque or none.",
                                         "Data of position error or none.", "Data of commanded speed or none",
                                         "Data of full close position error or none.", "Data of in-position or none"};
    for (int d = 0; d < WavChShown; ++d) Flag(file, g.Ch[WavDspToRec[d]].DataValid, kValid[d]);
}

void FIL_SaveWaveRefStat(int16_t file, int16_t)
{
    static const char* const kValid[] = {"Data of Actual speed ref or none",
                                         "Data of Torque ref or none.",
                                         "Data of Position error ref or none.",
                                         "Data of Commanded speed ref or none",
                                         "Data of reference full close position error or none",
                                         "Data of reference in-position or none"};
    for (int d = 0; d < WavChShown; ++d) Flag(file, WavGraph.Ch[WavDspToRefRec[d]].DataValid, kValid[d]);
}

void FIL_SaveWaveData(int16_t file, int16_t index) { WriteSamples(file, index, WavDspToRec); }
void FIL_SaveWaveRefData(int16_t file, int16_t index) { WriteSamples(file, index, WavDspToRefRec); }

// ---- procedures ------------------------------------------------------------------------------------

int16_t FIL_SaveWaveFile(const std::string& path)
{
    return Save(path,
                {kModel, kWaveComment, kCpuVer, kMotor, kVersion, kCond, kStat, kData, kRefStat, kRefData},
                false, "Open the wave form file.", "Writing the wave form file");
}

int16_t FIL_SaveWavePrmFile(const std::string& path)
{
    return Save(path,
                {kModel, kWaveComment, kParaComment, kCpuVer, kMotor, kVersion, kCond, kStat, kData, kRefStat,
                 kRefData},
                true, "Open the wave form file.", "Writing the wave form file");
}

int16_t FIL_SaveWaveCndFile(const std::string& path)
{
    return Save(path, {kWaveComment, kCpuVer, kMotor, kVersion, kCond}, false, "Open the wave form setting file.",
                "Writing the wave form setting file");
}

int16_t FIL_SaveUserWaveCnd(const std::string& path)
{
    return Save(path, {kVersion, kCond}, false, "Open the wave form setting file.",
                "Writing the wave form setting file");
}

int16_t FIL_SaveWaveFileV2(const std::string& path)
{
    return SaveV2(path, {kModel, kWaveComment, kCpuVer, kMotor, kCond, kData}, false, "Open the wave form file.",
                  "Writing the wave form file");
}

int16_t FIL_SaveWavePrmFileV2(const std::string& path)
{
    return SaveV2(path, {kModel, kWaveComment, kParaComment, kCpuVer, kMotor, kCond, kData}, true,
                  "Open the wave form file.", "Writing the wave form file");
}

int16_t FIL_SaveWaveCndFileV2(const std::string& path)
{
    return SaveV2(path, {kWaveComment, kCpuVer, kMotor, kCond}, false, "Open the wave form setting file.",
                  "Writing the wave form setting file");
}

int16_t FIL_LoadWaveFile(const std::string& path)
{
    return Load(path, nullptr, "", "Reading the wave form graphic file.");
}

int16_t FIL_LoadWaveCndFile(const std::string& path)
{
    return Load(path, ".wgc", "Reading the measuring condition file", "Reading the measuring condition file.");
}

int16_t FIL_LoadWavePrmFile(const std::string& path)
{
    return Load(path, ".wgp", "Reading combined file of wave form graphic and parameter",
                "Reading combined file of wave form graphic and parameter");
}
