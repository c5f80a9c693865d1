#include "SvgMatrix.h"

#include <cmath>
#include <numbers>

#include "SvgScanner.h"

namespace {
constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;

// "(n n ...)": up to six numbers separated by blanks or commas.
bool ReadArguments(SvgScanner& scan, double* args, int& count) {
    scan.SkipBlanks();
    if (!scan.Consume("("))
        return false;
    count = 0;
    scan.SkipBlanks();
    while (!scan.Consume(")")) {
        if (count == 6 || !scan.ReadNumber(args[count]))
            return false;
        ++count;
        scan.SkipSeparator();
    }
    return true;
}

bool MakeTransform(std::string_view name, const double* v, int n, SvgMatrix& m) {
    if (name == "matrix" && n == 6)
        m = SvgMatrix{v[0], v[1], v[2], v[3], v[4], v[5]};
    else if (name == "translate" && (n == 1 || n == 2))
        m = SvgMatrix::Translate(v[0], n == 2 ? v[1] : 0);
    else if (name == "scale" && (n == 1 || n == 2))
        m = SvgMatrix::Scale(v[0], n == 2 ? v[1] : v[0]);
    else if (name == "rotate" && n == 1)
        m = SvgMatrix::Rotate(v[0]);
    else if (name == "rotate" && n == 3)
        m = SvgMatrix::Translate(v[1], v[2])
                .Then(SvgMatrix::Rotate(v[0]))
                .Then(SvgMatrix::Translate(-v[1], -v[2]));
    else if (name == "skewX" && n == 1)
        m = SvgMatrix{1, 0, std::tan(v[0] * kRadiansPerDegree), 1, 0, 0};
    else if (name == "skewY" && n == 1)
        m = SvgMatrix{1, std::tan(v[0] * kRadiansPerDegree), 0, 1, 0, 0};
    else
        return false;
    return true;
}
}  // namespace

SvgMatrix SvgMatrix::Rotate(double degrees) {
    double s = std::sin(degrees * kRadiansPerDegree), co = std::cos(degrees * kRadiansPerDegree);
    return {co, s, -s, co, 0, 0};
}

SvgMatrix SvgMatrix::Then(const SvgMatrix& m) const {
    return {a * m.a + c * m.b, b * m.a + d * m.b,     a * m.c + c * m.d,
            b * m.c + d * m.d, a * m.e + c * m.f + e, b * m.e + d * m.f + f};
}

SvgStatus SvgMatrix::Parse(std::string_view text, SvgMatrix& out) {
    static constexpr std::string_view kNames[] = {"matrix", "translate", "scale", "rotate", "skewX", "skewY"};
    SvgScanner scan(text);
    scan.SkipSeparator();
    while (!scan.AtEnd()) {
        std::string_view name;
        for (std::string_view candidate : kNames) {
            if (scan.Consume(candidate)) {
                name = candidate;
                break;
            }
        }
        double args[6] = {};
        int count = 0;
        SvgMatrix m;
        if (name.empty() || !ReadArguments(scan, args, count) || !MakeTransform(name, args, count, m))
            return SvgStatus::ParseError;
        out = out.Then(m);
        scan.SkipSeparator();
    }
    return SvgStatus::Success;
}
