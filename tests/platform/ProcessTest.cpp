// What touches other processes: the instance lock, ending the program, the editor.
#include "platform/Editor.h"
#include "platform/EndProgram.h"
#include "platform/Paths.h"
#include "platform/SingleInstance.h"
#include "TempDir.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace plat;

namespace {

// Runs fn in a child process and returns its exit status (or -1 when it did not exit normally).
template <class Fn>
int InChild(Fn fn)
{
    const pid_t pid = fork();
    if (pid == 0)
        _exit(fn());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string WaitForFile(const TempDir& d, const std::string& name)
{
    for (int i = 0; i < 500; ++i) {
        const std::string s = d.get(name);
        if (!s.empty() && s.back() == '\n')
            return s;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {};
}

struct EnvGuard {
    EnvGuard()
    {
        for (const char* v : {"VISUAL", "EDITOR"})
            if (const char* s = std::getenv(v))
                saved.emplace_back(v, s);
    }
    ~EnvGuard()
    {
        unsetenv("VISUAL");
        unsetenv("EDITOR");
        for (auto& [k, v] : saved)
            setenv(k.c_str(), v.c_str(), 1);
    }
    std::vector<std::pair<std::string, std::string>> saved;
};

} // namespace

TEST(SingleInstance, ASecondHolderIsRefusedUntilTheFirstLetsGo)
{
    TempDir d;
    const std::string path = d / "mevalo.lock";
    InstanceLock first;
    ASSERT_TRUE(first.Acquire(path));

    // Another open of the same file in this process, and another process.
    InstanceLock second;
    EXPECT_FALSE(second.Acquire(path));
    EXPECT_EQ(InChild([&] { return InstanceLock().Acquire(path) ? 1 : 0; }), 0);

    first.Release();
    EXPECT_TRUE(second.Acquire(path));
    EXPECT_EQ(InChild([&] { return InstanceLock().Acquire(path) ? 1 : 0; }), 0);
    second.Release();
    EXPECT_EQ(InChild([&] { return InstanceLock().Acquire(path) ? 1 : 0; }), 1);
}

TEST(SingleInstance, TheLockIsTheUsersWhateverTheProgramFolder)
{
    // Permissions only bind an ordinary user: a child run as root gives its rights up first.
    const auto asUser = [](auto fn) {
        return InChild([&] {
            if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                return 99;
            return static_cast<int>(fn());
        });
    };
    const auto claim = [] { return static_cast<int>(ClaimSingleInstance().kind); };
    TempDir run, shut, readOnly, other;
    chmod(run.path().c_str(), 0777);
    chmod(shut.path().c_str(), 0555);
    chmod(readOnly.path().c_str(), 0555);
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    const std::string savedRun = saved ? saved : "";
    setenv("XDG_RUNTIME_DIR", run.path().c_str(), 1);
    EXPECT_EQ(InstanceLockPath(), run / kInstanceLockFile);

    SetAppDir(readOnly.path());
    EXPECT_EQ(asUser(claim), InstanceClaim::Taken);

    // A copy that runs from another folder still holds the user's lock.
    InstanceLock running;
    ASSERT_TRUE(running.Acquire(InstanceLockPath()));
    SetAppDir(other.path());
    EXPECT_EQ(InChild(claim), InstanceClaim::HeldElsewhere);
    running.Release();

    // A lock that cannot be made at all is not another copy.
    setenv("XDG_RUNTIME_DIR", shut.path().c_str(), 1);
    EXPECT_EQ(asUser([] {
                  const InstanceClaim c = ClaimSingleInstance();
                  return c.kind == InstanceClaim::Failed && c.path == InstanceLockPath() && !c.error.empty();
              }),
              1);

    SetAppDir({});
    if (saved)
        setenv("XDG_RUNTIME_DIR", savedRun.c_str(), 1);
    else
        unsetenv("XDG_RUNTIME_DIR");
}

TEST(EndProgram, ClosersRunNewestFirstThenTheProgramEnds)
{
    auto order = std::make_shared<std::string>();
    AtEnd([order] { *order += "link;"; });
    AtEnd([order] { throw std::runtime_error("a closer that fails"); });
    AtEnd([order] { *order += "log;"; });

    EndProgramThrows throwing;
    try {
        EndProgram(7);
        FAIL() << "EndProgram returned";
    } catch (const ProgramEnded& e) {
        EXPECT_EQ(e.code, 7);
    }
    EXPECT_EQ(*order, "log;link;");
}

TEST(EndProgram, WithoutTheTestHandlerTheProcessExitsWithTheCode)
{
    TempDir d;
    const std::string mark = d / "closed";
    const int status = InChild([&] {
        AtEnd([mark] { std::fclose(std::fopen(mark.c_str(), "w")); });
        EndProgram(3);
        return 99; // not reached
    });
    EXPECT_EQ(status, 3);
    EXPECT_TRUE(FileExists(mark));
}

TEST(Editor, VisualComesFirstThenEditorWithItsArguments)
{
    TempDir d;
    EnvGuard env;
    // A stand-in editor that writes down its arguments.
    d.put("ed", "#!/bin/sh\necho \"$0 $*\" > \"$(dirname \"$0\")/$(basename \"$0\").out\"\n");
    d.put("ed2", "#!/bin/sh\necho \"$*\" > \"$(dirname \"$0\")/ed2.out\"\n");
    chmod((d / "ed").c_str(), 0755);
    chmod((d / "ed2").c_str(), 0755);
    d.put("Log.txt", "x");

    setenv("VISUAL", (d / "ed").c_str(), 1);
    setenv("EDITOR", (d / "ed2").c_str(), 1);
    ASSERT_TRUE(OpenInEditor(d.path() + "\\log.TXT"));
    EXPECT_EQ(WaitForFile(d, "ed.out"), d / "ed" + " " + d / "Log.txt" + "\n");

    unsetenv("VISUAL");
    setenv("EDITOR", (d / "ed2" + " --wait -n").c_str(), 1);
    ASSERT_TRUE(OpenInEditor(d / "Log.txt"));
    EXPECT_EQ(WaitForFile(d, "ed2.out"), "--wait -n " + d / "Log.txt" + "\n");
}
