// A font made ready to measure and draw: the DejaVu face that stands in for the asked one, at the
// pixel size that the LOGFONTW's height rule gives, with whole-pixel advances (hinted metrics) so that
// measuring and drawing agree to the pixel.
#pragma once

#include <cairo.h>

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "ce/gdi.h"

namespace ce::gdi {

struct FontMetrics {
    int em = 0;  // character height: the height the size was asked in when lfHeight < 0
    int ascent = 0;
    int descent = 0;
    int height = 0;  // cell height: ascent + descent, the height asked when lfHeight > 0
    int internalLeading = 0;
    int averageCharWidth = 0;
    int maxCharWidth = 0;
    int underlinePosition = 0;  // below the baseline
    int lineThickness = 1;
};

class FontInstance {
public:
    // The shared instance for a font description (instances are kept for the life of the process).
    static std::shared_ptr<FontInstance> For(const LOGFONTW& logFont);
    // The font file that draws a description: DejaVu Sans (or Sans Mono), bold and oblique as asked.
    static std::string FilePathFor(const LOGFONTW& logFont);

    FontInstance(cairo_font_face_t* face, const LOGFONTW& logFont, int dpi);
    ~FontInstance();
    FontInstance(const FontInstance&) = delete;
    FontInstance& operator=(const FontInstance&) = delete;

    const FontMetrics& Metrics() const { return metrics_; }
    const LOGFONTW& LogFont() const { return logFont_; }
    cairo_scaled_font_t* Scaled() const { return scaled_; }

    // The advance of one UTF-16 unit in whole pixels: a surrogate pair's first unit carries the
    // character's advance and its second none; control characters have none.
    std::vector<int> Advances(std::u16string_view text);
    int Width(std::u16string_view text);
    // One glyph for every drawable character, at x positions from the advances (dx overrides them).
    std::vector<cairo_glyph_t> Glyphs(std::u16string_view text, double x, double baseline, const INT* dx);

private:
    struct Glyph {
        unsigned long index;
        int advance;
    };
    const Glyph& GlyphFor(char32_t c);

    LOGFONTW logFont_;
    FontMetrics metrics_;
    cairo_scaled_font_t* scaled_ = nullptr;
    std::unordered_map<char32_t, Glyph> glyphs_;
};

}  // namespace ce::gdi
