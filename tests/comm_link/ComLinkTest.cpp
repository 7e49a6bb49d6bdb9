// The connection procedures against the simulated amplifier on a pty.
#include "LinkEnv.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

struct LinkSettings {
    uint32_t t1, t2;
    int16_t retry;
};

LinkSettings Read(uint32_t link) {
    return {qel::SetT1(link, 0), qel::SetT2(link, 0), qel::SetRty(link, -1)};
}

using ComLink = LinkEnv;

TEST_F(ComLink, OpenLoadsTheNormalTimingsAndKeepsOneLink) {
    plat::ScriptedAsker asker;
    ASSERT_EQ(ComOpen(kPort, 9600), -1);
    const uint32_t first = ComHandle;
    ASSERT_NE(first, 0u);
    const LinkSettings s = Read(first);
    EXPECT_EQ(s.t1, 800u);
    EXPECT_EQ(s.t2, 5000u);
    EXPECT_EQ(s.retry, 2);
    EXPECT_EQ(RetVar.ToInt32(), 2) << "the last setting's result is left in RetVar";

    // Opening again replaces the link: the first one is no longer known to the library.
    ComTime[0] = {300, 1000, 4};
    ASSERT_EQ(ComOpen(kPort, 19200), -1);
    EXPECT_EQ(qel::IsReg(first), 0);
    EXPECT_EQ(Read(ComHandle).t1, 300u);
    EXPECT_TRUE(asker.Asked().empty());

    ComClose();
    EXPECT_EQ(ComHandle, 0u);
    EXPECT_EQ(ComResult, 1) << "one link closed";
}

TEST_F(ComLink, PortHeldElsewhereIsReportedAndLeavesTheProgramOffLine) {
    // Another program holding the line: the same lock the library takes.
    const int fd = ::open(sim_->devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);

    plat::ScriptedAsker asker;
    EXPECT_EQ(ComOpen(kPort, 9600), 0);
    EXPECT_EQ(ComHandle, 0u);
    ASSERT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(asker.Asked()[0].text, "The other application is occupying the communication port.");
    EXPECT_EQ(asker.Asked()[0].title, plat::DefaultTitle());
    ::close(fd);

    // A port with no device behind it fails the same way.
    asker.Clear();
    EXPECT_EQ(ComOpen(kPort + 1, 9600), 0);
    EXPECT_EQ(asker.Asked().size(), 1u);
    EXPECT_EQ(ComHandle, 0u);
}

TEST_F(ComLink, SetTimeLeavesSettingsItCannotTake) {
    ASSERT_EQ(ComOpen(kPort, 9600), -1);
    ComSetTime(-5, 0, -1);
    const LinkSettings s = Read(ComHandle);
    EXPECT_EQ(s.t1, 800u) << "a negative time must not become a huge unsigned one";
    EXPECT_EQ(s.t2, 5000u);
    EXPECT_EQ(s.retry, 2);

    ComSetTime(150, 2500, 7);
    EXPECT_EQ(Read(ComHandle).t1, 150u);
    ComSetTimeDef();
    EXPECT_EQ(Read(ComHandle).retry, 2);
}

TEST_F(ComLink, RetryZeroSendsNothing) {
    ComTime[0].Retry = 0;
    ASSERT_EQ(ComOpen(kPort, 9600), -1);
    EXPECT_EQ(qel::SndCmd2(ComHandle, 0, 0, 0, nullptr, 0), 0);
    EXPECT_TRUE(sim_->requests().empty());

    // With a try the same request gets through, so the line itself was fine.
    ComSetTime(ComT1, ComT2, 1);
    EXPECT_EQ(qel::SndCmd2(ComHandle, 0, 0, 0, nullptr, 0), 1);
}

TEST_F(ComLink, CloseWithoutTheLibraryStillGoesOffLine) {
    fs::remove(dir_ + "/libqel.so");
    ComHandle = 1234;
    // The library may already be loaded by an earlier test of this process; either way the state is off line.
    ComClose();
    EXPECT_EQ(ComHandle, 0u);
}

} // namespace
