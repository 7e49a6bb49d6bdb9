// Factory presets by series, model and version key, and the preset files the program ships with.
#include "PmtEnv.h"

#include "app/SetModel.h"
#include "app/Uty.h"
#include "comm/FrmSysCon.h"
#include "data/PmtFil.h"

#include <map>
#include <vector>

namespace {

// A preset file setting the given 16-bit rows.
std::string Preset(const std::map<int, int>& rows) {
    std::string g = "USER DATA," + std::to_string(rows.size()) + "\r\n";
    for (const auto& [n, v] : rows)
        g += "DATA," + PmtIndexText(n) + "," + std::to_string(v) + ",#[x]:name\r\n";
    return GroupFile(g + "END\r\n");
}

class PmtPreset : public PmtEnv {
  protected:
    void SetUp() override {
        PmtEnv::SetUp();
        CpuVer[0] = {1, 2, 0, 0};
        CpuVer[1] = {1, 3, 4, 0};
    }
    std::string Dir() const { return "ini/prm/TESK_R/"; }
};

TEST_F(PmtPreset, SeriesModelAndVersionFilesLoadInTurn) {
    Put(Dir() + "TESK_R.PRM", Preset({{0, 10}, {1, 10}, {2, 10}, {3, 10}, {4, 10}, {5, 10}}));
    Put(Dir() + "TESK_R00.PRM", Preset({{1, 11}}));
    Put(Dir() + "TESK_R01.PRM", Preset({{2, 12}}));
    Put(Dir() + "TESK_R03.PRM", Preset({{3, 13}})); // after the gap at 02: never read
    Put(Dir() + "zt010a______.prm", Preset({{4, 14}}));
    Put(Dir() + "ZT010A______" + GetVerKey() + ".PRM", Preset({{5, 15}}));
    ASSERT_EQ(GetVerKey(), "_124_234");

    EXPECT_EQ(PrmKiTeiChi(KisyuMei, -1), -1);
    EXPECT_EQ(PrmVal[0], 10);
    EXPECT_EQ(PrmVal[1], 11);
    EXPECT_EQ(PrmVal[2], 12);
    EXPECT_EQ(PrmVal[3], 10);
    EXPECT_EQ(PrmVal[4], 14);
    EXPECT_EQ(PrmVal[5], 15);
    EXPECT_EQ(RetVar.ToBoolWord(), -1);
    EXPECT_EQ(PrmSrc, 3);
    EXPECT_EQ(PrmSrcMei, "Default");
    EXPECT_TRUE(Asked().empty());
}

TEST_F(PmtPreset, ModelWithoutFileTakesTheSeriesPresets) {
    Put(Dir() + "TESK_R.PRM", Preset({{0, 10}}));
    EXPECT_EQ(PrmKiTeiChi("ZT999Z______", -1), -1);
    EXPECT_EQ(PrmVal[0], 10);
    EXPECT_EQ(PrmSrc, 3);
    const auto asked = Asked();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text, "No file of standard preset values of corresponding model. Standard preset values "
                             "of series (TESK_R) have been read. ");
    EXPECT_EQ(asked[0].title, "Reading of the default");

    // Not told when not asked to, or when the series definition says so.
    EXPECT_EQ(PrmKiTeiChi("ZT999Z______", 0), -1);
    ExtV25Opt[1] = 0;
    EXPECT_EQ(PrmKiTeiChi("ZT999Z______", -1), -1);
    EXPECT_TRUE(Asked().empty());
    // A name that would leave the folder has no file of its own.
    Put("ini/prm/x.PRM", Preset({{0, 99}}));
    EXPECT_EQ(PrmKiTeiChi("..\\x", 0), -1);
    EXPECT_EQ(PrmVal[0], 10);
}

TEST_F(PmtPreset, NoSeriesFileLeavesEverything) {
    PrmVal[0] = 5;
    Put(Dir() + "ZT010A______.PRM", Preset({{0, 14}}));
    EXPECT_EQ(PrmKiTeiChi(KisyuMei, -1), 0);
    EXPECT_EQ(PrmVal[0], 5);
    EXPECT_EQ(PrmSrc, 1);
    EXPECT_TRUE(Asked().empty());
}

