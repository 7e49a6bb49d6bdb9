// A scratch program folder and a known state of the parameter tables for the parameter-file tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include <unistd.h>

#include "app/Glb.h"
#include "data/DefFil.h"
#include "data/PrmGlb.h"
#include "data/PrmTbl.h"
#include "platform/Ask.h"
#include "platform/Paths.h"

class PmtEnv : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() / ("mevalo_pmt_" + std::string(info->test_suite_name()) +
                                                         "_" + info->name() + "_" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_ / "ini" / "prm" / "TESK_R");
        plat::SetAppDir(dir_.string());
        asker_ = std::make_unique<plat::ScriptedAsker>(plat::Yes);
        FIL_SetClock([] { return std::time_t(1700000000); });
        WirePrmTbl();

        for (int n = 0; n < PrmCnt; ++n) {
            PrmVal[n] = 0;
            PrmAttr[n] = PrmAttrRec{};
            PrmAttr[n].name = "P16_" + std::to_string(n);
            Prm32Val[n] = 0;
            Prm32Attr[n] = Prm32AttrRec{};
            Prm32Attr[n].name = "P32_" + std::to_string(n);
        }
        for (auto& line : CommentTxt[0])
            line.clear();
        for (CpuVerRec& v : CpuVer)
            v = CpuVerRec{};
        MotorMei = MotorMeiRec{};
        for (int16_t& s : LoadSel)
            s = 0;
        UserLevel = 1;
        KisyuCode = 25;
        KisyuKey = "TESK_R";
        KisyuMei = "ZT010A______";
        Prm16MaxAll = 31;
        Prm32Cnt = -1;
        Prm32MaxAll = 8;
        IhxBase = 0;
        ExtV25Opt[1] = 1;
        PrmSrc = 1;
        PrmSrcMei = "Read-out value from the amplifier.";
    }
    void TearDown() override {
        asker_.reset();
        FIL_SetClock({});
        PrmSrcNotice() = nullptr;
        plat::SetAppDir("");
        std::filesystem::remove_all(dir_);
    }

    // Writes text as is (line ends included) below the scratch folder; returns the real path.
    std::string Put(const std::string& rel, const std::string& text) {
        const auto p = dir_ / rel;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << text;
        return p.string();
    }
    std::string Path(const std::string& rel) const { return (dir_ / rel).string(); }

    static std::string Slurp(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    // Texts and titles of every message shown since the last call.
    std::vector<plat::AskRequest> Asked() {
        auto a = asker_->Asked();
        asker_->Clear();
        return a;
    }

    std::filesystem::path dir_;
    std::unique_ptr<plat::ScriptedAsker> asker_;
};

// A group file of the given groups (each "NAME,count\r\n...END\r\n"), with the trailer.
inline std::string GroupFile(const std::string& groups) {
    return "#\r\n" + groups + "DEF END,0\r\n";
}
