#include "Controls/CSwitchControl.h"

#include "CSysInfo.h"
#include "Controls/ControlDrawing.h"
#include "Skin/CApplicationSkin.h"
#include "UserInterface/CDlgTextScope.h"

namespace {

constexpr int kArrowMargin = 3;
constexpr int kSmallerLine = -3;

// The arrow that a key stands for; -1 for other keys.
int ArrowOfKey(UINT key) {
    if (key == VK_LEFT) {
        return CSwitchControl::kLeftArrow;
    }
    return key == VK_RIGHT ? CSwitchControl::kRightArrow : -1;
}

int NoticeOf(int arrow) {
    return arrow == CSwitchControl::kLeftArrow ? CSwitchControl::kNotifyPrevious : CSwitchControl::kNotifyNext;
}

}  // namespace

CSwitchControl::CSwitchControl() : CDlgControl(u"__SwitchControl") { MakeFonts(); }

CSwitchControl::~CSwitchControl() { DeleteFonts(); }

BOOL CSwitchControl::SetTexts(LPCWSTR first, LPCWSTR second, BOOL redraw) {
    m_first = first != nullptr ? first : u"";
    m_second = second != nullptr ? second : u"";
    RedrawIf(redraw);
    return TRUE;
}

BOOL CSwitchControl::SetFitFlags(BOOL first, BOOL second, BOOL redraw) {
    m_fitFirst = first;
    m_fitSecond = second;
    RedrawIf(redraw);
    return TRUE;
}

BOOL CSwitchControl::SetArrowEnabled(int arrow, BOOL enabled, BOOL redraw) {
    if (arrow != kLeftArrow && arrow != kRightArrow) {
        return FALSE;
    }
    const bool wasEnabled = m_arrows[arrow] != kDisabled;
    if (wasEnabled != (enabled != FALSE)) {
        m_arrows[arrow] = enabled ? kNormal : kDisabled;
    }
    RedrawIf(redraw);
    return TRUE;
}

RECT CSwitchControl::ArrowRectIn(const RECT& inner, int arrow) const {
    const int margin = CSysInfo::Scale(kArrowMargin);
    int side = (inner.bottom - inner.top) - 2 * margin;
    if (g_pSysInfo != nullptr && g_pSysInfo->IsSquareScreen()) {
        side = side * 3 / 4;
    }
    if (arrow == kLeftArrow) {
        return RECT{inner.left + margin, inner.top + margin, inner.left + margin + side, inner.bottom - margin};
    }
    return RECT{inner.right - margin - side, inner.top + margin, inner.right - margin, inner.bottom - margin};
}

RECT CSwitchControl::GetArrowRect(int arrow) {
    RECT inner{};
    GetInnerClientRect(&inner);
    return ArrowRectIn(inner, arrow);
}

bool CSwitchControl::ArrowHolds(int arrow, const POINT& point) {
    const RECT rect = GetArrowRect(arrow);
    return PtInRect(&rect, point) != FALSE;
}

void CSwitchControl::SetArrowState(int arrow, int state) {
    if (m_arrows[arrow] != state) {
        m_arrows[arrow] = state;
        Redraw(nullptr);
    }
}

LRESULT CSwitchControl::OnPointer(const POINT* point, int mode) {
    switch (mode) {
        case kPointerDown:
            if (point == nullptr) {
                return 0;
            }
            for (int arrow : {kLeftArrow, kRightArrow}) {
                if (m_arrows[arrow] != kDisabled && ArrowHolds(arrow, *point)) {
                    SetArrowState(arrow, kPressed);
                    break;
                }
            }
            return 1;
        case kPointerMove:
            for (int arrow : {kLeftArrow, kRightArrow}) {
                if (m_arrows[arrow] == kPressed && (point == nullptr || !ArrowHolds(arrow, *point))) {
                    SetArrowState(arrow, kNormal);
                }
            }
            return 1;
        case kPointerUp:
            for (int arrow : {kLeftArrow, kRightArrow}) {
                if (m_arrows[arrow] == kPressed) {
                    SetArrowState(arrow, kNormal);
                    // A release away from the arrow is no tap, also when no move told us the pen left it.
                    if (point == nullptr || ArrowHolds(arrow, *point)) {
                        NotifyHost(NoticeOf(arrow), 0, 0);
                    }
                    break;
                }
            }
            return 1;
        default:
            for (int arrow : {kLeftArrow, kRightArrow}) {
                if (m_arrows[arrow] == kPressed) {
                    SetArrowState(arrow, kNormal);
                }
            }
            return 1;
    }
}

