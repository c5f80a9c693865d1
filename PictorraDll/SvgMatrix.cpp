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

bool MakeTransform(std::string_view name, const double* arguments, int count, SvgMatrix& matrix) {
    if (name == "matrix" && count == 6)
        matrix =
            SvgMatrix{arguments[0], arguments[1], arguments[2], arguments[3], arguments[4], arguments[5]};
    else if (name == "translate" && (count == 1 || count == 2))
        matrix = SvgMatrix::Translate(arguments[0], count == 2 ? arguments[1] : 0);
    else if (name == "scale" && (count == 1 || count == 2))
        matrix = SvgMatrix::Scale(arguments[0], count == 2 ? arguments[1] : arguments[0]);
    else if (name == "rotate" && count == 1)
        matrix = SvgMatrix::Rotate(arguments[0]);
    else if (name == "rotate" && count == 3)
        matrix = SvgMatrix::Translate(arguments[1], arguments[2])
                     .Then(SvgMatrix::Rotate(arguments[0]))
                     .Then(SvgMatrix::Translate(-arguments[1], -arguments[2]));
    else if (name == "skewX" && count == 1)
        matrix = SvgMatrix{1, 0, std::tan(arguments[0] * kRadiansPerDegree), 1, 0, 0};
    else if (name == "skewY" && count == 1)
        matrix = SvgMatrix{1, std::tan(arguments[0] * kRadiansPerDegree), 0, 1, 0, 0};
    else
        return false;
    return true;
}
}  // namespace

SvgMatrix SvgMatrix::Rotate(double degrees) {
    double sine = std::sin(degrees * kRadiansPerDegree), cosine = std::cos(degrees * kRadiansPerDegree);
    return {cosine, sine, -sine, cosine, 0, 0};
}

SvgMatrix SvgMatrix::Then(const SvgMatrix& inner) const {
    return {a * inner.a + c * inner.b, b * inner.a + d * inner.b,     a * inner.c + c * inner.d,
            b * inner.c + d * inner.d, a * inner.e + c * inner.f + e, b * inner.e + d * inner.f + f};
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
