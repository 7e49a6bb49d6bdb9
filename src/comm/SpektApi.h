// The spectrum library's byte-packing functions, bound by name at their first call. The more significant
// byte comes first among the byte arguments, as the library takes them.
#pragma once

#include <cstdint>

namespace spekt {

void StoB(int16_t v, uint8_t* hi, uint8_t* lo);
int16_t BtoS(uint8_t hi, uint8_t lo);
void LtoB(int32_t v, uint8_t* b3, uint8_t* b2, uint8_t* b1, uint8_t* b0);
int32_t BtoL(uint8_t b3, uint8_t b2, uint8_t b1, uint8_t b0);

} // namespace spekt
