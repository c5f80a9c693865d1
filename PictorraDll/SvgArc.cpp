#include "SvgArc.h"

#include <cmath>
#include <numbers>

std::vector<SvgCubic> SvgArc::ToCurves(double x0, double y0, double rx, double ry, double rotation, bool largeArc,
                                       bool sweep, double x, double y)
{
    std::vector<SvgCubic> curves;
    rx = std::fabs(rx);
    ry = std::fabs(ry);
    if (rx == 0 || ry == 0 || (x == x0 && y == y0)) return curves;

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
    if (!(d > 0) || !std::isfinite(d)) return curves;
    double f2 = 1 / d - 0.25;
    double f = std::sqrt(f2 < 0 ? 0 : f2);
    if (largeArc == sweep) f = -f;
    double cx = (p0x + p1x) / 2 - f * (p1y - p0y);
    double cy = (p0y + p1y) / 2 + f * (p1x - p0x);
    double theta0 = std::atan2(p0y - cy, p0x - cx);
    double theta1 = std::atan2(p1y - cy, p1x - cx);
    double delta = theta1 - theta0;
    if (delta < 0 && sweep) delta += 2 * std::numbers::pi;
    else if (delta > 0 && !sweep) delta -= 2 * std::numbers::pi;
    if (!std::isfinite(delta)) return curves;

    // 1 / (pi/2 + 0.001): a quarter turn is one curve.
    int n = int(std::ceil(std::fabs(delta * 0.6362147454811363)));
    auto ux = [&](double X, double Y) { return c * rx * X - s * ry * Y; };
    auto uy = [&](double X, double Y) { return s * rx * X + c * ry * Y; };
    for (int i = 0; i < n; ++i) {
        double ta = theta0 + (i * delta) / n, tb = theta0 + ((i + 1) * delta) / n;
        double h = (tb - ta) / 2;
        double t = std::sin(h / 2) / std::sin(h) * std::sin(h / 2) * 8 / 3;
        double q1x = cx + std::cos(ta) - t * std::sin(ta), q1y = cy + std::sin(ta) + t * std::cos(ta);
        double q3x = cx + std::cos(tb), q3y = cy + std::sin(tb);
        double q2x = q3x + t * std::sin(tb), q2y = q3y - t * std::cos(tb);
        curves.push_back({ux(q1x, q1y), uy(q1x, q1y), ux(q2x, q2y), uy(q2x, q2y), ux(q3x, q3y), uy(q3x, q3y)});
    }
    return curves;
}
