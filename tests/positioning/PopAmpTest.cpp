// The positioning transfers against the simulated family R amplifier: send all, receive all, single
// writes with read-back, the EEPROM write and its reference copy, data files, print and the monitor.
#include "PopEnv.h"

#include "app/FileDlg.h"
#include "app/Frame.h"
#include "app/FrmRem.h"
#include "app/Prd.h"
#include "comm/Com.h"
#include "data/PopFil.h"
#include "positioning/PomPoll.h"
#include "positioning/PopEdit.h"
#include "positioning/PopEep.h"
#include "positioning/PopPrint.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <limits>
#include <utility>

using namespace poptest;
using Step = ampsim::ModelR::Step;

namespace {

constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
constexpr int64_t kMax = std::numeric_limits<int64_t>::max();

class PopSend : public PopAmp {};

} // namespace

TEST_F(PopSend, SendAllUsesOneRightAndMixedSixteenBitRangesThenReadsBackEqual) {
    DefineCounts(40, 20, 12, 3);
    ASSERT_EQ(PopRecvTables(PopStep, Pop16Prm, Pop32Prm, "steps"), 0);
    PopStep[0].Position = kMin;
    PopStep[1].Position = kMax;
    PopStep[2].PosEmpty = true; // an empty position goes out as 0
    PopStep[39] = PopStepRec{-5, false, 15, 3, 3, 127, 1, "end"};
    for (int n = 0; n < 20; ++n)
        Pop16Prm[n].Value = static_cast<int32_t>(n * 7);
    Pop32Prm[11].Value = -77;
    sim.clearLog();

    ASSERT_TRUE(PopSendAll()) << (asker.Asked().empty() ? "" : asker.Asked().back().text);
    const std::vector<std::pair<int, int>> expect = {
        {3, 0},  {3, 1},  {3, 2},  {3, 3},  {3, 4},          // step pages
        {5, 3},  {5, 4},  {5, 5},  {5, 6},  {5, 7},  {7, 1}, // singles to the page boundary, one page
        {5, 16}, {5, 17}, {5, 18}, {5, 19}, {11, 0}, {11, 1}};
    EXPECT_EQ(Pop(), expect);
    EXPECT_EQ(Rights(), (std::vector<int>{1, -1}));
    EXPECT_FALSE(model->rightHeld());
    EXPECT_EQ(PopSent, -1);
    EXPECT_EQ(model->step(0).pos, kMin);
    EXPECT_EQ(model->step(1).pos, kMax);
    EXPECT_EQ(model->step(2).pos, 0);
    EXPECT_EQ(model->step(39), (Step{-5, 15, 3, 3, 127, 1}));
    EXPECT_EQ(model->pop16(19).ram, 19 * 7);
    EXPECT_EQ(model->pop16(2).ram, 2 * 11 - 50); // below the first number sent: left alone
    EXPECT_EQ(model->pop32(11).ram, -77);
}

TEST_F(PopSend, ARefusedPageEndsSendAllAndReleasesTheRight) {
    DefineCounts(40, 20, 12);
    ASSERT_EQ(PopRecvTables(PopStep, Pop16Prm, Pop32Prm, "steps"), 0);
    Pop16Prm[9].Value = 30000; // the amplifier refuses what is beyond its limit
    Pop16Prm[9].Max = 32767;
    PopSent = 0;
    EXPECT_FALSE(PopSendAll());
    ASSERT_FALSE(asker.Asked().empty());
    EXPECT_EQ(asker.Asked().back().title, "16bit positioning parameter transmission");
    EXPECT_EQ(Rights(), (std::vector<int>{1, -1}));
    EXPECT_EQ(PopSent, 0);
}

TEST_F(PopSend, ReceiveAllThatFailsPartWayIsNeverCountedAsTransmitted) {
    // The definition names more 16-bit parameters than the amplifier has: its last page is refused.
    DefineCounts(model->options().popSteps, 30, model->options().pop32);
    EXPECT_FALSE(PopRecvAll());
    EXPECT_EQ(asker.Asked().back().text, "Transfer failed");
    EXPECT_EQ(asker.Asked().back().title, "16bit positioning parameter reception");
    for (const auto& [mode, page] : Pop())
        EXPECT_NE(mode, 10) << "32-bit pages asked for after a failure";
    EXPECT_EQ(PopSrc, 1);
    EXPECT_EQ(PopSent, 0);
    DefineCounts(model->options().popSteps, model->options().pop16, model->options().pop32);
    EXPECT_TRUE(PopRecvAll());
    EXPECT_EQ(PopSrcName, "Read-out value from the amplifier.");
    EXPECT_EQ(PopSent, -1);
}

