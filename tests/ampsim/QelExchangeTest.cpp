// The link library's block exchange against the simulated amplifier through a real pty: good exchanges,
// then every fault the simulator can inject, checked on the results, the timing and the request log.
#include "ampsim.h"
#include "qel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

using namespace ampsim;
using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

namespace {

constexpr int kPort = 61;
constexpr uint32_t kT1 = 100;
constexpr uint32_t kT2 = 300;

// What Qel_RcvCmd2 / Qel_SndRcv hand back; the sentinels show whether the outputs were touched.
struct Got {
    int16_t result = -9;
    int16_t address = -7, cmd = -7, mode = -7, n = -7;
    Bytes data = Bytes(QEL_RCV_DATA_MAX, 0xEE);
    bool untouched() const { return address == -7 && cmd == -7 && mode == -7 && n == -7 && data[0] == 0xEE; }
    Bytes payload() const { return n > 0 ? Bytes(data.begin(), data.begin() + n) : Bytes{}; }
};

double msSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

class QelExchange : public ::testing::Test {
  protected:
    static Simulator::Options options() {
        Simulator::Options o;
        o.port = kPort;
        o.addresses = {0, 1};
        return o;
    }

    void SetUp() override {
        sim.setTiming({100ms, 500ms, 3});
        link = Qel_Open(kPort, 38400);
        ASSERT_NE(link, 0u) << "cannot open " << sim.devicePath();
        Qel_SetT1(link, kT1);
        Qel_SetT2(link, kT2);
    }
    void TearDown() override {
        if (link) Qel_Close(&link);
    }

    Got receive() {
        Got g;
        g.result = Qel_RcvCmd2(link, &g.address, &g.cmd, &g.mode, g.data.data(), &g.n);
        return g;
    }
    Got sndRcv(int16_t address, int16_t cmd, int16_t mode, const Bytes& data) {
        Got g;
        g.address = address, g.cmd = cmd, g.mode = mode, g.n = static_cast<int16_t>(data.size());
        std::copy(data.begin(), data.end(), g.data.begin());
        g.result = Qel_SndRcv(link, &g.address, &g.cmd, &g.mode, g.data.data(), &g.n);
        return g;
    }

    // Bytes the PC put on the line, in order.
    Bytes fromPc() const {
        Bytes out;
        for (const auto& w : sim.wire())
            if (w.fromPc) out.push_back(w.byte);
        return out;
    }
    size_t pcSent(uint8_t byte) const {
        Bytes b = fromPc();
        return static_cast<size_t>(std::count(b.begin(), b.end(), byte));
    }

    Simulator sim{options()};
    uint32_t link = 0;
};

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

} // namespace

TEST_F(QelExchange, RequestAndReplyHaveTheExactBytes) {
    ASSERT_EQ(Qel_SndCmd2(link, 1, 8, 2, nullptr, 0), 1);
    Got g = receive();
    ASSERT_EQ(g.result, 1);
    EXPECT_EQ(g.address, 1);
    EXPECT_EQ(g.cmd, 8);
    EXPECT_EQ(g.mode, 2);
    EXPECT_EQ(g.payload(), Bytes{0x00});
    ASSERT_TRUE(sim.waitIdle(1s));
    // ENQ, the block, then the EOT for the reply and its ACK: nothing else, nothing twice.
    EXPECT_EQ(fromPc(), (Bytes{kEnq, 0x00, 0x01, 0x28, 0xD7, kEot, kAck}));

    const uint8_t one = 0x01;
    sim.clearLog();
    ASSERT_EQ(Qel_SndCmd2(link, 0, 1, 7, &one, 1), 1);
    ASSERT_EQ(receive().result, 1);
    auto log = sim.requests();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].raw, (Bytes{0x01, 0x00, 0x71, 0x01, 0x8D}));
}

