// What the window tests share: a family R model of the simulated amplifier on the line, a small series
// definition of names, and the windows' ticks run by hand.
#pragma once

// The simulator's headers before Qt's, whose slots macro would empty a member's name.
#include "ModelK.h"
#include "ModelM.h"
#include "ModelR.h"

#include "FamLink.h"
#include "TestMain.h"
#include "app/Glb.h"
#include "comm/RGlb.h"
#include "data/PrmGlb.h"
#include "monitor/MonGlb.h"

inline const bool kMainSetup =
    testmain::Use({.keepPlatform = true,
                   .rootName = "mevalo-monitor",
                   .programLibraries = {"libqel.so", "libduvo.so", "libspekt.so"}});

namespace monitest {

// The names a definition file would give.
inline void Definitions() {
    WavMaxItem = 20;
    AlmName[16] = "Overcurrent";
    AlmName[12] = "Overvoltage";
    AlmTxt2[16] = "Current above ";
    AlmTxt3[16] = "the limit";
    CtrlModeMenu[2] = "Speed control";
    FullCloseMode[2] = 0;
    BitName[10][0] = "Overload warning";
    BitName[10][3] = "Battery warning";
    for (int i = 0; i < 32; ++i) {
        IoName[IoIn][i][1] = "IN" + std::to_string(i) + " on";
        IoName[IoIn][i][2] = "IN" + std::to_string(i) + " off";
        IoName[IoOut][i][1] = "OUT" + std::to_string(i) + " on";
        IoName[IoOut][i][2] = "OUT" + std::to_string(i) + " off";
    }
    MoniOptCtrlMode = MoniOptIo1 = MoniOptIo2 = MoniOptLoad = MoniOptAbso = MoniOptMultiClr = 1;
    AlmHistRows = AlmTimeRows = 14;
    AlmTimNowShown = 1;
}

template <class Model, int Port> class Link : public famtest::FamLink<Model, Port> {
  protected:
    std::vector<ampsim::Request> Of(int cmd, int mode) const {
        std::vector<ampsim::Request> out;
        for (const auto& r : this->sim.requests())
            if (r.cmd == cmd && r.mode == mode) out.push_back(r);
        return out;
    }
};

class MoniR : public Link<ampsim::ModelR, 31> {
  protected:
    void Configure() override {
        KisyuCode = 25;
        Definitions();
    }
    // Values that hold still: control mode 2, inputs bits 0 and 31, warnings bits 0 and 3.
    void Still() {
        auto m = model->monitor();
        m.moving = false;
        m.speed = 1500;
        m.torque = 200; // 10.0 % at torque scale 20
        m.counter = -12;
        m.inputs = 2;
        m.fbPos = static_cast<int32_t>(0x80000001u);
        m.cmdPos = 0x10000;
        m.posErr = 0x0009;
        model->setMonitor(m);
    }
};

} // namespace monitest
