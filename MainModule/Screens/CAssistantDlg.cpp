#include "Screens/CAssistantDlg.h"

#include "CSysInfo.h"
#include "Skin/CAppDlgImage.h"
#include "UserInterface/CDlgSeparator.h"
#include "UserInterface/CDlgStatic.h"

namespace {

using UserInterface::CDlgControl;
using UserInterface::CDlgSeparator;
using UserInterface::CDlgStatic;

constexpr DWORD kRow = CDlgControl::kVisible | CDlgControl::kHostBackground | CDlgControl::kFillWidth;
constexpr DWORD kTextStyle = kRow | CDlgControl::kPreferredHeight | CDlgStatic::kWordBreak;
constexpr DWORD kSeparatorStyle = kRow | CDlgSeparator::kEngraved;
constexpr int kPictureSize = 40;

}  // namespace

INT_PTR CAssistantDlg::Run(HWND parent, LPCWSTR text, LPCWSTR heading, UserInterface::IDlgScreenCapture* capture) {
    if (text == nullptr || heading == nullptr) {
        return 0;
    }
    m_text = text;
    m_heading = heading;
    UserInterface::CMenuInfo menu;
    if (!menu.SetDone(UserInterface::CMenuInfo::kNoInputPanel)) {
        return IDCANCEL;
    }
    return RunOverWindow(parent, &menu, capture);
}

// Without its picture the heading still shows.
BOOL CAssistantDlg::OnInitControls() {
    CAppDlgImage picture;
    const int size = CSysInfo::Scale(kPictureSize);
    const bool hasPicture = picture.Set(kPicture, size, size, TRUE);
    CDlgStatic* heading = AddText(kHeadingId, kTextStyle, m_heading.c_str(), hasPicture ? &picture : nullptr);
    if (heading == nullptr || !MakeBold(heading) ||
        AddSeparator(kSeparatorId, kSeparatorStyle, CSysInfo::Scale(1)) == nullptr ||
        AddText(kTextId, kTextStyle, m_text.c_str(), nullptr) == nullptr) {
        return FALSE;
    }
    return CAppBasicDialog::OnInitControls();
}

BOOL CAssistantDlg::OnDialogCommand(int id, int code, HWND window) {
    if (id == IDOK) {
        EndDialog(IDOK);
        return TRUE;
    }
    return CAppBasicDialog::OnDialogCommand(id, code, window);
}
