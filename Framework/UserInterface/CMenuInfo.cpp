#include "UserInterface/CMenuInfo.h"

#include <climits>

#include "CLocalization.h"
#include "CSysInfo.h"
#include "UserInterface/DialogResources.h"
#include "ce/shell.h"

namespace UserInterface {

CMenuInfo::CMenuInfo() = default;

CMenuInfo::CMenuInfo(const CMenuInfo& other) { Assign(other); }

CMenuInfo& CMenuInfo::operator=(const CMenuInfo& other) {
    Assign(other);
    return *this;
}

CMenuInfo::~CMenuInfo() = default;

void CMenuInfo::Clear() {
    for (SoftKey& key : m_keys) {
        key.command = -1;
        key.enabled = true;
        key.caption[0] = 0;
        key.popup.reset();
    }
    m_inputPanelMode = kNoInputPanel;
}

void CMenuInfo::SetCommand(int key, int id) {
    if (ValidKey(key)) {
        m_keys[key].command = id;
    }
}

int CMenuInfo::GetCommand(int key) const { return ValidKey(key) ? m_keys[key].command : -1; }

bool CMenuInfo::SetCaption(int key, const char* locKey) {
    if (!ValidKey(key)) {
        return false;
    }
    m_keys[key].caption[0] = 0;
    return locKey != nullptr && CLocalization::Global().GetString(locKey, m_keys[key].caption, kCaptionLength);
}

LPCWSTR CMenuInfo::GetCaption(int key) const { return ValidKey(key) ? m_keys[key].caption : u""; }

void CMenuInfo::SetEnabled(int key, bool enabled) {
    if (ValidKey(key)) {
        m_keys[key].enabled = enabled;
    }
}

bool CMenuInfo::IsEnabled(int key) const { return ValidKey(key) && m_keys[key].enabled; }

bool CMenuInfo::SetPopup(int key, const CMenuItemCollection* popup) {
    if (!ValidKey(key)) {
        return false;
    }
    m_keys[key].popup = popup != nullptr ? std::make_unique<CMenuItemCollection>(*popup) : nullptr;
    return true;
}

const CMenuItemCollection* CMenuInfo::GetPopup(int key) const {
    return ValidKey(key) ? m_keys[key].popup.get() : nullptr;
}

bool CMenuInfo::Assign(const CMenuInfo& other) {
    if (this == &other) {
        return true;
    }
    for (int i = 0; i < kKeyCount; ++i) {
        m_keys[i].command = other.m_keys[i].command;
        m_keys[i].enabled = other.m_keys[i].enabled;
        lstrcpynW(m_keys[i].caption, other.m_keys[i].caption, kCaptionLength);
        SetPopup(i, other.m_keys[i].popup.get());
    }
    m_inputPanelMode = other.m_inputPanelMode;
    return true;
}

bool CMenuInfo::SetKey(int key, int command, const char* locKey) {
    SetCommand(key, command);
    return SetCaption(key, locKey);
}

bool CMenuInfo::SetDone(DWORD mode) {
    Clear();
    m_inputPanelMode = mode;
    return SetKey(kLeftSoftKey, IDOK, "IDS_CAP_DONE");
}

bool CMenuInfo::SetDoneCancel(DWORD mode) {
    Clear();
    m_inputPanelMode = mode;
    return SetKey(kLeftSoftKey, IDOK, "IDS_CAP_DONE") && SetKey(kRightSoftKey, IDCANCEL, "IDS_CAP_CANCEL");
}

bool CMenuInfo::SetYesNo(DWORD mode) {
    Clear();
    m_inputPanelMode = mode;
    return SetKey(kLeftSoftKey, IDYES, "IDS_CAP_YES") && SetKey(kRightSoftKey, IDNO, "IDS_CAP_NO");
}

// 0 for an empty bar; UINT_MAX when the keys cannot be shown (a right key without a left one).
UINT CMenuInfo::BarResourceFor(const CMenuInfo& info) {
    const bool left = info.HasKey(kLeftSoftKey);
    const bool right = info.HasKey(kRightSoftKey);
    if (left && right) {
        return info.GetPopup(kRightSoftKey) != nullptr ? DialogResources::kKeyAndPopupBar
                                                       : DialogResources::kTwoKeyBar;
    }
    if (left) {
        return DialogResources::kOneKeyBar;
    }
    return right ? UINT_MAX : 0;
}

HWND CMenuInfo::CreateMenuBar(HWND window, const CMenuInfo& info) {
    const UINT resource = BarResourceFor(info);
    if (resource == UINT_MAX) {
        return nullptr;
    }
    SHMENUBARINFO bar{};
    bar.cbSize = sizeof bar;
    bar.hwndParent = window;
    bar.nToolBarId = resource;
    bar.hInstRes = DialogResources::ProgramInstance();
    bar.dwFlags = (resource == 0 ? SHCMBF_EMPTYBAR : 0) |
                  (info.GetFlags() == kNoInputPanel ? SHCMBF_HIDESIPBUTTON : 0);
    if (!SHCreateMenuBar(&bar)) {
        return nullptr;
    }
    if (!ApplyMenus(bar.hwndMB, info)) {
        DestroyWindow(bar.hwndMB);  // a bar half written is no bar
        return nullptr;
    }
    return bar.hwndMB;
}

bool CMenuInfo::UpdateMenuBar(HWND bar, const CMenuInfo& info) {
    if (!IsWindow(bar)) {
        return false;
    }
    for (int key = 0; key < kKeyCount; ++key) {
        if (info.HasKey(key) &&
            !CSysInfo::SetSoftKeyButton(key, bar, info.IsEnabled(key), info.GetCaption(key), info.GetCommand(key))) {
            return false;
        }
    }
    return true;
}

bool CMenuInfo::ApplyMenus(HWND bar, const CMenuInfo& info) {
    if (!UpdateMenuBar(bar, info)) {
        return false;
    }
    for (int key = 0; key < kKeyCount; ++key) {
        if (!info.HasKey(key) || info.GetPopup(key) == nullptr) {
            continue;
        }
        auto menu = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, info.GetCommand(key)));
        if (menu == nullptr || !FillPopupMenu(menu, info.GetPopup(key))) {
            return false;
        }
    }
    return true;
}

