// Drawing steps that the program's own controls share: fonts derived from a control's font, shades of
// the device's theme colour, skin pictures fitted into a box, and the shaded divider lines.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "ce/gdi.h"

// How a control's font is varied. Heights follow the font's sign: a positive (cell) height grows by
// the scaled number of pixels, a zero or negative (character) height by that many units.
struct FontChange {
    LONG weight = 0;  // 0 keeps the weight
    int grow = 0;     // pixels of the 240 screen class; negative shrinks
    bool underline = false;
    bool clearType = false;
};

// A new font like the given one (the system font for null); the caller deletes it. Null on failure.
HFONT CreateDerivedFont(HFONT font, const FontChange& change);
// Deletes each font that is there and clears its handle.
void DeleteFontHandles(std::initializer_list<HFONT*> fonts);

// The theme colour's hue with the given saturation and lightness bytes; the saturation counts only on
// a coloured theme (base hue index 255 or more), a grey theme gives a grey.
COLORREF ThemeShade(BYTE saturation, BYTE lightness);
// The shade of the dividers between forecast columns and quarters.
COLORREF DividerShade();

// The skin picture's size fitted into width x height in its own aspect; 0 x 0 without a skin, for a
// negative picture or one the skin has no size for.
SIZE FitPicture(int picture, int width, int height);
// Draws the picture at the size, centred in the area; false when nothing was drawn.
bool DrawPictureCentred(int picture, SIZE size, HDC dc, const RECT& area);

// A line of the given thickness across the rectangle's long axis that fades from the colours already
// on screen at its two ends into the shade at its middle.
inline constexpr bool kVerticalLine = true;
inline constexpr bool kHorizontalLine = false;
void DrawShadedDivider(HDC dc, const RECT& line, COLORREF shade, bool vertical);

// The text of a localization key; empty when the language files have none.
std::u16string LocalizedText(const char* key);
// A formatted text (the platform's formatter) of at most 255 characters.
std::u16string FormatText(LPCWSTR format, ...);
// Size of the text in the context's font.
SIZE MeasureText(HDC dc, std::u16string_view text);
// The text with its top-left corner at (x, y), in the context's font, colour and background mode.
void DrawTextAt(HDC dc, int x, int y, std::u16string_view text);
// The text cut with "..." to the area's width when it does not fit whole, in the context's font; its start
// stays.
std::u16string FitTextToWidth(HDC dc, std::u16string_view text, const RECT& area);

// A font like the given one (the context's when null), its height lowered pixel by pixel until the
// widest of the texts fits the width, but not below the least height (pixels); null when the font
// fits as it is or no smaller font can be made. The caller deletes it.
HFONT CreateFontToFit(HDC dc, HFONT font, const std::vector<std::u16string>& texts, int width, int leastHeight);
// Whether every text takes at most that many lines of the width in the font (wrapped at word breaks
// for more than one line); a word wider than the width never fits.
bool TextsFit(HDC dc, HFONT font, const std::vector<std::u16string>& texts, int width, int lines);
// Like CreateFontToFit, for texts wrapped onto at most that many lines.
HFONT CreateFontToFitLines(HDC dc, HFONT font, const std::vector<std::u16string>& texts, int width, int lines,
                           int leastHeight);
