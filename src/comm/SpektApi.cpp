#include "comm/SpektApi.h"

#include "platform/Library.h"
#include "platform/spekt/spekt.h"

namespace spekt {
namespace {
constexpr const char* kSpekt = "libspekt.so";
}

void StoB(int16_t v, uint8_t* hi, uint8_t* lo) {
    static plat::LazyFn<decltype(UTY_StoB)> f(kSpekt, "UTY_StoB");
    f(v, hi, lo);
}

int16_t BtoS(uint8_t hi, uint8_t lo) {
    static plat::LazyFn<decltype(UTY_BtoS)> f(kSpekt, "UTY_BtoS");
    return f(hi, lo);
}

void LtoB(int32_t v, uint8_t* b3, uint8_t* b2, uint8_t* b1, uint8_t* b0) {
    static plat::LazyFn<decltype(UTY_LtoB)> f(kSpekt, "UTY_LtoB");
    f(v, b3, b2, b1, b0);
}

int32_t BtoL(uint8_t b3, uint8_t b2, uint8_t b1, uint8_t b0) {
    static plat::LazyFn<decltype(UTY_BtoL)> f(kSpekt, "UTY_BtoL");
    return f(b3, b2, b1, b0);
}

int32_t BunRi(double* in, double* out, const int16_t* raw, double amp, double offset, int32_t n) {
    static plat::LazyFn<decltype(SPEKT_BunRi)> f(kSpekt, "SPEKT_BunRi");
    return f(in, out, raw, amp, offset, n);
}

int32_t EnZan(double* re, double* im, const double* series, int32_t n) {
    static plat::LazyFn<decltype(SPEKT_EnZan)> f(kSpekt, "SPEKT_EnZan");
    return f(re, im, series, n);
}

int32_t ShinPuku(double* gain, const double* inRe, const double* inIm, const double* outRe, const double* outIm,
                 int32_t smoothing, int32_t n) {
    static plat::LazyFn<decltype(SPEKT_ShinPuku)> f(kSpekt, "SPEKT_ShinPuku");
    return f(gain, inRe, inIm, outRe, outIm, smoothing, n);
}

int32_t ISou(double* phase, const double* inRe, const double* inIm, const double* outRe, const double* outIm,
             int32_t smoothing, int32_t n) {
    static plat::LazyFn<decltype(SPEKT_ISou)> f(kSpekt, "SPEKT_ISou");
    return f(phase, inRe, inIm, outRe, outIm, smoothing, n);
}

int32_t SyuHaSu(double* axis, double step, double scale, int32_t n) {
    static plat::LazyFn<decltype(SPEKT_SyuHaSu)> f(kSpekt, "SPEKT_SyuHaSu");
    return f(axis, step, scale, n);
}

} // namespace spekt
