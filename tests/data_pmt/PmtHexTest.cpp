// Intel-HEX parameter files: the writer's records, the reader's typing of a file and its refusals.
#include "../common/Fifo.h"
#include "../common/Oversized.h"
#include "PmtEnv.h"

#include "data/PmtFil.h"

#include <vector>

namespace {

class PmtHex : public PmtEnv {
  protected:
    void SetUp() override {
        PmtEnv::SetUp();
        KisyuCode = 10;
        Prm16MaxAll = 127;
        for (int n = 0; n < PrmCnt; ++n)
            PrmVal[n] = static_cast<int16_t>(n);
    }
    static std::vector<int16_t> Values() { return {std::begin(PrmVal), std::end(PrmVal)}; }
};

TEST_F(PmtHex, WriterRecordsAreByteExact) {
    ASSERT_EQ(PrmHoZon(Path("a.prm"), 10), -1);
    const std::string text = Slurp(Path("a.prm"));
    EXPECT_EQ(text.rfind(":1000000000000100020003000400050006000700D4\r\n"
                         ":10001000080009000A000B000C000D000E000F0084\r\n",
                         0),
              0u);
    EXPECT_NE(text.find("\r\n:1000F000780079007A007B007C007D007E007F0024\r\n:00000001FF\r\n"), std::string::npos);
    EXPECT_EQ(text.size(), 16u * 45 + 13); // 16 records, then the end record: nothing more
}

TEST_F(PmtHex, NegativeValuesAndHighBase) {
    KisyuCode = 25;
    IhxBase = 95;
    Prm16MaxAll = 7;
    const int16_t v[8] = {-1, 0, 1, 2, 3, 4, 5, 32767};
    std::copy(std::begin(v), std::end(v), PrmVal);
    ASSERT_EQ(WriteHexFile(Path("a.prm")), -1);
    EXPECT_EQ(Slurp(Path("a.prm")), ":105F0000FFFF000001000200030004000500FF7F06\r\n:00000001FF\r\n");
}

TEST_F(PmtHex, RoundTripBySeries) {
    struct Case {
        int16_t code;
        int16_t base;
        int last; // last number the file type keeps
    } cases[] = {{10, 0, 63}, {11, 0, 63}, {20, 0x2F, 95}, {23, 0x5F, 127}, {25, 0x5F, 127}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        KisyuCode = c.code;
        IhxBase = c.base;
        PrmSrc = 1;
        Prm16MaxAll = 127;
        for (int n = 0; n < PrmCnt; ++n)
            PrmVal[n] = static_cast<int16_t>(n * 251 - 16000);
        auto written = Values();
        if (c.code == 23) { // the file carries the checksums in 79 and 95
            written[79] = static_cast<int16_t>(PrmSum(0, 79));
            written[95] = static_cast<int16_t>(PrmSum(80, 95));
        }
        ASSERT_EQ(WriteHexFile(Path("a.prm")), -1);
        for (int n = 0; n < PrmCnt; ++n)
            PrmVal[n] = -7;
        // Series 25 loads its own files in group form; its Intel-HEX reader is called directly.
        ASSERT_EQ(c.code == 25 ? ReadHexFile(Path("a.prm")) : PMT_Load(Path("a.prm"), c.code, 0), -1);
        for (int n = 0; n < PrmCnt; ++n)
            ASSERT_EQ(PrmVal[n], n <= c.last ? written[static_cast<size_t>(n)] : -7) << n;
        EXPECT_EQ(PrmSrc, c.code == 25 ? 1 : 2);
        EXPECT_TRUE(Asked().empty());
    }
}

TEST_F(PmtHex, Series23WritesItsChecksumsIntoTheFileOnly) {
    KisyuCode = 23;
    IhxBase = 0x5F;
    const int32_t first = PrmSum(0, 79);
    const int32_t second = PrmSum(80, 95);
    ASSERT_EQ(WriteHexFile(Path("a.prm")), -1);
    EXPECT_EQ(PrmVal[79], 79); // the values on screen stay as they were
    ASSERT_EQ(ReadHexFile(Path("a.prm")), -1);
    EXPECT_EQ(PrmVal[79], static_cast<int16_t>(first));
    EXPECT_EQ(PrmVal[95], static_cast<int16_t>(second));
}

TEST_F(PmtHex, SystemParametersAreZeroBelowInternalMode) {
    PrmAttr[9].Attr = PrmAttrSystem;
    PrmVal[9] = 0x1234;
    ASSERT_EQ(WriteHexFile(Path("a.prm")), -1);
    EXPECT_NE(Slurp(Path("a.prm")).find(":10001000080000000A00"), std::string::npos);
    EXPECT_EQ(PMT_Load(Path("a.prm"), 10, 0), -1);
    EXPECT_EQ(PrmVal[9], 0);

    UserLevel = 2;
    PrmVal[9] = 0x1234;
    ASSERT_EQ(WriteHexFile(Path("a.prm")), -1);
    EXPECT_NE(Slurp(Path("a.prm")).find(":10001000080034120A00"), std::string::npos);
}

TEST_F(PmtHex, BadFilesAreRefusedAndChangeNothing) {
    const std::string r0 = ":1000000000000100020003000400050006000700D4\r\n";
    const std::string r1 = ":10001000080009000A000B000C000D000E000F0084\r\n";
    const std::string end = ":00000001FF\r\n";
    struct Case {
        const char* what;
        int16_t code;
        std::string text;
        const char* message;
    } cases[] = {
        {"end record first", 10, end + r0, "File error"},
        {"empty file", 10, "", "File error"},
        {"wrong checksum digit", 10, r0 + ":10001000080009000A000B000C000D000E000F0085\r\n" + end, "Check-sum error"},
        {"no colon", 10, r0 + "xxxxxxxxxx:10001000080009000A000B000C000D000E000F0084\r\n" + end,
         "Detection of [:] failed."},
        {"file of series 20", 25, ":102F000000000100020003000400050006000700A5\r\n" + end,
         "Amplifier model is different."},
        {"unknown address", 10, ":10100000000001000200030004000500060007" "00C4\r\n" + end,
         "Type of the file is different."},
        {"truncated data line", 10, r0 + r1.substr(0, 30) + "\r\n" + end, "File error"},
        {"no end record", 10, r0 + r1, "File error"},
        {"cut in the last line", 10, r0 + r1.substr(0, 20), "File error"},
        {"not hexadecimal", 10, r0 + ":10001000080009000A000B000C000D000E000G0084\r\n" + end, "File error"},
        {"byte count 0x20", 10, r0 + ":20001000080009000A000B000C000D000E000F0074\r\n" + end, "File error"},
        {"record type 01 with data", 10, r0 + ":10001001080009000A000B000C000D000E000F0083\r\n" + end, "File error"},
        {"junk end record", 10, r0 + ":00000001FE\r\n", "File error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        KisyuCode = c.code;
        for (int n = 0; n < PrmCnt; ++n)
            PrmVal[n] = -5;
        Put("bad.prm", c.text);
        EXPECT_EQ(c.code == 25 ? ReadHexFile(Path("bad.prm")) : PMT_Load(Path("bad.prm"), c.code, -1), 0);
        const auto asked = Asked();
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].text, c.message);
        EXPECT_EQ(asked[0].title, plat::DefaultTitle());
        for (int n = 0; n < PrmCnt; ++n)
            ASSERT_EQ(PrmVal[n], -5) << n;
        EXPECT_EQ(PrmSrc, 1);
    }
}

