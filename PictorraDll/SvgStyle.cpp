#include "SvgStyle.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <optional>

#include "SvgAttributes.h"
#include "SvgRenderEngine.h"
#include "SvgScanner.h"

namespace {
constexpr std::string_view kPropertyNames[] = {
    "color",          "display",         "fill-opacity",      "fill",
    "fill-rule",      "font-family",     "font-size",         "font-style",
    "font-weight",    "opacity",         "stroke-dasharray",  "stroke-dashoffset",
    "stroke-linecap", "stroke-linejoin", "stroke-miterlimit", "stroke-opacity",
    "stroke",         "stroke-width",    "text-anchor",       "visibility",
    "stop-opacity",   "stop-color",
};
static_assert(std::size(kPropertyNames) == size_t(SvgProperty::Count));
static_assert(std::size(kPropertyNames) <= 32, "one bit a property in kPropertiesByFirstLetter");

// For each first letter, the properties whose names start with it (bit i: kPropertyNames[i]).
constexpr std::array<uint32_t, 256> kPropertiesByFirstLetter = [] {
    std::array<uint32_t, 256> table{};
    for (size_t i = 0; i < std::size(kPropertyNames); ++i)
        table[uint8_t(kPropertyNames[i].front())] |= 1u << i;
    return table;
}();

constexpr std::string_view kShownDisplays[] = {
    "inline",
    "block",
    "list-item",
    "run-in",
    "compact",
    "marker",
    "table",
    "inline-table",
    "table-row-group",
    "table-header-group",
    "table-footer-group",
    "table-row",
    "table-column-group",
    "table-column",
    "table-cell",
    "table-caption",
};

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsSvgBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsSvgBlank(text.back())) text.remove_suffix(1);
    return text;
}

// A whole value of one number.
bool ParseNumber(std::string_view text, double& value) {
    SvgScanner scan(Trim(text));
    return scan.ReadNumber(value) && scan.AtEnd();
}

// A number, or a number and "%" (x 0.01). Not clamped.
bool ParseOpacity(std::string_view text, double& value) {
    SvgScanner scan(Trim(text));
    if (!scan.ReadNumber(value))
        return false;
    if (scan.Consume("%"))
        value *= 0.01;
    return scan.AtEnd();
}

template <typename T, size_t N>
bool ParseWord(std::string_view text, const std::string_view (&words)[N], const T (&values)[N], T& out) {
    for (size_t i = 0; i < N; ++i) {
        if (text == words[i]) {
            out = values[i];
            return true;
        }
    }
    return false;
}

SvgStatus ParsePaint(std::string_view text, const SvgPaintResolver& resolve, SvgPaint& paint) {
    text = Trim(text);
    if (text == "none") {
        paint = SvgPaint{};
        return SvgStatus::Success;
    }
    if (text.substr(0, 5) == "url(#") {
        size_t close = text.find(')');
        if (close != std::string_view::npos) {
            if (!resolve)
                return SvgStatus::ParseError;
            return resolve(text.substr(5, close - 5), paint);
        }
    }
    SvgColor color;
    SvgStatus status = SvgColor::Parse(text, color);
    if (status == SvgStatus::Success)
        paint = SvgPaint{SvgPaintKind::Color, color};
    return status;
}

bool ParseDashArray(std::string_view text, std::vector<double>& dashes) {
    text = Trim(text);
    dashes.clear();
    if (text == "none")
        return true;
    SvgScanner scan(text);
    while (!scan.AtEnd()) {
        double v = 0;
        if (!scan.ReadNumber(v))
            return false;
        dashes.push_back(v);
        scan.SkipSeparator();
    }
    return true;
}

bool ParseFontWeight(std::string_view text, int& weight) {
    double number = 0;
    if (text == "normal")
        weight = 400;
    else if (text == "bold")
        weight = 700;
    else if (text == "bolder")
        weight += 100;
    else if (text == "lighter")
        weight -= 100;
    else if (ParseNumber(text, number))
        weight = int(std::clamp(number, 100.0, 900.0));
    else
        return false;
    weight = std::clamp(weight, 100, 900);
    return true;
}
}  // namespace

SvgProperty SvgPropertyByName(std::string_view name) {
    if (name.empty())
        return SvgProperty::Count;
    // Most attributes of an element (d, x, width, id...) are no property: their first letter alone
    // rejects them, and a property is compared only with the names that share its first letter.
    for (uint32_t candidates = kPropertiesByFirstLetter[uint8_t(name.front())]; candidates != 0;
         candidates &= candidates - 1) {
        int i = std::countr_zero(candidates);
        if (kPropertyNames[i] == name)
            return SvgProperty(i);
    }
    return SvgProperty::Count;
}

