// Condition words, the family K and M unpacking, slots, and the view arithmetic of the graph window.
#include "monitor/WavLogic.h"

#include <gtest/gtest.h>

#include <vector>

#include "comm/TeskRCodec.h"
#include "data/PrmGlb.h"

namespace {

struct Defs : ::testing::Test {
    void SetUp() override {
        for (auto& m : MeasItem) m.Offered = -1;
        WavChkMode = -1;
        WavTrgMin = WavTrgMax = 0;
    }
};

TEST(WavUnpack, TwoBytesMakeASignedWord) {
    EXPECT_EQ(btod(0xFF, 0xFF), -1);
    EXPECT_EQ(btod(0x00, 0x80), -32768);
    EXPECT_EQ(btod(0x34, 0x12), 4660);
}

TEST(WavUnpack, FamilyKFourteenBitPointsEndAtTheReadyCharacter) {
    WavGraphRec g;
    g.Word[WavWOption] = 2; // second signal into record 3
    g.Ch[1].RawData[2] = 77;
    std::vector<uint8_t> d = {0x3F, 0x7F, 0x40, 0x00, 0x00, 0x05, 0x7F, 0x7F, 130, 1, 2, 3};
    EXPECT_EQ(WaveUnpackK(d, g, g), 2);
    EXPECT_EQ(g.Ch[1].RawData[0], 8191);
    EXPECT_EQ(g.Ch[3].RawData[0], -8192);
    EXPECT_EQ(g.Ch[1].RawData[1], 5);
    EXPECT_EQ(g.Ch[3].RawData[1], -1);
    EXPECT_EQ(g.Ch[1].RawData[2], 77); // after the end: untouched
    // 130 inside a point is no end.
    d = {1, 130, 0, 0};
    EXPECT_EQ(WaveUnpackK(d, g, g), 1);
}

TEST(WavUnpack, FamilyMPairsWithTheTorqueDividedByFive) {
    WavGraphRec g;
    g.Word[WavWOption] = 1; // torque: divided by 5, to the nearest
    std::vector<uint8_t> pairs(4001);
    auto put = [&pairs](size_t at, int16_t v) {
        pairs[at] = static_cast<uint8_t>(v & 0xFF);
        pairs[at + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
    };
    put(0, -150);
    const int16_t raw[] = {25, 12, -23, 28, 35};
    const int16_t want[] = {5, 2, -5, 6, 7};
    for (size_t i = 0; i < 5; ++i) put(4 * i + 2, raw[i]);
    put(4 * 499, 321);
    ASSERT_TRUE(WaveUnpackM(pairs, g, g)); // a longer block holds the same pairs at its start
    EXPECT_EQ(g.Ch[1].RawData[0], -150);
    EXPECT_EQ(g.Ch[1].RawData[499], 321);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(g.Ch[2].RawData[i], want[i]) << i;
    EXPECT_FALSE(WaveUnpackM(std::vector<uint8_t>(1999), g, g));
}

TEST(WavUnpack, BitTraceKeepsTheMaskedBit) {
    int16_t s[500] = {};
    s[0] = 0x10;
    s[1] = 0x0F;
    s[2] = -1;
    WaveBitTrace(s, 0x10);
    EXPECT_EQ(s[0], 1);
    EXPECT_EQ(s[1], 0);
    EXPECT_EQ(s[2], 1);
}

TEST_F(Defs, ChannelsBeyondTheThirdSlotAreNeverFetched) {
    struct Row {
        std::vector<int> on;
        int16_t slot[6];
    };
    const Row rows[] = {
        {{1, 2, 3, 4, 5}, {0, 2, 3, 1, -1, -1}},
        {{4, 5}, {0, -1, -1, -1, 1, 2}},
    };
    for (const Row& r : rows) {
        WavGraphRec c;
        for (int k = 1; k < 6; ++k) c.Word[k] = 0;
        for (int k : r.on) c.Word[k] = -1;
        c.Word[WavWSlot + 4] = 3; // left from an earlier run
        WavClearSlots(c);
        uint8_t codes[4];
        teskr::PackGrpCh(c, codes);
        for (int ch = 0; ch < 6; ++ch) EXPECT_EQ(c.Word[WavWSlot + ch], r.slot[ch]) << ch;
        for (int ch = 1; ch < 6; ++ch)
            EXPECT_EQ(WavChannelUnslotted(c, ch), c.Word[ch] != 0 && r.slot[ch] < 0) << ch;
    }
}

TEST_F(Defs, ConditionWordsFromTheControls) {
    WavControls c;
    c.chkItem[4] = c.chkItem[2] = true;
    MeasItem[2].Offered = 0; // a box of a channel not offered stays off
    c.trgMode = 1;
    c.slope = 1;
    c.position = 3;
    c.sldMin = 1;
    c.sldMax = 20;
    c.sldValue = 18;
    c.levelText = "40000";
    WavCondRec w;
    MakeChCond(w, c);
    MakeTrigCond(w, c);
    EXPECT_EQ(w.Word[0], -1);
    EXPECT_EQ(w.Word[2], 0);
    EXPECT_EQ(w.Word[4], -1);
    EXPECT_EQ(w.Word[WavWSmp], 3);
    EXPECT_EQ(w.Word[WavWTrigLevel], 32767);
    EXPECT_EQ(c.levelText, " 32767");
    // The series' limits come first.
    WavTrgMin = -3000;
    WavTrgMax = 3000;
    c.levelText = "-5000";
    MakeTrigCond(w, c);
    EXPECT_EQ(w.Word[WavWTrigLevel], -3000);
    EXPECT_EQ(c.levelText, "-3000");

    // Option mode: channel 0 and one of 3, 1, 2.
    WavChkMode = 0;
    c.optItem = 2;
    MakeChCond(w, c);
    EXPECT_EQ(w.Word[2], -1);
    EXPECT_EQ(w.Word[3], 0);
    EXPECT_EQ(w.Word[WavWOption], 2);

    WavChkMode = -1;
    WaveDefCh(w, c);
    EXPECT_TRUE(c.chkItem[1] && c.chkItem[2] && c.chkItem[3]);
    EXPECT_FALSE(c.chkItem[4]);
    EXPECT_EQ(w.Word[WavWSlot + 3], 1);
    EXPECT_EQ(w.Word[WavWSlot + 1], 2);
    EXPECT_EQ(w.Word[WavWSlot + 2], 3);
}

TEST(WavView, ZoomStepsSliderAndCursorToTrigger) {
    const float in[] = {1, 2, 4, 10, 20, 3};
    const float up[] = {2, 4, 10, 20, 20, 4};
    const float down[] = {1, 1, 2, 4, 10, 4};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(WavZoomIn(in[i]), up[i]);
        EXPECT_EQ(WavZoomOut(in[i]), down[i]);
    }
    EXPECT_EQ(WavZoomValid(0), 1);
    EXPECT_EQ(WavSliderLarge(4), 40);
    EXPECT_EQ(WavSliderSmall(4), 10);
    EXPECT_EQ(WavXOff(1, 500, 1000), 0);
    EXPECT_EQ(WavXOff(4, 1000, 1000), 375);
    EXPECT_EQ(WavXOff(4, 500, 1000), 187);
    const int trig[] = {0, 62, 125, 250, 374, 437};
    for (int code = 0; code < 6; ++code) EXPECT_EQ(WavCsrToTrig(code), trig[code]);
    EXPECT_EQ(WavSampleAt(250, 1, 0), 250);
    EXPECT_EQ(WavSampleAt(100, 4, 100), 125);
    EXPECT_EQ(WavSampleAt(-5, 1, 0), 0);
}

TEST(WavView, OffsetBarKeepsTheOffsetAcrossRanges) {
    WavChRec r;
    const int32_t tbl[] = {40000, 20000, 10000, 5000, 2000};
    std::copy(std::begin(tbl), std::end(tbl), r.RangeTbl);
    r.RangeCnt = 4;
    r.RangeIdx = 2; // 10000: a bar step is 2000
    WavBar b = WavBarSetup(r, 3, true, 3); // 6000 at 1000 a step
    EXPECT_EQ(b.value, 6);
    EXPECT_EQ(b.max, 56);
    EXPECT_EQ(b.min, -56);
    b = WavBarSetup(r, 99, false, 6); // clamped to the last entry; the value stays
    EXPECT_EQ(r.RangeIdx, 4);
    EXPECT_EQ(b.value, 6);
    EXPECT_EQ(b.max, 140);
}

TEST(WavView, SamplingAndReadoutTexts) {
    EXPECT_EQ(WavCycleText(2, 0.00025), "Cycle of 0.50ms");
    EXPECT_EQ(WavTimeText(2, 0.00025), "Measuring time 250ms");
    EXPECT_DOUBLE_EQ(WavCsrTime(437, 1, 0.0005), 218.5);
}

} // namespace