TEST_F(PmtHex, AcceptedLineEndsTrailingTextAndLowerCaseDigits) {
    const std::string body = ":1000000000000100020003000400050006000700d4\n:00000001ff";
    Put("lf.prm", body);
    for (int n = 0; n < PrmCnt; ++n)
        PrmVal[n] = -5;
    ASSERT_EQ(ReadHexFile(Path("lf.prm")), -1);
    EXPECT_EQ(PrmVal[7], 7);
    EXPECT_EQ(PrmVal[8], -5);
    EXPECT_TRUE(Asked().empty());
}

TEST_F(PmtHex, MissingFileFailsSilently) {
    EXPECT_EQ(ReadHexFile(Path("none.prm")), 0);
    // A named pipe is no file: refused alike, without waiting for a writer.
    int16_t read = -1;
    EXPECT_LT(SecondsOnFifo(Path("pipe.prm"), [&] { read = ReadHexFile(Path("pipe.prm")); }), 1.0);
    EXPECT_EQ(read, 0);
    EXPECT_EQ(PMT_Load(Path("none.prm"), 10, -1), 0);
    EXPECT_TRUE(Asked().empty());
    EXPECT_EQ(WriteHexFile(Path("no/such/a.prm")), 0);
    const auto asked = Asked();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text.rfind("Writing the parameter : ", 0), 0u);
}

// An Intel-HEX file over the size limit is refused as a missing one is, values untouched.
TEST_F(PmtHex, OversizedFileIsRefusedLikeAMissingOne) {
    ASSERT_EQ(WriteHexFile(Path("a.prm")), -1);
    const std::string big = PutOversized(Path("big.prm"), Slurp(Path("a.prm")));
    for (int n = 0; n < PrmCnt; ++n)
        PrmVal[n] = -5;
    EXPECT_EQ(ReadHexFile(big), 0);
    EXPECT_EQ(PMT_Load(big, 10, -1), 0);
    EXPECT_EQ(PrmVal[7], -5);
    EXPECT_TRUE(Asked().empty());
}

} // namespace
