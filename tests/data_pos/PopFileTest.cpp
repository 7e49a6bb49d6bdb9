// Positioning data files: what is saved reads back equal, hand-written records are taken as the
// amplifier can use them, and a file that cannot be read whole changes nothing.
#include "PosEnv.h"

#include <cerrno>
#include <climits>

#include "app/Uty.h"
#include "data/PopFil.h"
#include "platform/Ask.h"
#include "platform/TextFile.h"

namespace {

const char* kHead = "MODEL,1\nDATA,0,TESK_R,DEMO01______\nEND\n";
const char* kEnd = "DEF END,0\n";

class PopFile : public PosEnv {
  protected:
    // A recognisable state that a refused file must leave as it is.
    void Known() {
        PopStep[5] = {777, false, 1, 2, 3, 4, 1, "keep"};
        PopStep[6] = {};
        Pop16Prm[2].Value = 42;
        Pop32Prm[2].Value = -42;
        CommentTxt[3][0] = "old memo";
        SetPopDataSource(1, "");
    }
    void ExpectKnown() {
        EXPECT_EQ(PopStep[5], (PopStepRec{777, false, 1, 2, 3, 4, 1, "keep"}));
        EXPECT_EQ(PopStep[6], PopStepRec{});
        EXPECT_EQ(Pop16Prm[2].Value, 42);
        EXPECT_EQ(Pop32Prm[2].Value, -42);
        EXPECT_EQ(CommentTxt[3][0], "old memo");
        EXPECT_EQ(PopSrc, 1);
        EXPECT_EQ(PopSent, -1);
    }
};

TEST_F(PopFile, SavedTablesReadBackEqual) {
    // More than 256 entries, so that indexes above 0xFF must not fall onto the first ones.
    PopStepCnt[1] = 4;
    PopStepCnt[2] = PopStepCnt[3] = 300;
    Pop16Cnt[1] = 2;
    Pop16Cnt[2] = Pop16Cnt[3] = 260;
    Pop32Cnt[2] = Pop32Cnt[3] = 3;
    UserLevel = 1;
    for (int i = 0; i < 300; ++i)
        PopStep[i] = {i * 1000LL - 7,       false,
                      int16_t(i % 16),      int16_t(i % 4),
                      int16_t((i + 1) % 4), int16_t(i % 128),
                      int16_t(i % 2),       "step " + std::to_string(i)};
    PopStep[0] = {-123456789012345LL, false, 15, 3, 0, 100, 1, "far, away"};
    PopStep[1] = {0, true, 1, 1, 1, 1, 0, ""};
    PopStep[2] = {INT64_MIN, false, 0, 0, 0, 127, 0, "min"};
    PopStep[3] = {INT64_MAX, false, 0, 0, 0, 0, 0, "#not a remark"};
    PopStep[257] = {99, false, 9, 2, 2, 64, 1, "row 257"};
    for (int i = 0; i < 260; ++i)
        Pop16Prm[i].Value = i - 130;
    Pop16Prm[0].Value = -32768;
    Pop16Prm[1].Value = 32767;
    Pop16Prm[1].Name = "Speed, limit";
    Pop16Prm[256].Value = 1256;
    Pop32Prm[0].Value = INT32_MIN;
    Pop32Prm[1].Value = 70000;
    Pop32Prm[1].Name = "Span";
    Pop32Prm[2].Value = INT32_MAX;
    for (int j = 0; j < 5; ++j)
        CommentTxt[3][j] = "memo " + std::to_string(j);

    const std::string path = (dir_ / "a.ncp").string();
    ASSERT_EQ(FIL_SaveStepFile(path), -1);
    const std::string text = Slurp(path);
    EXPECT_NE(text.find("\r\nDATA,0x00,-123456789012345,3,0,15,1,100,\"far, away\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nDATA,0x01,,1,1,1,0,1,\"\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nDATA,0x101,99,2,2,9,1,64,\"row 257\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nDATA,0x01,32767,#[0x7FFF]:Speed limit\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nDATA,0x01,70000,#[0x1170]:Span\r\n"), std::string::npos);
    EXPECT_NE(text.find("STEP DATA,300,"), std::string::npos);

    PopStepRec steps[300];
    std::copy_n(PopStep, 300, steps);
    int32_t v16[260], v32[3];
    for (int i = 0; i < 260; ++i)
        v16[i] = Pop16Prm[i].Value;
    for (int i = 0; i < 3; ++i)
        v32[i] = Pop32Prm[i].Value;
    for (auto& s : PopStep)
        s = PopStepRec{};
    for (auto& p : Pop16Prm)
        p.Value = 0;
    for (auto& p : Pop32Prm)
        p.Value = 0;
    for (auto& l : CommentTxt[3])
        l.clear();

    plat::ScriptedAsker ask;
    ASSERT_EQ(POP_Load(path, 25, true), -1);
    EXPECT_TRUE(ask.Asked().empty());
    for (int i = 0; i < 300; ++i)
        EXPECT_EQ(PopStep[i], steps[i]) << "step " << i;
    EXPECT_EQ(PopStep[300], PopStepRec{});
    for (int i = 0; i < 260; ++i)
        EXPECT_EQ(Pop16Prm[i].Value, v16[i]) << "16-bit " << i;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Pop32Prm[i].Value, v32[i]) << "32-bit " << i;
    EXPECT_EQ(CommentTxt[3][4], "memo 4");
    EXPECT_EQ(PopSrc, 2);
    EXPECT_EQ(PopSrcName, "Value read from the file.");
    EXPECT_EQ(PopSent, 0);
}

