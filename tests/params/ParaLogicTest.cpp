// The editor's decisions without widgets: rows, pages and their wrap, the family R pages asked for, the
// offer and print words, the EEPROM change list, and the value entry's hexadecimal form.
#include "app/Glb.h"
#include "data/PrmGlb.h"
#include "data/PrmTbl.h"
#include "params/ParaLogic.h"

#include <gtest/gtest.h>

namespace {

// Family R counts of a test model: 96 user parameters, numbers up to 255 in SE mode, 32-bit 12 + 9.
class ParaLogic : public ::testing::Test {
  protected:
    void SetUp() override {
        KisyuCode = 25;
        UserLevel = 1;
        Prm16Max = 96;
        Prm16MaxAll = 255;
        Prm16MaxSys = 128;
        Prm32Cnt = -1;
        Prm32Max = 12;
        Prm32MaxSys = Prm32MaxAll = 21;
        for (int n = 0; n < PrmCnt; ++n) {
            PrmAttr[n] = PrmAttrRec{};
            Prm32Attr[n] = Prm32AttrRec{};
            PrmVal[n] = 0;
            Prm32Val[n] = 0;
            PrmCmpVal[0][n] = 0;
            Prm32CmpVal[0][n] = 0;
        }
    }
};

TEST_F(ParaLogic, EditRowsStopAtTheLastNumberOfTheMode) {
    EXPECT_EQ(GetPrmIdx(ParaTab::EditAll, 95), 95);
    EXPECT_EQ(GetPrmIdx(ParaTab::EditAll, 96), NoPrm); // system numbers stay hidden in normal mode
    EXPECT_EQ(LastPage(ParaTab::EditAll), 11);
    EXPECT_EQ(GetPrmIdx(ParaTab::Edit32, 12), NoPrm);
    UserLevel = 3;
    EXPECT_EQ(GetPrmIdx(ParaTab::EditAll, 255), 255);
    EXPECT_EQ(GetPrmIdx(ParaTab::EditAll, 256), NoPrm);
    EXPECT_EQ(LastPage(ParaTab::EditAll), 31);
    EXPECT_EQ(GetPrmIdx(ParaTab::Edit32, 20), 20);
    Prm16MaxAll = 256; // never past the table
    EXPECT_EQ(GetPrmIdx(ParaTab::EditAll, 257), NoPrm);
}

TEST_F(ParaLogic, SelectRowsListTheSelectedNumbersInOrder) {
    EXPECT_EQ(GetPrmIdx(ParaTab::Select, 0), NoPrm);
    EXPECT_EQ(LastPage(ParaTab::Select), 0);
    for (int n : {3, 0x0A, 0x1F, 100}) // 100 is past the user numbers of normal mode
        PrmAttr[n].Type = PrmTypeSelected;
    EXPECT_EQ(GetPrmIdx(ParaTab::Select, 0), 3);
    EXPECT_EQ(GetPrmIdx(ParaTab::Select, 2), 0x1F);
    EXPECT_EQ(GetPrmIdx(ParaTab::Select, 3), NoPrm);
    UserLevel = 2;
    EXPECT_EQ(GetPrmIdx(ParaTab::Select, 3), 100);
}

TEST_F(ParaLogic, PagesWrapBothWaysAndKeysFollow) {
    struct Case {
        int16_t level;
        int page, want;
    } cases[] = {{1, 12, 0}, {1, -1, 11}, {1, 5, 5}, {3, 32, 0}, {3, -1, 31}};
    for (const Case& c : cases) {
        UserLevel = c.level;
        EXPECT_EQ(GoToPage(ParaTab::EditAll, c.page, LastPage(ParaTab::EditAll)), c.want) << c.page;
    }
    UserLevel = 1;
    Prm16Max = 92; // the last page holds rows 0..3
    const int last = LastPage(ParaTab::EditAll);
    const PageRow down = KeyNav(ParaTab::EditAll, last, 3, false, last);
    EXPECT_EQ(down.page, 0);
    EXPECT_EQ(down.row, 0);
    const PageRow up = KeyNav(ParaTab::EditAll, 0, 0, true, last);
    EXPECT_EQ(up.page, last);
    EXPECT_EQ(up.row, 3);
    EXPECT_EQ(PageLabel(1), "08");
    EXPECT_EQ(HexPad2(10), "0A");
    EXPECT_EQ(HexPad2(256), "100");
}

TEST_F(ParaLogic, FamilyRPagesAreChosenByTableNumber) {
    auto one = [](int p) { return Pages16For(p); };
    EXPECT_EQ(one(13).size(), 1u); // numbers 104..111 with Prm16Max 96: a user page, never a negative one
    EXPECT_FALSE(one(13)[0].system);
    EXPECT_EQ(one(13)[0].page, 6);
    EXPECT_TRUE(one(16)[0].system);
    EXPECT_EQ(one(16)[0].page, 0);
    EXPECT_EQ(one(31)[0].page, 7);
    EXPECT_TRUE(one(32).empty()); // numbers 256.. are past the table

    // 32-bit numbers 8..15 straddle 12 user parameters: user page 1, then system page 0 (numbers 12..19).
    const auto mid = Pages32For(1);
    ASSERT_EQ(mid.size(), 2u);
    EXPECT_FALSE(mid[0].system);
    EXPECT_EQ(mid[0].page, 1);
    EXPECT_TRUE(mid[1].system);
    EXPECT_EQ(mid[1].page, 0);
    const auto tail = Pages32For(2); // numbers 16..20: system pages 0 and 1
    ASSERT_EQ(tail.size(), 2u);
    EXPECT_EQ(tail[1].page, 1);
    EXPECT_TRUE(Pages32For(3).empty());
}

TEST_F(ParaLogic, WordsOfTheCloseOfferAndThePrint) {
    struct Case {
        int16_t level, usr, sys;
        std::string word;
    } cases[] = {{1, -1, 0, EepWord::UserImplicit},   {1, 0, -1, ""},
                 {3, -1, -1, EepWord::AllImplicit},   {2, -1, 0, EepWord::UserImplicit},
                 {3, 0, -1, EepWord::SystemImplicit}, {3, 0, 0, ""}};
    for (const Case& c : cases)
        EXPECT_EQ(CloseOfferWord(c.level, c.usr, c.sys), c.word) << c.level << c.usr << c.sys;
    EXPECT_EQ(ParaPrnWord(false, false), "cancel");
    EXPECT_EQ(ParaPrnWord(true, true), " para16 para32");
    EXPECT_EQ(PrintCount16(1), 96);
    Prm16MaxAll = 128;
    EXPECT_EQ(PrintCount16(3), 129); // parameter 128 is printed too
}

TEST_F(ParaLogic, ChangeListHoldsTheDifferencesOfTheScope) {
    PrmVal[5] = 123;
    PrmVal[0x10] = -4;
    PrmVal[0x20] = 9;
    PrmAttr[0x20].Attr = PrmAttrReadOnly; // never written, never listed
    PrmAttr[5].name = "Gain";
    PrmVal[130] = 7; // a system parameter
    Prm32Val[3] = -100000;
    auto rows = BuildChangeList(EepWord::UserExplicit, 0);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].type, "Prm16");
    EXPECT_EQ(rows[0].number, "05");
    EXPECT_EQ(rows[0].title, "Gain");
    EXPECT_EQ(rows[0].before, "0");
    EXPECT_EQ(rows[0].after, "123");
    EXPECT_EQ(rows[1].number, "10");
    EXPECT_EQ(rows[2].type, "Prm32");
    EXPECT_EQ(rows[2].after, "-100000");
    rows = BuildChangeList(EepWord::SystemImplicit, 0);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].number, "82");
    EXPECT_EQ(BuildChangeList("/ALL", 0).size(), 4u);
    PrmCmpVal[0][5] = 123;
    EXPECT_EQ(BuildChangeList(EepWord::UserExplicit, 0).size(), 2u);
    EXPECT_EQ(EepWriteScope(EepWord::ForcedAll), "/ALL");
    KisyuCode = 22; // family M: the system scope ends with the system parameters the series declares
    Prm16MaxSys = 64;
    Prm16SysCnt = 32;
    EXPECT_EQ(Prm16SysLast(), 95);
}

