// What the parameter screen tests share: a link to a family R or M model of the simulated amplifier with
// the model's parameters set up, the definition counts of such a series, and the dialogs the screens open
// answered by script.
#pragma once

// The simulator's headers before Qt's, whose slots macro would empty a member's name.
#include "ModelM.h"
#include "ModelR.h"

#include "FamLink.h"
#include "TestMain.h"
#include "app/Glb.h"
#include "comm/ComGlb.h"
#include "data/PrmGlb.h"
#include "data/PrmTbl.h"
#include "params/FrmEEP.h"
#include "params/ParaLogic.h"
#include "platform/Paths.h"

#include <QDir>

#include <QCoreApplication>
#include <QLineEdit>
#include <QTabBar>
#include <QTreeWidget>
#include <QElapsedTimer>

#include <string>
#include <vector>

inline const bool kMainSetup =
    testmain::Use({.keepPlatform = true,
                   .rootName = "mevalo-params",
                   .programLibraries = {"libqel.so", "libduvo.so", "libspekt.so"}});

namespace paratest {

using famtest::Bytes;

inline void Pump(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// The program folder's ini folder, where the editor keeps the user's selection.
inline void MakeIniFolder() {
    QDir().mkpath(QString::fromStdString(plat::AppDir() + "/ini"));
}

// Lets events run until done() holds or ms passed; the result of done() then.
template <class Done> bool PumpUntil(Done done, int ms = 2000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

inline void ResetTables() {
    MakeIniFolder();
    for (int n = 0; n < PrmCnt; ++n) {
        PrmAttr[n] = PrmAttrRec{};
        Prm32Attr[n] = Prm32AttrRec{};
        PrmVal[n] = 0;
        Prm32Val[n] = 0;
        for (int a = 0; a < PrmCmpAxisCnt; ++a) {
            PrmCmpVal[a][n] = 0;
            Prm32CmpVal[a][n] = 0;
        }
    }
    for (int a = 0; a < PrmCmpAxisCnt; ++a)
        PrmCmpDone[a] = Prm32CmpDone[a] = 0;
    PrmSrc = 3;
    UsrPrmSent = SysPrmSent = 0;
    PrmIsAmp = PrmFlg = 0;
    ComBusy = 0;
}

// The link fixture with the EEPROM dialog's answer scripted (Cancel unless a test says otherwise).
template <class Model, int Port> class ParaLink : public famtest::FamLink<Model, Port> {
  protected:
    void SetUp() override {
        famtest::FamLink<Model, Port>::SetUp();
        ComPortNo = 1;
        previousEep = FrmEEP::SetShowHook([this](FrmEEP& w) {
            ++eepShown;
            eepRows = w.ListView1->topLevelItemCount();
            if (eepOk)
                w.CmdOk_Click();
            else
                w.CmdCancel_Click();
        });
    }
    void TearDown() override {
        FrmEEP::SetShowHook(previousEep);
        ComPortNo = 0;
        famtest::FamLink<Model, Port>::TearDown();
    }
    // Requests of the log as "cmd/mode" with the data bytes, for order checks.
    std::vector<std::string> Log() const {
        std::vector<std::string> out;
        for (const auto& r : this->sim.requests()) {
            std::string s = std::to_string(r.cmd) + "/" + std::to_string(r.mode);
            for (uint8_t b : r.data) {
                char buf[4];
                std::snprintf(buf, sizeof buf, " %02X", b);
                s += buf;
            }
            out.push_back(s);
        }
        return out;
    }
    bool Asked(const std::string& text) const {
        for (const auto& a : this->asker.Asked())
            if (a.text == text) return true;
        return false;
    }

    FrmEEP::ShowHook previousEep;
    int eepShown = 0;
    int eepRows = 0;
    bool eepOk = true;
};

// Family R: 96 user parameters, system numbers 128..255 shown in SE mode, 32-bit 20 user and 13 system.
class ParaR : public ParaLink<ampsim::ModelR, 13> {
  protected:
    void Configure() override {
        ResetTables();
        KisyuCode = 25;
        Prm16Max = 96;
        Prm16MaxAll = 255;
        Prm16MaxSys = 128;
        Prm32Cnt = -1;
        Prm32Max = static_cast<int16_t>(model->options().prm32User);
        Prm32MaxSys = Prm32MaxAll = static_cast<int16_t>(model->prm32Count());
        for (int n = 0; n < 256; ++n) {
            const int16_t attr = n == 0x20  ? int16_t{PrmAttrReadOnly}
                                 : n >= 128 ? int16_t{PrmAttrSystem}
                                            : int16_t{0};
            model->setPrm16(n, {static_cast<int16_t>(n), static_cast<int16_t>(n), -1000, 1000, attr});
            PrmAttr[n] = {"P" + std::to_string(n), attr, 2, -1000, 1000, {}};
        }
        model->setPrm16(6, {6, 6, -1000, 500, 0});
        PrmAttr[6].Max = 500;
        for (int n = 0; n < model->prm32Count(); ++n) {
            model->setPrm32(n, {n * 1000, n * 1000, -1000000, 1000000, n >= Prm32Max ? PrmAttrSystem : 0});
            Prm32Attr[n] = {
                "L" + std::to_string(n), n >= Prm32Max ? PrmAttrSystem : 0, 2, -1000000, 1000000, {}};
        }
    }
};

// Family M: 40 user and 30 system parameters in blocks, no 32-bit parameters.
class ParaM : public ParaLink<ampsim::ModelM, 14> {
  protected:
    void Configure() override {
        ResetTables();
        KisyuCode = 22;
        Prm16Max = static_cast<int16_t>(model->options().user16);
        Prm16SysCnt = static_cast<int16_t>(model->options().sys16);
        Prm16MaxSys = Prm16Max;
        Prm16MaxAll = static_cast<int16_t>(Prm16Max + Prm16SysCnt - 1);
        Prm32Cnt = 0;
        Prm32Max = Prm32MaxSys = Prm32MaxAll = 0;
        for (int n = 0; n < Prm16Max; ++n)
            model->setPrm16(false, n,
                            {static_cast<int16_t>(n + 100), static_cast<int16_t>(n + 100), -1000, 1000, 0});
        for (int k = 0; k < Prm16SysCnt; ++k)
            model->setPrm16(true, k,
                            {static_cast<int16_t>(k + 500), static_cast<int16_t>(k + 500), -1000, 1000, 0});
        for (int n = 0; n < Prm16Max + Prm16SysCnt; ++n)
            PrmAttr[n] = {"M" + std::to_string(n),
                          n >= Prm16Max ? int16_t{PrmAttrSystem} : int16_t{0},
                          2,
                          -1000,
                          1000,
                          {}};
    }
};

} // namespace paratest