TEST_F(PopFile, QuotesAndLineBreaksInStepCommentsCannotBreakTheFile) {
    PopStepCnt[2] = PopStepCnt[3] = 3;
    PopStep[0] = {1, false, 0, 0, 0, 0, 0, "say \"hi\", then\r\nleave"};
    PopStep[1] = {2, false, 0, 0, 0, 0, 0, "\""};
    PopStep[2] = {3, false, 1, 1, 1, 1, 1, "after"};
    const std::string path = (dir_ / "q.ncp").string();
    ASSERT_EQ(FIL_SaveStepFile(path), -1);
    for (auto& s : PopStep)
        s = PopStepRec{};
    plat::ScriptedAsker ask;
    ASSERT_EQ(POP_Load(path, 25, true), -1);
    EXPECT_EQ(PopStep[0].Comment, "say 'hi', then  leave");
    EXPECT_EQ(PopStep[1].Comment, "'");
    EXPECT_EQ(PopStep[2], (PopStepRec{3, false, 1, 1, 1, 1, 1, "after"}));
}

TEST_F(PopFile, HandWrittenRecordsAreTakenAsTheAmplifierCanUseThem) {
    const std::string p = Put("h.ncp", std::string(kHead) +
                                           "STEP DATA,5\n"
                                           "DATA,0x05,-123456789012,70,2,3,1,0,\"cmt\"\n"
                                           "DATA,0x06, +42 ,-1,9,16,2,100,\"a,b\"\n"
                                           "DATA,0x07,0,0,0,7000,0,200,\"\"\n"
                                           "DATA,0x400,1,1,1,1,1,1,\"last\"\n"
                                           "END\n"
                                           "POS PARA 16,2\nDATA,0x00,2.5\nDATA,0x200,-3.5\nEND\n"
                                           "POS PARA 32,1\nDATA,0x1A,70000\nEND\n" +
                                           kEnd);
    plat::ScriptedAsker ask;
    ASSERT_EQ(POP_Load(p, 25, true), -1);
    // Codes in file order acceleration, deceleration, velocity, block, mode, each limited to its range.
    EXPECT_EQ(PopStep[5], (PopStepRec{-123456789012LL, false, 3, 3, 2, 0, 1, "cmt"}));
    EXPECT_EQ(PopStep[6], (PopStepRec{42, false, 15, 0, 3, 100, 1, "a,b"}));
    EXPECT_EQ(PopStep[7].Vel, 15);
    EXPECT_EQ(PopStep[7].Mod, 127);
    EXPECT_EQ(PopStep[1024].Comment, "last");
    EXPECT_EQ(Pop16Prm[0].Value, 2); // halves to even
    EXPECT_EQ(Pop16Prm[512].Value, -4);
    EXPECT_EQ(Pop32Prm[26].Value, 70000);
    EXPECT_EQ(PopSrc, 2);
}