TEST_F(QelExchange, DataOfEveryLengthAndValuePassesBothWays) {
    // The reply is the request's data reversed, then a status byte.
    sim.setHandler([](const Request& rq) {
        Bytes r(rq.data.rbegin(), rq.data.rend());
        r.push_back(0x00);
        return std::optional<Bytes>{r};
    });
    // Control bytes inside the data must cross the line untouched both ways.
    const Bytes controls{0x0A, 0x0D, 0x11, 0x13, kEnq, kEot, kAck, kNak, 0x00, 0xFF};
    Got g = sndRcv(1, 3, 6, controls);
    ASSERT_EQ(g.result, 1);
    EXPECT_EQ(g.address, 1);
    EXPECT_EQ(g.cmd, 3);
    EXPECT_EQ(g.mode, 6);
    EXPECT_EQ(g.payload(), concat({Bytes(controls.rbegin(), controls.rend()), {0x00}}));
    EXPECT_EQ(sim.requests().back().data, controls);

    // A reply of N = 0x10 hands back 16 bytes.
    g = sndRcv(0, 2, 0, Bytes(15, 0x33));
    ASSERT_EQ(g.result, 1);
    EXPECT_EQ(g.n, 16);

    // The longest request, and the longest plain reply (a length of 0xFC and up marks an extended block).
    sim.setHandler([](const Request& rq) {
        return std::optional<Bytes>{{rq.data.begin(), rq.data.begin() + 251}};
    });
    Bytes big(255);
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<uint8_t>(i * 7 + 1);
    g = sndRcv(0, 15, 15, big);
    ASSERT_EQ(g.result, 1);
    EXPECT_EQ(g.payload(), Bytes(big.begin(), big.begin() + 251));
    EXPECT_EQ(sim.requests().back().raw.size(), 259u);

    // One byte more does not fit the length byte: refused, and nothing reaches the line.
    ASSERT_TRUE(sim.waitIdle(1s));
    sim.clearLog();
    Bytes tooBig(256, 0x01);
    EXPECT_EQ(Qel_SndCmd2(link, 0, 1, 1, tooBig.data(), 256), 0);
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(sim.wire().empty());
}

TEST_F(QelExchange, ExtendedReplyHandsBackItsWholeData) {
    Bytes wave(1001);
    for (size_t i = 0; i < wave.size(); ++i)
        wave[i] = static_cast<uint8_t>(i ^ (i >> 8));
    sim.setHandler([&](const Request&) { return std::optional<Bytes>{wave}; });
    Got g = sndRcv(0, 3, 10, {0x09});
    ASSERT_EQ(g.result, 1);
    EXPECT_EQ(g.n, 1001);
    EXPECT_EQ(g.payload(), wave);
    EXPECT_EQ(pcSent(kNak), 0u);
}

TEST_F(QelExchange, SilenceFailsAfterTheTimeOuts) {
    // No EOT: every try waits T1, then the next one starts with its own ENQ.
    sim.inject(Fault::silence(Phase::Eot, kAlways));
    auto t0 = Clock::now();
    EXPECT_EQ(Qel_SndCmd2(link, 0, 0, 0, nullptr, 0), 0);
    double took = msSince(t0);
    EXPECT_GE(took, 3 * kT1);
    EXPECT_LT(took, 3 * kT1 + 90);
    EXPECT_EQ(fromPc(), (Bytes{kEnq, kEnq, kEnq}));
    EXPECT_TRUE(sim.requests().empty());

    // With no tries allowed nothing is sent at all.
    sim.clearFaults();
    sim.clearLog();
    Qel_SetRty(link, 0);
    EXPECT_EQ(Qel_SndCmd2(link, 0, 0, 0, nullptr, 0), 0);
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(sim.wire().empty());
    Qel_SetRty(link, 3);

    // A request the amplifier takes without replying: the receive gives up after T2 and leaves the outputs.
    sim.setHandler([](const Request&) { return std::optional<Bytes>{}; });
    ASSERT_EQ(Qel_SndCmd2(link, 0, 0, 0, nullptr, 0), 1);
    t0 = Clock::now();
    Got g = receive();
    took = msSince(t0);
    EXPECT_EQ(g.result, 0);
    EXPECT_TRUE(g.untouched());
    EXPECT_GE(took, kT2);
    EXPECT_LT(took, kT2 + 60);
}

