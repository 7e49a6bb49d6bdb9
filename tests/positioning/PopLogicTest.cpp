// The positioning decisions that need no amplifier: checks, setters, typed positions, on-demand pages,
// scroll targets, the print range and the EEPROM change list.
#include "PopEnv.h"

#include "app/Uty.h"
#include "data/DefFil.h"
#include "platform/Ask.h"
#include "platform/Paths.h"
#include "positioning/PopEdit.h"
#include "positioning/PopEep.h"
#include "positioning/PopPrint.h"

#include <limits>

using namespace poptest;

namespace {

// A parameter with limits 0..100.
PopPrmRec Prm(const std::string& name, int32_t value, int32_t attr = 0) {
    PopPrmRec p;
    p.Name = name;
    p.Max = 100;
    p.Value = value;
    p.Attr = attr;
    return p;
}

class PopLogic : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetTables();
        DefineItems();
        DefineCounts(20, 20, 12);
        AxisNo = 0;
        for (int i = 0; i < 20; ++i) {
            PopStep[i] = PopStepRec{0, false, 10, 0, 0, 0, 0, ""};
            Pop16Prm[i] = Prm("P16 " + std::to_string(i), 50);
        }
    }
    plat::ScriptedAsker ask;
};

constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
constexpr int64_t kMax = std::numeric_limits<int64_t>::max();

} // namespace

TEST_F(PopLogic, GuardedSetterFollowsAttributesAndOperatingMode) {
    const struct {
        int32_t attr;
        int16_t level;
        int32_t value, stored;
    } cases[] = {
        {0, 1, 150, 100}, // clamped to max
        {0, 1, -5, 0},    // clamped to min
        {8, 1, 70, 50},   // system item in normal mode: unchanged
        {8, 2, 70, 70},   // system item from mode 2 on
        {128, 2, 70, 0},  // read-only: 0
    };
    for (const auto& c : cases) {
        Pop16Prm[3] = Prm("x", 50, c.attr);
        UserLevel = c.level;
        EXPECT_EQ(SetPop16Val(3, c.value), c.stored) << c.attr << "/" << c.level;
        EXPECT_EQ(Pop16Prm[3].Value, c.stored);
    }
}

TEST_F(PopLogic, StepCheckLooksCodesUpByValueAndStopsAtTheFirstFault) {
    EXPECT_TRUE(ChkStepData()); // velocity code 10 is row 0's code
    PopStep[4].Vel = 3;         // a row number, but no entry has this code
    PopStep[4].Position = 5;
    PopPosMax = Variant("2");
    EXPECT_FALSE(ChkStepData());
    ASSERT_EQ(ask.Asked().size(), 1u);
    EXPECT_EQ(ask.Asked()[0].text, "Step No04 vel not in range.");
    EXPECT_EQ(ask.Asked()[0].title, "Positioning parameter (Step) value");
    PopStep[4].Vel = 12;
    EXPECT_FALSE(ChkStepData());
    EXPECT_EQ(ask.Asked()[1].text, "Step No04 value is too large.");

    Pop16Prm[0x1A - 8] = Prm("  Gain  ", 101);
    EXPECT_FALSE(ChkPop16Data());
    EXPECT_EQ(ask.Asked()[2].text, "Gain(No12) value is too large.");
}

TEST_F(PopLogic, TypedPositionsAreExactIntegersClampedToTheLimits) {
    const struct {
        const char* lo;
        const char* hi;
        const char* text;
        bool empty;
        int64_t value;
    } cases[] = {
        {"", "", " -9223372036854775808 ", false, kMin},
        {"", "", "9223372036854775807", false, kMax},
        {"", "", "99999999999999999999", false, kMax},
        {"", "", "12.5", true, 0},
        {"0", "", "abc", true, 0},
        {"10", "", "abc", false, 10},
        {"-99999999999999999999", "1000", "5000", false, 1000},
    };
    for (const auto& c : cases) {
        PopPosMin = *c.lo ? Variant(c.lo) : Variant();
        PopPosMax = *c.hi ? Variant(c.hi) : Variant();
        const PopPos p = PopPosFromText(c.text);
        EXPECT_EQ(p.empty, c.empty) << c.text;
        if (!c.empty) {
            EXPECT_EQ(p.value, c.value) << c.text;
        }
    }
}

TEST_F(PopLogic, OnDemandPagesKeepOnlyTheLastTwoAndStayInsideTheTable) {
    PopPageKeeper k;
    std::vector<int> got;
    auto at = [&](int first, int count) {
        got.clear();
        k.Recv(first, count, [&](int p) { got.push_back(p); });
        return got;
    };
    EXPECT_EQ(at(6, 40), (std::vector<int>{0, 1}));
    EXPECT_EQ(at(16, 40), (std::vector<int>{2}));
    EXPECT_EQ(k.Kept(), " 002 002");
    EXPECT_EQ(at(6, 40), (std::vector<int>{0, 1}));
    EXPECT_EQ(at(7, 40), (std::vector<int>{}));
    // With 20 steps the last page is 2: rows past the table ask for nothing beyond it.
    k.Clear();
    EXPECT_EQ(at(12, 20), (std::vector<int>{1, 2}));
    EXPECT_EQ(at(20, 20), (std::vector<int>{}));
}

