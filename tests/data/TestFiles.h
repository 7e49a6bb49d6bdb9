// Scratch folders and files for the group-file tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>
#include <string>

#include "platform/Paths.h"

// A fresh folder per test, made the program folder so that ini\def\... paths land in it.
class ScratchDir : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() /
               ("mevalo_data_" + std::string(info->test_suite_name()) + "_" + info->name() + "_" +
                std::to_string(::getpid()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_ / "ini" / "def");
        plat::SetAppDir(dir_.string());
    }
    void TearDown() override
    {
        plat::SetAppDir("");
        std::filesystem::remove_all(dir_);
    }

    // Writes text with each "\n" turned into CR LF, as the program's files are kept.
    std::string Put(const std::string& rel, const std::string& text)
    {
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
    std::string Def(const std::string& name, const std::string& body) { return Put("ini/def/" + name, body); }

    static std::string Slurp(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    std::filesystem::path dir_;
};
