// Transparent text in a control's font and colour on a device context; the context's own font,
// colour and background mode come back when the scope ends.
#pragma once

#include "ce/gdi.h"

namespace UserInterface {

class CDlgTextScope {
public:
    CDlgTextScope(HDC dc, HFONT font, COLORREF color)
        : m_dc(dc),
          m_oldMode(SetBkMode(dc, TRANSPARENT)),
          m_oldFont(SelectObject(dc, font)),
          m_oldColor(SetTextColor(dc, color)) {}
    ~CDlgTextScope() {
        SetTextColor(m_dc, m_oldColor);
        SelectObject(m_dc, m_oldFont);
        SetBkMode(m_dc, m_oldMode);
    }
    CDlgTextScope(const CDlgTextScope&) = delete;
    CDlgTextScope& operator=(const CDlgTextScope&) = delete;

private:
    HDC m_dc;
    int m_oldMode;
    HGDIOBJ m_oldFont;
    COLORREF m_oldColor;
};

}  // namespace UserInterface
