// The data of a linear or radial gradient element, which a paint refers to.
#pragma once

#include <cstdint>
#include <vector>

#include "SvgLength.h"
#include "SvgMatrix.h"

enum class SvgGradientType { Linear, Radial };
enum class SvgPaintUnits { ObjectBoundingBox, UserSpaceOnUse };
enum class SvgSpread { Pad, Reflect, Repeat };

struct SvgGradientStop {
    double offset = 0;
    uint32_t rgb = 0;
    double opacity = 1;
};

struct SvgGradient {
    SvgGradientType type = SvgGradientType::Linear;
    SvgLength x1, y1, x2, y2;     // linear
    SvgLength cx, cy, r, fx, fy;  // radial
    SvgPaintUnits units = SvgPaintUnits::ObjectBoundingBox;
    SvgSpread spread = SvgSpread::Pad;
    SvgMatrix transform;
    std::vector<SvgGradientStop> stops;
};
