#include "monitor/WavRun.h"

#include <QDateTime>
#include <QTimer>

#include <span>
#include <vector>

#include "app/Frame.h"
#include "app/Glb.h"
#include "app/Mevalo.h"
#include "comm/ComCore.h"
#include "comm/ComGlb.h"
#include "comm/ComReq.h"
#include "comm/TeskCmd.h"
#include "comm/TeskK.h"
#include "comm/TeskR.h"
#include "monitor/MonGlb.h"
#include "monitor/WavLogic.h"
#include "platform/Ask.h"

namespace {

constexpr int16_t kBusyWave = 4;
const char* const kErrTitle = "Measurement error";

void Error(const char* text)
{
    plat::MsgBox(text, plat::Buttons::Ok, plat::Icon::None, kErrTitle);
}

WavDateRec Now()
{
    const QDateTime t = QDateTime::currentDateTime();
    return WavDateRec{static_cast<int16_t>(t.date().year()), static_cast<int16_t>(t.date().month()),
                      static_cast<int16_t>(t.date().day()),  static_cast<int16_t>(t.time().hour()),
                      static_cast<int16_t>(t.time().minute()), static_cast<int16_t>(t.time().second())};
}

} // namespace

WavRun::WavRun(Host host, QTimer* timer) : host_(std::move(host)), timer_(timer) {}

WavRun::~WavRun()
{
    if (timer_) timer_->stop();
}

bool WavRun::Waiting() const { return busy_.has_value(); }

void WavRun::ReleaseRight()
{
    // Only family R takes the right; the guard gives it back once.
    RetVar = Variant(right_.Release());
}

void WavRun::Idle()
{
    if (timer_) timer_->stop();
    busy_.reset();
    host_.working(false);
    ReleaseRight();
}

void WavRun::StartChk()
{
    if (Waiting() || inTick_) return;
    if (ChkComm(plat::VbTrue, "Measurement the wave form graphic") != plat::VbTrue) return;
    Start();
}

void WavRun::Start()
{
    host_.working(true);
    host_.fillCond();
    int16_t r = 0;
    int16_t st = 0;
    switch (CurrentFamily()) {
    case CmdFamilyKind::K: r = FamilyK().GrpStartK ? FamilyK().GrpStartK(WavGraph) : 0; break;
    case CmdFamilyKind::M: r = FamilyM().GrpSetM ? FamilyM().GrpSetM(WavGraph) : 0; break;
    case CmdFamilyKind::R:
        if (!right_.Take()) {
            host_.working(false);
            return;
        }
        if (WavChSelUsed.ToBool()) {
            int16_t sel = 0;
            WavClearSlots(WavGraph);
            const int16_t ok = SetGrpCh(WavGraph, sel);
            if (ok != plat::VbTrue || (sel != 0 && sel != 160)) {
                host_.working(false);
                ReleaseRight();
                Error("Measurement can't be started due to error.");
                return;
            }
            if (sel == 160) host_.defCh();
        } else {
            host_.defCh();
        }
        r = SetSokuTeiJyouKen(WavGraph, st);
        if (r != plat::VbTrue) right_.Forget(); // the request gave the right back itself
        break;
    }
    // Only -1 is success; any other answer is a failure.
    if (r != plat::VbTrue) {
        UpdStat("Measurement interrupted.");
        Idle();
        return;
    }
    if (st != 0) {
        Idle();
        Error((st & 2) ? "Measurement can't be started due to servo-off." : "Measurement can't be started due to error.");
        return;
    }
    busy_.emplace(kBusyWave);
    if (timer_) timer_->start();
    UpdStatFix(WavGraph.Word[WavWTrig] == 1 ? "Trigger waiting" : "Measuring");
}

int16_t WavRun::IsMeasureEnd(int16_t& st)
{
    int16_t r = 0;
    switch (CurrentFamily()) {
    case CmdFamilyKind::K:
        // Family K only ever reports the ready character; a silent line is still measuring.
        return FamilyK().GrpChrK && FamilyK().GrpChrK() != 0 ? 1 : 0;
    case CmdFamilyKind::R: r = GrpSts(st); break;
    case CmdFamilyKind::M:
        r = FamilyM().GrpBlkRcvM ? FamilyM().GrpBlkRcvM() : -1;
        // The ready block may carry the points itself (after N, address and command byte, before the
        // sum); the data read that follows overwrites the reply buffer, so it is kept.
        if (r == 1) readyBlock_.assign(RcvBuf + 3, RcvBuf + std::max<int>(3, SndLen));
        break;
    }
    if (r == -1) {
        UpdStat("Communication error");
        return -1;
    }
    return r == 0 ? 0 : 1;
}

