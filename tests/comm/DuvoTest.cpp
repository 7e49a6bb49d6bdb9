// Step values: signed 64-bit exact through text and bytes, by name through libduvo.so and directly.
#include "CommEnv.h"

#include "comm/Duvo.h"
#include "platform/duvo/duvo.h"

#include <climits>
#include <optional>
#include <random>

namespace {

std::vector<int64_t> Samples() {
    std::vector<int64_t> v{INT64_MIN,
                           INT64_MIN + 1,
                           -4294967296LL,
                           -65536,
                           -256,
                           -1,
                           0,
                           1,
                           255,
                           256,
                           4294967295LL,
                           9007199254740993LL /* not a double */,
                           INT64_MAX - 1,
                           INT64_MAX};
    std::mt19937_64 rng(20240601);
    for (int i = 0; i < 200; ++i)
        v.push_back(static_cast<int64_t>(rng()));
    return v;
}

} // namespace

TEST(Duvo, FullRangeRoundTripsThroughBytesAndText) {
    for (int64_t v : Samples()) {
        uint8_t bytes[8] = {};
        DecToInt64(bytes, v);
        const uint64_t u = static_cast<uint64_t>(v);
        for (int i = 0; i < 8; ++i)
            ASSERT_EQ(bytes[i], static_cast<uint8_t>(u >> (8 * i))) << v;
        ASSERT_EQ(Int64ToDec(bytes), v);

        const std::string text = Int64Text(v);
        ASSERT_EQ(text, std::to_string(v));
        uint8_t again[8] = {};
        ASSERT_TRUE(DecToInt64(again, text)) << text;
        ASSERT_EQ(Int64ToDec(again), v);
    }
    const uint8_t minusOne[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(Int64ToDec(minusOne), -1);
}

TEST(Duvo, TypedTextIsRoundedOrRefused) {
    uint8_t b[8];
    auto value = [&](const std::string& text) -> std::optional<int64_t> {
        std::fill(std::begin(b), std::end(b), 0xAB);
        if (!DecToInt64(b, text)) return std::nullopt;
        return Int64ToDec(b);
    };
    EXPECT_EQ(value(""), 0);
    EXPECT_EQ(value("  -42 "), -42);
    EXPECT_EQ(value("12.5"), 13);
    EXPECT_EQ(value("-12.5"), -13);
    EXPECT_EQ(value("99.4"), 99);
    EXPECT_EQ(value("-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(value("9223372036854775806.5"), INT64_MAX);
    for (const char* bad : {"9223372036854775808", "9223372036854775807.5", "-9223372036854775809", "1e20",
                            "abc", "12a", "--1", "."}) {
        EXPECT_EQ(value(bad), std::nullopt) << bad;
        EXPECT_EQ(b[0], 0xAB) << "bytes untouched for " << bad;
    }
}

TEST(Duvo, LibraryRefusesWhatDoesNotFit) {
    char text[70];
    EXPECT_EQ(DUVO_IToA(text, sizeof text, INT64_MIN, 16), 17);
    EXPECT_STREQ(text, "-8000000000000000");
    EXPECT_EQ(DUVO_IToA(text, sizeof text, INT64_MIN, 2), 65);
    EXPECT_EQ(DUVO_IToA(text, 20, INT64_MIN, 10), 0) << "20 characters and a NUL need 21 bytes";
    EXPECT_EQ(DUVO_IToA(text, 21, INT64_MIN, 10), 20);
    EXPECT_EQ(DUVO_IToA(text, sizeof text, 5, 1), 0);
    int64_t v = 7;
    EXPECT_EQ(DUVO_AToI(&v, "+ 1"), DUVO_ERR_SYNTAX);
    EXPECT_EQ(DUVO_AToI(&v, "18446744073709551616"), DUVO_ERR_RANGE);
    EXPECT_EQ(DUVO_AToI(nullptr, "1"), DUVO_ERR_NULL);
    EXPECT_EQ(v, 7);
    EXPECT_EQ(DUVO_Copy(nullptr, &v), DUVO_ERR_NULL);
}
