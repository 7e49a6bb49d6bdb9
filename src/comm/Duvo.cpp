#include "comm/Duvo.h"

#include "app/Glb.h"
#include "platform/Library.h"
#include "platform/duvo/duvo.h"

#include <charconv>

namespace {

constexpr const char* kLibrary = "libduvo.so";
// The library is loaded by name like the program's other libraries; its header only gives the types.
int32_t Copy(void* destination, const void* source) {
    static plat::LazyFn<decltype(DUVO_Copy)> f(kLibrary, "DUVO_Copy");
    return f(destination, source);
}

int32_t IToA(char* text, int32_t size, int64_t value, int32_t radix) {
    static plat::LazyFn<decltype(DUVO_IToA)> f(kLibrary, "DUVO_IToA");
    return f(text, size, value, radix);
}

int32_t AToI(int64_t* value, const char* text) {
    static plat::LazyFn<decltype(DUVO_AToI)> f(kLibrary, "DUVO_AToI");
    return f(value, text);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// "-"? digits, with an optional fraction rounded away: the whole-number text, or empty when text is not a
// plain decimal number. Done on the digits so that no value loses precision on the way.
std::string WholeNumberText(std::string text) {
    size_t b = 0, e = text.size();
    while (b < e && IsBlank(text[b]))
        ++b;
    while (e > b && IsBlank(text[e - 1]))
        --e;
    text = text.substr(b, e - b);
    if (text.empty()) return "0";

    std::string sign;
    size_t i = 0;
    if (text[0] == '+' || text[0] == '-') {
        if (text[0] == '-') sign = "-";
        i = 1;
    }
    std::string whole, fraction;
    const size_t dot = text.find('.', i);
    whole = text.substr(i, dot == std::string::npos ? std::string::npos : dot - i);
    if (dot != std::string::npos) fraction = text.substr(dot + 1);
    if (whole.empty() && fraction.empty()) return {};
    for (const std::string* part : {&whole, &fraction})
        for (char c : *part)
            if (c < '0' || c > '9') return {};
    if (whole.empty()) whole = "0";

    if (!fraction.empty() && fraction[0] >= '5') {
        // Add one to the decimal digits of the magnitude.
        int k = static_cast<int>(whole.size()) - 1;
        while (k >= 0 && whole[k] == '9')
            whole[k--] = '0';
        if (k < 0)
            whole.insert(whole.begin(), '1');
        else
            ++whole[k];
    }
    return sign + whole;
}

} // namespace

int64_t Int64ToDec(const uint8_t (&bytes)[8]) {
    // Assembled low byte first, whatever the machine's own byte order.
    uint64_t u = 0;
    for (int i = 7; i >= 0; --i)
        u = (u << 8) | bytes[i];
    int64_t value = 0;
    RetVar = Variant(Copy(&value, &u));

    char text[50] = {};
    const int32_t len = IToA(text, sizeof text, value, 10);
    int64_t result = 0;
    const auto [end, ec] = std::from_chars(text, text + (len > 0 ? len : 0), result);
    (void)end;
    return ec == std::errc() ? result : 0;
}

void DecToInt64(uint8_t (&bytes)[8], int64_t value) {
    DecToInt64(bytes, Int64Text(value));
}

bool DecToInt64(uint8_t (&bytes)[8], const std::string& text) {
    const std::string whole = WholeNumberText(text);
    if (whole.empty()) {
        RetVar = Variant(int32_t(DUVO_ERR_SYNTAX));
        return false;
    }
    int64_t value = 0;
    const int32_t code = AToI(&value, whole.c_str());
    RetVar = Variant(code);
    if (code != DUVO_OK) return false;
    int64_t copy = 0;
    RetVar = Variant(Copy(&copy, &value));
    const uint64_t u = static_cast<uint64_t>(copy);
    for (int i = 0; i < 8; ++i)
        bytes[i] = static_cast<uint8_t>(u >> (8 * i));
    return true;
}

std::string Int64Text(int64_t value) {
    char text[50] = {};
    const int32_t len = IToA(text, sizeof text, value, 10);
    return std::string(text, len > 0 ? static_cast<size_t>(len) : 0);
}
