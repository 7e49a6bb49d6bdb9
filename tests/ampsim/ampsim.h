// The simulated amplifier: one or several amplifiers (RS-485 addresses 0 to 15) behind a pseudo-terminal.
//
// The simulator opens a pty, publishes the slave's path as QEL_COM<port> so that the link library opens it
// as "COM<port>", and answers framed requests on a thread of its own:
//
//   PC ENQ -> EOT, PC block [N][address][mode << 4 | cmd][data][sum] -> ACK or NAK,
//   then the reply: ENQ -> PC EOT, block -> PC ACK (repeated from ENQ after a NAK, a few times at most).
//
// What a request means is up to a handler; the block level never looks inside the data. Command-family
// models plug in as handlers (any callable taking a Request), per address when the amplifiers on the line
// differ. Faults are injected on request and used up one application at a time.
//
// The framing here is written apart from the link library on purpose: a wrong checksum or nibble order in
// one of them shows up as a failed exchange instead of agreeing with itself.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ampsim {

inline constexpr uint8_t kEnq = 0x05;
inline constexpr uint8_t kEot = 0x04;
inline constexpr uint8_t kAck = 0x06;
inline constexpr uint8_t kNak = 0x15;

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// ---- Block codec ---------------------------------------------------------------------------------------

// Two's complement of the 8-bit sum of bytes, so that bytes plus the result add up to 0 modulo 256.
uint8_t checksum(const uint8_t* bytes, size_t n);

// A whole block. Up to 255 data bytes give the plain form; data.size() + 3 of 4004, 3004, 2004 or 1004
// gives the extended form (marker 0xFC..0xFF, then address, command byte, data, sum over everything).
// Any other size is refused with std::length_error.
std::vector<uint8_t> encodeBlock(int address, int cmd, int mode, const std::vector<uint8_t>& data);

// Data bytes after an extended marker (0xFC..0xFF) including address, command byte and sum; 0 otherwise.
size_t extendedSize(uint8_t marker);

// ---- What the simulator records -------------------------------------------------------------------------

// How the simulator answered a request block.
enum class Answer { Ack, Nak, None };

// One request block as received (also handed to handlers).
struct Request {
    std::vector<uint8_t> raw; // every byte from N on; shorter than N + 4 when the block stopped early
    int address = -1;         // -1 for fields that never arrived
    int cmd = -1;
    int mode = -1;
    std::vector<uint8_t> data;
    bool complete = false; // all N + 4 bytes came
    bool sumOk = false;    // complete and the bytes add up to 0
    Answer answer = Answer::None;
    Clock::time_point at{}; // when the last byte was read
};

// One byte on the line, in either direction, in the order the simulator saw or sent it.
struct WireByte {
    bool fromPc;
    uint8_t byte;
    Clock::time_point at;
};

// ---- Handlers and faults ----------------------------------------------------------------------------------

// Reply data for a good request (the last byte is the status byte), or nullopt for no reply at all.
// Replies carry up to 251 bytes, or exactly 1001, 2001, 3001 or 4001 (extended); other sizes are dropped.
using Handler = std::function<std::optional<std::vector<uint8_t>>(const Request&)>;

// Raw line mode, for amplifiers that speak a character protocol: every byte of the PC outside a framed
// exchange (an ENQ still opens one) goes to the line handler, which answers with what to send back, each
// part after its own delay. The line thread waits out a delay before it reads on, so the PC's bytes queue.
struct LineOut {
    milliseconds delay{0};
    std::vector<uint8_t> bytes;
};
using LineHandler = std::function<std::vector<LineOut>(uint8_t byte)>;

// Points in one exchange where the simulator sends something.
enum class Phase {
    Eot,        // grant of the line after the PC's ENQ
    Ack,        // ACK / NAK after the PC's block
    ReplyEnq,   // opening of the reply
    ReplyBlock, // the reply block after the PC's EOT
    Any,        // every one of the above (Delay, Junk)
};

inline constexpr int kAlways = -1;

