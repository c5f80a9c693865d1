#include "SvgCairoRenderer.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "SvgArc.h"

namespace {
constexpr unsigned kDefaultViewport = 450;
constexpr double kDotsPerInch = 100;
// Beyond this cairo cannot make a surface; it also keeps double-to-int conversions defined.
constexpr double kMaxSurfaceExtent = 32767;
constexpr double kMaxDashRepeats = 20000;
constexpr double kMaxGlyphSize = 4096;
// Coordinates on the device beyond this are no part of any picture (cairo's own range ends near 8e6).
constexpr double kMaxDrawableExtent = 1e7;

cairo_matrix_t ToCairo(const SvgMatrix& matrix) {
    return cairo_matrix_t{matrix.a, matrix.b, matrix.c, matrix.d, matrix.e, matrix.f};
}

double Red(uint32_t rgb) {
    return ((rgb >> 16) & 0xFF) / 255.0;
}
double Green(uint32_t rgb) {
    return ((rgb >> 8) & 0xFF) / 255.0;
}
double Blue(uint32_t rgb) {
    return (rgb & 0xFF) / 255.0;
}

void SetRgb(cairo_t* cr, uint32_t rgb, double alpha) {
    cairo_set_source_rgba(cr, Red(rgb), Green(rgb), Blue(rgb), alpha);
}

// Calls visit(type, point) for each element of the current path in user space, with its curves
// flattened into lines; a close has no point of its own.
template <class Visit>
void VisitFlatPath(cairo_t* cr, Visit visit) {
    cairo_path_t* path = cairo_copy_path_flat(cr);
    for (int i = 0; path->status == CAIRO_STATUS_SUCCESS && i < path->num_data;
         i += path->data[i].header.length) {
        const cairo_path_data_t* d = &path->data[i];
        double x = 0, y = 0;
        if (d->header.type != CAIRO_PATH_CLOSE_PATH)
            x = d[1].point.x, y = d[1].point.y;
        visit(d->header.type, x, y);
    }
    cairo_path_destroy(path);
}

// Copies what a group's own context must share with the one it stands in for.
void CopyContextState(cairo_t* from, cairo_t* to) {
    cairo_matrix_t m;
    cairo_get_matrix(from, &m);
    cairo_set_matrix(to, &m);
    cairo_set_operator(to, cairo_get_operator(from));
    cairo_set_source(to, cairo_get_source(from));
    cairo_set_tolerance(to, cairo_get_tolerance(from));
    cairo_set_fill_rule(to, cairo_get_fill_rule(from));
    cairo_set_line_width(to, cairo_get_line_width(from));
    cairo_set_line_cap(to, cairo_get_line_cap(from));
    cairo_set_line_join(to, cairo_get_line_join(from));
    cairo_set_miter_limit(to, cairo_get_miter_limit(from));
}
}  // namespace

SvgCairoRenderer::SvgCairoRenderer() {
    SvgRenderState first;
    first.viewportWidth = first.viewportHeight = kDefaultViewport;
    m_states.push_back(std::move(first));
}

SvgCairoRenderer::~SvgCairoRenderer() {
    for (SvgRenderState& state : m_states) {
        if (state.replacedContext)
            cairo_destroy(state.replacedContext);
        if (state.groupSurface)
            cairo_surface_destroy(state.groupSurface);
    }
}

void SvgCairoRenderer::GetSize(unsigned& width, unsigned& height) const {
    width = height = 0;
    const SvgElement* root = m_document.Root();
    if (!root)
        return;
    auto pixels = [&](const SvgLength& length) {
        double value = ToPixels(length) + 0.5;
        // A size that is no number or negative is 0, which no render accepts.
        return std::isfinite(value) && value >= 0 ? unsigned(std::min(value, 1e9)) : 0u;
    };
    width = pixels(root->width);
    height = pixels(root->height);
}

SvgStatus SvgCairoRenderer::Render(cairo_t* cr) {
    const SvgElement* root = m_document.Root();
    if (!root || !cr)
        return SvgStatus::InvalidCall;
    m_cr = cr;
    SvgWalk walk;
    SvgStatus status = root->Render(*this, walk);
    m_cr = nullptr;
    return status;
}

