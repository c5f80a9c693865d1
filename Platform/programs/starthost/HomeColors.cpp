#include "HomeColors.h"

#include "ce/kernel.h"

namespace {

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return -1;
}

bool ParseHexColor(std::u16string_view text, COLORREF* color) {
    if (text.size() != 7 || text[0] != u'#') {
        return false;
    }
    int channels[3] = {};
    for (int i = 0; i < 3; ++i) {
        const int high = HexDigit(text[1 + 2 * i]);
        const int low = HexDigit(text[2 + 2 * i]);
        if (high < 0 || low < 0) {
            return false;
        }
        channels[i] = high * 16 + low;
    }
    *color = RGB(channels[0], channels[1], channels[2]);
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
