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

#ifdef __cplusplus
}
#endif

#endif
