#include "Screens/CAppMessageBox.h"

#include <cstdlib>
#include <new>

#include "CLocalization.h"
#include "CSysInfo.h"
#include "RectHelpers.h"
#include "UserInterface/CDlgHyperLink.h"
#include "UserInterface/CDlgSeparator.h"
#include "UserInterface/CDlgStatic.h"

namespace {

using UserInterface::CDlgControl;
using UserInterface::CDlgHyperLink;
using UserInterface::CDlgSeparator;
using UserInterface::CDlgStatic;

constexpr DWORD kRow = CDlgControl::kVisible | CDlgControl::kHostBackground | CDlgControl::kFillWidth;
constexpr DWORD kHeadingStyle = kRow | CDlgControl::kPreferredHeight | CDlgStatic::kWordBreak | CDlgStatic::kTextVCenter;
constexpr DWORD kMessageStyle = kRow | CDlgControl::kPreferredHeight | CDlgStatic::kWordBreak;
constexpr DWORD kSeparatorStyle = kRow | CDlgSeparator::kEngraved;
constexpr DWORD kLinkStyle = CDlgControl::kVisible | CDlgControl::kHostBackground | CDlgControl::kPreferredWidth |
                             CDlgControl::kPreferredHeight | CDlgStatic::kTextVCenter | CDlgHyperLink::kSingleLine |
                             CDlgHyperLink::kWordBreak;

}  // namespace

MessageBoxLink CAppMessageBox::SupportLink() {
    LPCWSTR text = LoadLocalizedString("IDS_SUPPORT_LINK");
    MessageBoxLink link;
    link.text = text != nullptr ? text : u"";
    LPCWSTR address = LoadLocalizedString("IDS_SUPPORT_ADDRESS");
    link.address = address != nullptr ? address : u"";
    return link;
}

INT_PTR CAppMessageBox::Show(CAppMessageBox& box, Keys keys, const Parent& parent, LPCWSTR text, LPCWSTR heading,
                             const MessageBoxLink* link) {
    if (text == nullptr) {
        return 0;
    }
    box.m_text = text;
    box.m_heading = heading != nullptr ? heading : u"";
    box.m_link = link != nullptr ? *link : MessageBoxLink{};
    UserInterface::CMenuInfo menu;
    const DWORD mode = UserInterface::CMenuInfo::kNoInputPanel;
    const bool captioned = keys == Keys::kDone         ? menu.SetDone(mode)
                           : keys == Keys::kDoneCancel ? menu.SetDoneCancel(mode)
                                                       : menu.SetYesNo(mode);
    if (!captioned) {
        return IDCANCEL;
    }
    return parent.overDialog ? box.RunOverDialog(parent.dialog, parent.capture, &menu)
                             : box.RunOverWindow(parent.window, &menu, box.m_screenBelow);
}

INT_PTR CAppMessageBox::DoModalDone(CAppMessageBox& box, HWND parent, LPCWSTR text, LPCWSTR heading,
                                    const MessageBoxLink* link) {
    return Show(box, Keys::kDone, OverWindow(parent), text, heading, link);
}

INT_PTR CAppMessageBox::DoModalDoneOverDialog(CAppMessageBox& box, UserInterface::CSmartDialog* parent,
                                              UserInterface::IDlgScreenCapture* capture, LPCWSTR text,
                                              LPCWSTR heading, const MessageBoxLink* link) {
    return Show(box, Keys::kDone, Parent{nullptr, parent, capture, true}, text, heading, link);
}

INT_PTR CAppMessageBox::DoModalDoneOverParentDialog(CAppMessageBox& box, UserInterface::CSmartDialog* parent,
                                                    LPCWSTR text, LPCWSTR heading, const MessageBoxLink* link) {
    return Show(box, Keys::kDone, OverDialog(parent), text, heading, link);
}

INT_PTR CAppMessageBox::DoModalDoneCancel(CAppMessageBox& box, HWND parent, LPCWSTR text, LPCWSTR heading,
                                          const MessageBoxLink* link) {
    return Show(box, Keys::kDoneCancel, OverWindow(parent), text, heading, link);
}

INT_PTR CAppMessageBox::DoModalYesNo(CAppMessageBox& box, HWND parent, LPCWSTR text, LPCWSTR heading,
                                     const MessageBoxLink* link) {
    return Show(box, Keys::kYesNo, OverWindow(parent), text, heading, link);
}

