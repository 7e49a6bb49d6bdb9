// The simulated amplifier's line engine: one thread that plays the amplifier side of every exchange.
#include "ampsim.h"

#include <algorithm>
#include <bitset>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <system_error>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace ampsim {
namespace {

constexpr size_t kMaxRequests = 100000;
constexpr size_t kMaxWire = size_t{1} << 20;

// Thrown inside the thread to unwind from any wait once the simulator is being destroyed.
struct Stopped {};

[[noreturn]] void throwErrno(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

timespec toTimespec(Clock::duration d) {
    auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(d).count();
    if (ns < 0) ns = 0;
    return timespec{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
}

bool matches(const Fault& f, Fault::Kind kind, Phase phase) {
    return f.kind == kind && (f.phase == phase || f.phase == Phase::Any || phase == Phase::Any);
}

} // namespace

struct Simulator::Engine {
    Options opt;
    int master = -1;
    int slave = -1; // held open so the master never sees a hang-up between the PC's opens
    int stopPipe[2] = {-1, -1};
    int wakePipe[2] = {-1, -1}; // a block was scheduled: the idle wait looks at its deadline again
    std::string path;
    std::thread thread;

    // Shared with the callers' threads.
    mutable std::mutex mu;
    mutable std::condition_variable changed;
    std::map<int, Handler> handlers;
    LineHandler lineHandler;
    std::bitset<16> present;
    bool pace = false;
    uint32_t baud = 38400;
    Timing timing;
    std::vector<Fault> faults;
    std::deque<Request> log;
    std::deque<WireByte> wireLog;
    bool idle = false;
    struct Scheduled {
        Clock::time_point at;
        Request head; // address, command and mode of the block
        std::vector<uint8_t> data;
    };
    std::vector<Scheduled> scheduled;

    // The thread's own.
    struct Pending {
        uint8_t byte;
        Clock::time_point arrives;
    };
    std::deque<Pending> inbox;
    Clock::time_point rxLine{}, txLine{};
    bool enqPending = false; // an ENQ of the PC cut into a reply of ours

    explicit Engine(Options o) : opt(std::move(o)) {}

    // ---- waiting ------------------------------------------------------------------------------------

    // Sleeps until t (with ns resolution: pacing needs sub-millisecond steps); throws Stopped. A timed
    // sleep wakes some tens of microseconds late, and a paced line sleeps at every byte: the last stretch
    // is waited out awake, so that the line keeps its bit rate instead of the kernel's wake-up latency.
    void sleepUntil(Clock::time_point t) {
        constexpr auto kAwake = std::chrono::microseconds(120);
        for (;;) {
            auto left = t - Clock::now();
            if (left <= Clock::duration::zero()) return;
            if (left <= kAwake) {
                while (Clock::now() < t) {
                }
                return;
            }
            pollfd p{stopPipe[0], POLLIN, 0};
            timespec ts = toTimespec(left - kAwake);
            int r = ppoll(&p, 1, &ts, nullptr);
            if (r > 0) throw Stopped{};
        }
    }

    Clock::duration byteTime() const {
        std::lock_guard lk(mu);
        return std::chrono::nanoseconds(10'000'000'000LL / std::max<uint32_t>(baud, 1));
    }

    bool pacing() const {
        std::lock_guard lk(mu);
        return pace;
    }

    void recordWire(bool fromPc, uint8_t b, Clock::time_point at) {
        if (!opt.keepLog) return;
        std::lock_guard lk(mu);
        if (wireLog.size() >= kMaxWire) wireLog.erase(wireLog.begin(), wireLog.begin() + kMaxWire / 2);
        wireLog.push_back({fromPc, b, at});
    }

    // Next byte from the PC, or -1 when none has arrived by deadline (or, when wakeable, once a block
    // was scheduled). With pacing a byte counts as arrived only once its ten bits would have crossed the
    // line.
    int readByte(Clock::time_point deadline, bool wakeable = false) {
        for (;;) {
            if (!inbox.empty()) {
                Pending p = inbox.front();
                if (p.arrives > deadline) {
                    sleepUntil(deadline);
                    return -1;
                }
                sleepUntil(p.arrives);
                inbox.pop_front();
                return p.byte;
            }
            auto left = deadline - Clock::now();
            if (left <= Clock::duration::zero()) return -1;
            pollfd p[3] = {{master, POLLIN, 0}, {stopPipe[0], POLLIN, 0}, {wakePipe[0], POLLIN, 0}};
            timespec ts = toTimespec(left);
            int r = ppoll(p, 3, &ts, nullptr);
            if (r < 0 && errno != EINTR) throwErrno("ppoll");
            if (r <= 0) continue;
            if (p[1].revents) throw Stopped{};
            if (p[2].revents) {
                char drop[64];
                while (::read(wakePipe[0], drop, sizeof drop) > 0) {
                }
                if (wakeable) return -1;
                if (!(p[0].revents & POLLIN)) continue;
            }
            if (p[0].revents & POLLIN) {
                uint8_t buf[4096];
                ssize_t got = ::read(master, buf, sizeof buf);
                auto now = Clock::now();
                bool paced = pacing();
                auto bt = byteTime();
                for (ssize_t i = 0; i < got; ++i) {
                    Clock::time_point at = now;
                    if (paced) at = rxLine = std::max(rxLine, now) + bt;
                    inbox.push_back({buf[i], at});
                    recordWire(true, buf[i], at);
                }
            } else if (p[0].revents) {
                // Hang-up or error on the master: nothing can come before the deadline.
                sleepUntil(deadline);
            }
        }
    }

    // ---- sending ------------------------------------------------------------------------------------

    void writeAll(const uint8_t* b, size_t n) {
        while (n > 0) {
            ssize_t w = ::write(master, b, n);
            if (w > 0) {
                b += w;
                n -= static_cast<size_t>(w);
                continue;
            }
            if (w < 0 && errno != EAGAIN && errno != EINTR) throwErrno("write to pty");
            pollfd p[2] = {{master, POLLOUT, 0}, {stopPipe[0], POLLIN, 0}};
            if (::poll(p, 2, -1) > 0 && p[1].revents) throw Stopped{};
        }
    }

    // With pacing each byte is handed over when its last bit would have reached the PC. The bytes of one
    // burst follow each other back to back from its start, so a late wake-up delays a byte but never the
    // rest of the burst; whatever is overdue goes out in one write.
    void send(const std::vector<uint8_t>& bytes) {
        if (bytes.empty()) return;
        if (!pacing()) {
            writeAll(bytes.data(), bytes.size());
            auto now = Clock::now();
            for (uint8_t b : bytes)
                recordWire(false, b, now);
            return;
        }
        auto bt = byteTime();
        auto start = std::max(txLine, Clock::now());
        size_t sent = 0;
        while (sent < bytes.size()) {
            sleepUntil(start + bt * static_cast<long>(sent + 1));
            auto now = Clock::now();
            size_t due = sent + 1;
            while (due < bytes.size() && start + bt * static_cast<long>(due + 1) <= now)
                ++due;
            writeAll(bytes.data() + sent, due - sent);
            for (; sent < due; ++sent)
                recordWire(false, bytes[sent], start + bt * static_cast<long>(sent + 1));
        }
        txLine = start + bt * static_cast<long>(bytes.size());
    }

    // ---- faults -------------------------------------------------------------------------------------

    std::optional<Fault> take(Fault::Kind kind, Phase phase) {
        std::lock_guard lk(mu);
        for (auto it = faults.begin(); it != faults.end(); ++it) {
            if (!matches(*it, kind, phase)) continue;
            Fault f = *it;
            if (it->times != kAlways && --it->times <= 0) faults.erase(it);
            return f;
        }
        return std::nullopt;
    }

    // Delay and junk due before the byte of phase; false when that byte is to be left out.
    bool before(Phase phase) {
        if (take(Fault::Silence, phase)) return false;
        if (auto f = take(Fault::Delay, phase)) sleepUntil(Clock::now() + f->delay);
        if (auto f = take(Fault::Junk, phase)) send(f->junk);
        return true;
    }

    // ---- one exchange -------------------------------------------------------------------------------

    Request readBlock() {
        Request rq;
        milliseconds gap;
        {
            std::lock_guard lk(mu);
            gap = timing.byteGap;
        }
        int n = readByte(Clock::now() + gap);
        if (n < 0) {
            rq.at = Clock::now();
            return rq;
        }
        rq.raw.push_back(static_cast<uint8_t>(n));
        size_t total = static_cast<size_t>(n) + 4;
        while (rq.raw.size() < total) {
            int b = readByte(Clock::now() + gap);
            if (b < 0) break;
            rq.raw.push_back(static_cast<uint8_t>(b));
        }
        rq.at = Clock::now();
        if (rq.raw.size() > 1) rq.address = rq.raw[1];
        if (rq.raw.size() > 2) {
            rq.cmd = rq.raw[2] & 15;
            rq.mode = rq.raw[2] >> 4;
        }
        size_t end = std::min(rq.raw.size(), total - 1);
        if (end > 3) rq.data.assign(rq.raw.begin() + 3, rq.raw.begin() + static_cast<long>(end));
        rq.complete = rq.raw.size() == total;
        rq.sumOk = rq.complete && checksum(rq.raw.data(), rq.raw.size()) == 0;
        return rq;
    }

    void record(const Request& rq) {
        if (!opt.keepLog) return;
        std::lock_guard lk(mu);
        if (log.size() >= kMaxRequests) log.pop_front();
        log.push_back(rq);
        changed.notify_all();
    }

    // Serves one request after its ENQ.
    void serveRequest() {
        bool anyone;
        {
            std::lock_guard lk(mu);
            anyone = present.any();
        }
        // An empty line grants nothing; with amplifiers on it the EOT comes before the address is known.
        if (!anyone || !before(Phase::Eot)) return;
        send({kEot});
        Request rq = readBlock();
        bool here;
        {
            std::lock_guard lk(mu);
            here = rq.address >= 0 && rq.address < 16 && present.test(static_cast<size_t>(rq.address));
        }
        if (!rq.sumOk)
            rq.answer = Answer::Nak;
        else if (!here)
            rq.answer = Answer::None; // another amplifier's address: on a shared line nobody answers
        else if (take(Fault::NakRequest, Phase::Ack))
            rq.answer = Answer::Nak;
        else
            rq.answer = Answer::Ack;
        if (rq.answer != Answer::None && !before(Phase::Ack)) rq.answer = Answer::None;
        record(rq);
        if (rq.answer == Answer::None) return;
        send({rq.answer == Answer::Ack ? kAck : kNak});
        if (rq.answer != Answer::Ack) return;

        Handler h;
        {
            std::lock_guard lk(mu);
            auto it = handlers.find(rq.address);
            if (it == handlers.end()) it = handlers.find(-1);
            if (it != handlers.end()) h = it->second;
        }
        std::optional<std::vector<uint8_t>> data = h ? h(rq) : std::vector<uint8_t>{0x00};
        if (data) sendReply(rq, std::move(*data));
    }

    // Waits for one of the PC's control bytes, skipping others. An ENQ means the PC has started a request
    // of its own: the caller drops its reply and serves that instead.
    int awaitControl(Clock::time_point deadline, std::initializer_list<uint8_t> wanted) {
        for (;;) {
            int b = readByte(deadline);
            if (b < 0) return -1;
            if (b == kEnq) {
                enqPending = true;
                return kEnq;
            }
            if (std::find(wanted.begin(), wanted.end(), b) != wanted.end()) return b;
        }
    }

    void sendReply(const Request& rq, std::vector<uint8_t> data) {
        int address = rq.address;
        if (auto f = take(Fault::BadStatus, Phase::ReplyBlock)) {
            if (data.empty()) data.push_back(0);
            data.back() = static_cast<uint8_t>(f->value);
        }
        if (auto f = take(Fault::WrongAddress, Phase::ReplyBlock)) address = f->value;
        // The PC reads a length of 0xFC..0xFF as an extended marker, so a plain reply stops at 251 bytes.
        if (data.size() >= 0xFC && data.size() <= 0xFF) {
            std::fprintf(stderr, "ampsim: reply dropped: %zu data bytes would read as an extended block\n",
                         data.size());
            return;
        }
        std::vector<uint8_t> block;
        try {
            block = encodeBlock(address, rq.cmd, rq.mode, data);
        } catch (const std::length_error& e) {
            std::fprintf(stderr, "ampsim: reply dropped: %s\n", e.what());
            return;
        }
        Timing t;
        {
            std::lock_guard lk(mu);
            t = timing;
        }
        for (int attempt = 0; attempt < t.replyTries; ++attempt) {
            if (!before(Phase::ReplyEnq)) return;
            send({kEnq});
            int b = awaitControl(Clock::now() + t.replyWait, {kEot});
            if (b == kEnq) return;
            if (b != kEot) continue;
            std::vector<uint8_t> out = block;
            if (auto f = take(Fault::BadSum, Phase::ReplyBlock))
                out.back() = static_cast<uint8_t>(out.back() + (f->value ? f->value : 1));
            if (auto f = take(Fault::ShortReply, Phase::ReplyBlock))
                out.resize(out.size() -
                           std::min<size_t>(out.size(), static_cast<size_t>(std::max(f->value, 1))));
            if (before(Phase::ReplyBlock)) send(out);
            b = awaitControl(Clock::now() + t.replyWait, {kAck, kNak});
            if (b == kAck || b == kEnq) return;
        }
    }

    // A byte outside a framed exchange: the line handler's, or a stray one when there is none.
    void serveLineByte(uint8_t b) {
        LineHandler h;
        {
            std::lock_guard lk(mu);
            h = lineHandler;
        }
        if (!h) return;
        setIdle(false);
        for (const LineOut& out : h(b)) {
            if (out.delay.count() > 0) sleepUntil(Clock::now() + out.delay);
            send(out.bytes);
        }
    }

    void setIdle(bool v) {
        std::lock_guard lk(mu);
        idle = v;
        changed.notify_all();
    }

    // Blocks whose time has come, sent as replies are.
    void serveScheduled() {
        std::vector<Scheduled> due;
        {
            std::lock_guard lk(mu);
            const auto now = Clock::now();
            for (auto it = scheduled.begin(); it != scheduled.end();) {
                if (it->at <= now) {
                    due.push_back(std::move(*it));
                    it = scheduled.erase(it);
                } else {
                    ++it;
                }
            }
        }
        for (Scheduled& s : due) {
            setIdle(false);
            sendReply(s.head, std::move(s.data));
            if (enqPending) return;
        }
    }

    void run() {
        try {
            for (;;) {
                if (!enqPending) {
                    Clock::time_point deadline = Clock::now() + std::chrono::hours(24);
                    {
                        std::lock_guard lk(mu);
                        for (const Scheduled& s : scheduled)
                            deadline = std::min(deadline, s.at);
                        idle = inbox.empty() && scheduled.empty();
                        changed.notify_all();
                    }
                    int b = readByte(deadline, true);
                    if (b < 0) {
                        serveScheduled();
                        continue;
                    }
                    if (b != kEnq) {
                        if (b >= 0) serveLineByte(static_cast<uint8_t>(b));
                        continue;
                    }
                }
                enqPending = false;
                setIdle(false);
                serveRequest();
            }
        } catch (const Stopped&) {
        } catch (const std::exception& e) {
            std::fprintf(stderr, "ampsim: line engine stopped: %s\n", e.what());
        }
    }
};

Simulator::Simulator(Options options) : engine_(std::make_unique<Engine>(std::move(options))) {
    Engine& e = *engine_;
    if (e.opt.port < 1) throw std::invalid_argument("ampsim: port numbers start at 1");
    if (::openpty(&e.master, &e.slave, nullptr, nullptr, nullptr) != 0) throwErrno("openpty");
    char name[256];
    if (::ttyname_r(e.slave, name, sizeof name) != 0) {
        int err = errno;
        ::close(e.master);
        ::close(e.slave);
        throw std::system_error(err, std::generic_category(), "ttyname");
    }
    e.path = name;
    // Raw from the start: before the PC sets its own mode, a cooked line would echo and translate bytes.
    termios tio{};
    if (::tcgetattr(e.slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::cfsetspeed(&tio, B38400);
        ::tcsetattr(e.slave, TCSANOW, &tio);
    }
    ::fcntl(e.master, F_SETFL, ::fcntl(e.master, F_GETFL) | O_NONBLOCK);
    ::fcntl(e.master, F_SETFD, FD_CLOEXEC);
    ::fcntl(e.slave, F_SETFD, FD_CLOEXEC);
    if (::pipe2(e.stopPipe, O_CLOEXEC) != 0) {
        int err = errno;
        ::close(e.master);
        ::close(e.slave);
        throw std::system_error(err, std::generic_category(), "pipe2");
    }
    if (::pipe2(e.wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        int err = errno;
        ::close(e.master);
        ::close(e.slave);
        ::close(e.stopPipe[0]);
        ::close(e.stopPipe[1]);
        throw std::system_error(err, std::generic_category(), "pipe2");
    }
    setAddresses(e.opt.addresses);
    setPacing(e.opt.pace, e.opt.baud);
    if (e.opt.publish) ::setenv(envName().c_str(), e.path.c_str(), 1);
    e.thread = std::thread([&e] {
        // Bytes are paced to the microsecond: the kernel's default slack of 50 us on every sleep would
        // add a lag at each turn of the line that no amplifier has.
        (void)::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
        e.run();
    });
}

Simulator::~Simulator() {
    Engine& e = *engine_;
    char stop = 1;
    (void)!::write(e.stopPipe[1], &stop, 1);
    e.thread.join();
    if (e.opt.publish) {
        const char* v = std::getenv(envName().c_str());
        if (v && e.path == v) ::unsetenv(envName().c_str());
    }
    ::close(e.stopPipe[0]);
    ::close(e.stopPipe[1]);
    ::close(e.wakePipe[0]);
    ::close(e.wakePipe[1]);
    ::close(e.master);
    ::close(e.slave);
}

const std::string& Simulator::devicePath() const {
    return engine_->path;
}
int Simulator::port() const {
    return engine_->opt.port;
}
std::string Simulator::envName() const {
    return "QEL_COM" + std::to_string(engine_->opt.port);
}

void Simulator::setHandler(Handler handler, int address) {
    std::lock_guard lk(engine_->mu);
    if (handler)
        engine_->handlers[address] = std::move(handler);
    else
        engine_->handlers.erase(address);
}

void Simulator::setLineHandler(LineHandler handler) {
    std::lock_guard lk(engine_->mu);
    engine_->lineHandler = std::move(handler);
}

void Simulator::setAddresses(std::vector<int> addresses) {
    std::bitset<16> set;
    for (int a : addresses) {
        if (a < 0 || a > 15) throw std::invalid_argument("ampsim: RS-485 addresses are 0 to 15");
        set.set(static_cast<size_t>(a));
    }
    std::lock_guard lk(engine_->mu);
    engine_->present = set;
}

void Simulator::setPacing(bool pace, uint32_t baud) {
    if (baud == 0) throw std::invalid_argument("ampsim: a bit rate of 0");
    std::lock_guard lk(engine_->mu);
    engine_->pace = pace;
    engine_->baud = baud;
}

void Simulator::setTiming(Timing timing) {
    std::lock_guard lk(engine_->mu);
    engine_->timing = timing;
}

void Simulator::sendUnsolicited(int address, int cmd, int mode, std::vector<uint8_t> data, milliseconds after) {
    Engine::Scheduled s;
    s.at = Clock::now() + after;
    s.head.address = address;
    s.head.cmd = cmd;
    s.head.mode = mode;
    s.data = std::move(data);
    {
        std::lock_guard lk(engine_->mu);
        engine_->scheduled.push_back(std::move(s));
    }
    char wake = 1;
    (void)!::write(engine_->wakePipe[1], &wake, 1);
}

void Simulator::inject(Fault fault) {
    if (fault.times == 0) return;
    std::lock_guard lk(engine_->mu);
    engine_->faults.push_back(std::move(fault));
}

void Simulator::clearFaults() {
    std::lock_guard lk(engine_->mu);
    engine_->faults.clear();
}

size_t Simulator::faultsLeft() const {
    std::lock_guard lk(engine_->mu);
    return engine_->faults.size();
}

std::vector<Request> Simulator::requests() const {
    std::lock_guard lk(engine_->mu);
    return {engine_->log.begin(), engine_->log.end()};
}

std::vector<WireByte> Simulator::wire() const {
    std::lock_guard lk(engine_->mu);
    return {engine_->wireLog.begin(), engine_->wireLog.end()};
}

void Simulator::clearLog() {
    std::lock_guard lk(engine_->mu);
    engine_->log.clear();
    engine_->wireLog.clear();
}

bool Simulator::waitForRequests(size_t n, milliseconds timeout) const {
    std::unique_lock lk(engine_->mu);
    return engine_->changed.wait_for(lk, timeout, [&] { return engine_->log.size() >= n; });
}

bool Simulator::waitIdle(milliseconds timeout) const {
    std::unique_lock lk(engine_->mu);
    return engine_->changed.wait_for(lk, timeout, [&] { return engine_->idle; });
}

} // namespace ampsim
