/*
 * Duvo: signed 64-bit integers as the positioning data carries them (8 bytes, low byte first on the wire)
 * and as decimal text. Every conversion is exact over the whole signed 64-bit range; nothing passes
 * through a floating-point value.
 */
#ifndef DUVO_H
#define DUVO_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Result codes of DUVO_Copy and DUVO_AToI. */
#define DUVO_OK 0
#define DUVO_ERR_NULL 1   /* a null pointer */
#define DUVO_ERR_SYNTAX 2 /* not a whole decimal number */
#define DUVO_ERR_RANGE 3  /* outside -9223372036854775808 .. 9223372036854775807 */

/* Copies the 8 bytes at source to destination (the areas may overlap): DUVO_OK or DUVO_ERR_NULL. */
int32_t DUVO_Copy(void* destination, const void* source);

/* Writes value in radix 2..36 (lower-case digits above 9, "-" before a negative value) and a NUL into
   text, which holds size bytes. Returns the number of characters before the NUL, or 0 with text
   untouched when text is null, the radix is outside 2..36 or the text does not fit. */
int32_t DUVO_IToA(char* text, int32_t size, int64_t value, int32_t radix);

/* Reads a whole decimal number: optional blanks, an optional sign, at least one digit, optional blanks,
   nothing else. DUVO_OK and *value set; otherwise a DUVO_ERR_ code and *value untouched. */
int32_t DUVO_AToI(int64_t* value, const char* text);

#ifdef __cplusplus
}
#endif

#endif
