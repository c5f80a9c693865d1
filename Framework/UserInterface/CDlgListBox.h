// The framework's owner-drawn, touch-scrolled list: rows of text with an optional number and pictures,
// a selection drawn as a bevelled, skinned or tinted bar that slides between rows, keyboard and tap
// selection, drag and flick scrolling, and a thin scroll indicator along its right edge.
#pragma once

#include <cstdint>
#include <memory>

#include "CBitmapDC.h"
#include "UserInterface/CDlgControl.h"
#include "UserInterface/CDlgScrollable.h"
#include "UserInterface/CDlgScrolledControl.h"

class CListElementCollection;

namespace UserInterface {

class CDlgListBox : public CDlgScrolledControl, public CDlgScrollable {
public:
    // Style bits of the list.
    static constexpr DWORD kSorted = 0x10000;
    static constexpr DWORD kSkinSelection = 0x100000;
    static constexpr DWORD kTintSelection = 0x200000;
    static constexpr DWORD kBlitScrolling = 0x400000;
    static constexpr DWORD kNumbered = 0x800000;
    static constexpr DWORD kSeparators = 0x1000000;
    static constexpr DWORD kScrollerFixedThumb = 0x2000000;
    static constexpr DWORD kSingleLine = 0x4000000;
    static constexpr DWORD kNoSelection = 0x8000000;

    static constexpr UINT kMsgSetSelection = 1793;  // wParam: index, lParam: redraw
    static constexpr UINT kMsgGetSelection = 1794;

    // Notifications to the host.
    static constexpr int kNotifySelectionChanged = 1;
    static constexpr int kNotifyEnter = 2;
    static constexpr int kNotifyTap = 3;  // a: the row index

    static constexpr DWORD kDefaultSelectionTint = 0x40C8C8C8;
    // Numbers and digit keys only while the list is shorter than this.
    static constexpr int kNumberedLimit = 10;

    CDlgListBox();
    // Rows kept in the caller's collection, which stays the caller's; null makes one of its own.
    explicit CDlgListBox(CListElementCollection* rows);
    ~CDlgListBox() override;

    // 1 when added; 0 for null text or when the collection fails.
    BOOL AddItem(LPCWSTR text, int leftImage, int rightImage, intptr_t data, BOOL redraw);
    void ResetContent(BOOL redraw);
    int FindItem(LPCWSTR text, BOOL exact);
    int GetItemCount();
    intptr_t GetItemData(int index);
    void SetItemTextColor(int index, COLORREF color, BOOL redraw);
    void SetRowSpacing(int pixels, BOOL redraw);
    void SetSelectionTint(DWORD tint, BOOL redraw);
    void SetMinItemHeight(int pixels, BOOL redraw);
    void EnsureVisible(int index, BOOL redraw);
    BOOL SetSelection(int index, BOOL redraw);
    int GetSelection();

    CListElementCollection* GetRows() const { return m_rows; }
    int GetContentHeight() override { return GetRowTop(GetItemCount()); }
    // The row under a point of the control's own coordinates, -1 when none.
    int RowFromPoint(int y);

    int GetPreferredWidth() override { return 0; }
    int GetPreferredHeight() override;

    void OnScroll(int kind, int amount) override;

protected:
    void OnPaint(HDC dc, const RECT* inner) override;
    void DrawFocusBorder(HDC, const RECT*) override {}
    LRESULT OnCreate() override;
    LRESULT OnMoved() override;
    LRESULT OnKey(UINT key, BOOL down) override;
    LRESULT OnPointer(const POINT* point, int mode) override;
    LRESULT OnSetFont(HFONT font, BOOL redraw) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    virtual LRESULT OnSetSelection(int index, BOOL redraw);
    virtual LRESULT OnGetSelection();
    // Draws one row with its selection at (x, y); its height.
    virtual int DrawRow(HDC dc, int index, int x, int y, int width);
    virtual void DrawRowContent(HDC dc, int index, int x, int y, int width);
    // The spacing below every row but the last; 0 without separators.
    virtual int GetRowSpacing();
    virtual int DrawRowSeparator(HDC dc, int x, int y, int width);
    virtual int GetFirstVisibleRow();
    // Content pixels above the row; GetRowTop(count) is the content height.
    virtual int GetRowTop(int index);
    virtual int GetRowTextHeight(int index, int width);
    virtual int MeasureRow(int index);
    // Pictures beside a row: none here; a list that has them overrides these.
    virtual BOOL GetLeftImageSize(int index, SIZE* size);
    virtual void DrawLeftImage(HDC dc, int index, int x, int y);
    virtual BOOL GetRightImageSize(int index, SIZE* size);
    virtual void DrawRightImage(HDC dc, int index, int x, int y);

private:
    bool IsNumberedNow();
    bool AllowsSelection() const { return (GetFlags() & kNoSelection) == 0; }
    HFONT RowFont(int index) const;
    int PictureWidth(bool left, int index);
    // The rectangle that a row's text is laid into, for a row whose content starts at x.
    RECT TextRect(int index, int x, int width);
    int MeasureText(HDC dc, int index, int width);
    void RebuildBoldFont();
    int ClampOffset(int offset);
    int MeasureAll();
    // Paints the rows of content range [offset, offset + area height) into the area.
    void PaintRows(HDC dc, const RECT& area, int offset);
    void DrawSelectionBar(HDC dc, const RECT& rect);
    static void DrawBevelBar(HDC dc, const RECT& rect);
    void ScrollTo(int target);
    void BlitScrollTo(int target);
    void MoveSelection(int index);
    void SlideSelection(int from, int to);
    LRESULT KeyDownNumbered(UINT key);
    LRESULT KeyUp();
    LRESULT KeyDown();

    CListElementCollection* m_rows;
    bool m_ownsRows;
    int m_selection = -1;
    int m_minItemHeight = 0;
    int m_rowSpacing;
    HFONT m_boldFont = nullptr;
    HFONT m_numberFont;
    DWORD m_selectionTint = kDefaultSelectionTint;
    CBitmapDC m_selectionCache;
    CBitmapDC m_strip;
    POINT m_pressPoint{};
    // While the selection slides: the bar's content top and height, drawn instead of the row's own.
    bool m_sliding = false;
    int m_slideTop = 0;
    int m_slideHeight = 0;
};

}  // namespace UserInterface