TEST_F(QelExchange, NakedRequestIsSentAgainWithAFreshEnq) {
    const Bytes data{0x12, 0x34};
    const Bytes block{0x02, 0x01, 0x52, 0x12, 0x34, 0x65};
    sim.inject(Fault::nakRequest(2));
    ASSERT_EQ(Qel_SndCmd2(link, 1, 2, 5, data.data(), 2), 1);
    ASSERT_EQ(receive().result, 1);
    auto log = sim.requests();
    ASSERT_EQ(log.size(), 3u);
    for (const auto& rq : log)
        EXPECT_EQ(rq.raw, block);
    EXPECT_EQ(log[0].answer, Answer::Nak);
    EXPECT_EQ(log[1].answer, Answer::Nak);
    EXPECT_EQ(log[2].answer, Answer::Ack);
    ASSERT_TRUE(sim.waitIdle(1s));
    EXPECT_EQ(fromPc(), concat({{kEnq}, block, {kEnq}, block, {kEnq}, block, {kEot, kAck}}));

    // Refused every time: exactly as many tries as allowed.
    sim.clearLog();
    sim.inject(Fault::nakRequest(kAlways));
    Qel_SetRty(link, 5);
    EXPECT_EQ(Qel_SndCmd2(link, 1, 2, 5, data.data(), 2), 0);
    EXPECT_EQ(sim.requests().size(), 5u);
    EXPECT_EQ(pcSent(kEnq), 5u);
}

TEST_F(QelExchange, BadReplyChecksumIsNakedAndReadAgain) {
    sim.setHandler([](const Request&) { return std::optional<Bytes>{{0xA1, 0xB2, 0x00}}; });
    sim.inject(Fault::badSum());
    Got g = sndRcv(1, 4, 1, {});
    ASSERT_EQ(g.result, 1);
    EXPECT_EQ(g.payload(), (Bytes{0xA1, 0xB2, 0x00}));
    ASSERT_TRUE(sim.waitIdle(1s));
    EXPECT_EQ(pcSent(kNak), 1u);
    EXPECT_EQ(pcSent(kEot), 2u);
    EXPECT_EQ(pcSent(kAck), 1u);
    EXPECT_EQ(sim.requests().size(), 1u); // the reply was repeated, not the request

    // Always bad: the receive fails once the amplifier stops repeating, outputs untouched.
    sim.clearLog();
    sim.inject(Fault::badSum(kAlways));
    ASSERT_EQ(Qel_SndCmd2(link, 1, 4, 1, nullptr, 0), 1);
    Got bad = receive();
    EXPECT_EQ(bad.result, 0);
    EXPECT_TRUE(bad.untouched());
    EXPECT_EQ(pcSent(kNak), 3u);
    EXPECT_EQ(pcSent(kAck), 0u);
}

TEST_F(QelExchange, JunkBeforeControlBytesIsSkippedOrFailsTheTry) {
    // Before the EOT and before the reply's ENQ: skipped, one try is enough.
    sim.inject(Fault::junkBefore(Phase::Eot));
    sim.inject(Fault::junkBefore(Phase::ReplyEnq));
    Got g = sndRcv(0, 5, 0, {0x42});
    ASSERT_EQ(g.result, 1);
    EXPECT_EQ(g.payload(), Bytes{0x00});
    EXPECT_EQ(sim.requests().size(), 1u);
    EXPECT_EQ(pcSent(kNak), 0u);

    // Before the ACK: the first byte after the block is not ACK, so that try fails and the block goes again.
    ASSERT_TRUE(sim.waitIdle(1s));
    sim.clearLog();
    sim.inject(Fault::junkBefore(Phase::Ack));
    g = sndRcv(0, 5, 0, {0x42});
    ASSERT_EQ(g.result, 1);
    EXPECT_EQ(g.payload(), Bytes{0x00});
    auto log = sim.requests();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].raw, log[1].raw);
}

TEST_F(QelExchange, ShortReplyIsNakedAfterTheByteGap) {
    sim.inject(Fault::shortReply(2));
    ASSERT_EQ(Qel_SndCmd2(link, 0, 7, 1, nullptr, 0), 1);
    auto t0 = Clock::now();
    Got g = receive();
    ASSERT_EQ(g.result, 1);
    EXPECT_EQ(g.payload(), Bytes{0x00});
    EXPECT_GE(msSince(t0), kT1); // the missing bytes were waited for T1
    ASSERT_TRUE(sim.waitIdle(1s));
    EXPECT_EQ(pcSent(kNak), 1u);
    EXPECT_EQ(pcSent(kAck), 1u);
}