// Only a lack of memory ends an element: the other error states of the context are checked once the
// picture is drawn (SvgRasterizer).
SvgStatus SvgCairoRenderer::MemoryStatus() const {
    return cairo_status(m_cr) == CAIRO_STATUS_NO_MEMORY ? SvgStatus::NoMemory : SvgStatus::Success;
}

// ---- groups and elements -------------------------------------------------------------------------

int SvgCairoRenderer::GroupExtent(double viewport, double scale) const {
    double v = viewport * scale + 0.5;
    if (!std::isfinite(v))
        return 0;
    return int(std::clamp(v, 0.0, kMaxSurfaceExtent));
}

SvgStatus SvgCairoRenderer::BeginGroup(double opacity) {
    cairo_save(m_cr);
    SvgRenderState& current = State();
    if (opacity != 1.0) {
        // Sized by the render scale, so that the group is neither clipped nor blurred at large sizes.
        // Nothing beyond the target can show, so the surface never exceeds it.
        cairo_surface_t* target = cairo_get_target(m_cr);
        int w = std::min(GroupExtent(current.viewportWidth, m_scaleX), cairo_image_surface_get_width(target));
        int h =
            std::min(GroupExtent(current.viewportHeight, m_scaleY), cairo_image_surface_get_height(target));
        cairo_surface_t* surface = cairo_surface_create_similar(target, CAIRO_CONTENT_COLOR_ALPHA, w, h);
        cairo_t* cr = cairo_create(surface);
        if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
            cairo_destroy(cr);
            cairo_surface_destroy(surface);
            cairo_restore(m_cr);
            return SvgStatus::NoMemory;
        }
        CopyContextState(m_cr, cr);
        current.groupSurface = surface;
        current.replacedContext = m_cr;
        m_cr = cr;
        ApplyDashes();
    }
    m_states.push_back(current.Inherit());
    return SvgStatus::Success;
}

SvgStatus SvgCairoRenderer::EndGroup(double opacity) {
    m_states.pop_back();
    SvgRenderState& below = State();
    cairo_surface_t* surface = below.groupSurface;
    if (below.replacedContext) {
        cairo_destroy(m_cr);
        m_cr = below.replacedContext;
    }
    below.groupSurface = nullptr;
    below.replacedContext = nullptr;
    cairo_restore(m_cr);
    if (surface) {
        if (opacity != 1.0) {
            cairo_save(m_cr);
            cairo_identity_matrix(m_cr);
            cairo_set_source_surface(m_cr, surface, 0, 0);
            cairo_paint_with_alpha(m_cr, opacity);
            cairo_restore(m_cr);
        }
        cairo_surface_destroy(surface);
    }
    return MemoryStatus();
}

SvgStatus SvgCairoRenderer::BeginElement() {
    cairo_save(m_cr);
    m_states.push_back(State().Inherit());
    return SvgStatus::Success;
}

SvgStatus SvgCairoRenderer::EndElement() {
    m_states.pop_back();
    cairo_restore(m_cr);
    return MemoryStatus();
}

// ---- path ----------------------------------------------------------------------------------------

SvgStatus SvgCairoRenderer::MoveTo(double x, double y) {
    cairo_move_to(m_cr, x, y);
    return MemoryStatus();
}

SvgStatus SvgCairoRenderer::LineTo(double x, double y) {
    cairo_line_to(m_cr, x, y);
    return MemoryStatus();
}

SvgStatus SvgCairoRenderer::CurveTo(double x1, double y1, double x2, double y2, double x, double y) {
    cairo_curve_to(m_cr, x1, y1, x2, y2, x, y);
    return MemoryStatus();
}

SvgStatus SvgCairoRenderer::QuadraticCurveTo(double x1, double y1, double x, double y) {
    double x0 = 0, y0 = 0;
    if (cairo_has_current_point(m_cr))
        cairo_get_current_point(m_cr, &x0, &y0);
    cairo_curve_to(m_cr, x0 + 2.0 / 3.0 * (x1 - x0), y0 + 2.0 / 3.0 * (y1 - y0), x + 2.0 / 3.0 * (x1 - x),
                   y + 2.0 / 3.0 * (y1 - y), x, y);
    return MemoryStatus();
}

