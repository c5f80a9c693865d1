// Draws a parsed document into a cairo context.
#pragma once

#include <cairo.h>

#include <string_view>
#include <vector>

#include "SvgDocument.h"
#include "SvgRenderEngine.h"
#include "SvgRenderState.h"

class SvgCairoRenderer final : public SvgRenderEngine {
public:
    SvgCairoRenderer();
    ~SvgCairoRenderer() override;
    SvgCairoRenderer(const SvgCairoRenderer&) = delete;
    SvgCairoRenderer& operator=(const SvgCairoRenderer&) = delete;

    SvgStatus Parse(std::string_view text) { return m_document.Parse(text); }
    // The root svg element's width and height in pixels (0 without a root).
    void GetSize(unsigned& width, unsigned& height) const;
    // The scale from document to pixels of this render: group surfaces are made at rendered size.
    void SetRenderScale(double sx, double sy) { m_scaleX = sx, m_scaleY = sy; }
    SvgStatus Render(cairo_t* cr);

    const SvgDocument& Document() const { return m_document; }

    SvgStatus BeginGroup(double opacity) override;
    SvgStatus BeginElement() override;
    SvgStatus EndElement() override;
    SvgStatus EndGroup(double opacity) override;

    SvgStatus MoveTo(double x, double y) override;
    SvgStatus LineTo(double x, double y) override;
    SvgStatus CurveTo(double x1, double y1, double x2, double y2, double x, double y) override;
    SvgStatus QuadraticCurveTo(double x1, double y1, double x, double y) override;
    SvgStatus ArcTo(double rx, double ry, double rotation, bool largeArc, bool sweep, double x,
                    double y) override;
    SvgStatus ClosePath() override;

    SvgStatus SetColor(const SvgColor& color) override;
    SvgStatus SetFillOpacity(double opacity) override;
    SvgStatus SetFillPaint(const SvgPaint& paint) override;
    SvgStatus SetFillRule(SvgFillRule rule) override;
    SvgStatus SetFontFamily(const std::string& family) override;
    SvgStatus SetFontSize(const SvgLength& size) override;
    SvgStatus SetFontStyle(SvgFontStyle style) override;
    SvgStatus SetFontWeight(int weight) override;
    SvgStatus SetOpacity(double opacity) override;
    SvgStatus SetStrokeDashArray(const std::vector<double>& dashes) override;
    SvgStatus SetStrokeDashOffset(const SvgLength& offset) override;
    SvgStatus SetStrokeLineCap(SvgLineCap cap) override;
    SvgStatus SetStrokeLineJoin(SvgLineJoin join) override;
    SvgStatus SetStrokeMiterLimit(double limit) override;
    SvgStatus SetStrokeOpacity(double opacity) override;
    SvgStatus SetStrokePaint(const SvgPaint& paint) override;
    SvgStatus SetStrokeWidth(const SvgLength& width) override;
    SvgStatus SetTextAnchor(SvgTextAnchor anchor) override;

    SvgStatus Transform(const SvgMatrix& matrix) override;
    SvgStatus ApplyViewBox(const SvgViewBox& box, const SvgAspectRatio& rule, const SvgLength& width,
                           const SvgLength& height) override;
    SvgStatus SetViewportDimension(const SvgLength& width, const SvgLength& height) override;
    double ToPixels(const SvgLength& length) const override;

    SvgStatus RenderLine(const SvgLength& x1, const SvgLength& y1, const SvgLength& x2,
                         const SvgLength& y2) override;
    SvgStatus RenderPath() override;
    SvgStatus RenderEllipse(const SvgLength& cx, const SvgLength& cy, const SvgLength& rx,
                            const SvgLength& ry) override;
    SvgStatus RenderRect(const SvgLength& x, const SvgLength& y, const SvgLength& width,
                         const SvgLength& height, const SvgLength& rx, const SvgLength& ry) override;
    SvgStatus RenderText(const SvgLength& x, const SvgLength& y, std::string_view utf8) override;

private:
    enum class SourceResult { Ready, Skip, Failed };

    SvgRenderState& State() { return m_states.back(); }
    const SvgRenderState& State() const { return m_states.back(); }
    SvgStatus MemoryStatus() const;
    SourceResult SetSource(const SvgPaint& paint, double alpha);
    cairo_pattern_t* CreateGradient(const SvgGradient& gradient);
    // The box of the current path's points in user space; false for an empty path.
    bool PathBox(double& x1, double& y1, double& x2, double& y2) const;
    void ApplyDashes();
    void LimitDashes();
    double PathLength() const;
    int GroupExtent(double viewport, double scale) const;

    SvgDocument m_document;
    cairo_t* m_cr = nullptr;
    std::vector<SvgRenderState> m_states;
    double m_scaleX = 1;
    double m_scaleY = 1;
};
