#include "Screens/CSettingsDialog.h"

#include <memory>
#include <new>

#include "CLocalization.h"
#include "CRegistryStore.h"
#include "CSysInfo.h"
#include "Skin/HslColor.h"
#include "UserInterface/CDlgCheckBox.h"
#include "UserInterface/CDlgComboBox.h"
#include "UserInterface/CDlgLayout.h"
#include "UserInterface/CDlgSeparator.h"
#include "UserInterface/CDlgStatic.h"
#include "Weather/GlobalServices.h"

using UserInterface::CDlgCheckBox;
using UserInterface::CDlgComboBox;
using UserInterface::CDlgControl;

COLORREF CSettingsDialog::FieldColorOf(COLORREF themeColor) {
    const HslColor hsl = RgbToHsl(themeColor);
    return HslBytesToRgb(HslPartToByte(hsl.hue), HslPartToByte(hsl.saturation), kFieldLightness);
}

COLORREF CSettingsDialog::GetThemeColor() {
    return g_pSysInfo != nullptr ? g_pSysInfo->GetColor(CSysInfo::kThemeColor) : 0;
}

COLORREF CSettingsDialog::GetSettingsFieldColor() { return FieldColorOf(GetThemeColor()); }

BOOL CSettingsDialog::OnInitDialog() {
    if (!CAppBasicDialog::OnInitDialog()) {
        return FALSE;
    }
    UserInterface::CDlgLayout* layout = GetLayout();
    for (int i = 0; layout != nullptr && i < layout->GetControlCount(); ++i) {
        CDlgControl* control = layout->GetControlAt(i);
        if (control->IsVisible() && dynamic_cast<CDlgComboBox*>(control) != nullptr) {
            SetFocusIndex(i, UserInterface::kKeepScrollPosition);
            break;
        }
    }
    return TRUE;
}

BOOL CSettingsDialog::OnCreateMenu(UserInterface::CMenuInfo* menu) {
    const DWORD mode = UserInterface::CMenuInfo::kNoInputPanel;
    return IsWizardPage() ? menu->SetDone(mode) : menu->SetDoneCancel(mode);
}

// The release, so that the press does not reach the screen below.
BOOL CSettingsDialog::OnBackKey(WPARAM, LPARAM lParam) {
    if (!IsWizardPage() && (LOWORD(lParam) & MOD_KEYUP)) {
        return OnDialogCommand(IDCANCEL, 0, nullptr);
    }
    return TRUE;
}

BOOL CSettingsDialog::OnDialogCommand(int id, int code, HWND window) {
    if (id == IDOK) {
        if (Apply()) {
            EndDialog(IDOK);
        }
        return TRUE;
    }
    if (id == IDCANCEL && IsWizardPage()) {
        return TRUE;
    }
    return CAppBasicDialog::OnDialogCommand(id, code, window);
}

// ---- controls ---------------------------------------------------------------------------------------

UserInterface::CDlgStatic* CSettingsDialog::AddLabel(int id, const char* key) {
    LPCWSTR text = LoadLocalizedString(key);
    UserInterface::CDlgStatic* label = AddText(id, kLabelStyle, text != nullptr ? text : u"", nullptr);
    return label != nullptr && MakeBold(label) ? label : nullptr;
}

CDlgComboBox* CSettingsDialog::AddField(int id, const char* captionKey, DWORD style) {
    LPCWSTR caption = LoadLocalizedString(captionKey);
    std::unique_ptr<CDlgComboBox> field(new (std::nothrow) CDlgComboBox());
    if (field == nullptr || !field->Create(caption != nullptr ? caption : u"", id, style,
                                           UserInterface::kSizedByLayout, UserInterface::kSizedByLayout)) {
        return nullptr;
    }
    field->SetBorderColor(GetSettingsFieldColor(), UserInterface::kNoRedraw);
    field->SetTextColor(kTextColor, UserInterface::kNoRedraw);
    field->SetFocusColor(GetThemeColor(), UserInterface::kNoRedraw);
    if (!GetLayout()->AddControl(field.get())) {
        return nullptr;
    }
    return field.release();
}

UserInterface::CDlgSeparator* CSettingsDialog::AddSpacer(int id, int height) {
    return AddSeparator(id, kSpacerStyle, height);
}

CDlgCheckBox* CSettingsDialog::AddCheck(int id, const char* key) {
    LPCWSTR text = LoadLocalizedString(key);
    std::unique_ptr<CDlgCheckBox> check(new (std::nothrow) CDlgCheckBox());
    if (check == nullptr || !check->Create(text != nullptr ? text : u"", id, kCheckStyle,
                                           UserInterface::kSizedByLayout, UserInterface::kSizedByLayout)) {
        return nullptr;
    }
    check->SetBorderColor(SkinBorderColor(), UserInterface::kNoRedraw);
    check->SetTextColor(kTextColor, UserInterface::kNoRedraw);
    check->SetHighlightColor(kCheckHighlight, UserInterface::kNoRedraw);
    if (!GetLayout()->AddControl(check.get())) {
        return nullptr;
    }
    return check.release();
}

CDlgComboBox* CSettingsDialog::FieldOf(int id) const {
    return GetLayout() != nullptr ? static_cast<CDlgComboBox*>(GetLayout()->FindControl(id)) : nullptr;
}

bool CSettingsDialog::AddItemOfKey(CDlgComboBox* field, const char* key, intptr_t data) {
    LPCWSTR text = LoadLocalizedString(key);
    return field != nullptr && field->AddItem(text != nullptr ? text : u"", data, UserInterface::kNoRedraw);
}

void CSettingsDialog::SelectByData(CDlgComboBox* field, intptr_t value) {
    if (field == nullptr) {
        return;
    }
    int chosen = field->GetCount() > 0 ? 0 : -1;
    for (int i = 0; i < field->GetCount(); ++i) {
        if (field->GetItemData(i) == value) {
            chosen = i;
            break;
        }
    }
    field->SetCurSel(chosen, UserInterface::kNoRedraw);
    RedrawUnlessBusy(field);
}

bool CSettingsDialog::GetSelectedData(CDlgComboBox* field, intptr_t* data) {
    if (field == nullptr || field->GetCurSel() < 0) {
        return false;
    }
    *data = field->GetItemData(field->GetCurSel());
    return true;
}

void CSettingsDialog::RedrawUnlessBusy(CDlgControl* control) {
    if (control != nullptr && !IsPaintingSuppressed() && m_hWnd != nullptr) {
        control->Redraw(nullptr);
    }
}

bool CSettingsDialog::SaveSettings(const CSettings& before) {
    CSettings& settings = GetSettings();
    if (settings.Save(g_pRegistry)) {
        return true;
    }
    settings = before;
    return false;
}