TEST_F(PmtPreset, DamagedModelFileIsNotHalfApplied) {
    Put(Dir() + "TESK_R.PRM", Preset({{0, 10}, {1, 10}}));
    Put(Dir() + "ZT010A______.PRM", "USER DATA,2\r\nDATA,0x00,20\r\nDATA,0x01,\r\n");
    EXPECT_EQ(PrmKiTeiChi(KisyuMei, -1), -1);
    EXPECT_EQ(PrmVal[0], 10);
    EXPECT_EQ(PrmVal[1], 10);
    EXPECT_EQ(PrmSrc, 3);
}

TEST_F(PmtPreset, InstalledForTheModelSetUpAndTheConsole) {
    AxisScreens().prmKiTeiChi = nullptr;
    SysConCalls().prmHoZon = nullptr;
    WirePmtFil();
    Put(Dir() + "TESK_R.PRM", Preset({{0, 10}}));
    EXPECT_EQ(CallPrmKiTeiChi(KisyuMei), -1);
    EXPECT_EQ(PrmVal[0], 10);
    ASSERT_TRUE(SysConCalls().prmHoZon);
    EXPECT_EQ(SysConCalls().prmHoZon(Path("buf.prm"), 25), -1);
    EXPECT_NE(Slurp(Path("buf.prm")).find("\r\nDATA,0x00,10,#[0x000A]:"), std::string::npos);
}

// Every preset the program ships with reads cleanly against the series definition it ships with.
TEST_F(PmtPreset, ShippedPresetsRead) {
    for (int n = 0; n < PrmCnt; ++n) {
        PrmAttr[n].name.clear();
        Prm32Attr[n].name.clear();
    }
    plat::SetAppDir(std::string(MEVALO_SOURCE_DIR) + "/runtime");
    ASSERT_EQ(FIL_LoadDef("TESK_R"), -1);
    ASSERT_GE(Prm16MaxAll, 131);
    ASSERT_TRUE(Prm32Cnt);
    // The presets' selections agree with the definition's.
    std::vector<int32_t> type16, type32;
    for (int n = 0; n < PrmCnt; ++n) {
        type16.push_back(PrmAttr[n].Type);
        type32.push_back(Prm32Attr[n].Type);
    }
    const auto files = plat::ListDir(AppPath("ini\\prm\\TESK_R"), "*.prm");
    ASSERT_GE(files.size(), 3u);
    int models = 0;
    for (const std::string& f : files) {
        SCOPED_TRACE(f);
        EXPECT_EQ(PMT_Load(AppPath("ini\\prm\\TESK_R\\" + f), 25, -1), -1);
        const std::string stem = f.substr(0, f.size() - 4);
        if (stem.size() != 12) continue; // the series file
        ++models;
        for (int n = 0; n < PrmCnt; ++n) {
            PrmVal[n] = -32768;
            Prm32Val[n] = 0;
        }
        EXPECT_EQ(PrmKiTeiChi(stem, -1), -1);
        EXPECT_EQ(PrmSrc, 3);
        for (int n = 0; n <= Prm16MaxAll; ++n) {
            if (PrmAttr[n].name.empty()) continue;
            EXPECT_GE(PrmVal[n], PrmAttr[n].Min) << n;
            EXPECT_LE(PrmVal[n], PrmAttr[n].Max) << n;
            EXPECT_EQ(PrmAttr[n].Type, type16[static_cast<size_t>(n)]) << n;
        }
        for (int n = 0; n < Prm32MaxAll; ++n) {
            if (Prm32Attr[n].name.empty()) continue;
            EXPECT_GE(Prm32Val[n], Prm32Attr[n].Min) << n;
            EXPECT_LE(Prm32Val[n], Prm32Attr[n].Max) << n;
            EXPECT_EQ(Prm32Attr[n].Type, type32[static_cast<size_t>(n)]) << n;
        }
    }
    EXPECT_GE(models, 2);

    EXPECT_TRUE(Asked().empty());
}

} // namespace
