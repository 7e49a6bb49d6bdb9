#include "monitor/MoniWiring.h"

#include "app/MainLogic.h"
#include "app/SetModel.h"
#include "monitor/FrmAlm.h"
#include "monitor/FrmMoni.h"

void WireMonitorScreens() {
    Links().openScreen[2] = [] { FrmMoni::Open(); };
    Links().openScreen[3] = [] { FrmAlm::Open(); };
    AxisScreens().moniUpdAxis = [] {
        if (FrmMoni* w = FrmMoni::Instance()) w->UpdAxis();
    };
}
