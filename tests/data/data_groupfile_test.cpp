// The group-file format: items, values, both quoting rules, the whole-file reader with its failure
// classes, the writer and the common groups.
#include <gtest/gtest.h>

#include <cstdlib>

#include "../common/Fifo.h"
#include "../common/Oversized.h"
#include "TestFiles.h"
#include "app/Frame.h"
#include "app/FrmPrmSelLogic.h"
#include "app/Glb.h"
#include "app/Uty.h"
#include "data/DefFil.h"
#include "data/WavFil.h"
#include "platform/Ask.h"
#include "platform/EndProgram.h"
#include "platform/TextFile.h"

namespace {

// A file's items through the token readers, closed at the end of the scope.
struct Items {
    int16_t f;
    explicit Items(const std::string& path) : f(FIL_OpenRead(path)) {}
    ~Items() { FIL_Close(f); }
};

const char* kEnd = "#----\nDEF END,0\n";

class GroupFile : public ScratchDir {
protected:
    void SetUp() override
    {
        ScratchDir::SetUp();
        KisyuMei = "DEMO01______";
        KisyuCode = 25;
        for (auto& k : CommentTxt)
            for (auto& l : k) l.clear();
        for (auto& v : CpuVer) v = CpuVerRec{};
        MotorMei = MotorMeiRec{};
        LoadSel[3] = 0;
    }
};

TEST_F(GroupFile, ValuesFollowTheirFirstTwoCharacters)
{
    Items it(Put("v.txt", "Tr,Fa,0xFFFF,0x8000,0x10000,0XFF,0x,0x1G, -1.5e2 ,TRUE,7\n .25 ,0x0000FFFF,\"12\"\n"));
    ASSERT_NE(it.f, -1);
    EXPECT_EQ(FIL_ReadValue(it.f), Variant(true));
    EXPECT_EQ(FIL_ReadValue(it.f), Variant(false));
    EXPECT_EQ(FIL_ReadValue(it.f).ToDouble(), -1);
    EXPECT_EQ(FIL_ReadValue(it.f).ToDouble(), -32768);
    EXPECT_EQ(FIL_ReadValue(it.f).ToDouble(), 65536);
    EXPECT_EQ(FIL_ReadValue(it.f).ToDouble(), 255);
    EXPECT_EQ(FIL_ReadValue(it.f).ToDouble(), 0);
    EXPECT_EQ(FIL_ReadValue(it.f).ToDouble(), 1);
    EXPECT_EQ(FIL_ReadValue(it.f).ToDouble(), -150);
    // "TRUE" is not a value: the next item takes its place.
    EXPECT_EQ(FIL_ReadValue(it.f).ToDouble(), 7);
    EXPECT_EQ(FIL_ReadValue(it.f).ToDouble(), 0.25);
    EXPECT_EQ(FIL_ReadValue(it.f).ToDouble(), 65535);
    EXPECT_EQ(FIL_ReadValue(it.f).ToDouble(), 12);
    EXPECT_THROW(FIL_ReadValue(it.f), FilError); // end of file
}

TEST_F(GroupFile, ConversionsRoundHalfEvenAndRefuseWhatDoesNotFit)
{
    EXPECT_EQ(Variant(2.5).ToInt16(), 2);
    EXPECT_EQ(Variant(3.5).ToInt16(), 4);
    EXPECT_EQ(Variant(-2.5).ToInt16(), -2);
    EXPECT_EQ(Variant(true).ToInt16(), -1);
    EXPECT_THROW(Variant(32768.0).ToInt16(), VariantError);
    EXPECT_THROW(Variant(2147483648.0).ToInt32(), VariantError);
    Items it(Put("v.txt", "0x123456789\n"));
    EXPECT_THROW(FIL_ReadValue(it.f), VariantError);
}

TEST_F(GroupFile, ItemsCommentsAndWholeItemQuotes)
{
    Items it(Put("i.txt", "  abc  ,#note,x\n\"a,b\"tail,\"#not a comment\"\n#c1\n\n,  DATA  ,END\n"));
    EXPECT_EQ(FIL_ReadString(it.f), "abc");
    // A comma inside a comment ends it: "x" is an item of its own.
    EXPECT_EQ(FIL_ReadString(it.f), "x");
    EXPECT_EQ(FIL_ReadString(it.f), "a,b");
    EXPECT_EQ(FIL_ReadString(it.f), "#not a comment");
    // Blank lines and empty items are passed over where a command is expected.
    EXPECT_EQ(FIL_ReadCommand(it.f), "DATA");
    EXPECT_EQ(FIL_ReadCommand(it.f), "END");
    EXPECT_THROW(FIL_ReadCommand(it.f), FilError);
}

TEST_F(GroupFile, UnknownCommandIsTheEmptyText)
{
    Items it(Put("c.txt", "data,END\n"));
    EXPECT_EQ(FIL_ReadCommand(it.f), "");
    EXPECT_EQ(FIL_ReadCommand(it.f), "END");
}

TEST_F(GroupFile, MemoQuotingRunsToTheCommaAndStaysOnItsRecordsLine)
{
    Items it(Put("m.txt", "DATA,0,\"a,b\",#Memo\nDATA,1,\"\"junk,#Memo\nDATA,2,  \"  x  \",#Memo\n"
                          "DATA,3,#skip, \"y\"\nDATA,4,\"unterminated\nDATA,5\nDATA,6,#Memo\nDATA,7,\"z\",\n"));
    // Records without a quoted text (the bare form) read as empty and leave the next record alone.
    const char* memo[] = {"a", "", "x", "y", "unterminated", "", "", "z"};
    for (int n = 0; n < 8; ++n) {
        ASSERT_EQ(FIL_ReadCommand(it.f), "DATA") << n;
        ASSERT_EQ(FIL_ReadValue(it.f).ToInt16(), n);
        EXPECT_EQ(FIL_ReadQuotedString(it.f), memo[n]) << n;
        if (n == 0) {
            EXPECT_EQ(FIL_ReadString(it.f), "b\""); // the rest of a cut memo is an item of its own
        }
    }
}

TEST_F(GroupFile, ExtractionStatusCommentGroupReadsInBothForms)
{
    const std::string p = Put("x.prs", "COMMENT,5\nDATA,0\nDATA,1,\"one\",#Memo\nDATA,2\nDATA,3,\"three\",#Memo\nDATA,4\n"
                                       "END\n" + std::string(kEnd));
    plat::ScriptedAsker ask;
    EXPECT_EQ(FIL_ReadGroupFile(p, 0), -1);
    EXPECT_EQ(CommentTxt[0][1], "one");
    EXPECT_EQ(CommentTxt[0][2], "");
    EXPECT_EQ(CommentTxt[0][3], "three");
    FilHeader h;
    EXPECT_EQ(FIL_LoadName(p, h), -1);
    EXPECT_EQ(h.comment[3], "three");
    EXPECT_TRUE(ask.Asked().empty());
}

// Hand-written files may put a record's memo on the line after a comment item; the bare "DATA,n" form,
// whose next line is the next record, still reads as the empty text.
TEST_F(GroupFile, MemoOnTheLineAfterACommentItem) {
    const std::string body =
        ",5\nDATA,0,#note\n  \"zero\",#Memo\nDATA,1,\"one\",#Memo\n"
        "DATA,2,#a,#b\n#whole line\n\n #c, \"two\" ,#Memo\nDATA,3\nDATA,4,\n\"four\",#Memo\nEND\n";
    const char* kinds[] = {"PARA COMMENT", "WAVE COMMENT", "FREQ COMMENT", "STEP COMMENT", "COMMENT"};
    const int kind[] = {0, 1, 2, 3, 0};
    for (int k = 0; k < 5; ++k) {
        for (auto& t : CommentTxt[kind[k]])
            t = "old";
        const std::string p = Put("c" + std::to_string(k) + ".prm", std::string(kinds[k]) + body + kEnd);
        plat::ScriptedAsker ask;
        EXPECT_EQ(FIL_ReadGroupFile(p, 0), -1) << kinds[k];
        EXPECT_TRUE(ask.Asked().empty()) << kinds[k]; // no "File is damaged."
        const char* memo[] = {"zero", "one", "two", "", "four"};
        for (int n = 0; n < 5; ++n)
            EXPECT_EQ(CommentTxt[kind[k]][n], memo[n]) << kinds[k] << " " << n;

        // The chooser's preview reads the same records.
        FilHeader h;
        EXPECT_EQ(FIL_LoadName(p, h), -1) << kinds[k];
        for (int n = 0; n < 5; ++n)
            EXPECT_EQ(h.comment[n], memo[n]) << kinds[k] << " " << n;
    }

    // A bare record followed by a comment line keeps the next record its own; a record whose comment
    // ends the file's last line before any quote reads as empty too.
    Items it(Put("b.txt", "DATA,0,#note\n#x\nDATA,1,\"one\"\nDATA,2,#tail\n"));
    for (int n = 0; n < 3; ++n) {
        ASSERT_EQ(FIL_ReadCommand(it.f), "DATA") << n;
        ASSERT_EQ(FIL_ReadValue(it.f).ToInt16(), n);
        EXPECT_EQ(FIL_ReadQuotedString(it.f), n == 1 ? "one" : "") << n;
    }
    EXPECT_THROW(FIL_ReadCommand(it.f), FilError);
}

// A named pipe in place of a data file is refused at once, as a file that cannot be opened is.
TEST_F(GroupFile, NamedPipeIsNotReadAsAFile)
{
    plat::ScriptedAsker ask;
    const std::string wgc = (dir_ / "ini" / "user.wgc").string();
    EXPECT_EQ(FIL_LoadWaveCndFile(wgc), 0); // missing
    ASSERT_EQ(ask.Asked().size(), 1u);
    const std::string missing = ask.Asked()[0].text;
    int16_t read = -1;
    EXPECT_LT(SecondsOnFifo(wgc, [&] { read = FIL_LoadWaveCndFile(wgc); }), 1.0);
    EXPECT_EQ(read, 0);
    ASSERT_EQ(ask.Asked().size(), 2u);
    EXPECT_EQ(ask.Asked()[1].text, missing);

    // The group-file reader and the chooser's preview say nothing, as for a missing file.
    const std::string prs = (dir_ / "ini" / "user.prs").string();
    read = -1;
    EXPECT_LT(SecondsOnFifo(prs, [&] { read = FIL_ReadGroupFile(prs, 0); }), 1.0);
    EXPECT_EQ(read, 0);
    FilHeader h;
    read = -1;
    EXPECT_LT(SecondsOnFifo(prs, [&] { read = FIL_LoadName(prs, h); }), 1.0);
    EXPECT_EQ(read, 0);
    EXPECT_EQ(ask.Asked().size(), 2u);
}

// A file over the size limit is turned away unread, as one that cannot be opened: a data file reads as
// missing; a definition file, which the program cannot run without, ends it as a damaged one does.
TEST_F(GroupFile, OversizedFileIsTurnedAwayUnread)
{
    const std::string memo = "PARA COMMENT,5\r\nDATA,0,\"from the big file\"\r\nEND\r\n";
    const std::string prs = PutOversized((dir_ / "big.prs").string(), memo, "DEF END,0\r\n");
    CommentTxt[0][0] = "kept";
    plat::ScriptedAsker ask;
    EXPECT_EQ(FIL_ReadGroupFile(prs, 0), 0);
    FilHeader h;
    EXPECT_EQ(FIL_LoadName(prs, h), 0);
    EXPECT_EQ(h.comment[0], "");
    plat::ReadError why;
    EXPECT_EQ(FIL_OpenRead(prs, &why), -1);
    EXPECT_TRUE(why.tooLarge);
    EXPECT_EQ(CommentTxt[0][0], "kept");
    EXPECT_TRUE(ask.Asked().empty());

    plat::EndProgramThrows ends;
    const std::string def = PutOversized((dir_ / "ini" / "def" / "big.DEF").string(), memo, "DEF END,0\r\n");
    EXPECT_THROW(FIL_ReadGroupFile(def, -1), plat::ProgramEnded);
    ASSERT_EQ(ask.Asked().size(), 2u);
    EXPECT_EQ(ask.Asked()[0].text, "File is damaged. Install the Mevalo again.");
    EXPECT_EQ(ask.Asked()[0].title, "Can't execute Mevalo");
    EXPECT_EQ(ask.Asked()[1].title, "Internal use information");
    EXPECT_EQ(CommentTxt[0][0], "kept");
}

TEST_F(GroupFile, GroupHeaderSkipsBlanksAndTrailerNeedsNoCount)
{
    Items it(Put("g.txt", "\n\n  MODEL ,0x0B\n,\nDEF END\n"));
    int16_t count = 0;
    EXPECT_EQ(FIL_ReadGroup(it.f, count), "MODEL");
    EXPECT_EQ(count, 11);
    EXPECT_EQ(FIL_ReadGroup(it.f, count), "DEF END");
}

TEST_F(GroupFile, SkipHelpers)
{
    Items it(Put("s.txt", "a,#c,b,c,\"m1\",#x,\"m2\",#x\nlast\n"));
    EXPECT_EQ(FIL_SkipIf(it.f, 0, 2), 0);
    EXPECT_EQ(FIL_SkipIf(it.f, -1, 2), -1);
    EXPECT_EQ(FIL_ReadString(it.f), "c");
    EXPECT_EQ(FIL_SkipQuotedIf(it.f, 1, 2), -1);
    EXPECT_EQ(FIL_ReadString(it.f), "last");
}

TEST_F(GroupFile, ReadsThroughBlankLinesAndUnknownGroupsWithoutFields)
{
    const std::string p = Put("a.prm",
                              "#\n#header\n\nODD GROUP,3,#x\n#\nDATA,0\nDATA,1\nEND\n\n"
                              "PARA COMMENT,99\nDATA,2,\"hello\",#Memo\nEND\n" +
                                  std::string(kEnd) + "anything after,,,\n");
    plat::ScriptedAsker ask;
    EXPECT_EQ(FIL_ReadGroupFile(p, 0), -1);
    EXPECT_EQ(CommentTxt[0][2], "hello");
    EXPECT_TRUE(ask.Asked().empty());
}

TEST_F(GroupFile, DataFileFailures)
{
    plat::ScriptedAsker ask;
    // Truncated before DEF END: False and not a word, and what was read is taken back.
    CommentTxt[0][0] = "before";
    EXPECT_EQ(FIL_ReadGroupFile(Put("t.prm", "PARA COMMENT,5\nDATA,0,\"x\",#Memo\nEND\n"), 0), 0);
    EXPECT_EQ(CommentTxt[0][0], "before");
    // An index outside the table: an error stop, False without a word.
    EXPECT_EQ(FIL_ReadGroupFile(Put("i.prm", "PARA COMMENT,5\nDATA,5,\"y\",#Memo\nEND\n" + std::string(kEnd)), 0), 0);
    EXPECT_TRUE(ask.Asked().empty());
    // A missing file: False, no message.
    EXPECT_EQ(FIL_ReadGroupFile((dir_ / "none.prm").string(), 0), 0);
    EXPECT_EQ(FIL_ReadGroupFile((dir_ / "none.prm").string(), -1), 0);
    EXPECT_TRUE(ask.Asked().empty());

    // A field where a command belongs: the damaged-file messages, then False.
    const std::string p = Put("d.prm", "MODEL,1\nDATA,0,TESK_R,DEMO01______,extra\nEND\n" + std::string(kEnd));
    EXPECT_EQ(FIL_ReadGroupFile(p, 0), 0);
    ASSERT_EQ(ask.Asked().size(), 2u);
    EXPECT_EQ(ask.Asked()[0].text, "File is damaged.");
    EXPECT_EQ(ask.Asked()[0].title, "File reading error.");
    EXPECT_EQ(ask.Asked()[0].icon, plat::Icon::Critical);
    EXPECT_EQ(ask.Asked()[1].text, "File:" + p + " GroupMODEL Block :0 Extension :");
    EXPECT_EQ(ask.Asked()[1].title, "Internal use information");
    EXPECT_EQ(ask.Asked()[1].icon, plat::Icon::None);
}

TEST_F(GroupFile, FatalReadsEndTheProgramAfterTheirMessages)
{
    plat::EndProgramThrows ends;
    for (const std::string& body : {std::string("PARA COMMENT,5\nDATA,3,\"x\",#Memo\n"),
                                    std::string("PARA COMMENT,5\nDATA,3,\"x\",#Memo\nbogus\nEND\n") + kEnd}) {
        plat::ScriptedAsker ask;
        const std::string p = Put("f.DEF", body);
        EXPECT_THROW(FIL_ReadGroupFile(p, -1), plat::ProgramEnded);
        ASSERT_EQ(ask.Asked().size(), 2u);
        EXPECT_EQ(ask.Asked()[0].text, "File is damaged. Install the Mevalo again.");
        EXPECT_EQ(ask.Asked()[0].title, "Can't execute Mevalo");
        EXPECT_EQ(ask.Asked()[0].icon, plat::Icon::Critical);
        EXPECT_EQ(ask.Asked()[1].title, "Internal use information");
        EXPECT_EQ(ask.Asked()[1].text.rfind("File:" + p + " GroupPARA COMMENT Block :3 Extension :", 0), 0u);
    }
}

TEST_F(GroupFile, ModelOfAnotherAmplifierIsAsked)
{
    const std::string p = Put("m.prm", "MODEL,1\nDATA,0,TESK_R,OTHER0______,#Type and model\nEND\n"
                                       "PARA COMMENT,5\nDATA,0,\"after\",#Memo\nEND\n" + std::string(kEnd));
    {
        plat::ScriptedAsker ask;
        ask.Push(plat::No);
        EXPECT_EQ(FIL_ReadGroupFile(p, 0), 0);
        ASSERT_EQ(ask.Asked().size(), 1u); // the question, and no further message
        EXPECT_EQ(ask.Asked()[0].text, "Do you read data, though this is different model ?");
        EXPECT_EQ(ask.Asked()[0].title, "Yes ?");
        EXPECT_EQ(ask.Asked()[0].buttons, plat::Buttons::YesNo);
        EXPECT_EQ(CommentTxt[0][0], "");
    }
    {
        plat::ScriptedAsker ask(plat::Yes);
        EXPECT_EQ(FIL_ReadGroupFile(p, 0), -1);
        EXPECT_EQ(CommentTxt[0][0], "after");
    }
    {
        plat::ScriptedAsker ask;
        KisyuMei = "OTHER0______";
        EXPECT_EQ(FIL_ReadGroupFile(p, 0), -1);
        EXPECT_TRUE(ask.Asked().empty());
    }
}

TEST_F(GroupFile, WriterOutputIsExact)
{
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    FIL_SetClock([] { return std::time_t(1704164645); }); // 2024-01-02 03:04:05 UTC
    CommentTxt[0][0] = "first line";
    CpuVer[0] = {1, 3, 5, 0};
    const std::string path = (dir_ / "a.prm").string();
    const int16_t f = FIL_OpenDateGroupe(path);
    ASSERT_NE(f, -1);
    FIL_WriteGroup(f, "MODEL", 0, 0);
    FIL_WriteGroup(f, "PARA COMMENT", 0, 4);
    FIL_WriteGroup(f, "CPU VER", 0, 10);
    FIL_WriteGroup(f, "MOTOR MODEL", 0, 0);
    EXPECT_EQ(FIL_CloseDateGroupe(f), -1);
    FIL_SetClock({});

    const std::string sep = "#----------------------------------------------\r\n";
    const std::string want = "#\r\n#\r\n#file(" + path + ")\r\n#Date and time2024/01/02 03:04:05\r\n#\r\n#\r\n" + sep +
                             "MODEL,1,#Group name and max. data\r\n#\r\n"
                             "DATA,0,TESK_R,DEMO01______,#Type and model\r\nEND\r\n" +
                             sep +
                             "PARA COMMENT,5,#Group name and max. data\r\n#\r\n"
                             "DATA,0,\"first line\",#Memo\r\nDATA,1,\"\",#Memo\r\nDATA,2,\"\",#Memo\r\n"
                             "DATA,3,\"\",#Memo\r\nDATA,4,\"\",#Memo\r\nEND\r\n" +
                             sep + "CPU VER,11,#Group name and max. data\r\n#\r\nDATA,0,0x03,0x05\r\nEND\r\n" + sep +
                             "MOTOR MODEL,1,#Group name and max. data\r\n#\r\nEND\r\n" + sep +
                             "DEF END,0\r\n#\r\n#\r\n#\r\n#end of file\r\n#\r\n#\r\n";
    EXPECT_EQ(Slurp(path), want);

    CommentTxt[0][0].clear();
    plat::ScriptedAsker ask;
    EXPECT_EQ(FIL_ReadGroupFile(path, 0), -1);
    EXPECT_EQ(CommentTxt[0][0], "first line");
    EXPECT_TRUE(ask.Asked().empty());
}

TEST_F(GroupFile, HostileTextsReadBackWhole)
{
    // A folder name with a comma must not break the header comment.
    std::filesystem::create_directories(dir_ / "a,b");
    const std::string path = (dir_ / "a,b" / "x.wgd").string();
    KisyuMei = "M,1#\"Q\"";
    MotorMei = {1, "#motor, big"};
    const std::string memos[] = {"\u30c6\u30b9\u30c8 memo", "  padded  ", "#hash", "a,b\"c", ""};
    for (int i = 0; i < 5; ++i) CommentTxt[1][i] = memos[i];
    CommentTxt[3][4] = "step";

    int16_t f = FIL_OpenDateGroupe(path);
    ASSERT_NE(f, -1);
    FIL_WriteGroup(f, "MODEL", 0, 0);
    FIL_WriteGroup(f, "MOTOR MODEL", 0, 0);
    FIL_WriteGroup(f, "WAVE COMMENT", 0, 4);
    FIL_WriteGroup(f, "STEP COMMENT", 0, 4);
    FIL_WriteGroup(f, "DEBUG STATE", 0, 0);
    ASSERT_EQ(FIL_CloseDateGroupe(f), -1);

    for (auto& l : CommentTxt[1]) l = "old";
    CommentTxt[3][4] = "old";
    KisyuMei = "M,1#'Q'"; // the model name as written back (quotes cannot be held)
    plat::ScriptedAsker ask(plat::No);
    ask.Push(plat::Ok); // DEBUG STATE's notice
    EXPECT_EQ(FIL_ReadGroupFile(path, 0), -1) << Slurp(path);
    EXPECT_EQ(CommentTxt[1][0], memos[0]);
    EXPECT_EQ(CommentTxt[1][1], "padded");
    EXPECT_EQ(CommentTxt[1][2], "#hash");
    EXPECT_EQ(CommentTxt[1][3], "abc"); // separators a memo cannot hold are dropped
    EXPECT_EQ(CommentTxt[1][4], "");
    EXPECT_EQ(CommentTxt[3][4], "step");
    ASSERT_EQ(ask.Asked().size(), 1u);

}

TEST_F(GroupFile, FieldLinesReadBackWhole)
{
    const std::string path = (dir_ / "fields.txt").string();
    const int16_t f = FIL_OpenDateGroupe(path);
    FIL_WriteString(f, "x, y", "a title, with comma");
    FIL_WriteString(f, "#not a comment", "");
    FIL_WriteString(f, "plain", "t");
    FIL_WriteValue(f, Variant(true), "");
    ASSERT_EQ(FIL_CloseDateGroupe(f), -1);
    Items it(path);
    EXPECT_EQ(FIL_ReadString(it.f), "x, y");
    EXPECT_EQ(FIL_ReadString(it.f), "#not a comment");
    EXPECT_EQ(FIL_ReadString(it.f), "plain");
    EXPECT_EQ(FIL_ReadValue(it.f).ToDouble(), 1);
}

TEST_F(GroupFile, SkippedParameterCommentsKeepTheirText)
{
    CommentTxt[0][1] = "kept";
    CommentTxt[1][1] = "old";
    LoadSel[3] = -1;
    const std::string p = Put("k.wgp", "PARA COMMENT,5\nDATA,1,\"new\",#Memo\nDATA,9,\"any\",#Memo\nEND\n"
                                       "WAVE COMMENT,5\nDATA,1,\"new\",#Memo\nEND\n" + std::string(kEnd));
    EXPECT_EQ(FIL_ReadGroupFile(p, 0), -1);
    LoadSel[3] = 0;
    EXPECT_EQ(CommentTxt[0][1], "kept");
    EXPECT_EQ(CommentTxt[1][1], "new");
}

TEST_F(GroupFile, ValueLinesUseThePrintForm)
{
    const std::string path = (dir_ / "v.txt").string();
    const int16_t f = FIL_OpenDateGroupe(path);
    FIL_WriteValue(f, Variant(0.5), "half");
    FIL_WriteValue(f, Variant(int16_t(-3)), "");
    FIL_WriteValue(f, Variant(false), "no");
    FIL_WriteValue(f, Variant("12.5"), "");
    EXPECT_THROW(FIL_WriteValue(f, Variant("abc"), ""), VariantError);
    ASSERT_EQ(FIL_CloseDateGroupe(f), -1);
    const std::string s = Slurp(path);
    EXPECT_NE(s.find("\r\n .5 ,#half\r\n-3 \r\n 0 ,#no\r\n 12.5 \r\n"), std::string::npos) << s;
}

TEST_F(GroupFile, FailedSaveLeavesTheOldFile)
{
    const std::string path = Put("keep.prm", "old contents\n");
    const int16_t f = FIL_OpenDateGroupe(path);
    ASSERT_NE(f, -1);
    FIL_WriteGroup(f, "MODEL", 0, 0);
    auto prev = plat::SetWriteHook([](int, const void*, size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    });
    EXPECT_EQ(FIL_CloseDateGroupe(f), 0);
    plat::SetWriteHook(prev);
    EXPECT_EQ(Slurp(path), "old contents\r\n");
    // The saving procedure's report after the close finds the failure pending.
    EXPECT_EQ(Err().Number, ErrFileAccess);
    ClearErr();
    // Nothing of the failed save is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 2); // ini and the file

    // A save abandoned part-way changes nothing either.
    const int16_t g = FIL_OpenDateGroupe(path);
    FIL_WriteGroup(g, "MODEL", 0, 0);
    EXPECT_THROW(FIL_WriteGroup(g, "PARA COMMENT", 0, 5), FilError);
    FIL_AbortDateGroupe(g);
    EXPECT_EQ(Slurp(path), "old contents\r\n");

    EXPECT_EQ(FIL_OpenDateGroupe((dir_ / "no such dir" / "x.prm").string()), -1);
    EXPECT_EQ(Err().Number, ErrFileAccess);
    ClearErr();
    EXPECT_EQ(FIL_OpenDateGroupe(dir_.string()), -1);
}

TEST_F(GroupFile, OverwriteQuestion)
{
    plat::ScriptedAsker ask;
    EXPECT_EQ(FIL_CheckOverWrite(""), -1);
    EXPECT_EQ(FIL_CheckOverWrite((dir_ / "new.prm").string()), 0);
    EXPECT_TRUE(ask.Asked().empty());
    const std::string path = Put("old.prm", "x\n");
    ask.Push(plat::No);
    EXPECT_EQ(FIL_CheckOverWrite(path), -1);
    ASSERT_EQ(ask.Asked().size(), 1u);
    EXPECT_EQ(ask.Asked()[0].text, "The file has already existed. Do you replace it?");
    EXPECT_EQ(ask.Asked()[0].title, "Yes ?");
    ask.Push(plat::Yes);
    EXPECT_EQ(FIL_CheckOverWrite(path), 0);
    EXPECT_EQ(Slurp(path), "x\r\n");
}

TEST_F(GroupFile, ProgressIsThrottled)
{
    std::vector<std::string> stats;
    std::vector<std::pair<long, long>> bars;
    Frame().updStat = [&](const std::string& s) { stats.push_back(s); };
    Frame().updPbar = [&](long c, long t) { bars.emplace_back(c, t); };

    std::string body = "ODD,100\n";
    for (int i = 0; i < 100; ++i) body += "DATA," + std::to_string(i) + "\n";
    const std::string p = Put("p.prm", body + "END\n" + kEnd);
    EXPECT_EQ(FIL_ReadGroupFile(p, 0), -1);
    ASSERT_EQ(stats.size(), 3u);
    EXPECT_EQ(stats[0], "In-reading the file [" + p + "].ODD:30");
    EXPECT_EQ(bars[0], std::make_pair(30L, 100L));
    EXPECT_EQ(stats[2], "In-reading the file [" + p + "].ODD:92");

    stats.clear();
    bars.clear();
    const int16_t f = FIL_OpenDateGroupe((dir_ / "w.prm").string());
    FIL_WriteGroup(f, "ODD", 0, 499);
    FIL_AbortDateGroupe(f);
    EXPECT_EQ(stats.size(), 45u);
    EXPECT_EQ(stats[0], "In-writing the file.ODD:10");
    EXPECT_EQ(bars[0], std::make_pair(10L, 499L));
    Frame().updStat = nullptr;
    Frame().updPbar = nullptr;
}

} // namespace
