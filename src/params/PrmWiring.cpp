#include "params/PrmWiring.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include "app/MainLogic.h"
#include "app/Mevalo.h"
#include "app/SetModel.h"
#include "params/FrmEEP.h"
#include "params/FrmPara.h"
#include "params/FrmPmtLoad.h"

void OpenParaEditor() {
    if (FrmPmtLoad::Exec() == 0) return;
    ShowParaEditor();
}

void ShowParaEditor() {
    FrmPara* w = FrmPara::Instance();
    if (!w) {
        w = new FrmPara;
        if (Mevalo* main = Mevalo::Instance()) main->AddChild(w);
    }
    w->show();
    Mevalo::ShowChild(w);
}

void WireParamScreens() {
    Links().openScreen[1] = OpenParaEditor;
    Links().paraUpdForRecv = [](const std::string& text) {
        if (FrmPara* p = FrmPara::Instance()) p->UpdForRecv(text);
    };
    AxisScreens().checkPoint = [](const std::string& flags) { FrmEEP::CheckPoint(flags); };
    AxisScreens().paraUpdAxis = [] {
        if (FrmPara* p = FrmPara::Instance()) p->UpdAxis();
    };
}
