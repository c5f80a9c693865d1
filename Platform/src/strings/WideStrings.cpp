// The wide-string helpers of the platform: lengths, comparisons with and without case, bounded copies.
#include <cstdint>

#include "ce/types.h"
#include "strings/CaseFold.h"

using namespace ce::detail;

namespace {

// Null compares below any string, as the platform does.
template <class Fold>
int Compare(LPCWSTR a, LPCWSTR b, size_t limit, Fold fold) {
    if (a == nullptr || b == nullptr) {
        return a == b ? 0 : (a == nullptr ? -1 : 1);
    }
    for (size_t i = 0; i < limit; ++i) {
        char16_t x = fold(a[i]);
        char16_t y = fold(b[i]);
        if (x != y) {
            return x < y ? -1 : 1;
        }
        if (x == 0) {
            break;
        }
    }
    return 0;
}

char16_t Same(char16_t c) {
    return c;
}

// CharLowerW/CharUpperW also take a single character in the low word of the pointer.
template <class Convert>
LPWSTR ConvertInPlace(LPWSTR text, Convert convert) {
    auto value = reinterpret_cast<uintptr_t>(text);
    if ((value >> 16) == 0) {
        return reinterpret_cast<LPWSTR>(static_cast<uintptr_t>(convert(static_cast<char16_t>(value))));
    }
    for (LPWSTR p = text; *p; ++p) {
        *p = convert(*p);
    }
    return text;
}

}  // namespace

extern "C" {

CE_API int lstrlenW(LPCWSTR s) {
    return s ? static_cast<int>(std::char_traits<char16_t>::length(s)) : 0;
}

CE_API int lstrcmpW(LPCWSTR a, LPCWSTR b) {
    return Compare(a, b, SIZE_MAX, Same);
}

CE_API int lstrcmpiW(LPCWSTR a, LPCWSTR b) {
    return Compare(a, b, SIZE_MAX, FoldToLower);
}

CE_API int _wcsicmp(LPCWSTR a, LPCWSTR b) {
    return Compare(a, b, SIZE_MAX, FoldToLower);
}

CE_API int _wcsnicmp(LPCWSTR a, LPCWSTR b, size_t n) {
    return Compare(a, b, n, FoldToLower);
}

CE_API LPWSTR lstrcpyW(LPWSTR dst, LPCWSTR src) {
    if (dst == nullptr) {
        return nullptr;
    }
    std::char_traits<char16_t>::copy(dst, src ? src : u"", static_cast<size_t>(lstrlenW(src)) + 1);
    return dst;
}

CE_API LPWSTR lstrcpynW(LPWSTR dst, LPCWSTR src, int max) {
    if (dst == nullptr || max <= 0) {
        return dst;
    }
    int i = 0;
    for (; src && i < max - 1 && src[i]; ++i) {
        dst[i] = src[i];
    }
    dst[i] = 0;
    return dst;
}

CE_API LPWSTR lstrcatW(LPWSTR dst, LPCWSTR src) {
    if (dst != nullptr) {
        lstrcpyW(dst + lstrlenW(dst), src);
    }
    return dst;
}

CE_API WCHAR towlowerW(WCHAR c) {
    return FoldToLower(c);
}
CE_API WCHAR towupperW(WCHAR c) {
    return FoldToUpper(c);
}

CE_API LPWSTR CharLowerW(LPWSTR s) {
    return ConvertInPlace(s, FoldToLower);
}
CE_API LPWSTR CharUpperW(LPWSTR s) {
    return ConvertInPlace(s, FoldToUpper);
}

}  // extern "C"