TEST_F(PopSend, StepRowIsWrittenAndReadBackOrPutBackWhenRefused) {
    ASSERT_EQ(PopRecvTables(PopStep, Pop16Prm, Pop32Prm, "steps"), 0);
    std::vector<std::string> waits;
    auto wait = [&](const std::string& t, bool) { waits.push_back(t); };
    sim.clearLog();
    UpdStepRow(3, PopStepRec{-5, false, 15, 3, 3, 127, 1, "c"}, wait);
    const auto reqs = Of(14);
    ASSERT_EQ(reqs.size(), 2u);
    EXPECT_EQ(reqs[0].mode, 1);
    EXPECT_EQ(reqs[0].data,
              (famtest::Bytes{3, 0, 0xFB, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0}));
    EXPECT_EQ(reqs[1].mode, 0);
    EXPECT_EQ(waits.back(), "Step parameter value change completed");
    EXPECT_EQ(PopStep[3].Comment, "c");

    const PopStepRec before = PopStep[4];
    model->setFrontPanel(true); // the right is refused
    UpdStepRow(4, PopStepRec{77, false, 1, 1, 1, 1, 0, ""}, wait);
    EXPECT_EQ(PopStep[4], before);
    EXPECT_EQ(waits.back(), "Step parameter value change failed");

    // Data from a file: the table changes, nothing is sent, and the data are not transmitted any more.
    model->setFrontPanel(false);
    SetPopDataSource(2, "");
    sim.clearLog();
    UpdStepRow(5, PopStepRec{9, false, 1, 1, 1, 1, 0, ""}, wait);
    EXPECT_TRUE(Of(14).empty());
    EXPECT_EQ(PopStep[5].Position, 9);
    // Steps beyond the count are not edited.
    const PopStepRec beyond = PopStep[model->options().popSteps];
    UpdStepRow(model->options().popSteps, PopStepRec{9, false, 1, 1, 1, 1, 0, ""}, wait);
    EXPECT_EQ(PopStep[model->options().popSteps], beyond);
}

TEST_F(PopSend, ParameterRowHonoursAttributesLimitsAndThePowerCycleNotice) {
    ASSERT_EQ(PopRecvTables(PopStep, Pop16Prm, Pop32Prm, "steps"), 0);
    sim.clearLog();
    // 40000 is limited to 16 bits, then to the maximum, written and read back.
    EXPECT_FALSE(UpdPrmRow(false, 3, 40000));
    EXPECT_EQ(Pop16Prm[3].Value, 5000);
    EXPECT_EQ(model->pop16(3).ram, 5000);
    EXPECT_EQ((std::vector<std::pair<int, int>>{{5, 3}, {4, 3}}), Pop());
    // Attribute 256 (32-bit entry 5 in the simulator): nothing is stored or sent.
    sim.clearLog();
    const int32_t was = Pop32Prm[5].Value;
    EXPECT_FALSE(UpdPrmRow(true, 5, was + 1));
    EXPECT_EQ(Pop32Prm[5].Value, was);
    EXPECT_TRUE(Pop().empty());
    // Attribute 16 asks for the power-cycle notice after a good write.
    Pop16Prm[4].Attr = 16;
    EXPECT_TRUE(UpdPrmRow(false, 4, 7));
    // A refused write puts the old value back.
    model->setFrontPanel(true);
    EXPECT_FALSE(UpdPrmRow(false, 6, 8));
    EXPECT_EQ(Pop16Prm[6].Value, model->pop16(6).ram);
}

