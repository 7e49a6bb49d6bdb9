#include "frequency/FrqWiring.h"

#include "app/MainLogic.h"
#include "frequency/FrmFft.h"

void WireFrequencyScreen() {
    Links().openScreen[6] = [] { FrmFft::ShowScreen(); };
}
