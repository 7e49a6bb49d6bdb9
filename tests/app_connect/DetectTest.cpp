// Port and baud detection over the simulated line: COM1 does not exist, COM2 answers at one rate.
#include "ConnEnv.h"
#include "app/FrmHanTei.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <sys/file.h>

namespace {

// Runs the real scan, recording every try shown.
std::function<void(HanTeiScan&)> RecordingScan(std::vector<std::string>& tries) {
    return [&tries](HanTeiScan& s) {
        s.showTry = [&tries](const std::string& t) { tries.push_back(t); };
        s.ScanAmp();
    };
}

} // namespace

class DetectAtRate : public ConnEnv, public ::testing::WithParamInterface<int32_t> {};

TEST_P(DetectAtRate, AutoSetFindsCom2AtTheRateItAnswers) {
    const int32_t rate = GetParam();
    RateGate gate(*sim_, static_cast<uint32_t>(rate), {0});
    plat::ScriptedAsker ask(plat::Yes);
    std::vector<std::string> tries;
    int16_t port = 0;
    int32_t baud = 9600;
    HanTeiExecWith(port, baud, RecordingScan(tries));

    EXPECT_EQ(port, 2);
    EXPECT_EQ(baud, rate);
    EXPECT_EQ(ComPortNo, 2);
    EXPECT_EQ(ComBaud, rate);
    EXPECT_EQ(DlgResult, -1);
    EXPECT_NE(ComHandle, 0u);
    ASSERT_EQ(ask.Asked().size(), 1u);
    EXPECT_EQ(ask.Asked()[0].text, "Detect the amplifier at COM2. Do you connect ?");
    EXPECT_EQ(ask.Asked()[0].title, "Yes ?");

    // Every rate of COM1 (which does not exist), then COM2 in table order up to the one that answered.
    std::vector<std::string> expected{"COM1  9600bps", "COM1  4800bps", "COM1  2400bps"};
    for (int i = 0; i < 3; ++i) {
        expected.push_back("COM2  " + std::to_string(BaudTbl[i]) + "bps");
        if (BaudTbl[i] == rate) break;
    }
    EXPECT_EQ(tries, expected);
}

INSTANTIATE_TEST_SUITE_P(RateTable, DetectAtRate, ::testing::Values(9600, 4800, 2400));

TEST_F(ConnEnv, GivenPortIsTheOnlyPortTried) {
    RateGate gate(*sim_, 9600, {0});
    plat::ScriptedAsker ask(plat::Yes);
    std::vector<std::string> tries;
    int16_t port = 1;
    int32_t baud = 9600;
    ComPortNo = 1;
    ComBaud = 9600;
    HanTeiExecWith(port, baud, RecordingScan(tries));

    EXPECT_EQ(tries, (std::vector<std::string>{"COM1  9600bps", "COM1  4800bps", "COM1  2400bps"}));
    EXPECT_EQ(port, 0);
    EXPECT_EQ(baud, 0);
    EXPECT_EQ(ComPortNo, 0);
    EXPECT_EQ(ComBaud, 0);
    EXPECT_EQ(DlgResult, 0);
    EXPECT_EQ(ComHandle, 0u);
    ASSERT_EQ(ask.Asked().size(), 1u);
    EXPECT_EQ(ask.Asked()[0].text, "Can't detect the communication port or the amplifier.");
    EXPECT_EQ(ask.Asked()[0].title, "Communication test");
}

TEST_F(ConnEnv, DecliningTheFoundPortLeavesNoPortAndNoLink) {
    RateGate gate(*sim_, 9600, {0});
    plat::ScriptedAsker ask(plat::No);
    int16_t port = 2;
    int32_t baud = 9600;
    HanTeiExecWith(port, baud, [](HanTeiScan& s) { s.ScanAmp(); });
    EXPECT_EQ(port, 0);
    EXPECT_EQ(baud, 0);
    EXPECT_EQ(DlgResult, 0);
    EXPECT_EQ(ComHandle, 0u);
    EXPECT_EQ(ask.Asked().size(), 1u); // the question only, no failure message
}

TEST_F(ConnEnv, FoundPortThatCannotBeOpenedIsNotFound) {
    RateGate gate(*sim_, 9600, {0});
    plat::ScriptedAsker ask(plat::Yes);
    int16_t port = 0;
    int32_t baud = 9600;
    int holder = -1;
    HanTeiExecWith(port, baud, [&](HanTeiScan& s) {
        s.ScanAmp();
        // Another program takes the port between the scan and the connection.
        holder = ::open(sim_->devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(holder, 0);
        ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    });
    ::close(holder);

    EXPECT_EQ(port, 0);
    EXPECT_EQ(baud, 0);
    EXPECT_EQ(ComPortNo, 0);
    EXPECT_EQ(ComBaud, 0);
    EXPECT_EQ(DlgResult, 0);
    EXPECT_EQ(ComHandle, 0u);
    ASSERT_EQ(ask.Asked().size(), 2u);
    EXPECT_EQ(ask.Asked()[1].text, "The other application is occupying the communication port.");
}

TEST_F(ConnEnv, CancelInTheWindowEndsTheScan) {
    // The amplifier answers at the last rate, so only Cancel keeps the scan from finding it.
    RateGate gate(*sim_, 2400, {0});
    plat::ScriptedAsker ask(plat::Yes);
    int clicks = 0;
    QTimer clicker;
    clicker.setInterval(2);
    QObject::connect(&clicker, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "FrmHanTei" && w->isVisible())
                if (auto* b = w->findChild<QPushButton*>("CmdCancel"); b && b->isEnabled()) {
                    b->click();
                    ++clicks;
                }
    });
    clicker.start();
    const auto start = ampsim::Clock::now();
    int16_t port = 0;
    int32_t baud = 9600;
    FrmHanTei::Exec(port, baud);
    clicker.stop();

    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(port, 0);
    EXPECT_EQ(DlgResult, 0);
    ASSERT_EQ(ask.Asked().size(), 1u);
    EXPECT_EQ(ask.Asked()[0].text, "Can't detect the communication port or the amplifier.");
    // At most the try under way when Cancel came went on the line: far less than the two silent rates.
    EXPECT_LT(ampsim::Clock::now() - start, std::chrono::milliseconds(2500));
}

TEST_F(ConnEnv, CancelledScanMakesNoFurtherTries) {
    RateGate gate(*sim_, 2400, {0});
    HanTeiScan s;
    std::vector<std::string> tries;
    bool cancel = false;
    s.pump = [&] { cancel = tries.size() >= 4; };
    s.cancelled = [&] { return cancel; };
    s.showTry = [&](const std::string& t) { tries.push_back(t); };
    s.ScanAmp();
    EXPECT_FALSE(s.found);
    EXPECT_EQ(tries.size(), 4u); // COM1 at three rates, COM2 at 9600, then nothing
}
