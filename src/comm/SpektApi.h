// The spectrum library's byte-packing functions, bound by name at their first call. The more significant
// byte comes first among the byte arguments, as the library takes them.
#pragma once

#include <cstdint>

namespace spekt {

void StoB(int16_t v, uint8_t* hi, uint8_t* lo);
int16_t BtoS(uint8_t hi, uint8_t lo);
void LtoB(int32_t v, uint8_t* b3, uint8_t* b2, uint8_t* b1, uint8_t* b0);
int32_t BtoL(uint8_t b3, uint8_t b2, uint8_t b1, uint8_t b0);

// The spectrum chain (arrays as the library states them); each returns the library's result word, 0 for
// success.
int32_t BunRi(double* in, double* out, const int16_t* raw, double amp, double offset, int32_t n);
int32_t EnZan(double* re, double* im, const double* series, int32_t n);
int32_t ShinPuku(double* gain, const double* inRe, const double* inIm, const double* outRe, const double* outIm,
                 int32_t smoothing, int32_t n);
int32_t ISou(double* phase, const double* inRe, const double* inIm, const double* outRe, const double* outIm,
             int32_t smoothing, int32_t n);
int32_t SyuHaSu(double* axis, double step, double scale, int32_t n);

} // namespace spekt
