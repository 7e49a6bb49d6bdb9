// The spectrum chain of a frequency-response measurement: separation of the raw words, the transform,
// gain, phase and the frequency axis.
#include "platform/spekt/spekt.h"

#include <fftw3.h>

#ifdef SPEKT_VECTOR_MATH
#include "platform/spekt/vecmath.h"
#endif

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <mutex>

#define SPEKT_EXPORT __attribute__((visibility("default")))

namespace {

// How the amplifier packs a sample. A set bit 0 means the excitation was positive; one output count is
// one r/min; input and output of one word were sampled at the same instant. Hardware decides these three:
// a wrong polarity turns the phase by 180 degrees, a wrong scale shifts the gain by a constant, a skew of
// one sample adds a phase lag growing with frequency.
constexpr double kExcitationSign = +1.0;
constexpr double kOutputPerCount = 1.0;
constexpr int kOutputSkew = 0; // samples the output lags its input word

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kPi = 3.14159265358979323846;

bool CountOk(int32_t n) {
    return n >= 2 && n <= SPEKT_MAX_SAMPLES;
}

// One transform length, planned once in estimate mode with buffers of its own and kept for the life of
// the library, so that no call after the first of a length plans or allocates.
struct Plan {
    double* in = nullptr;
    fftw_complex* out = nullptr;
    fftw_plan plan = nullptr;
};

std::mutex& Lock() {
    static std::mutex m;
    return m;
}

Plan* PlanFor(int32_t n) {
    static std::array<Plan, SPEKT_MAX_SAMPLES + 1> plans;
    Plan& p = plans[static_cast<size_t>(n)];
    if (p.plan) return &p;
    p.in = fftw_alloc_real(static_cast<size_t>(n));
    p.out = fftw_alloc_complex(static_cast<size_t>(n / 2 + 1));
    if (p.in && p.out) p.plan = fftw_plan_dft_r2c_1d(n, p.in, p.out, FFTW_ESTIMATE);
    if (!p.plan) {
        fftw_free(p.in);
        fftw_free(p.out);
        p = Plan{};
        return nullptr;
    }
    return &p;
}

// log10 and atan2 over whole arrays, several lanes at a time where the C library has vector forms of
// them (a few times quicker than one call a value, within 4 units in the last place): four lanes where
// the processor has AVX2, else two. The build defines SPEKT_VECTOR_MATH where those forms link.
#ifdef SPEKT_VECTOR_MATH
bool HasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

// Both return how many leading values they did.
__attribute__((target("avx2"))) int32_t Log10Avx2(double* v, int32_t count) {
    int32_t i = 0;
    for (; i + 4 <= count; i += 4)
        _mm256_storeu_pd(v + i, _ZGVdN4v_log10(_mm256_loadu_pd(v + i)));
    return i;
}

__attribute__((target("avx2"))) int32_t Atan2Avx2(double* y, const double* x, int32_t count) {
    int32_t i = 0;
    for (; i + 4 <= count; i += 4)
        _mm256_storeu_pd(y + i, _ZGVdN4vv_atan2(_mm256_loadu_pd(y + i), _mm256_loadu_pd(x + i)));
    return i;
}
#endif

void Log10All(double* v, int32_t count) {
    int32_t i = 0;
#ifdef SPEKT_VECTOR_MATH
    if (HasAvx2()) i = Log10Avx2(v, count);
    for (; i + 2 <= count; i += 2)
        _mm_storeu_pd(v + i, _ZGVbN2v_log10(_mm_loadu_pd(v + i)));
#endif
    for (; i < count; ++i)
        v[i] = std::log10(v[i]);
}

// y := atan2(y, x), element by element.
void Atan2All(double* y, const double* x, int32_t count) {
    int32_t i = 0;
#ifdef SPEKT_VECTOR_MATH
    if (HasAvx2()) i = Atan2Avx2(y, x, count);
    for (; i + 2 <= count; i += 2)
        _mm_storeu_pd(y + i, _ZGVbN2vv_atan2(_mm_loadu_pd(y + i), _mm_loadu_pd(x + i)));
#endif
    for (; i < count; ++i)
        y[i] = std::atan2(y[i], x[i]);
}

// Cross spectrum over input power, summed over `smoothing` bins around k and kept inside 1..n/2. The
// sums run as differences of running totals, so the cost does not grow with the smoothing. Gain and
// phase need no division: the power is real and positive. A bin whose power is not above 0 carries NaN
// through the logarithm or the angle.
int32_t Estimate(double* dst, const double* inRe, const double* inIm, const double* outRe,
                 const double* outIm, int32_t smoothing, int32_t n, bool phase) {
    if (!dst || !inRe || !inIm || !outRe || !outIm) return SPEKT_ERR_POINTER;
    if (!CountOk(n)) return SPEKT_ERR_COUNT;
    if (smoothing < 1 || smoothing > SPEKT_MAX_SMOOTHING) return SPEKT_ERR_SMOOTHING;
    const int32_t last = n / 2;
    const int32_t below = (smoothing - 1) / 2;
    const int32_t above = smoothing - 1 - below;
    // Running totals over bins 1..j at index j; index 0 holds nothing.
    std::array<double, SPEKT_POINTS + 1> cRe, cIm, pw;
    cRe[0] = cIm[0] = pw[0] = 0;
    for (int32_t j = 1; j <= last; ++j) {
        const double xr = inRe[j], xi = inIm[j], yr = outRe[j], yi = outIm[j];
        cRe[j] = cRe[j - 1] + yr * xr + yi * xi; // y times conj(x)
        cIm[j] = cIm[j - 1] + yi * xr - yr * xi;
        pw[j] = pw[j - 1] + xr * xr + xi * xi;
    }
    // The arguments of bins 1..last first, then the logarithms or angles of all of them in one pass.
    std::array<double, SPEKT_POINTS> re;
    for (int32_t k = 1; k <= last; ++k) {
        const int32_t lo = std::max(1, k - below) - 1, hi = std::min(last, k + above);
        const double r = cRe[hi] - cRe[lo], im = cIm[hi] - cIm[lo], power = pw[hi] - pw[lo];
        const bool valued = power > 0;
        if (phase) {
            dst[k] = valued ? im : kNaN;
            re[static_cast<size_t>(k)] = r;
        } else {
            dst[k] = valued ? (r * r + im * im) / (power * power) : kNaN;
        }
    }
    if (phase) {
        Atan2All(dst + 1, re.data() + 1, last);
        for (int32_t k = 1; k <= last; ++k) {
            double deg = dst[k] * (180.0 / kPi);
            if constexpr (kOutputSkew != 0) {
                deg = std::remainder(deg + 360.0 * k * kOutputSkew / n, 360.0);
                if (deg <= -180.0) deg += 360.0;
            }
            dst[k] = deg;
        }
    } else {
        Log10All(dst + 1, last);
        for (int32_t k = 1; k <= last; ++k)
            dst[k] *= 10.0;
    }
    dst[0] = kNaN;
    std::fill(dst + last + 1, dst + SPEKT_POINTS, kNaN);
    return SPEKT_OK;
}

// log10 of 1..SPEKT_POINTS - 1, made once.
const double* Log10Table() {
    static const auto table = [] {
        std::array<double, SPEKT_POINTS> t{};
        for (int k = 1; k < SPEKT_POINTS; ++k)
            t[static_cast<size_t>(k)] = std::log10(k);
        return t;
    }();
    return table.data();
}

} // namespace

