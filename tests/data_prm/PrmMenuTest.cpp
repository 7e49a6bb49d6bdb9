// The PARA MENU groups of the definition files, read through the group-file reader.
#include "data/DefFil.h"
#include "data/PrmTbl.h"
#include "platform/Ask.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

class PrmMenu : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = std::filesystem::temp_directory_path() /
                ("mevalo_prm_menu_" + std::to_string(::getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".DEF");
        for (int n = 0; n < PrmCnt; ++n) {
            PrmAttr[n] = PrmAttrRec{};
            Prm32Attr[n] = Prm32AttrRec{};
        }
    }
    void TearDown() override { std::filesystem::remove(path_); }

    int16_t Read(const std::string& groups) {
        std::ofstream(path_, std::ios::binary) << groups << "DEF END,0\r\n";
        return FIL_ReadGroupFile(path_.string(), 0);
    }

    std::filesystem::path path_;
};

TEST_F(PrmMenu, RecordsFillTheAttributeTables) {
    ASSERT_EQ(Read("PARA MENU,2\r\n"
                   "DATA,0x1A,\"Position loop gain\",1,2000,0x0018,0x0003,\"Guide 1\",\"a, b\",\"\",g4\r\n"
                   "DATA,256,Last,-32768,0xFFFF,0x0100,0,\"\",\"\",\"\",\"\"\r\n"
                   "END\r\n"
                   "PARA MENU32,1\r\n"
                   "DATA,5,\"Speed limit\",-100000,0x000186A0,0x08,2,x,y,z,w\r\n"
                   "END\r\n"),
              -1);
    const PrmAttrRec& a = PrmAttr[0x1A];
    EXPECT_EQ(a.name, "Position loop gain");
    EXPECT_EQ(a.Min, 1);
    EXPECT_EQ(a.Max, 2000);
    EXPECT_EQ(a.Attr, 0x18);
    EXPECT_EQ(a.Type, 3);
    EXPECT_EQ(a.Guide[0], "Guide 1");
    EXPECT_EQ(a.Guide[1], "a, b");
    EXPECT_EQ(a.Guide[3], "g4");
    EXPECT_EQ(ChkPrmAttr(0x1A, PrmAttrPowerOff), -1);
    EXPECT_EQ(ChkPrmType(0x1A, PrmTypeSelectable), -1);

    EXPECT_EQ(PrmAttr[256].Min, -32768);
    EXPECT_EQ(PrmAttr[256].Max, -1) << "four hexadecimal digits are a signed 16-bit value";
    EXPECT_EQ(ChkPrmAttr(256, PrmAttrReadOnly2), -1);

    const Prm32AttrRec& b = Prm32Attr[5];
    EXPECT_EQ(b.name, "Speed limit");
    EXPECT_EQ(b.Min, -100000);
    EXPECT_EQ(b.Max, 100000);
    EXPECT_EQ(ChkPrm32Attr(5, PrmAttrSystem), -1);
    EXPECT_EQ(ChkPrm32Type(5, PrmTypeSelected), 0);
    EXPECT_EQ(b.Guide[2], "z");
}

TEST_F(PrmMenu, DamagedRecordsStopTheReadAndLeaveTheTable) {
    plat::ScriptedAsker asker;
    PrmAttr[3].name = "kept";
    EXPECT_EQ(Read("PARA MENU,1\r\nDATA,257,X,0,1,0,0,\"\",\"\",\"\",\"\"\r\nEND\r\n"), 0) << "no number 257";
    EXPECT_EQ(Read("PARA MENU,1\r\nDATA,3,X,0,40000,0,0,\"\",\"\",\"\",\"\"\r\nEND\r\n"), 0)
        << "40000 is no 16-bit value";
    EXPECT_EQ(PrmAttr[3].name, "kept") << "a record that failed part-way is not stored";
    EXPECT_EQ(Read("PARA MENU32,1\r\nDATA,3,X,0,40000,0,0,\"\",\"\",\"\",\"\"\r\nEND\r\n"), -1);
    EXPECT_EQ(Prm32Attr[3].Max, 40000);
}

TEST_F(PrmMenu, FileReaderSetsTheSourceThroughTheInstalledHook) {
    WirePrmTbl();
    ASSERT_TRUE(FIL_PrmSrcHook);
    FIL_PrmSrcHook(2, "");
    EXPECT_EQ(PrmSrc, 2);
    EXPECT_EQ(PrmSrcMei, "Value read from the file.");
    FIL_PrmSrcHook = nullptr;
}

} // namespace
