// Puts one line of text on a DC: its background (opaque mode), its glyphs in the text colour, and
// underline and strike-out lines. ExtTextOutW and DrawTextW both draw through it.
#pragma once

#include <string_view>

#include "gdi/DeviceContext.h"
#include "gdi/Font.h"

namespace ce::gdi {

// The DC's selected font (the system font when none is usable).
Font& SelectedFont(DeviceContext& dc);

struct TextLine {
    std::u16string_view text;
    int x = 0;    // the DC's coordinates
    int top = 0;  // top of the text cell
    const INT* dx = nullptr;
    int underlinedIndex = -1;  // one character to underline (a "&" prefix), -1 for none
    const RECT* frame = nullptr;  // the rectangle it was drawn in, for the text-fit log
};

// clip: a further limit in the DC's coordinates, or null.
void PaintTextLine(DeviceContext& dc, const TextLine& line, const RECT* clip, bool fillBackground);

}  // namespace ce::gdi
