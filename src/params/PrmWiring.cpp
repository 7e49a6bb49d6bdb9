#include "params/PrmWiring.h"

void WireParamScreens() {}
