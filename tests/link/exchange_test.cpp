// Block exchanges against a peer that plays the amplifier byte by byte on a pseudo-terminal.
#include "link/qel.h"
#include "pty_peer.h"
#include "test_util.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr uint8_t ENQ = QEL_ENQ, EOT = QEL_EOT, ACK = QEL_ACK, NAK = QEL_NAK;
constexpr int kT1 = 100;
constexpr int kT2 = 300;

class QelExchange : public ::testing::Test {
protected:
    void SetUp() override
    {
        link_ = Qel_Open(1, 38400);
        ASSERT_NE(link_, 0u);
        Qel_SetT1(link_, kT1);
        Qel_SetT2(link_, kT2);
    }
    void TearDown() override
    {
        peer_.Join();
        Qel_CloseAll();
    }

    // The amplifier's answer to one send try: grant the line, take the block, answer it.
    static Bytes TakeBlock(PtyPeer& p, size_t size, uint8_t answer)
    {
        if (p.Get(1000) != ENQ)
            return {};
        p.Send({EOT});
        Bytes block = p.Get(size, 1000);
        p.Send({answer});
        return block;
    }

    // The amplifier's side of one reply: offer it, wait for the grant, send it, return the verdict.
    static int OfferBlock(PtyPeer& p, const Bytes& block)
    {
        p.Send({ENQ});
        if (p.Get(1000) != EOT)
            return -2;
        p.Send(block);
        return p.Get(1000);
    }

    PtyPeer peer_{1};
    uint32_t link_ = 0;
};

TEST_F(QelExchange, SendsTheExampleBlocksAfterTheHandshake)
{
    struct Case {
        int16_t address, cmd, mode;
        Bytes data, wire;
    };
    for (const Case& c : {Case{0, 0, 0, {}, {0x00, 0x00, 0x00, 0x00}},
                          Case{1, 8, 2, {}, {0x00, 0x01, 0x28, 0xD7}},
                          Case{0, 1, 7, {0x01}, {0x01, 0x00, 0x71, 0x01, 0x8D}}}) {
        Bytes seen;
        peer_.Play([&](PtyPeer& p) { seen = TakeBlock(p, c.wire.size(), ACK); });
        EXPECT_EQ(Qel_SndCmd2(link_, c.address, c.cmd, c.mode, c.data.data(),
                              static_cast<int16_t>(c.data.size())),
                  1);
        peer_.Join();
        EXPECT_EQ(seen, c.wire);
    }
    EXPECT_TRUE(peer_.Collect(50).empty());
}

TEST_F(QelExchange, NakMakesAFreshEnqUpToRetryTries)
{
    const Bytes wire{0x00, 0x01, 0x28, 0xD7};
    Bytes seen;
    peer_.Play([&](PtyPeer& p) {
        for (int c = p.Get(500); c >= 0; c = p.Get(500)) {
            seen.push_back(static_cast<uint8_t>(c));
            if (c == ENQ) {
                p.Send({EOT});
                Bytes block = p.Get(4, 500);
                seen.insert(seen.end(), block.begin(), block.end());
                p.Send({NAK});
            }
        }
    });
    EXPECT_EQ(Qel_SndCmd2(link_, 1, 8, 2, nullptr, 0), 0);
    peer_.Join();
    Bytes expected;
    for (int i = 0; i < 3; ++i) {
        expected.push_back(ENQ);
        expected.insert(expected.end(), wire.begin(), wire.end());
    }
    EXPECT_EQ(seen, expected);

    // A NAK then an ACK: the second try succeeds.
    Qel_SetRty(link_, 2);
    peer_.Play([&](PtyPeer& p) {
        TakeBlock(p, 4, NAK);
        TakeBlock(p, 4, ACK);
    });
    EXPECT_EQ(Qel_SndCmd2(link_, 1, 8, 2, nullptr, 0), 1);
}

TEST_F(QelExchange, RetryZeroSendsNothing)
{
    ASSERT_EQ(Qel_SetRty(link_, 0), 0);
    const Stopwatch watch;
    EXPECT_EQ(Qel_SndCmd2(link_, 1, 8, 2, nullptr, 0), 0);
    const Bytes block{0x00, 0x01, 0x28, 0xD7};
    EXPECT_EQ(Qel_SndCmd(link_, block.data(), 0), 0);
    EXPECT_LT(watch.Ms(), 20.0);
    EXPECT_TRUE(peer_.Collect(100).empty());
}

TEST_F(QelExchange, JunkBeforeEotIsSkipped)
{
    Bytes seen;
    peer_.Play([&](PtyPeer& p) {
        if (p.Get(1000) != ENQ)
            return;
        p.Send({0x41, 0x42, 0x0D, ACK, NAK, EOT});
        seen = p.Get(5, 1000);
        p.Send({ACK});
    });
    const uint8_t data = 0x01;
    EXPECT_EQ(Qel_SndCmd2(link_, 0, 1, 7, &data, 1), 1);
    peer_.Join();
    EXPECT_EQ(seen, (Bytes{0x01, 0x00, 0x71, 0x01, 0x8D}));
}

