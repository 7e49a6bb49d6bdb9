#include "monitor/MoniWiring.h"

void WireMonitorScreens() {}
