// The lines that DrawTextW makes of a text: prefixes taken out, tabs expanded, paragraphs split,
// words wrapped and lines cut with "..." by its format flags. Measuring (DT_CALCRECT) and drawing use
// the same layout, so a rectangle measured is exactly the one the text fills.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "gdi/FontInstance.h"

namespace ce::gdi {

struct LaidOutLine {
    std::u16string text;
    std::vector<INT> advances;  // per UTF-16 unit, tabs expanded
    int width = 0;
    int underlinedIndex = -1;
};

class TextLayout {
public:
    // width: the rectangle's width, for wrapping and "..." cutting.
    TextLayout(FontInstance& font, std::u16string_view text, UINT format, int width);

    const std::vector<LaidOutLine>& Lines() const { return lines_; }
    int Width() const;
    int Height() const { return static_cast<int>(lines_.size()) * lineHeight_; }
    int LineHeight() const { return lineHeight_; }

private:
    struct Marked {
        std::u16string text;
        std::vector<bool> underlined;
    };
    static Marked TakeOutPrefixes(std::u16string_view text, bool keepAmpersands);
    std::vector<INT> AdvancesOf(std::u16string_view text) const;
    int WidthOf(std::u16string_view text) const;
    void AddParagraph(const Marked& marked, size_t begin, size_t end);
    void AddLine(const Marked& marked, size_t begin, size_t end);
    void CutWithEllipsis(LaidOutLine& line) const;

    FontInstance& font_;
    UINT format_;
    int width_;
    int lineHeight_;
    int tabWidth_;
    std::vector<LaidOutLine> lines_;
};

}  // namespace ce::gdi
