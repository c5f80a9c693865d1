// Number parsing of the C runtime on wide strings. Integers have the device's widths: long and
// unsigned long are 32 bits there, so results are clamped to those ranges.
#include <charconv>
#include <climits>
#include <cstdint>
#include <string>

#include "ce/types.h"

namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

int DigitValue(char16_t c) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'a' && c <= u'z') {
        return c - u'a' + 10;
    }
    if (c >= u'A' && c <= u'Z') {
        return c - u'A' + 10;
    }
    return 99;
}

struct ParsedInteger {
    uint64_t magnitude = 0;  // saturated at 2^32
    bool negative = false;
    bool any = false;
    LPCWSTR end = nullptr;
};

ParsedInteger ParseInteger(LPCWSTR s, int base) {
    ParsedInteger result;
    result.end = s;
    if (s == nullptr || base < 0 || base == 1 || base > 36) {
        return result;
    }
    LPCWSTR p = s;
    while (IsBlank(*p)) {
        ++p;
    }
    if (*p == u'+' || *p == u'-') {
        result.negative = *p++ == u'-';
    }
    bool hexPrefix = p[0] == u'0' && (p[1] == u'x' || p[1] == u'X') && DigitValue(p[2]) < 16;
    if ((base == 0 || base == 16) && hexPrefix) {
        p += 2;
        base = 16;
    } else if (base == 0) {
        base = p[0] == u'0' ? 8 : 10;
    }
    for (; DigitValue(*p) < base; ++p) {
        result.magnitude = std::min<uint64_t>(result.magnitude * static_cast<unsigned>(base) + DigitValue(*p),
                                              uint64_t{1} << 32);
        result.any = true;
    }
    if (result.any) {
        result.end = p;
    }
    return result;
}

void SetEnd(LPWSTR* end, LPCWSTR at) {
    if (end) {
        *end = const_cast<LPWSTR>(at);
    }
}

}  // namespace

extern "C" {

CE_API long wcstolW(LPCWSTR s, LPWSTR* end, int base) {
    ParsedInteger parsed = ParseInteger(s, base);
    SetEnd(end, parsed.end);
    if (parsed.negative) {
        return parsed.magnitude > uint64_t{1} << 31 ? INT32_MIN : -static_cast<long>(parsed.magnitude);
    }
    return parsed.magnitude > INT32_MAX ? INT32_MAX : static_cast<long>(parsed.magnitude);
}

CE_API unsigned long wcstoulW(LPCWSTR s, LPWSTR* end, int base) {
    ParsedInteger parsed = ParseInteger(s, base);
    SetEnd(end, parsed.end);
    if (parsed.magnitude > UINT32_MAX) {
        return UINT32_MAX;
    }
    uint32_t value = static_cast<uint32_t>(parsed.magnitude);
    return parsed.negative ? static_cast<uint32_t>(0u - value) : value;
}

CE_API long _wtol(LPCWSTR s) {
    return wcstolW(s, nullptr, 10);
}
CE_API int _wtoi(LPCWSTR s) {
    return static_cast<int>(wcstolW(s, nullptr, 10));
}

CE_API double wcstodW(LPCWSTR s, LPWSTR* end) {
    SetEnd(end, s);
    if (s == nullptr) {
        return 0.0;
    }
    LPCWSTR p = s;
    while (IsBlank(*p)) {
        ++p;
    }
    bool negative = *p == u'-';
    if (*p == u'+' || *p == u'-') {
        ++p;
    }
    std::string narrow;  // the ASCII run that can belong to the number
    for (LPCWSTR q = p; *q > 0 && *q < 0x80 && narrow.size() < 512; ++q) {
        narrow += static_cast<char>(*q);
    }
    double value = 0.0;
    auto [stop, error] = std::from_chars(narrow.data(), narrow.data() + narrow.size(), value);
    if (stop == narrow.data()) {
        return 0.0;
    }
    SetEnd(end, p + (stop - narrow.data()));
    return negative ? -value : value;
}

CE_API double _wtof(LPCWSTR s) {
    return wcstodW(s, nullptr);
}

}  // extern "C"