SvgStatus SvgCairoRenderer::ArcTo(double rx, double ry, double rotation, bool largeArc, bool sweep, double x,
                                  double y) {
    double x0 = 0, y0 = 0;
    if (cairo_has_current_point(m_cr))
        cairo_get_current_point(m_cr, &x0, &y0);
    if (rx == 0 || ry == 0) {
        cairo_line_to(m_cr, x, y);
        return MemoryStatus();
    }
    for (const SvgCubic& c : SvgArc::ToCurves(x0, y0, rx, ry, rotation, largeArc, sweep, x, y))
        cairo_curve_to(m_cr, c.x1, c.y1, c.x2, c.y2, c.x, c.y);
    return MemoryStatus();
}

SvgStatus SvgCairoRenderer::ClosePath() {
    cairo_close_path(m_cr);
    return MemoryStatus();
}

// ---- style ---------------------------------------------------------------------------------------

SvgStatus SvgCairoRenderer::SetColor(const SvgColor& color) {
    // "currentColor" as the colour itself keeps the inherited one.
    if (!color.isCurrentColor)
        State().color = color;
    return SvgStatus::Success;
}

SvgStatus SvgCairoRenderer::SetFillOpacity(double opacity) {
    State().fillOpacity = opacity;
    return SvgStatus::Success;
}

SvgStatus SvgCairoRenderer::SetFillPaint(const SvgPaint& paint) {
    State().fill = paint;
    return SvgStatus::Success;
}

