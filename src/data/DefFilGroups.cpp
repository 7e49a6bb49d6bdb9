// The one table of group names: which loader reads a group and which writer writes its records.
// A group of a data kind whose module is not written yet has no entry; its module adds it here.
#include "data/DefFil.h"

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

    // Parameter definitions and values: "PARA MENU", "PARA MENU32", "PARA TYPE", "PARA TYPE32",
    // "USER DATA", "USER DATA32".
    // Waveform data: "WAVE GRAPH VERSION", "WAVE GRAPH CONDITION", "WAVE GRAPH STATUS",
    // "WAVE REF GRAPH STATUS", "WAVE GRAPH DATA", "WAVE REF GRAPH DATA".
    // Frequency data: "FREQ GRAPH CONDITION", "FREQ GRAPH CONDITION V3.5", "FREQ GRAPH VIEW",
    // "FREQ GRAPH STAT", "FREQ GRAPH DATA", "FREQ GRAPH REF", "FFT GRAPH DATA", "FFT GRAPH REF".
    // Positioning data: "POS PARA 16", "POS PARA 32", "STEP DATA".
};

} // namespace

const FilGroupDef* FIL_FindGroup(const std::string& name)
{
    for (const FilGroupDef& g : kGroups)
        if (name == g.name) return &g;
    return nullptr;
}
