// The framework's choice control in the handheld style: the chosen item between a left and a right
// arrow button. The arrows, the Left and Right keys and a swipe over the text step through the items
// with wrap-around and a short slide; Enter or a tap on the text opens a full-screen list of them.
#pragma once

#include "UserInterface/CDefaultListElementCollection.h"
#include "UserInterface/CDlgControl.h"
#include "UserInterface/CDlgString.h"

namespace UserInterface {

class CDlgComboBox : public CDlgControl {
public:
    // Style bits of the combo.
    static constexpr DWORD kTextCenter = 0x20000;
    static constexpr DWORD kTextRight = 0x40000;
    static constexpr DWORD kSorted = 0x80000;

    // Notifications to the host.
    static constexpr int kNotifyDropDownOpening = 1;
    static constexpr int kNotifyDropDownClosed = 2;
    static constexpr int kNotifySelectionChanged = 3;

    // Ids of the drop-down's controls.
    static constexpr int kCaptionId = 1;
    static constexpr int kSeparatorId = 2;
    static constexpr int kListId = 3;
    // How long a step's slide takes.
    static constexpr int kSlideMs = 300;

    CDlgComboBox();
    ~CDlgComboBox() override;

    // The caption is the drop-down's title (null allowed); 0 when it cannot be copied.
    BOOL Create(LPCWSTR caption, int id, DWORD style, int width, int height);
    BOOL AddItem(LPCWSTR text, intptr_t data, BOOL redraw);
    void ResetContent(BOOL redraw);
    int GetCount() const { return m_items.GetCount(); }
    int GetCurSel() const { return m_selection; }
    intptr_t GetItemData(int index) const { return m_items.GetData(index); }
    LPCWSTR GetItemText(int index) const { return m_items.GetText(index); }
    // -1 clears the selection; an index outside the items is ignored. No notification.
    void SetCurSel(int index, BOOL redraw);
    // Runs the drop-down over the host's window; 1 (0 without a host).
    LRESULT DropDown();

    int GetPreferredWidth() override;
    int GetPreferredHeight() override;

protected:
    void OnPaint(HDC dc, const RECT* inner) override;
    LRESULT OnKey(UINT key, BOOL down) override;
    LRESULT OnPointer(const POINT* point, int mode) override;
    LRESULT OnSetTextColor(COLORREF color, BOOL redraw) override;

    virtual void DrawItem(HDC dc, int index, const RECT* rect);

private:
    struct Parts {
        RECT left;
        RECT right;
        RECT text;
    };

    // The buttons' and the text's rectangles within the content rectangle; false without the skin's
    // button sizes.
    static bool GetParts(const RECT& content, Parts* parts);
    bool GetLocalParts(Parts* parts);
    // The index one step away (+1 next, -1 previous) with wrap-around; -1 without items.
    int Neighbour(int direction) const;
    void Step(int direction);
    // Moves to the item with the slide; the arrow on the side of the step shows pressed meanwhile.
    void ChangeTo(int index, int direction);
    void ReleaseArrow(int direction);
    void RedrawButton(int direction);
    void Slide(int from, int to, int direction);
    UINT GetTextFormat() const;

    CDefaultListElementCollection m_items;
    int m_selection = -1;
    int m_leftState = 1;
    int m_rightState = 1;
    int m_tapPending = 0;
    POINT m_pressPoint{};
    CDlgString m_caption;
};

}  // namespace UserInterface
