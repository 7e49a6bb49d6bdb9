#include "frequency/FrqWiring.h"

#include "app/MainLogic.h"
#include "frequency/FrmFft.h"
#include "monitor/FrmWavDlg.h"

void WireFrequencyScreen() {
    Links().openScreen[6] = [] { FrmFft::ShowScreen(); };
    // The waveform screen's print-items dialog serves the frequency graph as well.
    FrmFft::SetPrintItems([](const std::string& caption) { return FrmPrnItem::Exec(caption); });
}
