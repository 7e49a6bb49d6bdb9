// A line-protocol (family K) amplifier behind the load dialog and the send: an "ERROR" answer is a failed
// load, and closing the dialog after it opens no editor.
#include "ParaEnv.h"

#include "ModelK.h"
#include "comm/QelApi.h"
#include "params/FrmPmtLoad.h"
#include "params/ParaTransfer.h"

#include <QRadioButton>

using namespace paratest;

namespace {

class ParaK : public ::testing::Test {
  protected:
    static ampsim::Simulator::Options SimOptions() {
        ampsim::Simulator::Options o;
        o.port = 15;
        return o;
    }
    void SetUp() override {
        ResetTables();
        model.attach(sim);
        CmdFamily = 1;
        KisyuCode = 10;
        AxisNo = 0;
        UserLevel = 1;
        Prm16Max = 64;
        Prm16MaxAll = 63;
        Prm32Cnt = 0;
        for (int n = 0; n < 64; ++n) {
            model.setPrm(n, static_cast<int16_t>(n + 1));
            PrmAttr[n] = {"K" + std::to_string(n), 0, 2, -1000, 1000, {}};
        }
        ComPortNo = 1;
        ComHandle = qel::Open(15, 38400);
        ASSERT_NE(ComHandle, 0u);
        qel::SetTimeOut(ComHandle, 150);
    }
    void TearDown() override {
        qel::CloseAll();
        ComHandle = 0;
        ComPortNo = 0;
        CmdFamily = 5;
    }

    ampsim::Simulator sim{SimOptions()};
    ampsim::ModelK model;
    plat::ScriptedAsker asker;
};

} // namespace

TEST_F(ParaK, ErrorAnswerIsAFailedLoadAndTheEditorStaysShut) {
    PrmSrc = 3;
    model.answerError();
    int oks = 0;
    const auto prev = FrmPmtLoad::SetShowHook([&](FrmPmtLoad& w) {
        EXPECT_TRUE(w.OptDrv->isChecked());
        w.CmdOk_Click();
        ++oks;
        if (w.isVisible() || w.result() != QDialog::Accepted) w.close(); // by the title bar
    });
    EXPECT_EQ(FrmPmtLoad::Exec(), 0);
    EXPECT_EQ(oks, 1);
    EXPECT_EQ(PrmSrc, 3);

    FrmPmtLoad::SetShowHook([](FrmPmtLoad& w) { w.CmdOk_Click(); });
    EXPECT_EQ(FrmPmtLoad::Exec(), -1);
    FrmPmtLoad::SetShowHook(prev);
    EXPECT_EQ(PrmSrc, 1);
    EXPECT_EQ(PrmVal[10], 11);
    EXPECT_EQ(PrmIsAmp, -1);
}

TEST_F(ParaK, SendGoesAsOneDownloadAndSingleEditsWait) {
    SetPrmSrc(1, "");
    for (int n = 0; n < 64; ++n)
        PrmVal[n] = static_cast<int16_t>(100 + n);
    SetPrmOne(3, 7); // a line-protocol amplifier takes no single writes: the edit waits for the send
    EXPECT_EQ(UsrPrmSent, 0);
    SetPrmSrc(1, "");
    EXPECT_EQ(ListSetPrm(false, 4, 9), 9); // nor from the list window
    EXPECT_EQ(UsrPrmSent, 0);
    EXPECT_TRUE(sim.requests().empty());
    EXPECT_TRUE(SendUser());
    EXPECT_EQ(UsrPrmSent, -1);
    EXPECT_EQ(model.downloads(), 1);
    EXPECT_EQ(model.prm(3), 7);
}
