// The main window's toolbar on a Pocket PC: a band of four picture buttons across the bottom of a
// portrait screen or down the right edge of a landscape one. A completed tap on an enabled button
// tells the host the button's command.
#pragma once

#include "UserInterface/CDlgControl.h"

class CToolBarControl : public UserInterface::CDlgControl {
public:
    enum Orientation { kHorizontal = 0, kVertical = 1 };
    static constexpr int kButtonCount = 4;
    // Sent to the host with the button index and its command.
    static constexpr int kNotifyCommand = 1;

    struct Button {
        int picture = -1;  // skin picture; -1 none
        int command = 0;
        int enabled = 0;
    };

    CToolBarControl();

    // buttons: four records, or null for none.
    BOOL Create(int orientation, const Button* buttons, int id, DWORD flags, int width, int height);
    BOOL SetOrientation(int orientation, BOOL redraw);
    // Replaces all four records; null leaves none.
    BOOL SetButtons(const Button* buttons, BOOL redraw);

    int GetOrientation() const { return m_orientation; }
    const Button& GetButton(int index) const { return m_buttons[index]; }
    int GetPressedButton() const { return m_pressed; }
    // Button i's cell within the area: columns left to right, or rows top to bottom when vertical;
    // the first (length mod 4) cells are one pixel longer.
    RECT GetCellRect(const RECT& area, int index) const;
    // The enabled button whose cell holds the point (control coordinates); -1 none.
    int HitTest(POINT point);

protected:
    void OnPaint(HDC dc, const RECT* inner) override;
    LRESULT OnPointer(const POINT* point, int mode) override;
    // Fills the band with the theme-coloured gradients under the buttons.
    virtual void DrawBand(HDC dc, const RECT& band);

private:
    void DrawButton(HDC dc, int index, const RECT& cell);
    void SetPressed(int index);

    int m_orientation = kHorizontal;
    Button m_buttons[kButtonCount];
    int m_pressed = -1;
};
