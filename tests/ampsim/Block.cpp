// Block codec of the simulated amplifier, kept apart from the link library's own.
#include "ampsim.h"

#include <stdexcept>

namespace ampsim {

uint8_t checksum(const uint8_t* bytes, size_t n) {
    unsigned sum = 0;
    for (size_t i = 0; i < n; ++i)
        sum += bytes[i];
    return static_cast<uint8_t>(0x100 - (sum & 0xFF));
}

size_t extendedSize(uint8_t marker) {
    switch (marker) {
    case 0xFC:
        return 4004;
    case 0xFD:
        return 3004;
    case 0xFE:
        return 2004;
    case 0xFF:
        return 1004;
    default:
        return 0;
    }
}

std::vector<uint8_t> encodeBlock(int address, int cmd, int mode, const std::vector<uint8_t>& data) {
    uint8_t head;
    if (data.size() <= 255) {
        head = static_cast<uint8_t>(data.size());
    } else {
        head = 0;
        for (unsigned m = 0xFC; m <= 0xFF; ++m)
            if (extendedSize(static_cast<uint8_t>(m)) == data.size() + 3) head = static_cast<uint8_t>(m);
        if (head == 0)
            throw std::length_error("no block form carries " + std::to_string(data.size()) + " data bytes");
    }
    std::vector<uint8_t> block;
    block.reserve(data.size() + 4);
    block.push_back(head);
    block.push_back(static_cast<uint8_t>(address));
    block.push_back(static_cast<uint8_t>(((mode & 15) << 4) | (cmd & 15)));
    block.insert(block.end(), data.begin(), data.end());
    block.push_back(checksum(block.data(), block.size()));
    return block;
}

} // namespace ampsim
