#include "SvgArc.h"

#include <cmath>
#include <numbers>

SvgArcCurves SvgArc::ToCurves(double x0, double y0, double rx, double ry, double rotation, bool largeArc,
                              bool sweep, double x, double y) {
    SvgArcCurves curves;
    rx = std::fabs(rx);
    ry = std::fabs(ry);
    if (rx == 0 || ry == 0 || (x == x0 && y == y0))
        return curves;

    double phi = rotation * 0.017453292519943295;
    double s = std::sin(phi), c = std::cos(phi);
    double dx = (x0 - x) / 2, dy = (y0 - y) / 2;
    double xp = c * dx + s * dy, yp = c * dy - s * dx;
    double lambda = xp * xp / (rx * rx) + yp * yp / (ry * ry);
    if (lambda > 1) {
        rx *= std::sqrt(lambda);
        ry *= std::sqrt(lambda);
    }
    // Into the space where the ellipse is the unit circle.
    double a00 = c / rx, a01 = s / rx, a10 = -s / ry, a11 = c / ry;
    double p0x = a00 * x0 + a01 * y0, p0y = a10 * x0 + a11 * y0;
    double p1x = a00 * x + a01 * y, p1y = a10 * x + a11 * y;
    double d = (p1x - p0x) * (p1x - p0x) + (p1y - p0y) * (p1y - p0y);
    if (!(d > 0) || !std::isfinite(d))
        return curves;
    double f2 = 1 / d - 0.25;
    double f = std::sqrt(f2 < 0 ? 0 : f2);
    if (largeArc == sweep)
        f = -f;
    double cx = (p0x + p1x) / 2 - f * (p1y - p0y);
    double cy = (p0y + p1y) / 2 + f * (p1x - p0x);
    double theta0 = std::atan2(p0y - cy, p0x - cx);
    double theta1 = std::atan2(p1y - cy, p1x - cx);
    double delta = theta1 - theta0;
    if (delta < 0 && sweep)
        delta += 2 * std::numbers::pi;
    else if (delta > 0 && !sweep)
        delta -= 2 * std::numbers::pi;
    if (!std::isfinite(delta))
        return curves;

    // 1 / (pi/2 + 0.001): a quarter turn is one curve.
    // |delta| <= 2 pi, so n <= kMaxCurves.
    int n = int(std::ceil(std::fabs(delta * 0.6362147454811363)));
    auto ux = [&](double unitX, double unitY) { return c * rx * unitX - s * ry * unitY; };
    auto uy = [&](double unitX, double unitY) { return s * rx * unitX + c * ry * unitY; };
    // Each segment starts at the angle where the one before ended (the same expression, so the same
    // value): its sine and cosine are taken over, and each angle's are computed once.
    double ta = theta0 + (0 * delta) / n;
    double sinA = std::sin(ta), cosA = std::cos(ta);
    for (int i = 0; i < n && curves.size() < SvgArcCurves::kMaxCurves; ++i) {
        double tb = theta0 + ((i + 1) * delta) / n;
        double sinB = std::sin(tb), cosB = std::cos(tb);
        double h = (tb - ta) / 2;
        double sinQuarter = std::sin(h / 2);
        double t = sinQuarter / std::sin(h) * sinQuarter * 8 / 3;
        double q1x = cx + cosA - t * sinA, q1y = cy + sinA + t * cosA;
        double q3x = cx + cosB, q3y = cy + sinB;
        double q2x = q3x + t * sinB, q2y = q3y - t * cosB;
        curves.Add({ux(q1x, q1y), uy(q1x, q1y), ux(q2x, q2y), uy(q2x, q2y), ux(q3x, q3y), uy(q3x, q3y)});
        ta = tb, sinA = sinB, cosA = cosB;
    }
    return curves;
}
