#include "ModelCommon.h"

#include <algorithm>

namespace ampsim::wire {

void put16(Bytes& b, int32_t v) {
    b.push_back(static_cast<uint8_t>(v & 0xFF));
    b.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}
void put32(Bytes& b, int64_t v) {
    const auto u = static_cast<uint64_t>(v);
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<uint8_t>((u >> (8 * i)) & 0xFF));
}
void put64(Bytes& b, int64_t v) {
    const auto u = static_cast<uint64_t>(v);
    for (int i = 0; i < 8; ++i)
        b.push_back(static_cast<uint8_t>((u >> (8 * i)) & 0xFF));
}
int16_t get16(const Bytes& b, size_t at) {
    return static_cast<int16_t>(static_cast<uint16_t>(b[at] | (b[at + 1] << 8)));
}
int32_t get32(const Bytes& b, size_t at) {
    uint32_t u = 0;
    for (int i = 3; i >= 0; --i)
        u = (u << 8) | b[at + static_cast<size_t>(i)];
    return static_cast<int32_t>(u);
}
int64_t get64(const Bytes& b, size_t at) {
    uint64_t u = 0;
    for (int i = 7; i >= 0; --i)
        u = (u << 8) | b[at + static_cast<size_t>(i)];
    return static_cast<int64_t>(u);
}

bool readOnly(int32_t attr) {
    return (attr & (0x80 | 0x100)) != 0;
}

std::string fit12(std::string s) {
    s.resize(12, ' ');
    return s;
}

void shorten(Bytes& reply, size_t dataBytes) {
    const uint8_t st = reply.back();
    reply.resize(std::min(dataBytes, reply.size() - 1));
    reply.push_back(st);
}

} // namespace ampsim::wire
