// The library as the program loads it: by path, binding each export by name.
#include "pty_peer.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <set>
#include <string>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

const std::array<const char*, 31> kExports = {
    "Qel_IsReg",     "Qel_AddReg",    "Qel_DelReg",  "Qel_GetQel",     "Qel_Ping",    "Qel_Version",
    "Qel_Open",      "Qel_SetTimeOut", "Qel_SetT1",  "Qel_SetT2",      "Qel_SetRty",  "Qel_SetMaster",
    "Qel_Close",     "Qel_CloseAll",  "Qel_PutBlk",  "Qel_GetBlk",     "Qel_PutChr",  "Qel_GetChr",
    "Qel_Clr",       "Qel_CalSum",    "Qel_SumNG",   "Qel_SetBlk",     "Qel_RcvCmdSub", "Qel_SndCmdSub",
    "Qel_SndCmd",    "Qel_SndCmd2",   "Qel_RcvCmd",  "Qel_RcvCmd2",    "Qel_SndRcv",  "Qel_LogOn",
    "Qel_SndEnq",
};

TEST(QelLibrary, LoadsByPathAndBindsEveryExportByName)
{
    void* lib = dlopen(QEL_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    for (const char* name : kExports)
        EXPECT_NE(dlsym(lib, name), nullptr) << name;
    // Internal helpers stay inside, under their plain or their C++ names.
    for (const char* name : {"TraceLog", "TraceErr", "SetLogSwitch", "COM_Open", "ExtBlockSize",
                             "CloseLinksAtUnload", "_ZN3qel8TraceLogEPKcz", "_ZN3qel12ExtBlockSizeEh",
                             "_Qel_RcvCmdSub@8", "_Qel_SndCmdSub@12"})
        EXPECT_EQ(dlsym(lib, name), nullptr) << name;
    dlclose(lib);
}

TEST(QelLibrary, ExportsNothingElse)
{
    const std::string command = std::string("nm -D --defined-only ") + QEL_LIBRARY_PATH + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> defined;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        char type = 0;
        char name[400] = {};
        if (std::sscanf(line, "%*s %c %399s", &type, name) == 2)
            defined.insert(name);
    }
    const int status = pclose(pipe);
    if (status != 0 && defined.empty())
        GTEST_SKIP() << "nm is not available";
    EXPECT_EQ(defined, std::set<std::string>(kExports.begin(), kExports.end()));
}

TEST(QelLibrary, UnloadClosesTheLinksStillOpen)
{
    PtyPeer peer(1);
    void* lib = dlopen(QEL_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    auto open = reinterpret_cast<uint32_t (*)(int16_t, uint32_t)>(dlsym(lib, "Qel_Open"));
    ASSERT_NE(open, nullptr);
    ASSERT_NE(open(1, 9600), 0u);

    // The link holds the device's lock while it is open.
    const int fd = ::open(peer.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    EXPECT_NE(flock(fd, LOCK_EX | LOCK_NB), 0);
    ASSERT_EQ(dlclose(lib), 0);
    EXPECT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0) << "the unload closed the port";
    close(fd);
}

}  // namespace
