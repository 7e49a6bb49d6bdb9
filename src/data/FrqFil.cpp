// Frequency-response data files: the eight frequency groups, the save and the load procedure.
#include "data/FrqFil.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "app/Glb.h"
#include "app/Log.h"
#include "app/Uty.h"
#include "data/DefFil.h"
#include "data/WavFil.h"
#include "frequency/FrqGlb.h"
#include "platform/Ask.h"
#include "platform/Numbers.h"

namespace {

// Number of the pending error when the data cannot be written as they are ("invalid argument").
constexpr int32_t kErrBadData = 5;

// ---- where the readers write -----------------------------------------------------------------------

struct Target {
    FrqRec* cond;
    FrqRec* ref;
    int16_t* view;
    bool condRead = false;         // a condition group was applied
    bool resultRead[2] = {};       // a result of the measured / reference record was applied
};

Target& Cur()
{
    static Target t{&FftCond, &FftCondRef, FrqView};
    return t;
}

// The load procedure reads into copies and commits them only when the whole file was read.
class Staging {
public:
    Staging()
        : cond_(std::make_unique<FrqRec>(FftCond)), ref_(std::make_unique<FrqRec>(FftCondRef)), saved_(Cur())
    {
        std::copy(FrqView, FrqView + FrqViewCnt, view_);
        Cur() = Target{cond_.get(), ref_.get(), view_};
    }
    ~Staging() { Cur() = saved_; }
    Staging(const Staging&) = delete;
    Staging& operator=(const Staging&) = delete;

    void Commit()
    {
        const Target& t = Cur();
        KeepMeasuredConditions(*cond_, FftCond, t.resultRead[0]);
        KeepMeasuredConditions(*ref_, FftCondRef, t.resultRead[1]);
        FftCond = *cond_;
        FftCondRef = *ref_;
        std::copy(view_, view_ + FrqViewCnt, FrqView);
    }
private:
    // Samples are only meaningful with the conditions they were measured with: conditions that came
    // without the record's result wait for the next measurement instead.
    void KeepMeasuredConditions(FrqRec& staged, const FrqRec& live, bool resultRead)
    {
        if (!Cur().condRead || resultRead || live.Valid == 0) return;
        FrqCondRec& conditions = staged;
        if (conditions == static_cast<const FrqCondRec&>(live)) return;
        FrqNextCond = conditions;
        FrqNextCondSet = plat::VbTrue;
        conditions = live;
        log("Conditions kept for the next measurement: the record holds samples.", LogOther);
    }

    std::unique_ptr<FrqRec> cond_;
    std::unique_ptr<FrqRec> ref_;
    int16_t view_[FrqViewCnt];
    Target saved_;
};

int16_t I16(int16_t file) { return FIL_ReadValue(file).ToInt16(); }
int32_t I32(int16_t file) { return FIL_ReadValue(file).ToInt32(); }

// Records of the curve groups: points 0 to N / 2 - 1 (a half to the even neighbour).
int FftLast()
{
    return static_cast<int>(plat::RoundHalfEven(FftSplitN / 2.0 - 1));
}

void ReadRaw(int16_t file, int16_t index, int16_t skip, int k)
{
    FIL_CheckIndex(index, 0, FrqRawCnt - 1, "frequency samples");
    if (FIL_SkipIf(file, skip, 2)) return;
    const int32_t a = I32(file);
    const int32_t b = I32(file);
    const auto raw = plat::ToInt16(2.0 * b + a);
    if (!raw) throw FilError("a frequency sample does not fit a 16-bit word");
    Target& t = Cur();
    (k == 0 ? t.cond : t.ref)->Raw[index] = *raw;
    t.resultRead[k] = true;
}

// The input sits in the lowest bit, the output above it: raw = input + 2 x output.
void WriteRaw(int16_t file, int16_t index, const FrqRec& rec)
{
    FIL_CheckIndex(index, 0, FrqRawCnt - 1, "frequency samples");
    const int16_t raw = rec.Raw[index];
    FIL_WriteLine(file, "DATA," + std::to_string(index) + "," + std::to_string(raw & 1) + "," +
                            std::to_string(raw >> 1) + ",#" + HexW0x(raw));
}

void WriteCurve(int16_t file, int16_t index, const FrqGraphRec& gain, const FrqGraphRec& phase)
{
    FIL_CheckIndex(index, 0, FrqPointCnt - 1, "frequency points");
    // A point without a value (0 Hz, or one the analysis did not compute) is written as 0.
    auto num = [](double v) { return plat::FormatFixed(std::isfinite(v) ? v : 0.0, 2); };
    FIL_WriteLine(file, "DATA," + std::to_string(index) + "," + num(std::pow(10.0, gain.LogFrq[index])) + "," +
                            num(gain.GrVal[index]) + "," + num(phase.GrVal[index]));
}

void Val(int16_t file, double v, const char* title) { FIL_WriteValue(file, Variant(v), title); }

} // namespace

