#include "comm/SpektApi.h"

#include "platform/Library.h"
#include "platform/spekt/spekt.h"

namespace spekt {
namespace {
constexpr const char* kSpekt = "libspekt.so";
}

void StoB(int16_t v, uint8_t* hi, uint8_t* lo) {
    static plat::LazyFn<decltype(UTY_StoB)> f(kSpekt, "UTY_StoB");
    f(v, hi, lo);
}

int16_t BtoS(uint8_t hi, uint8_t lo) {
    static plat::LazyFn<decltype(UTY_BtoS)> f(kSpekt, "UTY_BtoS");
    return f(hi, lo);
}

void LtoB(int32_t v, uint8_t* b3, uint8_t* b2, uint8_t* b1, uint8_t* b0) {
    static plat::LazyFn<decltype(UTY_LtoB)> f(kSpekt, "UTY_LtoB");
    f(v, b3, b2, b1, b0);
}

int32_t BtoL(uint8_t b3, uint8_t b2, uint8_t b1, uint8_t b0) {
    static plat::LazyFn<decltype(UTY_BtoL)> f(kSpekt, "UTY_BtoL");
    return f(b3, b2, b1, b0);
}

} // namespace spekt
