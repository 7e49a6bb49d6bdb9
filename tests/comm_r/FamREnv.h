// What the family R tests share: the common link fixture with a family R model on the line, and the
// program folder the tests load their libraries from.
#pragma once

// The simulator's headers before Qt's, whose slots macro would empty a member's name.
#include "ModelR.h"

#include "FamLink.h"
#include "TestMain.h"
#include "comm/ComCore.h"
#include "comm/ComReq.h"
#include "comm/TeskR.h"
#include "data/PrmTbl.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// A program folder of our own, holding the libraries the program loads by name.
inline const bool kMainSetup =
    testmain::Use({.keepPlatform = true,
                   .rootName = "mevalo-comm-r",
                   .programLibraries = {"libqel.so", "libduvo.so", "libspekt.so"}});

namespace famr {

using famtest::Block;
using famtest::Bytes;

class FamR : public famtest::FamLink<ampsim::ModelR, 11> {
  protected:
    void Configure() override {
        KisyuCode = 25;
        Prm32Cnt = -1;
        Prm32Max = static_cast<int16_t>(model->options().prm32User);
        Prm32MaxSys = Prm32MaxAll = static_cast<int16_t>(model->prm32Count());
    }

    // Requests the model saw of one command.
    std::vector<ampsim::Request> Of(int cmd) const {
        std::vector<ampsim::Request> out;
        for (const auto& r : sim.requests())
            if (r.cmd == cmd) out.push_back(r);
        return out;
    }
};

} // namespace famr
