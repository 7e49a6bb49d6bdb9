// The simulated amplifier on its own, driven byte by byte by a raw client on the pty, so that the bench the
// link tests stand on is itself checked against the protocol rather than against the link library.
#include "ampsim.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

using namespace ampsim;
using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

namespace {

// The PC side of the line, by hand.
class Client {
  public:
    explicit Client(const std::string& path) {
        fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ < 0) throw std::runtime_error("open " + path);
        termios t{};
        ::tcgetattr(fd_, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(fd_, TCSANOW, &t);
    }
    ~Client() { ::close(fd_); }

    void put(const Bytes& b) { ASSERT_EQ(::write(fd_, b.data(), b.size()), static_cast<ssize_t>(b.size())); }

    // Up to n bytes, as many as come before timeout.
    Bytes get(size_t n, milliseconds timeout = 500ms) {
        Bytes out;
        auto deadline = Clock::now() + timeout;
        while (out.size() < n) {
            auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) break;
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
            uint8_t buf[512];
            ssize_t r = ::read(fd_, buf, std::min(sizeof buf, n - out.size()));
            if (r > 0) out.insert(out.end(), buf, buf + r);
        }
        return out;
    }

    // The whole request handshake; returns the simulator's answer byte (or -1).
    int request(const Bytes& block) {
        put({kEnq});
        Bytes eot = get(1);
        if (eot != Bytes{kEot}) return -2;
        put(block);
        Bytes a = get(1);
        return a.empty() ? -1 : a[0];
    }

    // Reply side: waits for the ENQ, grants with EOT and reads a block of the given length.
    Bytes reply(size_t length, milliseconds timeout = 500ms) {
        if (get(1, timeout) != Bytes{kEnq}) return {};
        put({kEot});
        return get(length, timeout);
    }

  private:
    int fd_ = -1;
};

Simulator::Options opts(std::vector<int> addresses = {0}) {
    Simulator::Options o;
    o.port = 77;
    o.addresses = std::move(addresses);
    return o;
}

Bytes fromPc(const std::vector<WireByte>& wire, bool pc) {
    Bytes out;
    for (const auto& w : wire)
        if (w.fromPc == pc) out.push_back(w.byte);
    return out;
}

} // namespace

