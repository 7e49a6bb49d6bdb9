#include "pty_peer.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

PtyPeer::PtyPeer(int port) : port_(port)
{
    char name[256] = {};
    if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    slave_path_ = name;
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    const std::string var = "QEL_COM" + std::to_string(port_);
    setenv(var.c_str(), slave_path_.c_str(), 1);
}

PtyPeer::~PtyPeer()
{
    Join();
    if (master_ >= 0)
        close(master_);
    close(slave_);
    unsetenv(("QEL_COM" + std::to_string(port_)).c_str());
}

void PtyPeer::Send(const Bytes& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t r = write(master_, bytes.data() + done, bytes.size() - done);
        if (r > 0) {
            done += static_cast<size_t>(r);
        } else if (r < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{master_, POLLOUT, 0};
            if (poll(&p, 1, 2000) <= 0)
                return;
        } else {
            return;
        }
    }
}

int PtyPeer::Get(int timeout_ms)
{
    Bytes b = Get(1, timeout_ms);
    return b.empty() ? -1 : b[0];
}

Bytes PtyPeer::Get(size_t n, int timeout_ms)
{
    Bytes out;
    while (out.size() < n) {
        uint8_t buf[4096];
        const size_t want = std::min(sizeof buf, n - out.size());
        const ssize_t r = read(master_, buf, want);
        if (r > 0) {
            out.insert(out.end(), buf, buf + r);
            continue;
        }
        if (r < 0 && errno == EINTR)
            continue;
        // EAGAIN: nothing yet; EIO: no slave open at the moment. Both mean wait.
        pollfd p{master_, POLLIN, 0};
        if (poll(&p, 1, timeout_ms) <= 0 || !(p.revents & POLLIN))
            break;
    }
    return out;
}

Bytes PtyPeer::Collect(int quiet_ms)
{
    Bytes out;
    for (int c = Get(quiet_ms); c >= 0; c = Get(quiet_ms))
        out.push_back(static_cast<uint8_t>(c));
    return out;
}

void PtyPeer::Play(std::function<void(PtyPeer&)> script)
{
    Join();
    thread_ = std::thread([this, script = std::move(script)] { script(*this); });
}

void PtyPeer::Join()
{
    if (thread_.joinable())
        thread_.join();
}

void PtyPeer::HangUp()
{
    close(master_);
    master_ = -1;
}

Bytes RawBlock(uint8_t n, const Bytes& rest)
{
    Bytes b{n};
    b.insert(b.end(), rest.begin(), rest.end());
    unsigned sum = 0;
    for (uint8_t c : b)
        sum += c;
    b.push_back(static_cast<uint8_t>(0u - sum));
    return b;
}

Bytes Block(int address, int cmd, int mode, const Bytes& data)
{
    Bytes rest{static_cast<uint8_t>(address), static_cast<uint8_t>((mode & 15) * 16 + (cmd & 15))};
    rest.insert(rest.end(), data.begin(), data.end());
    return RawBlock(static_cast<uint8_t>(data.size()), rest);
}
