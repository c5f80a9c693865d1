// Text turned a quarter turn: the background is turned, the text drawn level, and the result turned back.
#include "CBitmapDC.h"
#include "CDibView.h"
#include "DrawingHelpers.h"
#include "RectHelpers.h"

namespace {

// Picture (w x h) -> turned (h x w): the picture's row y, column x goes to row w - 1 - x, column y.
void TurnLeft(const CDibView& picture, const CDibView& turned) {
    const int w = picture.Width(), h = picture.Height();
    for (int y = 0; y < h; ++y) {
        const uint16_t* row = picture.Row16(y);
        for (int x = 0; x < w; ++x) {
            turned.Row16(w - 1 - x)[y] = row[x];
        }
    }
}

void TurnBack(const CDibView& turned, const CDibView& picture) {
    const int w = picture.Width(), h = picture.Height();
    for (int y = 0; y < h; ++y) {
        uint16_t* row = picture.Row16(y);
        for (int x = 0; x < w; ++x) {
            row[x] = turned.Row16(w - 1 - x)[y];
        }
    }
}

bool DrawLevelText(HDC source, HDC dc, LPCWSTR text, int length, int width, int height) {
    HGDIOBJ oldFont = SelectObject(dc, GetCurrentObject(source, OBJ_FONT));
    SetTextColor(dc, GetTextColor(source));
    SetBkMode(dc, TRANSPARENT);
    SIZE extent{};
    bool drawn = GetTextExtentPoint32W(dc, text, length, &extent) &&
                 ExtTextOutW(dc, (width - extent.cx) / 2, (height - extent.cy) / 2, 0, nullptr, text,
                             static_cast<UINT>(length), nullptr);
    SelectObject(dc, oldFont);
    return drawn;
}

}  // namespace

bool DrawRotatedText(HDC hdc, LPCWSTR text, int length, const RECT* rect) {
    if (hdc == nullptr || text == nullptr || rect == nullptr) {
        return false;
    }
    if (length < 0) {
        length = lstrlenW(text);
    }
    const int w = RectWidth(*rect), h = RectHeight(*rect);
    if (w <= 0 || h <= 0) {
        return true;
    }
    CBitmapDC picture, turned;
    if (!picture.Create(w, h, 16) || !turned.Create(h, w, 16) ||
        !BitBlt(picture.DC(), 0, 0, w, h, hdc, rect->left, rect->top, SRCCOPY)) {
        return false;
    }
    const CDibView pictureView(picture.Bitmap()), turnedView(turned.Bitmap());
    TurnLeft(pictureView, turnedView);
    if (!DrawLevelText(hdc, turned.DC(), text, length, h, w)) {
        return false;
    }
    GdiFlush();
    TurnBack(turnedView, pictureView);
    return BitBlt(hdc, rect->left, rect->top, w, h, picture.DC(), 0, 0, SRCCOPY) != FALSE;
}
