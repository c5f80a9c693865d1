#include "SvgElement.h"

#include "SvgRenderEngine.h"

SvgStatus SvgElement::Render(SvgRenderEngine& engine, SvgWalk& walk) const {
    return RenderFrom(engine, walk, false);
}

SvgStatus SvgElement::RenderFrom(SvgRenderEngine& engine, SvgWalk& walk, bool throughUse) const {
    if (!style.IsDisplayed())
        return SvgStatus::InvalidValue;
    if (++walk.visits > SvgWalk::kMaxVisits || walk.depth >= SvgWalk::kMaxDepth)
        return SvgStatus::InvalidValue;
    ++walk.depth;

    double opacity = style.GroupOpacity();
    SvgStatus begin = IsGroup() ? engine.BeginGroup(opacity) : engine.BeginElement();
    if (Failed(begin)) {
        --walk.depth;
        return begin;
    }
    m_walking = true;
    SvgStatus drawn = Setup(engine);
    if (!Failed(drawn))
        drawn = Draw(engine, walk, throughUse);
    m_walking = false;
    SvgStatus end = IsGroup() ? engine.EndGroup(opacity) : engine.EndElement();
    --walk.depth;
    return Failed(drawn) ? drawn : end;
}

SvgStatus SvgElement::Setup(SvgRenderEngine& engine) const {
    if (kind == SvgElementKind::Svg) {
        if (SvgStatus status = engine.SetViewportDimension(width, height); Failed(status))
            return status;
        if (hasViewBox) {
            if (SvgStatus status = engine.ApplyViewBox(viewBox, aspect, width, height); Failed(status))
                return status;
        }
    }
    SvgMatrix matrix = transform;
    if (kind == SvgElementKind::Svg || kind == SvgElementKind::Use)
        matrix = matrix.Then(SvgMatrix::Translate(engine.ToPixels(x), engine.ToPixels(y)));
    if (!matrix.IsIdentity()) {
        if (SvgStatus status = engine.Transform(matrix); Failed(status))
            return status;
    }
    // The opacity of svg and g acts through their group only, not a second time on each shape.
    return style.ApplyTo(engine, !IsGroup());
}

SvgStatus SvgElement::DrawChildren(SvgRenderEngine& engine, SvgWalk& walk) const {
    // A failed child does not stop its siblings: all are drawn, and the group returns the first failure.
    SvgStatus first = SvgStatus::Success;
    for (const auto& child : children) {
        SvgStatus status = child->Render(engine, walk);
        if (Failed(status) && !Failed(first))
            first = status;
    }
    return first;
}

SvgStatus SvgElement::Draw(SvgRenderEngine& engine, SvgWalk& walk, bool throughUse) const {
    if (!IsGroup() && kind != SvgElementKind::Use && !style.IsVisible())
        return SvgStatus::InvalidValue;
    switch (kind) {
        case SvgElementKind::Svg:
        case SvgElementKind::Group:
            return DrawChildren(engine, walk);
        case SvgElementKind::Symbol:
            return throughUse ? DrawChildren(engine, walk) : SvgStatus::Success;
        case SvgElementKind::Use:
            // An unresolved target, or one that is being drawn (the use sits inside it), fails the picture
            // instead of recursing.
            if (!reference || reference->m_walking)
                return SvgStatus::ParseError;
            return reference->RenderFrom(engine, walk, true);
        case SvgElementKind::Path:
            return path.Replay(engine);
        case SvgElementKind::Circle:
        case SvgElementKind::Ellipse:
            if (rx.value <= 0 || ry.value <= 0)
                return SvgStatus::Success;
            return engine.RenderEllipse(cx, cy, rx, ry);
        case SvgElementKind::Line:
            return engine.RenderLine(x1, y1, x2, y2);
        case SvgElementKind::Rect:
            // A rect without width or height draws nothing, not even its stroke.
            if (width.value == 0 || height.value == 0)
                return SvgStatus::Success;
            return engine.RenderRect(x, y, width, height, rx, ry);
        case SvgElementKind::Text:
            return engine.RenderText(x, y, text);
        case SvgElementKind::Image:
            // Image elements carry no pixels: one that would show something cannot be drawn.
            if (width.value == 0 || height.value == 0)
                return SvgStatus::Success;
            return SvgStatus::InvalidCall;
        case SvgElementKind::Defs:
        case SvgElementKind::Gradient:
        case SvgElementKind::Stop:
        case SvgElementKind::Pattern:
            return SvgStatus::Success;
    }
    return SvgStatus::Success;
}
