// A fresh program folder per test with the shared state the tests touch put back to its start.
#pragma once

#include <gtest/gtest.h>

#include <QDir>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "TestMain.h"
#include "app/FileDlg.h"
#include "app/Frame.h"
#include "app/Glb.h"
#include "platform/Paths.h"
#include "positioning/PopGlb.h"

// The trace switch lives in the per-user settings: keep the tests' settings away from the user's.
inline const bool kMainSetup = testmain::Use({.privateSettings = true});

class PosEnv : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ =
            std::filesystem::temp_directory_path() / ("mevalo_pos_" + std::string(info->test_suite_name()) +
                                                      "_" + info->name() + "_" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        plat::SetAppDir(dir_.string());
        cwd_ = QDir::currentPath();

        KisyuMei = "DEMO01______";
        KisyuCode = 25;
        UserLevel = 1;
        LoadSel[3] = 0;
        for (auto& k : CommentTxt)
            for (auto& l : k)
                l.clear();
        for (auto& s : PopStep)
            s = PopStepRec{};
        for (auto& p : Pop16Prm)
            p = PopPrmRec{};
        for (auto& p : Pop32Prm)
            p = PopPrmRec{};
        for (int w = 0; w < 4; ++w)
            PopStepCnt[w] = Pop16Cnt[w] = Pop32Cnt[w] = 0;
        SetPopDataSource(3, "");
        PathTblClear();
        Frame().updStat = [this](const std::string& s) { status_.push_back(s); };
    }
    void TearDown() override {
        Frame().updStat = nullptr;
        QDir::setCurrent(cwd_);
        plat::SetAppDir("");
        std::filesystem::remove_all(dir_);
    }

    // Writes text with each "\n" turned into CR LF, as the program's files are kept.
    std::string Put(const std::string& rel, const std::string& text) {
        std::string crlf;
        for (char c : text) {
            if (c == '\n') crlf += '\r';
            crlf += c;
        }
        const auto p = dir_ / rel;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << crlf;
        return p.string();
    }
    std::string Dir(const std::string& rel) {
        std::filesystem::create_directories(dir_ / rel);
        return (dir_ / rel).string();
    }
    static std::string Slurp(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    std::filesystem::path dir_;
    QString cwd_;
    std::vector<std::string> status_;
};