TEST_F(ParaLogic, HexadecimalFormAndParse) {
    struct Fmt {
        int16_t v;
        const char* text;
    } fmts[] = {{-1, "FFFF"}, {-32768, "8000"}, {0, "0"}, {9, "9"}, {255, "FF"}};
    for (const Fmt& f : fmts)
        EXPECT_EQ(FormatHex16(f.v), f.text);
    struct Parse {
        const char* text;
        int16_t v;
    } parses[] = {
        {"8000", -32768}, {"FFFF", -1},     {"10000", 32767},     {"1G", 1},           {"", 0},
        {"zz", 0},        {"FFFFFFFF", -1}, {"FFFF8000", -32768}, {"7FFFFFFF", 32767}, {"123456789", 32767}};
    for (const Parse& p : parses)
        EXPECT_EQ(ParseHex16(p.text), p.v) << p.text;
}

TEST_F(ParaLogic, TypedTextOfTheGridsAndLists) {
    double v = 0;
    EXPECT_TRUE(ParseNumber(" -12.5 ", v));
    EXPECT_EQ(v, -12.5);
    EXPECT_TRUE(ParseNumber("1e3", v));
    EXPECT_EQ(v, 1000);
    EXPECT_TRUE(ParseNumber("1e-999", v)); // too small to hold is zero, as the file readers take it
    EXPECT_EQ(v, 0);
    for (const char* bad : {"", "-", "1,000", "&H1F", "12a", "1e999", "-1e999"})
        EXPECT_FALSE(ParseNumber(bad, v)) << bad;
    CellBuffer b(7);
    for (char c : std::string("-1234567"))
        b.Key(c);
    EXPECT_EQ(b.Text(), "-123456"); // the sign counts as a character
    EXPECT_FALSE(b.Key('x'));
    b.Backspace();
    EXPECT_EQ(b.Text(), "-12345");
}

} // namespace
