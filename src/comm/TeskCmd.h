// The series dispatcher: the one place that knows the three command families. A screen's request goes to
// family K when CmdFamily is 1, else to family R when KisyuCode is 25, else to family M.
//
// Each family's module installs its command procedures in the tables below. A procedure that is not
// installed is logged and fails, so a screen on a series without it sees a failed read.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/Glb.h"
#include "app/Variant.h"

struct WavCondRec;

enum class CmdFamilyKind { K, M, R };
// The family that serves the selected series.
CmdFamilyKind CurrentFamily();

// Family K: line commands "IO_MON", "ERR_MON", "HIST" (-1 decoded, -2 the amplifier answered "ERROR",
// 0 line failure).
struct FamilyKCmds {
    std::function<int16_t(int32_t& in, int32_t& out)> IoMonK;
    std::function<int16_t()> ErrMonK;
    std::function<int16_t()> HistK;
    // What the screens call on family K directly: "MON", the parameter transfers, tuning and capture.
    std::function<int16_t()> MonK;
    std::function<int16_t()> PrmJuShinK;
    std::function<int16_t()> UsrPrmSouShinK;
    std::function<int16_t()> SysPrmSouShinK;
    std::function<int16_t(int32_t v)> AutoK;
    std::function<int16_t(const WavCondRec& cond)> GrpStartK;
    std::function<int16_t()> GrpChrK;
    std::function<void()> GrpStopK;
};
// Family M (and the CPU versions of family R).
struct FamilyMCmds {
    std::function<int16_t(CpuVerRec (&ver)[CpuVerCnt])> VerJuShinM;
    std::function<int16_t(int32_t& in, int32_t& out)> IoMonM;
    std::function<int16_t()> AlmNowM;
    std::function<int16_t()> AlmHistM;
    // What the screens call on family M directly: monitor, parameter transfers, tuning and capture.
    std::function<int16_t()> PingM;
    std::function<int16_t()> GetSpeedM;
    std::function<int16_t()> UsrPrmSouShinM;
    std::function<int16_t()> SysPrmSouShinM;
    std::function<int16_t()> UsrPrmJuShinM;
    std::function<int16_t()> SysPrmJuShinM;
    std::function<int16_t(int16_t n)> PrmRdM;
    std::function<int16_t(int16_t n)> SysPrmRdM;
    std::function<Variant(int16_t n)> PrmWrM;
    std::function<Variant(int16_t n)> SysPrmWrM;
    std::function<int16_t()> UsrPrmEepM;
    std::function<int16_t()> SysPrmEepM;
    std::function<Variant(int16_t n)> Prm32WrM;
    std::function<Variant(int16_t n)> SysPrm32WrM;
    std::function<int16_t(int16_t n)> Prm32RdM;
    std::function<int16_t(int16_t n)> SysPrm32RdM;
    std::function<int16_t(int16_t v)> AutoM;
    std::function<int16_t(const WavCondRec& cond)> GrpSetM;
    std::function<int16_t()> GrpBlkRcvM; // 1 ready, 0 not yet, -1 failed exchange
    std::function<int16_t(const WavCondRec& cond)> GrpDatJuShinM;
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

// Logs that the series has no such command procedure; returns 0 (failure).
int16_t NoProcedure(const std::string& name);

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
