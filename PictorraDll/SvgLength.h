// A length of the SVG text: a value, its unit, and the axis that decides the base of a percentage.
#pragma once

#include <string_view>

#include "SvgStatus.h"

enum class SvgLengthUnit { User, Px, Pt, Pc, In, Cm, Mm, Em, Ex, Percent };
enum class SvgOrientation { Horizontal, Vertical, Other };

struct SvgLength {
    double value = 0;
    SvgLengthUnit unit = SvgLengthUnit::User;
    SvgOrientation orientation = SvgOrientation::Other;

    static SvgLength User(double value, SvgOrientation orientation = SvgOrientation::Other) {
        return {value, SvgLengthUnit::User, orientation};
    }
    // A number with an optional unit; any other unit text is a parse error.
    static SvgStatus Parse(std::string_view text, SvgOrientation orientation, SvgLength& out);
};
