// The style properties set on one element. Unset properties are inherited at draw time through the
// render engine's states; nothing is copied down the tree.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "SvgLength.h"
#include "SvgStatus.h"
#include "SvgStyleValues.h"

class SvgAttributes;
class SvgRenderEngine;

// Resolves the id of a "url(#id)" paint to a gradient or pattern defined earlier in the document.
using SvgPaintResolver = std::function<SvgStatus(std::string_view id, SvgPaint& paint)>;

enum class SvgProperty {
    Color,
    Display,
    FillOpacity,
    Fill,
    FillRule,
    FontFamily,
    FontSize,
    FontStyle,
    FontWeight,
    Opacity,
    StrokeDashArray,
    StrokeDashOffset,
    StrokeLineCap,
    StrokeLineJoin,
    StrokeMiterLimit,
    StrokeOpacity,
    Stroke,
    StrokeWidth,
    TextAnchor,
    Visibility,
    StopOpacity,
    StopColor,
    Count
};

class SvgStyle {
public:
    // The values the root svg element starts from, set on it so that they reach the render engine:
    // an element below that sets nothing inherits them. The font family is left to the engine.
    void SetRootDefaults();

    // The "style" attribute first (bad pieces ignored), then the presentation attributes in table
    // order; the first presentation attribute that fails ends the reading with its status.
    SvgStatus Read(const SvgAttributes& attributes, const SvgPaintResolver& resolve);
    // Parses one property's value text into this style.
    SvgStatus ParseProperty(SvgProperty property, std::string_view value, const SvgPaintResolver& resolve);

    // Hands the set properties to the engine; svg and g elements keep opacity out, as their
    // group applies it.
    SvgStatus ApplyTo(SvgRenderEngine& engine, bool includeOpacity) const;

    bool IsSet(SvgProperty property) const { return m_set[int(property)]; }
    bool IsDisplayed() const { return !IsSet(SvgProperty::Display) || display; }
    bool IsVisible() const { return !IsSet(SvgProperty::Visibility) || visible; }
    double GroupOpacity() const { return IsSet(SvgProperty::Opacity) ? opacity : 1.0; }

    SvgColor color;
    double fillOpacity = 1;
    SvgPaint fill = SvgPaint::Color(0);
    SvgFillRule fillRule = SvgFillRule::NonZero;
    std::string fontFamily;
    SvgLength fontSize = SvgLength::User(10);
    SvgFontStyle fontStyle = SvgFontStyle::Normal;
    int fontWeight = 400;
    double opacity = 1;
    std::vector<double> dashArray;
    SvgLength dashOffset;
    SvgLineCap lineCap = SvgLineCap::Butt;
    SvgLineJoin lineJoin = SvgLineJoin::Miter;
    double miterLimit = 4;
    double strokeOpacity = 1;
    SvgPaint stroke;
    SvgLength strokeWidth = SvgLength::User(1);
    SvgTextAnchor textAnchor = SvgTextAnchor::Start;
    bool display = true;
    bool visible = true;
    double stopOpacity = 1;
    SvgColor stopColor{0xFFFFFF, false};

private:
    void ReadStyleAttribute(std::string_view text, const SvgPaintResolver& resolve);
    SvgStatus Mark(SvgProperty property, SvgStatus status);
    SvgStatus ApplyOne(SvgRenderEngine& engine, SvgProperty property, bool includeOpacity) const;

    bool m_set[int(SvgProperty::Count)] = {};
};

// The property of a name, or Count for a name outside the table.
SvgProperty SvgPropertyByName(std::string_view name);
