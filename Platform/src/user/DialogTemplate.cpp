#include "user/DialogTemplate.h"

#include <cstring>

namespace ce::detail {
namespace {

constexpr size_t kMaxText = 4096;
constexpr WORD kMaxItems = 512;

WORD ReadWord(const BYTE* p) {
    WORD value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

const BYTE* AlignDword(const BYTE* p, const BYTE* base) {
    size_t offset = static_cast<size_t>(p - base);
    return base + ((offset + 3) & ~static_cast<size_t>(3));
}

// The predefined control classes of a template, by atom.
const char16_t* ClassOfAtom(WORD atom) {
    switch (atom) {
    case 0x0080:
        return u"Button";
    case 0x0081:
        return u"Edit";
    case 0x0082:
        return u"Static";
    case 0x0083:
        return u"ListBox";
    case 0x0084:
        return u"ScrollBar";
    case 0x0085:
        return u"ComboBox";
    default:
        return u"";
    }
}

}  // namespace

// A name is 0x0000 (none), 0xFFFF and an ordinal, or a terminated string.
const BYTE* DialogTemplate::ReadText(const BYTE* p, std::u16string* text, bool ordinalIsClass) {
    WORD first = ReadWord(p);
    if (first == 0xFFFF) {
        WORD ordinal = ReadWord(p + 2);
        *text = ordinalIsClass ? ClassOfAtom(ordinal) : std::u16string();
        return p + 4;
    }
    text->clear();
    for (size_t i = 0; i < kMaxText; ++i, p += 2) {
        WORD c = ReadWord(p);
        if (c == 0) {
            return p + 2;
        }
        text->push_back(static_cast<char16_t>(c));
    }
    return nullptr;
}

bool DialogTemplate::Parse(const void* data) {
    if (data == nullptr) {
        return false;
    }
    const BYTE* base = static_cast<const BYTE*>(data);
    if (ReadWord(base) == 1 && ReadWord(base + 2) == 0xFFFF) {
        return false;  // the extended form is not used on the device
    }
    DLGTEMPLATE header;
    std::memcpy(&header, base, sizeof header);
    if (header.cdit > kMaxItems) {
        return false;
    }
    style = header.style;
    exStyle = header.dwExtendedStyle;
    units = RECT{header.x, header.y, header.x + header.cx, header.y + header.cy};
    const BYTE* p = base + sizeof header;
    std::u16string menu;
    if (!(p = ReadText(p, &menu, false)) || !(p = ReadText(p, &className, false)) || !(p = ReadText(p, &title, false))) {
        return false;
    }
    if (style & DS_SETFONT) {
        pointSize = ReadWord(p);
        if (!(p = ReadText(p + 2, &faceName, false))) {
            return false;
        }
    }
    items.clear();
    for (WORD i = 0; i < header.cdit; ++i) {
        p = AlignDword(p, base);
        DLGITEMTEMPLATE itemHeader;
        std::memcpy(&itemHeader, p, sizeof itemHeader);
        p += sizeof itemHeader;
        DialogTemplateItem item;
        item.style = itemHeader.style;
        item.exStyle = itemHeader.dwExtendedStyle;
        item.units = RECT{itemHeader.x, itemHeader.y, itemHeader.x + itemHeader.cx, itemHeader.y + itemHeader.cy};
        item.id = itemHeader.id;
        if (!(p = ReadText(p, &item.className, true)) || !(p = ReadText(p, &item.title, false))) {
            return false;
        }
        WORD extra = ReadWord(p);
        p += 2;
        item.data.assign(p, p + extra);
        p += extra;
        items.push_back(std::move(item));
    }
    return true;
}

}  // namespace ce::detail