TEST(Codec, WorkedBlocks) {
    EXPECT_EQ(encodeBlock(0, 0, 0, {}), (Bytes{0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(encodeBlock(1, 8, 2, {}), (Bytes{0x00, 0x01, 0x28, 0xD7})); // mode high, command low
    EXPECT_EQ(encodeBlock(0, 1, 7, {0x01}), (Bytes{0x01, 0x00, 0x71, 0x01, 0x8D}));
    EXPECT_EQ(encodeBlock(0, 8, 1, {0x05, 0xFE, 0xFF}), (Bytes{0x03, 0x00, 0x18, 0x05, 0xFE, 0xFF, 0xE3}));
    EXPECT_EQ(encodeBlock(0, 1, 4, {0x18, 0x01, 0x5E, 0x01, 0xB4, 0x00, 0xC8, 0x00, 0x64, 0x00}),
              (Bytes{0x0A, 0x00, 0x41, 0x18, 0x01, 0x5E, 0x01, 0xB4, 0x00, 0xC8, 0x00, 0x64, 0x00, 0x5D}));
    EXPECT_EQ(encodeBlock(5, 11, 0, {0x05, 0x00, 0x00}), (Bytes{0x03, 0x05, 0x0B, 0x05, 0x00, 0x00, 0xE8}));
}

TEST(Codec, ExtendedAndOversizedBlocks) {
    Bytes data(1001, 0xA5);
    Bytes b = encodeBlock(3, 3, 10, data);
    ASSERT_EQ(b.size(), 1005u);
    EXPECT_EQ(b[0], 0xFF);
    EXPECT_EQ(extendedSize(b[0]), b.size() - 1);
    EXPECT_EQ(b[1], 3);
    EXPECT_EQ(b[2], 0xA3);
    EXPECT_EQ(checksum(b.data(), b.size()), 0);
    EXPECT_EQ(encodeBlock(0, 0, 0, Bytes(4001)).front(), 0xFC);
    EXPECT_EQ(encodeBlock(0, 0, 0, Bytes(255)).front(), 255);
    EXPECT_THROW(encodeBlock(0, 0, 0, Bytes(256)), std::length_error);
    EXPECT_EQ(extendedSize(0xFB), 0u);
}

TEST(Simulator, PublishesItsPtyAndWithdrawsIt) {
    std::string path;
    {
        Simulator sim(opts());
        path = sim.devicePath();
        ASSERT_NE(std::getenv("QEL_COM77"), nullptr);
        EXPECT_EQ(path, std::getenv("QEL_COM77"));
        EXPECT_EQ(path.rfind("/dev/pts/", 0), 0u);
    }
    EXPECT_EQ(std::getenv("QEL_COM77"), nullptr);
}

TEST(Simulator, AnswersARequestAndRepliesThroughTheHandler) {
    Simulator sim(opts({5}));
    sim.setHandler([](const Request& rq) -> std::optional<Bytes> {
        return Bytes{static_cast<uint8_t>(rq.address), 0, 0};
    });
    Client pc(sim.devicePath());

    ASSERT_EQ(pc.request({0x01, 0x05, 0x0B, 0x00, 0xEF}), kAck);
    EXPECT_EQ(pc.reply(7), (Bytes{0x03, 0x05, 0x0B, 0x05, 0x00, 0x00, 0xE8}));
    pc.put({kAck});

    ASSERT_TRUE(sim.waitIdle(1s));
    auto log = sim.requests();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].raw, (Bytes{0x01, 0x05, 0x0B, 0x00, 0xEF}));
    EXPECT_EQ(log[0].address, 5);
    EXPECT_EQ(log[0].cmd, 11);
    EXPECT_EQ(log[0].mode, 0);
    EXPECT_EQ(log[0].data, Bytes{0x00});
    EXPECT_TRUE(log[0].sumOk);
    EXPECT_EQ(log[0].answer, Answer::Ack);
    // The transcript holds both directions in order.
    EXPECT_EQ(fromPc(sim.wire(), true), (Bytes{kEnq, 0x01, 0x05, 0x0B, 0x00, 0xEF, kEot, kAck}));
    EXPECT_EQ(fromPc(sim.wire(), false).front(), kEot);
}

TEST(Simulator, DefaultReplyIsAStatusByteAndNoReplyIsHonoured) {
    Simulator sim(opts({0, 1}));
    Client pc(sim.devicePath());
    ASSERT_EQ(pc.request({0x00, 0x00, 0x00, 0x00}), kAck);
    EXPECT_EQ(pc.reply(5), (Bytes{0x01, 0x00, 0x00, 0x00, 0xFF}));
    pc.put({kAck});

    // A handler for address 1 only, sending nothing back: ACK and then silence.
    sim.setHandler([](const Request&) { return std::optional<Bytes>{}; }, 1);
    ASSERT_EQ(pc.request({0x00, 0x01, 0x28, 0xD7}), kAck);
    EXPECT_TRUE(pc.get(1, 150ms).empty());
    // Address 0 still has the default.
    ASSERT_EQ(pc.request({0x00, 0x00, 0x28, 0xD8}), kAck);
    EXPECT_EQ(pc.reply(5), (Bytes{0x01, 0x00, 0x28, 0x00, 0xD7}));

    // A reply of 252 bytes would start with an extended marker: it is never sent.
    sim.setHandler([](const Request&) { return std::optional<Bytes>{Bytes(252)}; });
    ASSERT_EQ(pc.request({0x00, 0x00, 0x28, 0xD8}), kAck);
    EXPECT_TRUE(pc.get(1, 150ms).empty());
}

TEST(Simulator, RefusesBadBlocksAndIgnoresAbsentAddresses) {
    Simulator sim(opts({0, 1}));
    sim.setTiming({50ms, 300ms, 2});
    Client pc(sim.devicePath());

    EXPECT_EQ(pc.request({0x00, 0x01, 0x28, 0xD6}), kNak); // checksum one off
    EXPECT_EQ(pc.request({0x02, 0x01, 0x28, 0x00}), kNak); // two data bytes and the sum never come
    EXPECT_EQ(pc.request({}), kNak);                       // no block at all after the EOT
    EXPECT_EQ(pc.request({0x00, 0x03, 0x28, 0xD5}), -1);   // address 3 is not on the line
    EXPECT_TRUE(pc.get(1, 100ms).empty());                 // and gets no reply either

    auto log = sim.requests();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_TRUE(log[0].complete);
    EXPECT_FALSE(log[0].sumOk);
    EXPECT_EQ(log[0].answer, Answer::Nak);
    EXPECT_FALSE(log[1].complete);
    EXPECT_EQ(log[1].raw, (Bytes{0x02, 0x01, 0x28, 0x00}));
    EXPECT_EQ(log[1].data, (Bytes{0x00}));
    EXPECT_EQ(log[1].answer, Answer::Nak);
    EXPECT_TRUE(log[2].raw.empty());
    EXPECT_EQ(log[2].address, -1);
    EXPECT_EQ(log[2].answer, Answer::Nak);
    EXPECT_TRUE(log[3].sumOk);
    EXPECT_EQ(log[3].address, 3);
    EXPECT_EQ(log[3].answer, Answer::None);

    // With nobody on the line not even the EOT comes.
    sim.setAddresses({});
    EXPECT_EQ(pc.request({0x00, 0x00, 0x00, 0x00}), -2);
}

TEST(Simulator, RepeatsANakedReplyAndGivesUp) {
    Simulator sim(opts());
    sim.setTiming({50ms, 200ms, 3});
    Client pc(sim.devicePath());
    ASSERT_EQ(pc.request({0x00, 0x00, 0x00, 0x00}), kAck);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(pc.reply(5), (Bytes{0x01, 0x00, 0x00, 0x00, 0xFF})) << "try " << i;
        pc.put({kNak});
    }
    EXPECT_TRUE(pc.get(1, 300ms).empty());
    EXPECT_TRUE(sim.waitIdle(1s));

    // A reply that is never granted is offered again after the wait, then dropped.
    ASSERT_EQ(pc.request({0x00, 0x00, 0x00, 0x00}), kAck);
    EXPECT_EQ(pc.get(5, 700ms), (Bytes{kEnq, kEnq, kEnq}));
}

