#include "Screens/CSelectCityGPSDlg.h"

#include <memory>
#include <new>

#include "CLocalization.h"
#include "CSysInfo.h"
#include "Screens/CAppMessageBox.h"
#include "UserInterface/CDlgLayout.h"
#include "UserInterface/CDlgListBox.h"
#include "UserInterface/CDlgSeparator.h"
#include "UserInterface/CDlgStatic.h"
#include "Weather/CCity.h"
#include "Weather/CCityDB.h"
#include "Weather/CGPSReceiver.h"
#include "Weather/CSettings.h"
#include "Weather/DeviceUtilities.h"
#include "Weather/GlobalServices.h"

namespace {

using UserInterface::CDlgControl;
using UserInterface::CDlgListBox;
using UserInterface::CDlgStatic;

constexpr LPCWSTR kCityDatabase = u"%INSTALL_DIR%\\CityDB.dat";
constexpr int kRowLength = 400;
constexpr int kSeparatorHeight = 2;
constexpr int kRowHeight = 25;

constexpr DWORD kRow = CDlgControl::kHostBackground | CDlgControl::kFillWidth;
constexpr DWORD kTitleStyle = kRow | CDlgControl::kVisible | CDlgControl::kPreferredHeight | CDlgStatic::kWordBreak;
constexpr DWORD kSeparatorStyle = kRow;
// White rows: a tinted selection keeps the chosen one readable, as in the other pickers.
constexpr DWORD kListStyle = kRow | CDlgControl::kFillHeight | CDlgListBox::kTintSelection;

LPCWSTR TextOf(const char* key) {
    LPCWSTR text = LoadLocalizedString(key);
    return text != nullptr ? text : u"";
}

}  // namespace

INT_PTR CSelectCityGPSDlg::ShowModal(UserInterface::CSmartDialog* parent, CCity* city) {
    if (city == nullptr || parent == nullptr) {
        return IDCANCEL;
    }
    m_city = city;
    return RunOverDialog(parent, parent->GetScreenCapture(), nullptr);
}

INT_PTR CSelectCityGPSDlg::ShowModal(HWND parent, CCity* city, UserInterface::IDlgScreenCapture* capture) {
    if (city == nullptr) {
        return IDCANCEL;
    }
    m_city = city;
    return RunOverWindow(parent, nullptr, capture);
}

void CSelectCityGPSDlg::PortName(DWORD gpsPort, WCHAR (&name)[32]) {
    // The setting is signed: -1 (none) names "COM-1:", which does not open.
    const int port = static_cast<int>(gpsPort);
    if (port < 100) {
        _snwprintf(name, 32, u"COM%d:", port);
    } else {
        _snwprintf(name, 32, u"GPD%d:", port - 100);
    }
}

BOOL CSelectCityGPSDlg::OnCreateMenu(UserInterface::CMenuInfo* menu) {
    menu->Clear();
    menu->SetFlags(UserInterface::CMenuInfo::kNoInputPanel);
    menu->SetCommand(UserInterface::kLeftSoftKey, kSelectCommand);
    menu->SetCommand(UserInterface::kRightSoftKey, IDCANCEL);
    if (!menu->SetCaption(UserInterface::kLeftSoftKey, "IDS_CAP_SELECT") ||
        !menu->SetCaption(UserInterface::kRightSoftKey, "IDS_CAP_CANCEL")) {
        return FALSE;
    }
    menu->SetEnabled(UserInterface::kLeftSoftKey, false);
    menu->SetEnabled(UserInterface::kRightSoftKey, false);
    return TRUE;
}

BOOL CSelectCityGPSDlg::OnInitControls() {
    m_found = false;
    m_title = AddText(kTitleId, kTitleStyle, TextOf("IDS_SEARCHING_CITIES"), nullptr);
    m_separator = AddSeparator(kSeparatorId, kSeparatorStyle, CSysInfo::Scale(kSeparatorHeight));
    std::unique_ptr<CDlgListBox> list(new (std::nothrow) CDlgListBox());
    if (m_title == nullptr || m_separator == nullptr || list == nullptr ||
        !list->Create(kListId, kListStyle, UserInterface::kSizedByLayout, UserInterface::kSizedByLayout)) {
        return FALSE;
    }
    list->SetTextColor(kTextColor, UserInterface::kNoRedraw);
    list->SetMinItemHeight(CSysInfo::Scale(kRowHeight), UserInterface::kNoRedraw);
    if (GetLayout() == nullptr || !GetLayout()->AddControl(list.get())) {
        return FALSE;
    }
    m_list = list.release();
    if (!CAppBasicDialog::OnInitControls()) {
        return FALSE;
    }
    // The screen is drawn before the wait for the receiver.
    return SetTimer(kSearchTimer, kSearchDelayMs) != 0;
}

BOOL CSelectCityGPSDlg::OnTimer(UINT_PTR id) {
    if (id != kSearchTimer) {
        return CAppBasicDialog::OnTimer(id);
    }
    KillTimer(kSearchTimer);
    RunSearch();
    return TRUE;
}

