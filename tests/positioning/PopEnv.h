// What the positioning tests share: a positioning definition of their own (item codes that are not the
// row numbers, so that a lookup by row shows up), and the family R link fixture with the tables in use.
#pragma once

#include "FamREnv.h"

#include "app/Glb.h"
#include "comm/ComGlb.h"
#include "positioning/PopGlb.h"

#include <string>

namespace poptest {

// Item names: velocity codes are 10 + row, so row and code differ; the mode column's last row holds the
// highest wire code, 127.
inline void DefineItems() {
    for (auto& col : PopItem)
        for (auto& r : col)
            r = PopItemRec{};
    const int rows[] = {16, 4, 4, PopItemRows, 2};
    for (int c = 0; c < 5; ++c)
        for (int r = 0; r < rows[c]; ++r)
            PopItem[c][r] = {"I" + std::to_string(c) + "_" + std::to_string(r), r, "guide"};
    for (int r = 0; r < 16; ++r)
        PopItem[0][r].Code = 10 + r;
    PopItem[3][PopItemRows - 1].Code = 127;
}

inline void DefineCounts(int steps, int n16, int n32, int first16 = 0) {
    PopStepCnt[1] = PopStepCnt[2] = PopStepCnt[3] = static_cast<int16_t>(steps);
    Pop16Cnt[0] = static_cast<int16_t>(first16);
    Pop16Cnt[1] = Pop16Cnt[2] = Pop16Cnt[3] = static_cast<int16_t>(n16);
    Pop32Cnt[1] = Pop32Cnt[2] = Pop32Cnt[3] = static_cast<int16_t>(n32);
    PopPosMin = Variant();
    PopPosMax = Variant();
}

inline void ResetTables() {
    for (auto& s : PopStep)
        s = PopStepRec{};
    for (auto& p : Pop16Prm)
        p = PopPrmRec{};
    for (auto& p : Pop32Prm)
        p = PopPrmRec{};
    for (int a = 0; a < PopAxisCnt; ++a) {
        PopAxis(a).StepRead = PopAxis(a).Prm16Read = PopAxis(a).Prm32Read = 0;
    }
    PopRecvByPage = PopRecvByAxis = 0;
    UserLevel = 1;
}

// The family R fixture with the simulator's positioning counts as the definition's, velocity codes as
// the simulator numbers them (its steps use velocity 0..15).
class PopAmp : public famr::FamR {
  protected:
    void SetUp() override {
        FamR::SetUp();
        ResetTables();
        DefineItems();
        for (int r = 0; r < 16; ++r)
            PopItem[0][r].Code = r;
        const auto o = model->options();
        DefineCounts(o.popSteps, o.pop16, o.pop32);
        ComPortNo = kPort;
        SetPopDataSource(1, "");
    }
    void TearDown() override {
        ComPortNo = 0;
        FamR::TearDown();
    }
    // Requests of command 14 as (mode, first data byte).
    std::vector<std::pair<int, int>> Pop() const {
        std::vector<std::pair<int, int>> out;
        for (const auto& r : sim.requests())
            if (r.cmd == 14) out.emplace_back(r.mode, r.data.empty() ? -1 : r.data[0]);
        return out;
    }
};

} // namespace poptest
