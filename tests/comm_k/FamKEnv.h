// What the family K tests share: a link to a family K model on the simulated line, set up the way the
// dispatcher selects family K, with the user's answers scripted.
#pragma once

#include "ModelK.h"
#include "TestMain.h"
#include "ampsim.h"
#include "app/Glb.h"
#include "comm/ComGlb.h"
#include "comm/ComReq.h"
#include "comm/QelApi.h"
#include "comm/RGlb.h"
#include "comm/TeskCmd.h"
#include "comm/TeskK.h"
#include "data/PrmTbl.h"
#include "platform/Ask.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A program folder of our own, holding the link library the program loads by name.
inline const bool kMainSetup =
    testmain::Use({.keepPlatform = true, .rootName = "mevalo-comm-k", .programLibraries = {"libqel.so"}});

namespace famk {

class FamK : public ::testing::Test {
  protected:
    static constexpr int kPort = 12;

    static ampsim::Simulator::Options SimOptions() {
        ampsim::Simulator::Options o;
        o.port = kPort;
        return o;
    }

    void SetUp() override {
        model.attach(sim);
        CmdFamily = 1;
        KisyuCode = 10;
        AxisNo = 0;
        ComResult = 0;
        ComHandle = qel::Open(kPort, 38400);
        ASSERT_NE(ComHandle, 0u) << "cannot open " << sim.devicePath();
        // Short enough that a silent amplifier does not slow the tests, long enough for a loaded machine.
        qel::SetTimeOut(ComHandle, 150);
    }
    void TearDown() override {
        qel::CloseAll();
        ComHandle = 0;
    }

    // Everything the program put on the line, as text.
    std::string FromPc() const {
        std::string s;
        for (const auto& w : sim.wire())
            if (w.fromPc) s += static_cast<char>(w.byte);
        return s;
    }
    std::vector<std::string> Asked() const {
        std::vector<std::string> out;
        for (const auto& a : asker.Asked())
            out.push_back(a.text);
        return out;
    }

    ampsim::ModelK model; // outlives the simulator that calls it
    ampsim::Simulator sim{SimOptions()};
    plat::ScriptedAsker asker;
};

} // namespace famk
