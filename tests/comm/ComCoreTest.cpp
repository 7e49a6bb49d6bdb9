// The request core against the simulated amplifier: tries, masks, the link check, the execution right,
// the request lock and the driver-error window.
#include "CommEnv.h"

#include "app/FrmDrvErr.h"
#include "app/FrmLog.h"
#include "app/LogSvc.h"
#include "comm/ComCore.h"
#include "comm/ComGuard.h"
#include "comm/ComWrap.h"
#include "platform/Ask.h"

#include <QLabel>
#include <QListWidget>

#include <stdexcept>

using namespace commtest;
using Bytes = std::vector<uint8_t>;

namespace {

// Replies with data then the statuses in turn (the last one repeats).
ampsim::Handler Statuses(Bytes data, std::vector<uint8_t> statuses) {
    auto k = std::make_shared<size_t>(0);
    return [=](const ampsim::Request&) -> std::optional<Bytes> {
        Bytes reply = data;
        reply.push_back(statuses[std::min(*k, statuses.size() - 1)]);
        ++*k;
        return reply;
    };
}

class ComCore : public OnLine {};

} // namespace

TEST_F(ComCore, RetriesSendTheRequestAsGivenAndHandBackTheLastReplyHeader) {
    sim.setHandler(Statuses({0x34, 0x12}, {0x80, 0x80, 0x00}));
    SndBuf[0] = 0x12;
    SndAxis = 1, SndCmd = 8, SndMode = 0, SndLen = 1;
    EXPECT_EQ(ComCmd(SndAxis, SndCmd, SndMode, SndLen, NoErrWindow, 10, 0x80), -1);

    const auto rq = sim.requests();
    ASSERT_EQ(rq.size(), 3u);
    const Bytes first{0x01, 0x01, 0x08, 0x12, 0xE4};
    for (const auto& r : rq)
        EXPECT_EQ(r.raw, first);
    // The reply's header: N counts the status byte.
    EXPECT_EQ(SndLen, 3);
    EXPECT_EQ(SndAxis, 1);
    EXPECT_EQ(ComStatus, 0x00);
    EXPECT_EQ(RcvBuf[0], 0x34);
    EXPECT_EQ(RcvBuf[1], 0x12);
}

TEST_F(ComCore, RetryCountsAndNegativeRetryMakesOneTry) {
    sim.setHandler(Statuses({}, {0x80}));
    int16_t a = 0, c = 0, m = 0, n = 0;
    EXPECT_EQ(ComCmd(a, c, m, n, NoErrWindow, 2, 0x80), 0);
    EXPECT_EQ(sim.requests().size(), 3u);

    // A stale success of an earlier request must not answer for a request never made.
    sim.clearLog();
    ComResult = -1;
    a = c = m = n = 0;
    EXPECT_EQ(ComCmd(a, c, m, n, NoErrWindow, -1, 0x80), 0);
    EXPECT_EQ(sim.requests().size(), 1u);

    sim.setHandler(Statuses({}, {0x00}));
    a = c = m = n = 0;
    EXPECT_EQ(ComCmd(a, c, m, n, NoErrWindow, -5, 0x80), -1);
    EXPECT_EQ(sim.requests().size(), 2u);
}

TEST_F(ComCore, MasksJudgeTheStatusByte) {
    int16_t a = 0, c = 0, m = 0, n = 0;
    // An empty reply has status 0 and is good for any mask.
    sim.setHandler([](const ampsim::Request&) { return std::optional<Bytes>(Bytes{}); });
    ComStatus = 0x55;
    EXPECT_EQ(ComCmd(a, c, m, n, NoErrWindow, 0, 0xFF), -1);
    EXPECT_EQ(ComStatus, 0);
    EXPECT_EQ(n, 0);

    // With mask 0 every reply is good and the status is the caller's to test.
    sim.setHandler(Statuses({}, {0xFF}));
    a = c = m = n = 0;
    EXPECT_EQ(ComCmd(a, c, m, n, NoErrWindow, 0, 0), -1);
    EXPECT_EQ(ComStatus, 0xFF);
    EXPECT_TRUE(StatChk(0x01));
    EXPECT_FALSE(StatChkOther(0xFF));
    EXPECT_EQ(StatGet(0x0F), 0xF0);

    // A link failure fails with status 0.
    sim.inject(ampsim::Fault::silence(ampsim::Phase::ReplyEnq));
    a = c = m = n = 0;
    EXPECT_EQ(ComCmd(a, c, m, n, NoErrWindow, 0, 0), 0);
    EXPECT_EQ(ComStatus, 0);
}

