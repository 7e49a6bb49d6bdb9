#include "positioning/PomPoll.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/Glb.h"
#include "comm/Com.h"
#include "comm/ComReq.h"
#include "comm/TeskM.h"
#include "comm/TeskR.h"
#include "monitor/MonGlb.h"
#include "monitor/PollTick.h"
#include "platform/FormRegistry.h"
#include "positioning/PopGlb.h"

namespace {

std::string Fixed(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

// A plain decimal, as the labels show speeds and counts.
std::string Plain(double v) {
    if (v == std::floor(v) && std::fabs(v) < 1e15) return std::to_string(static_cast<int64_t>(v));
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    return buf;
}

} // namespace

uint32_t bit(int16_t n) {
    return n >= 0 && n <= 31 ? (uint32_t{1} << n) : 0;
}

std::string PomAlarmText(int16_t code) {
    if (code == 0) return "Normal action";
    const std::string name = code > 0 && code < AlmCodeCnt ? AlmName[code] : std::string();
    return (code >= 0 ? " " : "") + std::to_string(code) + " " + name;
}

PomTarget PomTargetOf(const PopMoniRec& rec) {
    PomTarget t;
    t.stp = std::to_string(rec.Val5);
    t.mod = GetPopItmName(3, rec.Sts2Lo);
    t.dwell = rec.Sts2Lo == 3;
    (t.dwell ? t.tim : t.pos) = std::to_string(rec.Position);
    t.vel = std::to_string(rec.Word[0]);
    t.acc = std::to_string(rec.Word[1]);
    t.acs = std::to_string(rec.Word[2]);
    t.dec = std::to_string(rec.Word[3]);
    t.des = std::to_string(rec.Word[4]);
    t.velNam = GetPopItmName(0, rec.Sts1Lo);
    t.accNam = GetPopItmName(1, rec.Sts1Hi);
    t.decNam = GetPopItmName(2, rec.Sts1Mid);
    t.acsNam = GetPopItmName(7, rec.Sts1Hi);
    t.desNam = GetPopItmName(8, rec.Sts1Mid);
    t.blk = GetPopItmName(4, rec.Sts2Bit7);
    return t;
}

std::array<std::string, 16> PomIoTexts(uint32_t bits, int offset, int kind) {
    std::array<std::string, 16> out;
    for (int i = 0; i < 16; ++i) {
        const int b = i + offset;
        out[static_cast<size_t>(i)] = IoName[kind][b][(bits & bit(static_cast<int16_t>(b))) != 0 ? 1 : 2];
    }
    return out;
}

PomView PomPoll(const std::string& tab, double factor) {
    PomView v;
    v.work = true;
    auto end = [&](PollOutcome o) {
        v.interval = PollNextInterval(PollWindow::PosMonitor, o, factor);
        return v;
    };
    if (PollTickStart(PollWindow::PosMonitor, false, ComBusyGet(), false) == PollOutcome::Busy)
        return end(PollOutcome::Busy);
    PopMoniRec rec;
    if (GetPopMoni(rec) == 0) return end(PollOutcome::BackOff);
    v.cmdPos = std::to_string(rec.Val1) + " pulse";
    int32_t act = 0;
    if (GetMoni2(act) == 0) return end(PollOutcome::BackOff);
    v.actPos = std::to_string(act) + " pulse";
    int32_t a = 0, b = 0;
    int16_t c = 0, d = 0, warn = 0;
    if (GetMoniPos(a, b, c, d, warn) == 0) return end(PollOutcome::ReadFailed);
    v.warnings.emplace();
    for (int i = 0; i < 16; ++i)
        if ((static_cast<uint16_t>(warn) >> i) & 1) v.warnings->push_back(BitName[10][i]);
    ComResult = GetMoni14(a, b);
    if (ComResult == 0) return end(PollOutcome::ReadFailed);
    v.fce = Plain(b) + " pulse";
    int16_t alarm = 0;
    if (GetAlmNo(alarm) == 0) return end(PollOutcome::ReadFailed);
    v.alarm = PomAlarmText(alarm);
    v.alarmRed = alarm != 0;
    double speed = 0, torque = 0, err = 0;
    if (MonM(speed, torque, err) == 0) return end(PollOutcome::ReadFailed);
    v.speed = Plain(speed) + " r/min";
    v.trq = Fixed(torque, 1) + " %";
    v.err = Fixed(err, 0) + " pulse";
    if (tab == PomTab::Load) {
        int32_t s1 = 0, s2 = 0;
        double regen = 0, load = 0;
        ComResult = GetMoniSpd(s1, s2, regen, load);
        if (ComResult != 0) {
            v.load = Fixed(load, 1) + " %";
            v.kaisei = Fixed(regen, 1) + " %";
        }
    } else if (tab == PomTab::PosIo1 || tab == PomTab::PosIo2) {
        const int offset = tab == PomTab::PosIo1 ? 0 : 16;
        v.in = PomIoTexts(static_cast<uint32_t>(rec.Val3), offset, IoPosIn);
        v.out = PomIoTexts(static_cast<uint32_t>(rec.Val4), offset, IoPosOut);
    } else if (tab == PomTab::Target) {
        v.target = PomTargetOf(rec);
    }
    v.work = false;
    return end(PollOutcome::Done);
}
