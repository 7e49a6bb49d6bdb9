// The one table of group names: which loader reads a group and which writer writes its records.
// A group of a data kind whose module is not written yet has no entry; its module adds it here. Every
// table a loader writes is kept by FilBackup (FilBackup.cpp), so that a data file that fails changes
// nothing: a loader that writes a new table adds it there too.
#include "data/DefFil.h"
#include "data/FrqFil.h"
#include "data/WavFil.h"
#include "data/PrmTbl.h"
#include "data/PopFil.h"
#include "data/PmtFil.h"

namespace {

constexpr FilGroupDef kGroups[] = {
    // Common groups of every data file.
    {"MODEL", FIL_LoadModel, FIL_SaveModel, true},
    {"CPU VER", FIL_LoadCpuVer, FIL_SaveCpuVer, true},
    {"MOTOR MODEL", FIL_LoadMotorModel, FIL_SaveMotorModel, true},
    {"PARA COMMENT", FIL_LoadParaComment, FIL_SaveParaComment, true},
    {"WAVE COMMENT", FIL_LoadWaveComment, FIL_SaveWaveComment, true},
    {"FREQ COMMENT", FIL_LoadFreqComment, FIL_SaveFreqComment, true},
    {"STEP COMMENT", FIL_LoadStepComment, FIL_SaveStepComment, true},

    // Configuration groups of the definition files.
    {"DEBUG STATE", FIL_LoadDebugState, FIL_SaveDebugStateRec, false},
    {"VERSION", FIL_LoadVersion, nullptr, false},
    {"FILE VERSION", FIL_LoadFileVersion, nullptr, false},
    {"COM PORT", FIL_LoadComPort, nullptr, false},
    {"MAX ITEM", FIL_LoadMaxItem, nullptr, false},
    {"EXTENTION V2.5", FIL_LoadExtV25, nullptr, false},
    {"EXTENTION V3.0", FIL_LoadExtV30, nullptr, false},
    {"EXTENTION V3.5", FIL_LoadExtV35, nullptr, false},
    {"EXTENTION V3.6", FIL_LoadExtV36, nullptr, false},
    {"EXTENTION V3.7", FIL_LoadExtV37, nullptr, false},
    {"DLL VERSION", FIL_LoadDllVersion, nullptr, false},
    {"DEF MODEL", FIL_LoadDefModel, nullptr, false},

    // Tables of the screens.
    {"MEASURE ITEM", FIL_LoadMeasItem, nullptr, false},
    {"DEF ENCODER", FIL_LoadDefEncoder, nullptr, false},
    {"POS IN NAME", FIL_LoadPosInName, nullptr, false},
    {"POS OUT NAME", FIL_LoadPosOutName, nullptr, false},
    {"IN MENU", FIL_LoadInMenu, nullptr, false},
    {"ABSO MENU", FIL_LoadAbsoMenu, nullptr, false},
    {"CTRL MODE MENU", FIL_LoadCtrlModeMenu, nullptr, false},
    {"OUT MENU", FIL_LoadOutMenu, nullptr, false},
    {"ERROR DATA", FIL_LoadErrorData, nullptr, false},
    {"AUTO MESSAGE", FIL_LoadAutoMessage, nullptr, false},
    {"AUTO PARA", FIL_LoadAutoPara, nullptr, false},
    {"GRAPH DATA", FIL_LoadGraphData, nullptr, false},
    {"ALART", FIL_LoadAlart, nullptr, false},
    {"POSITIONING COMBO", FIL_LoadPosCombo, nullptr, false},
    {"LABEL TEXT", FIL_LoadLabelText, nullptr, false},
    {"POS PARA 16 MENU", FIL_LoadPosPara16Menu, nullptr, false},
    {"POS PARA 32 MENU", FIL_LoadPosPara32Menu, nullptr, false},
    {"BIT NAME EXT", FIL_LoadBitNameExt, nullptr, false},
    {"FULL CLOSE ENABLE MODE", FIL_LoadFullCloseMode, nullptr, false},

    // Parameter definitions.
    {"PARA MENU", FIL_LoadParaMenu, nullptr, false},
    {"PARA MENU32", FIL_LoadParaMenu32, nullptr, false},

    // Parameter values and selections, and the comment lines of parameter extraction files.
    {"USER DATA", FIL_LoadUserData, FIL_SaveUserData, true},
    {"USER DATA32", FIL_LoadUserData32, FIL_SaveUserData32, true},
    {"PARA TYPE", FIL_LoadParaType, FIL_SaveParaType, true},
    {"PARA TYPE32", FIL_LoadParaType32, FIL_SaveParaType32, true},
    {"COMMENT", FIL_LoadParaComment, FIL_SaveParaComment, true},

    // Waveform data.
    {"WAVE GRAPH VERSION", FIL_LoadWaveVer, FIL_SaveWaveVer, false},
    {"WAVE GRAPH CONDITION", FIL_ReadWaveCnd, FIL_SaveWaveCnd, false},
    {"WAVE GRAPH STATUS", FIL_LoadWaveStat, FIL_SaveWaveStat, false},
    {"WAVE REF GRAPH STATUS", FIL_LoadWaveRefStat, FIL_SaveWaveRefStat, false},
    {"WAVE GRAPH DATA", FIL_LoadWaveData, FIL_SaveWaveData, true},
    {"WAVE REF GRAPH DATA", FIL_LoadWaveRefData, FIL_SaveWaveRefData, true},

    // Frequency data.
    {"FREQ GRAPH CONDITION", FIL_LoadFreqCond, FIL_SaveFreqCond, false},
    {"FREQ GRAPH VIEW", FIL_LoadFreqView, FIL_SaveFreqView, false},
    {"FREQ GRAPH CONDITION V3.5", FIL_LoadFreqCondV35, FIL_SaveFreqCondV35, false},
    {"FREQ GRAPH STAT", FIL_LoadFreqStat, FIL_SaveFreqStat, false},
    {"FREQ GRAPH DATA", FIL_LoadFreqData, FIL_SaveFreqData, true},
    {"FREQ GRAPH REF", FIL_LoadFreqRef, FIL_SaveFreqRef, true},
    {"FFT GRAPH DATA", FIL_LoadFftGraph, FIL_SaveFftData, true},
    {"FFT GRAPH REF", FIL_LoadFftGraph, FIL_SaveFftRef, true},

    // Positioning data.
    {"STEP DATA", FIL_LoadStepData, FIL_SaveStepData, true},
    {"POS PARA 16", FIL_LoadPosPara16, FIL_SavePosPara16, true},
    {"POS PARA 32", FIL_LoadPosPara32, FIL_SavePosPara32, true},
};

} // namespace

const FilGroupDef* FIL_FindGroup(const std::string& name)
{
    for (const FilGroupDef& g : kGroups)
        if (name == g.name) return &g;
    return nullptr;
}
