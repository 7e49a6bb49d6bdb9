#include "monitor/WavWiring.h"

void WireWaveScreen() {}
