#include "link/port.h"

#include "link/trace.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace qel {
namespace {

// A write that cannot hand over a byte for this long (hardware flow control held off, say) gives up
// rather than hang the caller.
constexpr int64_t kWriteStallNs = 5'000'000'000;

int64_t NowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
}

int64_t MsToNs(uint64_t ms)
{
    return static_cast<int64_t>(ms) * 1'000'000;
}

// Waits for events on fd until the monotonic time end (INT64_MAX: no limit).
// Returns the events, 0 on time-out, -1 on error.
int WaitFor(int fd, short events, int64_t end)
{
    for (;;) {
        timespec ts{};
        timespec* limit = nullptr;
        if (end != INT64_MAX) {
            const int64_t left = end - NowNs();
            if (left <= 0)
                return 0;
            ts.tv_sec = static_cast<time_t>(left / 1'000'000'000);
            ts.tv_nsec = static_cast<long>(left % 1'000'000'000);
            limit = &ts;
        }
        pollfd p{fd, events, 0};
        const int r = ppoll(&p, 1, limit, nullptr);
        if (r > 0)
            return p.revents;
        if (r == 0)
            return 0;
        if (errno != EINTR)
            return -1;
    }
}

bool SpeedOf(uint32_t baud, speed_t* speed)
{
    static const struct {
        uint32_t baud;
        speed_t speed;
    } kRates[] = {
        {50, B50},         {75, B75},           {110, B110},         {134, B134},
        {150, B150},       {200, B200},         {300, B300},         {600, B600},
        {1200, B1200},     {1800, B1800},       {2400, B2400},       {4800, B4800},
        {9600, B9600},     {19200, B19200},     {38400, B38400},     {57600, B57600},
        {115200, B115200}, {230400, B230400},   {460800, B460800},   {500000, B500000},
        {576000, B576000}, {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
        {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
        {3500000, B3500000}, {4000000, B4000000},
    };
    for (const auto& r : kRates) {
        if (r.baud == baud) {
            *speed = r.speed;
            return true;
        }
    }
    return false;
}

// Raw 8N1 at the given rate. The hardware flow-control setting stays as the port had it.
bool SetRaw(int fd, uint32_t baud)
{
    termios tio{};
    const bool got = tcgetattr(fd, &tio) == 0;
    TraceLog("COM_Open : GetCommState : rc:%d\n", got ? 1 : 0);
    if (!got)
        return false;
    speed_t speed{};
    bool set = SpeedOf(baud, &speed);
    if (set) {
        tio.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                              IXON | IXOFF | IXANY);
        tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
        tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
        tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB);
        tio.c_cflag |= CS8 | CLOCAL | CREAD;
        // With the descriptor non-blocking, VMIN 1 makes "no data yet" EAGAIN and leaves a read of 0
        // to mean a hang-up (VMIN 0 would return 0 for both). Waiting is ours, with poll: no VTIME.
        tio.c_cc[VMIN] = 1;
        tio.c_cc[VTIME] = 0;
        set = cfsetispeed(&tio, speed) == 0 && cfsetospeed(&tio, speed) == 0 &&
              tcsetattr(fd, TCSANOW, &tio) == 0;
    }
    TraceLog("COM_Open : SetCommState : rc:%d\n", set ? 1 : 0);
    return set;
}

// Lower the driver's receive latency where the port offers it; ports without it work as they are.
void TryLowLatency(int fd)
{
    serial_struct ss{};
    if (ioctl(fd, TIOCGSERIAL, &ss) == 0 && !(ss.flags & ASYNC_LOW_LATENCY)) {
        ss.flags |= ASYNC_LOW_LATENCY;
        (void)ioctl(fd, TIOCSSERIAL, &ss);
    }
}

void Release(int fd)
{
    // The kernel keeps the exclusive flag until the tty's last close; whoever else holds the device
    // open must not keep us out of our next open.
    (void)ioctl(fd, TIOCNXCL);
    (void)close(fd);
}

}  // namespace

int GetByte(Line& line)
{
    uint8_t c = 0;
    return line.Read(&c, 1) == 1 ? c : -1;
}

int PutByte(Line& line, uint8_t c)
{
    return line.Write(&c, 1) == 1 ? 1 : 0;
}

std::string DevicePath(int port)
{
    char var[32];
    std::snprintf(var, sizeof var, "QEL_COM%d", port);
    if (const char* mapped = std::getenv(var); mapped && *mapped)
        return mapped;
    if (port < 1)
        return {};
    return "/dev/ttyS" + std::to_string(port - 1);
}

bool Port::Open(const char* name, int port, uint32_t baud)
{
    TraceLog("COM_Open : name:%s baud:%ld\n", name, static_cast<long>(baud));
    const std::string path = DevicePath(port);
    TraceLog("COM_Open : device:%s\n", path.c_str());
    int fd = path.empty() ? -1 : open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    TraceLog("COM_Open : CreateFile : hComDev:%d\n", fd);
    // Exclusive use: the lock keeps out other links even for root, whom TIOCEXCL does not stop.
    // Lock first, so that a refused open never clears the exclusive flag of the link that holds it.
    if (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        fd = -1;
    }
    if (fd < 0) {
        TraceErr("COM_Open:Create出来ません。hComDev=%ld\n", static_cast<long>(fd));
        return false;
    }
    (void)ioctl(fd, TIOCEXCL);
    if (!SetRaw(fd, baud)) {
        Release(fd);
        return false;
    }
    TryLowLatency(fd);
    fd_ = fd;
    return true;
}

void Port::Close()
{
    if (fd_ < 0)
        return;
    TraceLog("COM_Close : idComDev:%d\n", fd_);
    (void)ioctl(fd_, TIOCNXCL);
    const bool closed = close(fd_) == 0;
    TraceLog("COM_Close : CloseHandle bRet:%d\n", closed ? 1 : 0);
    fd_ = -1;
}

void Port::SetTimeouts(const Timeouts& t)
{
    TraceLog("COM_SetTimeOut : I:%d M:%d C:%d\n", static_cast<int>(t.interval),
             static_cast<int>(t.multiplier), static_cast<int>(t.constant));
    timeouts_ = t;
    TraceLog("COM_SetTimeOut : SetCommTimeouts\n");
}

int Port::Read(uint8_t* buf, int n)
{
    TraceLog("COM_Read icComDev:%lX\n", static_cast<unsigned long>(fd_));
    int got = 0;
    if (fd_ >= 0 && n > 0) {
        const Timeouts t = timeouts_;
        const bool total = t.multiplier != 0 || t.constant != 0;
        const int64_t total_end =
            NowNs() + MsToNs(uint64_t{t.constant} + uint64_t{t.multiplier} * static_cast<uint64_t>(n));
        int64_t last_byte = 0;
        while (got < n) {
            const ssize_t r = read(fd_, buf + got, static_cast<size_t>(n - got));
            if (r > 0) {
                got += static_cast<int>(r);
                last_byte = NowNs();
                continue;
            }
            if (r < 0 && errno == EINTR)
                continue;
            // 0 or an error other than "nothing yet" (EIO on a hung-up pty, an unplugged adapter):
            // the line is gone, which the caller sees as a time-out.
            if (r == 0 || errno != EAGAIN)
                break;
            int64_t end = total ? total_end : INT64_MAX;
            if (got > 0 && t.interval != 0 && last_byte + MsToNs(t.interval) < end)
                end = last_byte + MsToNs(t.interval);
            const int ev = WaitFor(fd_, POLLIN, end);
            if (ev <= 0 || !(ev & POLLIN))
                break;  // time-out, or a hang-up with nothing left to read
        }
    }
    TraceLog("COM_Read %02x/%02x byte %02x....\n", got, n, got > 0 ? buf[0] : 0);
    return got;
}

bool Port::Pending() {
    if (fd_ < 0) return false;
    pollfd p{fd_, POLLIN, 0};
    int r;
    do
        r = poll(&p, 1, 0);
    while (r < 0 && errno == EINTR);
    // A hang-up or an error counts as waiting input: the read that follows finds out at once.
    return r != 0;
}

int Port::Write(const uint8_t* buf, int n)
{
    TraceLog("COM_Write : WriteFile\n");
    int done = 0;
    if (fd_ >= 0 && n > 0) {
        int64_t stall_end = NowNs() + kWriteStallNs;
        while (done < n) {
            const ssize_t r = write(fd_, buf + done, static_cast<size_t>(n - done));
            if (r > 0) {
                done += static_cast<int>(r);
                stall_end = NowNs() + kWriteStallNs;
                continue;
            }
            if (r < 0 && errno == EINTR)
                continue;
            if (r == 0 || errno != EAGAIN)
                break;
            const int ev = WaitFor(fd_, POLLOUT, stall_end);
            if (ev <= 0 || !(ev & POLLOUT))
                break;
        }
        // Return only once the bytes are on the wire, so that the wait for the answer starts when
        // the peer can first answer.
        if (done > 0)
            (void)tcdrain(fd_);
    }
    TraceLog("COM_Write %02x/%02x byte %02x....\n", done, n, n > 0 ? buf[0] : 0);
    return done;
}

}  // namespace qel
