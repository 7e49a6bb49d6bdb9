// Positioning data groups and the .ncp writer.
#include "data/PopFil.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/Glb.h"
#include "app/Log.h"
#include "app/Uty.h"
#include "data/DefFil.h"
#include "platform/Numbers.h"
#include "positioning/PopGlb.h"

namespace {

// A code of a step record: any 16-bit number is taken, clamped to the code's range, so that a hand-edited
// or foreign file can never put a code on the wire that the amplifier does not know. A number that does not
// fit the word is damage.
int16_t ReadCode(int16_t file, int16_t max, int16_t index, const char* what) {
    const double v = FIL_ReadValue(file).ToDouble();
    const auto word = plat::ToInt16(v);
    if (!word)
        throw FilError(std::string(what) + " of step " + std::to_string(index) + " does not fit a word");
    const int16_t code = FIL_LimitVal(*word, 0, max);
    if (code != v)
        log("Step " + Hex2(index) + " " + what + " " + plat::StrForm(v) + " limited to " +
                std::to_string(code),
            LogOther);
    return code;
}

// A step comment is one quoted item: a double quote would end it early and a line end would split the
// record, so they are written as an apostrophe and a blank.
std::string StepCommentText(const std::string& text) {
    std::string t = text;
    for (char& c : t) {
        if (c == '"') c = '\'';
        if (c == '\r' || c == '\n') c = ' ';
    }
    return t;
}

void LoadPopValue(int16_t file, int16_t index, PopPrmRec* table, bool wide) {
    FIL_CheckIndex(index, 0, PopPrmCnt - 1, wide ? "POS PARA 32" : "POS PARA 16");
    const Variant v = FIL_ReadValue(file);
    table[index].Value = wide ? v.ToInt32() : v.ToInt16();
    PrmPosLoaded = plat::VbTrue;
}

void SavePopValue(int16_t file, int16_t index, const PopPrmRec* table) {
    FIL_CheckIndex(index, 0, PopPrmCnt - 1, "positioning parameters");
    const PopPrmRec& r = table[index];
    FIL_WriteLine(file, "DATA," + FIL_PopIndex(index) + "," + std::to_string(r.Value) + ",#[" +
                            HexW0x(r.Value) + "]:" + FIL_CommentText(r.Name));
}

} // namespace

int16_t FIL_LimitVal(int16_t value, int16_t minimum, int16_t maximum) {
    if (value > maximum) return maximum;
    if (value < minimum) return minimum;
    return value;
}

std::string FIL_PopIndex(int index) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%02X", static_cast<unsigned>(index) & 0xFFFFu);
    return buf;
}

void FIL_LoadStepData(int16_t file, int16_t index) {
    FIL_CheckIndex(index, 0, PopStepTblCnt - 1, "STEP DATA");
    const std::string text = FIL_ReadString(file);
    const auto pos = PopPosParse(text);
    if (!pos)
        throw FilError("position of step " + std::to_string(index) + " is not a 64-bit integer: " + text);
    PopStepRec step;
    step.Position = pos->value;
    step.PosEmpty = pos->empty;
    // File order: acceleration, deceleration, velocity, block, mode.
    step.Acc = ReadCode(file, PopAccMax, index, "acceleration");
    step.Dec = ReadCode(file, PopDecMax, index, "deceleration");
    step.Vel = ReadCode(file, PopVelMax, index, "velocity");
    step.Blk = ReadCode(file, PopBlkMax, index, "block");
    step.Mod = ReadCode(file, PopModMax, index, "mode");
    step.Comment = FIL_ReadString(file);
    PopStep[index] = std::move(step);
    PrmPosLoaded = plat::VbTrue;
}

void FIL_SaveStepData(int16_t file, int16_t index) {
    FIL_CheckIndex(index, 0, PopStepTblCnt - 1, "STEP DATA");
    const PopStepRec& s = PopStep[index];
    FIL_WriteLine(file, "DATA," + FIL_PopIndex(index) + "," + PopPosText(s) + "," + std::to_string(s.Acc) +
                            "," + std::to_string(s.Dec) + "," + std::to_string(s.Vel) + "," +
                            std::to_string(s.Blk) + "," + std::to_string(s.Mod) + ",\"" +
                            StepCommentText(s.Comment) + "\"");
}

void FIL_LoadPosPara16(int16_t file, int16_t index) {
    LoadPopValue(file, index, Pop16Prm, false);
}
void FIL_LoadPosPara32(int16_t file, int16_t index) {
    LoadPopValue(file, index, Pop32Prm, true);
}
void FIL_SavePosPara16(int16_t file, int16_t index) {
    SavePopValue(file, index, Pop16Prm);
}
void FIL_SavePosPara32(int16_t file, int16_t index) {
    SavePopValue(file, index, Pop32Prm);
}

int16_t FIL_SaveStepFile(const std::string& path) {
    if (path.empty()) return plat::VbFalse;
    ClearErr();
    const int16_t file = FIL_OpenDateGroupe(path);
    if (ErrMsg("Open the positioning step data file.") != 0 || file == -1) return plat::VbFalse;
    try {
        FIL_WriteGroup(file, "MODEL", 0, 0);
        FIL_WriteGroup(file, "STEP COMMENT", 0, CommentLines - 1);
        FIL_WriteGroup(file, "CPU VER", 0, CpuVerCnt - 1);
        FIL_WriteGroup(file, "MOTOR MODEL", 0, 0);
        FIL_WriteGroup(file, "STEP DATA", 0, PopStepSpan() - 1);
        FIL_WriteGroup(file, "POS PARA 16", 0, Pop16Span() - 1);
        FIL_WriteGroup(file, "POS PARA 32", 0, Pop32Span() - 1);
    } catch (const std::exception& e) {
        FIL_AbortDateGroupe(file);
        SetErr(ErrFileAccess, e.what());
        ErrMsg("Writing the step data form file");
        return plat::VbFalse;
    }
    const int16_t closed = FIL_CloseDateGroupe(file);
    if (ErrMsg("Writing the step data form file") != 0 || closed != plat::VbTrue) return plat::VbFalse;
    return plat::VbTrue;
}
