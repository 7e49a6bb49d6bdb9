// The decisions of the window and the measurement that need no window: smoothing, cursor, peak and dip
// search, cut-off, the range of the conditions and the bytes on the wire.
#include "FrqEnv.h"

#include "frequency/FrqMeasure.h"

namespace {

using ampsim::Plant;

struct Graph {
    FrqRec rec;
    FftWorkRec in, out;
    FrqGraphRec gain, phase;
};

std::unique_ptr<Graph> Measured(Plant p, int n = 2047) {
    auto g = std::make_unique<Graph>();
    frqtest::Fill(g->rec, p, n);
    EXPECT_EQ(FftCalc(g->rec, g->in, g->out, g->gain, g->phase, 1), 0);
    return g;
}

TEST(FrqSearch, SmoothingIsNormalisedIntoOneToTwentyFive) {
    const struct {
        const char* typed;
        const char* shown;
        int value;
    } rows[] = {{"0", "1", 1},    {"abc", "1", 1}, {"-3", "1", 1},   {"25", "25", 25},
                {"26", "25", 25}, {"4", "4", 4},   {"7.5", "7.5", 8}};
    for (const auto& r : rows) {
        const Smoothing s = NormaliseSmoothing(r.typed);
        EXPECT_EQ(s.text, r.shown) << r.typed;
        EXPECT_EQ(s.value, r.value) << r.typed;
    }
    EXPECT_STREQ(SmoothingList[SmoothingDefaultIndex], "4");
}

TEST(FrqSearch, CursorValueAndPointAreTiedLogarithmically) {
    EXPECT_EQ(CsrPointOfValue(3000), 1000);
    EXPECT_EQ(CsrValueOfPoint(1000), 3000);
    EXPECT_EQ(CsrValueOfPoint(1), 0);
    EXPECT_EQ(CsrValueOfPoint(0), 0); // never log10(0)
    for (int p : {1, 2, 10, 99, 400})
        EXPECT_EQ(CsrPointOfValue(CsrValueOfPoint(p)), p);
}

TEST(FrqSearch, CursorStaysBelowTheCeilingAndInsideTheDrawnPoints) {
    const auto g = Measured(Plant{}); // 1 / (2047 x 0.1 ms) = 4.885 Hz a point
    EXPECT_EQ(g->gain.IdxLast, 512);
    EXPECT_EQ(CsrClamp(g->gain, 600, 1e9), 512);
    // 100 Hz is reached at point 21 (102.6 Hz): the cursor stops one before.
    EXPECT_EQ(CsrClamp(g->gain, 300, 100.0), 20);
    EXPECT_EQ(CsrClamp(g->gain, 0, 1e9), 1);
    EXPECT_EQ(CsrClamp(g->gain, 5, 1.0), 1); // a ceiling below the first point keeps the first
}

TEST(FrqSearch, PeakAndDipSearchFindTheResonanceExactly) {
    Plant p;
    p.kind = Plant::Resonance;
    p.r = 0.97;
    p.theta = 0.3; // peak near bin 2047 x 0.3 / 2 pi = 98
    const auto g = Measured(p);
    int best = 1;
    for (int k = 1; k <= g->gain.IdxLast; ++k)
        if (frqtest::ExactGain(p, k, 2047) > frqtest::ExactGain(p, best, 2047)) best = k;
    EXPECT_EQ(PeakAll(g->gain, true), best);
    EXPECT_EQ(PeakLocal(g->gain, best - 5, true), best);
    EXPECT_EQ(PeakLocal(g->gain, best + 4, true), best);
    double lowest = 0;
    for (int k = 1; k <= g->gain.IdxLast; ++k)
        lowest = std::min(lowest, frqtest::ExactGain(p, k, 2047));
    EXPECT_NEAR(g->gain.GrVal[PeakAll(g->gain, false)], lowest, 0.05);
}

TEST(FrqSearch, FlatCurveKeepsTheFirstPointAndDoesNotMoveTheCursor) {
    FrqGraphRec flat;
    flat.IdxLast = 100;
    for (int k = 0; k < FrqPointCnt; ++k) {
        flat.LogFrq[k] = k;
        flat.GrVal[k] = -2.0;
    }
    EXPECT_EQ(PeakAll(flat, true), 1);
    EXPECT_EQ(PeakAll(flat, false), 1);
    EXPECT_EQ(PeakLocal(flat, 40, true), 40);
    EXPECT_EQ(CutOffIdx(flat), 0); // never below -3 dB: no point
    flat.IdxLast = 0;
    EXPECT_EQ(PeakAll(flat, true), 0); // an empty range finds nothing
}

TEST(FrqSearch, CutOffIsTheFirstPointBelowMinus3dB) {
    Plant p; // first-order lag, a = 0.9
    const auto g = Measured(p);
    int expected = 0;
    for (int k = 1; k <= 1023 && !expected; ++k)
        if (frqtest::ExactGain(p, k, 2047) < -3.0) expected = k;
    ASSERT_GT(expected, 1);
    EXPECT_EQ(CutOffIdx(g->gain), expected);
}

TEST(FrqMeasure, ConditionsInRange) {
    const struct {
        double amp, off, smp;
        bool ok;
    } rows[] = {{2000, 3000, 0, false}, {2000, 2999, 0, true}, {2000, -3000, 0, false},
                {2000, -2999, 0, true}, {-100, 0, 0, false},   {0, 0, 0, false},
                {100, 0, 63, true},     {100, 0, 64, false},   {100, 0, -1, false}};
    for (const auto& r : rows)
        EXPECT_EQ(FrqCondInRange(r.amp, r.off, r.smp), r.ok) << r.amp << " " << r.off << " " << r.smp;
}

TEST(FrqMeasure, StartRequestBytes) {
    using B = std::array<uint8_t, 7>;
    EXPECT_EQ(FrqStartRequest(4, false, 500, -100, 2048), (B{0x04, 0xF4, 0x01, 0x9C, 0xFF, 0x00, 0x08}));
    EXPECT_EQ(FrqStartRequest(4, true, 500, -100, 2048)[0], 0x44);
}

TEST(FrqMeasure, ReplyWordsNeverTakeTheStatusByteOrPassTheRecord) {
    EXPECT_EQ(FrqReplyWords(2), 0);
    EXPECT_EQ(FrqReplyWords(5), 1); // an odd length leaves the status byte alone
    EXPECT_EQ(FrqReplyWords(130), 64);
    FrqRec rec;
    const std::vector<uint8_t> reply{7, 0x34, 0x12, 0xFF, 0xFF, 0x01, 0x00, 0};
    EXPECT_EQ(FrqStoreWords(rec, 0, 10, reply), 3);
    EXPECT_EQ(rec.Raw[0], 0x1234);
    EXPECT_EQ(rec.Raw[1], -1);
    rec.Raw[FrqRawCnt - 1] = 99;
    EXPECT_EQ(FrqStoreWords(rec, FrqRawCnt - 1, 5000, reply), FrqRawCnt);
    EXPECT_EQ(rec.Raw[FrqRawCnt - 1], 0x1234);
}

} // namespace