// ---- group readers ---------------------------------------------------------------------------------

void FIL_LoadFreqCond(int16_t file, int16_t)
{
    if (FIL_SkipIf(file, FrqLoadSel[1], 6)) return;
    FrqCondRec c;
    c.Points = I32(file);
    c.Smp = I16(file);
    c.Amp = I32(file);
    c.Off = I32(file);
    c.Bui = I16(file);
    c.Kisyu = I32(file);
    Target& t = Cur();
    for (FrqRec* r : {t.cond, t.ref}) {
        r->Points = c.Points;
        r->Smp = c.Smp;
        r->Amp = c.Amp;
        r->Off = c.Off;
        r->Bui = c.Bui;
        r->Kisyu = c.Kisyu;
    }
    t.condRead = true;
}

void FIL_LoadFreqView(int16_t file, int16_t)
{
    if (FIL_SkipIf(file, FrqLoadSel[0], FrqViewCnt)) return;
    int16_t v[FrqViewCnt];
    for (int16_t& w : v) w = I16(file);
    std::copy(v, v + FrqViewCnt, Cur().view);
}

void FIL_LoadFreqCondV35(int16_t file, int16_t)
{
    if (FIL_SkipIf(file, FrqLoadSel[1], 2)) return;
    FIL_ReadValue(file); // what the saving model offered: this model decides
    const int16_t s = I16(file);
    Target& t = Cur();
    for (FrqRec* r : {t.cond, t.ref}) {
        r->FullCloseAvail = FftFullClose[0] != 0 ? plat::VbTrue : plat::VbFalse;
        r->FullClose = FftFullClose[0] != 0 ? s : int16_t(0);
    }
    t.condRead = true;
}

void FIL_LoadFreqStat(int16_t file, int16_t)
{
    Target& t = Cur();
    if (!FIL_SkipIf(file, FrqLoadSel[2], 1)) {
        t.cond->Valid = FIL_ReadValue(file).ToBoolWord();
        t.resultRead[0] = true;
    }
    if (!FIL_SkipIf(file, FrqLoadSel[3], 1)) {
        t.ref->Valid = FIL_ReadValue(file).ToBoolWord();
        t.resultRead[1] = true;
    }
}

void FIL_LoadFreqData(int16_t file, int16_t index) { ReadRaw(file, index, FrqLoadSel[2], 0); }
void FIL_LoadFreqRef(int16_t file, int16_t index) { ReadRaw(file, index, FrqLoadSel[3], 1); }

void FIL_LoadFftGraph(int16_t file, int16_t)
{
    // The curves are computed again from the raw samples; the file's copy is for other programs.
    FIL_SkipItems(file, 3);
    RetVar = Variant(true);
}

// ---- group writers ---------------------------------------------------------------------------------

void FIL_SaveFreqCond(int16_t file, int16_t)
{
    Val(file, FftCond.Points, "Number of points");
    Val(file, FftCond.Smp, "Sampling");
    Val(file, FftCond.Amp, "Input amplitude");
    Val(file, FftCond.Off, "Input offset");
    Val(file, FftCond.Bui, "Measuring part");
    Val(file, FftCond.Kisyu, "Model Code");
}

void FIL_SaveFreqView(int16_t file, int16_t)
{
    static const char* const kTitle[FrqViewCnt] = {"Frequency characteristic display offset",
                                                   "Frequency characteristic display magnification",
                                                   "Phase characteristic display offset",
                                                   "Phase characteristic display magnification",
                                                   "Time aixs offset",
                                                   "Time aixs magnification",
                                                   "Smoothing",
                                                   "Cursor or not",
                                                   "Position of cursor",
                                                   "Cross-over display or not"};
    for (int i = 0; i < FrqViewCnt; ++i) Val(file, FrqView[i], kTitle[i]);
}

