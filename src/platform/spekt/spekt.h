/*
 * Spekt: spectrum analysis and byte packing. Loaded by name from the program folder (libspekt.so).
 *
 * Byte-packing functions take the more significant byte first among their byte arguments; values are
 * two's complement. Null output pointers are skipped.
 */
#ifndef SPEKT_H
#define SPEKT_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Version number of this library. The definition file's DLL VERSION group names the one it needs. */
#define SPEKT_VERSION 1

/* Copies the version text into text1 and the copyright text into text2 (each at least 64 bytes; null
   buffers are skipped); returns SPEKT_VERSION. */
uint32_t SPEKT_Version(char* text1, char* text2);

/* value -> high byte, low byte. */
void UTY_StoB(int16_t value, uint8_t* hi, uint8_t* lo);
/* high byte, low byte -> value. */
int16_t UTY_BtoS(uint8_t hi, uint8_t lo);
/* value -> bytes 3 (most significant) to 0. */
void UTY_LtoB(int32_t value, uint8_t* b3, uint8_t* b2, uint8_t* b1, uint8_t* b0);
/* bytes 3 (most significant) to 0 -> value. */
int32_t UTY_BtoL(uint8_t b3, uint8_t b2, uint8_t b1, uint8_t b0);

/*
 * Spectrum chain of a frequency-response measurement of n raw words (2 <= n <= SPEKT_MAX_SAMPLES).
 * Series arrays hold SPEKT_MAX_SAMPLES doubles, spectra, curves and axes SPEKT_POINTS doubles. Every
 * function returns SPEKT_OK, or a negative error word and writes nothing when an argument is out of
 * range. Points without a value (bin 0, bins above n / 2, bins without excitation) hold NaN.
 */
#define SPEKT_MAX_SAMPLES 2059
#define SPEKT_POINTS 2049
#define SPEKT_MAX_SMOOTHING 25

#define SPEKT_OK 0
#define SPEKT_ERR_POINTER (-1)   /* a null array */
#define SPEKT_ERR_COUNT (-2)     /* n outside 2..SPEKT_MAX_SAMPLES */
#define SPEKT_ERR_SMOOTHING (-3) /* smoothing outside 1..SPEKT_MAX_SMOOTHING */
#define SPEKT_ERR_AMOUNT (-4)    /* an amount that is not finite, or a step or scale not above 0 */
#define SPEKT_ERR_MEMORY (-5)    /* the transform of this length could not be set up */

/* Splits the raw words: bit 0 is the binary excitation (input = +amp or -amp around the offset, which
   only moves bin 0 and is left out), bits 15..1 the measured output as a signed count. The output's mean
   is taken out. */
int32_t SPEKT_BunRi(double* in, double* out, const int16_t* raw, double amp, double offset, int32_t n);
/* Discrete Fourier transform of n real values: bins 0..n/2 into re and im, 0 above. */
int32_t SPEKT_EnZan(double* re, double* im, const double* series, int32_t n);
/* Gain in dB of output over input, averaged over `smoothing` neighbouring bins (cross spectrum over input
   power). */
int32_t SPEKT_ShinPuku(double* gain, const double* inRe, const double* inIm, const double* outRe,
                       const double* outIm, int32_t smoothing, int32_t n);
/* Phase in degrees, -180 exclusive to 180 inclusive, of the same estimate. */
int32_t SPEKT_ISou(double* phase, const double* inRe, const double* inIm, const double* outRe,
                   const double* outIm, int32_t smoothing, int32_t n);
/* Frequency axis: log10(k x step x scale) for the bins 1..n/2. */
int32_t SPEKT_SyuHaSu(double* axis, double step, double scale, int32_t n);

#ifdef __cplusplus
}
#endif

#endif
