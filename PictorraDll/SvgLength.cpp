#include "SvgLength.h"

#include "SvgScanner.h"

namespace {
struct UnitName {
    std::string_view text;
    SvgLengthUnit unit;
};
constexpr UnitName kUnits[] = {
    {"px", SvgLengthUnit::Px}, {"pt", SvgLengthUnit::Pt}, {"pc", SvgLengthUnit::Pc},
    {"in", SvgLengthUnit::In}, {"cm", SvgLengthUnit::Cm}, {"mm", SvgLengthUnit::Mm},
    {"em", SvgLengthUnit::Em}, {"ex", SvgLengthUnit::Ex}, {"%", SvgLengthUnit::Percent},
};
}  // namespace

SvgStatus SvgLength::Parse(std::string_view text, SvgOrientation orientation, SvgLength& out) {
    SvgScanner scan(text);
    scan.SkipBlanks();
    double value = 0;
    if (!scan.ReadNumber(value))
        return SvgStatus::ParseError;
    SvgLengthUnit unit = SvgLengthUnit::User;
    // Most lengths are a bare number: only text after it is looked up as a unit.
    for (const UnitName& u : kUnits) {
        if (scan.AtEnd())
            break;
        if (scan.Consume(u.text)) {
            unit = u.unit;
            break;
        }
    }
    scan.SkipBlanks();
    if (!scan.AtEnd())
        return SvgStatus::ParseError;
    out = SvgLength{value, unit, orientation};
    return SvgStatus::Success;
}
