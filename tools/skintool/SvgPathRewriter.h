// Path data in the form Pictorra reads it the way browsers do: further coordinate pairs after a
// move are lines in SVG, but moves in Pictorra, so the lines are made explicit.
#pragma once

#include <string>
#include <string_view>

class SvgPathRewriter {
public:
    // "M1 2 3 4" gives "M1 2 L 3 4", "m1,2,3,4 5,6" gives "m1,2 l 3,4 5,6"; everything else stays.
    static std::string MakeLinesExplicit(std::string_view pathData);
};