TEST_F(QelExchange, ReplyContentsReachTheCallerAsSent) {
    // The link does not judge addresses or status bytes: the caller sees what came.
    sim.inject(Fault::wrongAddress(9));
    Got g = sndRcv(1, 6, 2, {});
    ASSERT_EQ(g.result, 1);
    EXPECT_EQ(g.address, 9);
    EXPECT_EQ(g.cmd, 6);
    EXPECT_EQ(g.mode, 2);

    sim.inject(Fault::badStatus(0x38));
    g = sndRcv(1, 6, 2, {});
    ASSERT_EQ(g.result, 1);
    EXPECT_EQ(g.address, 1);
    EXPECT_EQ(g.payload(), Bytes{0x38});
}

TEST_F(QelExchange, AbsentAddressOnASharedLineFails) {
    auto t0 = Clock::now();
    EXPECT_EQ(Qel_SndCmd2(link, 4, 11, 0, nullptr, 0), 0);
    double took = msSince(t0);
    EXPECT_GE(took, 3 * kT2); // each try waited T2 for an ACK that never came
    EXPECT_LT(took, 3 * kT2 + 90);
    auto log = sim.requests();
    ASSERT_EQ(log.size(), 3u);
    for (const auto& rq : log) {
        EXPECT_EQ(rq.address, 4);
        EXPECT_EQ(rq.answer, Answer::None);
    }
    // The amplifiers that are there still answer, each with its own address.
    sim.setHandler([](const Request& rq) {
        return std::optional<Bytes>{{static_cast<uint8_t>(rq.address), 0}};
    });
    for (int16_t a : {0, 1}) {
        Got g = sndRcv(a, 11, 0, {0x00});
        ASSERT_EQ(g.result, 1);
        EXPECT_EQ(g.address, a);
        EXPECT_EQ(g.payload(), (Bytes{static_cast<uint8_t>(a), 0x00}));
    }
}

TEST_F(QelExchange, DelaysWithinTheTimeOutsAreWaitedFor) {
    sim.inject(Fault::delayBefore(Phase::Eot, 60ms));         // under T1
    sim.inject(Fault::delayBefore(Phase::Ack, 200ms));        // under T2
    sim.inject(Fault::delayBefore(Phase::ReplyEnq, 200ms));   // under T2
    sim.inject(Fault::delayBefore(Phase::ReplyBlock, 200ms)); // the N under T2
    auto t0 = Clock::now();
    Got g = sndRcv(0, 1, 1, {});
    ASSERT_EQ(g.result, 1);
    EXPECT_GE(msSince(t0), 660);
    EXPECT_EQ(sim.requests().size(), 1u);
    EXPECT_EQ(pcSent(kEnq), 1u);

    // A reply that comes later than T2 is not waited for.
    sim.inject(Fault::delayBefore(Phase::ReplyEnq, 450ms));
    ASSERT_EQ(Qel_SndCmd2(link, 0, 1, 1, nullptr, 0), 1);
    t0 = Clock::now();
    EXPECT_EQ(receive().result, 0);
    EXPECT_LT(msSince(t0), 400);
}

TEST_F(QelExchange, PacedLineNeedsThePerByteAllowance) {
    // At 2400 bit/s a 64-byte reply takes 267 ms on the wire, far beyond T1: the body read must allow
    // T1 between bytes plus 10000 / baud per byte in all.
    Qel_Close(&link);
    link = Qel_Open(kPort, 2400);
    ASSERT_NE(link, 0u);
    Qel_SetT1(link, kT1);
    Qel_SetT2(link, kT2);
    sim.setPacing(true, 2400);
    sim.setHandler([](const Request&) { return std::optional<Bytes>{Bytes(60, 0x5A)}; });
    auto t0 = Clock::now();
    ASSERT_EQ(Qel_SndCmd2(link, 0, 2, 3, nullptr, 0), 1);
    Got g = receive();
    double took = msSince(t0);
    ASSERT_EQ(g.result, 1);
    EXPECT_EQ(g.payload(), Bytes(60, 0x5A));
    // 73 bytes cross the line before the last one arrives (the final ACK comes after): 304 ms.
    EXPECT_GE(took, 73 * 10000.0 / 2400);
    EXPECT_EQ(pcSent(kNak), 0u);
}
