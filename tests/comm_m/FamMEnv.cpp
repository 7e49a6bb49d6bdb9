#include "FamMEnv.h"

ampsim::Fault famm::Silence(ampsim::Phase phase, int times) {
    return ampsim::Fault::silence(phase, times);
}