LRESULT CSwitchControl::OnKey(UINT key, BOOL down) {
    const int arrow = ArrowOfKey(key);
    if (arrow < 0) {
        return 0;
    }
    if (!down) {
        if (m_arrows[arrow] == kPressed) {
            SetArrowState(arrow, kNormal);
        }
        return 1;
    }
    if (m_arrows[arrow] == kDisabled) {
        return 0;
    }
    m_arrows[arrow] = kPressed;
    Redraw(nullptr);
    NotifyHost(NoticeOf(arrow), 0, 0);
    return 1;
}

LRESULT CSwitchControl::OnSetFont(HFONT font, BOOL redraw) {
    CDlgControl::OnSetFont(font, UserInterface::kNoRedraw);
    MakeFonts();
    RedrawIf(redraw);
    return 0;
}

void CSwitchControl::MakeFonts() {
    DeleteFonts();
    m_boldFont = CreateDerivedFont(m_font, FontChange{FW_BOLD, 0, false, true});
    m_smallFont = CreateDerivedFont(m_font, FontChange{0, kSmallerLine, false, true});
}

void CSwitchControl::DeleteFonts() {
    DeleteFontHandles({&m_boldFont, &m_smallFont});
}

void CSwitchControl::OnPaint(HDC dc, const RECT* inner) {
    if (dc == nullptr || inner == nullptr) {
        return;
    }
    DrawArrow(dc, *inner, kLeftArrow);
    DrawArrow(dc, *inner, kRightArrow);
    const RECT left = ArrowRectIn(*inner, kLeftArrow);
    const RECT right = ArrowRectIn(*inner, kRightArrow);
    DrawLines(dc, RECT{left.right, inner->top, right.left, inner->bottom});
}

void CSwitchControl::DrawArrow(HDC dc, const RECT& inner, int arrow) {
    if (m_arrows[arrow] == kDisabled || g_pApplicationSkin == nullptr) {
        return;
    }
    RECT rect = ArrowRectIn(inner, arrow);
    if (m_arrows[arrow] == kPressed) {
        OffsetRect(&rect, 0, CSysInfo::Scale(1));
    }
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
        return;
    }
    g_pApplicationSkin->DrawSprite(arrow == kLeftArrow ? kLeftPicture : kRightPicture, width, height, dc,
                                   rect.left, rect.top, CApplicationSkin::kPictureOrigin,
                                   CApplicationSkin::kPictureOrigin, CApplicationSkin::kToPictureEdge,
                                   CApplicationSkin::kToPictureEdge);
}

void CSwitchControl::DrawLines(HDC dc, const RECT& area) {
    if (area.right <= area.left) {
        return;
    }
    struct Line {
        std::u16string text;
        HFONT font;
        SIZE size;
    };
    Line lines[2] = {{{}, m_boldFont, {}}, {{}, m_smallFont, {}}};
    int blockHeight = 0;
    for (int i = 0; i < 2; ++i) {
        const std::u16string& text = i == 0 ? m_first : m_second;
        if (text.empty()) {
            continue;
        }
        HGDIOBJ old = SelectObject(dc, lines[i].font);
        // The status line is shortened too where it would be cut at both sides (a narrow screen); one
        // that holds a time keeps its end, where the time is ("...d at 11:00 AM").
        const bool tooWide = MeasureText(dc, text).cx > area.right - area.left;
        const bool fit = i == 0 ? m_fitFirst : (m_fitSecond || tooWide);
        const bool keepEnd = i == 1 && tooWide && text.find_first_of(u"0123456789") != std::u16string::npos;
        lines[i].text = fit ? FitTextToWidth(dc, text, area, keepEnd) : text;
        lines[i].size = MeasureText(dc, lines[i].text);
        SelectObject(dc, old);
        blockHeight += lines[i].size.cy;
    }
    int y = area.top + (area.bottom - area.top - blockHeight) / 2;
    for (const Line& line : lines) {
        if (line.text.empty()) {
            continue;
        }
        UserInterface::CDlgTextScope scope(dc, line.font, m_textColor);
        const int x = area.left + (area.right - area.left - line.size.cx) / 2;
        ExtTextOutW(dc, x, y, ETO_CLIPPED, &area, line.text.c_str(), static_cast<UINT>(line.text.size()), nullptr);
        y += line.size.cy;
    }
}
