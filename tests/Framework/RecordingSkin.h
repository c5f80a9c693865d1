// A skin for the control tests: paints each part in a flat colour of its own, so that pixel checks can
// find it, writes down what it was asked to draw, and is the process's skin while it lives.
#pragma once

#include <cstdlib>
#include <vector>

#include "UserInterface/IDlgControlImages.h"

namespace framework::test {

// Colours compared with room for the 5-6-5 surfaces.
inline bool NearColor(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= 8 && std::abs(GetGValue(a) - GetGValue(b)) <= 8 &&
           std::abs(GetBValue(a) - GetBValue(b)) <= 8;
}

class RecordingSkin : public UserInterface::IDlgControlImages {
public:
    static constexpr COLORREF kChecked = RGB(0, 160, 0);
    static constexpr COLORREF kUnchecked = RGB(160, 0, 0);
    static constexpr COLORREF kBarFrame = RGB(0, 0, 120);
    static constexpr COLORREF kBarDone = RGB(0, 200, 0);
    static constexpr COLORREF kBarRest = RGB(200, 200, 200);
    static constexpr COLORREF kTrack = RGB(200, 200, 200);
    static constexpr COLORREF kThumb = RGB(0, 0, 200);
    static constexpr COLORREF kSeparator = RGB(200, 0, 200);
    static constexpr COLORREF kListSelection = RGB(0, 200, 200);
    static constexpr COLORREF kRowSeparator = RGB(120, 60, 0);
    static constexpr COLORREF kComboPressed = RGB(200, 100, 0);
    static constexpr COLORREF kComboNormal = RGB(0, 100, 200);
    static constexpr int kSquare = 16;
    static constexpr int kComboButton = 12;

    struct Call {
        RECT rect;
        int value;  // checked state or percent; 0 for the other parts
    };

    RecordingSkin() { UserInterface::g_pDlgControlImages = this; }
    ~RecordingSkin() override { UserInterface::g_pDlgControlImages = nullptr; }
    RecordingSkin(const RecordingSkin&) = delete;
    RecordingSkin& operator=(const RecordingSkin&) = delete;

    BOOL DrawCheckBox(BOOL checked, HDC dc, const RECT* rect) override {
        checkBoxes.push_back({*rect, checked});
        return Fill(dc, *rect, checked ? kChecked : kUnchecked);
    }
    BOOL GetCheckBoxSize(SIZE* size, BOOL) override {
        *size = SIZE{kSquare, kSquare};
        return TRUE;
    }
    // A frame, and inside it, 4 pixels in from the sides and 1 from top and bottom, the done part.
    BOOL DrawProgressBar(HDC dc, const RECT* rect, int percent) override {
        progress.push_back({*rect, percent});
        Fill(dc, *rect, kBarFrame);
        RECT inner{rect->left + 4, rect->top + 1, rect->right - 4, rect->bottom - 1};
        const LONG split = inner.left + (inner.right - inner.left) * percent / 100;
        Fill(dc, RECT{inner.left, inner.top, split, inner.bottom}, kBarDone);
        return Fill(dc, RECT{split, inner.top, inner.right, inner.bottom}, kBarRest);
    }
    BOOL DrawScrollTrack(HDC dc, const RECT* rect) override {
        tracks.push_back({*rect, 0});
        return Fill(dc, *rect, kTrack);
    }
    BOOL DrawScrollThumb(HDC dc, const RECT* rect) override {
        thumbs.push_back({*rect, 0});
        return Fill(dc, *rect, kThumb);
    }
    int GetScrollThumbLength() override { return thumbLength; }
    BOOL DrawListSelection(HDC dc, const RECT* rect) override {
        listSelections.push_back({*rect, 0});
        return Fill(dc, *rect, kListSelection);
    }
    BOOL DrawRowSeparator(HDC dc, const RECT* rect) override {
        rowSeparators.push_back({*rect, 0});
        return Fill(dc, *rect, kRowSeparator);
    }
    // value: the button state, 1 and 3 pressed, 2 and 4 normal.
    BOOL DrawComboButton(int state, HDC dc, const RECT* rect) override {
        comboButtons.push_back({*rect, state});
        return Fill(dc, *rect, state == 1 || state == 3 ? kComboPressed : kComboNormal);
    }
    BOOL GetComboButtonSize(int, SIZE* size) override {
        *size = SIZE{kComboButton, kComboButton};
        return TRUE;
    }
    BOOL DrawSeparator(HDC dc, const RECT* rect) override {
        separators.push_back({*rect, 0});
        return Fill(dc, *rect, kSeparator);
    }

    std::vector<Call> checkBoxes;
    std::vector<Call> progress;
    std::vector<Call> tracks;
    std::vector<Call> thumbs;
    std::vector<Call> separators;
    std::vector<Call> listSelections;
    std::vector<Call> rowSeparators;
    std::vector<Call> comboButtons;
    int thumbLength = 30;

private:
    static BOOL Fill(HDC dc, const RECT& rect, COLORREF color) {
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(dc, &rect, brush);
        DeleteObject(brush);
        return TRUE;
    }
};

}  // namespace framework::test
