#include "platform/Numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace plat {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

template <class T>
std::optional<T> ToInt(double x)
{
    if (std::isnan(x))
        return std::nullopt;
    const double r = RoundHalfEven(x);
    if (r < static_cast<double>(std::numeric_limits<T>::min()) ||
        r > static_cast<double>(std::numeric_limits<T>::max()))
        return std::nullopt;
    return static_cast<T>(r);
}

// Length of the longest prefix of s that is a decimal number (sign, digits with at most one '.', exponent);
// 0 when there is none.
size_t NumberLength(std::string_view s)
{
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < s.size() && IsDigit(s[i]))
        ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        if (j < s.size() && IsDigit(s[j])) {
            while (j < s.size() && IsDigit(s[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

// The number in s, which NumberLength accepted whole. Out of range gives infinity or zero with its sign.
double Convert(std::string_view s)
{
    bool negative = false;
    if (s[0] == '+' || s[0] == '-') {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    double v = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (r.ec == std::errc::result_out_of_range) {
        // Tell overflow from underflow by the exponent's sign; a mantissa alone cannot underflow.
        const auto e = s.find_first_of("eE");
        const bool tiny = e != std::string_view::npos && e + 1 < s.size() && s[e + 1] == '-';
        v = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return negative ? -v : v;
}

} // namespace

double RoundHalfEven(double x)
{
    if (!std::isfinite(x))
        return x;
    const double f = std::floor(x);
    const double d = x - f; // exact for every finite double
    if (d < 0.5)
        return f;
    if (d > 0.5)
        return f + 1;
    return std::fmod(f, 2.0) == 0 ? f : f + 1;
}

std::optional<int16_t> ToInt16(double x) { return ToInt<int16_t>(x); }
std::optional<int32_t> ToInt32(double x) { return ToInt<int32_t>(x); }

std::optional<double> ParseDouble(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    const size_t n = NumberLength(text);
    if (n == 0 || n != text.size())
        return std::nullopt;
    return Convert(text);
}

double LeadingNumber(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    const size_t n = NumberLength(text);
    return n == 0 ? 0.0 : Convert(text.substr(0, n));
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<uint32_t> ParseHex(std::string_view text)
{
    if (text.empty() || text.size() > 8)
        return std::nullopt;
    uint32_t v = 0;
    for (char c : text) {
        const int d = HexDigit(c);
        if (d < 0)
            return std::nullopt;
        v = v << 4 | static_cast<uint32_t>(d);
    }
    return v;
}

std::string StrForm(double v)
{
    if (std::isnan(v))
        return " NaN";
    std::string out = std::signbit(v) && v != 0 ? "-" : " ";
    if (std::isinf(v))
        return out + "Inf";
    if (v == 0)
        return out + "0";

    // 15 significant digits, correctly rounded: d.dddddddddddddde[+-]xx
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific, 14);
    const std::string_view sci(buf, static_cast<size_t>(r.ptr - buf));
    const size_t e = sci.find('e');
    std::string digits;
    for (char c : sci.substr(0, e))
        if (c != '.')
            digits += c;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    int exp10 = 0;
    std::from_chars(sci.data() + e + 1 + (sci[e + 1] == '+'), sci.data() + sci.size(), exp10);

    if (exp10 < -4 || exp10 >= 15) {
        out += digits[0];
        if (digits.size() > 1)
            out += "." + digits.substr(1);
        char ex[16];
        std::snprintf(ex, sizeof ex, "E%c%02d", exp10 < 0 ? '-' : '+', std::abs(exp10));
        return out + ex;
    }
    if (exp10 < 0)
        return out + "." + std::string(static_cast<size_t>(-exp10 - 1), '0') + digits;
    const auto intDigits = static_cast<size_t>(exp10 + 1);
    if (digits.size() <= intDigits)
        return out + digits + std::string(intDigits - digits.size(), '0');
    return out + digits.substr(0, intDigits) + "." + digits.substr(intDigits);
}

std::string PrintForm(double v) { return StrForm(v) + " "; }

std::string FormatFixed(double v, int decimals)
{
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals < 0 ? 0 : decimals);
    if (r.ec != std::errc())
        return StrForm(v);
    return std::string(buf, static_cast<size_t>(r.ptr - buf));
}

} // namespace plat
