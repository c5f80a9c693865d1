#include "Screens/CAppBasicDialog.h"

#include <memory>
#include <new>

#include "CLocalization.h"
#include "CSysInfo.h"
#include "Skin/CApplicationSkin.h"
#include "UserInterface/CDlgHyperLink.h"
#include "UserInterface/CDlgLayout.h"
#include "UserInterface/CDlgSeparator.h"
#include "UserInterface/CDlgStatic.h"
#include "UserInterface/CGenericEffect.h"

namespace {

constexpr int kMargin = 2;
constexpr DWORD kScrollerStyle = UserInterface::CDlgControl::kHostBackground;
constexpr int kScrollerWidth = 4;

// Hands a made control to the layout, which owns it from then on.
template <class Control>
Control* Adopt(UserInterface::CDlgLayout* layout, std::unique_ptr<Control> control) {
    if (layout == nullptr || !layout->AddControl(control.get())) {
        return nullptr;
    }
    return control.release();
}

}  // namespace

CAppBasicDialog::CAppBasicDialog() { SetLayoutSpacing(CSysInfo::Scale(kMargin), CSysInfo::Scale(kMargin)); }

// The window is gone by now: the controls that still hold these fonts draw no more.
CAppBasicDialog::~CAppBasicDialog() {
    for (HFONT font : m_fonts) {
        DeleteObject(font);
    }
}

INT_PTR CAppBasicDialog::RunOverWindow(HWND parent, const UserInterface::CMenuInfo* menu,
                                       UserInterface::IDlgScreenCapture* capture) {
    TransitionInfo transition;
    transition.previousScreen = capture;
    if (capture != nullptr) {
        transition.openingEffect = m_windowTransition;
        transition.closingEffect = m_windowTransition;
    }
    return RunModal(parent, 0, menu, nullptr, &transition);
}

INT_PTR CAppBasicDialog::RunOverDialog(UserInterface::CSmartDialog* parent, UserInterface::IDlgScreenCapture* capture,
                                       const UserInterface::CMenuInfo* menu) {
    if (parent == nullptr) {
        return 0;
    }
    TransitionInfo transition;
    if (capture != nullptr) {
        transition.previousScreen = capture;
        transition.openingEffect = UserInterface::CreateTransitionEffect(kTransitionKind);
        transition.closingEffect = UserInterface::CreateTransitionEffect(kTransitionKind);
    }
    return RunModal(parent->GetHandle(), 0, menu, nullptr, &transition);
}

BOOL CAppBasicDialog::OnInitDialog() {
    LPCWSTR title = LoadLocalizedString("IDS_APP_NAME");
    SetWindowTextW(m_hWnd, title != nullptr ? title : u"");
    if (!CSmartDialog::OnInitDialog()) {
        return FALSE;
    }
    if (!Refresh(static_cast<DWORD>(-1))) {
        EndDialog(IDCANCEL);
        return FALSE;
    }
    return TRUE;
}

BOOL CAppBasicDialog::Refresh(DWORD) { return TRUE; }

BOOL CAppBasicDialog::OnPaint() {
    if (m_suppressPainting) {
        PAINTSTRUCT paint;
        BeginPaint(m_hWnd, &paint);
        EndPaint(m_hWnd, &paint);
        return TRUE;
    }
    return CSmartDialog::OnPaint();
}

BOOL CAppBasicDialog::AttachScroller() {
    UserInterface::CDlgScroller& scroller = GetScroller();
    if (!scroller.IsCreated() &&
        !scroller.Create(kScrollerStyle, CSysInfo::Scale(kScrollerWidth), UserInterface::kSizedByLayout)) {
        return FALSE;
    }
    return scroller.SetHost(this);
}

// The skin's gradient over the whole client area; without a skin the plain white of the base. A
// control hands its whole rectangle in the context's coordinates, which are its own when it draws
// through a buffer of its own: the gradient then moves with it.
void CAppBasicDialog::EraseBackground(UserInterface::CDlgControl* control, HDC dc, const RECT* rect) {
    RECT client;
    if (g_pApplicationSkin != nullptr && rect != nullptr && GetClientRect(&client)) {
        if (control != nullptr) {
            RECT placed;
            control->GetRect(&placed);
            OffsetRect(&client, rect->left - placed.left, rect->top - placed.top);
        }
        if (g_pApplicationSkin->DrawBackground(dc, &client, rect)) {
            return;
        }
    }
    CSmartDialog::EraseBackground(control, dc, rect);
}

// ---- controls ---------------------------------------------------------------------------------------

UserInterface::CDlgStatic* CAppBasicDialog::AddText(int id, DWORD style, LPCWSTR text,
                                                    const UserInterface::IDlgImage* image) {
    std::unique_ptr<UserInterface::CDlgStatic> label(new (std::nothrow) UserInterface::CDlgStatic());
    if (label == nullptr || !label->Create(text, image, id, style, UserInterface::kSizedByLayout,
                                           UserInterface::kSizedByLayout)) {
        return nullptr;
    }
    label->SetBorderColor(SkinBorderColor(), UserInterface::kNoRedraw);
    label->SetTextColor(kTextColor, UserInterface::kNoRedraw);
    return Adopt(GetLayout(), std::move(label));
}

UserInterface::CDlgSeparator* CAppBasicDialog::AddSeparator(int id, DWORD style, int height) {
    std::unique_ptr<UserInterface::CDlgSeparator> separator(new (std::nothrow) UserInterface::CDlgSeparator());
    if (separator == nullptr || !separator->Create(id, style, UserInterface::kSizedByLayout, height)) {
        return nullptr;
    }
    separator->SetBorderColor(SkinBorderColor(), UserInterface::kNoRedraw);
    return Adopt(GetLayout(), std::move(separator));
}

UserInterface::CDlgHyperLink* CAppBasicDialog::AddLink(int id, DWORD style, LPCWSTR text, LPCWSTR address) {
    std::unique_ptr<UserInterface::CDlgHyperLink> link(new (std::nothrow) UserInterface::CDlgHyperLink());
    if (link == nullptr || !link->Create(text, address, id, style, UserInterface::kSizedByLayout,
                                         UserInterface::kSizedByLayout)) {
        return nullptr;
    }
    link->SetBorderColor(SkinBorderColor(), UserInterface::kNoRedraw);
    link->SetTextColor(UserInterface::CDlgHyperLink::kLinkColor, UserInterface::kNoRedraw);
    return Adopt(GetLayout(), std::move(link));
}

COLORREF CAppBasicDialog::SkinBorderColor() {
    return g_pApplicationSkin != nullptr
               ? g_pApplicationSkin->GetSkinColor(CApplicationSkin::kBackgroundColorIndex)
               : 0;
}

bool CAppBasicDialog::MakeBold(UserInterface::CDlgControl* control) {
    if (control == nullptr) {
        return false;
    }
    HFONT bold = CSysInfo::CreateBoldFont(control->GetFont());
    if (bold == nullptr) {
        return false;
    }
    m_fonts.push_back(bold);
    control->SetFont(bold, UserInterface::kNoRedraw);
    return true;
}
