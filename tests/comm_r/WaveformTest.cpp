// Waveform measurement against the family R model: condition, channel selection, state polls and the
// block transfer; and the pure packing of the condition and the channel selection.
#include "FamREnv.h"

#include "comm/ComCore.h"
#include "comm/TeskRCodec.h"

#include <array>

using namespace famr;
using ampsim::Fault;
using ampsim::Phase;

namespace {

// Built out of line: inlined into the long test bodies, GCC 12 takes the faults' default junk bytes
// for uninitialised.
[[gnu::noinline]] Fault BadStatus(uint8_t status, int times = 1) {
    return Fault::badStatus(status, times);
}
[[gnu::noinline]] Fault Silence(Phase phase) {
    return Fault::silence(phase);
}

class Waveform : public FamR {
  protected:
    void SetUp() override {
        FamR::SetUp();
        cond = WavGraphRec{};
    }
    WavGraphRec cond;
};

void Channels(WavGraphRec& c, std::initializer_list<int> on) {
    for (int k = 0; k < 6; ++k)
        c.Word[k] = 0;
    for (int k : on)
        c.Word[k] = -1;
}

} // namespace

TEST(WaveformPacking, ChannelSelectionFillsThreeSlotsInItsOrder) {
    WavGraphRec c;
    uint8_t out[4];
    Channels(c, {1, 2, 3, 4, 5});
    teskr::PackGrpCh(c, out);
    EXPECT_EQ(Bytes(out, out + 4), (Bytes{0, 1, 2, 3}));
    EXPECT_EQ(c.Word[9], 1);
    EXPECT_EQ(c.Word[7], 2);
    EXPECT_EQ(c.Word[8], 3);
    EXPECT_EQ(c.Word[10], 0);
    EXPECT_EQ(c.Word[11], 0);

    c = WavGraphRec{};
    Channels(c, {4, 5});
    teskr::PackGrpCh(c, out);
    EXPECT_EQ(Bytes(out, out + 4), (Bytes{0, 4, 5, 0}));
    EXPECT_EQ(c.Word[10], 1);
    EXPECT_EQ(c.Word[11], 2);
}

TEST(WaveformPacking, ConditionIsPackedClampedOrRefused) {
    WavGraphRec c;
    c.Word[12] = 1;     // option: level times 5
    c.Word[13] = 300;   // sampling
    c.Word[14] = -1;    // trigger on
    c.Word[15] = -7000; // -35000 does not fit: clamped
    c.Word[16] = 15;
    c.Word[17] = 1;
    uint8_t out[5];
    std::string why;
    ASSERT_TRUE(teskr::PackWavCond(c, out, &why));
    EXPECT_EQ(Bytes(out, out + 5), (Bytes{0xFB, 0x00, 0x80, 0x2C, 0x01}));

    c.Word[16] = 16;
    EXPECT_FALSE(teskr::PackWavCond(c, out, &why));
    EXPECT_NE(why.find("position"), std::string::npos);
    c.Word[16] = 0;
    c.Word[12] = 3;
    EXPECT_FALSE(teskr::PackWavCond(c, out, &why));
}

TEST(WaveformPacking, StateOfTheStatusByte) {
    EXPECT_EQ(teskr::GrpStsOf(0x04), 1);
    EXPECT_EQ(teskr::GrpStsOf(0x00), 1);
    EXPECT_EQ(teskr::GrpStsOf(0x05), 0);
    EXPECT_EQ(teskr::GrpStsOf(0x85), 0);
    EXPECT_EQ(teskr::GrpStsOf(0x08), -1);
}

