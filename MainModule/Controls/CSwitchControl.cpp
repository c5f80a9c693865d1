#include "Controls/CSwitchControl.h"

#include <algorithm>
#include <vector>

#include "CSysInfo.h"
#include "Controls/ControlDrawing.h"
#include "RectHelpers.h"
#include "Skin/CApplicationSkin.h"
#include "UserInterface/CDlgTextScope.h"

namespace {

constexpr int kArrowMargin = 3;
constexpr int kSmallLine = -3;
constexpr int kSmallerLine = -5;

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
    m_shortSecond.clear();
    RedrawIf(redraw);
    return TRUE;
}

BOOL CSwitchControl::SetShortSecondText(LPCWSTR text, BOOL redraw) {
    m_shortSecond = text != nullptr ? text : u"";
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
    int side = RectHeight(inner) - 2 * margin;
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
    m_smallFont = CreateDerivedFont(m_font, FontChange{0, kSmallLine, false, true});
    m_smallerFont = CreateDerivedFont(m_font, FontChange{0, kSmallerLine, false, true});
}

void CSwitchControl::DeleteFonts() {
    DeleteFontHandles({&m_boldFont, &m_smallFont, &m_smallerFont});
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
    const int width = RectWidth(rect);
    const int height = RectHeight(rect);
    if (width <= 0 || height <= 0) {
        return;
    }
    g_pApplicationSkin->DrawSprite(arrow == kLeftArrow ? kLeftPicture : kRightPicture, width, height, dc,
                                   rect.left, rect.top, CApplicationSkin::kPictureOrigin,
                                   CApplicationSkin::kPictureOrigin, CApplicationSkin::kToPictureEdge,
                                   CApplicationSkin::kToPictureEdge);
}

// A line too wide for the room between the arrows is never cut at its sides: a line whose fit flag is
// set is shortened with "..." in its own font; another takes the first of the smaller fonts that holds
// it whole, then its shorter text where it has one, and only where nothing holds it is it shortened
// with "..." in the smallest font, keeping its start.
CSwitchControl::FittedLine CSwitchControl::FitLine(HDC dc, int line, int width) const {
    const std::u16string& text = line == 0 ? m_first : m_second;
    const std::u16string& shorter = line == 0 ? std::u16string() : m_shortSecond;
    const std::vector<HFONT> fonts = line == 0 ? std::vector<HFONT>{m_boldFont, m_smallFont, m_smallerFont}
                                               : std::vector<HFONT>{m_smallFont, m_smallerFont};
    const bool shortenAtOnce = (line == 0 ? m_fitFirst : m_fitSecond) != FALSE;
    for (const std::u16string* candidate : {&text, &shorter}) {
        if (candidate->empty()) {
            continue;
        }
        for (HFONT font : fonts) {
            if (TextsFit(dc, font, {*candidate}, width, 1)) {
                return FittedLine{*candidate, font};
            }
            if (shortenAtOnce) {
                break;
            }
        }
        if (shortenAtOnce) {
            break;
        }
    }
    HFONT font = shortenAtOnce ? fonts.front() : fonts.back();
    HGDIOBJ old = SelectObject(dc, font);
    const std::u16string shortened = FitTextToWidth(dc, text, RECT{0, 0, width, 1});
    SelectObject(dc, old);
    return FittedLine{shortened, font};
}

void CSwitchControl::DrawLines(HDC dc, const RECT& area) {
    const int width = RectWidth(area);
    if (width <= 0) {
        return;
    }
    FittedLine lines[2];
    SIZE sizes[2] = {};
    int blockHeight = 0;
    for (int i = 0; i < 2; ++i) {
        if ((i == 0 ? m_first : m_second).empty()) {
            continue;
        }
        lines[i] = FitLine(dc, i, width);
        HGDIOBJ old = SelectObject(dc, lines[i].font);
        sizes[i] = MeasureText(dc, lines[i].text);
        SelectObject(dc, old);
        blockHeight += sizes[i].cy;
    }
    int y = area.top + (RectHeight(area) - blockHeight) / 2;
    for (int i = 0; i < 2; ++i) {
        if (lines[i].text.empty()) {
            continue;
        }
        UserInterface::CDlgTextScope scope(dc, lines[i].font, m_textColor);
        // A shortened line is as wide as the room at most; should a font measure wider, its start stays.
        const int x = area.left + std::max(0, (width - static_cast<int>(sizes[i].cx)) / 2);
        ExtTextOutW(dc, x, y, ETO_CLIPPED, &area, lines[i].text.c_str(), static_cast<UINT>(lines[i].text.size()),
                    nullptr);
        y += sizes[i].cy;
    }
}