HMENU CMenuInfo::BuildPopupMenu(const CMenuItemCollection* items) {
    if (items == nullptr) {
        return nullptr;
    }
    HMENU menu = CreatePopupMenu();
    if (menu != nullptr && !FillPopupMenu(menu, items)) {
        DestroyMenu(menu);
        return nullptr;
    }
    return menu;
}

bool CMenuInfo::AppendItem(HMENU menu, const CMenuItem& item) {
    const UINT grayed = item.IsGrayed() ? MF_GRAYED : 0;
    if (item.IsSeparator()) {
        return AppendMenuW(menu, MF_SEPARATOR | grayed, 0, nullptr) != FALSE;
    }
    if (item.HasSubItems()) {
        HMENU sub = BuildPopupMenu(item.GetSubItems());
        if (sub == nullptr) {
            return false;
        }
        if (!AppendMenuW(menu, MF_POPUP | grayed, reinterpret_cast<UINT_PTR>(sub), item.GetCaption())) {
            DestroyMenu(sub);  // made here and not taken by the menu
            return false;
        }
        return true;
    }
    const UINT checked = item.IsChecked() ? MF_CHECKED : 0;
    return AppendMenuW(menu, MF_STRING | checked | grayed, static_cast<UINT_PTR>(item.GetCommand()),
                       item.GetCaption()) != FALSE;
}

bool CMenuInfo::FillPopupMenu(HMENU menu, const CMenuItemCollection* items) {
    if (items == nullptr || GetMenuItemCount(menu) < 0) {
        return false;
    }
    while (GetMenuItemCount(menu) > 0) {
        if (!DeleteMenu(menu, 0, MF_BYPOSITION)) {
            return false;
        }
    }
    for (int i = 0; i < items->GetCount(); ++i) {
        const CMenuItem& item = items->GetAt(i);
        if (!item.IsHidden() && !AppendItem(menu, item)) {
            return false;
        }
    }
    return true;
}

}  // namespace UserInterface
