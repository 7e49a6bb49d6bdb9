// Every table a group loader writes, in the order of the group table. A loader that comes to write a
// table not listed here adds it here.
#include "data/FilBackup.h"

#include "app/Glb.h"
#include "comm/ComGlb.h"
#include "data/PrmGlb.h"
#include "data/PrmTbl.h"
#include "data/WavFil.h"
#include "frequency/FrqGlb.h"
#include "monitor/MonGlb.h"
#include "positioning/PopGlb.h"

namespace {

template <class T>
void CopyInto(T& to, const T& from)
{
    to = from;
}

template <class T, size_t N>
void CopyInto(T (&to)[N], const T (&from)[N])
{
    for (size_t i = 0; i < N; ++i) CopyInto(to[i], from[i]);
}

template <class T>
struct KeptTable final : FilBackup::Kept {
    explicit KeptTable(T& t) : live(t) { CopyInto(copy, t); }
    void Put() const override { CopyInto(live, copy); }
    T& live;
    T copy;
};

void SwitchBack(const DebugStateRec& before)
{
    const DebugStateRec now = DbgState;
    DbgState = before;
    const DebugStateHooks& h = DebugHooks();
    const struct {
        const char* box;
        int16_t DebugStateRec::*value;
    } boxes[] = {{"ChkDmyCom", &DebugStateRec::ChkDmyCom},
                 {"ChkComLog", &DebugStateRec::ChkComLog},
                 {"ChkLogWin", &DebugStateRec::ChkLogWin},
                 {"ChkBlkLog", &DebugStateRec::ChkBlkLog}};
    for (const auto& b : boxes)
        if (now.*b.value != before.*b.value && h.setCheck) h.setCheck(b.box, before.*b.value);
    for (int16_t k = 0; k < 5; ++k)
        if (now.ChkLogMode[k] != before.ChkLogMode[k] && h.setLogMode) h.setLogMode(k, before.ChkLogMode[k] != 0);
    if (now.SysConShown != before.SysConShown && h.showConsole) h.showConsole(before.SysConShown != 0);
    if (now.SplashTime != before.SplashTime && h.setSplashTime) h.setSplashTime(before.SplashTime);
    DbgState = before; // the hooks record what they set; the switches end as they were
}

} // namespace

template <class T>
void FilBackup::Keep(T& table)
{
    kept_.push_back(std::make_unique<KeptTable<T>>(table));
}

FilBackup::FilBackup() : debug_(DbgState)
{
    // Common groups: the comment lines of every kind.
    Keep(CommentTxt);

    // Configuration groups; DEBUG STATE's console switches are debug_.
    Keep(UserLevel);
    Keep(MenuMask);
    Keep(FileVerTbl);
    Keep(ComTime);
    for (int16_t* w : {&Prm16MaxAll, &Prm16Max, &Prm16SysCnt, &Prm16Last, &Prm16MaxSys, &MaxItem5, &MaxItem6,
                       &AlmHistRows, &AlmTimeRows, &IhxBase, &FftReqCount, &FftSplitN, &FftDefAmp, &FftDefOff,
                       &FftDefSmp, &MaxItem17, &MoniOptCtrlMode, &MoniOptIo1, &MoniOptIo2, &MoniOptLoad,
                       &MoniOptAbso, &MoniOptMultiClr, &AlmTimNowShown, &ExecRightUse, &WavMaxItem})
        Keep(*w);
    Keep(FftTime);
    Keep(SokuTeiRec.BaseTime);
    Keep(RefSokuTeiRec.BaseTime);
    Keep(MaxItem25);
    Keep(MaxItem26);
    Keep(AutoKind);
    Keep(MultiAxisEnable);
    Keep(ComPortCnt);
    Keep(ExtV25Opt);
    Keep(PopEnable);
    Keep(ExtV30Val3);
    Keep(ExtV30Val4);
    Keep(PopStepCnt);
    Keep(Pop16Cnt);
    Keep(Pop32Cnt);
    Keep(PopPosMin);
    Keep(PopPosMax);
    Keep(ExtV30Val16);
    Keep(FftFullClose);
    for (int16_t* w : {&Prm32Cnt, &ExtV35Val4, &Prm32Max, &Prm32MaxSys, &Prm32MaxAll, &Prm32Last, &ExtV36Val})
        Keep(*w);
    Keep(BaudCnt);
    Keep(BaudTbl);
    Keep(DllVer);

    // Tables of the screens.
    Keep(MeasItem);
    Keep(EncoderTbl);
    Keep(IoName);
    Keep(AbsoMenu);
    Keep(CtrlModeMenu);
    Keep(AlmName);
    Keep(AlmTxt2);
    Keep(AlmTxt3);
    Keep(AutoMsg);
    Keep(AutoPrm);
    Keep(AlartTbl);
    Keep(PopItem);
    Keep(LblTxt);
    Keep(BitName);
    Keep(FullCloseMode);

    // Parameter definitions, selections and values.
    Keep(PrmAttr);
    Keep(Prm32Attr);
    Keep(PrmVal);
    Keep(Prm32Val);

    // Waveform graph (GRAPH DATA, MAX ITEM and EXTENTION V3.0 write into it too) and its state.
    Keep(WavGraph);
    Keep(SokuTeiDate);
    Keep(WavView);
    Keep(WavLoaded);
    Keep(WavFileVer);

    // Frequency records and view; the curve groups leave their mark in RetVar.
    Keep(FftCond);
    Keep(FftCondRef);
    Keep(FrqView);
    Keep(RetVar);

    // Positioning data and definitions (the POS PARA menus write the definition part).
    Keep(PopStep);
    Keep(Pop16Prm);
    Keep(Pop32Prm);
}

FilBackup::~FilBackup() = default;

void FilBackup::Restore() const
{
    for (const auto& k : kept_) k->Put();
    SwitchBack(debug_);
}
