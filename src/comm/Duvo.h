// Step positions: signed 64-bit values, 8 bytes low byte first in the positioning data, converted through
// the 64-bit library libduvo.so, bound by name at its first call. Exact over the whole range.
#pragma once

#include <cstdint>
#include <string>

// The value of the 8-byte wire image. The library's codes land in RetVar.
int64_t Int64ToDec(const uint8_t (&bytes)[8]);

// Fills the 8-byte wire image of value.
void DecToInt64(uint8_t (&bytes)[8], int64_t value);

// Fills the 8-byte wire image of a typed value: a whole number, or one with a fraction that is rounded to
// the nearest whole number (a half away from zero); blanks around it are allowed and an empty text is 0.
// False, with the bytes untouched, for any other text or a value outside the signed 64-bit range.
bool DecToInt64(uint8_t (&bytes)[8], const std::string& text);

// Decimal text of a step position, as the screens show it.
std::string Int64Text(int64_t value);
