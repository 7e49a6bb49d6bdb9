#include "platform/spekt/spekt.h"

#include <cstring>

#define SPEKT_EXPORT __attribute__((visibility("default")))

extern "C" {

SPEKT_EXPORT uint32_t SPEKT_Version(char* text1, char* text2)
{
    if (text1)
        std::strcpy(text1, "SPEKT Version 1.00");
    if (text2)
        std::strcpy(text2, "Spectrum analysis for Mevalo");
    return SPEKT_VERSION;
}

SPEKT_EXPORT void UTY_StoB(int16_t value, uint8_t* hi, uint8_t* lo)
{
    const auto u = static_cast<uint16_t>(value);
    if (hi)
        *hi = static_cast<uint8_t>(u >> 8);
    if (lo)
        *lo = static_cast<uint8_t>(u);
}

SPEKT_EXPORT int16_t UTY_BtoS(uint8_t hi, uint8_t lo)
{
    return static_cast<int16_t>(static_cast<uint16_t>(hi << 8 | lo));
}

SPEKT_EXPORT void UTY_LtoB(int32_t value, uint8_t* b3, uint8_t* b2, uint8_t* b1, uint8_t* b0)
{
    const auto u = static_cast<uint32_t>(value);
    if (b3)
        *b3 = static_cast<uint8_t>(u >> 24);
    if (b2)
        *b2 = static_cast<uint8_t>(u >> 16);
    if (b1)
        *b1 = static_cast<uint8_t>(u >> 8);
    if (b0)
        *b0 = static_cast<uint8_t>(u);
}

SPEKT_EXPORT int32_t UTY_BtoL(uint8_t b3, uint8_t b2, uint8_t b1, uint8_t b0)
{
    const uint32_t u = uint32_t{b3} << 24 | uint32_t{b2} << 16 | uint32_t{b1} << 8 | b0;
    return static_cast<int32_t>(u);
}

} // extern "C"