TEST_F(QelExchange, SendTriesFailWithoutEotOrAfterEndlessJunk)
{
    Qel_SetRty(link_, 2);
    Stopwatch watch;
    EXPECT_EQ(Qel_SndCmd2(link_, 0, 0, 0, nullptr, 0), 0);
    EXPECT_GE(watch.Ms(), 2.0 * kT1);
    EXPECT_LT(watch.Ms(), 2.0 * kT1 + 60);
    EXPECT_EQ(peer_.Collect(50), (Bytes{ENQ, ENQ}));

    // A peer that chatters past the bound before granting the line: the try gives up.
    Qel_SetRty(link_, 1);
    peer_.Play([](PtyPeer& p) {
        if (p.Get(1000) == ENQ) {
            p.Send(Bytes(5000, 0x41));
            p.Send({EOT});
        }
    });
    EXPECT_EQ(Qel_SndCmd2(link_, 0, 0, 0, nullptr, 0), 0);
    peer_.Join();
    EXPECT_TRUE(peer_.Collect(50).empty()) << "no block after a refused handshake";
}

TEST_F(QelExchange, RequestsOver255BytesAreRefused)
{
    Bytes data(300, 0x22);
    EXPECT_EQ(Qel_SndCmd2(link_, 0, 1, 1, data.data(), 256), 0);
    EXPECT_EQ(Qel_SndCmd2(link_, 0, 1, 1, data.data(), -1), 0);
    EXPECT_EQ(Qel_SndCmd(link_, data.data(), 297), 0);
    EXPECT_EQ(Qel_SndCmdSub(link_, data.data(), 256), 0);
    EXPECT_TRUE(peer_.Collect(100).empty());
}

TEST_F(QelExchange, ReceivesAReplyOf16DataBytes)
{
    Bytes data(16);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(0xA0 + i);
    const Bytes reply = Block(5, 8, 2, data);
    ASSERT_EQ(reply[0], 0x10);
    int verdict = 0;
    peer_.Play([&](PtyPeer& p) { verdict = OfferBlock(p, reply); });
    int16_t address = -1, cmd = -1, mode = -1, n = -1;
    Bytes out(QEL_RCV_DATA_MAX, 0xEE);
    ASSERT_EQ(Qel_RcvCmd2(link_, &address, &cmd, &mode, out.data(), &n), 1);
    peer_.Join();
    EXPECT_EQ(verdict, ACK);
    EXPECT_EQ(n, 16);
    EXPECT_EQ(address, 5);
    EXPECT_EQ(cmd, 8);
    EXPECT_EQ(mode, 2);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), out.begin()));
    EXPECT_EQ(out[16], 0xEE) << "no more than n bytes are handed back";
}

TEST_F(QelExchange, BadChecksumIsNakedAndTheRepeatIsRead)
{
    const Bytes good = Block(0, 2, 0, {0x10, 0x20, 0x00});
    Bytes bad = good;
    bad.back() ^= 0x01;
    int first = 0, second = 0;
    peer_.Play([&](PtyPeer& p) {
        p.Send({0x41, 0x0D, ACK});  // junk before the ENQ is skipped
        first = OfferBlock(p, bad);
        second = OfferBlock(p, good);
    });
    int16_t address = -1, cmd = -1, mode = -1, n = -1;
    uint8_t out[QEL_RCV_DATA_MAX];
    ASSERT_EQ(Qel_RcvCmd2(link_, &address, &cmd, &mode, out, &n), 1);
    peer_.Join();
    EXPECT_EQ(first, NAK);
    EXPECT_EQ(second, ACK);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(cmd, 2);
    EXPECT_EQ(out[1], 0x20);
}

TEST_F(QelExchange, NoEnqFailsAfterT2WithOutputsUntouchedAndNothingSent)
{
    int16_t address = 9, cmd = 9, mode = 9, n = 9;
    uint8_t out[QEL_RCV_DATA_MAX] = {0x5A};
    const Stopwatch watch;
    EXPECT_EQ(Qel_RcvCmd2(link_, &address, &cmd, &mode, out, &n), 0);
    EXPECT_GE(watch.Ms(), kT2);
    EXPECT_LT(watch.Ms(), kT2 + 40.0);
    EXPECT_EQ(address + cmd + mode + n, 36);
    EXPECT_EQ(out[0], 0x5A);
    EXPECT_TRUE(peer_.Collect(50).empty());
}

