#include "frequency/FrqCalc.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "app/Glb.h"
#include "app/Log.h"
#include "comm/SpektApi.h"
#include "platform/Numbers.h"

namespace {

FftWorkRec FftWorkIn, FftWorkOut, RefFftWorkIn, RefFftWorkOut;

// The frequency axis is k x step x this; the library takes it as a separate factor.
constexpr double kFrqScale = 1.0;

bool Usable(double v) {
    return std::isfinite(v);
}

} // namespace

const char* const SmoothingList[22] = {"25", "22", "20", "19", "18", "17", "16", "15", "14", "13", "12",
                                       "11", "10", "9",  "8",  "7",  "6",  "5",  "4",  "3",  "2",  "1"};

Smoothing NormaliseSmoothing(const std::string& typed) {
    const double v = plat::LeadingNumber(typed);
    if (!(v >= 1)) return {"1", 1};
    if (v > 25) return {"25", 25};
    const int n = static_cast<int>(plat::RoundHalfEven(v));
    return {typed, std::clamp(n, 1, 25)};
}

int16_t FrqIdxLast(int32_t n) {
    const int32_t last = std::min<int32_t>(static_cast<int32_t>(plat::RoundHalfEven(n / 4.0)), n / 2);
    return static_cast<int16_t>(std::clamp<int32_t>(last, 1, FrqPointCnt - 1));
}

int32_t FftCalc(FrqRec& rec, FftWorkRec& in, FftWorkRec& out, FrqGraphRec& gain, FrqGraphRec& phase,
                int smoothing) {
    const int32_t n = rec.Points;
    const double dt = (rec.Smp + 1.0) * rec.BaseTime;
    int32_t r = -100;
    if (n >= FrqMinPoints && n <= FrqRawCnt && dt > 0 && std::isfinite(dt)) {
        try {
            r = spekt::BunRi(rec.InSeries, rec.OutSeries, rec.Raw, rec.Amp, rec.Off, n);
            if (r == 0) r = spekt::EnZan(in.Re, in.Im, rec.InSeries, n);
            if (r == 0) r = spekt::EnZan(out.Re, out.Im, rec.OutSeries, n);
            if (r == 0) r = spekt::ShinPuku(gain.GrVal, in.Re, in.Im, out.Re, out.Im, smoothing, n);
            if (r == 0) r = spekt::ISou(phase.GrVal, in.Re, in.Im, out.Re, out.Im, smoothing, n);
            rec.Dt = dt;
            const double step = 1.0 / (n * dt);
            if (r == 0) r = spekt::SyuHaSu(gain.LogFrq, step, kFrqScale, n);
            if (r == 0) r = spekt::SyuHaSu(phase.LogFrq, step, kFrqScale, n);
        } catch (const std::exception& e) {
            log(std::string("FftCalc:") + e.what(), LogOther);
            r = -101;
        }
    }
    RetVar = Variant(r);
    if (r != 0) {
        log("FftCalc:analysis failed, error " + std::to_string(r), LogOther);
        rec.Valid = 0;
        return r;
    }
    gain.IdxLast = phase.IdxLast = FrqIdxLast(n);
    return 0;
}

bool CalcObs(int smoothing) {
    if (SokuTeiRec.Valid == 0) return false;
    return FftCalc(SokuTeiRec, FftWorkIn, FftWorkOut, FrqGainRec, FrqPhaseRec, smoothing) == 0;
}

bool CalcRef(int smoothing) {
    if (RefSokuTeiRec.Valid == 0) return false;
    return FftCalc(RefSokuTeiRec, RefFftWorkIn, RefFftWorkOut, RefGainRec, RefPhaseRec, smoothing) == 0;
}

int CsrValueOfPoint(int point) {
    if (point < 1) return 0;
    return static_cast<int>(plat::RoundHalfEven(1000.0 * std::log10(point)));
}

int CsrPointOfValue(int value) {
    return static_cast<int>(plat::RoundHalfEven(std::pow(10.0, value / 1000.0)));
}

int CsrClamp(const FrqGraphRec& rec, int point, double fftTime) {
    const int first = std::max<int>(1, rec.IdxFirst);
    const int last = std::clamp<int>(rec.IdxLast, first, FrqPointCnt - 1);
    point = std::clamp(point, first, last);
    if (Usable(rec.LogFrq[point]) && std::pow(10.0, rec.LogFrq[point]) > fftTime) {
        // The last point below the ceiling; the first point stays even when it is above.
        int k = first;
        while (k <= last && !(Usable(rec.LogFrq[k]) && std::pow(10.0, rec.LogFrq[k]) >= fftTime))
            ++k;
        point = std::max(first, k - 1);
    }
    return point;
}

int PeakAll(const FrqGraphRec& rec, bool peak) {
    double best = peak ? -10000.0 : 10000.0;
    int found = 0;
    const int last = std::min<int>(rec.IdxLast, FrqPointCnt - 1);
    for (int i = std::max<int>(0, rec.IdxFirst); i <= last; ++i) {
        const double v = rec.GrVal[i];
        if (!Usable(v) || !Usable(rec.LogFrq[i])) continue;
        if (peak ? v > best : v < best) {
            best = v;
            found = i;
        }
    }
    return found;
}

int PeakLocal(const FrqGraphRec& rec, int start, bool peak) {
    const int first = std::max<int>(1, rec.IdxFirst);
    const int last = std::clamp<int>(rec.IdxLast, first, FrqPointCnt - 1);
    int p = std::clamp(start, first, last);
    auto better = [peak](double a, double b) { return Usable(a) && (!Usable(b) || (peak ? a > b : a < b)); };
    for (int step = 3; step >= 1; --step)
        for (int pass = 0; pass < 11; ++pass) {
            const int lo = std::max(p - step, first);
            const int hi = std::min(p + step, last);
            const int n = better(rec.GrVal[hi], rec.GrVal[lo]) ? hi : lo;
            if (better(rec.GrVal[n], rec.GrVal[p])) p = n;
        }
    return p;
}

int CutOffIdx(const FrqGraphRec& gain) {
    // Over every computed point, drawn or not: points the analysis did not compute hold NaN.
    for (int i = std::max<int>(1, gain.IdxFirst); i < FrqPointCnt; ++i)
        if (Usable(gain.LogFrq[i]) && gain.GrVal[i] < -3.0) return i;
    return 0;
}
