#include "platform/Library.h"
#include "platform/Paths.h"
#include "platform/spekt/spekt.h"
#include "TempDir.h"

#include <gtest/gtest.h>

using namespace plat;

namespace {

struct AppDirGuard {
    explicit AppDirGuard(const std::string& dir) { SetAppDir(dir); }
    ~AppDirGuard() { SetAppDir({}); }
};

// The byte-packing functions as the program reaches them: through the binder.
LazyFn<void(int16_t, uint8_t*, uint8_t*)> StoB("libspekt.so", "UTY_StoB");
LazyFn<int16_t(uint8_t, uint8_t)> BtoS("libspekt.so", "UTY_BtoS");
LazyFn<void(int32_t, uint8_t*, uint8_t*, uint8_t*, uint8_t*)> LtoB("libspekt.so", "UTY_LtoB");
LazyFn<int32_t(uint8_t, uint8_t, uint8_t, uint8_t)> BtoL("libspekt.so", "UTY_BtoL");

} // namespace

TEST(Library, AMissingLibraryFailsAtTheCallWithItsNames)
{
    TempDir d;
    AppDirGuard app(d.path());
    LazyFn<uint32_t(char*, char*)> version("libqel.so", "Qel_Version");
    try {
        version(nullptr, nullptr);
        FAIL() << "no exception";
    } catch (const LibraryMissing& e) {
        EXPECT_EQ(e.library, "libqel.so");
        EXPECT_EQ(e.function, "Qel_Version");
    }
    // The program folder is searched, not the system's: the same name elsewhere is not found.
    EXPECT_THROW(BindFunction("libc.so.6", "strlen"), LibraryMissing);
}

TEST(Library, AMissingFunctionFailsOnlyItself)
{
    AppDirGuard app(MEVALO_BIN_DIR);
    LazyFn<int(void)> missing("libspekt.so", "SPEKT_NoSuchFunction");
    try {
        missing();
        FAIL() << "no exception";
    } catch (const LibraryMissing& e) {
        EXPECT_EQ(e.library, "libspekt.so");
        EXPECT_EQ(e.function, "SPEKT_NoSuchFunction");
    }
    LazyFn<uint32_t(char*, char*)> version("libspekt.so", "SPEKT_Version");
    char text1[1000] = {};
    char text2[1000] = {};
    EXPECT_EQ(version(text1, text2), 1u);
    EXPECT_STRNE(text1, "");
    EXPECT_STRNE(text2, "");
    EXPECT_EQ(version(nullptr, nullptr), 1u);
}

TEST(Library, EveryExportOfTheSpectrumLibraryBinds)
{
    AppDirGuard app(MEVALO_BIN_DIR);
    for (const char* name : {"SPEKT_Version", "UTY_StoB", "UTY_BtoS", "UTY_LtoB", "UTY_BtoL"})
        EXPECT_NO_THROW(BindFunction("libspekt.so", name)) << name;
}

TEST(Spekt, SixteenBitPackingHighByteFirstOverTheWholeRange)
{
    AppDirGuard app(MEVALO_BIN_DIR);
    uint8_t hi = 0, lo = 0;
    StoB(0x1234, &hi, &lo);
    EXPECT_EQ(hi, 0x12);
    EXPECT_EQ(lo, 0x34);
    StoB(-2, &hi, &lo);
    EXPECT_EQ(hi, 0xFF);
    EXPECT_EQ(lo, 0xFE);
    EXPECT_EQ(BtoS(0x80, 0x00), -32768);

    for (int v = -32768; v <= 32767; ++v) {
        StoB(static_cast<int16_t>(v), &hi, &lo);
        ASSERT_EQ(hi << 8 | lo, v & 0xFFFF) << v;
        ASSERT_EQ(BtoS(hi, lo), v) << v;
    }
}

TEST(Spekt, ThirtyTwoBitPackingMostSignificantByteFirstOverTheWholeRange)
{
    AppDirGuard app(MEVALO_BIN_DIR);
    uint8_t b[4] = {};
    LtoB(0x12345678, &b[3], &b[2], &b[1], &b[0]);
    EXPECT_EQ(b[3], 0x12);
    EXPECT_EQ(b[2], 0x34);
    EXPECT_EQ(b[1], 0x56);
    EXPECT_EQ(b[0], 0x78);
    EXPECT_EQ(BtoL(0xFF, 0xFF, 0xFF, 0xFE), -2);
    EXPECT_EQ(BtoL(0x80, 0, 0, 0), INT32_MIN);
    EXPECT_EQ(BtoL(0x7F, 0xFF, 0xFF, 0xFF), INT32_MAX);

    // Across the range in steps of 65537: each 16-bit half, and so each byte, takes every value.
    const uint64_t step = 65537;
    for (uint64_t u = 0; u <= 0xFFFFFFFFull; u += step) {
        const auto v = static_cast<int32_t>(static_cast<uint32_t>(u));
        LtoB(v, &b[3], &b[2], &b[1], &b[0]);
        ASSERT_EQ(uint32_t{b[3]} << 24 | uint32_t{b[2]} << 16 | uint32_t{b[1]} << 8 | b[0],
                  static_cast<uint32_t>(v));
        ASSERT_EQ(BtoL(b[3], b[2], b[1], b[0]), v);
    }
    for (int32_t v : {INT32_MIN, INT32_MIN + 1, -1, 0, 1, INT32_MAX - 1, INT32_MAX}) {
        LtoB(v, &b[3], &b[2], &b[1], &b[0]);
        EXPECT_EQ(BtoL(b[3], b[2], b[1], b[0]), v);
    }
    // Null outputs are skipped.
    LtoB(-1, nullptr, &b[2], nullptr, nullptr);
    EXPECT_EQ(b[2], 0xFF);
}