void SvgStyle::SetRootDefaults() {
    *this = SvgStyle{};
    fontFamily = "sans-serif";
    // Without this the engine's own values (cairo's line width 2, miter limit 10) would reach every
    // stroke that no element sizes. The family stays unset: the engine's "verdana" is the default.
    std::fill(std::begin(m_set), std::end(m_set), true);
    m_set[int(SvgProperty::FontFamily)] = false;
}

SvgStatus SvgStyle::ParseProperty(SvgProperty property, std::string_view raw,
                                  const SvgPaintResolver& resolve) {
    std::string_view text = Trim(raw);
    bool ok = true;
    bool inherit = text == "inherit";
    switch (property) {
        case SvgProperty::Color:
            if (inherit)
                return SvgStatus::Success;
            if (SvgStatus status = SvgColor::Parse(text, color); Failed(status))
                return status;
            break;
        case SvgProperty::Display:
            if (inherit)
                return SvgStatus::Success;
            if (text == "none")
                display = false;
            else if (std::find(std::begin(kShownDisplays), std::end(kShownDisplays), text) !=
                     std::end(kShownDisplays))
                display = true;
            else
                ok = false;
            break;
        case SvgProperty::FillOpacity:
            ok = ParseOpacity(text, fillOpacity);
            break;
        case SvgProperty::Fill:
            if (SvgStatus status = ParsePaint(text, resolve, fill); Failed(status))
                return status;
            break;
        case SvgProperty::FillRule:
            ok = ParseWord(text, {"nonzero", "evenodd"}, {SvgFillRule::NonZero, SvgFillRule::EvenOdd},
                           fillRule);
            break;
        case SvgProperty::FontFamily:
            fontFamily = std::string(text);
            break;
        case SvgProperty::FontSize:
            return Mark(property, SvgLength::Parse(text, SvgOrientation::Other, fontSize));
        case SvgProperty::FontStyle:
            ok = ParseWord(text, {"normal", "italic", "oblique"},
                           {SvgFontStyle::Normal, SvgFontStyle::Italic, SvgFontStyle::Oblique}, fontStyle);
            break;
        case SvgProperty::FontWeight:
            ok = ParseFontWeight(text, fontWeight);
            break;
        case SvgProperty::Opacity:
            ok = ParseOpacity(text, opacity);
            break;
        case SvgProperty::StrokeDashArray:
            ok = ParseDashArray(text, dashArray);
            break;
        case SvgProperty::StrokeDashOffset:
            return Mark(property, SvgLength::Parse(text, SvgOrientation::Other, dashOffset));
        case SvgProperty::StrokeLineCap:
            ok = ParseWord(text, {"butt", "round", "square"},
                           {SvgLineCap::Butt, SvgLineCap::Round, SvgLineCap::Square}, lineCap);
            break;
        case SvgProperty::StrokeLineJoin:
            ok = ParseWord(text, {"miter", "round", "bevel"},
                           {SvgLineJoin::Miter, SvgLineJoin::Round, SvgLineJoin::Bevel}, lineJoin);
            break;
        case SvgProperty::StrokeMiterLimit:
            ok = ParseNumber(text, miterLimit);
            break;
        case SvgProperty::StrokeOpacity:
            ok = ParseOpacity(text, strokeOpacity);
            break;
        case SvgProperty::Stroke:
            if (SvgStatus status = ParsePaint(text, resolve, stroke); Failed(status))
                return status;
            break;
        case SvgProperty::StrokeWidth:
            return Mark(property, SvgLength::Parse(text, SvgOrientation::Other, strokeWidth));
        case SvgProperty::TextAnchor:
            ok = ParseWord(text, {"start", "middle", "end"},
                           {SvgTextAnchor::Start, SvgTextAnchor::Middle, SvgTextAnchor::End}, textAnchor);
            break;
        case SvgProperty::Visibility:
            if (inherit)
                return SvgStatus::Success;
            if (text == "visible")
                visible = true;
            else if (text == "hidden" || text == "collapse")
                visible = false;
            else
                ok = false;
            break;
        case SvgProperty::StopOpacity:
            ok = ParseOpacity(text, stopOpacity);
            break;
        case SvgProperty::StopColor:
            if (SvgStatus status = SvgColor::Parse(text, stopColor); Failed(status))
                return status;
            break;
        case SvgProperty::Count:
            return SvgStatus::AttributeNotFound;
    }
    return Mark(property, ok ? SvgStatus::Success : SvgStatus::ParseError);
}

SvgStatus SvgStyle::Mark(SvgProperty property, SvgStatus status) {
    if (status == SvgStatus::Success)
        m_set[int(property)] = true;
    return status;
}