SvgStatus SvgCairoRenderer::SetFillRule(SvgFillRule rule) {
    cairo_set_fill_rule(m_cr,
                        rule == SvgFillRule::EvenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    return SvgStatus::Success;
}

SvgStatus SvgCairoRenderer::SetFontFamily(const std::string& family) {
    State().fontFamily = family;
    return SvgStatus::Success;
}

SvgStatus SvgCairoRenderer::SetFontSize(const SvgLength& size) {
    State().fontSize = ToPixels(size);
    return SvgStatus::Success;
}

SvgStatus SvgCairoRenderer::SetFontStyle(SvgFontStyle style) {
    State().fontStyle = style;
    return SvgStatus::Success;
}

SvgStatus SvgCairoRenderer::SetFontWeight(int weight) {
    State().fontWeight = weight;
    return SvgStatus::Success;
}

SvgStatus SvgCairoRenderer::SetOpacity(double opacity) {
    State().opacity = opacity;
    return SvgStatus::Success;
}

void SvgCairoRenderer::ApplyDashes() {
    const SvgRenderState& state = State();
    double total = 0;
    for (double dash : state.dashes) total += dash;
    // A pattern of zero length is a solid line.
    if (total <= 0)
        cairo_set_dash(m_cr, nullptr, 0, 0);
    else
        cairo_set_dash(m_cr, state.dashes.data(), int(state.dashes.size()), state.dashOffset);
}

SvgStatus SvgCairoRenderer::SetStrokeDashArray(const std::vector<double>& dashes) {
    // A pattern with a negative length is in error, and the stroke is drawn solid.
    bool negative = std::any_of(dashes.begin(), dashes.end(), [](double dash) { return dash < 0; });
    State().dashes = negative ? std::vector<double>{} : dashes;
    ApplyDashes();
    return SvgStatus::Success;
}

SvgStatus SvgCairoRenderer::SetStrokeDashOffset(const SvgLength& offset) {
    State().dashOffset = ToPixels(offset);
    ApplyDashes();
    return SvgStatus::Success;
}

SvgStatus SvgCairoRenderer::SetStrokeLineCap(SvgLineCap cap) {
    static constexpr cairo_line_cap_t kCaps[] = {CAIRO_LINE_CAP_BUTT, CAIRO_LINE_CAP_ROUND,
                                                 CAIRO_LINE_CAP_SQUARE};
    cairo_set_line_cap(m_cr, kCaps[int(cap)]);
    return SvgStatus::Success;
}

SvgStatus SvgCairoRenderer::SetStrokeLineJoin(SvgLineJoin join) {
    static constexpr cairo_line_join_t kJoins[] = {CAIRO_LINE_JOIN_MITER, CAIRO_LINE_JOIN_ROUND,
                                                   CAIRO_LINE_JOIN_BEVEL};
    cairo_set_line_join(m_cr, kJoins[int(join)]);
    return SvgStatus::Success;
}

SvgStatus SvgCairoRenderer::SetStrokeMiterLimit(double limit) {
    cairo_set_miter_limit(m_cr, limit);
    return SvgStatus::Success;
}

SvgStatus SvgCairoRenderer::SetStrokeOpacity(double opacity) {
    State().strokeOpacity = opacity;
    return SvgStatus::Success;
}

SvgStatus SvgCairoRenderer::SetStrokePaint(const SvgPaint& paint) {
    State().stroke = paint;
    return SvgStatus::Success;
}

SvgStatus SvgCairoRenderer::SetStrokeWidth(const SvgLength& width) {
    cairo_set_line_width(m_cr, std::max(0.0, ToPixels(width)));  // a negative width is 0, not an error
    return SvgStatus::Success;
}

SvgStatus SvgCairoRenderer::SetTextAnchor(SvgTextAnchor anchor) {
    State().textAnchor = anchor;
    return SvgStatus::Success;
}

// ---- coordinates ---------------------------------------------------------------------------------

SvgStatus SvgCairoRenderer::Transform(const SvgMatrix& matrix) {
    cairo_matrix_t m = ToCairo(matrix);
    double det = m.xx * m.yy - m.xy * m.yx;
    if (!std::isfinite(det) || !std::isfinite(m.x0) || !std::isfinite(m.y0))
        return SvgStatus::InvalidValue;
    // A matrix that flattens the element to nothing cannot be inverted, and would leave the context
    // unusable for the rest of the picture: the element and its children draw nothing instead.
    if (det == 0) {
        State().drawsNothing = true;
        return SvgStatus::Success;
    }
    cairo_transform(m_cr, &m);
    return SvgStatus::Success;
}

SvgStatus SvgCairoRenderer::ApplyViewBox(const SvgViewBox& box, const SvgAspectRatio& rule,
                                         const SvgLength& width, const SvgLength& height) {
    double w = ToPixels(width), h = ToPixels(height);
    double vw = box.width, vh = box.height;
    if (!(vw > 0) || !(vh > 0) || !(w > 0) || !(h > 0))
        return SvgStatus::InvalidValue;
    if (rule.align == SvgAlign::None) {
        cairo_scale(m_cr, w / vw, h / vh);
        cairo_translate(m_cr, -box.x, -box.y);
        return SvgStatus::Success;
    }
    int align = int(rule.align) - 1;  // xMinYMin .. xMaxYMax
    double fx = (align % 3) * 0.5, fy = (align / 3) * 0.5;
    bool byHeight = (rule.mode == SvgMeetOrSlice::Meet && vw / vh < w / h) ||
                    (rule.mode == SvgMeetOrSlice::Slice && vw / vh >= w / h);
    if (byHeight) {
        double k = h / vh;
        cairo_scale(m_cr, k, k);
        cairo_translate(m_cr, -box.x - fx * (vw - w / k), -box.y);
    } else {
        double k = w / vw;
        cairo_scale(m_cr, k, k);
        cairo_translate(m_cr, -box.x, -box.y - fy * (vh - h / k));
    }
    return SvgStatus::Success;
}

SvgStatus SvgCairoRenderer::SetViewportDimension(const SvgLength& width, const SvgLength& height) {
    double w = ToPixels(width), h = ToPixels(height);
    State().viewportWidth = w;
    State().viewportHeight = h;
    return SvgStatus::Success;
}

double SvgCairoRenderer::ToPixels(const SvgLength& length) const {
    const SvgRenderState& state = State();
    switch (length.unit) {
        case SvgLengthUnit::User:
        case SvgLengthUnit::Px:
            return length.value;
        case SvgLengthUnit::Pt:
            return length.value * kDotsPerInch / 72;
        case SvgLengthUnit::Pc:
            return length.value * kDotsPerInch / 6;
        case SvgLengthUnit::In:
            return length.value * kDotsPerInch;
        case SvgLengthUnit::Cm:
            return length.value * kDotsPerInch * 0.3937007874;
        case SvgLengthUnit::Mm:
            return length.value * kDotsPerInch * 0.03937007874;
        case SvgLengthUnit::Em:
            return length.value * state.fontSize;
        case SvgLengthUnit::Ex:
            return length.value * state.fontSize / 2;
        case SvgLengthUnit::Percent:
            if (state.boundingBox)
                return length.value * 0.01;
            if (length.orientation == SvgOrientation::Horizontal)
                return length.value * 0.01 * state.viewportWidth;
            if (length.orientation == SvgOrientation::Vertical)
                return length.value * 0.01 * state.viewportHeight;
            return length.value * 0.01 * std::hypot(state.viewportWidth, state.viewportHeight) /
                   std::numbers::sqrt2;
    }
    return length.value;
}

// ---- paint ---------------------------------------------------------------------------------------

bool SvgCairoRenderer::PathBox(double& x1, double& y1, double& x2, double& y2) const {
    x1 = y1 = HUGE_VAL;
    x2 = y2 = -HUGE_VAL;
    VisitFlatPath(m_cr, [&](cairo_path_data_type_t type, double x, double y) {
        if (type == CAIRO_PATH_CLOSE_PATH)
            return;
        x1 = std::min(x1, x), y1 = std::min(y1, y);
        x2 = std::max(x2, x), y2 = std::max(y2, y);
    });
    return x1 <= x2;
}

cairo_pattern_t* SvgCairoRenderer::CreateGradient(const SvgGradient& gradient) {
    bool boundingBox = gradient.units == SvgPaintUnits::ObjectBoundingBox;
    SvgMatrix space = gradient.transform;
    if (boundingBox) {
        // The box of the path itself, for strokes too; extents of the context would be the device box
        // mapped back, too large under a rotation or skew.
        double x1, y1, x2, y2;
        if (!PathBox(x1, y1, x2, y2) || !(x2 - x1 > 0) || !(y2 - y1 > 0))
            return nullptr;  // no box to span
        space = SvgMatrix{x2 - x1, 0, 0, y2 - y1, x1, y1}.Then(gradient.transform);
    }
    cairo_matrix_t matrix = ToCairo(space);
    if (cairo_matrix_invert(&matrix) != CAIRO_STATUS_SUCCESS)
        return nullptr;

    // Bounding-box lengths take percentages of 1.0.
    bool saved = State().boundingBox;
    State().boundingBox = boundingBox;
    double radius = ToPixels(gradient.r);
    cairo_pattern_t* pattern =
        gradient.type == SvgGradientType::Linear
            ? cairo_pattern_create_linear(ToPixels(gradient.x1), ToPixels(gradient.y1), ToPixels(gradient.x2),
                                          ToPixels(gradient.y2))
            : cairo_pattern_create_radial(ToPixels(gradient.fx), ToPixels(gradient.fy), 0,
                                          ToPixels(gradient.cx), ToPixels(gradient.cy), radius);
    State().boundingBox = saved;

    if (gradient.type == SvgGradientType::Radial && radius == 0 && !gradient.stops.empty()) {
        // A circle of no size paints the whole area in the colour of the last stop.
        const SvgGradientStop& last = gradient.stops.back();
        cairo_pattern_destroy(pattern);
        return cairo_pattern_create_rgba(Red(last.rgb), Green(last.rgb), Blue(last.rgb), last.opacity);
    }
    for (const SvgGradientStop& stop : gradient.stops)
        cairo_pattern_add_color_stop_rgba(pattern, stop.offset, Red(stop.rgb), Green(stop.rgb),
                                          Blue(stop.rgb), stop.opacity);
    cairo_pattern_set_matrix(pattern, &matrix);
    static constexpr cairo_extend_t kExtend[] = {CAIRO_EXTEND_NONE, CAIRO_EXTEND_REFLECT,
                                                 CAIRO_EXTEND_REPEAT};
    cairo_pattern_set_extend(pattern, kExtend[int(gradient.spread)]);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_BILINEAR);
    return pattern;
}

