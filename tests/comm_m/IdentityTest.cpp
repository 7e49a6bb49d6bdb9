// Link check, CPU versions and motor model, I/O words, monitor values and alarms of a family M amplifier,
// reached through the series dispatcher.
#include "FamMEnv.h"

#include "comm/RGlb.h"
#include "comm/TeskKGlb.h"

using namespace famm;
using ampsim::Fault;
using ampsim::Phase;

namespace {

class Identity : public FamM {};

// Every family M series code reaches the same procedures.
class Routing : public FamM, public ::testing::WithParamInterface<int> {};

ModelM::Monitor Frozen() {
    ModelM::Monitor m;
    m.moving = false;
    m.speed = -1;
    m.torque = -202;
    m.counter = -123456789;
    m.in = 0x80F1;
    m.out = 0x0102;
    return m;
}

} // namespace

TEST_P(Routing, DispatcherReachesFamilyM) {
    KisyuCode = static_cast<int16_t>(GetParam());
    model->setMonitor(Frozen());
    model->raiseAlarm(0x45);

    CpuVerRec ver[CpuVerCnt];
    ver[5].Present = -1;
    EXPECT_TRUE(GetVerInfo(ver).ToBool());
    EXPECT_EQ(ver[5].Present, 0);
    int32_t in = 0, out = 0;
    int16_t c = 7, a = 7, w = 7;
    EXPECT_EQ(ReadIoMon(in, out, c, a, w), -1);
    EXPECT_EQ(in, 0x80F1);
    EXPECT_EQ(out, 0x0102);
    EXPECT_EQ(c, 7); // family R's extra outputs are left alone
    AlmNo = 0;
    EXPECT_EQ(ReadErrMon(), -1);
    EXPECT_EQ(AlmNo, 0x45);
    EXPECT_EQ(ReadAlmHist(), -1);
    EXPECT_EQ(AlmHist[0], 0x45);
    const size_t before = sim.requests().size();
    EXPECT_EQ(ReadAlmExtA(), 0);
    EXPECT_EQ(ReadAlmExtB(), 0);
    EXPECT_EQ(sim.requests().size(), before);

    const std::vector<std::pair<int, int>> seen = [&] {
        std::vector<std::pair<int, int>> v;
        for (const auto& r : sim.requests())
            v.emplace_back(r.cmd, r.mode);
        return v;
    }();
    const std::vector<std::pair<int, int>> want{{0, 1}, {0, 2}, {0, 3}, {0, 6}, {2, 7}, {2, 8}, {9, 0}, {9, 2}};
    EXPECT_EQ(seen, want);
}

INSTANTIATE_TEST_SUITE_P(SeriesCodes, Routing, ::testing::Range(20, 25));

