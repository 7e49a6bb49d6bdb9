// Alarms, monitors, maker data, auto tuning and the model set-up against the family R model.
#include "FamREnv.h"

#include "comm/ComCore.h"
#include "comm/TeskCmd.h"

using namespace famr;
using ampsim::Fault;
using ampsim::Phase;

namespace {

class Status : public FamR {};

ampsim::ModelR::Monitor Frozen() {
    ampsim::ModelR::Monitor m;
    m.moving = false;
    m.inputs = 0x81;
    m.outputs = 0x7E;
    m.fbPos = -123456789;
    m.cmdPos = 2000000001;
    m.posErr = -300;
    m.speedAct = -4000;
    m.speedCmd = 70000;
    m.loadX = 250;
    m.loadY = 0;
    m.volt5 = -1415;
    m.m13a = -1;
    m.m13b = 32767;
    m.m13c = 0xFEDCBA;
    m.m13d = -32768;
    m.m14a = -2;
    m.m14b = 0x7FFFFFFF;
    m.maker1 = -12;
    m.maker2 = 345;
    return m;
}

} // namespace

TEST_F(Status, AlarmsHistoriesAndTimesDecodeAndClearsReachTheAmplifier) {
    model->setHours(0x01020304);
    model->raiseAlarm(0x31);
    model->raiseSystemEvent(0x95);
    // The newest stamp is the low word of the hour counter; 0xFFFF must read unsigned.
    model->raiseAlarm(0x32);
    model->setHours(0xFFFF);
    model->raiseAlarm(0x33);

    EXPECT_EQ(GetAlmNoGlb(), -1);
    EXPECT_EQ(AlmNo, 0x33);
    EXPECT_EQ(GetAlmHist(), -1);
    const auto hist = model->alarmHistory();
    for (int k = 0; k < 14; ++k)
        EXPECT_EQ(AlmHist[k], hist[static_cast<size_t>(k)]) << k;
    EXPECT_EQ(GetSysHist(), -1);
    EXPECT_EQ(AlmHist[0], 0x95);
    EXPECT_EQ(GetAlmTim(), -1);
    const auto times = model->alarmTimes();
    for (int k = 0; k < 15; ++k)
        EXPECT_EQ(AlmTime[k], times[static_cast<size_t>(k)]) << k;
    EXPECT_EQ(AlmTime[0], 65535);
    int32_t now = 0;
    EXPECT_EQ(GetAlmTimNow(now), -1);
    EXPECT_EQ(now, 0xFFFF);

    EXPECT_EQ(Raw()[0], (Bytes{0x00, 0x00, 0x09, 0xF7}));
    EXPECT_EQ(sim.requests()[1].mode, 2);
    EXPECT_EQ(sim.requests()[2].mode, 5);

    sim.clearLog();
    EXPECT_EQ(ClrAlm(), -1);
    EXPECT_EQ(model->alarm(), 0);
    EXPECT_EQ(ClrAlmHist(), -1);
    EXPECT_EQ(model->alarmHistory()[0], 0);
    EXPECT_EQ(model->alarmTimes()[0], 0);
    EXPECT_EQ(ClrSysHist(), -1);
    EXPECT_EQ(model->systemHistory()[0], 0);
    EXPECT_EQ(ClrMoni(), -1);
    EXPECT_EQ(ClrBat(), -1);
    std::vector<int> modes;
    for (const auto& r : Of(9))
        modes.push_back(r.mode);
    EXPECT_EQ(modes, (std::vector<int>{4, 3, 6, 11, 4}));
    EXPECT_TRUE(drvErr.empty());
}

TEST_F(Status, ClearsReportFailureAndShowTheDriverErrorWindow) {
    model->raiseAlarm(0x31);
    sim.inject(Fault::badStatus(0x10));
    EXPECT_EQ(ClrAlm(), 0);
    ASSERT_EQ(drvErr.size(), 1u);
    EXPECT_EQ(drvErr[0], "Communication cmd:9 mode:4");

    sim.inject(Fault::silence(Phase::ReplyEnq));
    EXPECT_EQ(ClrAlmHist(), 0);
    EXPECT_EQ(drvErr.size(), 1u); // a link failure stays silent here
}

