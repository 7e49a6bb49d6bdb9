// The series dispatcher: the one place that knows the three command families. A screen's request goes to
// family K when CmdFamily is 1, else to family R when KisyuCode is 25, else to family M.
//
// Each family's module installs its command procedures in the tables below. A procedure that is not
// installed yet is logged as not built and fails, so a screen on such a series sees a failed read.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/Glb.h"
#include "app/Variant.h"

enum class CmdFamilyKind { K, M, R };
// The family that serves the selected series.
CmdFamilyKind CurrentFamily();

// Family K: line commands "IO_MON", "ERR_MON", "HIST" (-1 decoded, -2 the amplifier answered "ERROR",
// 0 line failure).
struct FamilyKCmds {
    std::function<int16_t(int32_t& in, int32_t& out)> IoMonK;
    std::function<int16_t()> ErrMonK;
    std::function<int16_t()> HistK;
};
// Family M (and the CPU versions of family R).
struct FamilyMCmds {
    std::function<int16_t(CpuVerRec (&ver)[CpuVerCnt])> VerJuShinM;
    std::function<int16_t(int32_t& in, int32_t& out)> IoMonM;
    std::function<int16_t()> AlmNowM;
    std::function<int16_t()> AlmHistM;
};
// Family R.
struct FamilyRCmds {
    // in and out from bytes 2-5 and 6-9, control mode byte 0, aux byte 1, warnings bytes 10-11.
    std::function<int16_t(int32_t& in, int32_t& out, int16_t& ctrlMode, int16_t& aux, int16_t& warn)>
        GetMoniPos;
    std::function<int16_t()> GetAlmNoGlb;
    std::function<int16_t()> GetMkrDat;
    std::function<int16_t()> GetAlmHist;
    std::function<int16_t()> GetSysHist;
    std::function<int16_t()> SetKisyuMei; // model-code write and voltage calibration of the console
};
FamilyKCmds& FamilyK();
FamilyMCmds& FamilyM();
FamilyRCmds& FamilyR();

// Logs that a command procedure is not built into this program yet; returns 0 (failure).
int16_t NotBuilt(const std::string& name);

// CPU versions and model names into ver (cleared first): family M's routine for families M and R, an empty
// result for family K.
Variant GetVerInfo(CpuVerRec (&ver)[CpuVerCnt]);
// Input and output states; family R also gives the control mode, aux byte and warnings (untouched on K, M).
int16_t ReadIoMon(int32_t& in, int32_t& out, int16_t& ctrlMode, int16_t& aux, int16_t& warn);
// Current alarm into AlmNo.
int16_t ReadErrMon();
// Internal-use values MkrDat1, MkrDat2: family R only, 0 for the others.
int16_t ReadAlmExtA();
// Alarm history into AlmHist.
int16_t ReadAlmHist();
// System history into AlmHist: family R only, 0 for the others.
int16_t ReadAlmExtB();
