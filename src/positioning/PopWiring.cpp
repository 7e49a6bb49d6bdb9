#include "positioning/PopWiring.h"

#include "app/MainLogic.h"
#include "app/SetModel.h"
#include "positioning/FrmPop.h"
#include "positioning/FrmPopEEP.h"
#include "positioning/FrmPopLod.h"
#include "positioning/FrmPom.h"
#include "positioning/PopGlb.h"

void WirePositioningScreens() {
    Links().openScreen[7] = [] {
        if (!FrmPop::Instance() &&
            FrmPopLod::Exec("Selection of positioning parameter to be read") == "Cancel")
            return;
        FrmPop::Show();
    };
    Links().openScreen[8] = [] { FrmPom::Show(); };
    AxisScreenCalls& c = AxisScreens();
    c.popCheckPoint = [](const std::string& options) { FrmPopEEP::PopCheckPoint(options); };
    c.popUpdAxis = [] {
        if (FrmPop* w = FrmPop::Instance()) w->UpdAxis();
    };
    c.pomUpdAxis = [] {
        if (FrmPom* w = FrmPom::Instance()) w->UpdAxis();
    };
}