TEST_F(PopLogic, ScrollKeysWrapOnlyAtTheEnds) {
    const struct {
        bool page;
        int value, delta, max, target;
    } cases[] = {
        {true, 32, 8, 32, 0},                          // Page Down at Max goes to Min
        {true, 29, 8, 32, 32},                         // near the end it stops at Max
        {true, 0, -8, 32, 32},                         // Page Up at Min goes to Max
        {true, 3, -8, 32, 0},   {false, 30, 8, 32, 0}, // Down in row 7 past Max goes to Min
        {false, 3, -8, 32, 32}, {false, 8, 8, 32, 16},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.page ? PopPageKeyTarget(c.value, c.delta, 0, c.max)
                         : PopRowKeyTarget(c.value, c.delta, 0, c.max),
                  c.target)
            << c.page << " " << c.value << " " << c.delta;
}

TEST_F(PopLogic, PrintRangeIsValidatedAndSheetsPlanned) {
    DefineCounts(0x40, 70, 12);
    const struct {
        const char* from;
        const char* to;
        bool ok;
        const char* fromAfter;
        const char* toAfter;
    } cases[] = {
        {"10", "2F", true, "10", "2F"}, {"a", "1f", true, "a", "1f"},    {"0A", "10", false, "0", "10"},
        {"1G", "3F", false, "0", "3F"}, {"30", "10", false, "10", "30"}, {"10", "50", false, "10", "3F"},
    };
    for (const auto& c : cases) {
        std::string from = c.from, to = c.to;
        EXPECT_EQ(ChkStepRange(from, to), c.ok) << c.from << "-" << c.to;
        EXPECT_EQ(from, c.fromAfter);
        EXPECT_EQ(to, c.toAfter);
    }
    EXPECT_EQ(PopStepSheets(0x10, 0x2F), 1);
    EXPECT_EQ(PopStepSheets(0x10, 0x30), 2);
    EXPECT_EQ(PopPrmSheets(70), 2);
    EXPECT_EQ(PopPrmSheets(64), 1);
}

TEST_F(PopLogic, ChangeListNamesFieldsInOrderAndLeavesReadOnlyParametersOut) {
    PopAxisSnap& ref = PopAxis(0);
    for (int i = 0; i < 20; ++i) {
        ref.Step[i] = PopStep[i];
        ref.Prm16[i] = Pop16Prm[i];
    }
    PopStep[2].Acc = 1;
    PopStep[2].Mod = 5;
    PopStep[2].Comment = "two";
    PopStep[3].Mod = 127;
    PopItem[3][PopItemRows - 1].Name.clear(); // no name: the code stands for it
    Pop16Prm[5].Value = 60;
    Pop16Prm[6].Value = 61;
    Pop16Prm[6].Attr = 128;
    Pop16Prm[7].Value = 62;
    Pop16Prm[7].Attr = 256;
    const std::vector<PopChangeRow> rows = PopChangeList();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].type, "Step");
    EXPECT_EQ(rows[0].no, "02");
    EXPECT_EQ(rows[0].title, "two");
    EXPECT_EQ(rows[0].before, "I1_0 I3_0");
    EXPECT_EQ(rows[0].after, "I1_1 I3_5");
    EXPECT_EQ(rows[1].after, "127");
    EXPECT_EQ(rows[2].type, "Prm16");
    EXPECT_EQ(rows[2].no, "05");
    EXPECT_EQ(rows[2].before, "50");
    EXPECT_EQ(rows[2].after, "60");
}

TEST_F(PopLogic, ShippedModelTurnsPositioningOnAndItsFactoryDataPassTheChecks) {
    plat::SetAppDir(MEVALO_RUNTIME_DIR);
    for (auto& col : PopItem)
        for (auto& r : col)
            r = PopItemRec{};
    ASSERT_EQ(FIL_ReadGroupFile(AppPath("ini\\def\\ZT040P______.DEF"), 0), -1);
    EXPECT_NE(PopEnable, 0);
    EXPECT_EQ(PopStepInUse(), 44);
    EXPECT_EQ(Pop16InUse(), 21);
    EXPECT_EQ(Pop32InUse(), 13);
    EXPECT_EQ(PopPosLo(), std::numeric_limits<int64_t>::min());
    KisyuKey = "TESK_R";
    KisyuMei = "ZT040P______";
    ASSERT_EQ(LoadPopDefault(KisyuMei, true), -1);
    EXPECT_TRUE(ask.Asked().empty());
    EXPECT_EQ(PopStep[1].Position, 10000);
    EXPECT_EQ(PopSrcName, "Default");
    EXPECT_TRUE(ChkStepData() && ChkPop16Data() && ChkPop32Data());
    plat::SetAppDir("");
}
