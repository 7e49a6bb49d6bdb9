// Byte I/O on a link: raw bytes, read time-outs, the drain and a line that hangs up.
#include "link/qel.h"
#include "pty_peer.h"
#include "test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

class QelPort : public ::testing::Test {
protected:
    void Open(uint32_t baud)
    {
        link_ = Qel_Open(1, baud);
        ASSERT_NE(link_, 0u);
    }
    void TearDown() override { Qel_CloseAll(); }

    PtyPeer peer_{1};
    uint32_t link_ = 0;
};

TEST_F(QelPort, EveryByteValuePassesUntouchedBothWays)
{
    Open(38400);
    Qel_SetTimeOut(link_, 200);
    Bytes all(256);
    for (int i = 0; i < 256; ++i)
        all[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
    // Control bytes a cooked terminal would eat or change: LF, CR, XON, XOFF, INTR, EOF.
    const Bytes controls{0x0A, 0x0D, 0x11, 0x13, 0x03, 0x04, 0x0D, 0x0A};

    EXPECT_EQ(Qel_PutBlk(link_, all.data(), 256), 256);
    EXPECT_EQ(peer_.Get(256, 500), all);
    EXPECT_EQ(Qel_PutBlk(link_, controls.data(), 8), 8);
    EXPECT_EQ(peer_.Get(8, 500), controls);

    peer_.Send(all);
    Bytes got(256);
    EXPECT_EQ(Qel_GetBlk(link_, got.data(), 256), 256);
    EXPECT_EQ(got, all);
    peer_.Send(controls);
    for (uint8_t c : controls)
        EXPECT_EQ(Qel_GetChr(link_), c);
    EXPECT_TRUE(peer_.Collect(50).empty()) << "nothing is echoed";
}

TEST_F(QelPort, AWaitEndsAtItsTimeOutWithoutUsingTheProcessor)
{
    Open(38400);  // multiplier 0: a one-byte read waits the constant alone
    Qel_SetTimeOut(link_, 200);
    const double cpu = CpuMs();
    const Stopwatch watch;
    EXPECT_EQ(Qel_GetChr(link_), -1);
    const double ms = watch.Ms();
    EXPECT_GE(ms, 200.0);
    EXPECT_LT(ms, 230.0);
    EXPECT_LT(CpuMs() - cpu, 20.0) << "the wait polls, it does not spin";
}

TEST_F(QelPort, ReadTimeOutsCountBytesAndGaps)
{
    Open(2400);  // multiplier 10000 / 2400 = 4 ms per byte
    Qel_SetTimeOut(link_, 100);
    uint8_t buf[100];
    Stopwatch watch;
    EXPECT_EQ(Qel_GetBlk(link_, buf, 10), 0);
    EXPECT_GE(watch.Ms(), 140.0) << "100 + 10 x 4 ms in all";
    EXPECT_LT(watch.Ms(), 170.0);

    // Three bytes then silence: the read ends one interval after the last byte, long before its
    // total of 100 + 100 x 4 ms.
    peer_.Play([](PtyPeer& p) {
        std::this_thread::sleep_for(30ms);
        p.Send({0x01, 0x02, 0x03});
    });
    watch = Stopwatch();
    EXPECT_EQ(Qel_GetBlk(link_, buf, 100), 3);
    EXPECT_GE(watch.Ms(), 130.0);
    EXPECT_LT(watch.Ms(), 170.0);
    EXPECT_EQ(buf[2], 0x03);
}

TEST_F(QelPort, ZeroTimeOutAtHighRatesStillEnds)
{
    Open(38400);
    Qel_SetTimeOut(link_, 0);  // would be "no time-out at all" as (0, 0, 0)
    const Stopwatch watch;
    EXPECT_EQ(Qel_GetChr(link_), -1);
    EXPECT_LT(watch.Ms(), 100.0) << "1 ms, not for ever";
}

TEST_F(QelPort, ClrThrowsAwayWaitingBytesAndLeavesShortTimeOuts)
{
    Open(9600);  // multiplier 1
    peer_.Send({0x31, 0x32, 0x33, QEL_ENQ});
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(Qel_Clr(link_), 1);
    for (int i = 0; i < 2; ++i) {
        const Stopwatch watch;
        EXPECT_EQ(Qel_GetChr(link_), -1);
        EXPECT_LT(watch.Ms(), 1 + 1 + 25.0) << "1 + 10000 / 9600 ms, and some slack";
    }
    peer_.Send({0x44});
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(Qel_GetChr(link_), 0x44) << "bytes after the drain are kept";
}

TEST_F(QelPort, ClrOnAQuietLineReturnsAtOnce) {
    Open(9600); // a read would wait 1 + 1 ms for nothing
    double fastest = 1e9;
    for (int i = 0; i < 20; ++i) {
        const Stopwatch watch;
        EXPECT_EQ(Qel_Clr(link_), 1);
        fastest = std::min(fastest, watch.Ms());
    }
    EXPECT_LT(fastest, 0.5) << "no read time-out sat out";
    const Stopwatch watch;
    EXPECT_EQ(Qel_GetChr(link_), -1);
    EXPECT_GE(watch.Ms(), 1.5) << "the short time-outs are in force afterwards all the same";
}

TEST_F(QelPort, ClrStillDrainsABurstThatIsArriving) {
    Open(300); // a drain read waits 1 + 33 ms: the peer's gaps of 1 ms stay inside it even on a busy machine
    peer_.Play([](PtyPeer& p) {
        p.Send({0x30, 0x31, 0x32});
        for (uint8_t b = 0x33; b < 0x40; ++b) {
            std::this_thread::sleep_for(1ms);
            p.Send({b});
        }
    });
    ASSERT_EQ(Qel_GetChr(link_), 0x30); // two bytes wait, the rest is on its way
    EXPECT_EQ(Qel_Clr(link_), 1);
    peer_.Join();
    Qel_SetTimeOut(link_, 50);
    EXPECT_EQ(Qel_GetChr(link_), -1) << "the burst's tail was drained too";
}

TEST_F(QelPort, ClrGivesUpOnAPeerThatNeverStops)
{
    Open(38400);
    const Bytes flood(20000, 0x41);
    peer_.Play([&](PtyPeer& p) { p.Send(flood); });
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(Qel_Clr(link_), 1);
    peer_.Join();
    Qel_SetTimeOut(link_, 100);
    int rest = 0;
    uint8_t buf[4096];
    for (int got; (got = Qel_GetBlk(link_, buf, sizeof buf)) > 0;)
        rest += got;
    EXPECT_EQ(rest, 10000) << "the drain stops after 10000 bytes";
}

TEST_F(QelPort, AHungUpLineEndsAReadAtOnce)
{
    Open(38400);
    Qel_SetTimeOut(link_, 3000);
    peer_.HangUp();
    const Stopwatch watch;
    EXPECT_EQ(Qel_GetChr(link_), -1);
    uint8_t buf[10];
    EXPECT_EQ(Qel_GetBlk(link_, buf, 10), 0);
    EXPECT_LT(watch.Ms(), 100.0);
}

}  // namespace
