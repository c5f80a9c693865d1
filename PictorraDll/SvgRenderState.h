// What one level of the walk passes down: inherited style values, the viewport, and the group surface
// that this level draws into instead of its parent's target.
#pragma once

#include <cairo.h>

#include <string>
#include <vector>

#include "SvgStyleValues.h"

struct SvgRenderState {
    cairo_surface_t* groupSurface = nullptr;  // owned; set while a group with opacity is open above
    cairo_t* replacedContext = nullptr;       // the context that the group's context stands in for

    SvgColor color;
    SvgPaint fill = SvgPaint::Color(0);
    SvgPaint stroke;
    std::string fontFamily = "verdana";
    double fontSize = 10;
    SvgFontStyle fontStyle = SvgFontStyle::Normal;
    int fontWeight = 400;
    double fillOpacity = 1;
    double strokeOpacity = 1;
    double opacity = 1;
    std::vector<double> dashes;
    double dashOffset = 0;
    SvgTextAnchor textAnchor = SvgTextAnchor::Start;
    double viewportWidth = 0;
    double viewportHeight = 0;
    bool boundingBox = false;
    bool drawsNothing = false;  // set by a transform that flattens this level (and what it holds) to nothing

    // A pushed level inherits everything but the group of the level below.
    SvgRenderState Inherit() const {
        SvgRenderState s = *this;
        s.groupSurface = nullptr;
        s.replacedContext = nullptr;
        return s;
    }
};