INT_PTR CAppMessageBox::DoModalYesNoOverParentDialog(CAppMessageBox& box, UserInterface::CSmartDialog* parent,
                                                     LPCWSTR text, LPCWSTR heading, const MessageBoxLink* link) {
    return Show(box, Keys::kYesNo, OverDialog(parent), text, heading, link);
}

BOOL CAppMessageBox::OnInitControls() {
    if (!m_heading.empty()) {
        CDlgStatic* heading = AddText(kHeadingId, kHeadingStyle, m_heading.c_str(), nullptr);
        if (heading == nullptr || !MakeBold(heading) ||
            AddSeparator(kSeparatorId, kSeparatorStyle, CSysInfo::Scale(1)) == nullptr) {
            return FALSE;
        }
    }
    if (AddText(kMessageId, kMessageStyle, m_text.c_str(), nullptr) == nullptr) {
        return FALSE;
    }
    // The link opens its address in the browser itself when tapped.
    if (!m_link.text.empty() || !m_link.address.empty()) {
        LPCWSTR text = m_link.text.empty() ? m_link.address.c_str() : m_link.text.c_str();
        LPCWSTR address = m_link.address.empty() ? nullptr : m_link.address.c_str();
        if (AddLink(kLinkId, kLinkStyle, text, address) == nullptr) {
            return FALSE;
        }
    }
    return CAppBasicDialog::OnInitControls();
}

UserInterface::CDlgLayout* CAppMessageBox::CreateLayout() { return new (std::nothrow) CAppMessageBoxLayout; }

void CAppMessageBox::CAppMessageBoxLayout::Arrange() {
    if (CDlgControl* link = FindControl(kLinkId)) {
        FitLink(link, RectWidth(GetView()) - 2 * GetMargin());
    }
    CDlgLayout::Arrange();
}

// Each arrangement starts again from the link's own font, so that a wider screen after a turn gets
// the larger text back.
void CAppMessageBox::CAppMessageBoxLayout::FitLink(CDlgControl* link, int room) {
    if (!m_hasLinkFont) {
        HGDIOBJ font = link->GetFont() != nullptr ? static_cast<HGDIOBJ>(link->GetFont()) : GetStockObject(SYSTEM_FONT);
        if (GetObjectW(font, sizeof m_linkFont, &m_linkFont) == 0) {
            return;
        }
        m_hasLinkFont = true;
    }
    const LONG own = m_linkFont.lfHeight;
    LONG height = own;
    SetLinkHeight(link, height);
    const LONG least = CSysInfo::Scale(kLeastLinkHeight);
    while (room > 0 && link->GetPreferredWidth() > room && std::labs(height) > least) {
        height += height > 0 ? -1 : 1;
        SetLinkHeight(link, height);
    }
}

void CAppMessageBox::CAppMessageBoxLayout::SetLinkHeight(CDlgControl* link, LONG height) {
    LOGFONTW description = m_linkFont;
    description.lfHeight = height;
    HFONT font = CreateFontIndirectW(&description);
    if (font == nullptr) {
        return;
    }
    link->SetFont(font, UserInterface::kNoRedraw);  // the link keeps a copy of its own
    DeleteObject(font);
}

bool CAppMessageBox::IsKeyCommand(int id) {
    return id != -1 && (GetMenuInfo().GetCommand(UserInterface::kLeftSoftKey) == id ||
                        GetMenuInfo().GetCommand(UserInterface::kRightSoftKey) == id);
}

BOOL CAppMessageBox::OnDialogCommand(int id, int code, HWND window) {
    if (IsKeyCommand(id)) {
        EndDialog(id);
        return TRUE;
    }
    return CAppBasicDialog::OnDialogCommand(id, code, window);
}

// On the press, as the controls act on keys: the release of a press that opened the box does not end it.
BOOL CAppMessageBox::OnKey(UINT key, BOOL down) {
    if (CAppBasicDialog::OnKey(key, down)) {
        return TRUE;
    }
    if (key != VK_RETURN || !down || !GetMenuInfo().HasKey(UserInterface::kLeftSoftKey)) {
        return FALSE;
    }
    EndDialog(GetMenuInfo().GetCommand(UserInterface::kLeftSoftKey));
    return TRUE;
}
