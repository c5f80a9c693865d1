// The callbacks through which the document tree draws itself. Each returns a status; a non-zero
// status ends the element that made the call.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "SvgLength.h"
#include "SvgMatrix.h"
#include "SvgStatus.h"
#include "SvgStyleValues.h"

class SvgRenderEngine {
public:
    virtual ~SvgRenderEngine() = default;

    virtual SvgStatus BeginGroup(double opacity) = 0;
    virtual SvgStatus BeginElement() = 0;
    virtual SvgStatus EndElement() = 0;
    virtual SvgStatus EndGroup(double opacity) = 0;

    virtual SvgStatus MoveTo(double x, double y) = 0;
    virtual SvgStatus LineTo(double x, double y) = 0;
    virtual SvgStatus CurveTo(double x1, double y1, double x2, double y2, double x, double y) = 0;
    virtual SvgStatus QuadraticCurveTo(double x1, double y1, double x, double y) = 0;
    virtual SvgStatus ArcTo(double rx, double ry, double rotation, bool largeArc, bool sweep, double x,
                            double y) = 0;
    virtual SvgStatus ClosePath() = 0;

    virtual SvgStatus SetColor(const SvgColor& color) = 0;
    virtual SvgStatus SetFillOpacity(double opacity) = 0;
    virtual SvgStatus SetFillPaint(const SvgPaint& paint) = 0;
    virtual SvgStatus SetFillRule(SvgFillRule rule) = 0;
    virtual SvgStatus SetFontFamily(const std::string& family) = 0;
    virtual SvgStatus SetFontSize(const SvgLength& size) = 0;
    virtual SvgStatus SetFontStyle(SvgFontStyle style) = 0;
    virtual SvgStatus SetFontWeight(int weight) = 0;
    virtual SvgStatus SetOpacity(double opacity) = 0;
    virtual SvgStatus SetStrokeDashArray(const std::vector<double>& dashes) = 0;
    virtual SvgStatus SetStrokeDashOffset(const SvgLength& offset) = 0;
    virtual SvgStatus SetStrokeLineCap(SvgLineCap cap) = 0;
    virtual SvgStatus SetStrokeLineJoin(SvgLineJoin join) = 0;
    virtual SvgStatus SetStrokeMiterLimit(double limit) = 0;
    virtual SvgStatus SetStrokeOpacity(double opacity) = 0;
    virtual SvgStatus SetStrokePaint(const SvgPaint& paint) = 0;
    virtual SvgStatus SetStrokeWidth(const SvgLength& width) = 0;
    virtual SvgStatus SetTextAnchor(SvgTextAnchor anchor) = 0;

    virtual SvgStatus Transform(const SvgMatrix& matrix) = 0;
    virtual SvgStatus ApplyViewBox(const SvgViewBox& box, const SvgAspectRatio& rule, const SvgLength& width,
                                   const SvgLength& height) = 0;
    virtual SvgStatus SetViewportDimension(const SvgLength& width, const SvgLength& height) = 0;
    // A length in pixels of the current user space (the base of percentages and em is the current state's).
    virtual double ToPixels(const SvgLength& length) const = 0;

    virtual SvgStatus RenderLine(const SvgLength& x1, const SvgLength& y1, const SvgLength& x2,
                                 const SvgLength& y2) = 0;
    virtual SvgStatus RenderPath() = 0;
    virtual SvgStatus RenderEllipse(const SvgLength& cx, const SvgLength& cy, const SvgLength& rx,
                                    const SvgLength& ry) = 0;
    virtual SvgStatus RenderRect(const SvgLength& x, const SvgLength& y, const SvgLength& width,
                                 const SvgLength& height, const SvgLength& rx, const SvgLength& ry) = 0;
    virtual SvgStatus RenderText(const SvgLength& x, const SvgLength& y, std::string_view utf8) = 0;
};
