#include "gdi/TextLayout.h"

namespace ce::gdi {
namespace {

constexpr std::u16string_view kEllipsis = u"...";

bool IsSpace(char16_t c) { return c == u' '; }

}  // namespace

TextLayout::TextLayout(FontInstance& font, std::u16string_view text, UINT format, int width)
    : font_(font),
      format_(format),
      width_(width),
      lineHeight_(font.Metrics().height),
      tabWidth_(8 * std::max(1, font.Metrics().averageCharWidth)) {
    Marked marked = TakeOutPrefixes(text, (format & DT_NOPREFIX) != 0);
    if (marked.text.empty()) {
        return;
    }
    if (format & DT_SINGLELINE) {
        AddLine(marked, 0, marked.text.size());
        return;
    }
    size_t begin = 0;
    for (size_t i = 0; i <= marked.text.size(); ++i) {
        if (i == marked.text.size() || marked.text[i] == u'\n' || marked.text[i] == u'\r') {
            AddParagraph(marked, begin, i);
            if (i + 1 < marked.text.size() && marked.text[i] == u'\r' && marked.text[i + 1] == u'\n') {
                ++i;
            }
            begin = i + 1;
        }
    }
}

int TextLayout::Width() const {
    int widest = 0;
    for (const LaidOutLine& line : lines_) {
        widest = std::max(widest, line.width);
    }
    return widest;
}

TextLayout::Marked TextLayout::TakeOutPrefixes(std::u16string_view text, bool keepAmpersands) {
    Marked marked;
    for (size_t i = 0; i < text.size(); ++i) {
        if (!keepAmpersands && text[i] == u'&') {
            if (i + 1 == text.size()) {
                break;
            }
            ++i;
            // "&&" stands for one "&"; any other "&x" underlines the x.
            marked.underlined.push_back(text[i] != u'&');
            marked.text.push_back(text[i]);
            continue;
        }
        marked.underlined.push_back(false);
        marked.text.push_back(text[i]);
    }
    return marked;
}

std::vector<INT> TextLayout::AdvancesOf(std::u16string_view text) const {
    std::vector<int> glyphAdvances = font_.Advances(text);
    std::vector<INT> advances(glyphAdvances.begin(), glyphAdvances.end());
    if (format_ & DT_EXPANDTABS) {
        int x = 0;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == u'\t') {
                advances[i] = tabWidth_ - x % tabWidth_;
            }
            x += advances[i];
        }
    }
    return advances;
}

int TextLayout::WidthOf(std::u16string_view text) const {
    int width = 0;
    for (INT advance : AdvancesOf(text)) {
        width += advance;
    }
    return width;
}

void TextLayout::AddParagraph(const Marked& marked, size_t begin, size_t end) {
    if (!(format_ & DT_WORDBREAK)) {
        AddLine(marked, begin, end);
        return;
    }
    std::u16string_view text(marked.text);
    size_t lineStart = begin;
    do {
        // Take whole words (each with the spaces after it) while the line, without its trailing
        // spaces, still fits; a word too long for any line stands on a line of its own.
        size_t lineEnd = lineStart;
        size_t position = lineStart;
        while (position < end) {
            size_t wordEnd = position;
            while (wordEnd < end && IsSpace(text[wordEnd])) ++wordEnd;  // spaces that open the line
            while (wordEnd < end && !IsSpace(text[wordEnd])) ++wordEnd;
            size_t nextWord = wordEnd;
            while (nextWord < end && IsSpace(text[nextWord])) ++nextWord;
            bool fits = WidthOf(text.substr(lineStart, wordEnd - lineStart)) <= width_;
            if (!fits && lineEnd > lineStart) {
                break;
            }
            lineEnd = position = nextWord;
            if (!fits) {
                break;
            }
        }
        AddLine(marked, lineStart, lineEnd);
        lineStart = lineEnd;
    } while (lineStart < end);
}

void TextLayout::AddLine(const Marked& marked, size_t begin, size_t end) {
    size_t visibleEnd = end;
    if (format_ & DT_WORDBREAK) {
        while (visibleEnd > begin && IsSpace(marked.text[visibleEnd - 1])) --visibleEnd;
    }
    LaidOutLine line;
    line.text = marked.text.substr(begin, visibleEnd - begin);
    for (size_t i = begin; i < visibleEnd; ++i) {
        if (marked.underlined[i]) {
            line.underlinedIndex = static_cast<int>(i - begin);
        }
    }
    line.advances = AdvancesOf(line.text);
    for (INT advance : line.advances) line.width += advance;
    if ((format_ & DT_END_ELLIPSIS) && line.width > width_) {
        CutWithEllipsis(line);
    }
    lines_.push_back(std::move(line));
}

void TextLayout::CutWithEllipsis(LaidOutLine& line) const {
    int room = width_ - WidthOf(kEllipsis);
    size_t keep = 0;
    int width = 0;
    while (keep < line.text.size() && width + line.advances[keep] <= room) {
        width += line.advances[keep++];
    }
    if (keep > 0 && line.text[keep - 1] >= 0xD800 && line.text[keep - 1] < 0xDC00) {
        --keep;  // never split a surrogate pair
    }
    line.text = line.text.substr(0, keep) + std::u16string(kEllipsis);
    if (line.underlinedIndex >= static_cast<int>(keep)) {
        line.underlinedIndex = -1;
    }
    line.advances = AdvancesOf(line.text);
    line.width = 0;
    for (INT advance : line.advances) line.width += advance;
}

}  // namespace ce::gdi
