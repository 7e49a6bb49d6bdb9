// Parameter files in group form, the loads of any parameter file and the factory presets.
#include "data/PmtFil.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/Frame.h"
#include "app/Glb.h"
#include "app/Log.h"
#include "app/SetModel.h"
#include "app/Uty.h"
#include "comm/FrmSysCon.h"
#include "data/DefFil.h"
#include "data/IntelHex.h"
#include "data/PrmGlb.h"
#include "data/PrmTbl.h"
#include "platform/Ask.h"
#include "platform/EndProgram.h"
#include "platform/Numbers.h"
#include "platform/Paths.h"

namespace {

constexpr int16_t GroupFormCode = 25;
constexpr int LastPrm = PrmCnt - 1;

// Last record of the 16-bit and 32-bit groups, within the tables.
int Last16() {
    return std::clamp<int>(Prm16MaxAll, -1, LastPrm);
}
int Last32() {
    return std::clamp<int>(Prm32MaxAll - 1, -1, LastPrm);
}

std::string Hex(uint32_t v, int digits) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%0*X", digits, v);
    return buf;
}

struct GroupRange {
    const char* name;
    int first;
    int last;
};

// Writes the groups to path, reporting failures under the two places given. True when written.
int16_t SaveGroups(const std::string& path, const std::vector<GroupRange>& groups, const char* openPlace,
                   const char* writePlace) {
    ClearErr();
    const int16_t file = FIL_OpenDateGroupe(path);
    if (ErrMsg(openPlace) != 0 || file == -1) return plat::VbFalse;
    Hourglass(true);
    bool written = false;
    try {
        for (const GroupRange& g : groups)
            if (g.last >= g.first) FIL_WriteGroup(file, g.name, g.first, g.last);
        written = true;
    } catch (const plat::ProgramEnded&) {
        FIL_AbortDateGroupe(file);
        Hourglass(false);
        throw;
    } catch (const std::exception& e) {
        SetErr(ErrFileAccess, e.what());
    }
    if (written)
        FIL_CloseDateGroupe(file); // a failed commit leaves its error pending
    else
        FIL_AbortDateGroupe(file);
    Hourglass(false);
    return ErrMsg(writePlace) == 0 ? plat::VbTrue : plat::VbFalse;
}

std::vector<GroupRange> TypeGroups() {
    std::vector<GroupRange> g{{"PARA TYPE", 0, Last16()}};
    if (Prm32Cnt) g.push_back({"PARA TYPE32", 0, Last32()});
    return g;
}

} // namespace

std::string NoModelPresetText(const std::string& seriesKey) {
    return "No file of standard preset values of corresponding model. Standard preset values of series (" +
           seriesKey + ") have been read. ";
}

std::string PmtIndexText(int n) {
    return Hex(static_cast<uint32_t>(n), 2);
}

// ---- group records ---------------------------------------------------------------------------------

void FIL_LoadUserData(int16_t file, int16_t n) {
    if (FIL_SkipIf(file, LoadSel[3], 1)) return;
    FIL_CheckIndex(n, 0, LastPrm, "USER DATA");
    PrmVal[n] = FIL_ReadValue(file).ToInt16();
    PrmValLoaded = plat::VbTrue;
}

void FIL_LoadUserData32(int16_t file, int16_t n) {
    if (FIL_SkipIf(file, static_cast<int16_t>(LoadSel[3] != 0 || Prm32Cnt == 0), 1)) return;
    FIL_CheckIndex(n, 0, LastPrm, "USER DATA32");
    Prm32Val[n] = FIL_ReadValue(file).ToInt32();
    PrmValLoaded = plat::VbTrue;
}

void FIL_LoadParaType(int16_t file, int16_t n) {
    if (FIL_SkipIf(file, LoadSel[3], 1)) return;
    FIL_CheckIndex(n, 0, LastPrm, "PARA TYPE");
    PrmAttr[n].Type = FIL_ReadValue(file).ToInt16();
}

void FIL_LoadParaType32(int16_t file, int16_t n) {
    if (FIL_SkipIf(file, static_cast<int16_t>(LoadSel[3] != 0 || Prm32Cnt == 0), 1)) return;
    FIL_CheckIndex(n, 0, LastPrm, "PARA TYPE32");
    Prm32Attr[n].Type = FIL_ReadValue(file).ToInt32();
}

void FIL_SaveUserData(int16_t file, int16_t n) {
    FIL_CheckIndex(n, 0, LastPrm, "USER DATA");
    const int16_t v = PrmVal[n];
    FIL_WriteLine(file, "DATA," + PmtIndexText(n) + "," + std::to_string(v) + ",#[" +
                            Hex(static_cast<uint16_t>(v), 4) + "]:" + FIL_CommentText(PrmAttr[n].name));
}

void FIL_SaveUserData32(int16_t file, int16_t n) {
    FIL_CheckIndex(n, 0, LastPrm, "USER DATA32");
    const int32_t v = Prm32Val[n];
    FIL_WriteLine(file, "DATA," + PmtIndexText(n) + "," + std::to_string(v) + ",#[" +
                            Hex(static_cast<uint32_t>(v), 8) + "]:" + FIL_CommentText(Prm32Attr[n].name));
}

void FIL_SaveParaType(int16_t file, int16_t n) {
    FIL_CheckIndex(n, 0, LastPrm, "PARA TYPE");
    FIL_WriteLine(file, "DATA," + std::to_string(n) + "," + std::to_string(PrmAttr[n].Type) + ",#" +
                            FIL_CommentText(PrmAttr[n].name));
}

