// The block codec through the exports, without a port.
#include "link/qel.h"
#include "pty_peer.h"

#include <gtest/gtest.h>

namespace {

Bytes Built(int16_t address, int16_t cmd, int16_t mode, const Bytes& data, int16_t* sum)
{
    Bytes block(data.size() + 4, 0xEE);
    *sum = Qel_SetBlk(block.data(), address, cmd, mode, data.data(), static_cast<int16_t>(data.size()));
    return block;
}

TEST(QelCodec, BuildsTheExampleBlocksExactly)
{
    int16_t sum = 0;
    EXPECT_EQ(Built(0, 0, 0, {}, &sum), (Bytes{0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(sum, 0x00);
    // Mode goes to the high nibble: a swap would give 0x82.
    EXPECT_EQ(Built(1, 8, 2, {}, &sum), (Bytes{0x00, 0x01, 0x28, 0xD7}));
    EXPECT_EQ(sum, 0xD7);
    EXPECT_EQ(Built(0, 1, 7, {0x01}, &sum), (Bytes{0x01, 0x00, 0x71, 0x01, 0x8D}));
    EXPECT_EQ(sum, 0x8D);
    // Only the low nibbles of cmd and mode and the low byte of the address are packed.
    EXPECT_EQ(Built(0x105, 0x1F, 0x12, {0xFE, 0xFF}, &sum), (Bytes{0x02, 0x05, 0x2F, 0xFE, 0xFF, 0xCD}));
}

TEST(QelCodec, ChecksumAndSumTestAgreeWithTheBlock)
{
    for (Bytes block : {Bytes{0x00, 0x01, 0x28, 0xD7}, Bytes{0x01, 0x00, 0x71, 0x01, 0x8D},
                        Block(3, 0, 1, {0x54, 0x45, 0x53, 0x4B, 0x00})}) {
        EXPECT_EQ(Qel_CalSum(block.data()), block.back());
        EXPECT_EQ(Qel_SumNG(block.data()), 0);
        block[2] ^= 0x10;
        EXPECT_EQ(Qel_SumNG(block.data()), 1);
    }
}

TEST(QelCodec, ExtendedBlocksAreSummedOverAllTheirBytes)
{
    Bytes rest(1003);
    for (size_t i = 0; i < rest.size(); ++i)
        rest[i] = static_cast<uint8_t>(i * 7);
    Bytes block = RawBlock(0xFF, rest);  // 0xFF announces 1004 bytes after the marker
    ASSERT_EQ(block.size(), 1005u);
    EXPECT_EQ(Qel_CalSum(block.data()), block.back());
    EXPECT_EQ(Qel_SumNG(block.data()), 0);
    block[900] ^= 1;
    EXPECT_EQ(Qel_SumNG(block.data()), 1);
}

TEST(QelCodec, RefusesCountsThatDoNotFitTheLengthByte)
{
    Bytes data(300, 0x11);
    Bytes block(310, 0xEE);
    EXPECT_EQ(Qel_SetBlk(block.data(), 0, 1, 1, data.data(), 256), -1);
    EXPECT_EQ(Qel_SetBlk(block.data(), 0, 1, 1, data.data(), -1), -1);
    EXPECT_EQ(Qel_SetBlk(block.data(), 0, 1, 1, nullptr, 3), -1);
    EXPECT_EQ(block, Bytes(310, 0xEE));
    EXPECT_GE(Qel_SetBlk(block.data(), 0, 1, 1, data.data(), 255), 0);
    EXPECT_EQ(block[0], 0xFF);
    unsigned sum = 0;
    for (int i = 0; i < 259; ++i)
        sum += block[static_cast<size_t>(i)];
    EXPECT_EQ(sum % 256, 0u);
}

}  // namespace
