// What the family R tests share: a link to a family R model on the simulated line, the user's answers
// scripted, and every driver-error window, status text and progress step recorded.
#pragma once

#include "ModelR.h"
#include "ampsim.h"
#include "app/Frame.h"
#include "app/FrmDrvErr.h"
#include "app/Glb.h"
#include "comm/ComGlb.h"
#include "comm/ComCore.h"
#include "comm/ComReq.h"
#include "comm/ComStatus.h"
#include "comm/QelApi.h"
#include "comm/TeskR.h"
#include "data/PrmGlb.h"
#include "data/PrmTbl.h"
#include "platform/Ask.h"

#include <QLabel>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace famr {

using Bytes = std::vector<uint8_t>;

// The block the program must put on the line, built by the simulator's own codec.
inline Bytes Block(int cmd, int mode, const Bytes& data, int address = 0) {
    return ampsim::encodeBlock(address, cmd, mode, data);
}

class FamR : public ::testing::Test {
  protected:
    static constexpr int kPort = 11;

    static ampsim::Simulator::Options SimOptions() {
        ampsim::Simulator::Options o;
        o.port = kPort;
        o.addresses = {0};
        return o;
    }

    void SetUp() override {
        sim.setHandler(model->handler());
        sim.setTiming({std::chrono::milliseconds(100), std::chrono::milliseconds(500), 3});
        ComStatus = 0;
        ComResult = 0;
        AxisNo = 0;
        UserLevel = 1;
        ExecRightUse = -1;
        CmdFamily = 5;
        KisyuCode = 25;
        Prm32Cnt = -1;
        Prm32Max = static_cast<int16_t>(model->options().prm32User);
        Prm32MaxSys = Prm32MaxAll = static_cast<int16_t>(model->prm32Count());
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

    // Requests the model saw, as raw blocks, and only those of one command.
    std::vector<Bytes> Raw() const {
        std::vector<Bytes> out;
        for (const auto& r : sim.requests())
            out.push_back(r.raw);
        return out;
    }
    std::vector<ampsim::Request> Of(int cmd) const {
        std::vector<ampsim::Request> out;
        for (const auto& r : sim.requests())
            if (r.cmd == cmd) out.push_back(r);
        return out;
    }
    // Execution-right requests: +1 a take, -1 a release.
    std::vector<int> Rights() const {
        std::vector<int> out;
        for (const auto& r : Of(1))
            if (r.mode == 7 && r.data.size() == 1) out.push_back(r.data[0] ? 1 : -1);
        return out;
    }

    std::unique_ptr<ampsim::ModelR> model = std::make_unique<ampsim::ModelR>();
    ampsim::Simulator sim{SimOptions()};
    plat::ScriptedAsker asker;
    FrmDrvErr::ShowHook previousHook;
    std::vector<std::string> drvErr;
    std::vector<std::string> stat;
    std::vector<std::pair<long, long>> pbar;
};

} // namespace famr
