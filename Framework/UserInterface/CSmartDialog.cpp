#include "UserInterface/CSmartDialog.h"

#include <iterator>

#include "CSysInfo.h"
#include "RectHelpers.h"
#include "UserInterface/CDlgControl.h"
#include "UserInterface/CDlgLayout.h"
#include "UserInterface/CGenericEffect.h"

namespace UserInterface {
namespace {

// WM_CTLCOLOREDIT to WM_CTLCOLORSTATIC, in that order, to the control's colour messages.
constexpr UINT kColorMessages[] = {CDlgControl::kMsgCtlColorEdit, CDlgControl::kMsgCtlColorListBox,
                                   CDlgControl::kMsgCtlColorBtn,  CDlgControl::kMsgCtlColorDlg,
                                   CDlgControl::kMsgCtlColorScrollBar, CDlgControl::kMsgCtlColorStatic};

bool IsArrowOrEnter(UINT key) {
    return key == VK_RETURN || key == VK_UP || key == VK_DOWN || key == VK_LEFT || key == VK_RIGHT;
}

bool IsSmartphone() { return g_pSysInfo != nullptr && g_pSysInfo->IsSmartphone(); }

}  // namespace

CSmartDialog::CSmartDialog() : m_margin(CSysInfo::Scale(1)), m_rowGap(CSysInfo::Scale(1)) {}

CSmartDialog::~CSmartDialog() {
    if (m_ownsLayout) {
        delete m_layout;
    }
}

INT_PTR CSmartDialog::RunModal(HWND parent, DWORD style, const CMenuInfo* menuInfo, CDlgLayout* layout,
                               const TransitionInfo* transition) {
    if (m_ownsLayout) {
        delete m_layout;
        m_layout = nullptr;
        m_ownsLayout = FALSE;
    }
    m_layout = layout;
    if (m_layout == nullptr) {
        m_layout = CreateLayout();
        m_ownsLayout = m_layout != nullptr;
    }
    if (m_layout == nullptr) {
        return 3;
    }
    m_style = style;
    m_transition = transition != nullptr ? *transition : TransitionInfo{};
    m_result = -1;
    m_offscreen.Release();
    return DoModal(parent, kTemplateId, menuInfo);
}

CDlgLayout* CSmartDialog::CreateLayout() { return new CDlgLayout; }

BOOL CSmartDialog::OnInitControls() { return TRUE; }

BOOL CSmartDialog::AttachScroller() {
    const int width = CSysInfo::Scale(4);
    if (!m_scroller.IsCreated() && !m_scroller.Create(0, width, kSizedByLayout)) {
        return FALSE;
    }
    return m_scroller.SetHost(this);
}

BOOL CSmartDialog::OnInitDialog() {
    DWORD flags = SHIDIF_SIZEDLGFULLSCREEN;
    if (!IsSmartphone()) {
        flags |= (m_style & kCancelButton) ? SHIDIF_CANCELBUTTON : SHIDIF_DONEBUTTON;
    }
    SHINITDLGINFO info{SHIDIM_FLAGS, m_hWnd, flags};
    SHInitDialog(&info);
    if (!OnCreateMenu(&m_menuInfo) || (m_hMenuBar = CreateMenuBar(m_hWnd, &m_menuInfo)) == nullptr) {
        EndDialog(IDCANCEL);
        return FALSE;
    }
    OverrideBackKey();
    if (m_layout != nullptr) {
        if (!AttachScroller() || !m_layout->AttachHost(this, (m_style & kBlitScrolling) != 0) || !OnInitControls()) {
            EndDialog(IDCANCEL);
            return FALSE;
        }
        m_focusIndex = -1;
        FocusNext(kKeepScrollPosition);
    }
    m_initialised = TRUE;
    // The full-screen sizing above came before there was anything to place.
    RecalcLayout();
    return TRUE;
}

void CSmartDialog::OnDestroy() {
    m_initialised = FALSE;
    m_shown = FALSE;
    CGenericDialog::OnDestroy();
}

BOOL CSmartDialog::EndDialog(int result) {
    m_result = result;
    SIPINFO sip{};
    sip.cbSize = sizeof sip;
    if (m_menuInfo.GetFlags() == CMenuInfo::kInputPanelRaised && SipGetInfo(&sip) && (sip.fdwFlags & SIPF_ON)) {
        SHSipPreference(m_hWnd, SIP_FORCEDOWN);
    }
    if (m_layout != nullptr) {
        m_layout->BroadcastMessage(CDlgControl::kMsgDeactivate, 0, 0);
    }
    PlayTransition(TRUE);
    return CGenericDialog::EndDialog(result);
}

// ---- layout and painting ----------------------------------------------------------------------------

BOOL CSmartDialog::OnSize(int, int) {
    RecalcLayout();
    return TRUE;
}

void CSmartDialog::ArrangeIn(const RECT& view) {
    m_layout->SetBounds(view, m_margin, m_rowGap);
    m_layout->Arrange();
    m_scroller.SetRange(m_layout->GetScrollPos(), m_layout->GetContentHeight(), RectHeight(view), kNoRedraw);
}

void CSmartDialog::RecalcLayout() {
    if (!m_initialised || m_hWnd == nullptr || m_layout == nullptr) {
        return;
    }
    RECT view;
    GetClientRect(&view);
    const int width = CSysInfo::Scale(4);
    m_scroller.Move(view.right - width + CSysInfo::Scale(1), 0, width, RectHeight(view), kNoRedraw);
    ArrangeIn(view);
    if (m_scroller.IsVisible()) {
        view.right -= width;
        ArrangeIn(view);
    }
    if (CDlgControl* focused = GetFocusedControl()) {
        m_layout->ScrollToControl(focused, kNoAnimation);
        UpdateScroller();
    }
    m_scrollable = RectHeight(view) < m_layout->GetContentHeight();
    Redraw(kKeepBackground);
}

void CSmartDialog::UpdateScroller() {
    if (m_layout != nullptr) {
        const RECT& view = m_layout->GetView();
        m_scroller.SetRange(m_layout->GetScrollPos(), m_layout->GetContentHeight(), RectHeight(view),
                            kRedraw);
    }
}

HDC CSmartDialog::RenderOffscreen(HDC reference, int width, int height) {
    if ((!m_offscreen.IsValid() || m_offscreen.Width() != width || m_offscreen.Height() != height) &&
        !m_offscreen.CreateCompatible(reference, width, height)) {
        return nullptr;  // this frame is skipped
    }
    HDC dc = m_offscreen.DC();
    RECT all{0, 0, width, height};
    EraseBackground(nullptr, dc, &all);
    if (m_layout != nullptr) {
        m_layout->PaintControls(dc, nullptr);
    }
    m_scroller.SendMessage(CDlgControl::kMsgDrawAt, reinterpret_cast<WPARAM>(dc), 0);
    return dc;
}

BOOL CSmartDialog::OnPaint() {
    PAINTSTRUCT paint;
    HDC screen = BeginPaint(m_hWnd, &paint);
    if (m_shown && screen != nullptr) {
        const int width = GetClientWidth();
        const int height = GetClientHeight();
        if (HDC offscreen = RenderOffscreen(screen, width, height)) {
            BitBlt(screen, 0, 0, width, height, offscreen, 0, 0, SRCCOPY);
        }
    }
    EndPaint(m_hWnd, &paint);
    return TRUE;
}

BOOL CSmartDialog::OnEraseBkgnd(HDC) { return TRUE; }

HBITMAP CSmartDialog::CaptureScreen() {
    HDC screen = GetDC();
    if (screen == nullptr) {
        return nullptr;
    }
    HDC offscreen = RenderOffscreen(screen, GetClientWidth(), GetClientHeight());
    ReleaseDC(screen);
    return offscreen != nullptr ? m_offscreen.Bitmap() : nullptr;
}

BOOL CSmartDialog::PlayTransition(BOOL closing) {
    CGenericEffect* effect = closing ? m_transition.closingEffect : m_transition.openingEffect;
    if (m_transition.previousScreen == nullptr || effect == nullptr || m_hWnd == nullptr) {
        return FALSE;
    }
    HBITMAP previous = m_transition.previousScreen->CaptureScreen();
    if (CaptureScreen() == nullptr || previous == nullptr) {
        return FALSE;
    }
    HDC screen = GetDC();
    HDC previousDC = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(previousDC, previous);
    HDC ownDC = m_offscreen.DC();
    RECT client;
    GetClientRect(&client);
    const BOOL played = effect->Play(screen, 0, 0, client.right, client.bottom, closing ? ownDC : previousDC,
                                     closing ? previousDC : ownDC, 0, 0);
    SelectObject(previousDC, old);
    DeleteDC(previousDC);
    ReleaseDC(screen);
    return played;
}

// ---- activation -------------------------------------------------------------------------------------

BOOL CSmartDialog::OnActivate(BOOL active, LPARAM lParam) {
    if (active) {
        m_shown = TRUE;
        if (reinterpret_cast<HWND>(lParam) == GetParent() && lParam != 0) {
            PlayTransition(FALSE);
        }
    }
    if (m_layout != nullptr) {
        m_layout->BroadcastMessage(active ? CDlgControl::kMsgActivate : CDlgControl::kMsgDeactivate, 0, 0);
    }
    ShowInputPanel(active);
    if (!active) {
        m_shown = FALSE;
    } else {
        Redraw(kKeepBackground);
    }
    return FALSE;
}

void CSmartDialog::ShowInputPanel(BOOL active) {
    SIPINFO sip{};
    sip.cbSize = sizeof sip;
    if (m_menuInfo.GetFlags() == CMenuInfo::kNoInputPanel || !SipGetInfo(&sip)) {
        return;
    }
    const bool up = (sip.fdwFlags & SIPF_ON) != 0;
    if (active && m_menuInfo.GetFlags() == CMenuInfo::kInputPanelRaised && !up) {
        SHSipPreference(m_hWnd, SIP_UP);
    } else if (!active && up) {
        SHSipPreference(m_hWnd, SIP_FORCEDOWN);
        RECT window;
        GetWindowRect(&window);
        if (window.bottom != sip.rcSipRect.bottom) {
            MoveWindow(m_hWnd, window.left, window.top, RectWidth(window), sip.rcSipRect.bottom - window.top,
                       FALSE);
        }
    }
}

// ---- focus ------------------------------------------------------------------------------------------

CDlgControl* CSmartDialog::GetFocusedControl() {
    return m_layout != nullptr ? m_layout->GetControlAt(m_focusIndex) : nullptr;
}

BOOL CSmartDialog::SetFocusIndex(int index, BOOL scrollIntoView) {
    CDlgControl* control = m_layout != nullptr ? m_layout->GetControlAt(index) : nullptr;
    if (control != nullptr && index == m_focusIndex) {
        return TRUE;
    }
    if (control == nullptr || !control->CanFocus() || !control->IsVisible()) {
        return FALSE;
    }
    CDlgControl* old = GetFocusedControl();
    m_focusIndex = index;
    if (old != nullptr) {
        old->SendMessage(CDlgControl::kMsgKillFocus, 0, 0);
        old->Redraw(nullptr);
    }
    control->SendMessage(CDlgControl::kMsgSetFocus, 0, 0);
    control->Redraw(nullptr);
    if (scrollIntoView) {
        m_layout->ScrollToControl(control, kAnimate);
        UpdateScroller();
    }
    return TRUE;
}

BOOL CSmartDialog::SetFocusControl(CDlgControl* control, BOOL scrollIntoView) {
    return m_layout != nullptr && SetFocusIndex(m_layout->IndexOfControl(control), scrollIntoView);
}

BOOL CSmartDialog::FocusNext(BOOL scrollIntoView) {
    for (int i = m_focusIndex + 1; m_layout != nullptr && i < m_layout->GetControlCount(); ++i) {
        CDlgControl* control = m_layout->GetControlAt(i);
        if (control->CanFocus() && control->IsVisible()) {
            return SetFocusIndex(i, scrollIntoView);
        }
    }
    return FALSE;
}

BOOL CSmartDialog::FocusPrevious(BOOL scrollIntoView) {
    for (int i = m_focusIndex - 1; m_layout != nullptr && i >= 0; --i) {
        CDlgControl* control = m_layout->GetControlAt(i);
        if (control->CanFocus() && control->IsVisible()) {
            return SetFocusIndex(i, scrollIntoView);
        }
    }
    return FALSE;
}

// ---- keys -------------------------------------------------------------------------------------------

BOOL CSmartDialog::OnKey(UINT key, BOOL down) {
    CDlgControl* focused = GetFocusedControl();
    if (focused != nullptr && focused->IsVisible() && focused->IsEnabled() &&
        focused->SendMessage(down ? CDlgControl::kMsgKeyDown : CDlgControl::kMsgKeyUp, 0, static_cast<LPARAM>(key))) {
        return TRUE;
    }
    if (!down) {
        return TRUE;
    }
    if (m_layout == nullptr || (key != VK_DOWN && key != VK_UP)) {
        return FALSE;
    }
    const bool next = key == VK_DOWN;
    if (!(next ? FocusNext(kScrollIntoView) : FocusPrevious(kScrollIntoView))) {
        const int step = CSysInfo::Scale(30);
        next ? m_layout->ScrollDown(step, kAnimate) : m_layout->ScrollUp(step, kAnimate);
        UpdateScroller();
    }
    return TRUE;
}

LRESULT CSmartDialog::OnGetDlgCode(UINT key) { return IsArrowOrEnter(key) ? DLGC_WANTALLKEYS : 0; }

// ---- pointer ----------------------------------------------------------------------------------------

POINT CSmartDialog::ToControl(const CDlgControl* control, int x, int y) {
    RECT rect;
    control->GetRect(&rect);
    return POINT{x - rect.left, y - rect.top};
}

void CSmartDialog::SendPointer(CDlgControl* control, UINT message, int x, int y) {
    if (control != nullptr) {
        POINT point = ToControl(control, x, y);
        control->SendMessage(message, reinterpret_cast<WPARAM>(&point), 0);
    }
}

BOOL CSmartDialog::OnLButtonDown(int x, int y) {
    SetCapture();
    if (m_capture != nullptr) {
        SendPointer(m_capture, CDlgControl::kMsgPointerDown, x, y);
    } else if (CDlgControl* hit = m_layout != nullptr ? m_layout->ControlFromPoint(x, y) : nullptr) {
        if (hit->IsVisible() && hit->IsEnabled()) {
            SetFocusControl(hit, kScrollIntoView);
            m_pressed = hit;
            SendPointer(hit, CDlgControl::kMsgPointerDown, x, y);
        }
    }
    if (m_scrollable) {
        POINT point{x, y};
        OnPointer(kPenDown, &point);
    }
    return TRUE;
}

BOOL CSmartDialog::OnMouseMove(int x, int y) {
    // Only the newest of the queued moves counts, so that slow controls do not fall behind the pen.
    MSG queued;
    while (PeekMessageW(&queued, m_hWnd, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE)) {
        const POINT point = PointFromLParam(queued.lParam);
        x = point.x;
        y = point.y;
    }
    SendPointer(m_capture != nullptr ? m_capture : m_pressed, CDlgControl::kMsgPointerMove, x, y);
    if (m_capture == nullptr && m_scrollable) {
        POINT point{x, y};
        OnPointer(kPenMove, &point);
    }
    return TRUE;
}

BOOL CSmartDialog::OnLButtonUp(int x, int y) {
    ReleaseCapture();
    CDlgControl* capture = m_capture;
    SendPointer(capture != nullptr ? capture : m_pressed, CDlgControl::kMsgPointerUp, x, y);
    m_pressed = nullptr;
    if (capture == nullptr && m_scrollable) {
        POINT point{x, y};
        OnPointer(kPenUp, &point);
    }
    return TRUE;
}

void CSmartDialog::OnScroll(int kind, int amount) {
    if (!m_scrollable || m_layout == nullptr) {
        return;
    }
    switch (kind) {
    case kVerticalDragBegins:
        if (m_pressed != nullptr) {
            m_pressed->SendMessage(CDlgControl::kMsgPointerCancel, 0, 0);
            m_pressed = nullptr;
        }
        m_layout->BroadcastMessage(CDlgControl::kMsgGesture, 1, 0);
        break;
    case kGestureOver:
        m_layout->BroadcastMessage(CDlgControl::kMsgGesture, 2, 0);
        break;
    case kMoveDown:
        m_layout->ScrollUp(amount, kNoAnimation);
        break;
    case kMoveUp:
        m_layout->ScrollDown(amount, kNoAnimation);
        break;
    default:
        return;  // a tap or a horizontal drag
    }
    UpdateScroller();
}

// ---- commands and colours ---------------------------------------------------------------------------

CDlgControl* CSmartDialog::ControlOwning(HWND window) const {
    for (int i = 0; window != nullptr && m_layout != nullptr && i < m_layout->GetControlCount(); ++i) {
        if (m_layout->GetControlAt(i)->OwnsWindow(window)) {
            return m_layout->GetControlAt(i);
        }
    }
    return nullptr;
}

BOOL CSmartDialog::OnCommand(int id, int code, HWND control) {
    if (CDlgControl* owner = ControlOwning(control)) {
        owner->SendMessage(CDlgControl::kMsgCommand, static_cast<WPARAM>(code), reinterpret_cast<LPARAM>(control));
        return TRUE;
    }
    return OnDialogCommand(id, code, control);
}

BOOL CSmartDialog::OnDialogCommand(int id, int, HWND) {
    if (id == IDOK || id == IDCANCEL) {
        EndDialog(id);
        return TRUE;
    }
    return FALSE;
}

HBRUSH CSmartDialog::OnCtlColor(HDC dc, HWND child, int kind) {
    CDlgControl* owner = ControlOwning(child);
    if (owner == nullptr || kind < 0 || kind >= static_cast<int>(std::size(kColorMessages))) {
        return nullptr;
    }
    return reinterpret_cast<HBRUSH>(
        owner->SendMessage(kColorMessages[kind], reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child)));
}

// ---- host -------------------------------------------------------------------------------------------

HDC CSmartDialog::GetHostDC() { return m_hWnd != nullptr ? GetDC() : nullptr; }

void CSmartDialog::ReleaseHostDC(HDC dc) { ReleaseDC(dc); }

void CSmartDialog::RedrawHost() {
    Redraw(kKeepBackground);
}

BOOL CSmartDialog::SetCaptureControl(CDlgControl* control) {
    if (control == nullptr) {
        return FALSE;
    }
    m_capture = control;
    return TRUE;
}

void CSmartDialog::EraseBackground(CDlgControl*, HDC dc, const RECT* rect) {
    if (m_layout != nullptr && rect != nullptr) {
        FillRect(dc, rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
}

LRESULT CSmartDialog::OnControlNotify(CDlgControl*, int, LPARAM, LPARAM) { return 1; }

}  // namespace UserInterface
