// Numbers as the program's files and rules write them, independent of the process locale.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace plat {

// The program's 16-bit Booleans.
constexpr int16_t VbTrue = -1;
constexpr int16_t VbFalse = 0;
constexpr int16_t VbBool(bool b) { return b ? VbTrue : VbFalse; }

// Nearest integer, a half going to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double RoundHalfEven(double x);

// RoundHalfEven, then the integer type; nothing when the result does not fit (or x is not a number).
std::optional<int16_t> ToInt16(double x);
std::optional<int32_t> ToInt32(double x);

// A decimal number in C form (optional blanks around it, sign, digits, '.', exponent with E or e); the whole
// text must be the number. Nothing otherwise.
std::optional<double> ParseDouble(std::string_view text);
// The leading number of a text: leading blanks are skipped and as much as forms a number is read; a text
// without a number reads 0.
double LeadingNumber(std::string_view text);

// Hexadecimal digits only (no prefix, either case, 1 to 8 digits), the whole text. Nothing otherwise.
std::optional<uint32_t> ParseHex(std::string_view text);
// Value of one hexadecimal digit, or -1.
int HexDigit(char c);

// The print form of a number in the data files: "-" or one blank, then at most 15 significant digits, the
// shortest that give them, '.' as separator and no 0 before it below magnitude 1; from 1E+15 up and below
// 1E-4 the exponent form "1E+20", "1.5E-05". Examples: 0.5 -> " .5", -0.25 -> "-.25", 3 -> " 3".
std::string StrForm(double v);
// StrForm followed by one blank, as a number is printed into a file.
std::string PrintForm(double v);

// Fixed-point text with the given number of decimals ("%.*f" in the C locale).
std::string FormatFixed(double v, int decimals);

} // namespace plat