TEST_F(QelExchange, MissingOrShortBodyIsNaked)
{
    uint8_t block[QEL_RCV_BLOCK_SIZE];
    // Silent after the grant: NAK once N does not come.
    peer_.Play([](PtyPeer& p) { p.Send({ENQ}); });
    EXPECT_EQ(Qel_RcvCmdSub(link_, block), 0);
    peer_.Join();
    EXPECT_EQ(peer_.Collect(50), (Bytes{EOT, NAK}));

    // N announces 5 data bytes but only 3 come.
    peer_.Play([](PtyPeer& p) {
        p.Send({ENQ});
        if (p.Get(1000) == EOT)
            p.Send({0x05, 0x00, 0x01, 0x11, 0x22, 0x33});
    });
    const Stopwatch watch;
    EXPECT_EQ(Qel_RcvCmdSub(link_, block), 0);
    EXPECT_GE(watch.Ms(), kT1);
    peer_.Join();
    EXPECT_EQ(peer_.Collect(50), (Bytes{NAK}));
}

TEST_F(QelExchange, NakedRepeatsAreBounded)
{
    Bytes bad = Block(0, 2, 0, {0x00});
    bad.back() ^= 0xFF;
    int naks = 0;
    peer_.Play([&](PtyPeer& p) {
        for (int i = 0; i < 30 && OfferBlock(p, bad) == NAK; ++i)
            ++naks;
    });
    uint8_t block[QEL_RCV_BLOCK_SIZE];
    EXPECT_EQ(Qel_RcvCmd(link_, block), 0);
    peer_.Join();
    EXPECT_EQ(naks, 11) << "the first try and ten repetitions";
}

TEST_F(QelExchange, ExtendedBlocksCarryTheirWholeBody)
{
    for (const auto& [marker, size] : {std::pair{0xFF, 1004}, std::pair{0xFC, 4004}}) {
        SCOPED_TRACE(marker);
        // Address, command byte, size - 3 data bytes whose last is the status, checksum.
        Bytes rest{0x00, 0x3A};
        for (int i = 0; i < size - 3; ++i)
            rest.push_back(static_cast<uint8_t>(i * 13));
        const Bytes reply = RawBlock(static_cast<uint8_t>(marker), rest);
        ASSERT_EQ(reply.size(), static_cast<size_t>(size) + 1);

        Bytes bad = reply;
        bad[500] ^= 0x40;
        int first = 0, second = 0;
        peer_.Play([&](PtyPeer& p) {
            first = OfferBlock(p, bad);
            second = OfferBlock(p, reply);
        });
        int16_t address = -1, cmd = -1, mode = -1, n = -1;
        Bytes out(QEL_RCV_DATA_MAX + 1, 0xEE);
        ASSERT_EQ(Qel_RcvCmd2(link_, &address, &cmd, &mode, out.data(), &n), 1);
        peer_.Join();
        EXPECT_EQ(first, NAK);
        EXPECT_EQ(second, ACK);
        EXPECT_EQ(n, size - 3);
        EXPECT_EQ(cmd, 10);
        EXPECT_EQ(mode, 3);
        EXPECT_TRUE(std::equal(out.begin(), out.begin() + n, reply.begin() + 3));
        EXPECT_EQ(out[static_cast<size_t>(n)], 0xEE);
    }
}

TEST_F(QelExchange, SndRcvDrainsThenSendsAndReceives)
{
    peer_.Send({0x33, 0x34, ACK});  // late bytes of an earlier exchange
    Bytes request;
    int verdict = 0;
    peer_.Play([&](PtyPeer& p) {
        request = TakeBlock(p, 5, ACK);
        verdict = OfferBlock(p, Block(1, 8, 2, {0x01, 0x02, 0x03, 0x00}));
    });
    int16_t address = 1, cmd = 8, mode = 2, n = 1;
    uint8_t data[QEL_RCV_DATA_MAX] = {0x07};
    ASSERT_EQ(Qel_SndRcv(link_, &address, &cmd, &mode, data, &n), 1);
    peer_.Join();
    EXPECT_EQ(request, Block(1, 8, 2, {0x07}));
    EXPECT_EQ(verdict, ACK);
    EXPECT_EQ(n, 4);
    EXPECT_EQ(data[2], 0x03);
}

TEST_F(QelExchange, SndEnqLeavesTheT1TimeOutsInForce)
{
    peer_.Play([](PtyPeer& p) {
        if (p.Get(1000) == ENQ)
            p.Send({EOT});
    });
    EXPECT_EQ(Qel_SndEnq(link_), 1);
    peer_.Join();
    const Stopwatch watch;
    EXPECT_EQ(Qel_GetChr(link_), -1);
    EXPECT_GE(watch.Ms(), kT1);
    EXPECT_LT(watch.Ms(), kT1 + 30.0);
}

}  // namespace
