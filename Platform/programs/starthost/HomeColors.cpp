#include "HomeColors.h"

#include <cctype>
#include <string>

#include "ce/kernel.h"

namespace {

// "#RRGGBB" with exactly six hexadecimal digits.
bool ParseHexColor(std::u16string_view text, COLORREF* color) {
    if (text.size() != 7 || text[0] != u'#') {
        return false;
    }
    for (char16_t c : text.substr(1)) {
        if (c > 0x7F || !std::isxdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    const std::u16string digits(text.substr(1));
    const unsigned long value = wcstoulW(digits.c_str(), nullptr, 16);
    *color = RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
    return true;
}

}  // namespace

COLORREF HomeColors::DefaultBackground() { return RGB(0x1E, 0x2E, 0x5A); }

bool HomeColors::Find(std::u16string_view name, COLORREF* color) {
    struct Named {
        std::u16string_view name;
        COLORREF color;
    };
    const Named kColors[] = {
        {u"COLOR_HOMETEXT", RGB(0xFF, 0xFF, 0xFF)},
        {u"COLOR_HOMEHIGHLIGHT", GetSysColor(COLOR_HIGHLIGHT)},
        {u"COLOR_HOMEHIGHLIGHTTEXT", GetSysColor(COLOR_HIGHLIGHTTEXT)},
        {u"COLOR_HOMERULE", RGB(0xA0, 0xA8, 0xC0)},
        {u"COLOR_TRAYGRADLEFT", DefaultBackground()},
    };
    for (const Named& named : kColors) {
        if (named.name == name) {
            *color = named.color;
            return true;
        }
    }
    return ParseHexColor(name, color);
}
