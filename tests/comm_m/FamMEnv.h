// What the family M tests share: a link to a family M model on the simulated line, reached through the
// series dispatcher, the user's answers scripted, and every driver-error window, status text and progress
// step recorded.
#pragma once

#include "ModelM.h"
#include "ampsim.h"
#include "app/Frame.h"
#include "app/FrmDrvErr.h"
#include "app/Glb.h"
#include "comm/ComCore.h"
#include "comm/ComGlb.h"
#include "comm/ComReq.h"
#include "comm/ComStatus.h"
#include "comm/QelApi.h"
#include "comm/TeskCmd.h"
#include "comm/TeskM.h"
#include "data/PrmGlb.h"
#include "data/PrmTbl.h"
#include "platform/Ask.h"

#include <QLabel>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace famm {

using Bytes = std::vector<uint8_t>;
using ampsim::ModelM;

// The block the program must put on the line, built by the simulator's own codec.
inline Bytes Block(int cmd, int mode, const Bytes& data, int address = 0) {
    return ampsim::encodeBlock(address, cmd, mode, data);
}

// Fault::silence, built in one place (GCC 12 sees its default junk bytes as uninitialised when it is inlined
// into some test bodies).
ampsim::Fault Silence(ampsim::Phase phase, int times = 1);

class FamM : public ::testing::Test {
  protected:
    static constexpr int kPort = 13;

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
        KisyuCode = 22;
        WavMaxItem = 4;
        UseCounts(*model);
        ComHandle = qel::Open(kPort, 38400);
        ASSERT_NE(ComHandle, 0u) << "cannot open " << sim.devicePath();
        qel::SetT1(ComHandle, 200);
        qel::SetT2(ComHandle, 300);
        previousHook = FrmDrvErr::SetShowHook([this](FrmDrvErr& w) {
            drvErr.push_back(w.LblMsg->text().toStdString());
            w.CmdExit_Click();
        });
        Frame().updStat = [this](const std::string& s) { stat.push_back(s); };
        Frame().updStatFix = [this](const std::string& s) { stat.push_back("fix:" + s); };
        Frame().updPbar = [this](long cur, long total) { pbar.emplace_back(cur, total); };
    }
    void TearDown() override {
        qel::CloseAll();
        ComHandle = 0;
        FrmDrvErr::SetShowHook(previousHook);
        Frame().updStat = nullptr;
        Frame().updStatFix = nullptr;
        Frame().updPbar = nullptr;
    }

    // The definition counts that match the model's tables; system numbers follow the user ones.
    static void UseCounts(const ModelM& m) {
        const ModelM::Options o = m.options();
        Prm16Max = static_cast<int16_t>(o.user16);
        Prm16SysCnt = static_cast<int16_t>(o.sys16);
        Prm16MaxSys = Prm16Max;
        Prm32Cnt = -1;
        Prm32Max = static_cast<int16_t>(o.user32);
        Prm32MaxSys = Prm32MaxAll = static_cast<int16_t>(o.user32 + o.sys32);
    }
    // Another model on the line (the old one stays alive until the new one answers).
    void Replace(ModelM::Options o) {
        auto next = std::make_unique<ModelM>(std::move(o));
        sim.setHandler(next->handler());
        model = std::move(next);
        UseCounts(*model);
    }

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
    // Bytes the PC put on the line.
    Bytes FromPc() const {
        Bytes out;
        for (const auto& w : sim.wire())
            if (w.fromPc) out.push_back(w.byte);
        return out;
    }

    std::unique_ptr<ModelM> model = std::make_unique<ModelM>();
    ampsim::Simulator sim{SimOptions()};
    plat::ScriptedAsker asker;
    FrmDrvErr::ShowHook previousHook;
    std::vector<std::string> drvErr;
    std::vector<std::string> stat;
    std::vector<std::pair<long, long>> pbar;
};

} // namespace famm
