#include "link/frame.h"

#include <cstring>

namespace qel {

int ExtBlockSize(uint8_t n)
{
    switch (n) {
    case 0xFC: return 4004;
    case 0xFD: return 3004;
    case 0xFE: return 2004;
    case 0xFF: return 1004;
    default: return 0;
    }
}

int BodyLength(uint8_t n)
{
    const int ext = ExtBlockSize(n);
    return ext ? ext : n + 3;
}

int DataLength(uint8_t n)
{
    const int ext = ExtBlockSize(n);
    return ext ? ext - 3 : n;
}

uint8_t Checksum(const uint8_t* bytes, size_t count)
{
    unsigned sum = 0;
    for (size_t i = 0; i < count; ++i)
        sum += bytes[i];
    return static_cast<uint8_t>(0u - sum);
}

uint8_t ExpectedSum(const uint8_t* block)
{
    return Checksum(block, static_cast<size_t>(BodyLength(block[0])));
}

uint8_t CarriedSum(const uint8_t* block)
{
    return block[BodyLength(block[0])];
}

int BuildBlock(uint8_t* block, int address, int cmd, int mode, const uint8_t* data, int n)
{
    if (!block || n < 0 || n > kMaxRequestData || (n > 0 && !data))
        return -1;
    block[0] = static_cast<uint8_t>(n);
    block[1] = static_cast<uint8_t>(address);
    block[2] = static_cast<uint8_t>((mode & 15) * 16 + (cmd & 15));
    if (n > 0)
        std::memcpy(block + 3, data, static_cast<size_t>(n));
    const uint8_t sum = Checksum(block, static_cast<size_t>(n) + 3);
    block[n + 3] = sum;
    return sum;
}

BlockFields SplitBlock(const uint8_t* block)
{
    return BlockFields{block[1], block[2] & 15, block[2] >> 4, DataLength(block[0]), block + 3};
}

}  // namespace qel
