// The Intel-HEX record codec on its own: the text it writes, and what its parser refuses.
#include "data/IntelHex.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A record line with the given bytes (count first, checksum not included) and its right checksum.
std::string Line(std::initializer_list<int> bytes) {
    std::string s = ":";
    int sum = 0;
    for (int b : bytes) {
        s += IHX_Hex2(b);
        sum += b;
    }
    return s + IHX_Hex2(-sum);
}

const std::string kOneToEight = ":1000000001000200030004000500060007000800CC";

TEST(IntelHex, WritesDataAndEndRecords) {
    const int16_t values[HexWords] = {1, 2, 3, 4, 5, 6, 7, 8};
    HexRecord r = MakeDataRecord(0, values);
    EXPECT_EQ(MakeHexRecord(r), kOneToEight);

    // Negative values as their two's complement, the address kept to 16 bits.
    const int16_t neg[HexWords] = {-1, -32768, 32767, 0, 0x1234, 0, 0, 0};
    r = MakeDataRecord(0x15F10, neg);
    EXPECT_EQ(r.AdrHi, 0x5F);
    EXPECT_EQ(r.AdrLo, 0x10);
    EXPECT_EQ(MakeHexRecord(r), Line({0x10, 0x5F, 0x10, 0,    0xFF, 0xFF, 0x00, 0x80, 0xFF, 0x7F,
                                      0,    0,    0x34, 0x12, 0,    0,    0,    0,    0,    0}));

    HexRecord end;
    end.RecType = 1;
    EXPECT_EQ(MakeHexRecord(end), ":00000001FF");
}

TEST(IntelHex, ParsesWhatItWrites) {
    const int16_t values[HexWords] = {-100, -97, 0, 3, 32767, -32768, 255, 256};
    HexRecord w = MakeDataRecord(0x00F0, values);
    HexRecord r;
    ASSERT_EQ(ParseHexRecord(r, MakeHexRecord(w)), -1);
    EXPECT_EQ(r.State, HexGood);
    EXPECT_EQ(r.count, 8);
    EXPECT_EQ(r.AdrHi, 0);
    EXPECT_EQ(r.AdrLo, 0xF0);
    for (int k = 0; k < HexWords; ++k)
        EXPECT_EQ(r.Data[static_cast<size_t>(k)], values[k]) << k;
    // Lower-case digits are hexadecimal too.
    std::string lower = kOneToEight;
    lower.back() = 'c';
    EXPECT_EQ(ParseHexRecord(r, lower), -1);
}

TEST(IntelHex, RefusesMalformedRecords) {
    HexRecord r;
    auto refused = [&r](const std::string& line, int16_t state) {
        r = HexRecord{};
        r.Data.fill(77);
        const int16_t ok = ParseHexRecord(r, line);
        return ok == 0 && r.State == state && r.Data[0] == 77;
    };
    // Wrong checksum, by one digit.
    std::string sum = kOneToEight;
    sum[42] = 'D';
    EXPECT_TRUE(refused(sum, HexBadSum));
    // A byte count other than 16, even with a checksum that fits it: never read past the record.
    EXPECT_TRUE(refused(Line({0xFF, 0, 0, 0, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0, 7, 0, 8, 0}), HexBadSum));
    EXPECT_TRUE(refused(Line({0x0E, 0, 0, 0, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0, 7, 0, 8, 0}), HexBadSum));
    // A record of another type in data-record form.
    EXPECT_TRUE(refused(Line({0x10, 0, 0, 1, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0, 7, 0, 8, 0}), HexBadSum));
    // Characters that are not hexadecimal digits, wherever they are.
    for (size_t i : {1u, 4u, 9u, 30u, 41u})
        for (char c : {'G', ' ', '+', '-', 'x'}) {
            std::string bad = kOneToEight;
            bad[i] = c;
            EXPECT_TRUE(refused(bad, HexBadSum)) << bad;
        }
    // Too short, and no ":" at all.
    EXPECT_TRUE(refused(kOneToEight.substr(0, 42), HexBadSum));
    EXPECT_TRUE(refused("", HexNoColon));
    EXPECT_TRUE(refused("x" + kOneToEight.substr(1), HexNoColon));
}

TEST(IntelHex, ScansAFileTextToItsEndRecord) {
    const int16_t a[HexWords] = {1, 2, 3, 4, 5, 6, 7, 8};
    const int16_t b[HexWords] = {-1, -2, -3, -4, -5, -6, -7, -8};
    HexRecord ra = MakeDataRecord(0x2F00, a), rb = MakeDataRecord(0x2F10, b);
    const std::string text = MakeHexRecord(ra) + "\r\n" + MakeHexRecord(rb) + "\r\n:00000001FF\r\n";

    size_t pos = 0;
    HexRecord r;
    ASSERT_EQ(ScanHexRecord(r, text, pos), -1);
    EXPECT_EQ(r.AdrHi, 0x2F);
    ASSERT_EQ(ScanHexRecord(r, text, pos), -1);
    EXPECT_EQ(r.Data[7], -8);
    EXPECT_EQ(ScanHexRecord(r, text, pos), 0);
    EXPECT_EQ(r.State, HexEnd);

    // A file that stops before its end record, a line that is neither, a record followed by junk on its
    // line, and a ":" further in than ten characters.
    pos = 0;
    const std::string cut = MakeHexRecord(ra) + "\r\n";
    ASSERT_EQ(ScanHexRecord(r, cut, pos), -1);
    EXPECT_EQ(ScanHexRecord(r, cut, pos), 0);
    EXPECT_EQ(r.State, HexNoColon);
    pos = 0;
    EXPECT_EQ(ScanHexRecord(r, ":00000001\r\n", pos), 0);
    EXPECT_EQ(r.State, HexBadSum);
    pos = 0;
    EXPECT_EQ(ScanHexRecord(r, MakeHexRecord(ra) + "00\r\n", pos), 0);
    EXPECT_EQ(r.State, HexBadSum);
    pos = 0;
    EXPECT_EQ(ScanHexRecord(r, "           " + MakeHexRecord(ra), pos), 0);
    EXPECT_EQ(r.State, HexNoColon);
}

} // namespace