TEST_F(ComCore, BadStatusShowsTheDriverErrorWindowUnlessAskedNotTo) {
    BitName[3][7] = "Overload";
    BitName[3][4] = "RS-485";
    std::vector<std::string> shown;
    const auto previous = FrmDrvErr::SetShowHook([&](FrmDrvErr& w) {
        shown.push_back(w.LblMsg->text().toStdString());
        shown.push_back(w.LblErrCod->text().toStdString());
        for (int i = 0; i < w.LstErr->count(); ++i)
            shown.push_back(w.LstErr->item(i)->text().toStdString());
        w.CmdExit_Click();
    });
    sim.setHandler(Statuses({0x01}, {0x90}));

    SndAxis = 0, SndCmd = 8, SndMode = 2, SndLen = 0;
    EXPECT_EQ(ComCmd(SndAxis, SndCmd, SndMode, SndLen, NoErrWindow, 0, 0x38), 0);
    EXPECT_TRUE(shown.empty());

    SndAxis = 0, SndCmd = 8, SndMode = 2, SndLen = 0;
    EXPECT_EQ(ComCmd(SndAxis, SndCmd, SndMode, SndLen, 3, 0, 0x38), 0);
    EXPECT_EQ(shown,
              (std::vector<std::string>{"Communication cmd:8 mode:2", "Response:90", "Overload", "RS-485"}));
    FrmDrvErr::SetShowHook(previous);
}

TEST_F(ComCore, ChkCommPingsAndTellsWhyItFailed) {
    plat::ScriptedAsker asker;
    AxisNo = 1;
    sim.setHandler(Statuses({}, {0x80}));
    EXPECT_EQ(ChkComm(1, "Monitor"), -1);
    ASSERT_EQ(sim.requests().size(), 1u);
    EXPECT_EQ(sim.requests()[0].raw, (Bytes{0x00, 0x01, 0x00, 0xFF}));

    sim.setHandler(Statuses({}, {0x08}));
    EXPECT_EQ(ChkComm(1, "Monitor"), 0);
    sim.setHandler(Statuses({}, {0x10}));
    EXPECT_EQ(ChkComm(1, "Alarm"), 0);
    EXPECT_EQ(ChkComm(0, "Alarm"), 0);
    ASSERT_EQ(asker.Asked().size(), 2u);
    EXPECT_EQ(asker.Asked()[0].text, "Communication failed");
    EXPECT_EQ(asker.Asked()[0].title, "Monitor");
    EXPECT_EQ(asker.Asked()[1].text, "Communicatio failed(485 error)");
    EXPECT_EQ(asker.Asked()[1].title, "Alarm");

    // Off line: no request and no message.
    const uint32_t link = ComHandle;
    ComHandle = 0;
    sim.clearLog();
    EXPECT_EQ(ChkComm(1, "Monitor"), 0);
    ComHandle = link;
    EXPECT_TRUE(sim.requests().empty());
    EXPECT_EQ(asker.Asked().size(), 2u);
}

TEST_F(ComCore, ExecutionRightIsTakenReleasedAndRefused) {
    plat::ScriptedAsker asker;
    sim.setHandler(Statuses({}, {0x00}));
    EXPECT_EQ(GetExecRight(-1), -1);
    EXPECT_TRUE(sim.requests().empty()) << "the series does not use the right";

    ExecRightUse = 1;
    EXPECT_EQ(GetExecRight(-1), -1);
    EXPECT_EQ(GetExecRight(0), -1);
    auto rq = sim.requests();
    ASSERT_EQ(rq.size(), 2u);
    EXPECT_EQ(rq[0].raw, (Bytes{0x01, 0x00, 0x71, 0x01, 0x8D}));
    EXPECT_EQ(rq[1].raw, (Bytes{0x01, 0x00, 0x71, 0x00, 0x8E}));
    EXPECT_TRUE(asker.Asked().empty());

    sim.setHandler(Statuses({}, {0x01}));
    EXPECT_EQ(GetExecRight(-1), 0);
    EXPECT_EQ(GetExecRight(0), 0);
    ASSERT_EQ(asker.Asked().size(), 2u);
    for (const auto& a : asker.Asked()) {
        EXPECT_EQ(a.text,
                  "Front panel in use. Execute after returning the front panel to selection display.");
        EXPECT_EQ(a.title, "Execution right error");
    }

    // A request that fails on the line is not a refusal: no message.
    sim.inject(ampsim::Fault::silence(ampsim::Phase::ReplyEnq));
    EXPECT_EQ(GetExecRight(-1), 0);
    EXPECT_EQ(asker.Asked().size(), 2u);
}

