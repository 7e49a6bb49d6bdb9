// Parameter files in group form and the selection-only extraction files.
#include "PmtEnv.h"

#include "app/Uty.h"
#include "data/PmtFil.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <cerrno>
#include <vector>

namespace {

class PmtFile : public PmtEnv {
  protected:
    // A recognisable value for every row.
    void Fill() {
        for (int n = 0; n < PrmCnt; ++n) {
            PrmVal[n] = static_cast<int16_t>(n * 37 - 4000);
            PrmAttr[n].Type = static_cast<int16_t>(n % 4);
            Prm32Val[n] = n * 100003 - 9000000;
            Prm32Attr[n].Type = (n + 1) % 4;
        }
    }
    struct Tables {
        std::vector<int16_t> val, type;
        std::vector<int32_t> val32, type32;
        bool operator==(const Tables&) const = default;
    };
    static Tables Take() {
        Tables t;
        for (int n = 0; n < PrmCnt; ++n) {
            t.val.push_back(PrmVal[n]);
            t.type.push_back(PrmAttr[n].Type);
            t.val32.push_back(Prm32Val[n]);
            t.type32.push_back(Prm32Attr[n].Type);
        }
        return t;
    }
    static void Clear() {
        for (int n = 0; n < PrmCnt; ++n) {
            PrmVal[n] = 0;
            PrmAttr[n].Type = 0;
            Prm32Val[n] = 0;
            Prm32Attr[n].Type = 0;
        }
    }
};

TEST_F(PmtFile, RecordLinesCarryValueHexAndName) {
    PrmVal[5] = -1;
    PrmAttr[5].name = "Gain";
    PrmAttr[5].Type = 3;
    Prm32Val[5] = -1;
    Prm32Attr[5].name = "Limit, forward";
    Prm32Attr[5].Type = 2;
    ASSERT_EQ(PrmHoZon(Path("a.prm"), 25), -1);
    const std::string text = Slurp(Path("a.prm"));
    EXPECT_NE(text.find("\r\nDATA,0x05,-1,#[0xFFFF]:Gain\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nDATA,5,3,#Gain\r\n"), std::string::npos);
    // A comma in a name would end the comment and damage the file.
    EXPECT_NE(text.find("\r\nDATA,0x05,-1,#[0xFFFFFFFF]:Limit forward\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nDATA,5,2,#Limit forward\r\n"), std::string::npos);
    // Groups in the file's order.
    const char* order[] = {"MODEL,1", "PARA COMMENT,5", "CPU VER,11", "MOTOR MODEL,1",
                           "USER DATA,32",  "PARA TYPE,32", "USER DATA32,8", "PARA TYPE32,8"};
    size_t at = 0;
    for (const char* g : order) {
        const size_t p = text.find(std::string("\r\n") + g + ",", at);
        ASSERT_NE(p, std::string::npos) << g;
        at = p + 1;
    }
    EXPECT_TRUE(Asked().empty());
}

TEST_F(PmtFile, RoundTripKeepsEveryRowUpTo256) {
    Prm16MaxAll = 256;
    Prm32MaxAll = 257;
    Fill();
    PrmVal[0] = 1111;
    PrmVal[256] = -2222; // row 256 must not land on row 0
    Prm32Val[0] = 3;
    Prm32Val[256] = -4;
    CommentTxt[0][2] = "third line";
    const Tables saved = Take();
    ASSERT_EQ(FIL_SavePrmFile(Path("all.prm")), -1);
    const std::string text = Slurp(Path("all.prm"));
    EXPECT_NE(text.find("\r\nDATA,0x100,-2222,#[0xF752]:"), std::string::npos);
    EXPECT_NE(text.find("\r\nDATA,0xFF,"), std::string::npos);

    Clear();
    CommentTxt[0][2].clear();
    ASSERT_EQ(PMT_Load(Path("all.prm"), 25, -1), -1);
    EXPECT_EQ(Take(), saved);
    EXPECT_EQ(CommentTxt[0][2], "third line");
    EXPECT_EQ(PrmSrc, 2);
    EXPECT_EQ(PrmSrcMei, "Value read from the file.");
    EXPECT_TRUE(Asked().empty());
}

TEST_F(PmtFile, ThirtyTwoBitGroupsOnlyWithThirtyTwoBitParameters) {
    Prm32Cnt = 0;
    Prm32Val[1] = 77;
    ASSERT_EQ(FIL_SavePrmFile(Path("a.prm")), -1);
    const std::string text = Slurp(Path("a.prm"));
    EXPECT_EQ(text.find("USER DATA32"), std::string::npos);
    EXPECT_EQ(text.find("PARA TYPE32"), std::string::npos);

    // A file that has them is read past, not applied, while the model has none.
    Prm32Cnt = -1;
    ASSERT_EQ(FIL_SavePrmFile(Path("b.prm")), -1);
    Prm32Cnt = 0;
    Prm32Val[1] = 0;
    ASSERT_EQ(PMT_Load(Path("b.prm"), 25, 0), -1);
    EXPECT_EQ(Prm32Val[1], 0);
}

TEST_F(PmtFile, ParameterSkipReadsPastEveryParameterGroup) {
    Fill();
    ASSERT_EQ(FIL_SavePrmFile(Path("a.prm")), -1);
    Clear();
    LoadSel[3] = -1;
    EXPECT_EQ(PMT_Load(Path("a.prm"), 25, 0), -1);
    LoadSel[3] = 0;
    for (int n = 0; n < PrmCnt; ++n) {
        ASSERT_EQ(PrmVal[n], 0);
        ASSERT_EQ(PrmAttr[n].Type, 0);
        ASSERT_EQ(Prm32Val[n], 0);
    }
    EXPECT_EQ(PrmSrc, 1); // nothing was loaded, so the source stays
}

TEST_F(PmtFile, DamagedFilesChangeNothing) {
    Fill();
    CommentTxt[0][0] = "kept";
    const Tables before = Take();
    const std::string good = "PARA COMMENT,1\r\nDATA,0,\"lost\"\r\nEND\r\nUSER DATA,2\r\nDATA,0x00,5\r\nDATA,0x01,6\r\nEND\r\n";
    struct Case {
        const char* what;
        std::string text;
    } cases[] = {
        {"truncated before the trailer", "#\r\n" + good},
        {"cut inside a record", "#\r\n" + good + "USER DATA,1\r\nDATA,0x02,"},
        {"value beyond 16 bits", GroupFile(good + "USER DATA,1\r\nDATA,0x02,40000\r\nEND\r\n")},
        {"row beyond the table", GroupFile(good + "PARA TYPE,1\r\nDATA,257,1\r\nEND\r\n")},
        {"stray field", GroupFile(good + "USER DATA32,1\r\nDATA,0x02,1,2\r\nEND\r\n")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Put("bad.prm", c.text);
        EXPECT_EQ(PMT_Load(Path("bad.prm"), 25, -1), 0);
        EXPECT_TRUE(Take() == before);
        EXPECT_EQ(CommentTxt[0][0], "kept");
        EXPECT_EQ(PrmSrc, 1);
        const auto asked = Asked();
        ASSERT_FALSE(asked.empty());
        EXPECT_EQ(asked.back().text, "Reading failed.");
        EXPECT_EQ(asked.back().title, "Parameter reading error");
    }
    // Not asked to tell: the same failure is silent.
    Put("bad.prm", "#\r\n" + good);
    EXPECT_EQ(PMT_Load(Path("bad.prm"), 25, 0), 0);
    EXPECT_TRUE(Asked().empty());
    EXPECT_EQ(PMT_Load("", 25, -1), 0);
    EXPECT_TRUE(Asked().empty());
}

TEST_F(PmtFile, ExtractionFilesHoldSelectionsOnly) {
    Fill();
    KisyuCode = 25;
    CpuVer[0] = {1, 2, 3, 0};
    MotorMei.Present = 1;
    MotorMei.Name = "MTR-100";
    CommentTxt[0][0] = "selection of the line";
    const Tables saved = Take();
    RetVar = Variant("unset");
    const Variant r = PrmSelHoZon(Path("sel.prs"), 25);
    EXPECT_EQ(r.ToBoolWord(), -1);
    EXPECT_EQ(RetVar.ToInt32(), 0);
    const std::string prs = Slurp(Path("sel.prs"));
    EXPECT_EQ(prs.find("USER DATA"), std::string::npos);
    EXPECT_NE(prs.find("\r\nCOMMENT,5,"), std::string::npos);
    EXPECT_NE(prs.find("\r\nDATA,0,\"selection of the line\",#Memo\r\n"), std::string::npos);
    EXPECT_NE(prs.find("\r\nPARA TYPE32,8,"), std::string::npos);

    ASSERT_EQ(FIL_SaveUserPrs(Path("ini/user.prs")), -1);
    const std::string user = Slurp(Path("ini/user.prs"));
    EXPECT_EQ(user.find("MODEL"), std::string::npos);
    EXPECT_EQ(user.find("COMMENT"), std::string::npos);
    EXPECT_NE(user.find("\r\nPARA TYPE,32,"), std::string::npos);
    EXPECT_NE(user.find("\r\nPARA TYPE32,8,"), std::string::npos);

    // Reading a selection back changes the selections and leaves the values alone.
    for (int n = 0; n < PrmCnt; ++n) {
        PrmVal[n] = 9;
        PrmAttr[n].Type = 0;
        Prm32Attr[n].Type = 0;
    }
    CommentTxt[0][0].clear();
    ASSERT_EQ(FIL_ReadGroupFile(Path("sel.prs"), 0), -1);
    EXPECT_EQ(CommentTxt[0][0], "selection of the line");
    for (int n = 0; n < PrmCnt; ++n) {
        ASSERT_EQ(PrmVal[n], 9);
        const int16_t type = n <= Prm16MaxAll ? saved.type[static_cast<size_t>(n)] : int16_t(0);
        const int32_t type32 = n < Prm32MaxAll ? saved.type32[static_cast<size_t>(n)] : 0;
        ASSERT_EQ(PrmAttr[n].Type, type) << n;
        ASSERT_EQ(Prm32Attr[n].Type, type32) << n;
    }
    EXPECT_EQ(PrmSrc, 1);
    EXPECT_TRUE(Asked().empty());
}

TEST_F(PmtFile, ExtractionOfOtherSeriesWritesNothing) {
    const Variant r = PrmSelHoZon(Path("sel.prs"), 10);
    EXPECT_TRUE(r.IsEmpty());
    EXPECT_FALSE(std::filesystem::exists(Path("sel.prs")));
}

TEST_F(PmtFile, SaveIntoMissingFolderFailsAndTells) {
    const std::string target = Path("no/such/folder/a.prm");
    EXPECT_EQ(FIL_SavePrmFile(target), 0);
    auto asked = Asked();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text.rfind("Open the parameter file. : ", 0), 0u);
    EXPECT_EQ(asked[0].title, "Error occurs");

    EXPECT_EQ(FIL_SaveUserPrs(target), 0);
    asked = Asked();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text.rfind("Open the parameter extraction file. : ", 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST_F(PmtFile, FailedWriteKeepsTheOldFileAndTells) {
    PrmVal[3] = 33;
    ASSERT_EQ(FIL_SavePrmFile(Path("a.prm")), -1);
    const std::string first = Slurp(Path("a.prm"));
    PrmVal[3] = 44;
    auto previous = plat::SetWriteHook([](int, const void*, size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    });
    const int16_t r = FIL_SavePrmFile(Path("a.prm"));
    plat::SetWriteHook(previous);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(Slurp(Path("a.prm")), first);
    const auto asked = Asked();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text.rfind("Writing the parameter : ", 0), 0u);
}

} // namespace
