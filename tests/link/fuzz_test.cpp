// The exchange over a scripted line: the time-outs of each phase, and a bounded random test of the
// block receiver with arbitrary byte streams (the sanitizer build checks that it stays in its buffers).
#include "link/exchange.h"
#include "link/frame.h"
#include "link/qel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using qel::Timeouts;

// A line whose input is a fixed stream: reads take what is left, and running dry is a time-out.
class ScriptLine : public qel::Line {
public:
    explicit ScriptLine(Bytes input) : input_(std::move(input)) {}

    void SetTimeouts(const Timeouts& t) override { timeouts.push_back({t.interval, t.multiplier, t.constant}); }
    int Read(uint8_t* buf, int n) override
    {
        ++reads;
        const int take = std::min(n, static_cast<int>(input_.size() - pos_));
        std::copy_n(input_.begin() + static_cast<long>(pos_), take, buf);
        pos_ += static_cast<size_t>(take);
        return take;
    }
    int Write(const uint8_t* buf, int n) override
    {
        written.insert(written.end(), buf, buf + n);
        return n;
    }
    size_t Consumed() const { return pos_; }
    bool Pending() override { return pending; }

    std::vector<std::tuple<uint32_t, uint32_t, uint32_t>> timeouts;
    Bytes written;
    bool pending = true;
    int reads = 0;

private:
    Bytes input_;
    size_t pos_ = 0;
};

Bytes Framed(uint8_t n, const Bytes& rest)
{
    Bytes b{n};
    b.insert(b.end(), rest.begin(), rest.end());
    b.push_back(qel::Checksum(b.data(), b.size()));
    return b;
}

const qel::Waits kWaits{111, 222, 3};

TEST(QelExchangePhases, EachWaitUsesItsTimeOut)
{
    ScriptLine send({0x41, qel::EOT, qel::ACK});
    const Bytes request{0x00, 0x01, 0x28, 0xD7};
    EXPECT_EQ(qel::SendTry(send, kWaits, request.data(), 0), 1);
    EXPECT_EQ(send.timeouts, (decltype(send.timeouts){{111, 3, 111}, {222, 3, 222}}));
    EXPECT_EQ(send.written, (Bytes{qel::ENQ, 0x00, 0x01, 0x28, 0xD7}));

    Bytes reply{0x41, qel::ENQ};
    const Bytes block = Framed(2, {0x00, 0x28, 0x01, 0x00});
    reply.insert(reply.end(), block.begin(), block.end());
    ScriptLine receive(reply);
    Bytes got(QEL_RCV_BLOCK_SIZE);
    EXPECT_EQ(qel::ReceiveTry(receive, kWaits, got.data()), 1);
    EXPECT_EQ(receive.timeouts, (decltype(receive.timeouts){{222, 3, 222}, {111, 3, 111}}));
    EXPECT_EQ(receive.written, (Bytes{qel::EOT, qel::ACK}));
    EXPECT_TRUE(std::equal(block.begin(), block.end(), got.begin()));

    ScriptLine drain(Bytes(3, 0x20));
    EXPECT_EQ(qel::Drain(drain, 3), 1);
    EXPECT_EQ(drain.timeouts, (decltype(drain.timeouts){{1, 3, 1}}));
    EXPECT_EQ(drain.Consumed(), 3u);
    EXPECT_EQ(drain.reads, 4) << "until one read came back empty";

    ScriptLine quiet({});
    quiet.pending = false;
    EXPECT_EQ(qel::Drain(quiet, 3), 1);
    EXPECT_EQ(quiet.timeouts, (decltype(quiet.timeouts){{1, 3, 1}})) << "the short time-outs, all the same";
    EXPECT_EQ(quiet.reads, 0) << "a quiet line is not read";
}

// Streams that look like replies often enough to reach every branch of the receiver.
Bytes RandomStream(std::mt19937& rng)
{
    auto byte = [&] { return static_cast<uint8_t>(rng() & 0xFF); };
    Bytes s;
    const int junk = static_cast<int>(rng() % 8);
    for (int i = 0; i < junk; ++i)
        s.push_back(byte());
    const unsigned kind = rng() % 4;
    if (kind == 0) {  // anything at all, long enough to pass the skip bound sometimes
        const size_t len = rng() % 6000;
        for (size_t i = 0; i < len; ++i)
            s.push_back(byte());
        return s;
    }
    s.push_back(qel::ENQ);
    const uint8_t n = kind == 1 ? byte() : static_cast<uint8_t>(0xFC + rng() % 4);
    Bytes rest(static_cast<size_t>(qel::BodyLength(n)) - 1);
    for (auto& c : rest)
        c = byte();
    Bytes block = Framed(n, rest);
    // Cut, corrupt or leave it whole, then maybe follow it with more.
    if (rng() % 3 == 0)
        block.resize(rng() % block.size());
    if (!block.empty() && rng() % 3 == 0)
        block[rng() % block.size()] ^= static_cast<uint8_t>(1 + rng() % 255);
    s.insert(s.end(), block.begin(), block.end());
    if (rng() % 2)
        for (int i = 0; i < 20; ++i)
            s.push_back(byte());
    return s;
}

TEST(QelBlockReceiverFuzz, ArbitraryStreamsNeitherCrashNorLeaveTheirBuffers)
{
    std::mt19937 rng(20240613);
    int accepted = 0;
    for (int round = 0; round < 20000; ++round) {
        const Bytes stream = RandomStream(rng);
        ScriptLine line(stream);
        // Exactly the size the callers promise, so that any overrun is caught by the sanitizer.
        Bytes block(QEL_RCV_BLOCK_SIZE);
        const int r = qel::Receive(line, kWaits, block.data());
        ASSERT_TRUE(r == 0 || r == 1);
        ASSERT_LE(line.Consumed(), stream.size());
        for (uint8_t c : line.written)
            ASSERT_TRUE(c == qel::EOT || c == qel::ACK || c == qel::NAK) << int(c);
        if (r == 1) {
            ++accepted;
            ASSERT_EQ(line.written.back(), qel::ACK);
            ASSERT_EQ(qel::CarriedSum(block.data()), qel::ExpectedSum(block.data()));
            const qel::BlockFields f = qel::SplitBlock(block.data());
            ASSERT_LE(f.n, QEL_RCV_DATA_MAX);
            ASSERT_LE(f.data + f.n, block.data() + block.size());
        }
    }
    EXPECT_GT(accepted, 1500) << "the streams reach the success path often";
}

}  // namespace