TEST(Simulator, AnEnqDuringAReplyStartsANewRequest) {
    Simulator sim(opts());
    Client pc(sim.devicePath());
    ASSERT_EQ(pc.request({0x00, 0x00, 0x00, 0x00}), kAck);
    ASSERT_EQ(pc.get(1), Bytes{kEnq});
    // The PC ignores the reply and sends its next request.
    ASSERT_EQ(pc.request({0x00, 0x00, 0x28, 0xD8}), kAck);
    EXPECT_EQ(pc.reply(5), (Bytes{0x01, 0x00, 0x28, 0x00, 0xD7}));
    EXPECT_EQ(sim.requests().size(), 2u);
}

TEST(Simulator, InjectsRequestSideFaults) {
    Simulator sim(opts());
    sim.setTiming({50ms, 300ms, 2});
    Client pc(sim.devicePath());
    const Bytes ping{0x00, 0x00, 0x00, 0x00};

    // Silence: the first ENQ is ignored, the second granted.
    sim.inject(Fault::silence());
    pc.put({kEnq});
    EXPECT_TRUE(pc.get(1, 100ms).empty());
    EXPECT_EQ(pc.request(ping), kAck);
    pc.reply(5);
    pc.put({kAck});

    // NAK of a good block, twice, then ACK.
    sim.inject(Fault::nakRequest(2));
    EXPECT_EQ(pc.request(ping), kNak);
    EXPECT_EQ(pc.request(ping), kNak);
    EXPECT_EQ(pc.request(ping), kAck);
    pc.reply(5);
    pc.put({kAck});

    // Junk before the EOT and before the ACK, then the control byte itself.
    Fault junk = Fault::junkBefore(Phase::Eot);
    junk.junk = {0x0A, 0x0D, 0x11, 0x13};
    sim.inject(junk);
    sim.inject(Fault::junkBefore(Phase::Ack));
    pc.put({kEnq});
    EXPECT_EQ(pc.get(5), (Bytes{0x0A, 0x0D, 0x11, 0x13, kEot}));
    pc.put(ping);
    EXPECT_EQ(pc.get(7), (Bytes{0x00, 0x0A, 0x0D, 0x11, 0x13, 0xFF, kAck}));
    pc.reply(5);
    pc.put({kAck});

    // A delayed EOT and a request that is never acknowledged.
    sim.inject(Fault::delayBefore(Phase::Eot, 120ms));
    sim.inject(Fault::silence(Phase::Ack));
    auto t0 = Clock::now();
    pc.put({kEnq});
    EXPECT_EQ(pc.get(1), Bytes{kEot});
    EXPECT_GE(Clock::now() - t0, 120ms);
    pc.put(ping);
    EXPECT_TRUE(pc.get(1, 100ms).empty());
    EXPECT_EQ(sim.faultsLeft(), 0u);
    ASSERT_TRUE(sim.waitIdle(1s));
    EXPECT_EQ(sim.requests().back().answer, Answer::None);
}

