// Definition files: the families of ini\def\*.DEF and their configuration groups.
#include <cstdio>
#include <string>

#include "app/Glb.h"
#include "app/Uty.h"
#include "comm/ComGlb.h"
#include "data/DefFil.h"
#include "data/PrmGlb.h"
#include "frequency/FrqGlb.h"
#include "monitor/MonGlb.h"
#include "platform/Ask.h"
#include "platform/Numbers.h"
#include "platform/Paths.h"
#include "positioning/PopGlb.h"

DebugStateRec DbgState;

DebugStateHooks& DebugHooks()
{
    static DebugStateHooks hooks;
    return hooks;
}

namespace {

int16_t Int16(int16_t file) { return FIL_ReadValue(file).ToInt16(); }
int32_t Int32(int16_t file) { return FIL_ReadValue(file).ToInt32(); }
double Dbl(int16_t file) { return FIL_ReadValue(file).ToDouble(); }

// A count that sizes a table must fit it; a file asking for more is damaged.
int16_t Count(int16_t file, int max, const char* table)
{
    const int16_t n = Int16(file);
    FIL_CheckIndex(n, 0, max, table);
    return n;
}

// A value computed from file values must fit its 16-bit variable too.
int16_t Fit16(int v, const char* what)
{
    if (v < -32768 || v > 32767) throw FilError(std::string(what) + " does not fit");
    return static_cast<int16_t>(v);
}

constexpr int kPrmTableSize = 257;   // parameter numbers 0 to 256
constexpr int kStepTableSize = 1025; // step numbers 0 to 1024
constexpr int kAlmRows = 21;         // alarm history and time rows

void SetCheck(const char* box, int16_t value)
{
    if (DebugHooks().setCheck) DebugHooks().setCheck(box, value);
}

} // namespace

// ---- families --------------------------------------------------------------------------------------

int16_t FIL_LoadDefFile(const std::string& base)
{
    const int16_t ok = FIL_ReadGroupFile(AppPath("ini\\def\\" + base + ".DEF"), plat::VbTrue);
    if (ok != plat::VbTrue) return ok;
    for (int n = 0; n <= 255; ++n) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", n);
        if (FIL_ReadGroupFile(AppPath("ini\\def\\" + base + hex + ".DEF"), plat::VbTrue) != plat::VbTrue) break;
    }
    return ok;
}

int16_t FIL_LoadDef(const std::string& seriesKey)
{
    return FIL_LoadDefFile(seriesKey);
}

void FIL_LoadDefFileCpu(const std::string& model)
{
    RetVar = FIL_LoadDefFile(model);
    RetVar = FIL_LoadDefFile(model + GetVerKey());
}

// ---- configuration groups --------------------------------------------------------------------------

void FIL_LoadVersion(int16_t file, int16_t)
{
    for (int16_t& m : MenuMask) m = Int16(file);
}

void FIL_LoadFileVersion(int16_t file, int16_t index)
{
    FIL_CheckIndex(index, 0, FileVerCnt - 1, "FILE VERSION");
    FileVerRec& r = FileVerTbl[index];
    r.Name = FIL_ReadString(file);
    r.Ver = FIL_ReadString(file);
    r.Present = plat::VbTrue;
}

void FIL_LoadComPort(int16_t file, int16_t)
{
    FIL_ReadValue(file);
    FIL_ReadValue(file);
    for (ComTimeRec& t : ComTime) {
        t.T1 = Int32(file);
        t.T2 = Int32(file);
        t.Retry = Int16(file);
    }
}

void FIL_LoadMaxItem(int16_t file, int16_t)
{
    Prm16MaxAll = Count(file, kPrmTableSize - 1, "16-bit parameters (last number)");
    Prm16Max = Count(file, kPrmTableSize, "16-bit parameters");
    Prm16SysCnt = Count(file, kPrmTableSize, "16-bit system parameters");
    Prm16Last = UserLevel < 2 ? Fit16(Prm16Max - 1, "Prm16Last") : Prm16MaxAll;
    Prm16MaxSys = Int16(file);
    MaxItem5 = Int16(file);
    MaxItem6 = Int16(file);
    AlmHistRows = Count(file, kAlmRows, "alarm history rows");
    AlmTimeRows = Count(file, kAlmRows, "alarm time rows");
    IhxBase = Int16(file);
    FftReqCount = Count(file, FrqRawCnt, "frequency samples");
    FftSplitN = FftReqCount;
    FftDefAmp = Int16(file);
    FftDefOff = Int16(file);
    FftDefSmp = Int16(file);
    FftTime = Dbl(file);
    const double base = Dbl(file);
    SokuTeiRec.BaseTime = base;
    RefSokuTeiRec.BaseTime = base;
    WavGraph.SmpTime = Dbl(file);
    FIL_ReadValue(file);
    MaxItem17 = plat::VbTrue;
    for (int16_t* opt : {&MoniOptCtrlMode, &MoniOptIo1, &MoniOptIo2, &MoniOptLoad, &MoniOptAbso, &MoniOptMultiClr})
        *opt = Int16(file);
    AlmTimNowShown = Int16(file);
    MaxItem25 = Int32(file);
    MaxItem26 = Int32(file);
    ExecRightUse = Int16(file);
    AutoKind = Int32(file);
    // The torque scale divides every torque sample: below 1 the definition is damaged.
    WavMaxItem = Count(file, 32767, "torque scale");
    if (WavMaxItem < 1) throw FilError("the torque scale is below 1");
}

void FIL_LoadExtV25(int16_t file, int16_t)
{
    MultiAxisEnable = Int16(file);
    ComPortCnt = Int16(file);
    ExtV25Opt[2] = Int16(file);
    ExtV25Opt[0] = Int16(file);
    ExtV25Opt[1] = Int16(file);
}