TEST_F(Status, MonitorsDecodeEveryField) {
    model->setMonitor(Frozen());
    int32_t a = 0, b = 0;
    int16_t c = 0, d = 0, e = 0;
    ASSERT_EQ(GetMoniPos(a, b, c, d, e), -1);
    EXPECT_EQ(a, -123456789);
    EXPECT_EQ(b, 2000000001);
    EXPECT_EQ(c, 0x81);
    EXPECT_EQ(d, 0x7E);
    EXPECT_EQ(e, -300);

    int32_t v = 0;
    ASSERT_EQ(GetMoni2(v), -1);
    EXPECT_EQ(v, 70000);
    ASSERT_EQ(GetMoni14(a, b), -1);
    EXPECT_EQ(a, -2);
    EXPECT_EQ(b, 0x7FFFFFFF);

    double dc = 0, dd = 0;
    ASSERT_EQ(GetMoniSpd(a, b, dc, dd), -1);
    EXPECT_EQ(a, -4000);
    EXPECT_EQ(b, 70000);
    EXPECT_DOUBLE_EQ(dc, -283.0);
    EXPECT_DOUBLE_EQ(dd, 25000.0); // y = 0 divides by 1
    std::vector<int> modes;
    for (const auto& r : Of(2))
        modes.push_back(r.mode);
    EXPECT_EQ(modes, (std::vector<int>{10, 2, 14, 1, 2, 11}));

    int16_t m1 = 0, m2 = 0, m4 = 0;
    int32_t m3 = 0;
    ASSERT_EQ(GetMoni13(m1, m2, m3, m4), -1);
    EXPECT_EQ(m1, -1);
    EXPECT_EQ(m2, 32767);
    EXPECT_EQ(m3, 0xFEDCBA);
    EXPECT_EQ(m4, -32768);

    ASSERT_EQ(GetMkrDat(), -1);
    EXPECT_EQ(MkrDat1, -12);
    EXPECT_EQ(MkrDat2, 345);

    // Through the dispatcher too.
    a = b = 0;
    ASSERT_EQ(ReadIoMon(a, b, c, d, e), -1);
    EXPECT_EQ(a, -123456789);
    MkrDat1 = 0;
    ASSERT_EQ(ReadAlmExtA(), -1);
    EXPECT_EQ(MkrDat1, -12);
}

TEST_F(Status, MonitorsMoveWhenLeftRunning) {
    int32_t a1 = 0, a2 = 0, b = 0;
    int16_t c = 0, d = 0, e = 0;
    ASSERT_EQ(GetMoniPos(a1, b, c, d, e), -1);
    ASSERT_EQ(GetMoniPos(a2, b, c, d, e), -1);
    EXPECT_NE(a1, a2);
}

TEST_F(Status, PositioningMonitorSplitsItsBytes) {
    ampsim::ModelR::PopMonitor m;
    m.f1 = -5;
    m.f2 = 0xAB;
    m.f3 = 0x12345678;
    m.f4 = -1;
    m.f5 = 17;
    m.f6 = 18;
    m.pos = -1;
    m.b27 = 0b10'11'0110; // bits 6-7 = 2, bits 4-5 = 3, low nibble 6
    m.b28 = 0x85;
    m.w = {-1, 2, -3, 4, 32767};
    m.f11 = 0xFE;
    model->setPopMonitor(m);
    PopMoniRec rec;
    ASSERT_EQ(GetPopMoni(rec), -1);
    EXPECT_EQ(rec.Val1, -5);
    EXPECT_EQ(rec.Val2, 0xAB);
    EXPECT_EQ(rec.Val3, 0x12345678);
    EXPECT_EQ(rec.Val4, -1);
    EXPECT_EQ(rec.Val5, 17);
    EXPECT_EQ(rec.Val6, 18);
    EXPECT_EQ(rec.Position, -1);
    EXPECT_EQ(rec.Sts1, 0xB6);
    EXPECT_EQ(rec.Sts1Lo, 6);
    EXPECT_EQ(rec.Sts1Hi, 2);
    EXPECT_EQ(rec.Sts1Mid, 3);
    EXPECT_EQ(rec.Sts2, 0x85);
    EXPECT_EQ(rec.Sts2Bit7, 1);
    EXPECT_EQ(rec.Sts2Lo, 5);
    EXPECT_EQ(rec.Word[0], -1);
    EXPECT_EQ(rec.Word[4], 32767);
    EXPECT_EQ(rec.Last, 0xFE);
}

TEST_F(Status, FailedReadsLeaveOutputsAloneButGetMoni13ZeroesThem) {
    model->setMonitor(Frozen());
    int32_t a = 7, b = 7;
    int16_t c = 7, d = 7, e = 7;
    // Short reply: the first six data bytes only.
    model->shortenNextReply(6);
    EXPECT_EQ(GetMoniPos(a, b, c, d, e), 0);
    EXPECT_EQ(a, 7);
    EXPECT_EQ(e, 7);
    // Silence, NAK and a bad status.
    sim.inject(Fault::silence(Phase::ReplyEnq));
    AlmNo = 9;
    EXPECT_EQ(GetAlmNoGlb(), 0);
    sim.inject(Fault::nakRequest(ampsim::kAlways));
    EXPECT_EQ(GetAlmHist(), 0);
    sim.clearFaults();
    sim.inject(Fault::badStatus(0x08));
    EXPECT_EQ(GetAlmNoGlb(), 0);
    EXPECT_EQ(AlmNo, 9);
    EXPECT_TRUE(drvErr.empty()); // the reads never show the window

    // One good and then one short request: GetMoniSpd stops with b as it was.
    double dc = 1, dd = 1;
    b = 7;
    model->shortenNextReply(3);
    EXPECT_EQ(GetMoniSpd(a, b, dc, dd), 0);
    EXPECT_EQ(b, 7);
    EXPECT_EQ(dc, 1);

    int16_t m1 = 5, m2 = 5, m4 = 5;
    int32_t m3 = 5;
    model->shortenNextReply(8);
    EXPECT_EQ(GetMoni13(m1, m2, m3, m4), 0);
    EXPECT_EQ(m1, 0);
    EXPECT_EQ(m2, 0);
    EXPECT_EQ(m3, 0);
    EXPECT_EQ(m4, 0);

    PopMoniRec rec;
    rec.Val1 = 42;
    model->shortenNextReply(40);
    EXPECT_EQ(GetPopMoni(rec), 0);
    EXPECT_EQ(rec.Val1, 42);
}

