// Every window of the frame, shown as the user sees it: each text fits the rectangle it is drawn in, and
// nothing sticks out of its window. Run at the default scale and again at 1.5 x.
#include "StartEnv.h"
#include "CutTexts.h"

#include "app/FrmAxis.h"
#include "app/FrmCaution.h"
#include "app/FrmDrvErr.h"
#include "app/FrmHanTei.h"
#include "app/FrmInstall.h"
#include "app/FrmLog.h"
#include "app/FrmMenu.h"
#include "app/FrmModel.h"
#include "app/FrmPort.h"
#include "app/FrmPrmSel.h"
#include "app/FrmRem.h"
#include "app/FrmType.h"
#include "app/FrmVersion.h"
#include "app/Mevalo.h"
#include "app/ModLzf.h"
#include "comm/ComStatus.h"
#include "platform/Ask.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>

class Layout : public StartEnv {};

TEST_F(Layout, FrameWindowsShowTheirTextsWhole) {
    plat::ScriptedAsker ask;
    std::vector<std::string> cut;
    const auto check = [&cut](QWidget* w) {
        for (std::string& s : testmain::CutTexts(w))
            cut.push_back(std::move(s));
    };

    Mevalo main;
    main.show();
    main.ShowFrmMenu();
    check(&main);
    // The button panel, with room for every button, and the status strip below it.
    auto* sub = qobject_cast<QMdiSubWindow*>(FrmMenu::Instance()->parentWidget());
    ASSERT_TRUE(sub);
    EXPECT_TRUE(sub->mdiArea()->viewport()->rect().contains(sub->geometry()));
    check(FrmMenu::Instance());

    FrmPort port(&main);
    check(&port);
    FrmType type(&main);
    check(&type);
    FrmModel model("TESK_R", &main);
    check(&model);
    FrmAxis axis(&main);
    check(&axis);
    check(FrmLog::Load());
    FrmVersion version(&main);
    check(&version);
    // Its lines are painted centred in a picture: a line wider than the picture widens it and the window.
    const std::string wide = "Motor model : " + std::string(60, 'W');
    version.PicVer->SetLines({{wide, 1}});
    QApplication::processEvents();
    EXPECT_GE(version.PicVer->width(), version.PicVer->fontMetrics().horizontalAdvance(QString::fromStdString(wide)));
    check(&version);
    FrmLzfDataInst inst(&main);
    inst.SetSource("/media/engineer/INSTALL_MEDIUM/a folder with a long name/and another below it/data");
    check(&inst);
    FrmLzfOverWrite over(&main);
    check(&over);
    HanTeiScan scan;
    FrmHanTei hanTei(scan, &main);
    hanTei.CmdCancel_Click(); // its scan must not touch the ports
    check(&hanTei);

    AlartTbl[0] = {
        "Caution",
        "The motor turns when the run begins. Make sure that nobody is near the machine and that it "
        "can move over its whole stroke.",
        1, 0};
    FrmCaution::SetShowHook([&](FrmCaution& w) { check(&w); });
    bool ok = false;
    FrmCaution::Exec(0, ok);
    FrmCaution::SetShowHook({});
    FrmDrvErr::SetShowHook([&](FrmDrvErr& w) { check(&w); });
    ComStatus = 0x85;
    UserLevel = 2;
    FrmDrvErr::DspErr("Receipt of measurement result of the frequency characteristics", 1);
    FrmDrvErr::SetShowHook({});
    FrmRem::SetShowHook([&](FrmRem& w) { check(&w); });
    FrmRem::Exec(Variant(int16_t(0)), "Parameter file", "Saving the parameter file");
    FrmRem::SetShowHook({});
    FrmPrmSel::SetShowHook([&](FrmPrmSel& w) { check(&w); });
    FrmPrmSel::Exec("prm", "prm", "Parameter file");
    FrmPrmSel::SetShowHook({});

    EXPECT_TRUE(cut.empty()) << ::testing::PrintToString(cut);
}
