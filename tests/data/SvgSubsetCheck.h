// Checks that an SVG picture stays inside what the sprite library draws faithfully. The library keeps
// a picture whose attribute or path data it cannot read and draws it without the faulty part, and its
// path reader turns the extra coordinate pairs after a move into further moves, not lines; so a
// picture that merely renders may still have lost pieces. This check is strict where the library
// is lenient.
#pragma once

#include <string>
#include <vector>

class SvgSubsetCheck {
public:
    // One line for each problem found; empty for a clean picture.
    static std::vector<std::string> Check(const std::string& svgText);
};
