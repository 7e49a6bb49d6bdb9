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
    if (FrmPara* open = FrmPara::Instance()) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(open->parentWidget()))
            sub->mdiArea()->setActiveSubWindow(sub);
        open->raise();
        return;
    }
    Mevalo* main = Mevalo::Instance();
    auto* w = new FrmPara;
    if (main) {
        QMdiSubWindow* sub = main->AddChild(w);
        sub->show();
    }
    w->show();
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
