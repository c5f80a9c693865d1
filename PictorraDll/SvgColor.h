// A colour value: 0xRRGGBB, or "the current colour" to be taken from the color property at draw time.
#pragma once

#include <cstdint>
#include <string_view>

#include "SvgStatus.h"

struct SvgColor {
    uint32_t rgb = 0;
    bool isCurrentColor = false;

    // "currentColor", "#rgb", "#rrggbb", "rgb(r, g, b)" or a keyword; an unknown keyword is black.
    static SvgStatus Parse(std::string_view text, SvgColor& out);
};
