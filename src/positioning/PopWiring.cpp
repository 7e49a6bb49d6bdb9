#include "positioning/PopWiring.h"

void WirePositioningScreens() {}
