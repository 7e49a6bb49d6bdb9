// What the frequency tests share: a program folder holding the libraries the program loads by name, a
// family R amplifier on the simulated line whose frequency measurement answers from a known plant, and
// records filled from a plant without the line.
#pragma once

// The simulator's headers before Qt's, whose slots macro would empty a member's name.
#include "ModelFrq.h"
#include "ModelR.h"

#include "FamLink.h"
#include "TestMain.h"
#include "app/FrmCaution.h"
#include "app/Uty.h"
#include "frequency/FrqCalc.h"
#include "frequency/FrqGlb.h"

#include <QPushButton>

#include <cmath>
#include <complex>
#include <fstream>
#include <numbers>

inline const bool kMainSetup =
    testmain::Use({.keepPlatform = true,
                   .rootName = "mevalo-frequency",
                   .programLibraries = {"libqel.so", "libduvo.so", "libspekt.so"}});

namespace frqtest {

constexpr double kBase = 0.0001; // base period, s

// A record measured on plant p without the line: n points, amplitude 1000 r/min.
inline void Fill(FrqRec& rec, const ampsim::Plant& p, int n, int smp = 0, int amp = 1000) {
    const auto raw = p.measure(n, amp, 0);
    std::copy(raw.begin(), raw.end(), rec.Raw);
    rec.Points = n;
    rec.Amp = amp;
    rec.Off = 0;
    rec.Smp = static_cast<int16_t>(smp);
    rec.BaseTime = kBase;
    rec.Valid = -1;
}

// The exact gain (dB) and phase (degrees) of p at bin k of n.
inline double ExactGain(const ampsim::Plant& p, int k, int n) {
    return 20 * std::log10(std::abs(p.response(2 * std::numbers::pi * k / n)));
}
inline double ExactPhase(const ampsim::Plant& p, int k, int n) {
    return std::arg(p.response(2 * std::numbers::pi * k / n)) * 180 / std::numbers::pi;
}

// The caution dialog answers Execute.
struct CautionsOk {
    CautionsOk() {
        previous = FrmCaution::SetShowHook([](FrmCaution& w) { w.CmdOk_Click(); });
    }
    ~CautionsOk() { FrmCaution::SetShowHook(previous); }
    FrmCaution::ShowHook previous;
};

// A family R amplifier on the line whose frequency measurement runs plant.
class FrqLink : public famtest::FamLink<ampsim::ModelR, 17> {
  protected:
    void Configure() override {
        KisyuCode = 25;
        frq = std::make_unique<ampsim::ModelFrq>(model->handler(), Options());
        sim.setHandler(frq->handler());
        FftReqCount = FftSplitN = 2047;
        SokuTeiRec = FrqRec{};
        SokuTeiRec.BaseTime = kBase;
        SokuTeiRec.Amp = 1000;
        FrqNextCondSet = 0;
        std::ofstream(AppPath("sokutei.adj"))
            << "\"TxtAmp\",1,100,3000,\"0\"\n\"TxtOff\",-3000,0,3000,\"0\"\n"
               "\"TxtSmp\",0,0,15,\"0\"\nEND\n";
    }
    virtual ampsim::ModelFrq::Options Options() const { return {}; }

    std::unique_ptr<ampsim::ModelFrq> frq;
    CautionsOk cautions;
};

} // namespace frqtest
