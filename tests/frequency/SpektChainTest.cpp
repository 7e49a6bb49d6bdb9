// The spectrum chain against plants whose response is known exactly.
#include "FrqEnv.h"

#include "comm/SpektApi.h"

#include <link.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <limits>
#include <numbers>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

using ampsim::Plant;
using frqtest::ExactGain;
using frqtest::ExactPhase;

constexpr int kN = 2047; // a maximum-length excitation: every bin is excited equally

struct Curves {
    FrqRec rec;
    FftWorkRec in, out;
    FrqGraphRec gain, phase;
};

std::unique_ptr<Curves> Analyse(const Plant& p, int smp = 0, int smoothing = 1, int n = kN) {
    auto c = std::make_unique<Curves>();
    frqtest::Fill(c->rec, p, n, smp, 4000); // the largest swing the output word holds for these plants
    EXPECT_EQ(FftCalc(c->rec, c->in, c->out, c->gain, c->phase, smoothing), 0);
    return c;
}

double PhaseDiff(double a, double b) {
    return std::remainder(a - b, 360.0);
}

Plant Make(Plant::Kind kind) {
    Plant p;
    p.kind = kind;
    p.k = 2.0;
    p.a = 0.95;
    p.d = 3;
    return p;
}

// Within 0.05 dB and 0.3 degrees where the gain is above -20 dB, 0.5 dB and 3 degrees down to -40 dB
// (what the output's rounding to whole r/min leaves).
// The exactness of gain and phase of the gain plant also pins the excitation polarity and the output
// scale; the delay plant pins the alignment of input and output.
TEST(SpektChain, MatchesEveryPlantWithinItsTolerance) {
    for (Plant::Kind kind : {Plant::Gain, Plant::Delay, Plant::Lag, Plant::Resonance}) {
        const Plant p = Make(kind);
        const auto c = Analyse(p);
        int checked = 0;
        for (int k = 1; k <= kN / 2; ++k) {
            const double g = ExactGain(p, k, kN);
            if (g < -40) continue;
            const bool strong = g > -20;
            EXPECT_NEAR(c->gain.GrVal[k], g, strong ? 0.05 : 0.5) << "plant " << kind << " bin " << k;
            EXPECT_NEAR(PhaseDiff(c->phase.GrVal[k], ExactPhase(p, k, kN)), 0, strong ? 0.3 : 3.0)
                << "plant " << kind << " bin " << k;
            ++checked;
        }
        EXPECT_GT(checked, 100) << "plant " << kind;
    }
}

TEST(SpektChain, GainPlantIsFlatAtItsGainWithZeroPhase) {
    const auto c = Analyse(Make(Plant::Gain));
    for (int k : {1, 100, 1023}) {
        EXPECT_NEAR(c->gain.GrVal[k], 20 * std::log10(2.0), 1e-6);
        EXPECT_NEAR(c->phase.GrVal[k], 0, 1e-6);
    }
}

TEST(SpektChain, DelayPlantPhaseFallsAt360DegreesPerHertzAndSample) {
    const Plant p = Make(Plant::Delay);
    const auto c = Analyse(p);
    const double dt = c->rec.Dt;
    // Between two bins where the phase has not wrapped yet.
    const int k1 = 10, k2 = 40;
    const double f1 = std::pow(10.0, c->phase.LogFrq[k1]), f2 = std::pow(10.0, c->phase.LogFrq[k2]);
    const double slope = (c->phase.GrVal[k2] - c->phase.GrVal[k1]) / (f2 - f1);
    EXPECT_NEAR(slope, -360.0 * p.d * dt, 1e-6);
}

TEST(SpektChain, SamplingIndexScalesTheFrequencyAxis) {
    const Plant p = Make(Plant::Lag);
    const auto fast = Analyse(p, 0);
    const auto slow = Analyse(p, 4);
    EXPECT_DOUBLE_EQ(fast->rec.Dt, frqtest::kBase);
    EXPECT_DOUBLE_EQ(slow->rec.Dt, 5 * frqtest::kBase);
    for (int k : {1, 37, 1023})
        EXPECT_NEAR(std::pow(10.0, fast->gain.LogFrq[k]) / std::pow(10.0, slow->gain.LogFrq[k]), 5.0, 1e-9);
    EXPECT_NEAR(std::pow(10.0, fast->gain.LogFrq[1]), 1.0 / (kN * frqtest::kBase), 1e-9);
}

