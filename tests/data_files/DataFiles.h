// Scratch folder, scripted answers and file inspection for the data-file tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/Glb.h"
#include "data/DefFil.h"
#include "data/PrmGlb.h"
#include "platform/Ask.h"
#include "platform/Paths.h"

class DataFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() /
               ("mevalo_files_" + std::string(info->name()) + "_" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        plat::SetAppDir(dir_.string());
        FIL_SetClock([] { return std::time_t(1700000000); });
        KisyuMei = "DEMO01______";
        KisyuCode = 25;
        for (auto& kind : CommentTxt)
            for (auto& line : kind) line.clear();
        for (auto& v : CpuVer) v = CpuVerRec{};
        MotorMei = MotorMeiRec{};
        for (auto& s : LoadSel) s = 0;
        for (auto& s : FrqLoadSel) s = 0;
        Prm16MaxAll = 255;
        Prm32Cnt = 0;
        Prm32MaxAll = 0;
    }
    void TearDown() override
    {
        FIL_SetClock({});
        plat::SetAppDir("");
        std::filesystem::remove_all(dir_);
    }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    std::string Put(const std::string& name, const std::string& text)
    {
        std::ofstream(Path(name), std::ios::binary) << text;
        return Path(name);
    }

    static std::string Slurp(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    // Group headers of a file in order, as "NAME,count".
    static std::vector<std::string> Groups(const std::string& path)
    {
        static const std::string mark = ",#Group name and max. data";
        std::vector<std::string> out;
        std::istringstream in(Slurp(path));
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const size_t at = line.find(mark);
            if (at != std::string::npos && at + mark.size() == line.size()) out.push_back(line.substr(0, at));
        }
        return out;
    }

    // The texts and titles of every message box shown, as "title|text".
    static std::vector<std::string> Shown(const plat::ScriptedAsker& asker)
    {
        std::vector<std::string> out;
        for (const auto& r : asker.Asked()) out.push_back(r.title + "|" + r.text);
        return out;
    }

    std::filesystem::path dir_;
};
