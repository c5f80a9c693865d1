// The thin scroll indicator at the edge of a list, a text view or a dialog: shows which part of the
// content is in view. It takes no input; its owner tells it the range and the position.
#pragma once

#include "UserInterface/CDlgControl.h"

namespace UserInterface {

class CDlgScroller : public CDlgControl {
public:
    static constexpr int kScrollerId = 0x50000;
    // Style bit: a thumb of the skin's fixed length instead of one sized by the page.
    static constexpr DWORD kFixedThumb = 0x10000;

    // The thumb's offset from the top of the track and its length, in pixels.
    struct Thumb {
        int top;
        int length;
    };

    CDlgScroller();
    ~CDlgScroller() override;

    // Keeps only the border, host-background and fixed-thumb bits of the style.
    BOOL Create(DWORD style, int width, int height);
    // The indicator is visible exactly while the page is smaller than the total.
    void SetRange(int position, int total, int page, BOOL redraw);
    void SetPosition(int position, BOOL redraw);
    int GetPosition() const { return m_position; }
    int GetTotal() const { return m_total; }
    int GetPage() const { return m_page; }

    // Where the thumb lies on a track of the given height; false when there is nothing to show.
    // fixedLength is the skin's thumb length, or a negative value for a thumb sized by the page,
    // which is made at least minimumLength long.
    static bool GetThumb(int total, int page, int position, int height, int fixedLength, int minimumLength,
                         Thumb* thumb);

    // Width and gap to the content of an indicator embedded in a scrolled control, for the 240 class.
    static constexpr int kEmbeddedWidth = 4;
    static constexpr int kEmbeddedGap = 2;

    // The indicator of a scrolled control: the owner's border and background bits (the fixed thumb
    // when asked), its brush and border colour, and hidden until the content outgrows the view.
    BOOL CreateFor(CDlgControl* owner, bool fixedThumb);
    // Hidden, along the right edge of the owner's whole inner rectangle.
    void PlaceAlong(const RECT& inner);
    // What the owner's content and frame leave free on their right while the indicator shows.
    int GetReservedWidth() const;
    // SetRange that answers whether the indicator was shown or hidden by it.
    bool SetRangeChangesVisibility(int position, int total, int page);
    // Draws a scrolled control that embeds this indicator: the control's own part left of the indicator,
    // then the indicator along its right edge (the owner's Draw arguments).
    BOOL DrawBeside(CDlgControl* owner, HDC dc, int x, int y, const RECT* clip, BOOL ownBuffer);

    int GetPreferredWidth() override { return 0; }
    int GetPreferredHeight() override { return 0; }

protected:
    void OnPaint(HDC dc, const RECT* rect) override;
    // No focus mark: the indicator is never a target of the keys.
    void DrawFocusBorder(HDC, const RECT*) override {}

private:
    int m_total = 0;
    int m_page = 0;
    int m_position = 0;
};

}  // namespace UserInterface
