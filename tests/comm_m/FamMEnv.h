// What the family M tests share: the common link fixture with a family M model on the line, reached
// through the series dispatcher, status texts that stay recorded too, and the program folder the tests
// load their libraries from.
#pragma once

// The simulator's headers before Qt's, whose slots macro would empty a member's name.
#include "ModelM.h"

#include "FamLink.h"
#include "TestMain.h"
#include "comm/ComCore.h"
#include "comm/ComReq.h"
#include "comm/TeskCmd.h"
#include "comm/TeskM.h"
#include "data/PrmTbl.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// A program folder of our own, holding the libraries the program loads by name.
inline const bool kMainSetup =
    testmain::Use({.keepPlatform = true,
                   .rootName = "mevalo-comm-m",
                   .programLibraries = {"libqel.so", "libduvo.so", "libspekt.so"}});

namespace famm {

using ampsim::ModelM;
using famtest::Block;
using famtest::Bytes;

// Fault::silence, built in one place (GCC 12 sees its default junk bytes as uninitialised when it is inlined
// into some test bodies).
ampsim::Fault Silence(ampsim::Phase phase, int times = 1);

class FamM : public famtest::FamLink<ModelM, 13> {
  protected:
    void Configure() override {
        KisyuCode = 22;
        WavMaxItem = 4;
        UseCounts(*model);
        Frame().updStatFix = [this](const std::string& s) { stat.push_back("fix:" + s); };
    }
    void TearDown() override {
        FamLink::TearDown();
        Frame().updStatFix = nullptr;
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

    // Bytes the PC put on the line.
    Bytes FromPc() const {
        Bytes out;
        for (const auto& w : sim.wire())
            if (w.fromPc) out.push_back(w.byte);
        return out;
    }
};

} // namespace famm
