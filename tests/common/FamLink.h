// What the tests of a binary command set share: a link to one model of the simulated amplifier (address 0
// on the line), the user's answers scripted, and every driver-error window, status text and progress step
// recorded. A family's fixture adds its own shared state in Configure.
#pragma once

#include "ampsim.h"
#include "app/Frame.h"
#include "app/FrmDrvErr.h"
#include "app/Glb.h"
#include "comm/ComGlb.h"
#include "comm/ComReq.h"
#include "comm/ComStatus.h"
#include "comm/QelApi.h"
#include "data/PrmGlb.h"
#include "platform/Ask.h"

#include <QLabel>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace famtest {

using Bytes = std::vector<uint8_t>;

// The block the program must put on the line, built by the simulator's own codec.
inline Bytes Block(int cmd, int mode, const Bytes& data, int address = 0) {
    return ampsim::encodeBlock(address, cmd, mode, data);
}

template <class Model, int Port> class FamLink : public ::testing::Test {
  protected:
    static constexpr int kPort = Port;

    static ampsim::Simulator::Options SimOptions() {
        ampsim::Simulator::Options o;
        o.port = kPort;
        o.addresses = {0};
        return o;
    }

    // The family's own shared state, set before the link opens.
    virtual void Configure() = 0;

    void SetUp() override {
        sim.setHandler(model->handler());
        sim.setTiming({std::chrono::milliseconds(100), std::chrono::milliseconds(500), 3});
        ComStatus = 0;
        ComResult = 0;
        AxisNo = 0;
        UserLevel = 1;
        ExecRightUse = -1;
        CmdFamily = 5;
        Configure();
        ComHandle = qel::Open(kPort, 38400);
        ASSERT_NE(ComHandle, 0u) << "cannot open " << sim.devicePath();
        qel::SetT1(ComHandle, 200);
        qel::SetT2(ComHandle, 300);
        previousHook = FrmDrvErr::SetShowHook([this](FrmDrvErr& w) {
            drvErr.push_back(w.LblMsg->text().toStdString());
            w.CmdExit_Click();
        });
        Frame().updStat = [this](const std::string& s) { stat.push_back(s); };
        Frame().updPbar = [this](long cur, long total) { pbar.emplace_back(cur, total); };
    }
    void TearDown() override {
        qel::CloseAll();
        ComHandle = 0;
        FrmDrvErr::SetShowHook(previousHook);
        Frame().updStat = nullptr;
        Frame().updPbar = nullptr;
    }

    // Requests the model saw, as raw blocks.
    std::vector<Bytes> Raw() const {
        std::vector<Bytes> out;
        for (const auto& r : sim.requests())
            out.push_back(r.raw);
        return out;
    }
    // Execution-right requests: +1 a take, -1 a release.
    std::vector<int> Rights() const {
        std::vector<int> out;
        for (const auto& r : sim.requests())
            if (r.cmd == 1 && r.mode == 7 && r.data.size() == 1) out.push_back(r.data[0] ? 1 : -1);
        return out;
    }

    std::unique_ptr<Model> model = std::make_unique<Model>();
    ampsim::Simulator sim{SimOptions()};
    plat::ScriptedAsker asker;
    FrmDrvErr::ShowHook previousHook;
    std::vector<std::string> drvErr;
    std::vector<std::string> stat;
    std::vector<std::pair<long, long>> pbar;
};

} // namespace famtest
