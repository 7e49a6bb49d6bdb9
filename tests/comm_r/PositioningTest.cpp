// Positioning steps and parameters against the family R model: single requests, pages, the execution
// right and the EEPROM write.
#include "FamREnv.h"

#include <vector>

using namespace famr;
using ampsim::Fault;
using ampsim::Phase;

namespace {

class Positioning : public FamR {
  protected:
    void SetUp() override {
        FamR::SetUp();
        const auto o = model->options();
        steps.assign(PopStepTblCnt, PopStepRec{});
        prm16.assign(PopPrmCnt, PopPrmRec{});
        prm32.assign(PopPrmCnt, PopPrmRec{});
        nSteps = o.popSteps;
        n16 = o.pop16;
        n32 = o.pop32;
        Pop32Cnt[3] = static_cast<int16_t>(n32);
    }
    static int LastPage(int count) { return (count - 1) / 8; }

    std::vector<PopStepRec> steps;
    std::vector<PopPrmRec> prm16, prm32;
    int nSteps = 0, n16 = 0, n32 = 0;
};

bool Same(const PopStepRec& s, const ampsim::ModelR::Step& m) {
    return !s.PosEmpty && s.Position == m.pos && s.Vel == m.vel && s.Acc == m.acc && s.Dec == m.dec &&
           s.Mod == m.mode && s.Blk == m.block;
}

} // namespace

TEST_F(Positioning, PageReceivesFillEveryTableWithCountsNotMultiplesOfEight) {
    ASSERT_EQ(PopStepZyuShin(0, static_cast<int16_t>(LastPage(nSteps)), steps, "Steps page"), -1);
    ASSERT_EQ(PopPrm16ZyuShin(0, static_cast<int16_t>(LastPage(n16)), prm16, "P16 page"), -1);
    ASSERT_EQ(PopPrm32ZyuShin(0, static_cast<int16_t>(LastPage(n32)), prm32, "P32 page"), -1);
    for (int n = 0; n < nSteps; ++n)
        EXPECT_TRUE(Same(steps[static_cast<size_t>(n)], model->step(n))) << n;
    for (int n = 0; n < n16; ++n) {
        const auto p = model->pop16(n);
        const PopPrmRec& r = prm16[static_cast<size_t>(n)];
        EXPECT_EQ(r.Value, p.ram);
        EXPECT_EQ(r.Min, p.min);
        EXPECT_EQ(r.Max, p.max);
        EXPECT_EQ(r.Attr, p.attr);
    }
    // The 32-bit attribute is the two bytes after the maximum, never the next entry's value.
    for (int n = 0; n < n32; ++n) {
        const auto p = model->pop32(n);
        const PopPrmRec& r = prm32[static_cast<size_t>(n)];
        EXPECT_EQ(r.Value, p.ram) << n;
        EXPECT_EQ(r.Min, p.min) << n;
        EXPECT_EQ(r.Max, p.max) << n;
        EXPECT_EQ(r.Attr, p.attr) << n;
    }
    EXPECT_EQ(stat[0], "Steps page0");
    EXPECT_EQ(Of(14)[0].mode, 2);
    EXPECT_TRUE(Rights().empty());

    // A table smaller than the page is filled only as far as it goes.
    std::vector<PopPrmRec> small(3);
    ASSERT_EQ(PopPrm16ZyuShin(0, 0, small, "x"), -1);
    EXPECT_EQ(small[2].Value, model->pop16(2).ram);
}