TEST(SpektChain, SmoothingStaysCloseAwayFromTheResonance) {
    const Plant p = Make(Plant::Lag);
    const auto c = Analyse(p, 0, 4);
    for (int k = 2; k <= 300; ++k)
        EXPECT_NEAR(c->gain.GrVal[k], ExactGain(p, k, kN), 0.5) << k;
}

TEST(SpektChain, PointsWithoutValueHoldNaN) {
    const auto c = Analyse(Make(Plant::Gain), 0, 1, 100);
    for (const double* a : {c->gain.GrVal, c->phase.GrVal, c->gain.LogFrq}) {
        EXPECT_TRUE(std::isnan(a[0]));
        EXPECT_FALSE(std::isnan(a[50]));
        EXPECT_TRUE(std::isnan(a[51]));
        EXPECT_TRUE(std::isnan(a[FrqPointCnt - 1]));
    }
}

// Gain and phase of random spectra, against the estimate written out plainly: sums over the window of
// bins, one logarithm and one angle a bin. Lengths whose bins end inside and outside a batch of the
// vectorised logarithm and angle, every window size at the edges, a bin without input power.
TEST(SpektChain, GainAndPhaseMatchThePlainEstimateAtEveryBin) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> value(-50.0, 50.0);
    for (int n : {2, 3, 10, 11, 13, 2048, 2059}) {
        const int last = n / 2;
        std::vector<double> xr(FrqPointCnt), xi(FrqPointCnt), yr(FrqPointCnt), yi(FrqPointCnt);
        for (int k = 0; k <= last; ++k) {
            xr[k] = value(rng);
            xi[k] = value(rng);
            yr[k] = value(rng);
            yi[k] = value(rng);
        }
        if (last >= 3) xr[3] = xi[3] = 0; // no power in bin 3: NaN with smoothing 1
        for (int smoothing : {1, 2, 4, 25}) {
            std::vector<double> gain(FrqPointCnt), phase(FrqPointCnt);
            ASSERT_EQ(spekt::ShinPuku(gain.data(), xr.data(), xi.data(), yr.data(), yi.data(), smoothing, n),
                      0);
            ASSERT_EQ(spekt::ISou(phase.data(), xr.data(), xi.data(), yr.data(), yi.data(), smoothing, n), 0);
            const int below = (smoothing - 1) / 2, above = smoothing - 1 - below;
            for (int k = 0; k < FrqPointCnt; ++k) {
                double re = 0, im = 0, power = 0;
                if (k >= 1 && k <= last)
                    for (int j = std::max(1, k - below); j <= std::min(last, k + above); ++j) {
                        re += yr[j] * xr[j] + yi[j] * xi[j];
                        im += yi[j] * xr[j] - yr[j] * xi[j];
                        power += xr[j] * xr[j] + xi[j] * xi[j];
                    }
                const std::string at = "n " + std::to_string(n) + " smoothing " + std::to_string(smoothing) +
                                       " bin " + std::to_string(k);
                if (!(power > 0)) {
                    EXPECT_TRUE(std::isnan(gain[k])) << at;
                    EXPECT_TRUE(std::isnan(phase[k])) << at;
                    continue;
                }
                EXPECT_NEAR(gain[k], 10 * std::log10((re * re + im * im) / (power * power)), 1e-9) << at;
                EXPECT_NEAR(phase[k], std::atan2(im, re) * 180 / std::numbers::pi, 1e-9) << at;
            }
        }
    }
}

// The path of the spectrum library this process loaded, empty when none is loaded.
std::string LoadedSpektPath() {
    std::string path;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* found) {
            const std::string name = info->dlpi_name ? info->dlpi_name : "";
            if (name.ends_with("/libspekt.so")) *static_cast<std::string*>(found) = name;
            return 0;
        },
        &path);
    return path;
}

// The names of the C library's vector maths (symbols "_ZGV...") that a shared library calls: the undefined
// symbols of its dynamic symbol table.
std::set<std::string> VectorMathCalled(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::set<std::string> names;
    if (file.size() < sizeof(ElfW(Ehdr))) return names;
    const auto* eh = reinterpret_cast<const ElfW(Ehdr)*>(file.data());
    if (eh->e_shoff + size_t{eh->e_shnum} * sizeof(ElfW(Shdr)) > file.size()) return names;
    const auto* sections = reinterpret_cast<const ElfW(Shdr)*>(file.data() + eh->e_shoff);
    for (int i = 0; i < eh->e_shnum; ++i) {
        const ElfW(Shdr)& s = sections[i];
        if (s.sh_type != SHT_DYNSYM || s.sh_link >= eh->e_shnum) continue;
        const ElfW(Shdr)& strings = sections[s.sh_link];
        const char* text = file.data() + strings.sh_offset;
        const auto* syms = reinterpret_cast<const ElfW(Sym)*>(file.data() + s.sh_offset);
        for (size_t k = 0; k < s.sh_size / sizeof(ElfW(Sym)); ++k) {
            const std::string name(text + syms[k].st_name);
            if (syms[k].st_shndx == SHN_UNDEF && name.starts_with("_ZGV")) names.insert(name);
        }
    }
    return names;
}

