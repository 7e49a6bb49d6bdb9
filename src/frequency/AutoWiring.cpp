#include "frequency/AutoWiring.h"

#include "app/MainLogic.h"
#include "app/SetModel.h"
#include "frequency/FrmAuto.h"

void WireAutoScreen()
{
    Links().openScreen[5] = [] { FrmAuto::Open(); };
    AxisScreens().autoUpdAxis = [] {
        if (FrmAuto* w = FrmAuto::Instance())
            w->UpdAxis();
    };
}
