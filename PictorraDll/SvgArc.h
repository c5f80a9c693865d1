// The elliptical arc of path data as cubic curves (at most a quarter turn each).
#pragma once

#include <vector>

struct SvgCubic {
    double x1, y1, x2, y2, x, y;
};

class SvgArc {
public:
    // The curves from (x0, y0) to (x, y); none when both points are the same. Both radii must be
    // non-zero (a zero radius is a straight line, which the caller draws). Radii too small to join the
    // points grow until they do.
    static std::vector<SvgCubic> ToCurves(double x0, double y0, double rx, double ry, double rotation, bool largeArc,
                                          bool sweep, double x, double y);
};
