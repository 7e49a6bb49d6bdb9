// Link records, the registry, handles and the port open.
#include "link/qel.h"
#include "pty_peer.h"
#include "test_util.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>

namespace {

TEST(QelRegistry, EleventhOpenFailsAndLeavesTheTenIntact)
{
    std::vector<std::unique_ptr<PtyPeer>> peers;
    for (int port = 1; port <= 11; ++port)
        peers.push_back(std::make_unique<PtyPeer>(port));
    std::vector<uint32_t> links;
    for (int port = 1; port <= 10; ++port) {
        links.push_back(Qel_Open(static_cast<int16_t>(port), 38400));
        ASSERT_NE(links.back(), 0u) << "port " << port;
    }
    EXPECT_EQ(std::set<uint32_t>(links.begin(), links.end()).size(), 10u);

    EXPECT_EQ(Qel_Open(11, 38400), 0u);
    for (uint32_t link : links)
        EXPECT_EQ(Qel_IsReg(link), 1);
    EXPECT_EQ(Qel_GetQel(), links[0]);
    // The last link still carries bytes.
    EXPECT_EQ(Qel_PutChr(links[9], 0x5A), 1);
    EXPECT_EQ(peers[9]->Get(500), 0x5A);

    // A freed slot takes the next open.
    uint32_t third = links[2];
    ASSERT_EQ(Qel_Close(&third), 1);
    EXPECT_EQ(third, 0u);
    EXPECT_NE(Qel_Open(11, 38400), 0u);

    EXPECT_EQ(Qel_CloseAll(), 10);
    EXPECT_EQ(Qel_GetQel(), 0u);
    EXPECT_EQ(Qel_CloseAll(), 0);
}

TEST(QelRegistry, AddRegStoresOnlyOwnLinksAndNeverTwice)
{
    PtyPeer peer(1);
    const uint32_t link = Qel_Open(1, 38400);
    ASSERT_NE(link, 0u);
    EXPECT_EQ(Qel_AddReg(link), 0) << "already registered";
    EXPECT_EQ(Qel_AddReg(0), 0);
    EXPECT_EQ(Qel_AddReg(12345), 0);
    EXPECT_EQ(Qel_DelReg(0), 0);

    ASSERT_EQ(Qel_DelReg(link), 1);
    EXPECT_EQ(Qel_IsReg(link), 0);
    EXPECT_EQ(Qel_DelReg(link), 0);
    EXPECT_EQ(Qel_SetT1(link, 0), 0u) << "an unregistered link is refused";
    EXPECT_EQ(Qel_GetQel(), 0u);

    ASSERT_EQ(Qel_AddReg(link), 1);
    EXPECT_EQ(Qel_SetT1(link, 0), 500u);
    uint32_t copy = link;
    ASSERT_EQ(Qel_Close(&copy), 1);
    // With a duplicate slot the closed record would still count as registered here.
    EXPECT_EQ(Qel_IsReg(link), 0);
    EXPECT_EQ(Qel_AddReg(link), 0) << "a closed link is gone";
    EXPECT_EQ(Qel_CloseAll(), 0);
}

TEST(QelRegistry, SettersReadAndWriteTheRecord)
{
    PtyPeer peer(1);
    uint32_t link = Qel_Open(1, 9600);
    ASSERT_NE(link, 0u);
    EXPECT_EQ(Qel_SetT1(link, 0), 500u);
    EXPECT_EQ(Qel_SetT1(link, 800), 800u);
    EXPECT_EQ(Qel_SetT1(link, 0), 800u);
    EXPECT_EQ(Qel_SetT2(link, 0), 10000u);
    EXPECT_EQ(Qel_SetT2(link, 2500), 2500u);
    EXPECT_EQ(Qel_SetRty(link, -1), 3);
    EXPECT_EQ(Qel_SetRty(link, 5), 5);
    EXPECT_EQ(Qel_SetRty(link, -1), 5);
    EXPECT_EQ(Qel_SetMaster(link, 2), 0);
    EXPECT_EQ(Qel_SetMaster(link, 1), 1);
    EXPECT_EQ(Qel_SetMaster(link, -1), 1);
    EXPECT_EQ(Qel_SetMaster(link, 0), 0);
    EXPECT_EQ(Qel_Close(&link), 1);

    EXPECT_EQ(Qel_Ping(7), 8);
    EXPECT_EQ(Qel_LogOn(0), 1);
    char text1[34];
    char text2[36];
    std::memset(text1, 0x7F, sizeof text1);
    std::memset(text2, 0x7F, sizeof text2);
    EXPECT_EQ(Qel_Version(text1, text2), 3u);
    EXPECT_NE(std::memchr(text1, 0, sizeof text1), nullptr);
    EXPECT_NE(std::memchr(text2, 0, sizeof text2), nullptr);
    EXPECT_GT(std::strlen(text1), 0u);
    EXPECT_EQ(Qel_Version(nullptr, nullptr), 3u);
}

// Every export that takes a link, given one that is not registered: its failure value, no wait,
// and not a byte on any line.
TEST(QelRegistry, UnknownAndStaleHandlesFailSafelyEverywhere)
{
    PtyPeer live_peer(1);
    PtyPeer closed_peer(2);
    const uint32_t live = Qel_Open(1, 38400);
    ASSERT_NE(live, 0u);
    uint32_t stale = Qel_Open(2, 38400);
    ASSERT_NE(stale, 0u);
    const uint32_t stale_value = stale;
    ASSERT_EQ(Qel_Close(&stale), 1);

    Bytes block = Block(0, 0, 0, {});
    uint8_t buf[QEL_RCV_BLOCK_SIZE] = {};
    const Stopwatch watch;
    for (const uint32_t bad : {0u, 12345u, stale_value, live + 1, live ^ 0x80000000u}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(Qel_IsReg(bad), 0);
        EXPECT_EQ(Qel_DelReg(bad), 0);
        Qel_SetTimeOut(bad, 100);
        EXPECT_EQ(Qel_SetT1(bad, 700), 0u);
        EXPECT_EQ(Qel_SetT2(bad, 700), 0u);
        EXPECT_EQ(Qel_SetRty(bad, 1), 0);
        EXPECT_EQ(Qel_SetMaster(bad, 1), 0);
        uint32_t var = bad;
        EXPECT_EQ(Qel_Close(&var), 0);
        EXPECT_EQ(var, bad);
        EXPECT_EQ(Qel_PutBlk(bad, block.data(), 4), 0);
        EXPECT_EQ(Qel_GetBlk(bad, buf, 4), 0);
        EXPECT_EQ(Qel_PutChr(bad, QEL_ENQ), 0);
        EXPECT_EQ(Qel_GetChr(bad), -1);
        EXPECT_EQ(Qel_Clr(bad), 0);
        EXPECT_EQ(Qel_RcvCmdSub(bad, buf), -1);
        EXPECT_EQ(Qel_SndCmdSub(bad, block.data(), 0), 0);
        EXPECT_EQ(Qel_SndCmd(bad, block.data(), 0), 0);
        EXPECT_EQ(Qel_SndCmd2(bad, 0, 0, 0, nullptr, 0), 0);
        EXPECT_EQ(Qel_RcvCmd(bad, buf), 0);
        int16_t address = 77, cmd = 77, mode = 77, n = 0;
        EXPECT_EQ(Qel_RcvCmd2(bad, &address, &cmd, &mode, buf, &n), 0);
        EXPECT_EQ(Qel_SndRcv(bad, &address, &cmd, &mode, buf, &n), 0);
        EXPECT_EQ(address + cmd + mode + n, 3 * 77);
        EXPECT_EQ(Qel_SndEnq(bad), 0);
    }
    EXPECT_LT(watch.Ms(), 100.0);
    EXPECT_EQ(Qel_Close(nullptr), 0);

    EXPECT_TRUE(live_peer.Collect(100).empty());
    EXPECT_TRUE(closed_peer.Collect(10).empty());
    // The live link was not touched either: its settings and time-outs are as opened.
    EXPECT_EQ(Qel_SetT1(live, 0), 500u);
    EXPECT_EQ(Qel_SetRty(live, -1), 3);
    EXPECT_EQ(Qel_CloseAll(), 1);
}

TEST(QelOpen, FailedOpensLeaveNothingBehindAndThePortOpensAgainAtOnce)
{
    setenv("QEL_COM3", "/nonexistent/tty-of-no-one", 1);
    EXPECT_EQ(Qel_Open(3, 9600), 0u);
    setenv("QEL_COM3", "/dev/null", 1);  // exists, but is no terminal
    EXPECT_EQ(Qel_Open(3, 9600), 0u);
    EXPECT_EQ(Qel_GetQel(), 0u);

    PtyPeer peer(3);  // maps COM3 to a real pty, read at the next open
    EXPECT_EQ(Qel_Open(3, 0), 0u);
    EXPECT_EQ(Qel_Open(3, 12345), 0u) << "a rate termios cannot set fails the open";
    EXPECT_EQ(Qel_GetQel(), 0u);

    uint32_t link = Qel_Open(3, 9600);
    ASSERT_NE(link, 0u);
    EXPECT_EQ(Qel_Open(3, 9600), 0u) << "the port is held exclusively";
    EXPECT_EQ(Qel_GetQel(), link);
    EXPECT_EQ(Qel_PutChr(link, 0x1234), 1);
    EXPECT_EQ(peer.Get(500), 0x34) << "the low byte is sent";

    ASSERT_EQ(Qel_Close(&link), 1);
    EXPECT_EQ(Qel_Close(&link), 0);
    link = Qel_Open(3, 9600);
    EXPECT_NE(link, 0u) << "a closed port opens again";
    EXPECT_EQ(Qel_CloseAll(), 1);
}

TEST(QelOpen, PortsAboveNineMapThroughTheEnvironment)
{
    PtyPeer peer(27);
    uint32_t link = Qel_Open(27, 115200);
    ASSERT_NE(link, 0u);
    EXPECT_EQ(Qel_PutChr(link, 0x42), 1);
    EXPECT_EQ(peer.Get(500), 0x42);
    EXPECT_EQ(Qel_Close(&link), 1);
}

}  // namespace