extern "C" {

SPEKT_EXPORT int32_t SPEKT_BunRi(double* in, double* out, const int16_t* raw, double amp, double offset,
                                 int32_t n) {
    if (!in || !out || !raw) return SPEKT_ERR_POINTER;
    if (!CountOk(n)) return SPEKT_ERR_COUNT;
    if (!std::isfinite(amp) || !std::isfinite(offset)) return SPEKT_ERR_AMOUNT;
    // Summed as integers: exact, and without the latency of one floating-point add after another.
    int64_t sum = 0;
    for (int32_t i = 0; i < n; ++i)
        sum += raw[i] >> 1;
    const double mean = static_cast<double>(sum) / n;
    for (int32_t i = 0; i < n; ++i) {
        in[i] = (raw[i] & 1) ? kExcitationSign * amp : -kExcitationSign * amp;
        out[i] = ((raw[i] >> 1) - mean) * kOutputPerCount;
    }
    return SPEKT_OK;
}

SPEKT_EXPORT int32_t SPEKT_EnZan(double* re, double* im, const double* series, int32_t n) {
    if (!re || !im || !series) return SPEKT_ERR_POINTER;
    if (!CountOk(n)) return SPEKT_ERR_COUNT;
    std::lock_guard lk(Lock());
    Plan* p = PlanFor(n);
    if (!p) return SPEKT_ERR_MEMORY;
    std::copy(series, series + n, p->in);
    fftw_execute(p->plan);
    const int32_t last = n / 2;
    for (int32_t k = 0; k <= last; ++k) {
        re[k] = p->out[k][0];
        im[k] = p->out[k][1];
    }
    std::fill(re + last + 1, re + SPEKT_POINTS, 0.0);
    std::fill(im + last + 1, im + SPEKT_POINTS, 0.0);
    return SPEKT_OK;
}

SPEKT_EXPORT int32_t SPEKT_ShinPuku(double* gain, const double* inRe, const double* inIm, const double* outRe,
                                    const double* outIm, int32_t smoothing, int32_t n) {
    return Estimate(gain, inRe, inIm, outRe, outIm, smoothing, n, false);
}

SPEKT_EXPORT int32_t SPEKT_ISou(double* phase, const double* inRe, const double* inIm, const double* outRe,
                                const double* outIm, int32_t smoothing, int32_t n) {
    return Estimate(phase, inRe, inIm, outRe, outIm, smoothing, n, true);
}

SPEKT_EXPORT int32_t SPEKT_SyuHaSu(double* axis, double step, double scale, int32_t n) {
    if (!axis) return SPEKT_ERR_POINTER;
    if (!CountOk(n)) return SPEKT_ERR_COUNT;
    if (!std::isfinite(step) || !std::isfinite(scale) || !(step > 0) || !(scale > 0)) return SPEKT_ERR_AMOUNT;
    const int32_t last = n / 2;
    const double base = std::log10(step * scale);
    const double* lg = Log10Table();
    for (int32_t k = 0; k < SPEKT_POINTS; ++k)
        axis[k] = k >= 1 && k <= last ? base + lg[k] : kNaN;
    return SPEKT_OK;
}

} // extern "C"