void FIL_LoadExtV30(int16_t file, int16_t)
{
    PopEnable = FIL_ReadValue(file).ToBoolWord();
    WavGraph.ExtV30Val2 = Variant(FIL_ReadValue(file).ToBool());
    ExtV30Val3 = Int16(file);
    ExtV30Val4 = Int16(file);
    for (int w = 0; w < 3; ++w) PopStepCnt[w] = Count(file, kStepTableSize, "steps");
    for (int w = 0; w < 3; ++w) Pop16Cnt[w] = Count(file, PopPrmCnt, "16-bit positioning parameters");
    for (int w = 0; w < 3; ++w) Pop32Cnt[w] = Count(file, PopPrmCnt, "32-bit positioning parameters");
    const int in = UserLevel > 1 ? 2 : 1;
    PopStepCnt[3] = PopStepCnt[in];
    Pop16Cnt[3] = Pop16Cnt[in];
    Pop32Cnt[3] = Pop32Cnt[in];
    PopPosMin = Variant(FIL_ReadString(file));
    PopPosMax = Variant(FIL_ReadString(file));
    ExtV30Val16 = FIL_ReadString(file);
}

void FIL_LoadExtV35(int16_t file, int16_t)
{
    FftFullClose[0] = (Int32(file) & 1) ? plat::VbTrue : plat::VbFalse;
    FftFullClose[1] = Int16(file);
    if (FftFullClose[0] == 0) FftFullClose[1] = 0;
    Prm32Cnt = (Int32(file) & 1) ? plat::VbTrue : plat::VbFalse;
    ExtV35Val4 = Int16(file);
    const int16_t max = Count(file, kPrmTableSize, "32-bit parameters");
    const int16_t all = Count(file, kPrmTableSize, "32-bit parameters in all");
    Prm32Max = max;
    Prm32MaxSys = all;
    Prm32MaxAll = Prm32MaxSys;
    Prm32Last = UserLevel < 2 ? Fit16(Prm32Max - 1, "Prm32Last") : Fit16(Prm32MaxSys - 1, "Prm32Last");
}

void FIL_LoadExtV36(int16_t file, int16_t)
{
    ExtV36Val = Int16(file);
}

void FIL_LoadExtV37(int16_t file, int16_t)
{
    const int32_t n = Int32(file);
    // Checked before a rate is stored: the table has 17 entries.
    FIL_CheckIndex(n, 0, BaudTblSize, "bit rates");
    BaudCnt = n;
    for (int32_t i = 0; i < n; ++i) BaudTbl[i] = Int32(file);
}

void FIL_LoadDllVersion(int16_t file, int16_t)
{
    DllVer[0] = Int16(file);
    DllVer[1] = Int16(file);
}

void FIL_LoadDefModel(int16_t file, int16_t)
{
    FIL_ReadString(file);
    FIL_ReadValue(file);
    FIL_ReadString(file);
}

// ---- developer state -------------------------------------------------------------------------------

void FIL_LoadDebugState(int16_t file, int16_t)
{
    // A developer group must never ship: say so every time it is met.
    plat::MsgBox("[DEBUG STATE]Data group was detected. Remove it before delivery");

    UserLevel = Int16(file);

    DbgState.SplashTime = Int32(file);
    if (DebugHooks().setSplashTime) DebugHooks().setSplashTime(DbgState.SplashTime);

    DbgState.ChkDmyCom = Int16(file);
    SetCheck("ChkDmyCom", DbgState.ChkDmyCom);
    DbgState.ChkComLog = Int16(file);
    SetCheck("ChkComLog", DbgState.ChkComLog);

    const int16_t mask = Int16(file);
    if (mask != 0) {
        DbgState.ChkLogWin = 1;
        SetCheck("ChkLogWin", 1);
        for (int16_t k = 0; k < 5; ++k) {
            if (!(mask & (1 << k))) continue; // boxes are only ever ticked here
            DbgState.ChkLogMode[k] = 1;
            if (DebugHooks().setLogMode) DebugHooks().setLogMode(k, true);
        }
    }

    DbgState.ChkBlkLog = Int16(file);
    SetCheck("ChkBlkLog", DbgState.ChkBlkLog);

    DbgState.SysConShown = Int16(file) != 0 ? 1 : 0;
    if (DebugHooks().showConsole) DebugHooks().showConsole(DbgState.SysConShown != 0);

    if (Int16(file) == 1 && DebugHooks().comPortTest) DebugHooks().comPortTest();
}

void FIL_SaveDebugStateRec(int16_t file, int16_t)
{
    FIL_WriteValue(file, Variant(UserLevel), "User level");
    FIL_WriteValue(file, Variant(DbgState.SplashTime), "Splash display time");
    FIL_WriteValue(file, Variant(DbgState.ChkDmyCom), "Virtual communication mode");
    FIL_WriteValue(file, Variant(DbgState.ChkComLog), "Communication log control");
    FIL_WriteValue(file, Variant(DbgState.ChkLogWin), "Log window display");
    FIL_WriteValue(file, Variant(DbgState.ChkBlkLog), "");
    FIL_WriteValue(file, Variant(DbgState.SysConShown), "Debug control screen display");
    FIL_WriteValue(file, Variant(int16_t(0)), "Basic communication test execution");
}

int16_t FIL_SaveDebugState(const std::string& path)
{
    const int16_t file = FIL_OpenDateGroupe(path);
    if (file == -1) return plat::VbFalse;
    try {
        FIL_WriteGroup(file, "DEBUG STATE", 0, 0);
    } catch (const std::exception&) {
        FIL_AbortDateGroupe(file);
        return plat::VbFalse;
    }
    return FIL_CloseDateGroupe(file);
}