TEST(Simulator, InjectsReplySideFaults) {
    Simulator sim(opts({2}));
    sim.setTiming({50ms, 300ms, 3});
    sim.setHandler([](const Request&) { return std::optional<Bytes>{{0x10, 0x20, 0x00}}; });
    Client pc(sim.devicePath());
    const Bytes ask{0x00, 0x02, 0x35, 0xC9};
    const Bytes good{0x03, 0x02, 0x35, 0x10, 0x20, 0x00, 0x96};

    ASSERT_EQ(pc.request(ask), kAck);
    EXPECT_EQ(pc.reply(7), good);
    pc.put({kAck});

    // Bad checksum once: the repeat after the NAK is good.
    sim.inject(Fault::badSum());
    ASSERT_EQ(pc.request(ask), kAck);
    Bytes bad = good;
    bad.back() += 1;
    EXPECT_EQ(pc.reply(7), bad);
    pc.put({kNak});
    EXPECT_EQ(pc.reply(7), good);
    pc.put({kAck});

    // Short by two bytes, once.
    sim.inject(Fault::shortReply(2));
    ASSERT_EQ(pc.request(ask), kAck);
    EXPECT_EQ(pc.reply(7, 150ms), Bytes(good.begin(), good.end() - 2));
    pc.put({kNak});
    EXPECT_EQ(pc.reply(7), good);
    pc.put({kAck});

    // Wrong address and a bad status byte hold for the whole reply, repeats included.
    sim.inject(Fault::wrongAddress(9));
    sim.inject(Fault::badStatus(0x38));
    ASSERT_EQ(pc.request(ask), kAck);
    Bytes odd = encodeBlock(9, 5, 3, {0x10, 0x20, 0x38});
    EXPECT_EQ(pc.reply(7), odd);
    pc.put({kNak});
    EXPECT_EQ(pc.reply(7), odd);
    pc.put({kAck});

    // Junk and a delay before the reply's ENQ; silence instead of the reply block.
    sim.inject(Fault::junkBefore(Phase::ReplyEnq));
    sim.inject(Fault::delayBefore(Phase::ReplyEnq, 100ms));
    ASSERT_EQ(pc.request(ask), kAck);
    auto t0 = Clock::now();
    EXPECT_EQ(pc.get(7), (Bytes{0x00, 0x0A, 0x0D, 0x11, 0x13, 0xFF, kEnq}));
    // The delay starts when the simulator sent its ACK, a little before t0.
    EXPECT_GE(Clock::now() - t0, 80ms);
    pc.put({kEot});
    EXPECT_EQ(pc.get(7), good);
    pc.put({kAck});

    sim.inject(Fault::silence(Phase::ReplyBlock));
    ASSERT_EQ(pc.request(ask), kAck);
    ASSERT_EQ(pc.get(1), Bytes{kEnq});
    pc.put({kEot});
    EXPECT_TRUE(pc.get(1, 200ms).empty());
    EXPECT_EQ(pc.reply(7), good); // offered again once the ACK wait has run out
    pc.put({kAck});
}

TEST(Simulator, FaultsThatAlwaysApplyNeverRunOut) {
    Simulator sim(opts());
    sim.setTiming({50ms, 300ms, 2});
    Client pc(sim.devicePath());
    sim.inject(Fault::nakRequest(kAlways));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(pc.request({0x00, 0x00, 0x00, 0x00}), kNak);
    EXPECT_EQ(sim.faultsLeft(), 1u);
    sim.clearFaults();
    EXPECT_EQ(pc.request({0x00, 0x00, 0x00, 0x00}), kAck);
}

TEST(Simulator, PacesBytesAtTheBitRate) {
    Simulator sim(opts());
    sim.setPacing(true, 9600); // 1.04 ms a byte
    sim.setHandler([](const Request&) { return std::optional<Bytes>{Bytes(60, 0x11)}; });
    Client pc(sim.devicePath());

    auto t0 = Clock::now();
    pc.put({kEnq});
    ASSERT_EQ(pc.get(1), Bytes{kEot});
    EXPECT_GE(Clock::now() - t0, 2000us); // the ENQ in, the EOT out
    t0 = Clock::now();
    pc.put(Bytes(4, 0x00));
    ASSERT_EQ(pc.get(1), Bytes{kAck});
    EXPECT_GE(Clock::now() - t0, 5000us);
    ASSERT_EQ(pc.get(1), Bytes{kEnq});
    pc.put({kEot});
    t0 = Clock::now();
    Bytes reply = pc.get(64);
    auto took = Clock::now() - t0;
    ASSERT_EQ(reply.size(), 64u);
    EXPECT_EQ(reply, encodeBlock(0, 0, 0, Bytes(60, 0x11)));
    EXPECT_GE(took, 64 * 1000us); // the EOT's own byte time comes on top
    EXPECT_LT(took, 64 * 1000us + 250ms);
    // The transcript carries the line times: 64 bytes, one byte time apart.
    auto w = sim.wire();
    std::vector<Clock::time_point> out;
    for (const auto& b : w)
        if (!b.fromPc) out.push_back(b.at);
    ASSERT_GE(out.size(), 64u);
    auto span = out.back() - out[out.size() - 64];
    EXPECT_GE(span, 63 * 1041us);
    EXPECT_LT(span, 63 * 1042us + 150ms);
}
