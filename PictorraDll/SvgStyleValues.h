// The value types of the style properties, shared by the style reader and the render engine.
#pragma once

#include "SvgColor.h"

struct SvgGradient;
class SvgElement;

enum class SvgFillRule { NonZero, EvenOdd };
enum class SvgFontStyle { Normal, Italic, Oblique };
enum class SvgLineCap { Butt, Round, Square };
enum class SvgLineJoin { Miter, Round, Bevel };
enum class SvgTextAnchor { Start, Middle, End };

enum class SvgPaintKind { None = 0, Color = 1, Gradient = 2, Pattern = 3 };

// Paints refer into the document tree, which outlives every renderer state that holds them.
struct SvgPaint {
    SvgPaintKind kind = SvgPaintKind::None;
    SvgColor color;
    const SvgGradient* gradient = nullptr;
    const SvgElement* pattern = nullptr;

    static SvgPaint Color(uint32_t rgb) { return SvgPaint{SvgPaintKind::Color, SvgColor{rgb, false}}; }
};

struct SvgViewBox {
    double x = 0, y = 0, width = 0, height = 0;
};

enum class SvgAlign {
    None,
    XMinYMin,
    XMidYMin,
    XMaxYMin,
    XMinYMid,
    XMidYMid,
    XMaxYMid,
    XMinYMax,
    XMidYMax,
    XMaxYMax
};
enum class SvgMeetOrSlice { Neither, Meet, Slice };

struct SvgAspectRatio {
    SvgAlign align = SvgAlign::None;
    SvgMeetOrSlice mode = SvgMeetOrSlice::Neither;
};