void SvgStyle::ReadStyleAttribute(std::string_view text, const SvgPaintResolver& resolve) {
    while (!text.empty()) {
        size_t end = text.find(';');
        std::string_view piece = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        while (!text.empty() && IsSvgBlank(text.front())) text.remove_prefix(1);
        // As in a style sheet, a declaration that is not understood is passed over and the rest still apply.
        size_t colon = piece.find(':');
        if (colon == std::string_view::npos)
            continue;
        std::string_view value = piece.substr(colon + 1);
        while (!value.empty() && IsSvgBlank(value.front())) value.remove_prefix(1);
        SvgProperty property = SvgPropertyByName(piece.substr(0, colon));
        if (property == SvgProperty::Count)
            continue;
        // A value that the property rejects is ignored, with what it held before: unlike a presentation
        // attribute, a style declaration in error does not fail its element.
        SvgStyle before = *this;
        if (Failed(ParseProperty(property, value, resolve)))
            *this = std::move(before);
    }
}

SvgStatus SvgStyle::Read(const SvgAttributes& attributes, const SvgPaintResolver& resolve) {
    // One pass over the attributes gathers the first of each name; the properties are then parsed in
    // table order, as a look-up of each name in turn would.
    std::optional<std::string_view> style;
    std::optional<std::string_view> values[size_t(SvgProperty::Count)];
    attributes.ForEach([&](std::string_view name, std::string_view value) {
        if (name == "style") {
            if (!style)
                style = value;
            return;
        }
        SvgProperty property = SvgPropertyByName(name);
        if (property != SvgProperty::Count && !values[int(property)])
            values[int(property)] = value;
    });
    if (style)
        ReadStyleAttribute(*style, resolve);
    for (size_t i = 0; i < std::size(values); ++i) {
        if (!values[i])
            continue;
        if (SvgStatus status = ParseProperty(SvgProperty(i), *values[i], resolve); Failed(status))
            return status;
    }
    return SvgStatus::Success;
}

SvgStatus SvgStyle::ApplyTo(SvgRenderEngine& engine, bool includeOpacity) const {
    static constexpr SvgProperty kOrder[] = {
        SvgProperty::Color,           SvgProperty::FillOpacity,      SvgProperty::Fill,
        SvgProperty::FillRule,        SvgProperty::FontFamily,       SvgProperty::FontSize,
        SvgProperty::FontStyle,       SvgProperty::FontWeight,       SvgProperty::Opacity,
        SvgProperty::StrokeDashArray, SvgProperty::StrokeDashOffset, SvgProperty::StrokeLineCap,
        SvgProperty::StrokeLineJoin,  SvgProperty::StrokeMiterLimit, SvgProperty::StrokeOpacity,
        SvgProperty::Stroke,          SvgProperty::StrokeWidth,      SvgProperty::TextAnchor,
    };
    for (SvgProperty property : kOrder) {
        if (!IsSet(property))
            continue;
        SvgStatus status = ApplyOne(engine, property, includeOpacity);
        if (Failed(status))
            return status;
    }
    return SvgStatus::Success;
}

SvgStatus SvgStyle::ApplyOne(SvgRenderEngine& engine, SvgProperty property, bool includeOpacity) const {
    switch (property) {
        case SvgProperty::Color:
            return engine.SetColor(color);
        case SvgProperty::FillOpacity:
            return engine.SetFillOpacity(fillOpacity);
        case SvgProperty::Fill:
            return engine.SetFillPaint(fill);
        case SvgProperty::FillRule:
            return engine.SetFillRule(fillRule);
        case SvgProperty::FontFamily:
            return engine.SetFontFamily(fontFamily);
        case SvgProperty::FontSize:
            return engine.SetFontSize(fontSize);
        case SvgProperty::FontStyle:
            return engine.SetFontStyle(fontStyle);
        case SvgProperty::FontWeight:
            return engine.SetFontWeight(fontWeight);
        case SvgProperty::Opacity:
            return includeOpacity ? engine.SetOpacity(opacity) : SvgStatus::Success;
        case SvgProperty::StrokeDashArray:
            return engine.SetStrokeDashArray(dashArray);
        case SvgProperty::StrokeDashOffset:
            return engine.SetStrokeDashOffset(dashOffset);
        case SvgProperty::StrokeLineCap:
            return engine.SetStrokeLineCap(lineCap);
        case SvgProperty::StrokeLineJoin:
            return engine.SetStrokeLineJoin(lineJoin);
        case SvgProperty::StrokeMiterLimit:
            return engine.SetStrokeMiterLimit(miterLimit);
        case SvgProperty::StrokeOpacity:
            return engine.SetStrokeOpacity(strokeOpacity);
        case SvgProperty::Stroke:
            return engine.SetStrokePaint(stroke);
        case SvgProperty::StrokeWidth:
            return engine.SetStrokeWidth(strokeWidth);
        case SvgProperty::TextAnchor:
            return engine.SetTextAnchor(textAnchor);
        default:
            return SvgStatus::Success;
    }
}