void FIL_SaveFreqCondV35(int16_t file, int16_t)
{
    if (FftFullClose[0] == 0) FftCond.FullClose = 0;
    Val(file, FftFullClose[0] != 0 ? 1 : 0, "Full-close of FFT measurement condition (0:None 1:Yes)");
    Val(file, FftCond.FullClose, "Default full-close of FFT measurement condition (0:Off 1:On)");
}

void FIL_SaveFreqStat(int16_t file, int16_t)
{
    FIL_WriteValue(file, Variant(FftCond.Valid != 0), "Obs data exist or none");
    FIL_WriteValue(file, Variant(FftCondRef.Valid != 0), "Ref data exist or none");
}

void FIL_SaveFreqData(int16_t file, int16_t index) { WriteRaw(file, index, FftCond); }
void FIL_SaveFreqRef(int16_t file, int16_t index) { WriteRaw(file, index, FftCondRef); }
void FIL_SaveFftData(int16_t file, int16_t index) { WriteCurve(file, index, FrqGainRec, FrqPhaseRec); }
void FIL_SaveFftRef(int16_t file, int16_t index) { WriteCurve(file, index, RefGainRec, RefPhaseRec); }

// ---- procedures ------------------------------------------------------------------------------------

int16_t FIL_SaveFreqFile(const std::string& path, int16_t condition, int16_t result, int16_t parameters)
{
    if (path.empty()) return plat::VbFalse;
    const int16_t file = FIL_OpenDateGroupe(path);
    if (ErrMsg("Open the freq file.") != 0 || file == -1) {
        if (file != -1) FIL_AbortDateGroupe(file);
        return plat::VbFalse;
    }
    try {
        if (result && (FftSplitN < 0 || FftSplitN > FrqRawCnt))
            throw FilError("the number of samples " + std::to_string(FftSplitN) + " does not fit the records");
        FIL_WriteGroup(file, "MODEL", 0, 0);
        FIL_WriteGroup(file, "FREQ COMMENT", 0, CommentLines - 1);
        if (parameters) FIL_WriteGroup(file, "PARA COMMENT", 0, CommentLines - 1);
        FIL_WriteGroup(file, "CPU VER", 0, CpuVerCnt - 1);
        FIL_WriteGroup(file, "MOTOR MODEL", 0, 0);
        if (condition) {
            FIL_WriteGroup(file, "FREQ GRAPH CONDITION", 0, 0);
            FIL_WriteGroup(file, "FREQ GRAPH VIEW", 0, 0);
            FIL_WriteGroup(file, "FREQ GRAPH CONDITION V3.5", 0, 0);
        }
        if (result) {
            FIL_WriteGroup(file, "FREQ GRAPH STAT", 0, 0);
            FIL_WriteGroup(file, "FREQ GRAPH DATA", 0, FftSplitN - 1);
            FIL_WriteGroup(file, "FREQ GRAPH REF", 0, FftSplitN - 1);
            FIL_WriteGroup(file, "FFT GRAPH DATA", 0, FftLast());
            FIL_WriteGroup(file, "FFT GRAPH REF", 0, FftLast());
        }
        if (parameters) FIL_WriteParaGroups(file);
        FIL_CloseDateGroupe(file);
    } catch (const std::exception& e) {
        // Nothing of a save that cannot be completed reaches the disk.
        FIL_AbortDateGroupe(file);
        log("Save stopped: " + std::string(e.what()), LogOther);
        SetErr(kErrBadData, e.what());
    }
    return ErrMsg("Writing the freq file") == 0 ? plat::VbTrue : plat::VbFalse;
}

int16_t FIL_LoadFreqFile(const std::string& path)
{
    if (path.empty()) return plat::VbFalse;
    bool ok = false;
    {
        Staging stage;
        ok = FIL_ReadGroupFile(path, plat::VbFalse) != 0;
        if (ok) stage.Commit(); // a failed read has put back every table it wrote
    }
    if (ok) return plat::VbTrue;
    plat::MsgBox("Reading interrupted.", plat::Buttons::Ok, plat::Icon::None, "Reading the file");
    return plat::VbFalse;
}