TEST_F(ComCore, LockRefusesANestedRequestAndIsFreeAfterwards) {
    // A missing reply file asks the user; a request started from that message box must not run.
    SysCon.ChkDmyCom = 1;
    int nested = 99;
    std::string keyDuringNested;
    int asked = 0;
    auto previous = plat::SetAsker([&](const plat::AskRequest&) {
        if (++asked == 1) {
            int16_t a = 0, c = 9, m = 0, n = 0;
            nested = ComSndRcv1(a, c, m, n);
            keyDuringNested = FileKey();
        }
        return int(plat::Cancel);
    });
    int16_t a = 0, c = 8, m = 2, n = 0;
    EXPECT_EQ(ComSndRcv1(a, c, m, n), 0);
    EXPECT_EQ(nested, 0);
    EXPECT_EQ(asked, 1) << "the nested request must not reach the wrapper";
    EXPECT_EQ(keyDuringNested, "2800.txt");

    WriteFile(ComTest() + "/COMTEST00/R2800.txt", "01,00,28\n00,\n");
    a = 0, c = 8, m = 2, n = 0;
    EXPECT_EQ(ComSndRcv1(a, c, m, n), -1);
    plat::SetAsker(previous);
}

TEST_F(ComCore, TriggeredRs485ErrorDropsAReplyAndMarksTheStatus) {
    plat::ScriptedAsker asker;
    SysCon.ChkDmyCom = 1;
    SysCon.Chk485Err = 1;
    WriteFile(ComTest() + "/COMTEST00/R0000.txt", "01,00,00\n00,\n");
    EXPECT_EQ(ChkComm(1, "Check"), 0);
    EXPECT_EQ(ComStatus, 0x90);
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].text, "Communicatio failed(485 error)");
    EXPECT_TRUE(sim.requests().empty()) << "simulated replies never reach the line";
}

TEST(ComPortTest, LogsEveryStepOfBothPorts) {
    ResetState();
    ampsim::Simulator::Options o;
    o.port = 1;
    ampsim::Simulator com1(o);
    setenv("QEL_COM2", "/nonexistent/port", 1);
    FrmLog::Load()->show();
    std::filesystem::remove(LogTxtPath());
    plat::ScriptedAsker asker(plat::Yes);

    ComPortTest();

    std::vector<std::string> lines;
    std::istringstream in(ReadFile(LogTxtPath()));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("Qel_", 0) == 0 || line.rfind("Port Test", 0) == 0) lines.push_back(line);
    }
    FrmLog::Loaded()->hide();
    unsetenv("QEL_COM2");
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].text, "Do you want to test the port ?");
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(lines[0], "Port Test COM1 / 9600bps");
    EXPECT_EQ(lines[2], "Qel_Ping : rc:2 err:");
    EXPECT_NE(lines[4], "Qel_Open : QEL:0 err:");
    EXPECT_EQ(lines[6], "Qel_SndCmd2 : rc:1 err:");
    EXPECT_EQ(lines[8], "Qel_RcvCmd2 : rc:1 N:1 err:");
    EXPECT_EQ(lines[10], "Qel_Close : rc:1 err:");
    EXPECT_EQ(lines[12], "Qel_CloseAll : rc:0 err:");
    EXPECT_EQ(lines[13], "Port Test COM2 / 9600bps");
    EXPECT_EQ(lines[17], "Qel_Open : QEL:0 err:");
    ASSERT_EQ(com1.requests().size(), 1u);
    EXPECT_EQ(com1.requests()[0].raw, (Bytes{0x00, 0x00, 0x00, 0x00}));
}

TEST_F(ComCore, GuardsGiveBackOnlyWhatTheyTookAndOnlyOnce) {
    ComBusy = 0x01;
    {
        BusyGuard busy(0x10);
        EXPECT_EQ(ComBusy, 0x11);
        busy.Release();
        busy.Release();
        EXPECT_EQ(ComBusy, 0x01);
    }
    EXPECT_EQ(ComBusy, 0x01);
    ComBusy = 0;

    ExecRightUse = 1;
    sim.setHandler(Statuses({}, {0x01})); // refused: nothing to give back
    {
        plat::ScriptedAsker asker;
        ExecRightGuard right;
        EXPECT_FALSE(right.Take());
    }
    EXPECT_EQ(sim.requests().size(), 1u);

    sim.clearLog();
    sim.setHandler(Statuses({}, {0x00}));
    try {
        ExecRightGuard right;
        ASSERT_TRUE(right.Take());
        EXPECT_TRUE(right.Take()); // held already: no second request
        throw std::runtime_error("way out");
    } catch (const std::runtime_error&) {
    }
    auto rq = sim.requests();
    ASSERT_EQ(rq.size(), 2u);
    EXPECT_EQ(rq[0].data, (Bytes{0x01}));
    EXPECT_EQ(rq[1].data, (Bytes{0x00}));
}