TEST_F(PopSend, EepromWriteSurvivesAPowerCycleAndRenewsTheReference) {
    ASSERT_EQ(PopRecvTables(PopStep, Pop16Prm, Pop32Prm, "steps"), 0);
    PopCheckPoint(PopEepOpt::ForceAll);
    EXPECT_EQ(PopAxis(0).StepRead, -1);
    EXPECT_TRUE(PopChangeList().empty());
    sim.clearLog();
    PopCheckPoint(PopEepOpt::IfNotRead);
    EXPECT_TRUE(Pop().empty()); // already read: nothing asked

    PopStep[1].Position = 123456789012345;
    Pop16Prm[2].Value = 77;
    ASSERT_TRUE(PopSendAll());
    EXPECT_EQ(PopChangeList().size(), 2u);
    ASSERT_TRUE(PopEepWrite());
    EXPECT_EQ(model->eepromWrites(2), 1);
    EXPECT_EQ(ComBusy, 0);
    EXPECT_TRUE(PopChangeList().empty());
    model->powerCycle();
    EXPECT_EQ(model->step(1).pos, 123456789012345);
    EXPECT_EQ(model->pop16(2).ram, 77);

    // A refused write is told, keeps the change listed and clears the busy bit.
    Pop16Prm[2].Value = 78;
    ASSERT_TRUE(PopSendAll());
    model->setFrontPanel(true);
    std::vector<std::string> told;
    const auto keptStat = std::exchange(Frame().updStat, [&](const std::string& t) { told.push_back(t); });
    EXPECT_FALSE(PopEepWrite());
    Frame().updStat = keptStat;
    const std::string done = "Writing the positioning parameter to EEPROM completed.";
    EXPECT_EQ(std::count(told.begin(), told.end(), done), 0);
    ASSERT_FALSE(told.empty());
    EXPECT_EQ(told.back(), "Writing to EEPROM  failed");
    EXPECT_EQ(ComBusy, 0);
    EXPECT_EQ(PopChangeList().size(), 1u);
    // A reference read that fails leaves that table unread.
    model->setFrontPanel(false);
    PopAxis(0).Prm16Read = 0;
    DefineCounts(model->options().popSteps, 30, model->options().pop32);
    PopCheckPoint(PopEepOpt::IfNotRead);
    EXPECT_EQ(PopAxis(0).Prm16Read, 0);
    EXPECT_EQ(PopAxis(0).StepRead, -1);
}

TEST_F(PopSend, SavedFileReadsBackIdenticalAndPrintsToPdf) {
    ASSERT_EQ(PopRecvTables(PopStep, Pop16Prm, Pop32Prm, "steps"), 0);
    PopStep[0].Position = kMin;
    PopStep[1].PosEmpty = true;
    PopStep[2].Comment = "first, 'quoted'";
    const QString dir =
        QDir::tempPath() + "/mevalo-pos-" + QString::number(QCoreApplication::applicationPid());
    QDir().mkpath(dir);
    const std::string path = (dir + "/prog.ncp").toStdString();
    auto rem = FrmRem::SetShowHook([](FrmRem& w) { w.CmdOk_Click(); });
    auto dlg = SetFileDlgShow([&](const FileDlgRequest&) { return path; });
    ASSERT_TRUE(PopSaveFile());
    auto text = [](const PopStepRec& s) {
        return PopPosText(s) + "," + std::to_string(s.Vel) + std::to_string(s.Acc) + std::to_string(s.Dec) +
               std::to_string(s.Mod) + std::to_string(s.Blk) + "," + s.Comment;
    };
    std::vector<std::string> steps;
    for (int i = 0; i < PopStepInUse(); ++i)
        steps.push_back(text(PopStep[i]));
    std::vector<int32_t> v16, v32;
    for (int i = 0; i < Pop16InUse(); ++i)
        v16.push_back(Pop16Prm[i].Value);
    for (int i = 0; i < Pop32InUse(); ++i)
        v32.push_back(Pop32Prm[i].Value);
    for (auto& s : PopStep)
        s = PopStepRec{};
    for (auto& p : Pop16Prm)
        p.Value = 1;
    ASSERT_EQ(POP_Load(path, 25, true), -1);
    for (int i = 0; i < PopStepInUse(); ++i)
        EXPECT_EQ(text(PopStep[i]), steps[static_cast<size_t>(i)]) << i;
    for (int i = 0; i < Pop16InUse(); ++i)
        EXPECT_EQ(Pop16Prm[i].Value, v16[static_cast<size_t>(i)]) << i;
    for (int i = 0; i < Pop32InUse(); ++i)
        EXPECT_EQ(Pop32Prm[i].Value, v32[static_cast<size_t>(i)]) << i;
    EXPECT_EQ(PopSrcName, "Value read from the file.");
    FrmRem::SetShowHook(rem);
    SetFileDlgShow(dlg);

    // Steps in landscape, then both parameter lists in portrait: one job, no empty page at its end.
    const std::string pdf = (dir + "/pop.pdf").toStdString();
    ASSERT_TRUE(PrdSetPrinter(PrdPdfPrinterName, pdf));
    PrintPop(" step_all pop16 pop32", 0, PopStepInUse() - 1);
    QFile f(QString::fromStdString(pdf));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    const auto boxes =
        QRegularExpression(R"(/MediaBox \[0 0 ([\d.]+) ([\d.]+)\])").globalMatch(QString::fromLatin1(bytes));
    std::vector<bool> landscape;
    for (auto it = boxes; it.hasNext();) {
        const auto m = it.next();
        landscape.push_back(m.captured(1).toDouble() > m.captured(2).toDouble());
    }
    // 44 steps: two sheets; 21 and 13 parameters: one sheet each.
    EXPECT_EQ(landscape, (std::vector<bool>{true, true, false, false}));
    QDir(dir).removeRecursively();
}

