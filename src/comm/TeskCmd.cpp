#include "comm/TeskCmd.h"

#include "app/Log.h"
#include "comm/TeskK.h"
#include "comm/TeskM.h"
#include "comm/TeskR.h"

namespace {

// The installed procedure's result, or the not-built failure.
template <class Fn, class... A> int16_t Call(const Fn& fn, const char* name, A&... args) {
    return fn ? fn(args...) : NoProcedure(name);
}

} // namespace

CmdFamilyKind CurrentFamily() {
    if (CmdFamily == 1) return CmdFamilyKind::K;
    if (KisyuCode == 25) return CmdFamilyKind::R;
    return CmdFamilyKind::M;
}

FamilyKCmds& FamilyK() {
    static FamilyKCmds cmds = TeskKCmds();
    return cmds;
}

FamilyMCmds& FamilyM() {
    static FamilyMCmds cmds = TeskMCmds();
    return cmds;
}

FamilyRCmds& FamilyR() {
    static FamilyRCmds cmds = TeskRCmds();
    return cmds;
}

int16_t NoProcedure(const std::string& name) {
    log(name + ": no such procedure for this series", LogOther);
    return 0;
}

Variant GetVerInfo(CpuVerRec (&ver)[CpuVerCnt]) {
    for (CpuVerRec& v : ver)
        v = CpuVerRec{};
    if (CurrentFamily() == CmdFamilyKind::K) return Variant();
    return Variant(Call(FamilyM().VerJuShinM, "VerJuShinM", ver));
}

int16_t ReadIoMon(int32_t& in, int32_t& out, int16_t& ctrlMode, int16_t& aux, int16_t& warn) {
    switch (CurrentFamily()) {
    case CmdFamilyKind::K:
        return Call(FamilyK().IoMonK, "IoMonK", in, out);
    case CmdFamilyKind::M:
        return Call(FamilyM().IoMonM, "IoMonM", in, out);
    case CmdFamilyKind::R:
        return Call(FamilyR().GetMoniPos, "GetMoniPos", in, out, ctrlMode, aux, warn);
    }
    return 0;
}

int16_t ReadErrMon() {
    switch (CurrentFamily()) {
    case CmdFamilyKind::K:
        return Call(FamilyK().ErrMonK, "ErrMonK");
    case CmdFamilyKind::M:
        return Call(FamilyM().AlmNowM, "AlmNowM");
    case CmdFamilyKind::R:
        return Call(FamilyR().GetAlmNoGlb, "GetAlmNoGlb");
    }
    return 0;
}

int16_t ReadAlmExtA() {
    return CurrentFamily() == CmdFamilyKind::R ? Call(FamilyR().GetMkrDat, "GetMkrDat") : int16_t(0);
}

int16_t ReadAlmHist() {
    switch (CurrentFamily()) {
    case CmdFamilyKind::K:
        return Call(FamilyK().HistK, "HistK");
    case CmdFamilyKind::M:
        return Call(FamilyM().AlmHistM, "AlmHistM");
    case CmdFamilyKind::R:
        return Call(FamilyR().GetAlmHist, "GetAlmHist");
    }
    return 0;
}

int16_t ReadAlmExtB() {
    return CurrentFamily() == CmdFamilyKind::R ? Call(FamilyR().GetSysHist, "GetSysHist") : int16_t(0);
}
