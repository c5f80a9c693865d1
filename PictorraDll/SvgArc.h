// The elliptical arc of path data as cubic curves (at most a quarter turn each).
#pragma once

#include <array>
#include <cstddef>

struct SvgCubic {
    double x1, y1, x2, y2, x, y;
};

// The curves of one arc: a turn of at most a full circle gives at most four, so they live on the stack
// and drawing an arc allocates nothing.
class SvgArcCurves {
public:
    static constexpr size_t kMaxCurves = 4;

    void Add(const SvgCubic& curve) { m_curves[m_count++] = curve; }
    size_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }
    const SvgCubic& operator[](size_t index) const { return m_curves[index]; }
    const SvgCubic* begin() const { return m_curves.data(); }
    const SvgCubic* end() const { return m_curves.data() + m_count; }

private:
    std::array<SvgCubic, kMaxCurves> m_curves{};
    size_t m_count = 0;
};

class SvgArc {
public:
    // The curves from (x0, y0) to (x, y); none when both points are the same. Both radii must be
    // non-zero (a zero radius is a straight line, which the caller draws). Radii too small to join the
    // points grow until they do.
    static SvgArcCurves ToCurves(double x0, double y0, double rx, double ry, double rotation, bool largeArc,
                                 bool sweep, double x, double y);
};
