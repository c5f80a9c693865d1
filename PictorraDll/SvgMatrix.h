// A 2 x 3 affine matrix in the SVG order (a b c d e f): x' = a x + c y + e, y' = b x + d y + f.
#pragma once

#include <string_view>

#include "SvgStatus.h"

struct SvgMatrix {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;

    static SvgMatrix Translate(double x, double y) { return {1, 0, 0, 1, x, y}; }
    static SvgMatrix Scale(double horizontal, double vertical) { return {horizontal, 0, 0, vertical, 0, 0}; }
    static SvgMatrix Rotate(double degrees);

    // This matrix with `inner` applied first: (this . inner)(p) = this(inner(p)).
    SvgMatrix Then(const SvgMatrix& inner) const;
    bool IsIdentity() const { return a == 1 && b == 0 && c == 0 && d == 1 && e == 0 && f == 0; }

    // A transform list ("translate(10) rotate(45 5 5) ..."), applied left to right onto `out`.
    static SvgStatus Parse(std::string_view text, SvgMatrix& out);
};