TEST_F(PopFile, FilesThatCannotBeReadWholeChangeNothing) {
    struct Case {
        const char* what;
        std::string body;
        std::vector<std::string> messages; // before "Reading failed."
    };
    const std::string good = "STEP DATA,1\nDATA,0x05,1,0,0,0,0,0,\"new\"\nEND\n";
    const std::string memo = "STEP COMMENT,5\nDATA,0,\"new memo\",#Memo\nEND\n";
    const Case cases[] = {
        {"truncated", std::string(kHead) + memo + good + "POS PARA 16,1\nDATA,0x02,5\n", {}},
        {"damaged",
         std::string(kHead) + memo + good + "POS PARA 16,1\nDATA,0x02,5\nBOGUS\nEND\n" + kEnd,
         {"File is damaged.", ""}},
        {"step index",
         std::string(kHead) + good + "STEP DATA,1\nDATA,0x401,1,0,0,0,0,0,\"\"\nEND\n" + kEnd,
         {}},
        {"parameter index", good + "POS PARA 32,1\nDATA,0x201,1\nEND\n" + kEnd, {}},
        {"16-bit range", good + "POS PARA 16,1\nDATA,0x02,40000\nEND\n" + kEnd, {}},
        {"32-bit range", good + "POS PARA 32,1\nDATA,0x02,2147483648\nEND\n" + kEnd, {}},
        {"code range", good + "STEP DATA,1\nDATA,0x06,0,0,0,70000,0,0,\"\"\nEND\n" + kEnd, {}},
        {"position text", good + "STEP DATA,1\nDATA,0x06,abc,0,0,0,0,0,\"\"\nEND\n" + kEnd, {}},
        {"position range",
         good + "STEP DATA,1\nDATA,0x06,9223372036854775808,0,0,0,0,0,\"\"\nEND\n" + kEnd,
         {}},
        {"other model",
         "MODEL,1\nDATA,0,TESK_R,OTHER0______\nEND\n" + memo + good + kEnd,
         {"Do you read data, though this is different model ?"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Known();
        const std::string p = Put("bad.ncp", c.body);
        plat::ScriptedAsker ask(plat::No);
        EXPECT_EQ(POP_Load(p, 25, true), 0);
        ExpectKnown();
        ASSERT_EQ(ask.Asked().size(), c.messages.size() + 1);
        for (size_t i = 0; i < c.messages.size(); ++i) {
            if (!c.messages[i].empty()) {
                EXPECT_EQ(ask.Asked()[i].text, c.messages[i]);
            }
        }
        EXPECT_EQ(ask.Asked().back().text, "Reading failed.");
        EXPECT_EQ(ask.Asked().back().title, "Positining parameter reading error");

        ask.Clear();
        EXPECT_EQ(POP_Load(p, 25, false), 0);
        ExpectKnown();
        EXPECT_EQ(ask.Asked().size(), c.messages.size());
    }
    plat::ScriptedAsker ask;
    EXPECT_EQ(POP_Load("", 25, true), 0);
    EXPECT_EQ(POP_Load((dir_ / "missing.ncp").string(), 25, false), 0);
    EXPECT_TRUE(ask.Asked().empty());
}

TEST_F(PopFile, FailedSavesLeaveTheOldFileAndSaySo) {
    PopStepCnt[2] = PopStepCnt[3] = 2;
    const std::string path = Put("keep.ncp", "old\n");
    plat::ScriptedAsker ask;
    auto prev = plat::SetWriteHook([](int, const void*, size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    });
    EXPECT_EQ(FIL_SaveStepFile(path), 0);
    plat::SetWriteHook(prev);
    EXPECT_EQ(Slurp(path), "old\r\n");
    ASSERT_EQ(ask.Asked().size(), 1u);
    EXPECT_EQ(ask.Asked()[0].text.rfind("Writing the step data form file : ", 0), 0u);
    EXPECT_EQ(ask.Asked()[0].title, "Error occurs");

    ask.Clear();
    EXPECT_EQ(FIL_SaveStepFile((dir_ / "no such folder" / "x.ncp").string()), 0);
    ASSERT_EQ(ask.Asked().size(), 1u);
    EXPECT_EQ(ask.Asked()[0].text.rfind("Open the positioning step data file. : ", 0), 0u);
    EXPECT_EQ(FIL_SaveStepFile(""), 0);
    EXPECT_EQ(ask.Asked().size(), 1u);
    EXPECT_EQ(Err().Number, 0);
}

TEST_F(PopFile, RestoreBringsBackStepsAndValuesButKeepsNewLimits) {
    PopStepCnt[2] = 4;
    PopStepCnt[3] = 2; // normal mode: backup still covers every entry of the model
    Pop16Cnt[2] = Pop16Cnt[3] = 3;
    PopStep[3] = {5, false, 1, 1, 1, 1, 1, "three"};
    Pop16Prm[2] = {"p", 0, 100, 50, 0, 0, {}, 0};
    BackupPopData();
    PopStep[3] = {};
    Pop16Prm[2].Value = 7;
    Pop16Prm[2].Min = -10;
    RestorePopData();
    EXPECT_EQ(PopStep[3].Comment, "three");
    EXPECT_EQ(Pop16Prm[2].Value, 50);
    EXPECT_EQ(Pop16Prm[2].Min, -10);
}

TEST_F(PopFile, PresetsOfSeriesThenModel) {
    KisyuKey = "TESK_R";
    ExtV25Opt[1] = 1;
    for (auto& v : CpuVer)
        v = CpuVerRec{};
    Known();
    plat::ScriptedAsker ask;
    EXPECT_EQ(LoadPopDefault(KisyuMei, true), 0);
    ASSERT_EQ(ask.Asked().size(), 1u);
    EXPECT_EQ(
        ask.Asked()[0].text,
        "Can not read the file of preset standard value of positioning parameter according to the series.  ");
    EXPECT_EQ(ask.Asked()[0].title, "Reading of the default");
    ExpectKnown();

    Put("ini/prm/TESK_R/tesk_r.ncp", "POS PARA 16,1\nDATA,0x02,1\nEND\nDEF END,0\n");
    Put("ini/prm/TESK_R/TESK_R00.NCP", "POS PARA 32,1\nDATA,0x02,2\nEND\nDEF END,0\n");
    Put("ini/prm/TESK_R/TESK_R02.NCP",
        "POS PARA 32,1\nDATA,0x02,3\nEND\nDEF END,0\n"); // after a gap: not read
    ask.Clear();
    EXPECT_EQ(LoadPopDefault(KisyuMei, true), -1);
    EXPECT_EQ(Pop16Prm[2].Value, 1);
    EXPECT_EQ(Pop32Prm[2].Value, 2);
    ASSERT_EQ(ask.Asked().size(), 1u);
    EXPECT_EQ(ask.Asked()[0].text,
              "Can not read the file of preset standard value of positioning parameter according "
              "to the model. Standerd preset values of TESK_R series are used.");
    EXPECT_EQ(PopSrc, 3);
    EXPECT_EQ(PopSrcName, "Default");

    Put("ini/prm/TESK_R/DEMO01______.NCP", "POS PARA 16,1\nDATA,0x02,9\nEND\nDEF END,0\n");
    ask.Clear();
    EXPECT_EQ(LoadPopDefault(KisyuMei, true), -1);
    EXPECT_EQ(Pop16Prm[2].Value, 9);
    EXPECT_TRUE(ask.Asked().empty());
}

TEST(PopPos, TextIsExactOverTheWholeRange) {
    EXPECT_EQ(PopPosParse(" -9223372036854775808 ")->value, INT64_MIN);
    EXPECT_EQ(PopPosParse("+5")->value, 5);
    EXPECT_TRUE(PopPosParse("  ")->empty);
    EXPECT_FALSE(PopPosParse("1.5"));
    EXPECT_FALSE(PopPosParse("+-5"));
    EXPECT_FALSE(PopPosParse("-"));
    EXPECT_FALSE(PopPosParse("12 3"));
    EXPECT_EQ(PopPosText(PopStepRec{}), "");
    PopStepRec far;
    far.Position = INT64_MAX;
    far.PosEmpty = false;
    EXPECT_EQ(PopPosText(far), "9223372036854775807");
    EXPECT_EQ(FIL_LimitVal(70, 0, 63), 63);
    EXPECT_EQ(FIL_LimitVal(-1, 0, 63), 0);
    EXPECT_EQ(FIL_PopIndex(5), "0x05");
    EXPECT_EQ(FIL_PopIndex(0x400), "0x400");
}

} // namespace