TEST_F(Positioning, PageSendsPackImagesAndHoldTheRightOnce) {
    for (int n = 0; n < nSteps; ++n) {
        PopStepRec& s = steps[static_cast<size_t>(n)];
        s = PopStepRec{int64_t{-7} * n * 1000000000, false,
                       int16_t(15 - n % 16),         int16_t(n % 4),
                       int16_t(3 - n % 4),           int16_t(127 - n),
                       int16_t(1 - n % 2),           "comment"};
    }
    steps[9] = PopStepRec{-1, false, 15, 3, 3, 127, 1, ""};
    ASSERT_EQ(TESKR_SendPopStep(0, static_cast<int16_t>(LastPage(nSteps)), steps), -1);
    EXPECT_EQ(Rights(), (std::vector<int>{1, -1}));
    for (int n = 0; n < nSteps; ++n) {
        PopStepRec got;
        const auto m = model->step(n);
        got.Position = m.pos, got.PosEmpty = false;
        EXPECT_TRUE(Same(steps[static_cast<size_t>(n)], m)) << n;
    }
    const auto page1 = Of(14)[1];
    ASSERT_EQ(page1.data.size(), 89u);
    EXPECT_EQ(page1.data[0], 1);
    const Bytes image(page1.data.begin() + 1 + 11, page1.data.begin() + 1 + 22);
    EXPECT_EQ(image, (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00}));

    for (int n = 0; n < n16; ++n)
        prm16[static_cast<size_t>(n)].Value = 4000 - n;
    for (int n = 0; n < PopPrmCnt; ++n)
        prm32[static_cast<size_t>(n)].Value = -5000000 + n;
    sim.clearLog();
    ASSERT_EQ(PopPrm32SouShin(0, static_cast<int16_t>(LastPage(n32)), prm32), -1);
    EXPECT_EQ(Rights(), (std::vector<int>{1, -1}));
    for (int n = 0; n < n32; ++n)
        EXPECT_EQ(model->pop32(n).ram, prm32[static_cast<size_t>(n)].Value);
    // Past the entry count the last page carries zeros.
    const auto last = Of(14).back();
    for (size_t i = 1 + 4 * static_cast<size_t>(n32 % 8); i < 33; ++i)
        EXPECT_EQ(last.data[i], 0) << i;

    // The 16-bit page send leaves the right to its caller.
    sim.clearLog();
    ASSERT_EQ(GetExecRight(-1), -1);
    ASSERT_EQ(PopPrm16SouShin(0, static_cast<int16_t>(LastPage(n16)), prm16), -1);
    EXPECT_EQ(Rights(), (std::vector<int>{1}));
    EXPECT_TRUE(model->rightHeld());
    for (int n = 0; n < n16; ++n)
        EXPECT_EQ(model->pop16(n).ram, prm16[static_cast<size_t>(n)].Value);

    // The EEPROM keeps it through a power cycle.
    ASSERT_EQ(PopEepKaki(), -1);
    EXPECT_FALSE(model->rightHeld());
    model->powerCycle();
    EXPECT_EQ(model->pop16(3).ram, 3997);
    EXPECT_TRUE(Same(steps[9], model->step(9)));
}

TEST_F(Positioning, MixedSendTakesAndReleasesTheRightOnce) {
    for (int n = 0; n < n16; ++n)
        prm16[static_cast<size_t>(n)].Value = 100 + n;
    ASSERT_EQ(PopPrm16SouShinAll(5, 20, prm16), -1);
    std::vector<std::pair<int, int>> seq;
    for (const auto& r : sim.requests())
        seq.emplace_back(r.cmd, r.mode);
    std::vector<std::pair<int, int>> want{{1, 7},  {14, 5}, {14, 5}, {14, 5}, {14, 7}, {14, 5},
                                          {14, 5}, {14, 5}, {14, 5}, {14, 5}, {1, 7}};
    EXPECT_EQ(seq, want);
    EXPECT_EQ(Rights(), (std::vector<int>{1, -1}));
    EXPECT_EQ(sim.requests()[1].data, (Bytes{5, 105, 0}));
    for (int n = 5; n <= 20; ++n)
        EXPECT_EQ(model->pop16(n).ram, 100 + n);
    EXPECT_FALSE(model->rightHeld());

    // A failure part way still releases once; the result is that of the failed call.
    sim.clearLog();
    prm16[7].Value = 9999; // beyond the amplifier's maximum: refused
    EXPECT_EQ(PopPrm16SouShinAll(5, 20, prm16), 0);
    EXPECT_EQ(Rights(), (std::vector<int>{1, -1}));
    EXPECT_EQ(Of(14).size(), 3u);

    // Ending on a page.
    sim.clearLog();
    prm16[7].Value = 7;
    ASSERT_EQ(PopPrm16SouShinAll(8, 15, prm16), -1);
    EXPECT_EQ(Rights(), (std::vector<int>{1, -1}));
    EXPECT_FALSE(model->rightHeld());

    sim.clearLog();
    EXPECT_EQ(PopPrm16SouShinAll(9, 8, prm16), 0); // no call made
    EXPECT_EQ(Rights(), (std::vector<int>{1, -1}));
}

