// The link wrapper: simulated replies end to end, the reply-file reader, keys, and the block log files.
#include "CommEnv.h"

#include "comm/ComCore.h"
#include "comm/ComWrap.h"
#include "platform/Ask.h"

#include <algorithm>
#include <chrono>

using namespace commtest;
using Bytes = std::vector<uint8_t>;

namespace {

class Simulated : public OnLine {
  protected:
    void SetUp() override {
        OnLine::SetUp();
        SysCon.ChkDmyCom = 1;
    }
    // Request 8/2 without data to axis 0, as the user-parameter read sends it.
    int16_t Read82() {
        SndAxis = 0, SndCmd = 8, SndMode = 2, SndLen = 0;
        return ComCmd(SndAxis, SndCmd, SndMode, SndLen, NoErrWindow, 0, 0x38);
    }
    std::string ReplyFile() const { return ComTest() + "/COMTEST00/R2800.txt"; }
};

class BlockLog : public OnLine {};

} // namespace

TEST_F(Simulated, ReplyFileAnswersWithoutTouchingTheLine) {
    WriteFile(ReplyFile(), "03,00,28,\r\n12,34,00,\r\n");
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(Read82(), -1);
    EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(10));
    EXPECT_EQ(SndLen, 3);
    EXPECT_EQ(SndCmd, 8);
    EXPECT_EQ(SndMode, 2);
    EXPECT_EQ(RcvBuf[0], 0x12);
    EXPECT_EQ(RcvBuf[1], 0x34);
    EXPECT_EQ(ComStatus, 0);
    EXPECT_TRUE(sim.wire().empty());
    EXPECT_EQ(ReplyFilePath(), ReplyFile());
}

TEST_F(Simulated, CommentsAreSkippedWhereverTheyStand) {
    WriteFile(ReplyFile(), "#reply of 8/2,03,#x\n01,28\n#data\n12,#mid,34,00\n");
    EXPECT_EQ(Read82(), -1);
    EXPECT_EQ(SndAxis, 1);
    EXPECT_EQ(SndLen, 3);
    EXPECT_EQ(RcvBuf[1], 0x34);
}

TEST_F(Simulated, MissingReplyFileIsOfferedForEditingAtTheSamePath) {
    // Cancel at the first question fails the receive.
    {
        plat::ScriptedAsker asker(plat::Cancel);
        EXPECT_EQ(Read82(), 0);
        ASSERT_EQ(asker.Asked().size(), 1u);
        EXPECT_EQ(asker.Asked()[0].text, "2800.txt: doesn't exist. Enter the content.");
        EXPECT_FALSE(std::filesystem::exists(ReplyFile()));
    }
    // OK: the folder exists for the editor; the content "entered" there is what the receive reads.
    std::vector<std::string> texts;
    auto previous = plat::SetAsker([&](const plat::AskRequest& rq) {
        texts.push_back(rq.text);
        if (rq.text == "Press the button after entering inputs.") {
            EXPECT_TRUE(std::filesystem::is_directory(ComTest() + "/COMTEST00"));
            WriteFile(ReplyFile(), "02,00,28\n5A,00,\n");
        }
        return int(plat::Ok);
    });
    EXPECT_EQ(Read82(), -1);
    plat::SetAsker(previous);
    EXPECT_EQ(texts.size(), 2u);
    EXPECT_EQ(RcvBuf[0], 0x5A);
    EXPECT_EQ(SndLen, 2);
}

TEST_F(Simulated, DamagedReplyFilesFailCleanly) {
    const std::pair<const char*, const char*> cases[] = {
        {"03,00,28\n12,34\n", "ends before"},              // a data byte missing
        {"02,00,28\n12,zz\n", "not a hexadecimal number"}, // not hex
        {"01,00,128\n00\n", "too large"},                  // not a byte
        {"2712,00,28\n", "more than the 10001"},           // more than RcvBuf holds
        {"", "ends before"},                               // empty
    };
    for (const auto& [text, why] : cases) {
        plat::ScriptedAsker asker;
        WriteFile(ReplyFile(), text);
        std::fill(std::begin(RcvBuf), std::end(RcvBuf), 0xEE);
        EXPECT_EQ(Read82(), 0) << text;
        ASSERT_EQ(asker.Asked().size(), 1u) << text;
        EXPECT_NE(asker.Asked()[0].text.find(ReplyFile()), std::string::npos) << asker.Asked()[0].text;
        EXPECT_NE(asker.Asked()[0].text.find(why), std::string::npos) << asker.Asked()[0].text;
        EXPECT_TRUE(std::all_of(std::begin(RcvBuf), std::end(RcvBuf), [](uint8_t b) { return b == 0xEE; }));
    }
    // The most the buffer holds is still taken.
    ComTestBlock block;
    std::string full = "2711,00,28\n";
    for (int i = 0; i < 10001; ++i)
        full += "01,";
    EXPECT_TRUE(ParseComTestBlock(full, 10001, block, nullptr));
    EXPECT_EQ(block.data.size(), 10001u);
}

