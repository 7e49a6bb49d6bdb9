#include "frequency/FrqWiring.h"

void WireFrequencyScreen() {}
