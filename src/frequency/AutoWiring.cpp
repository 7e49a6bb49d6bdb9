#include "frequency/AutoWiring.h"

void WireAutoScreen() {}
