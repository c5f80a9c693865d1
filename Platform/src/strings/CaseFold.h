// Letter case of UTF-16 code units, as the device compares names and text without case: ASCII,
// Latin-1, Latin Extended-A, Greek and Cyrillic. Other characters compare as they stand.
#pragma once

#include <string>
#include <string_view>

namespace ce::detail {

constexpr char16_t FoldToLower(char16_t c) {
    if (c < 0x80) {
        return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 0x20) : c;
    }
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
        (c >= 0x410 && c <= 0x42F)) {
        return static_cast<char16_t>(c + 0x20);
    }
    if (c >= 0x400 && c <= 0x40F) {
        return static_cast<char16_t>(c + 0x50);
    }
    if (c == 0x178) {
        return 0xFF;
    }
    if (c >= 0x100 && c <= 0x17F) {
        // Pairs: upper case even, lower case odd, except the block that is shifted by one.
        bool shifted = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) {
            return c;
        }
        if (shifted) {
            return (c % 2 == 1) ? static_cast<char16_t>(c + 1) : c;
        }
        return (c % 2 == 0) ? static_cast<char16_t>(c + 1) : c;
    }
    return c;
}

constexpr char16_t FoldToUpper(char16_t c) {
    if (c < 0x80) {
        return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 0x20) : c;
    }
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) ||
        (c >= 0x430 && c <= 0x44F)) {
        return static_cast<char16_t>(c - 0x20);
    }
    if (c >= 0x450 && c <= 0x45F) {
        return static_cast<char16_t>(c - 0x50);
    }
    if (c == 0xFF) {
        return 0x178;
    }
    if (c >= 0x100 && c <= 0x17F) {
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) {
            return c;
        }
        bool shifted = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (shifted) {
            return (c % 2 == 0) ? static_cast<char16_t>(c - 1) : c;
        }
        return (c % 2 == 1) ? static_cast<char16_t>(c - 1) : c;
    }
    return c;
}

inline bool EqualNoCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldToLower(a[i]) != FoldToLower(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace ce::detail
