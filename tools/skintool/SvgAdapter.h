// Turns an SVG picture drawn for browsers into one that Pictorra draws as it was meant to look:
// animation, clipping, masks, filters and foreign markup are dropped, style sheets and style
// attributes become presentation attributes, path data says its lines after a move, and the root gets
// a pixel size from its view box.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class SvgAdapter {
public:
    struct Result {
        std::string svg;
        int width = 0;
        int height = 0;
        // What was left out or changed, one note each ("element clipPath", "attribute clip-path").
        std::vector<std::string> notes;
    };

    // False with the reason in error when the text is not a well-formed SVG document, has no usable
    // size, or when the adapted picture does not render through Pictorra.
    static bool Adapt(std::string_view source, Result& result, std::string& error);
};