TEST_F(Positioning, SingleReadsAndWrites) {
    Variant res;
    PopStepRec s;
    ASSERT_EQ(PopStepYomi(res, s, 7), -1);
    EXPECT_EQ(res, Variant(true));
    EXPECT_TRUE(Same(s, model->step(7)));
    EXPECT_EQ(Raw().back(), Block(14, 0, {7, 0}));

    const PopStepRec w{-1, false, 15, 3, 3, 127, 1, ""};
    ASSERT_EQ(PopStepKaki(res, 3, w), -1);
    EXPECT_TRUE(Same(w, model->step(3)));
    EXPECT_EQ(Of(14).back().data,
              (Bytes{3, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0}));
    EXPECT_EQ(Rights(), (std::vector<int>{1, -1}));

    int32_t v = 0;
    ASSERT_EQ(PopPrm16Kaki(res, 4, -300), -1);
    ASSERT_EQ(PopPrm16Yomi(res, v, 4), -1);
    EXPECT_EQ(v, -300);
    ASSERT_EQ(PopPrm32Kaki(res, 12, -99999999), -1);
    ASSERT_EQ(PopPrm32Yomi(res, v, 12), -1);
    EXPECT_EQ(v, -99999999);
    EXPECT_EQ(Of(14).back().data, Bytes{12});

    // Refusals: a value that does not fit 16 bits, a number past the byte, a bad status, the right.
    sim.clearLog();
    EXPECT_EQ(PopPrm16Kaki(res, 4, 40000), 0);
    EXPECT_EQ(res, Variant(false));
    EXPECT_EQ(PopStepYomi(res, s, 256), 0);
    EXPECT_TRUE(sim.requests().empty());
    EXPECT_EQ(PopPrm16Yomi(res, v, 100), 0); // no such parameter: status 0x88, driver-error window
    EXPECT_EQ(drvErr.back(), "Communication cmd:14 mode:4");
    model->setFrontPanel(true);
    sim.clearLog();
    EXPECT_EQ(PopPrm32Kaki(res, 1, 5), 0);
    EXPECT_EQ(PopEepKaki(), 0);
    EXPECT_EQ(TESKR_SendPopStep(0, 1, steps), 0);
    EXPECT_EQ(PopPrm16SouShinAll(0, 20, prm16), 0);
    EXPECT_TRUE(Of(14).empty());

    // Short and silent replies leave the outputs alone.
    model->setFrontPanel(false);
    v = 42;
    model->shortenNextReply(3);
    EXPECT_EQ(PopPrm32Yomi(res, v, 1), 0);
    EXPECT_EQ(v, 42);
    sim.inject(Fault::silence(Phase::ReplyEnq));
    EXPECT_EQ(PopPrm16Yomi(res, v, 1), 0);
    EXPECT_EQ(v, 42);
}

TEST_F(Positioning, AFailedPageLeavesLaterPagesUntouched) {
    sim.setHandler([this, k = std::make_shared<int>(0)](const ampsim::Request& rq) -> std::optional<Bytes> {
        auto out = model->answer(rq);
        if (rq.cmd == 14 && ++*k == 2) out->back() = 0x80;
        return out;
    });
    steps[20].Comment = "untouched";
    EXPECT_EQ(PopStepZyuShin(0, 5, steps, "s"), 0);
    EXPECT_TRUE(Same(steps[7], model->step(7)));
    EXPECT_TRUE(steps[8].PosEmpty);
    EXPECT_EQ(steps[20].Comment, "untouched");
    EXPECT_EQ(drvErr.back(), "Communication cmd:14 mode:2");

    model->shortenNextReply(100);
    sim.setHandler(model->handler());
    EXPECT_EQ(PopPrm32ZyuShin(0, 0, prm32, "p"), 0);
    EXPECT_EQ(prm32[0].Value, 0);
}
