#include "UserInterface/CDlgComboBox.h"

#include <algorithm>
#include <cstdlib>

#include "CBitmapDC.h"
#include "CSysInfo.h"
#include "RectHelpers.h"
#include "UserInterface/CDlgHostDC.h"
#include "UserInterface/CDlgLayout.h"
#include "UserInterface/CDlgListBox.h"
#include "UserInterface/CDlgSeparator.h"
#include "UserInterface/CDlgStatic.h"
#include "UserInterface/CDlgTextScope.h"
#include "UserInterface/CGenericEffect.h"
#include "UserInterface/CMenuInfo.h"
#include "UserInterface/CSmartComboDlg.h"
#include "UserInterface/IDlgControlImages.h"
#include "ce/kernel.h"

namespace UserInterface {

namespace {

constexpr int kLeftPressed = 1;
constexpr int kLeftNormal = 2;
constexpr int kRightPressed = 3;
constexpr int kRightNormal = 4;
constexpr int kSwipeDistance = 30;

constexpr DWORD kCaptionStyle = 0x20011812;
constexpr DWORD kSeparatorStyle = 0x41012;
constexpr DWORD kListStyle = 0x1203012;
constexpr DWORD kListTint = 0x40FFFFFF;
constexpr int kListRowHeight = 25;
constexpr int kBlendEffect = 2;

int S(int length) { return CSysInfo::Scale(length); }

bool GetButtonSize(int state, SIZE* size) {
    IDlgControlImages* skin = g_pDlgControlImages;
    *size = SIZE{};
    return skin != nullptr && skin->GetComboButtonSize(state, size) && size->cx > 0 && size->cy > 0;
}

RECT CenteredAt(int left, const RECT& content, SIZE size) {
    const int top = content.top + (RectHeight(content) - size.cy) / 2;
    return RECT{left, top, left + size.cx, top + size.cy};
}

}  // namespace

CDlgComboBox::CDlgComboBox() : CDlgControl(u"__DlgComboBox") {}

CDlgComboBox::~CDlgComboBox() = default;

BOOL CDlgComboBox::Create(LPCWSTR caption, int id, DWORD style, int width, int height) {
    if (!m_caption.Set(caption)) {
        return FALSE;
    }
    return CDlgControl::Create(id, style, width, height);
}

// ---- items --------------------------------------------------------------------------------------

BOOL CDlgComboBox::AddItem(LPCWSTR text, intptr_t data, BOOL redraw) {
    if (text == nullptr) {
        return FALSE;
    }
    const int count = m_items.GetCount();
    int index = count;
    if (GetFlags() & kSorted) {
        for (int i = 0; i < count; ++i) {
            LPCWSTR other = m_items.GetText(i);
            if (_wcsicmp(other != nullptr ? other : u"", text) > 0) {
                index = i;
                break;
            }
        }
    }
    if (!m_items.InsertAt(index)) {
        return FALSE;
    }
    if (!m_items.SetText(index, text)) {
        m_items.RemoveAt(index);
        return FALSE;
    }
    if (m_selection >= index) {
        ++m_selection;
    }
    m_items.SetData(index, data);
    m_items.SetTextColor(index, m_textColor);
    RedrawIf(redraw);
    return TRUE;
}

void CDlgComboBox::ResetContent(BOOL redraw) {
    m_items.SetCount(0);
    m_selection = -1;
    RedrawIf(redraw);
}

// Only -1 and the indices of items are selections; anything else would leave the arrows stepping from
// an item that does not exist.
void CDlgComboBox::SetCurSel(int index, BOOL redraw) {
    if (index < -1 || index >= m_items.GetCount() || index == m_selection) {
        return;
    }
    m_selection = index;
    RedrawIf(redraw);
}

LRESULT CDlgComboBox::OnSetTextColor(COLORREF color, BOOL redraw) {
    const LRESULT result = CDlgControl::OnSetTextColor(color, kNoRedraw);
    for (int i = 0; i < m_items.GetCount(); ++i) {
        m_items.SetTextColor(i, color);
    }
    RedrawIf(redraw);
    return result;
}

// ---- geometry and painting ----------------------------------------------------------------------

bool CDlgComboBox::GetParts(const RECT& content, Parts* parts) {
    SIZE left{};
    SIZE right{};
    if (!GetButtonSize(kLeftNormal, &left) || !GetButtonSize(kRightNormal, &right)) {
        return false;
    }
    parts->left = CenteredAt(content.left + S(1), content, left);
    parts->right = CenteredAt(content.right - S(1) - right.cx, content, right);
    parts->text = RECT{content.left + left.cx + 2 * S(1), content.top, content.right - right.cx - 2 * S(1),
                       content.bottom};
    return true;
}

bool CDlgComboBox::GetLocalParts(Parts* parts) {
    RECT content;
    GetInnerClientRect(&content);
    return GetParts(content, parts);
}

int CDlgComboBox::GetPreferredWidth() {
    SIZE left{};
    SIZE right{};
    if (!GetButtonSize(kLeftNormal, &left) || !GetButtonSize(kRightNormal, &right)) {
        return 0;
    }
    int widest = 0;
    CDlgHostDC dc(GetHost());
    if (dc.Get() != nullptr) {
        CDlgTextScope scope(dc.Get(), m_font, m_textColor);
        for (int i = 0; i < m_items.GetCount(); ++i) {
            LPCWSTR text = m_items.GetText(i);
            SIZE size{};
            if (text != nullptr && GetTextExtentExPointW(dc.Get(), text, lstrlenW(text), 0, nullptr, nullptr, &size)) {
                widest = std::max<int>(widest, size.cx);
            }
        }
    }
    return left.cx + right.cx + widest + 2 * (GetBorderSize() + 2 * S(1));
}

int CDlgComboBox::GetPreferredHeight() {
    SIZE left{};
    SIZE right{};
    if (!GetButtonSize(kLeftNormal, &left) || !GetButtonSize(kRightNormal, &right)) {
        return 0;
    }
    int text = 0;
    CDlgHostDC dc(GetHost());
    if (dc.Get() != nullptr) {
        CDlgTextScope scope(dc.Get(), m_font, m_textColor);
        SIZE size{};
        GetTextExtentPoint32W(dc.Get(), u"Wpq", 3, &size);
        text = size.cy;
    }
    return std::max<int>(std::max(left.cy, right.cy), text) + 2 * (S(1) + GetBorderSize());
}

void CDlgComboBox::OnPaint(HDC dc, const RECT* inner) {
    IDlgControlImages* skin = g_pDlgControlImages;
    Parts parts{};
    if (dc == nullptr || inner == nullptr || skin == nullptr || !GetParts(*inner, &parts)) {
        return;
    }
    RECT left = parts.left;
    if (m_leftState == 0) {
        OffsetRect(&left, S(1), S(1));
    }
    skin->DrawComboButton(m_leftState == 0 ? kLeftPressed : kLeftNormal, dc, &left);
    RECT right = parts.right;
    if (m_rightState == 0) {
        OffsetRect(&right, S(1), S(1));
    }
    skin->DrawComboButton(m_rightState == 0 ? kRightPressed : kRightNormal, dc, &right);
    DrawItem(dc, m_selection, &parts.text);
}

UINT CDlgComboBox::GetTextFormat() const {
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if (GetFlags() & kTextCenter) {
        format |= DT_CENTER;
    } else if (GetFlags() & kTextRight) {
        format |= DT_RIGHT;
    }
    return format;
}

void CDlgComboBox::DrawItem(HDC dc, int index, const RECT* rect) {
    LPCWSTR text = m_items.GetText(index);
    if (dc == nullptr || rect == nullptr || text == nullptr) {
        return;
    }
    CDlgTextScope scope(dc, m_font, m_items.GetTextColor(index));
    RECT box = *rect;
    // An item wider than the box (a narrow screen) ends in "...".
    DrawTextW(dc, text, -1, &box, GetTextFormat() | DT_END_ELLIPSIS);
}

// ---- stepping -----------------------------------------------------------------------------------

int CDlgComboBox::Neighbour(int direction) const {
    const int count = m_items.GetCount();
    if (count == 0) {
        return -1;
    }
    const int candidate = m_selection + direction;
    if (candidate < 0) {
        return count - 1;
    }
    return candidate >= count ? 0 : candidate;
}

void CDlgComboBox::RedrawButton(int direction) {
    Parts parts{};
    if (!GetLocalParts(&parts)) {
        return;
    }
    RECT button = direction < 0 ? parts.left : parts.right;
    InflateRect(&button, S(1), S(1));
    Redraw(&button);
}

void CDlgComboBox::Step(int direction) {
    (direction < 0 ? m_leftState : m_rightState) = 0;
    const int next = Neighbour(direction);
    if (next < 0 || next == m_selection) {
        return;  // nothing to step to: an empty combo or a single item
    }
    RedrawButton(direction);
    Slide(m_selection, next, direction);
    m_selection = next;
    Redraw(nullptr);
    NotifyHost(kNotifySelectionChanged, 0, 0);
}

void CDlgComboBox::ChangeTo(int index, int direction) {
    int& state = direction < 0 ? m_leftState : m_rightState;
    state = 0;
    RedrawButton(direction);
    Slide(m_selection, index, direction);
    state = 1;
    m_selection = index;
    Redraw(nullptr);
    NotifyHost(kNotifySelectionChanged, 0, 0);
}

void CDlgComboBox::ReleaseArrow(int direction) {
    (direction < 0 ? m_leftState : m_rightState) = 1;
    RedrawButton(direction);
}

// The new text comes in from the side of the arrow while the old one leaves; frames follow each other
// until the elapsed time has covered the width.
void CDlgComboBox::Slide(int from, int to, int direction) {
    Parts parts{};
    if (from < 0 || to < 0 || from >= m_items.GetCount() || to >= m_items.GetCount() || GetHost() == nullptr ||
        !GetLocalParts(&parts)) {
        return;
    }
    const int width = RectWidth(parts.text);
    const int height = RectHeight(parts.text);
    CDlgHostDC host(GetHost());
    CBitmapDC frame;
    if (width <= 0 || height <= 0 || host.Get() == nullptr || !frame.CreateCompatible(host.Get(), width, height)) {
        return;
    }
    const RECT area{0, 0, width, height};
    RECT target = parts.text;
    OffsetRect(&target, m_rect.left, m_rect.top);
    LARGE_INTEGER start{};
    LARGE_INTEGER frequency{};
    QueryPerformanceCounter(&start);
    QueryPerformanceFrequency(&frequency);
    const LONGLONG ticksPerMs = std::max<LONGLONG>(frequency.QuadPart / 1000, 1);
    int shown = -1;
    while (shown < width) {
        LARGE_INTEGER now{};
        QueryPerformanceCounter(&now);
        const LONGLONG elapsed = (now.QuadPart - start.QuadPart) / ticksPerMs;
        const int offset = static_cast<int>(std::min<LONGLONG>(width, width * elapsed / kSlideMs));
        if (offset == shown) {
            Sleep(1);  // the same frame again would change nothing: let the clock move
            continue;
        }
        shown = offset;
        RECT whole{-parts.text.left, -parts.text.top, GetWidth() - parts.text.left, GetHeight() - parts.text.top};
        DrawBackground(frame.DC(), &area, &whole);
        RECT oldText{-direction * offset, 0, width - direction * offset, height};
        RECT newText = oldText;
        OffsetRect(&newText, direction * width, 0);
        DrawItem(frame.DC(), from, &oldText);
        DrawItem(frame.DC(), to, &newText);
        BitBlt(host.Get(), target.left, target.top, width, height, frame.DC(), 0, 0, SRCCOPY);
    }
}

// ---- input --------------------------------------------------------------------------------------

LRESULT CDlgComboBox::OnKey(UINT key, BOOL down) {
    if (key != VK_LEFT && key != VK_RIGHT && key != VK_RETURN) {
        return 0;
    }
    const int direction = key == VK_LEFT ? -1 : 1;
    if (key == VK_RETURN) {
        if (down) {
            DropDown();
        }
    } else if (down) {
        Step(direction);
    } else {
        ReleaseArrow(direction);
    }
    return 1;
}

LRESULT CDlgComboBox::OnPointer(const POINT* point, int mode) {
    if (mode == kPointerCancel) {
        m_leftState = 1;
        m_rightState = 1;
        m_tapPending = 0;
        Redraw(nullptr);
        return 1;
    }
    if (point == nullptr) {
        return 0;
    }
    Parts parts{};
    const bool measured = GetLocalParts(&parts);
    switch (mode) {
        case kPointerDown: {
            m_pressPoint = *point;
            RECT client;
            GetClientRect(&client);
            if (!PtInRect(&client, *point)) {
                return 0;
            }
            if (measured && PtInRect(&parts.left, *point)) {
                Step(-1);
            } else if (measured && PtInRect(&parts.right, *point)) {
                Step(1);
            } else if (measured && PtInRect(&parts.text, *point)) {
                m_tapPending = 1;
            }
            return 1;
        }
        case kPointerMove:
            if (m_leftState == 0 && !(measured && PtInRect(&parts.left, *point))) {
                ReleaseArrow(-1);
            }
            if (m_rightState == 0 && !(measured && PtInRect(&parts.right, *point))) {
                ReleaseArrow(1);
            }
            if (m_tapPending && measured && PtInRect(&parts.text, *point) &&
                std::abs(point->x - m_pressPoint.x) > S(kSwipeDistance)) {
                m_tapPending = 0;
                // A swipe to the left brings the next item, as the right arrow does.
                const int direction = point->x - m_pressPoint.x < 1 ? 1 : -1;
                const int next = Neighbour(direction);
                if (next >= 0 && next != m_selection) {
                    ChangeTo(next, direction);
                }
            }
            return 1;
        case kPointerUp:
            if (m_leftState == 0 || m_rightState == 0) {
                if (m_leftState == 0) {
                    ReleaseArrow(-1);
                }
                if (m_rightState == 0) {
                    ReleaseArrow(1);
                }
            } else if (m_tapPending) {
                m_tapPending = 0;
                DropDown();
            }
            return 1;
        default:
            return 0;
    }
}

// ---- drop-down ----------------------------------------------------------------------------------

LRESULT CDlgComboBox::DropDown() {
    IDlgObjectHost* host = GetHost();
    if (host == nullptr) {
        return 0;
    }
    CDlgLayout layout;
    CDlgListBox* list = nullptr;
    bool made = true;
    // The layout owns each control from the start, so that one that fails to be made is deleted too.
    if (!m_caption.IsEmpty()) {
        auto* caption = new CDlgStatic();
        layout.AddControl(caption);
        made = caption->Create(m_caption.Get(), nullptr, kCaptionId, kCaptionStyle, kSizedByLayout,
                               kSizedByLayout) != 0;
        caption->SetTextColor(m_textColor, kNoRedraw);
        auto* separator = new CDlgSeparator();
        layout.AddControl(separator);
        made = separator->Create(kSeparatorId, kSeparatorStyle, kSizedByLayout, S(1)) && made;
    }
    if (made && m_items.GetCount() > 0) {
        list = new CDlgListBox(&m_items);
        layout.AddControl(list);
        made = list->Create(kListId, kListStyle, kSizedByLayout, kSizedByLayout) != 0;
        list->SetMinItemHeight(S(kListRowHeight), kNoRedraw);
        IDlgControlImages* skin = g_pDlgControlImages;
        list->SetBorderColor(
            skin != nullptr ? skin->GetSkinColor(IDlgControlImages::kBackgroundColorIndex) : 0, kNoRedraw);
        list->SetRowSpacing(S(2), kNoRedraw);
        list->SetSelectionTint(kListTint, kNoRedraw);
        list->SetSelection(m_selection, kNoRedraw);
    }
    if (!made) {
        return 1;
    }
    CSmartDialog::TransitionInfo transition{host->GetScreenCapture(), CreateTransitionEffect(kBlendEffect),
                                            CreateTransitionEffect(kBlendEffect)};
    CMenuInfo menu;
    menu.SetDoneCancel(CMenuInfo::kNoInputPanel);
    NotifyHost(kNotifyDropDownOpening, 0, 0);
    CSmartComboDlg dialog;
    const INT_PTR result = dialog.RunModal(host->GetHostWindow(), 0, &menu, &layout, &transition);
    if (result == IDOK && list != nullptr && list->GetSelection() >= 0 && list->GetSelection() != m_selection) {
        m_selection = list->GetSelection();
        Redraw(nullptr);
        NotifyHost(kNotifySelectionChanged, 0, 0);
    }
    NotifyHost(kNotifyDropDownClosed, 0, 0);
    return 1;
}

}  // namespace UserInterface
