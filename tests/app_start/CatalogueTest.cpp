#include "StartEnv.h"

#include "app/FrmModel.h"
#include "app/ModSearchKisyu.h"
#include "app/ModeCode.h"
#include "data/DefFil.h"
#include "platform/Ask.h"

#include <vector>

class CatalogueTest : public StartEnv {
  protected:
    void SetUp() override {
        StartEnv::SetUp();
        fs::remove_all(Path("ini/prm"));
        fs::create_directories(Path("ini/prm"));
    }
    std::vector<std::string> Series() const { return {KisyuList, KisyuList + KisyuListCnt}; }
    std::vector<std::string> Models() const {
        std::vector<std::string> m;
        for (int i = 0; i < KisyuTblCnt; ++i)
            m.push_back(KisyuTbl[i].SeriesKey + "/" + KisyuTbl[i].ModelKey);
        return m;
    }
};

TEST_F(CatalogueTest, SeriesAreFoldersAndModelsArePresetFilesButTheSeriesOwn) {
    Write("ini/prm/TESK_R/tesk_r.PRM", "");
    Write("ini/prm/TESK_R/MODELA______.prm", "");
    // The same model's numbered and version-key presets: no further rows.
    Write("ini/prm/TESK_R/MODELA______00.prm", "");
    Write("ini/prm/TESK_R/MODELA_______132_212.prm", "");
    Write("ini/prm/TESK_R/AB.prm", "");
    Write("ini/prm/TESK_R/notes.txt", "");
    Write("ini/prm/TESK_X/ZZ9_________.PRM", "");
    Write("ini/prm/x.txt", "");
    fs::create_directories(Path("ini/prm/EMPTY"));

    EXPECT_TRUE(SearchKisyu().ToBool());
    EXPECT_EQ(Series(), (std::vector<std::string>{"EMPTY", "TESK_R", "TESK_X"}));
    // Sorted by name; a name shorter than 12 characters keeps its extension.
    EXPECT_EQ(Models(),
              (std::vector<std::string>{"TESK_R/AB.prm", "TESK_R/MODELA______", "TESK_X/ZZ9_________"}));
    for (int i = 0; i < KisyuTblCnt; ++i)
        EXPECT_EQ(KisyuTbl[i].Code, 25);
}

TEST_F(CatalogueTest, EmptyTreeGivesNoCatalogue) {
    KisyuListCnt = 3;
    KisyuTblCnt = 3;
    EXPECT_FALSE(SearchTypeDir().ToBool());
    EXPECT_EQ(KisyuListCnt, 0);
    EXPECT_FALSE(SearchKisyu().ToBool());
    EXPECT_EQ(KisyuTblCnt, 0);

    // Only the series' own presets: a series, but no model.
    Write("ini/prm/TESK_R/TESK_R.prm", "");
    EXPECT_TRUE(SearchTypeDir().ToBool());
    EXPECT_FALSE(SearchKisyu().ToBool());
    EXPECT_EQ(KisyuTblCnt, 0);
}

TEST_F(CatalogueTest, LimitsOfTheTablesAreKept) {
    for (int i = 0; i < KisyuListSize + 5; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "S%03d", i);
        fs::create_directories(Path(std::string("ini/prm/") + name));
    }
    for (int i = 0; i < KisyuTblSize + 5; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "ini/prm/S000/M%04d.prm", i);
        Write(name, "");
    }
    Write("ini/prm/S001/LATE________.prm", "");

    EXPECT_TRUE(SearchKisyu().ToBool());
    EXPECT_EQ(KisyuListCnt, KisyuListSize);
    EXPECT_EQ(KisyuList[KisyuListSize - 1], "S064");
    EXPECT_EQ(KisyuTblCnt, KisyuTblSize);
    EXPECT_EQ(KisyuTbl[KisyuTblSize - 1].ModelKey, "M1024.prm");
    EXPECT_EQ(KisyuTbl[KisyuTblSize - 1].SeriesKey, "S000");
}

TEST(CmdFamily, SeriesCodesMapToTheirProtocol) {
    const std::pair<int16_t, int16_t> cases[] = {{9, 0},  {10, 1}, {11, 1}, {12, 1}, {13, 0}, {19, 0},
                                                 {20, 5}, {23, 5}, {25, 5}, {26, 0}, {0, 0},  {-1, 0}};
    for (auto [code, family] : cases)
        EXPECT_EQ(GetCmdFamily(code), family) << code;
}

TEST(ModeCodes, OnlyTheLastSevenCharactersCount) {
    std::string buf;
    auto type = [&](const std::string& keys) {
        std::vector<int16_t> hits;
        for (char c : keys)
            if (int16_t l = MatchModeCode(buf, c)) hits.push_back(l);
        return hits;
    };
    EXPECT_EQ(type("x6251873"), std::vector<int16_t>{2});
    EXPECT_TRUE(buf.empty());
    EXPECT_EQ(type("99994093517"), std::vector<int16_t>{3});
    EXPECT_EQ(type("8826104"), std::vector<int16_t>{1});
    // After a match the buffer starts again: the tail of one code is no head of the next.
    EXPECT_EQ(type("62518734093517"), (std::vector<int16_t>{2, 3}));
    EXPECT_TRUE(type("625187").empty());
    EXPECT_EQ(buf, "625187");
    EXPECT_TRUE(type("4").empty());
    EXPECT_TRUE(type("1234567").empty());
    EXPECT_EQ(buf.size(), 7u);
}

TEST(ModeCodes, MessagesDependOnTheDialog) {
    plat::ScriptedAsker ask;
    std::string buf;
    UserLevel = 1;
    struct Case {
        ModeDlg dlg;
        const char* code;
        int16_t level;
        const char* text;
        const char* title;
    } cases[] = {
        {ModeDlg::Model, "6251873", 2, "Enter internal mode.", "Mode setting"},
        {ModeDlg::Model, "4093517", 3, "Entering to SE mode", "Mode setting"},
        {ModeDlg::Model, "8826104", 1, "Enter normal mode.", "Mode setting"},
        {ModeDlg::Port, "6251873", 2, "Entering internal mode.", "Mevalo"},
        {ModeDlg::Type, "4093517", 3, "Entering to SE mode", "Mevalo"},
        {ModeDlg::Type, "8826104", 1, "Entering normal mode.", "Mevalo"},
    };
    for (const Case& c : cases) {
        ask.Clear();
        for (const char* p = c.code; *p; ++p)
            ModeKey(buf, *p, c.dlg);
        EXPECT_EQ(UserLevel, c.level);
        ASSERT_EQ(ask.Asked().size(), 1u);
        EXPECT_EQ(ask.Asked()[0].text, c.text);
        EXPECT_EQ(ask.Asked()[0].title, c.title);
    }
    UserLevel = 1;
}

TEST_F(StartEnv, ShippedPresetFilesReadWholeWithoutAsking) {
    plat::ScriptedAsker ask;
    ASSERT_TRUE(SearchKisyu().ToBool());
    ASSERT_EQ(KisyuTblCnt, 3);
    for (const std::string name : {"TESK_R", "ZT010A______", "ZT020B______", "ZT040P______"}) {
        // A model's file names that model; the series' own file names none, so any model may load it.
        KisyuMei = name == "TESK_R" ? "ZT010A______" : name;
        EXPECT_EQ(FIL_ReadGroupFile(plat::AppFile("ini\\prm\\TESK_R\\" + name + ".prm"), 0), -1) << name;
    }
    EXPECT_TRUE(ask.Asked().empty());
}
