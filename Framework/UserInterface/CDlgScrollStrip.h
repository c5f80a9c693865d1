// The picture of a view for the whole way of one scroll, drawn once before the scroll moves: the view
// at its start, the rows it passes and the view at its end, one above the other. The scroll then only
// copies a view-high part of it to the window at each step instead of painting the view again.
#pragma once

#include "CBitmapDC.h"
#include "UserInterface/IDlgObjectHost.h"

namespace UserInterface {

class CDlgScrollStrip {
public:
    // A strip for a view of width x viewHeight whose content scrolls from one offset to another,
    // compatible with the reference context; false when the offsets are equal or there is no memory.
    bool Create(HDC reference, int width, int viewHeight, int from, int to);

    // The owner paints the strip through this context.
    HDC DC() const { return m_bitmap.DC(); }
    int Width() const { return m_bitmap.Width(); }
    int Height() const { return m_bitmap.Height(); }
    // The strip's row at which the view begins when its content stands at the offset.
    int RowOf(int offset) const;

    // Shows the view at (x, y) of the host's window at each step from the start offset to the end one,
    // the last step at the end itself. Each copy takes the host's context and gives it back, so that
    // every step reaches the screen on its own.
    void Slide(IDlgObjectHost* host, int x, int y, int step) const;

private:
    CBitmapDC m_bitmap;
    int m_viewHeight = 0;
    int m_from = 0;
    int m_to = 0;
};

}  // namespace UserInterface