SvgCairoRenderer::SourceResult SvgCairoRenderer::SetSource(const SvgPaint& paint, double alpha) {
    switch (paint.kind) {
        case SvgPaintKind::None:
            return SourceResult::Skip;
        case SvgPaintKind::Color:
            SetRgb(m_cr, paint.color.isCurrentColor ? State().color.rgb : paint.color.rgb, alpha);
            return SourceResult::Ready;
        case SvgPaintKind::Gradient: {
            // Opacities do not apply to gradients.
            cairo_pattern_t* pattern = paint.gradient ? CreateGradient(*paint.gradient) : nullptr;
            if (!pattern)
                return SourceResult::Skip;  // no box to span or a flat transform: unpainted, not an error
            cairo_set_source(m_cr, pattern);
            cairo_pattern_destroy(pattern);
            return SourceResult::Ready;
        }
        case SvgPaintKind::Pattern:
            // Patterns are not drawn: a shape painted with one fails the picture.
            return SourceResult::Failed;
    }
    return SourceResult::Skip;
}

SvgStatus SvgCairoRenderer::RenderPath() {
    const SvgRenderState& state = State();
    if (state.drawsNothing) {
        cairo_new_path(m_cr);
        return MemoryStatus();
    }
    SvgStatus status = SvgStatus::Success;
    bool stroke = state.stroke.kind != SvgPaintKind::None;
    if (state.fill.kind != SvgPaintKind::None) {
        SourceResult r = SetSource(state.fill, state.opacity * state.fillOpacity);
        if (r == SourceResult::Failed)
            status = SvgStatus::NoMemory;
        if (r == SourceResult::Ready)
            cairo_fill_preserve(m_cr);
    }
    if (stroke && !Failed(status)) {
        LimitDashes();
        SourceResult r = SetSource(state.stroke, state.opacity * state.strokeOpacity);
        if (r == SourceResult::Failed)
            status = SvgStatus::NoMemory;
        if (r == SourceResult::Ready)
            cairo_stroke_preserve(m_cr);
    }
    cairo_new_path(m_cr);
    return Failed(status) ? status : MemoryStatus();
}