TEST_F(Identity, PingAndVersionsDecodeFromTheWire) {
    EXPECT_EQ(FamilyM().PingM(), -1);
    for (CpuVerRec& v : CpuVer)
        v = CpuVerRec{};
    MotorMei = MotorMeiRec{};
    EXPECT_EQ(FamilyM().VerJuShinM(CpuVer), -1);
    EXPECT_TRUE(RetVar.ToBool());

    EXPECT_EQ(CpuVer[0].Present, -1);
    EXPECT_EQ(CpuVer[0].Major, 2); // 0x25 0x37
    EXPECT_EQ(CpuVer[0].Minor, 37);
    EXPECT_EQ(CpuVer[1].Major, 1); // 0x13 0x02
    EXPECT_EQ(CpuVer[1].Minor, 2);
    EXPECT_EQ(CpuVer[2].Major, 4); // 0x4F 0x99: the low nibble of byte 0 is ignored
    EXPECT_EQ(CpuVer[2].Minor, 99);
    EXPECT_EQ(CpuVer[3].Present, 0);
    EXPECT_EQ(MotorMei.Present, -1);
    EXPECT_EQ(MotorMei.Name, "SM-M2001A"); // "SM-M200_1A*_" without its fillers

    const auto raw = Raw();
    ASSERT_EQ(raw.size(), 5u);
    EXPECT_EQ(raw[0], (Bytes{0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(raw[1], Block(0, 1, {}));
    EXPECT_EQ(raw[3], Block(0, 3, {}));
    EXPECT_EQ(raw[4], (Bytes{0x00, 0x00, 0x60, 0xA0}));
}

TEST_F(Identity, VersionFailuresLeaveTheirEntriesInvalid) {
    // CPU 1 answers not at all, CPU 2 short; CPU 3 still counts.
    sim.inject(Silence(Phase::ReplyEnq));
    model->shortenNextReply(1, 0, 2);
    CpuVerRec ver[CpuVerCnt];
    EXPECT_EQ(VerJuShinM(ver), -1);
    EXPECT_EQ(ver[0].Present, 0);
    EXPECT_EQ(ver[1].Present, 0);
    EXPECT_EQ(ver[2].Present, -1);

    // Nothing answers: False, and the motor model's failure lands in RetVar.
    sim.inject(Silence(Phase::Eot, ampsim::kAlways));
    EXPECT_EQ(VerJuShinM(ver), 0);
    EXPECT_FALSE(RetVar.ToBool());
    EXPECT_EQ(ver[2].Present, 0);
    EXPECT_TRUE(drvErr.empty()); // these reads never show the driver-error window
}

TEST_F(Identity, IoWordsMoveAndFailuresTouchNothing) {
    model->setMonitor(Frozen());
    int32_t in = 11, out = 22;
    // The first request failing stops before the second.
    sim.inject(Silence(Phase::Eot, ampsim::kAlways));
    EXPECT_EQ(IoMonM(in, out), 0);
    EXPECT_TRUE(sim.requests().empty());
    sim.clearFaults();
    // A short reply to either request fails the whole read.
    model->shortenNextReply(1, 2, 7);
    EXPECT_EQ(IoMonM(in, out), 0);
    EXPECT_EQ(sim.requests().size(), 1u);
    model->shortenNextReply(1, 2, 8);
    EXPECT_EQ(IoMonM(in, out), 0);
    EXPECT_EQ(sim.requests().size(), 3u);
    EXPECT_EQ(in, 11);
    EXPECT_EQ(out, 22);
    // A bad status fails without a driver-error window.
    sim.inject(Fault::badStatus(0x20));
    EXPECT_EQ(IoMonM(in, out), 0);
    EXPECT_TRUE(drvErr.empty());

    // Both words high byte first; the model's words move with every monitor request.
    model->setMonitor(ModelM::Monitor{true, 0, 0, 0, 0x8001, 0x00FF});
    EXPECT_EQ(FamilyM().IoMonM(in, out), -1);
    EXPECT_EQ(in, 0x8001);
    EXPECT_EQ(out, 0x01FE);
    EXPECT_EQ(FamilyM().IoMonM(in, out), -1);
    EXPECT_EQ(in, 0x0006);
    EXPECT_EQ(out, 0x01FE);
}

TEST_F(Identity, MonitorDecodesSpeedTorqueAndCounter) {
    model->setMonitor(Frozen());
    MonVal = MonValRec{};
    EXPECT_EQ(FamilyM().GetSpeedM(), -1);
    EXPECT_EQ(MonVal.Speed, -1.0);
    EXPECT_DOUBLE_EQ(MonVal.Torque, -202.0 / 4);
    EXPECT_EQ(MonVal.Counter, -123456789.0);
    EXPECT_EQ(Raw().back(), Block(2, 9, {}));

    // A short reply or a torque scale of 0 leaves the values as they were; the latter sends nothing.
    MonVal = MonValRec{1, 2, 3};
    model->shortenNextReply(7);
    EXPECT_EQ(GetSpeedM(), 0);
    EXPECT_EQ(MonVal.Speed, 1.0);
    EXPECT_EQ(MonVal.Counter, 3.0);
    const size_t n = sim.requests().size();
    WavMaxItem = 0;
    EXPECT_EQ(GetSpeedM(), 0);
    EXPECT_EQ(sim.requests().size(), n);
    EXPECT_EQ(MonVal.Torque, 2.0);

    // Moving values.
    WavMaxItem = 1;
    model->setMonitor(ModelM::Monitor{true, 100, 10, 5, 0, 0});
    double s1 = 0, t1 = 0, c1 = 0, s2 = 0, t2 = 0, c2 = 0;
    EXPECT_EQ(MonM(s1, t1, c1), -1);
    EXPECT_EQ(MonM(s2, t2, c2), -1);
    EXPECT_EQ(s1, 100.0);
    EXPECT_NE(s2, s1);
    EXPECT_NE(c2, c1);
}

TEST_F(Identity, AlarmsAndTheirFailures) {
    model->setHours(0x1234);
    model->raiseAlarm(0x51);
    model->raiseAlarm(0x52);
    EXPECT_EQ(AlmNowM(), -1);
    EXPECT_EQ(AlmNo, 0x52);
    for (int16_t& h : AlmHist)
        h = -5;
    EXPECT_EQ(AlmHistM(), -1);
    const auto hist = model->alarmHistory();
    for (int k = 0; k < ModelM::kHistory; ++k)
        EXPECT_EQ(AlmHist[k], hist[static_cast<size_t>(k)]) << k;
    EXPECT_EQ(AlmHist[0], 0x52); // not the time stamp 0x34 beside it
    EXPECT_EQ(AlmHist[2], 0x21);
    EXPECT_EQ(AlmHist[8], -5);

    model->shortenNextReply(15);
    AlmHist[0] = -9;
    EXPECT_EQ(AlmHistM(), 0);
    EXPECT_EQ(AlmHist[0], -9);
    model->shortenNextReply(0);
    AlmNo = 3;
    EXPECT_EQ(AlmNowM(), 0);
    EXPECT_EQ(AlmNo, 3);
    sim.inject(Fault::nakRequest(ampsim::kAlways));
    EXPECT_EQ(AlmNowM(), 0);
    sim.clearFaults();
    EXPECT_EQ(AlmNowM(), -1);
}