TEST_F(PopSend, MonitorShowsTheAmplifierStateAndBacksOff) {
    WavMaxItem = 20;
    ampsim::ModelR::PopMonitor pm;
    pm.f1 = -1234;
    pm.f3 = 0x00010001;
    pm.f4 = static_cast<int32_t>(0x80000000u);
    pm.f5 = 7;
    pm.pos = 1234567890123;
    pm.b27 = 0x52;
    pm.b28 = 0x83; // dwell mode with block
    pm.w = {600, 100, 20, 300, 40};
    model->setPopMonitor(pm);
    model->raiseAlarm(12);
    AlmName[12] = "Over voltage";
    IoName[IoPosIn][16][1] = "In16 on";
    IoName[IoPosOut][31][1] = "Out31 on";
    PopItem[3][3].Name = "Dwell";

    const PomView t = PomPoll(PomTab::Target, 1.5);
    EXPECT_FALSE(t.work);
    EXPECT_EQ(t.interval, 300);
    EXPECT_EQ(*t.cmdPos, "-1234 pulse");
    EXPECT_EQ(*t.alarm, " 12 Over voltage");
    EXPECT_TRUE(t.alarmRed);
    ASSERT_TRUE(t.target);
    EXPECT_TRUE(t.target->dwell);
    EXPECT_EQ(t.target->tim, "1234567890123");
    EXPECT_EQ(t.target->pos, "");
    EXPECT_EQ(t.target->stp, "7");
    EXPECT_EQ(t.target->mod, "Dwell");
    EXPECT_EQ(t.target->velNam, PopItem[0][2].Name);
    EXPECT_EQ(t.target->blk, PopItem[4][1].Name);
    EXPECT_EQ(t.target->des, "40");

    const PomView io = PomPoll(PomTab::PosIo2, 1.0);
    EXPECT_EQ((*io.in)[0], "In16 on");
    EXPECT_EQ((*io.out)[15], "Out31 on");
    EXPECT_EQ(io.interval, 200);

    // A busy link is left alone; a short monitor reply is a failed read and backs off.
    sim.clearLog();
    ComBusySet(BusyPopEeprom);
    const PomView busy = PomPoll(PomTab::Target, 2.0);
    ComBusyClr(BusyPopEeprom);
    EXPECT_TRUE(busy.work);
    EXPECT_EQ(busy.interval, 200);
    EXPECT_TRUE(sim.requests().empty());
    model->shortenNextReply(30);
    const PomView shortReply = PomPoll(PomTab::Target, 1.0);
    EXPECT_TRUE(shortReply.work);
    EXPECT_EQ(shortReply.interval, 10000);
    EXPECT_FALSE(shortReply.cmdPos);
    EXPECT_EQ(PomAlarmText(250), " 250 ");
    EXPECT_EQ(PomAlarmText(0), "Normal action");
}