void CSelectCityGPSDlg::RunSearch() {
    BeginWaitCursor();
    const char* errorKey = "IDS_UNKNOWN_ERROR";
    if (FindCities(&errorKey) && ShowCities()) {
        EndWaitCursor();
        RefreshMenu();
        Redraw(kKeepBackground);
        return;
    }
    EndWaitCursor();
    m_errorKey = errorKey;
    CAppMessageBox box;
    CAppMessageBox::DoModalDoneOverParentDialog(box, this, TextOf(errorKey), nullptr, nullptr);
    EndDialog(IDCANCEL);
}

bool CSelectCityGPSDlg::FindCities(const char** errorKey) {
    WCHAR port[32];
    PortName(GetSettings().gpsPort, port);
    CGPSReceiver receiver;
    receiver.SetPort(port);
    double latitude = 0;
    double longitude = 0;
    switch (receiver.ReadPosition(&latitude, &longitude)) {
        case CGPSReceiver::kReadOk: break;
        case CGPSReceiver::kReadPortFailed: *errorKey = "IDS_ERR_GPS_PORT"; return false;
        default: *errorKey = "IDS_ERR_GPS_DATA"; return false;
    }
    WCHAR path[MAX_PATH];
    CCityDB database;
    return CSysInfo::ExpandPath(kCityDatabase, path, MAX_PATH) && database.Open(path) &&
           database.FindNearbyCities(latitude, longitude, &m_cities);
}

bool CSelectCityGPSDlg::ShowCities() {
    m_title->SetText(TextOf("IDS_SELECT_CITY"), UserInterface::kNoRedraw);
    m_list->ResetContent(UserInterface::kNoRedraw);
    LPCWSTR unit = TextOf("IDS_KM");
    for (size_t i = 0; i < m_cities.size(); ++i) {
        WCHAR row[kRowLength];
        if (_snwprintf(row, kRowLength, u"%s (~%d %s)", m_cities[i].city.name, m_cities[i].distanceKm, unit) <
                0 ||
            !m_list->AddItem(row, -1, -1, static_cast<intptr_t>(i), UserInterface::kNoRedraw)) {
            return false;
        }
        m_list->SetItemTextColor(static_cast<int>(i), kTextColor, UserInterface::kNoRedraw);
    }
    m_list->SetSelection(m_cities.empty() ? -1 : 0, UserInterface::kNoRedraw);
    m_found = true;
    m_separator->SetVisible(TRUE, UserInterface::kNoRedraw);
    m_list->SetVisible(TRUE, UserInterface::kNoRedraw);
    RecalcLayout();
    GetLayout()->ScrollTo(0, UserInterface::kNoAnimation);
    return true;
}

void CSelectCityGPSDlg::RefreshMenu() {
    UserInterface::CMenuInfo& menu = GetMenuInfo();
    const bool rowSelected = m_list != nullptr && m_list->GetItemCount() > 0 && m_list->GetSelection() >= 0;
    menu.SetEnabled(UserInterface::kLeftSoftKey, m_found && rowSelected);
    menu.SetEnabled(UserInterface::kRightSoftKey, m_found);
    if (GetMenuBar() != nullptr) {
        UserInterface::CMenuInfo::UpdateMenuBar(GetMenuBar(), menu);
    }
}

BOOL CSelectCityGPSDlg::OnDialogCommand(int id, int code, HWND window) {
    switch (id) {
        case IDOK:
        case kSelectCommand: ChooseSelected(); return TRUE;
        case IDCANCEL: EndDialog(IDCANCEL); return TRUE;
        default: return CAppBasicDialog::OnDialogCommand(id, code, window);
    }
}

LRESULT CSelectCityGPSDlg::OnControlNotify(UserInterface::CDlgControl* control, int code, LPARAM a, LPARAM b) {
    if (control != nullptr && control == m_list) {
        if (code == CDlgListBox::kNotifyEnter || code == CDlgListBox::kNotifyTap) {
            ChooseSelected();
            return 1;
        }
        if (code == CDlgListBox::kNotifySelectionChanged) {
            RefreshMenu();
        }
    }
    return CAppBasicDialog::OnControlNotify(control, code, a, b);
}

void CSelectCityGPSDlg::ChooseSelected() {
    const int row = m_found && m_list != nullptr ? m_list->GetSelection() : -1;
    if (row < 0 || m_city == nullptr) {
        return;
    }
    const intptr_t index = m_list->GetItemData(row);
    if (index < 0 || static_cast<size_t>(index) >= m_cities.size()) {
        return;
    }
    const CityDBRecord& chosen = m_cities[static_cast<size_t>(index)].city;
    m_city->SetLocationId(chosen.locationId);
    m_city->SetName(chosen.name);
    m_city->SetState(chosen.state);
    m_city->SetCountry(chosen.country);
    EndDialog(IDOK);
}

// The key's release cancels, once the search is over.
BOOL CSelectCityGPSDlg::OnBackKey(WPARAM, LPARAM lParam) {
    if ((LOWORD(lParam) & MOD_KEYUP) && m_found) {
        return OnDialogCommand(IDCANCEL, 0, nullptr);
    }
    return TRUE;
}