TEST_F(Status, AutoTuningClampsPollsAndChangesParameters) {
    ASSERT_EQ(GetExecRight(-1), -1);
    int16_t v = 1000, b0 = -1, st = -1;
    ASSERT_EQ(AutoStart(v, b0, st), -1);
    EXPECT_EQ(v, 255);
    EXPECT_EQ(Of(10).back().data, (Bytes{0xFF, 0x01}));
    EXPECT_EQ(st, ampsim::ModelR::kStRunning);
    v = -4;
    ASSERT_EQ(AutoStart(v, b0, st), -1);
    EXPECT_EQ(v, 0);

    const int16_t before = model->prm16(16).ram;
    int polls = 0;
    do {
        ASSERT_EQ(AutoSts(7, b0, st), -1);
        ++polls;
    } while (st != 0 && polls < 10);
    EXPECT_EQ(b0, 100);
    EXPECT_EQ(Of(10).back().data, (Bytes{0x07, 0x00}));
    EXPECT_NE(model->prm16(16).ram, before);

    // Mask 0: a status with error bits is still a reply for the screen to judge.
    sim.inject(Fault::badStatus(0x38));
    EXPECT_EQ(AutoSts(300, b0, st), -1);
    EXPECT_EQ(st, 0x38);
    EXPECT_EQ(Of(10).back().data, (Bytes{0xFF, 0x00}));

    sim.inject(Fault::silence(Phase::ReplyEnq));
    EXPECT_EQ(AutoSts(1, b0, st), 0);
    EXPECT_EQ(ComResult, 0);
}

TEST_F(Status, ModelSetUpOnlyInInternalModesAndOnlyAfterOk) {
    EXPECT_EQ(SetKisyuMei(), 0);
    EXPECT_TRUE(asker.Asked().empty());
    EXPECT_TRUE(sim.requests().empty());

    UserLevel = 2;
    asker.Push(plat::Cancel);
    EXPECT_EQ(SetKisyuMei(), 0);
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].text, "Writing the model name");
    EXPECT_EQ(asker.Asked()[0].buttons, plat::Buttons::OkCancel);
    EXPECT_TRUE(sim.requests().empty());

    asker.Clear();
    model->raiseAlarm(0x44);
    EXPECT_EQ(SetKisyuMei(), -1);
    std::vector<std::string> texts;
    for (const auto& a : asker.Asked())
        texts.push_back(a.text);
    EXPECT_EQ(texts,
              (std::vector<std::string>{"Writing the model name", "Writing to EEPROM",
                                        "Writing to EEPROM(sys)", "Writing power voltage calibration"}));
    const auto raw = Raw();
    ASSERT_EQ(raw.size(), 8u); // name, right, 8/4, release, right, 8/9, release, calibration
    EXPECT_EQ(raw[0], (Bytes{0x0C, 0x00, 0x51, 0x54, 0x45, 0x53, 0x4B, 0x52, 0x32, 0x31, 0x42, 0x37, 0x43,
                             0x00, 0x00, 0xFB}));
    EXPECT_EQ(raw[2], Block(8, 4, {}));
    EXPECT_EQ(raw[5], Block(8, 9, {}));
    EXPECT_EQ(raw[7],
              (Bytes{0x0A, 0x00, 0x41, 0x18, 0x01, 0x5E, 0x01, 0xB4, 0x00, 0xC8, 0x00, 0x64, 0x00, 0x5D}));
    EXPECT_EQ(Rights(), (std::vector<int>{1, -1, 1, -1}));
    EXPECT_EQ(model->modelCode(), "TESKR21B7C");
    EXPECT_EQ(model->calibration(), (std::vector<int16_t>{280, 350, 180, 200, 100}));
    EXPECT_EQ(model->eepromWrites(0), 1);
    EXPECT_EQ(model->eepromWrites(1), 1);
    EXPECT_EQ(AlmNo, 0x44);

    // Every step runs; only the last decides: refused EEPROM steps do not stop it ...
    asker.Clear();
    sim.clearLog();
    model->setFrontPanel(true);
    EXPECT_EQ(SetKisyuMei(), -1);
    EXPECT_EQ(Of(1).back().mode, 4);
    EXPECT_EQ(Rights(), (std::vector<int>{1, 1}));
    EXPECT_TRUE(Of(8).empty());

    // ... and a failed calibration fails it.
    model->setFrontPanel(false);
    sim.setHandler([this](const ampsim::Request& rq) -> std::optional<Bytes> {
        if (rq.cmd == 1 && rq.mode == 4) return Bytes{0x00, 0x08};
        return model->answer(rq);
    });
    EXPECT_EQ(SetKisyuMei(), 0);
}