TEST_F(Waveform, AWholeMeasurementGivesTheModelsSignals) {
    Channels(cond, {0, 1, 2, 3});
    cond.Word[13] = 2;
    cond.Word[14] = 1;
    cond.Word[15] = 100;
    cond.Word[16] = 4;
    ASSERT_EQ(GetExecRight(-1), -1);
    int16_t st = -1;
    ASSERT_EQ(SetGrpCh(cond, st), -1);
    EXPECT_EQ(st, 0);
    EXPECT_EQ(Of(10).back().data, (Bytes{0, 1, 2, 3}));
    ASSERT_EQ(SetSokuTeiJyouKen(cond, st), -1);
    EXPECT_EQ(Raw().back(), Block(10, 2, {0x41, 100, 0, 2, 0}));

    int polls = 0, s = 0;
    while ((s = GrpSts(st)) == 0 && polls < 10)
        ++polls;
    EXPECT_EQ(s, 1);
    EXPECT_EQ(polls, model->options().captureBusyPolls);
    EXPECT_EQ(Raw().back(), (Bytes{0x02, 0x00, 0x6A, 0x00, 0x00, 0x94}));

    // Slot 0 is the commanded speed, slots 1..3 the codes selected above.
    const int codes[4] = {0, 1, 2, 3};
    for (int16_t slot = 0; slot < 4; ++slot) {
        std::array<int16_t, 512> samples;
        samples.fill(0x7777);
        ASSERT_EQ(TESKR_trans_graph(std::span<int16_t>(samples.data(), 501), slot), -1) << slot;
        for (int i = 0; i < 500; ++i)
            ASSERT_EQ(samples[static_cast<size_t>(i)], model->sample(codes[slot], i)) << i;
        EXPECT_EQ(samples[500], 0x7777);
    }
    EXPECT_EQ(Of(10).back().data, (Bytes{7, 3}));
    EXPECT_EQ(stat.back(), "In-receiving the wave form graphic, block.:7");
    EXPECT_EQ(pbar.back(), (std::pair<long, long>{7, 7}));
    EXPECT_TRUE(asker.Asked().empty());
}

TEST_F(Waveform, BlockRetriesResendTheSameRequestAndAFailedBlockIsReported) {
    Channels(cond, {0, 3});
    ASSERT_EQ(GetExecRight(-1), -1);
    int16_t st = 0;
    ASSERT_EQ(SetSokuTeiJyouKen(cond, st), -1);
    while (GrpSts(st) == 0) {
    }
    sim.clearLog();
    sim.inject(BadStatus(0x80, 2));
    std::array<int16_t, 500> samples{};
    ASSERT_EQ(TESKR_trans_graph(samples, 1), -1);
    const auto raw = Raw();
    ASSERT_EQ(raw.size(), 10u);
    EXPECT_EQ(raw[0], raw[1]);
    EXPECT_EQ(raw[0], raw[2]);
    EXPECT_EQ(raw[0], Block(10, 6, {0, 1}));

    sim.clearLog();
    sim.inject(BadStatus(0x80, 11));
    EXPECT_EQ(TESKR_trans_graph(samples, 1), 0);
    EXPECT_EQ(sim.requests().size(), 11u);
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].text, "Receipt of measurement result failed.");
    EXPECT_EQ(asker.Asked()[0].title, "Communication error");
    EXPECT_TRUE(drvErr.empty());

    // A short block fails too, without decoding the rest of the buffer.
    samples.fill(5);
    model->shortenNextReply(60);
    EXPECT_EQ(TESKR_trans_graph(samples, 1), 0);
    EXPECT_EQ(samples[0], 5);
    EXPECT_EQ(TESKR_trans_graph(samples, 4), 0);
}

TEST_F(Waveform, FailuresReleaseTheRightOrReportTheState) {
    int16_t st = 0;
    ASSERT_EQ(GetExecRight(-1), -1);
    cond.Word[16] = 20; // cannot be packed: refused, and the right goes back
    EXPECT_EQ(SetSokuTeiJyouKen(cond, st), 0);
    EXPECT_EQ(Rights(), (std::vector<int>{1, -1}));
    EXPECT_TRUE(Of(10).empty());

    cond.Word[16] = 0;
    sim.clearLog();
    ASSERT_EQ(GetExecRight(-1), -1);
    sim.inject(Silence(Phase::ReplyEnq));
    EXPECT_EQ(SetSokuTeiJyouKen(cond, st), 0);
    EXPECT_EQ(Rights(), (std::vector<int>{1, -1}));

    // Mask 0: a status with bits is a reply; the state poll judges it.
    sim.inject(BadStatus(0x05));
    EXPECT_EQ(GrpSts(st), 0);
    EXPECT_EQ(st, 0x05);
    sim.inject(BadStatus(0x08));
    EXPECT_EQ(GrpSts(st), -1);
    sim.inject(Silence(Phase::ReplyEnq));
    EXPECT_EQ(GrpSts(st), -1);

    // An amplifier without channel selection answers 160; the caller sees it in st.
    ampsim::ModelR::Options o;
    o.channelSelect = false;
    ampsim::ModelR plain(o);
    sim.setHandler(plain.handler());
    Channels(cond, {1});
    EXPECT_EQ(SetGrpCh(cond, st), -1);
    EXPECT_EQ(st, 0xA0);
    sim.setHandler(model->handler());
}