void SvgCairoRenderer::LimitDashes() {
    const SvgRenderState& state = State();
    double total = 0;
    for (double dash : state.dashes) total += dash;
    if (!(total > 0))
        return;
    // A pattern far finer than the path would take millions of dashes to stroke: draw it solid.
    if (PathLength() > total * kMaxDashRepeats)
        cairo_set_dash(m_cr, nullptr, 0, 0);
}

double SvgCairoRenderer::PathLength() const {
    double length = 0, x = 0, y = 0, startX = 0, startY = 0;
    VisitFlatPath(m_cr, [&](cairo_path_data_type_t type, double px, double py) {
        switch (type) {
            case CAIRO_PATH_MOVE_TO:
                x = startX = px, y = startY = py;
                break;
            case CAIRO_PATH_LINE_TO:
                length += std::hypot(px - x, py - y);
                x = px, y = py;
                break;
            case CAIRO_PATH_CLOSE_PATH:
                length += std::hypot(startX - x, startY - y);
                x = startX, y = startY;
                break;
            default:
                break;
        }
    });
    return length;
}

// ---- shapes --------------------------------------------------------------------------------------

SvgStatus SvgCairoRenderer::RenderLine(const SvgLength& x1, const SvgLength& y1, const SvgLength& x2,
                                       const SvgLength& y2) {
    cairo_move_to(m_cr, ToPixels(x1), ToPixels(y1));
    cairo_line_to(m_cr, ToPixels(x2), ToPixels(y2));
    return RenderPath();
}

