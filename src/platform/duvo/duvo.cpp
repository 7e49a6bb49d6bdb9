#include "duvo.h"

#include <cstring>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) int32_t DUVO_Copy(void* destination, const void* source) {
    if (!destination || !source) return DUVO_ERR_NULL;
    std::memmove(destination, source, 8);
    return DUVO_OK;
}

__attribute__((visibility("default"))) int32_t DUVO_IToA(char* text, int32_t size, int64_t value,
                                                         int32_t radix) {
    if (!text || radix < 2 || radix > 36 || size < 2) return 0;
    // The magnitude as unsigned, so that the most negative value needs no special case.
    uint64_t u = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    char digits[65];
    int n = 0;
    do {
        const unsigned d = static_cast<unsigned>(u % static_cast<unsigned>(radix));
        digits[n++] = static_cast<char>(d < 10 ? '0' + d : 'a' + (d - 10));
        u /= static_cast<unsigned>(radix);
    } while (u != 0);
    const int len = n + (value < 0 ? 1 : 0);
    if (len + 1 > size) return 0;
    int k = 0;
    if (value < 0) text[k++] = '-';
    while (n > 0)
        text[k++] = digits[--n];
    text[k] = '\0';
    return len;
}

__attribute__((visibility("default"))) int32_t DUVO_AToI(int64_t* value, const char* text) {
    if (!value || !text) return DUVO_ERR_NULL;
    const char* p = text;
    while (IsBlank(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    if (*p < '0' || *p > '9') return DUVO_ERR_SYNTAX;
    // Accumulate the magnitude; the negative range is one larger than the positive one.
    const uint64_t limit = negative ? uint64_t(INT64_MAX) + 1 : uint64_t(INT64_MAX);
    uint64_t u = 0;
    bool over = false;
    for (; *p >= '0' && *p <= '9'; ++p) {
        const unsigned d = static_cast<unsigned>(*p - '0');
        if (u > (limit - d) / 10)
            over = true;
        else
            u = u * 10 + d;
    }
    while (IsBlank(*p))
        ++p;
    if (*p != '\0') return DUVO_ERR_SYNTAX;
    if (over) return DUVO_ERR_RANGE;
    *value = negative ? static_cast<int64_t>(0 - u) : static_cast<int64_t>(u);
    return DUVO_OK;
}

} // extern "C"
