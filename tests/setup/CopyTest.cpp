#include "SetupEnv.h"

#include "setup/CopyToTemp.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <thread>

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
    std::string deep = k.temp.string();
    int fd = open(deep.c_str(), O_PATH | O_DIRECTORY);
    while (deep.size() < 5000) {
        const std::string part(200, 'd');
        ASSERT_EQ(mkdirat(fd, part.c_str(), 0700), 0);
        const int next = openat(fd, part.c_str(), O_PATH | O_DIRECTORY);
        close(fd);
        fd = next;
        deep += "/" + part;
    }
    CopyJob job = k.Job();
    job.tempFolder = deep;
    std::string error;
    ASSERT_EQ(CopyToTemp(job, "vimedo3.cab", &error), CopyResult::Copied) << error;
    const int in = openat(fd, "vimedo3.cab", O_RDONLY);
    std::string copied(8192, '\0');
    copied.resize(static_cast<size_t>(read(in, copied.data(), copied.size())));
    close(in);
    close(fd);
    EXPECT_EQ(copied, data);
}

TEST(SetupCopy, CancelStopsAfterTheBlockAndTheRestOfTheDisk) {
    Copier k;
    WriteFile(k.disk / "setup.lst", 400 * 4096);
    WriteFile(k.disk / "setup.exe", 10);
    CopyJob job = k.Job();
    std::atomic<int> blocks{0};
    job.progress = [&blocks](int b) { blocks = b; };
    CopyResult result = CopyResult::Copied;
    std::thread worker([&] { result = CopyDisk(job, 1, nullptr); });
    while (blocks < 3) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    k.flag = CopyCancel;
    worker.join();
    EXPECT_EQ(result, CopyResult::Cancelled);
    const auto size = fs::file_size(k.temp / "setup.lst");
    EXPECT_EQ(size, (blocks + 1u) * 4096); // the block read when the cancel came is written, no more
    EXPECT_FALSE(fs::exists(k.temp / "setup.exe"));
}

TEST(SetupCopy, InstallerRunsInTheTemporaryFolderOrSaysWhyNot) {
    Copier k;
    const fs::path record = k.scratch.Root() / "record";
    std::ofstream(k.temp / "setup.exe") << "#!/bin/sh\npwd > \"" << record.string() << "\"\n";
    EXPECT_EQ(StartInstaller(k.temp.string()), "");
    ASSERT_TRUE(WaitFor([&] { return !ReadFile(record).empty(); }));
    EXPECT_EQ(ReadFile(record), k.temp.string() + "\n");

    std::ofstream(k.temp / "setup.exe") << "MZ\x90";
    EXPECT_EQ(StartInstaller(k.temp.string()), "setup.exe: Exec format error");
    fs::remove(k.temp / "setup.exe");
    EXPECT_EQ(StartInstaller(k.temp.string()), "setup.exe: No such file or directory");
}