// A fault is used up one application at a time: Silence, Junk and Delay each time their phase comes,
// NakRequest per request block, BadSum and ShortReply per reply block sent (a repeat after the PC's NAK is
// another), WrongAddress and BadStatus per reply (its repeats keep them). Several faults may be pending;
// the first injected of a kind applies first.
struct Fault {
    enum Kind {
        Silence,      // send nothing at `phase` (Eot: ignore the ENQ; Ack: neither ACK nor NAK; ReplyEnq: no
                      // reply; ReplyBlock: the PC's EOT gets nothing)
        NakRequest,   // NAK a good request block
        BadSum,       // reply checksum off by `value` (default 1)
        Junk,         // send `junk` before the byte of `phase`
        ShortReply,   // leave the last `value` bytes (default 1: the checksum) of the reply unsent
        WrongAddress, // reply from address `value`
        BadStatus,    // last data byte of the reply replaced by `value`
        Delay,        // wait `delay` before the byte of `phase`
    };
    Kind kind;
    int times = 1; // applications left; kAlways never runs out
    Phase phase = Phase::Any;
    int value = 0;
    milliseconds delay{0};
    std::vector<uint8_t> junk{0x00, 0x0A, 0x0D, 0x11, 0x13, 0xFF};

    static Fault silence(Phase p = Phase::Eot, int times = 1) { return {Silence, times, p}; }
    static Fault nakRequest(int times = 1) { return {NakRequest, times}; }
    static Fault badSum(int times = 1) { return {BadSum, times, Phase::ReplyBlock, 1}; }
    static Fault junkBefore(Phase p, int times = 1) { return {Junk, times, p}; }
    static Fault shortReply(int cut = 1, int times = 1) {
        return {ShortReply, times, Phase::ReplyBlock, cut};
    }
    static Fault wrongAddress(int address, int times = 1) {
        return {WrongAddress, times, Phase::ReplyBlock, address};
    }
    static Fault badStatus(uint8_t status, int times = 1) {
        return {BadStatus, times, Phase::ReplyBlock, status};
    }
    static Fault delayBefore(Phase p, milliseconds d, int times = 1) { return {Delay, times, p, 0, d}; }
};

// How long the simulator itself waits for the PC.
struct Timing {
    milliseconds byteGap{200};    // for N after its EOT and between the bytes of a request block
    milliseconds replyWait{2000}; // for the PC's EOT after a reply ENQ, and for ACK after the reply block
    int replyTries = 3;           // reply sends before giving up on a PC that keeps NAKing or is silent
};

// ---- The simulator
// ------------------------------------------------------------------------------------------

class Simulator {
  public:
    struct Options {
        int port = 1;                  // published as QEL_COM<port>
        std::vector<int> addresses{0}; // amplifiers on the line
        bool pace = false;             // bytes take their wire time (10 bits each) in both directions
        uint32_t baud = 38400;
        bool publish = true; // setenv QEL_COM<port> (and unset it again on destruction)
        bool keepLog = true; // request log and wire transcript (a benchmark turns them off)
    };

    explicit Simulator(Options options); // throws std::system_error when no pty can be had
    Simulator() : Simulator(Options{}) {}
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    const std::string& devicePath() const;
    int port() const;
    std::string envName() const; // "QEL_COM<port>"

    // handler for one address, or for every address that has none of its own (address -1).
    void setHandler(Handler handler, int address = -1);
    // Without a line handler (the default, or an empty one) bytes between exchanges are dropped.
    void setLineHandler(LineHandler handler);
    void setAddresses(std::vector<int> addresses);
    void setPacing(bool pace, uint32_t baud);
    void setTiming(Timing timing);

    // Sends a block of the amplifier's own accord once `after` has passed: ENQ, then the block after the
    // PC's EOT, tried as a reply is. Callable from any thread, a handler's included.
    void sendUnsolicited(int address, int cmd, int mode, std::vector<uint8_t> data, milliseconds after);

    void inject(Fault fault);
    void clearFaults();
    size_t faultsLeft() const; // injected faults not yet used up (kAlways ones count too)

    std::vector<Request> requests() const;
    std::vector<WireByte> wire() const;
    void clearLog();
    // true once at least n requests are in the log, false after timeout.
    bool waitForRequests(size_t n, milliseconds timeout) const;
    // true once the simulator is back waiting for an ENQ with nothing more to send.
    bool waitIdle(milliseconds timeout) const;

  private:
    struct Engine;
    std::unique_ptr<Engine> engine_;
};

} // namespace ampsim