TEST(ComWrapKeys, KeysFollowTheRequestKinds) {
    struct Case {
        int axis, cmd, mode;
        Bytes data;
        int n;
        const char* file;
        const char* axisKey;
    };
    const Case cases[] = {
        {1, 0, 0, {}, 0, "0000.txt", "00"},
        {0, 8, 2, {}, 0, "2800.txt", "00"},
        {0, 8, 0, {0x12}, 1, "0812.txt", "00"},
        {3, 8, 0, {0x00}, 1, "0800.txt", "03"},
        {0, 10, 6, {0x03, 0x01}, 2, "6A0301.txt", "00"},
        {0, 8, 1, {0x05, 0xFE, 0xFF}, 3, "1800.txt", "00"},
        {0, 10, 0, {0x40, 0x01}, 2, "0A01.txt", "00"},
        {0, 11, 1, {0x03}, 1, "1B03.txt", "00"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MakeFileKey(c.cmd, c.mode, c.data, c.n), c.file);
        EXPECT_EQ(MakeAxisKey(c.axis, c.cmd, c.mode, c.data), c.axisKey);
    }
}

TEST(ComWrapText, BlockLinesBreakAfterEightBytes) {
    EXPECT_EQ(BlockLines(0, 1, 0, 0, {}), (std::vector<std::string>{"00,01,00", ""}));
    const Bytes three{0x12, 0x34, 0x00};
    EXPECT_EQ(BlockLines(3, 1, 8, 2, three), (std::vector<std::string>{"03,01,28", "12,34,00,"}));
    const Bytes nine{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99};
    EXPECT_EQ(BlockLines(8, 0, 1, 7, nine),
              (std::vector<std::string>{"08,00,71", "11,22,33,44,55,66,77,88"}));
    EXPECT_EQ(BlockLines(9, 0, 1, 7, nine),
              (std::vector<std::string>{"09,00,71", "11,22,33,44,55,66,77,88", "99,"}));
}

TEST_F(BlockLog, BlocksAreWrittenInTheExactFormatAndReadBackAsReplies) {
    SysCon.ChkBlkLog = 1;
    sim.setHandler([](const ampsim::Request&) { return std::optional<Bytes>(Bytes{0x12, 0x34, 0x00}); });
    SndAxis = 1, SndCmd = 0, SndMode = 0, SndLen = 0;
    ASSERT_EQ(ComCmd(SndAxis, SndCmd, SndMode, SndLen, NoErrWindow, 0, 0x38), -1);
    EXPECT_EQ(ReadFile(ComTest() + "/COMLOG/S0000.txt"), "00,01,00\r\n\r\n");
    const std::string received = ReadFile(ComTest() + "/COMLOG/R0000.txt");
    EXPECT_EQ(received, "03,01,00\r\n12,34,00,\r\n");

    // A receive log is a valid reply file.
    ComTestBlock block;
    ASSERT_TRUE(ParseComTestBlock(received, RcvBufSize, block, nullptr));
    EXPECT_EQ(block.axis, 1);
    EXPECT_EQ(block.data, (Bytes{0x12, 0x34, 0x00}));

    // The last block of a key replaces the one before.
    sim.setHandler([](const ampsim::Request&) {
        return std::optional<Bytes>(Bytes{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88});
    });
    SndAxis = 1, SndCmd = 0, SndMode = 0, SndLen = 0;
    ASSERT_EQ(ComCmd(SndAxis, SndCmd, SndMode, SndLen, NoErrWindow, 0, 0), -1);
    EXPECT_EQ(ReadFile(ComTest() + "/COMLOG/R0000.txt"), "08,01,00\r\n11,22,33,44,55,66,77,88\r\n");
}

TEST_F(BlockLog, AnUnwritableLogIsReportedAndTheExchangeGoesOn) {
    plat::ScriptedAsker asker;
    SysCon.ChkBlkLog = 1;
    // A file where the folder should be.
    WriteFile(ComTest() + "/x", "");
    std::filesystem::rename(ComTest() + "/x", ComTest() + "/COMLOG");
    SndAxis = 0, SndCmd = 0, SndMode = 0, SndLen = 0;
    EXPECT_EQ(ComCmd(SndAxis, SndCmd, SndMode, SndLen, NoErrWindow, 0, 0x38), -1);
    ASSERT_EQ(asker.Asked().size(), 2u);
    EXPECT_EQ(asker.Asked()[0].text.rfind("0000.txt", 0), 0u) << asker.Asked()[0].text;
}
