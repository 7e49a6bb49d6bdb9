// What the communication tests share: a program folder of their own (holding the link and step-value
// libraries, with comtest beside it) and a link to the simulated amplifier.
#pragma once

#include "TestMain.h"
#include "ampsim.h"
#include "app/Glb.h"
#include "comm/ComGlb.h"
#include "comm/ComReq.h"
#include "comm/ComStatus.h"
#include "comm/FrmSysCon.h"
#include "comm/QelApi.h"
#include "data/PrmGlb.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace commtest {

// A folder of our own: the wrapper writes comtest beside the program folder.
inline const bool kMainSetup = testmain::Use({.keepPlatform = true,
                                              .rootName = "mevalo-comm",
                                              .programLibraries = {"libqel.so", "libduvo.so"},
                                              .before = [] {
                                                  // The reply-file editor must not open a window.
                                                  setenv("EDITOR", "true", 1);
                                                  unsetenv("VISUAL");
                                                  return 0;
                                              }});

// The program folder and the comtest folder beside it.
inline std::string ProgramDir() {
    return testmain::Root() + "/prog";
}
inline std::string ComTest() {
    return testmain::Root() + "/comtest";
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Resets the shared state every test touches.
inline void ResetState() {
    SysCon = SysConRec{};
    ComStatus = 0;
    ComResult = 0;
    AxisNo = 0;
    ExecRightUse = 0;
    CmdFamily = 5;
    KisyuCode = 20;
    std::filesystem::remove_all(ComTest());
}

// A link to the simulated amplifier (addresses 0 and 1) at COM7 in ComHandle.
class OnLine : public ::testing::Test {
  protected:
    static ampsim::Simulator::Options Options() {
        ampsim::Simulator::Options o;
        o.port = 7;
        o.addresses = {0, 1};
        return o;
    }

    void SetUp() override {
        ResetState();
        sim.setTiming({std::chrono::milliseconds(100), std::chrono::milliseconds(500), 3});
        ComHandle = qel::Open(7, 38400);
        ASSERT_NE(ComHandle, 0u) << "cannot open " << sim.devicePath();
        qel::SetT1(ComHandle, 200);
        qel::SetT2(ComHandle, 300);
    }
    void TearDown() override {
        qel::CloseAll();
        ComHandle = 0;
        ResetState();
    }

    ampsim::Simulator sim{Options()};
};

} // namespace commtest
