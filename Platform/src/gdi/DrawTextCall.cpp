// DrawTextW: a text laid out in a rectangle by the platform's format flags, drawn or (DT_CALCRECT)
// measured.
#include "gdi/TextLayout.h"
#include "gdi/TextPainter.h"

using namespace ce::gdi;

namespace {

int LineX(const RECT& rect, const LaidOutLine& line, UINT format) {
    if (format & DT_CENTER) {
        return rect.left + (rect.right - rect.left - line.width) / 2;
    }
    if (format & DT_RIGHT) {
        return rect.right - line.width;
    }
    return rect.left;
}

// Where the first line's cell starts; vertical alignment applies to single lines only.
int FirstLineTop(const RECT& rect, const TextLayout& layout, UINT format) {
    if (!(format & DT_SINGLELINE)) {
        return rect.top;
    }
    if (format & DT_VCENTER) {
        return rect.top + (rect.bottom - rect.top - layout.LineHeight()) / 2;
    }
    if (format & DT_BOTTOM) {
        return rect.bottom - layout.LineHeight();
    }
    return rect.top;
}

}  // namespace

extern "C" int DrawTextW(HDC hdc, LPCWSTR text, int count, LPRECT rect, UINT format) {
    GdiGuard guard(GdiLock());
    auto dc = LookupDC(hdc);
    if (!dc || !rect || (count != 0 && !text)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::u16string_view view = count < 0 ? std::u16string_view(text) : std::u16string_view(text, count > 0 ? count : 0);
    TextLayout layout(SelectedFont(*dc).Instance(), view, format, rect->right - rect->left);
    int top = FirstLineTop(*rect, layout, format);
    int bottomOfText = top + layout.Height() - rect->top;
    if (format & DT_CALCRECT) {
        rect->right = rect->left + layout.Width();
        rect->bottom = rect->top + layout.Height();
        return layout.Height();
    }
    if (!dc->bitmap) {
        return 0;
    }
    const RECT* clip = (format & DT_NOCLIP) ? nullptr : rect;
    for (const LaidOutLine& line : layout.Lines()) {
        TextLine painted{line.text, LineX(*rect, line, format), top, line.advances.data(), line.underlinedIndex,
                           rect};
        PaintTextLine(*dc, painted, clip, dc->bkMode == OPAQUE);
        top += layout.LineHeight();
    }
    return (format & (DT_VCENTER | DT_BOTTOM)) && (format & DT_SINGLELINE) ? bottomOfText : layout.Height();
}
