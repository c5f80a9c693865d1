// A plain windowless control for the layout and dialog tests: a coloured box of a fixed size that
// records the framework messages it gets.
#pragma once

#include <vector>

#include "UserInterface/CDlgControl.h"

namespace framework::test {

class RecordingControl : public UserInterface::CDlgControl {
public:
    static constexpr DWORD kShown = kVisible;

    RecordingControl(int id, int width, int height, DWORD flags = kShown, COLORREF color = RGB(40, 120, 200))
        : m_color(color) {
        Create(id, flags, width, height);
    }

    std::vector<UINT> messages;
    // The points of the pointer messages, in the control's own coordinates.
    std::vector<POINT> points;
    bool takesFocus = true;
    UINT handledKey = 0;  // a key that the control uses itself
    int draws = 0;

    BOOL CanFocus() override { return takesFocus; }
    int GetPreferredWidth() override { return 50; }
    int GetPreferredHeight() override { return 20; }

    // The messages among those given, in order.
    std::vector<UINT> Only(std::initializer_list<UINT> keep) const {
        std::vector<UINT> out;
        for (UINT message : messages) {
            if (std::find(keep.begin(), keep.end(), message) != keep.end()) {
                out.push_back(message);
            }
        }
        return out;
    }

protected:
    void OnPaint(HDC dc, const RECT* inner) override {
        HBRUSH brush = CreateSolidBrush(m_color);
        FillRect(dc, inner, brush);
        DeleteObject(brush);
    }
    LRESULT OnDrawAt(HDC dc, const RECT* clip) override {
        ++draws;
        return CDlgControl::OnDrawAt(dc, clip);
    }
    LRESULT OnSetFocus() override { return Record(kMsgSetFocus, 0); }
    LRESULT OnKillFocus() override { return Record(kMsgKillFocus, 0); }
    LRESULT OnKey(UINT key, BOOL down) override {
        Record(down ? kMsgKeyDown : kMsgKeyUp, 0);
        return key == handledKey && handledKey != 0;
    }
    LRESULT OnPointer(const POINT* point, int mode) override {
        static constexpr UINT kByMode[] = {kMsgPointerMove, kMsgPointerDown, kMsgPointerUp, kMsgPointerCancel};
        if (point != nullptr) {
            points.push_back(*point);
        }
        return Record(kByMode[mode], 0);
    }
    LRESULT OnGesture(int phase) override { return Record(kMsgGesture, phase); }

private:
    LRESULT Record(UINT message, LRESULT result) {
        messages.push_back(message);
        return result;
    }

    COLORREF m_color;
};

}  // namespace framework::test
