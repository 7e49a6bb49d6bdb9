// The link block codec: pure functions over byte arrays, no I/O, so it is tested without a port.
//
// A block is [N][address][mode << 4 | cmd][N data bytes][checksum]; the checksum makes all its bytes
// sum to 0 modulo 256. A length byte of 0xFC..0xFF is an extended marker: exactly ExtBlockSize(N) bytes
// follow it (address, command byte, data whose last byte is the status, checksum) and the checksum makes
// the marker and those bytes sum to 0.
#ifndef QEL_FRAME_H
#define QEL_FRAME_H

#include <cstddef>
#include <cstdint>

namespace qel {

inline constexpr uint8_t ENQ = 0x05;
inline constexpr uint8_t EOT = 0x04;
inline constexpr uint8_t ACK = 0x06;
inline constexpr uint8_t NAK = 0x15;

// A request's data count must fit its one length byte; larger requests are refused, never truncated.
inline constexpr int kMaxRequestData = 255;

// Bytes after an extended marker (4004, 3004, 2004, 1004), 0 for an ordinary length byte.
int ExtBlockSize(uint8_t n);
// Bytes that follow the length byte: N + 3, or ExtBlockSize(N) for a marker.
int BodyLength(uint8_t n);
// Data bytes the block carries (status byte included): N, or ExtBlockSize(N) - 3.
int DataLength(uint8_t n);

// The byte that makes bytes[0 .. count-1] and itself sum to 0 modulo 256.
uint8_t Checksum(const uint8_t* bytes, size_t count);

// Checksum a block should carry (computed over all its bytes before the checksum), and the one it carries.
uint8_t ExpectedSum(const uint8_t* block);
uint8_t CarriedSum(const uint8_t* block);

// Builds a block of n data bytes (0..255) into block (n + 4 bytes). Returns the checksum, or -1
// (nothing written) when n is out of range or data is missing.
int BuildBlock(uint8_t* block, int address, int cmd, int mode, const uint8_t* data, int n);

struct BlockFields {
    int address;
    int cmd;
    int mode;
    int n;  // data bytes, DataLength of the length byte
    const uint8_t* data;
};

// Splits a complete block (ordinary or extended).
BlockFields SplitBlock(const uint8_t* block);

}  // namespace qel

#endif
