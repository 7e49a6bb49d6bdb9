#include "SetupEnv.h"

#include "setup/CopyToTemp.h"

#include <gtest/gtest.h>


using namespace instoran;
using namespace setuptest;

namespace {

struct Copier {
    Scratch scratch;
    fs::path disk = scratch.Dir("disk");
    fs::path temp = scratch.Dir("temp");
    std::atomic<int> flag{CopyIdle};
    std::vector<int> progress;
    CopyJob Job() {
        return {disk.string(), temp.string(), &flag, [this](int blocks) { progress.push_back(blocks); }};
    }
};

} // namespace

TEST(SetupCopy, ProgressTextIsAThirdOfTheBlocksCappedAtHundred) {
    const std::pair<int, const char*> cases[] = {
        {0, "Approx. 0 %"}, {2, "Approx. 0 %"}, {3, "Approx. 1 %"}, {299, "Approx. 99 %"},
        {300, "Approx. 100 %"}, {1000, "Approx. 100 %"}};
    for (const auto& [blocks, text] : cases) EXPECT_EQ(ProgressText(blocks), text) << blocks;
}

TEST(SetupCopy, CopiesByteIdenticalAndCountsFullBlocks) {
    struct Case {
        const char* onDisk;
        const char* name;
        size_t size;
        std::vector<int> progress;
    };
    const Case cases[] = {
        {"setup.lst", "setup.lst", 4096, {1}}, // one full block, then an empty read ends it
        {"setup.exe", "setup.exe", 0, {}},
        {"VIMEDO1.CAB", "vimedo1.cab", 2 * 4096 + 1, {1, 2}}, // media may show names in capitals
    };
    for (const Case& c : cases) {
        Copier k;
        const std::string data = WriteFile(k.disk / c.onDisk, c.size);
        std::string error;
        ASSERT_EQ(CopyToTemp(k.Job(), c.name, &error), CopyResult::Copied) << error;
        EXPECT_EQ(ReadFile(k.temp / c.name), data) << c.onDisk;
        EXPECT_EQ(k.progress, c.progress) << c.onDisk;
        EXPECT_EQ(k.flag.load(), CopyIdle);
    }
}

TEST(SetupCopy, ReadAndWriteErrorsFailTheCopy) {
    struct Case {
        const char* what;
        std::function<void(Copier&)> prepare;
    };
    const Case cases[] = {
        {"missing source", [](Copier&) {}},
        {"unreadable source", [](Copier& k) { fs::create_directory(k.disk / "vimedo2.cab"); }},
        {"full disk",
         [](Copier& k) {
             WriteFile(k.disk / "vimedo2.cab", 3 * 4096);
             fs::create_symlink("/dev/full", k.temp / "vimedo2.cab");
         }},
        {"no temporary folder",
         [](Copier& k) {
             WriteFile(k.disk / "vimedo2.cab", 10);
             fs::remove(k.temp);
         }},
    };
    for (const Case& c : cases) {
        Copier k;
        c.prepare(k);
        std::string error;
        EXPECT_EQ(CopyToTemp(k.Job(), "vimedo2.cab", &error), CopyResult::Failed) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
        EXPECT_EQ(k.flag.load(), CopyIdle) << c.what;
    }
}

TEST(SetupCopy, DiskThatIsTheTemporaryFolderKeepsItsFiles) {
    Copier k;
    const std::string data = WriteFile(k.disk / "setup.lst", 5000);
    CopyJob job = k.Job();
    job.tempFolder = job.diskFolder;
    EXPECT_EQ(CopyToTemp(job, "setup.lst", nullptr), CopyResult::Failed);
    EXPECT_EQ(ReadFile(k.disk / "setup.lst"), data);
}

TEST(SetupCopy, TemporaryFolderLongerThanTheSystemPathLimit) {
    Copier k;
    const std::string data = WriteFile(k.disk / "vimedo3.cab", 4097);
    CopyJob job = k.Job();
    for (int i = 0; i < 2500; ++i) job.tempFolder += "/.";
    std::string error;
    ASSERT_EQ(CopyToTemp(job, "vimedo3.cab", &error), CopyResult::Copied) << error;
    EXPECT_EQ(ReadFile(k.temp / "vimedo3.cab"), data);
}

TEST(SetupCopy, InstallerThatCannotRunSaysWhy) {
    Copier k;
    EXPECT_EQ(StartInstaller(k.temp.string()), "setup.exe: No such file or directory");
    std::ofstream(k.temp / "setup.exe") << "MZ\x90";
    EXPECT_EQ(StartInstaller(k.temp.string()), "setup.exe: Exec format error");
}
