// The port layer: a serial device opened raw and exclusive, with read time-outs that mean what they
// meant on the original platform, emulated with poll on the monotonic clock.
#ifndef QEL_PORT_H
#define QEL_PORT_H

#include <cstdint>
#include <string>

namespace qel {

// Read time-outs in ms. A read of n bytes ends after constant + n * multiplier in all (no total limit
// when both are 0), or once a byte has come, after interval between two bytes (none when 0).
struct Timeouts {
    uint32_t interval;
    uint32_t multiplier;
    uint32_t constant;
};

// What the exchanges need from a line; the port implements it, tests can script it.
class Line {
public:
    virtual ~Line() = default;
    virtual void SetTimeouts(const Timeouts& t) = 0;
    // Up to n bytes under the current time-outs; fewer on a time-out or a line that hung up.
    virtual int Read(uint8_t* buf, int n) = 0;
    // Writes all n bytes and waits until they are sent; returns the bytes written.
    virtual int Write(const uint8_t* buf, int n) = 0;
    // Whether a byte can be read now, asked without waiting. A line that cannot tell says true, and is read.
    virtual bool Pending() { return true; }
};

// One byte 0..255, or -1 when none came in time.
int GetByte(Line& line);
// 1 when the byte was written.
int PutByte(Line& line, uint8_t c);

// Device of port n: $QEL_COM<n> when set and not empty, else /dev/ttyS<n-1>.
std::string DevicePath(int port);

class Port final : public Line {
public:
    // Opens and sets up the port (COM_Open); false leaves nothing open.
    bool Open(const char* name, int port, uint32_t baud);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }

    void SetTimeouts(const Timeouts& t) override;
    int Read(uint8_t* buf, int n) override;
    int Write(const uint8_t* buf, int n) override;
    bool Pending() override;

private:
    int fd_ = -1;
    Timeouts timeouts_{};
};

}  // namespace qel

#endif