void WavRun::Tick()
{
    // The timer is off for the whole step: a message box inside it must not start a second poll.
    if (timer_) timer_->stop();
    if (inTick_ || !Waiting()) return;
    // Closing all windows waits for the busy bit: a run still waiting for its trigger gives way.
    if (Mevalo* m = Mevalo::Instance(); m && m->CloseGoing()) {
        Stop();
        return;
    }
    inTick_ = true;
    int16_t st = 0;
    const int16_t r = IsMeasureEnd(st);
    if (r == -1) {
        busy_.reset();
        Error((st & 2) ? "Servo alarm is on, and measurement failed." : "Measurement failed");
        host_.working(false);
        ReleaseRight();
        inTick_ = false;
        return;
    }
    if (r == 0) {
        UpdStatFix((st & 4) ? "Trigger waiting" : "In-measuring");
        inTick_ = false;
        if (timer_) timer_->start();
        return;
    }
    UpdStat("In-transmitting");
    host_.working(true);
    const bool ok = Recv();
    busy_.reset();
    host_.redraw();
    host_.working(false);
    ReleaseRight();
    if (ok) {
        UpdStat("Transfer completed");
        SokuTeiDate = Now();
        if (host_.captured) host_.captured();
    } else {
        UpdStat("Transfer failed");
    }
    inTick_ = false;
    // Runs follow one another only while they succeed: a broken link must not loop.
    if (ok && !host_.singleTrigger()) Start();
}

bool WavRun::Recv()
{
    // Received into a copy: a transfer that fails leaves the last good capture as it was.
    auto stage = std::make_unique<WavGraphRec>(WavGraph);
    WavGraphRec& g = *stage;
    bool valid[WavChShown] = {};
    switch (CurrentFamily()) {
    case CmdFamilyKind::K:
    case CmdFamilyKind::M: {
        bool ok = false;
        if (CurrentFamily() == CmdFamilyKind::K) {
            std::vector<uint8_t> data;
            ok = GrpDatK(data) == plat::VbTrue && WaveUnpackK(data, g, g) > 0;
            // The line commands report nothing themselves.
            if (!ok)
                plat::MsgBox("Receipt of measurement result failed.", plat::Buttons::Ok, plat::Icon::None,
                             "Communication error");
        } else {
            ok = FamilyM().GrpDatJuShinM && FamilyM().GrpDatJuShinM(g) == plat::VbTrue;
            const std::span<const uint8_t> reply(RcvBuf, static_cast<size_t>(std::max<int>(0, SndLen - 1)));
            ok = ok && (WaveUnpackM(reply, g, g) || WaveUnpackM(readyBlock_, g, g));
        }
        if (!ok) return false;
        // Only the actual speed and the second signal came.
        const int second = WavSecondRecord(g);
        for (int ch = 0; ch < WavChShown; ++ch)
            valid[ch] = g.Word[WavWChOn + ch] != 0 && (ch == 0 || WavDspToRec[ch] == second);
        break;
    }
    case CmdFamilyKind::R:
        for (int ch : {0, 3, 1, 2, 4, 5}) {
            if (g.Word[WavWChOn + ch] == 0 || (ch != 0 && WavChannelUnslotted(g, ch))) continue;
            const int16_t slot = ch == 0 ? int16_t(0) : g.Word[WavWSlot + ch];
            WavChRec& rec = g.Ch[WavDspToRec[ch]];
            if (TESKR_trans_graph(std::span<int16_t>(rec.RawData, WavSampleCnt), slot) != plat::VbTrue) return false;
            if (ch == 5) WaveBitTrace(rec.RawData, WavBitMask);
            valid[ch] = true;
        }
        break;
    }
    for (int ch = 0; ch < WavChShown; ++ch) {
        const int rec = WavDspToRec[ch];
        std::copy(std::begin(g.Ch[rec].RawData), std::end(g.Ch[rec].RawData), WavGraph.Ch[rec].RawData);
        host_.dataIsValid(ch, valid[ch]);
    }
    return true;
}

void WavRun::Stop()
{
    if (CurrentFamily() == CmdFamilyKind::K && FamilyK().GrpStopK) FamilyK().GrpStopK();
    UpdStat("Measurement interrupted.");
    Idle();
}
