// The amplifier's side of a pseudo-terminal: a test maps port n to the pty's slave with QEL_COM<n>,
// and plays the peer byte by byte on the master, usually from a thread (Play).
#ifndef MEVALO_TESTS_LINK_PTY_PEER_H
#define MEVALO_TESTS_LINK_PTY_PEER_H

#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using Bytes = std::vector<uint8_t>;

class PtyPeer {
public:
    // Opens a pty pair and maps port to its slave. The slave stays open here too, so that the
    // master never sees a hang-up between links.
    explicit PtyPeer(int port);
    ~PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    const std::string& SlavePath() const { return slave_path_; }

    void Send(const Bytes& bytes);
    // One byte, or -1 when none comes within timeout_ms.
    int Get(int timeout_ms);
    // Exactly n bytes, or fewer when the line stays quiet for timeout_ms.
    Bytes Get(size_t n, int timeout_ms);
    // Everything that arrives until the line has been quiet for quiet_ms.
    Bytes Collect(int quiet_ms);

    // Runs script on a thread; Join waits for it.
    void Play(std::function<void(PtyPeer&)> script);
    void Join();

    // Closes the master: the link sees the line hang up.
    void HangUp();

private:
    int port_;
    int master_ = -1;
    int slave_ = -1;
    std::string slave_path_;
    std::thread thread_;
};

// The block the library should put on the wire for these fields.
Bytes Block(int address, int cmd, int mode, const Bytes& data);
// A block with a length byte of its own choosing (an extended marker, say); the checksum is right.
Bytes RawBlock(uint8_t n, const Bytes& rest);

#endif