SvgStatus SvgCairoRenderer::RenderEllipse(const SvgLength& cx, const SvgLength& cy, const SvgLength& rxLength,
                                          const SvgLength& ryLength) {
    double rx = ToPixels(rxLength), ry = ToPixels(ryLength);
    if (!(rx > 0) || !(ry > 0))
        return SvgStatus::Success;
    // cairo divides an arc into segments by its size on the device: a radius far beyond any surface
    // would take for ever, and a centre out there draws nothing anyway.
    double centreX = ToPixels(cx), centreY = ToPixels(cy);
    double deviceRx = rx, deviceRy = ry, deviceX = centreX, deviceY = centreY;
    cairo_user_to_device_distance(m_cr, &deviceRx, &deviceRy);
    cairo_user_to_device(m_cr, &deviceX, &deviceY);
    for (double extent : {deviceRx, deviceRy, deviceX, deviceY, rx, ry}) {
        if (!(std::fabs(extent) <= kMaxDrawableExtent))
            return SvgStatus::InvalidValue;
    }
    cairo_matrix_t kept;
    cairo_get_matrix(m_cr, &kept);
    cairo_translate(m_cr, centreX, centreY);
    cairo_scale(m_cr, 1, ry / rx);
    cairo_move_to(m_cr, rx, 0);
    cairo_arc(m_cr, 0, 0, rx, 0, 2 * std::numbers::pi);
    cairo_close_path(m_cr);
    cairo_set_matrix(m_cr, &kept);
    return RenderPath();
}

SvgStatus SvgCairoRenderer::RenderRect(const SvgLength& xLength, const SvgLength& yLength,
                                       const SvgLength& widthLength, const SvgLength& heightLength,
                                       const SvgLength& rxLength, const SvgLength& ryLength) {
    double x = ToPixels(xLength), y = ToPixels(yLength);
    double width = ToPixels(widthLength), height = ToPixels(heightLength);
    double rx = std::min(ToPixels(rxLength), width / 2), ry = std::min(ToPixels(ryLength), height / 2);
    if (!(rx > 0) && !(ry > 0)) {
        cairo_move_to(m_cr, x, y);
        cairo_line_to(m_cr, x + width, y);
        cairo_line_to(m_cr, x + width, y + height);
        cairo_line_to(m_cr, x, y + height);
        cairo_close_path(m_cr);
        return RenderPath();
    }
    cairo_move_to(m_cr, x + rx, y);
    cairo_line_to(m_cr, x + width - rx, y);
    // The arcs' statuses are the context's, which RenderPath reports.
    ArcTo(rx, ry, 0, false, true, x + width, y + ry);
    cairo_line_to(m_cr, x + width, y + height - ry);
    ArcTo(rx, ry, 0, false, true, x + width - rx, y + height);
    cairo_line_to(m_cr, x + rx, y + height);
    ArcTo(rx, ry, 0, false, true, x, y + height - ry);
    cairo_line_to(m_cr, x, y + ry);
    ArcTo(rx, ry, 0, false, true, x + rx, y);
    cairo_close_path(m_cr);
    return RenderPath();
}

SvgStatus SvgCairoRenderer::RenderText(const SvgLength& xLength, const SvgLength& yLength,
                                       std::string_view utf8) {
    const SvgRenderState& state = State();
    if (utf8.empty() || !(state.fontSize > 0) || !std::isfinite(state.fontSize))
        return SvgStatus::Success;  // nothing to show, which is no error
    // A glyph size far beyond any picture leaves the font machinery in an error state for the whole
    // process, so such text fails the picture instead.
    double dx = 1, dy = 0, ex = 0, ey = 1;
    cairo_user_to_device_distance(m_cr, &dx, &dy);
    cairo_user_to_device_distance(m_cr, &ex, &ey);
    double deviceSize = state.fontSize * std::max(std::hypot(dx, dy), std::hypot(ex, ey));
    if (!std::isfinite(deviceSize) || deviceSize > kMaxGlyphSize)
        return SvgStatus::InvalidValue;
    static constexpr cairo_font_slant_t kSlants[] = {CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_SLANT_ITALIC,
                                                     CAIRO_FONT_SLANT_OBLIQUE};
    cairo_select_font_face(m_cr, state.fontFamily.c_str(), kSlants[int(state.fontStyle)],
                           state.fontWeight >= 700 ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(m_cr, state.fontSize);
    std::string text(utf8);
    cairo_text_extents_t extents;
    cairo_text_extents(m_cr, text.c_str(), &extents);
    double shift = state.textAnchor == SvgTextAnchor::Middle ? extents.x_advance / 2
                   : state.textAnchor == SvgTextAnchor::End  ? extents.x_advance
                                                             : 0;
    cairo_move_to(m_cr, ToPixels(xLength) - shift, ToPixels(yLength));
    cairo_text_path(m_cr, text.c_str());
    return RenderPath();
}
