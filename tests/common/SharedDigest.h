// A digest of the shared tables that data files fill: one entry per table, so that a test that finds a
// table changed can say which. Written apart from the program's own list of what a read keeps, so that a
// table the program forgets shows here.
#pragma once

#include <cstring>
#include <map>
#include <string>
#include <type_traits>

#include "app/Glb.h"
#include "comm/ComGlb.h"
#include "data/DefFil.h"
#include "data/PrmGlb.h"
#include "data/PrmTbl.h"
#include "data/WavFil.h"
#include "frequency/FrqGlb.h"
#include "monitor/MonGlb.h"
#include "positioning/PopGlb.h"

namespace digest {

class Out {
public:
    template <class T>
        requires std::is_arithmetic_v<T>
    Out& operator<<(T v)
    {
        char b[sizeof v];
        std::memcpy(b, &v, sizeof v);
        s_.append(b, sizeof v);
        return *this;
    }
    Out& operator<<(const std::string& t)
    {
        *this << t.size();
        s_ += t;
        return *this;
    }
    Out& operator<<(const Variant& v) { return *this << static_cast<int>(v.kind()) << v.ToText(); }
    template <class T, size_t N>
    Out& operator<<(const T (&a)[N])
    {
        for (const T& e : a) *this << e;
        return *this;
    }
    template <class T>
        requires(!std::is_arithmetic_v<T>) && requires(Out& o, const T& t) { Put(o, t); }
    Out& operator<<(const T& r)
    {
        Put(*this, r);
        return *this;
    }
    const std::string& str() const { return s_; }

private:
    std::string s_;
};

inline void Put(Out& o, const FileVerRec& r) { o << r.Name << r.Ver << r.Present; }
inline void Put(Out& o, const ComTimeRec& r) { o << r.T1 << r.T2 << r.Retry; }
inline void Put(Out& o, const MeasItemRec& r) { o << r.TextA << r.TextB << r.TextC << r.TextD << r.Offered; }
inline void Put(Out& o, const EncoderRec& r)
{
    o << r.Code << r.Name << r.Val16 << r.Val32 << r.Flag1 << r.Flag2 << r.Enable;
}
inline void Put(Out& o, const AutoPrmRec& r) { o << r.Shown << r.PrmNo << r.Label; }
inline void Put(Out& o, const AlartRec& r) { o << r.Caption << r.Message << r.Offer << r.Off; }
inline void Put(Out& o, const PopItemRec& r) { o << r.Name << r.Code << r.Text; }
inline void Put(Out& o, const PopPrmRec& r)
{
    o << r.Name << r.Min << r.Max << r.Value << r.Attr << r.Type << r.Guide << r.Spare;
}
inline void Put(Out& o, const PopStepRec& r)
{
    o << r.Position << r.PosEmpty << r.Vel << r.Acc << r.Dec << r.Mod << r.Blk << r.Comment;
}
inline void Put(Out& o, const PrmAttrRec& r) { o << r.name << r.Attr << r.Type << r.Min << r.Max << r.Guide; }
inline void Put(Out& o, const Prm32AttrRec& r) { o << r.name << r.Attr << r.Type << r.Min << r.Max << r.Guide; }
inline void Put(Out& o, const WavChRec& r)
{
    o << r.RangeCnt << r.RangeTbl << r.RangeIdx << r.GrLeft << r.GrRight << r.GrBottom << r.GrCenter << r.GrTop
      << r.Color << r.GridColor << r.FrameColor << r.Thick << r.LineStyle << r.AxisTitle << r.TitleX << r.TitleY
      << r.LabelX << r.ShowLabels << r.Visible << r.Factor << r.DataValid << r.YOff << r.YDiv << r.XOff
      << r.XScale << r.RawData << r.DispData;
}
inline void Put(Out& o, const WavGraphRec& r) { o << r.Word << r.SmpTime << r.ExtV30Val2 << r.Ch; }
inline void Put(Out& o, const WavDateRec& r) { o << r.Year << r.Month << r.Day << r.Hour << r.Minute << r.Second; }
inline void Put(Out& o, const WavViewRec& r) { o << r.TimeSlider << r.Thick << r.RefThick << r.ChkDsp << r.ChkRefDsp; }
inline void Put(Out& o, const WavLoadRec& r)
{
    o << r.Cond << r.Sampling << r.YAxes << r.TimeAxis << r.Thick << r.RefThick << r.ChkDsp << r.ChkRefDsp
      << r.DataValid << r.RefDataValid;
}
inline void Put(Out& o, const FrqRec& r)
{
    o << r.Kisyu << r.Bui << r.Smp << r.Amp << r.Off << r.Points << r.FullCloseAvail << r.FullClose << r.BaseTime
      << r.Dt << r.Raw << r.InSeries << r.OutSeries << r.Valid;
}
inline void Put(Out& o, const DebugStateRec& r)
{
    o << r.SplashTime << r.ChkDmyCom << r.ChkComLog << r.ChkLogWin << r.ChkLogMode << r.ChkBlkLog << r.SysConShown;
}

// The tables, by name.
using Digest = std::map<std::string, std::string>;

template <class T>
std::string Of(const T& v)
{
    Out o;
    o << v;
    return o.str();
}

inline Digest Shared()
{
    Digest d;
#define MEVALO_DIGEST(x) d[#x] = Of(x)
    // Identity and comments.
    MEVALO_DIGEST(CommentTxt);
    MEVALO_DIGEST(KisyuMei);
    MEVALO_DIGEST(KisyuCode);
    MEVALO_DIGEST(CpuVer[0].Major);
    // Operating mode and console.
    MEVALO_DIGEST(UserLevel);
    MEVALO_DIGEST(DbgState);
    // Definition tables: counts, masks, bit rates, versions, port timings.
    MEVALO_DIGEST(MenuMask);
    MEVALO_DIGEST(FileVerTbl);
    MEVALO_DIGEST(ComTime);
    MEVALO_DIGEST(Prm16MaxAll);
    MEVALO_DIGEST(Prm16Max);
    MEVALO_DIGEST(Prm16SysCnt);
    MEVALO_DIGEST(Prm16Last);
    MEVALO_DIGEST(Prm16MaxSys);
    MEVALO_DIGEST(MaxItem5);
    MEVALO_DIGEST(MaxItem6);
    MEVALO_DIGEST(AlmHistRows);
    MEVALO_DIGEST(AlmTimeRows);
    MEVALO_DIGEST(IhxBase);
    MEVALO_DIGEST(FftReqCount);
    MEVALO_DIGEST(FftSplitN);
    MEVALO_DIGEST(FftDefAmp);
    MEVALO_DIGEST(FftDefOff);
    MEVALO_DIGEST(FftDefSmp);
    MEVALO_DIGEST(FftTime);
    MEVALO_DIGEST(MaxItem17);
    MEVALO_DIGEST(MoniOptCtrlMode);
    MEVALO_DIGEST(MoniOptIo1);
    MEVALO_DIGEST(MoniOptIo2);
    MEVALO_DIGEST(MoniOptLoad);
    MEVALO_DIGEST(MoniOptAbso);
    MEVALO_DIGEST(MoniOptMultiClr);
    MEVALO_DIGEST(AlmTimNowShown);
    MEVALO_DIGEST(MaxItem25);
    MEVALO_DIGEST(MaxItem26);
    MEVALO_DIGEST(ExecRightUse);
    MEVALO_DIGEST(AutoKind);
    MEVALO_DIGEST(WavMaxItem);
    MEVALO_DIGEST(MultiAxisEnable);
    MEVALO_DIGEST(ComPortCnt);
    MEVALO_DIGEST(ExtV25Opt);
    MEVALO_DIGEST(PopEnable);
    MEVALO_DIGEST(ExtV30Val3);
    MEVALO_DIGEST(ExtV30Val4);
    MEVALO_DIGEST(PopStepCnt);
    MEVALO_DIGEST(Pop16Cnt);
    MEVALO_DIGEST(Pop32Cnt);
    MEVALO_DIGEST(PopPosMin);
    MEVALO_DIGEST(PopPosMax);
    MEVALO_DIGEST(ExtV30Val16);
    MEVALO_DIGEST(FftFullClose);
    MEVALO_DIGEST(Prm32Cnt);
    MEVALO_DIGEST(ExtV35Val4);
    MEVALO_DIGEST(Prm32Max);
    MEVALO_DIGEST(Prm32MaxSys);
    MEVALO_DIGEST(Prm32MaxAll);
    MEVALO_DIGEST(Prm32Last);
    MEVALO_DIGEST(ExtV36Val);
    MEVALO_DIGEST(BaudCnt);
    MEVALO_DIGEST(BaudTbl);
    MEVALO_DIGEST(DllVer);
    // Names, menus and messages of the screens.
    MEVALO_DIGEST(MeasItem);
    MEVALO_DIGEST(EncoderTbl);
    MEVALO_DIGEST(IoName);
    MEVALO_DIGEST(AbsoMenu);
    MEVALO_DIGEST(CtrlModeMenu);
    MEVALO_DIGEST(AlmName);
    MEVALO_DIGEST(AlmTxt2);
    MEVALO_DIGEST(AlmTxt3);
    MEVALO_DIGEST(AutoMsg);
    MEVALO_DIGEST(AutoPrm);
    MEVALO_DIGEST(AlartTbl);
    MEVALO_DIGEST(PopItem);
    MEVALO_DIGEST(LblTxt);
    MEVALO_DIGEST(BitName);
    MEVALO_DIGEST(FullCloseMode);
    // Parameters.
    MEVALO_DIGEST(PrmAttr);
    MEVALO_DIGEST(Prm32Attr);
    MEVALO_DIGEST(PrmVal);
    MEVALO_DIGEST(Prm32Val);
    // Waveform.
    MEVALO_DIGEST(WavGraph);
    MEVALO_DIGEST(SokuTeiDate);
    MEVALO_DIGEST(WavView);
    // Frequency.
    MEVALO_DIGEST(SokuTeiRec);
    MEVALO_DIGEST(RefSokuTeiRec);
    MEVALO_DIGEST(FftCond);
    MEVALO_DIGEST(FftCondRef);
    MEVALO_DIGEST(FrqView);
    MEVALO_DIGEST(FrqNextCondSet);
    // Positioning.
    MEVALO_DIGEST(PopStep);
    MEVALO_DIGEST(Pop16Prm);
    MEVALO_DIGEST(Pop32Prm);
#undef MEVALO_DIGEST
    return d;
}

// The names of the tables that differ between two digests.
inline std::string Changed(const Digest& a, const Digest& b)
{
    std::string names;
    for (const auto& [name, value] : a) {
        const auto it = b.find(name);
        if (it == b.end() || it->second != value) names += (names.empty() ? "" : " ") + name;
    }
    return names;
}

} // namespace digest
