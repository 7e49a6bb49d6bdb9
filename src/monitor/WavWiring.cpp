#include "monitor/WavWiring.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include "app/MainLogic.h"
#include "app/Mevalo.h"
#include "monitor/FrmWavGraph.h"

void WireWaveScreen()
{
    Links().openScreen[4] = [] {
        FrmGraph* w = FrmGraph::Instance();
        Mevalo* main = Mevalo::Instance();
        if (!w) {
            w = new FrmGraph;
            if (main) main->AddChild(w);
        }
        Mevalo::ShowChild(w);
    };
}
