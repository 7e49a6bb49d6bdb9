// What the auto-tuning tests share: the tuning rows and time-out triples of a series definition, the
// caution switched off, and a window's logic run until its timer stops.
#pragma once

// The simulator's headers before Qt's, whose slots macro would empty a member's name.
#include "ModelTune.h"

#include "FamLink.h"
#include "TestMain.h"
#include "app/Glb.h"
#include "comm/ComGlb.h"
#include "comm/QelApi.h"
#include "data/PrmTbl.h"
#include "frequency/AutoLogic.h"
#include "frequency/FrqGlb.h"

#include <algorithm>
#include <string>
#include <vector>

inline const bool kMainSetup =
    testmain::Use({.keepPlatform = true,
                   .rootName = "mevalo-frequency-tune",
                   .programLibraries = {"libqel.so", "libduvo.so", "libspekt.so"}});

namespace tunetest {

// Normal and auto-tuning time-out triples (the link's send tries last); the auto-tuning receive wait is
// long on purpose.
inline constexpr ComTimeRec kNormal{200, 300, 2};
inline constexpr ComTimeRec kAuto{900, 3000, 1};

// The definition's tuning family and shown rows (parameter numbers), the caution out of the way.
inline void UseTuning(int kind, const std::vector<int>& prms) {
    AutoKind = kind;
    for (auto& r : AutoPrm)
        r = AutoPrmRec{};
    for (size_t i = 0; i < prms.size(); ++i)
        AutoPrm[i] = AutoPrmRec{-1, static_cast<int16_t>(prms[i]), "Gain " + std::to_string(i)};
    ExtV36Val = 9;
    AlartTbl[1].Off = 1;
    ComTime[0] = kNormal;
    ComTime[3] = kAuto;
    ComBusy = 0;
    for (auto& d : PrmCmpDone)
        d = 0;
}

// Ticks until the tuning no longer polls (max ticks at most).
inline void RunTicks(AutoTune& t, int max = 80) {
    for (int i = 0; i < max && t.TimerOn(); ++i)
        t.Tick();
}

inline std::vector<std::string> Texts(const plat::ScriptedAsker& asker) {
    std::vector<std::string> out;
    for (const auto& a : asker.Asked())
        out.push_back(a.text);
    return out;
}

inline bool Has(const std::vector<std::string>& v, const std::string& s) {
    return std::find(v.begin(), v.end(), s) != v.end();
}

// The link's time-outs now in force.
inline ComTimeRec LinkTimes() {
    return {static_cast<int32_t>(qel::SetT1(ComHandle, 0)), static_cast<int32_t>(qel::SetT2(ComHandle, 0)),
            qel::SetRty(ComHandle, -1)};
}

} // namespace tunetest