// The library calls the C library's vector log10 and atan2 where the build chose them, and none of them
// where it chose the scalar path (other C libraries and processors, or MEVALO_SCALAR_MATH): the accuracy
// tests above and below then hold for the path that was built.
TEST(SpektChain, CallsTheMathsTheBuildChose) {
    std::vector<double> axis(FrqPointCnt);
    ASSERT_EQ(spekt::SyuHaSu(axis.data(), 1.0, 1.0, 100), 0); // loads the library
    const std::string path = LoadedSpektPath();
    ASSERT_FALSE(path.empty());
    const std::set<std::string> vector = {"_ZGVbN2v_log10", "_ZGVbN2vv_atan2", "_ZGVdN4v_log10",
                                          "_ZGVdN4vv_atan2"};
    const bool built = SPEKT_BUILT_VECTOR;
    EXPECT_EQ(VectorMathCalled(path), built ? vector : std::set<std::string>{}) << path;
    std::printf("%s calls %s log10 and atan2\n", path.c_str(), built ? "vector" : "scalar");
}

// Arguments out of range return an error word and write nothing.
TEST(SpektChain, ArgumentsOutOfRangeWriteNothing) {
    constexpr double kMark = 12345.0;
    std::vector<double> a(FrqRawCnt, kMark), b(FrqRawCnt, kMark), c(FrqPointCnt, kMark);
    std::vector<int16_t> raw(FrqRawCnt, 3);
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* what;
        std::function<int32_t()> call;
    };
    const std::vector<Case> cases = {
        {"BunRi n=1", [&] { return spekt::BunRi(a.data(), b.data(), raw.data(), 1, 0, 1); }},
        {"BunRi n=2060", [&] { return spekt::BunRi(a.data(), b.data(), raw.data(), 1, 0, 2060); }},
        {"BunRi amp=inf", [&] { return spekt::BunRi(a.data(), b.data(), raw.data(), inf, 0, 100); }},
        {"BunRi null", [&] { return spekt::BunRi(a.data(), nullptr, raw.data(), 1, 0, 100); }},
        {"EnZan n=0", [&] { return spekt::EnZan(a.data(), b.data(), c.data(), 0); }},
        {"EnZan n=65535", [&] { return spekt::EnZan(a.data(), b.data(), c.data(), 65535); }},
        {"ShinPuku s=0",
         [&] { return spekt::ShinPuku(c.data(), a.data(), a.data(), b.data(), b.data(), 0, 100); }},
        {"ShinPuku s=26",
         [&] { return spekt::ShinPuku(c.data(), a.data(), a.data(), b.data(), b.data(), 26, 100); }},
        {"ISou n=-5", [&] { return spekt::ISou(c.data(), a.data(), a.data(), b.data(), b.data(), 1, -5); }},
        {"SyuHaSu step=0", [&] { return spekt::SyuHaSu(c.data(), 0.0, 1.0, 100); }},
        {"SyuHaSu scale=NaN", [&] { return spekt::SyuHaSu(c.data(), 1.0, std::nan(""), 100); }},
    };
    for (const Case& k : cases) {
        EXPECT_LT(k.call(), 0) << k.what;
        for (const auto* v : {&a, &b, &c})
            EXPECT_TRUE(std::all_of(v->begin(), v->end(), [](double x) { return x == kMark; })) << k.what;
    }
}

TEST(SpektChain, RecordThatCannotBeAnalysedIsMarkedNotReady) {
    for (int n : {0, 1, 2060}) {
        Curves c;
        frqtest::Fill(c.rec, Make(Plant::Gain), 100);
        c.rec.Points = n;
        EXPECT_NE(FftCalc(c.rec, c.in, c.out, c.gain, c.phase, 1), 0) << n;
        EXPECT_EQ(c.rec.Valid, 0) << n;
    }
}

} // namespace