void FIL_SaveParaType32(int16_t file, int16_t n) {
    FIL_CheckIndex(n, 0, LastPrm, "PARA TYPE32");
    FIL_WriteLine(file, "DATA," + std::to_string(n) + "," + std::to_string(Prm32Attr[n].Type) + ",#" +
                            FIL_CommentText(Prm32Attr[n].name));
}

// ---- saving ----------------------------------------------------------------------------------------

int16_t FIL_SavePrmFile(const std::string& path) {
    std::vector<GroupRange> g{{"MODEL", 0, 0},
                              {"PARA COMMENT", 0, CommentLines - 1},
                              {"CPU VER", 0, CpuVerCnt - 1},
                              {"MOTOR MODEL", 0, 0},
                              {"USER DATA", 0, Last16()},
                              {"PARA TYPE", 0, Last16()}};
    if (Prm32Cnt) {
        g.push_back({"USER DATA32", 0, Last32()});
        g.push_back({"PARA TYPE32", 0, Last32()});
    }
    return SaveGroups(path, g, "Open the parameter file.", "Writing the parameter");
}

int16_t FIL_SavePrsFile(const std::string& path) {
    std::vector<GroupRange> g{{"MODEL", 0, 0},
                              {"COMMENT", 0, CommentLines - 1},
                              {"CPU VER", 0, CpuVerCnt - 1},
                              {"MOTOR MODEL", 0, 0}};
    for (const GroupRange& t : TypeGroups())
        g.push_back(t);
    return SaveGroups(path, g, "Open the parameter extraction file.", "Writing the parameter extraction status");
}

int16_t FIL_SaveUserPrs(const std::string& path) {
    return SaveGroups(path, TypeGroups(), "Open the parameter extraction file.",
                      "Writing the parameter extraction status");
}

int16_t PrmHoZon(const std::string& path, int16_t code) {
    return code == GroupFormCode ? FIL_SavePrmFile(path) : WriteHexFile(path);
}

Variant PrmSelHoZon(const std::string& path, int16_t code) {
    Variant result;
    if (code == GroupFormCode) result = Variant(FIL_SavePrsFile(path));
    RetVar = Variant(ErrMsg("Writing file"));
    return result;
}

// ---- loading ---------------------------------------------------------------------------------------

int16_t PMT_Load(const std::string& path, int16_t code, int16_t showMessage) {
    log("PMT_Load:" + path, LogOther);
    if (path.empty()) return plat::VbFalse;

    // Either reader changes nothing when the file fails.
    int16_t result = plat::VbFalse;
    if (code != GroupFormCode) {
        result = ReadHexFile(path);
        // The values on screen are now the file's.
        if (result) SetPrmSrc(2, "");
    } else {
        result = FIL_ReadGroupFile(path, plat::VbFalse);
        if (!result && showMessage)
            plat::MsgBox(PmtText::ReadFailed, plat::Buttons::Ok, plat::Icon::None, PmtText::ReadFailedTitle);
    }
    return result;
}

int16_t PMT_LoadSelection(const std::string& path) {
    // The file carries the user's choice (bit 0x01); whether a choice is offered (0x02) stays the
    // definition's.
    std::vector<int32_t> keep16(PrmCnt), keep32(PrmCnt);
    for (int n = 0; n < PrmCnt; ++n) {
        keep16[static_cast<size_t>(n)] = PrmAttr[n].Type;
        keep32[static_cast<size_t>(n)] = Prm32Attr[n].Type;
    }
    const int16_t result = FIL_ReadGroupFile(path, plat::VbFalse);
    for (int n = 0; n < PrmCnt; ++n) {
        const auto i = static_cast<size_t>(n);
        PrmAttr[n].Type =
            static_cast<int16_t>((keep16[i] & ~PrmTypeSelected) | (PrmAttr[n].Type & PrmTypeSelected));
        Prm32Attr[n].Type = (keep32[i] & ~PrmTypeSelected) | (Prm32Attr[n].Type & PrmTypeSelected);
    }
    return result;
}

int16_t PrmFileLoad(const std::string& base, const std::string& ext) {
    if (!PMT_Load(base + "." + ext, KisyuCode, plat::VbFalse)) return plat::VbFalse;
    for (int n = 0; n <= 255; ++n)
        if (!PMT_Load(base + IHX_Hex2(n) + "." + ext, KisyuCode, plat::VbFalse)) break;
    return plat::VbTrue;
}

int16_t PrmKiTeiChi(const std::string& model, int16_t showMessage) {
    const std::string folder = AppPath("ini\\prm\\" + KisyuKey);
    const std::string series = AddPath(folder, KisyuKey);
    const std::string own = AddPath(folder, model);
    if (!PrmFileLoad(plat::RealPath(series), "PRM")) return plat::VbFalse;
    // The model name comes from the amplifier: one that could leave the folder has no file of its own.
    const bool named = !model.empty() && model.find_first_of("/\\") == std::string::npos && model != "." &&
                       model != "..";
    if (!(named && PrmFileLoad(plat::RealPath(own), "PRM")) && showMessage && ExtV25Opt[1] != 0)
        plat::MsgBox(NoModelPresetText(KisyuKey), plat::Buttons::Ok, plat::Icon::None, PmtText::NoModelPresetTitle);
    RetVar = Variant(named ? PrmFileLoad(plat::RealPath(own + GetVerKey()), "PRM") : plat::VbFalse);
    SetPrmSrc(3, "");
    return plat::VbTrue;
}

void WirePmtFil() {
    AxisScreens().prmKiTeiChi = [](const std::string& model, int16_t showMessage) {
        return PrmKiTeiChi(model, showMessage);
    };
    SysConCalls().prmHoZon = [](const std::string& path, int16_t code) { return PrmHoZon(path, code); };
}
