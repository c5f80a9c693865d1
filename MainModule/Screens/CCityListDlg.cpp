#include "Screens/CCityListDlg.h"

#include <algorithm>
#include <memory>
#include <new>

#include "CFSFile.h"
#include "CGdiFactory.h"
#include "CLocalization.h"
#include "CRegistryStore.h"
#include "CSysInfo.h"
#include "Controls/CCityListBox.h"
#include "RectHelpers.h"
#include "Screens/CAppMessageBox.h"
#include "Screens/CGPSSettingsDlg.h"
#include "Screens/CSelectCityGPSDlg.h"
#include "Screens/CSelectFromListDlg.h"
#include "Shell/CTodayPlugin.h"
#include "Skin/CApplicationSkin.h"
#include "UserInterface/CDlgSeparator.h"
#include "UserInterface/CDlgStatic.h"
#include "UserInterface/CMenuItem.h"
#include "UserInterface/CMenuItemCollection.h"
#include "Weather/CCity.h"
#include "Weather/CCityDB.h"
#include "Weather/CCityList.h"
#include "Weather/CForecastCacheFile.h"
#include "Weather/CForecastUpdater.h"
#include "Weather/CSettings.h"
#include "Weather/CityDBChoices.h"
#include "Weather/DeviceUtilities.h"
#include "Weather/GlobalServices.h"

using UserInterface::CDlgControl;
using UserInterface::CMenuInfo;
using UserInterface::CMenuItem;
using UserInterface::CMenuItemCollection;

namespace {

constexpr DWORD kStatusStyle = 0x20010012;
constexpr DWORD kSeparatorStyle = 0x40012;
constexpr DWORD kControlStyle = 0x12;
constexpr int kStatusFontSize = 0;
constexpr int kListFontSize = 4;
constexpr int kToolbarThickness = 50;
constexpr int kInset = 2;
constexpr int kRuleHeight = 2;
constexpr int kMessageLength = 500;
constexpr LPCWSTR kLastSelCountry = u"LastSelCountry";

constexpr CToolBarControl::Button kToolbarButtons[CToolBarControl::kButtonCount] = {
    {60, CCityListDlg::kBack, 1},
    {66, CCityListDlg::kDeleteCity, 1},
    {65, CCityListDlg::kAddCity, 1},
    {64, CCityListDlg::kUpdateForecast, 1},
};

bool IsSmartphone() { return g_pSysInfo != nullptr && g_pSysInfo->IsSmartphone(); }
bool IsPortrait() { return g_pSysInfo == nullptr || g_pSysInfo->IsPortrait(); }
int CityCount() { return g_pCityList != nullptr ? g_pCityList->GetCount() : 0; }

// The list as it stood before a change, put back when the change cannot be saved: the file, the list
// and the screen then still agree.
class ListSnapshot {
public:
    ListSnapshot() {
        for (int i = 0; i < CityCount(); ++i) {
            CCity city;
            if (g_pCityList->GetCity(i, &city)) {
                m_cities.push_back(city);
            }
        }
        m_home = g_pCityList->GetHomeIndex();
    }
    void Restore() const {
        while (CityCount() > 0) {
            g_pCityList->RemoveAt(CityCount() - 1);
        }
        for (const CCity& city : m_cities) {
            g_pCityList->AddCity(city);
        }
        if (m_home >= 0) {
            g_pCityList->SetHomeIndex(m_home);
        }
    }

private:
    std::vector<CCity> m_cities;
    int m_home = -1;
};

// Saves the changed list; on failure the change is taken back.
bool SaveOrRestore(const ListSnapshot& before) {
    if (g_pCityList->Save()) {
        return true;
    }
    before.Restore();
    return false;
}

// A city that was in the list before gets its cached forecast back at once, stamped with the time
// the cache was written.
void LoadCachedForecast(CCity& city) {
    CByteBuffer text;
    if (!CForecastCacheFile::Read(city.GetLocationId(), text)) {
        return;
    }
    if (!city.ParseForecastXml(reinterpret_cast<const char*>(text.GetPointer(0)))) {
        city.ClearForecasts();
        return;
    }
    WCHAR path[MAX_PATH];
    CFSFile file;
    FILETIME written{};
    FILETIME local{};
    if (CForecastCacheFile::GetPath(city.GetLocationId(), path, MAX_PATH) &&
        file.Open(path, OPEN_EXISTING, GENERIC_READ, FILE_SHARE_READ) &&
        file.GetTimes(nullptr, nullptr, &written) && FileTimeToLocalFileTime(&written, &local)) {
        city.SetUpdateFileTime(&local);
    }
}

bool HasForecastForToday(const CCity& city) {
    CDate today;
    today.SetToday();
    CDayForecast day;
    return city.GetDayForecast(today, &day);
}

}  // namespace

// ---- layout ------------------------------------------------------------------------------------------

void CCityListDlg::CCityListDlgLayout::Arrange() {
    RECT rest = GetView();
    if (FindControl(kToolbarId) != nullptr) {
        RECT band = rest;
        const int thickness = CSysInfo::Scale(kToolbarThickness);
        if (IsPortrait()) {
            band.top = std::max(rest.top, rest.bottom - thickness);
            rest.bottom = band.top;
        } else {
            band.left = std::max(rest.left, rest.right - thickness);
            rest.right = band.left;
        }
        Place(kToolbarId, band);
    }
    const int inset = CSysInfo::Scale(kInset);
    int top = rest.top + inset;
    if (CDlgControl* status = FindControl(kStatusId)) {
        const int width = std::max(0, RectWidth(rest) - 2 * inset);
        status->Move(rest.left + inset, top, width, 0, UserInterface::kNoRedraw);
        const int height = status->GetPreferredHeight();
        status->Move(rest.left + inset, top, width, height, UserInterface::kNoRedraw);
        top += height + inset;
    }
    const int rule = CSysInfo::Scale(kRuleHeight);
    Place(kSeparatorId, RECT{rest.left, top, rest.right, top + rule});
    top = std::min<int>(rest.bottom, top + rule);
    Place(kListId, RECT{rest.left, top, rest.right, rest.bottom});
}

int CCityListDlg::CCityListDlgLayout::GetContentHeight() const { return RectHeight(GetView()); }

void CCityListDlg::CCityListDlgLayout::Place(int id, const RECT& rect) {
    if (CDlgControl* control = FindControl(id)) {
        control->Move(rect.left, rect.top, std::max<int>(0, RectWidth(rect)),
                      std::max<int>(0, RectHeight(rect)), UserInterface::kNoRedraw);
    }
}

// ---- creation ----------------------------------------------------------------------------------------

CCityListDlg::CCityListDlg(int* shownCity)
    : m_shownCity(shownCity) {
    SetLayoutSpacing(0, 0);
}

CCityListDlg::~CCityListDlg() = default;

UserInterface::CDlgLayout* CCityListDlg::CreateLayout() { return new (std::nothrow) CCityListDlgLayout; }

CCityListBox* CCityListDlg::GetListBox() const {
    return GetLayout() != nullptr ? static_cast<CCityListBox*>(GetLayout()->FindControl(kListId)) : nullptr;
}

int CCityListDlg::GetSelection() const {
    CCityListBox* list = GetListBox();
    return list != nullptr ? list->GetCurSel() : -1;
}

BOOL CCityListDlg::OnCreateMenu(CMenuInfo* menu) { return BuildMenu(menu); }

bool CCityListDlg::AppendEntry(CMenuItemCollection* items, int id, const char* caption,
                               const CMenuItemCollection* subItems) const {
    CMenuItem item;
    item.SetCommand(id);
    if (!item.SetCaption(caption)) {
        return false;
    }
    item.SetState(IsCommandEnabled(id) ? CMenuItem::kNormal : CMenuItem::kGrayed);
    item.SetSubItems(subItems);
    return items->Append(&item);
}

bool CCityListDlg::BuildMenu(CMenuInfo* menu) {
    CMenuItemCollection views;
    CMenuItemCollection popup;
    menu->Clear();
    menu->SetCommand(UserInterface::kLeftSoftKey, kSelect);
    menu->SetCommand(UserInterface::kRightSoftKey, kMenu);
    return menu->SetCaption(UserInterface::kLeftSoftKey, "IDS_CAP_SELECT") &&
           menu->SetCaption(UserInterface::kRightSoftKey, "IDS_CAP_MENU") &&
           AppendEntry(&views, kDayForecast, "IDS_CAP_DAY_FORECAST") &&
           AppendEntry(&views, kCurrentCondition, "IDS_CAP_CURRENT_CONDITION") &&
           AppendEntry(&views, kHourlyForecast, "IDS_CAP_HOURLY_FORECAST") &&
           AppendEntry(&views, kMaps, "IDS_CAP_MAPS") &&
           AppendEntry(&popup, kUpdateForecast, "IDS_CAP_UPDATE_FORECAST") &&
           AppendEntry(&popup, kHomeCity, "IDS_CAP_HOME_CITY") &&
           AppendEntry(&popup, kViewsMenu, "IDS_CAP_VIEWS", &views) &&
           AppendEntry(&popup, kAddCity, "IDS_CAP_ADD_CITY") &&
           AppendEntry(&popup, kAddByGps, "IDS_CAP_ADD_BY_GPS") &&
           AppendEntry(&popup, kDeleteCity, "IDS_CAP_DELETE_CITY") &&
           AppendEntry(&popup, kBack, "IDS_CAP_BACK") && menu->SetPopup(UserInterface::kRightSoftKey, &popup);
}

const CToolBarControl::Button* CCityListDlg::GetToolbarButtons() const { return kToolbarButtons; }

BOOL CCityListDlg::OnInitControls() { return CreateControls() && CAppBasicDialog::OnInitControls(); }

bool CCityListDlg::CreateControls() {
    UserInterface::CDlgStatic* status = AddText(kStatusId, kStatusStyle, u"", nullptr);
    if (status == nullptr || AddSeparator(kSeparatorId, kSeparatorStyle, 1) == nullptr) {
        return false;
    }
    std::unique_ptr<CCityListBox> list(new (std::nothrow) CCityListBox);
    if (list == nullptr || !GetLayout()->AddControl(list.get())) {
        return false;
    }
    CCityListBox* box = list.release();
    if (!box->Create(kListId, kControlStyle, UserInterface::kSizedByLayout, UserInterface::kSizedByLayout)) {
        return false;
    }
    if (g_pGdiFactory != nullptr) {
        status->SetFont(g_pGdiFactory->GetFont(kStatusFontSize, CGdiFactory::kClearType, CGdiFactory::kBold,
                                               CGdiFactory::kNoUnderline),
                        UserInterface::kNoRedraw);
        box->SetFont(g_pGdiFactory->GetFont(kListFontSize, CGdiFactory::kClearType, CGdiFactory::kRegular,
                                            CGdiFactory::kNoUnderline),
                     UserInterface::kNoRedraw);
    }
    box->SetBorderColor(CApplicationSkin::kBackgroundColor, UserInterface::kNoRedraw);
    box->SetTextColor(kTextColor, UserInterface::kNoRedraw);
    if (IsSmartphone()) {
        return true;
    }
    std::unique_ptr<CToolBarControl> toolbar(new (std::nothrow) CToolBarControl);
    if (toolbar == nullptr || !GetLayout()->AddControl(toolbar.get())) {
        return false;
    }
    CToolBarControl* bar = toolbar.release();
    const int orientation = IsPortrait() ? CToolBarControl::kHorizontal : CToolBarControl::kVertical;
    if (!bar->Create(orientation, nullptr, kToolbarId, kControlStyle, UserInterface::kSizedByLayout,
                     UserInterface::kSizedByLayout)) {
        return false;
    }
    bar->SetBorderColor(CApplicationSkin::kBackgroundColor, UserInterface::kNoRedraw);
    return true;
}

BOOL CCityListDlg::OnInitDialog() {
    if (!CAppBasicDialog::OnInitDialog()) {
        return FALSE;
    }
    m_forecastRelay.Attach(m_hWnd, WMU_FORECAST_EVENT);
    return TRUE;
}

void CCityListDlg::OnDestroy() {
    m_forecastRelay.Detach();
    CAppBasicDialog::OnDestroy();
}

BOOL CCityListDlg::OnSize(int width, int height) {
    CAppBasicDialog::OnSize(width, height);
    CCityListBox* list = GetListBox();
    if (list == nullptr || m_hWnd == nullptr) {
        return TRUE;
    }
    GetLayout()->ScrollTo(0, UserInterface::kNoAnimation);
    list->EnsureVisible(list->GetCurSel(), UserInterface::kNoRedraw);
    Redraw(kKeepBackground);
    return TRUE;
}

// ---- refresh -----------------------------------------------------------------------------------------

BOOL CCityListDlg::Refresh(DWORD mask) {
    return (!(mask & kRefreshStatus) || RefreshStatus()) && (!(mask & kRefreshList) || RefreshList()) &&
           (!(mask & kRefreshToolbar) || RefreshToolbar()) && (!(mask & kRefreshMenu) || RefreshMenu()) &&
           (!(mask & kRefreshSoftKeys) || RefreshSoftKeys());
}

bool CCityListDlg::RefreshStatus() {
    auto* status = GetLayout() != nullptr ? static_cast<UserInterface::CDlgStatic*>(GetLayout()->FindControl(kStatusId))
                                          : nullptr;
    const bool updating = g_pForecastUpdater != nullptr && g_pForecastUpdater->IsRunning();
    LPCWSTR text = LoadLocalizedString(updating ? "IDS_DOWNLOADING" : "IDS_SELECT_CITY");
    if (status == nullptr) {
        return false;
    }
    // The text's height decides where the rule and the list begin: they are placed again before the
    // screen is painted, so that a new text never lands in the old (at first empty) box.
    status->SetText(text != nullptr ? text : u"", UserInterface::kNoRedraw);
    RecalcLayout();
    if (!m_busy) {
        RedrawHost();
    }
    return true;
}

bool CCityListDlg::RefreshList() {
    CCityListBox* list = GetListBox();
    if (list == nullptr) {
        return false;
    }
    int selection = list->GetCurSel();
    list->RemoveAll(UserInterface::kNoRedraw);
    for (int i = 0; i < CityCount(); ++i) {
        CCity city;
        if (g_pCityList->GetCity(i, &city)) {
            list->AddCity(&city, UserInterface::kNoRedraw);
        }
    }
    list->SetHomeIndex(g_pCityList != nullptr ? g_pCityList->GetHomeIndex() : -1, UserInterface::kNoRedraw);
    if (selection < 0 && m_shownCity != nullptr) {
        selection = *m_shownCity;
    }
    if (selection < 0 || selection >= list->GetCount()) {
        selection = 0;
    }
    list->SetCurSel(selection, UserInterface::kNoRedraw);
    if (!m_busy) {
        list->Redraw(nullptr);
    }
    return true;
}

bool CCityListDlg::RefreshSoftKeys() {
    m_menuInfo.SetEnabled(UserInterface::kLeftSoftKey, CityCount() > 0 && GetSelection() >= 0);
    return m_hMenuBar == nullptr || CMenuInfo::UpdateMenuBar(m_hMenuBar, m_menuInfo);
}

bool CCityListDlg::RefreshMenu() {
    CMenuInfo rebuilt;
    if (!BuildMenu(&rebuilt)) {
        return false;
    }
    return m_menuInfo.SetPopup(UserInterface::kRightSoftKey, rebuilt.GetPopup(UserInterface::kRightSoftKey));
}

bool CCityListDlg::RefreshToolbar() {
    auto* toolbar = GetLayout() != nullptr ? static_cast<CToolBarControl*>(GetLayout()->FindControl(kToolbarId))
                                           : nullptr;
    return toolbar == nullptr || toolbar->SetButtons(GetToolbarButtons(), !m_busy);
}

bool CCityListDlg::IsCommandEnabled(int id) const {
    const int selection = GetSelection();
    CCity city;
    switch (id) {
        case kHomeCity: return selection >= 0 && g_pCityList != nullptr && selection != g_pCityList->GetHomeIndex();
        case kDeleteCity: return selection >= 0;
        case kUpdateForecast: return CityCount() > 0;
        case kDayForecast:
        case kCurrentCondition:
        case kHourlyForecast:
            return selection >= 0 && g_pCityList != nullptr && g_pCityList->GetCity(selection, &city) &&
                   HasForecastForToday(city);
        default: return true;
    }
}

// ---- input -------------------------------------------------------------------------------------------

// Every key is the list's, whatever has the focus.
BOOL CCityListDlg::OnKey(UINT key, BOOL down) {
    if (CCityListBox* list = GetListBox()) {
        list->SendMessage(down ? CDlgControl::kMsgKeyDown : CDlgControl::kMsgKeyUp, 0, static_cast<LPARAM>(key));
    }
    return TRUE;
}

// On the key's release, so that its press does not reach the screen below.
BOOL CCityListDlg::OnBackKey(WPARAM, LPARAM lParam) {
    if (LOWORD(lParam) & MOD_KEYUP) {
        OnDialogCommand(kBack, 0, nullptr);
    }
    return TRUE;
}

LRESULT CCityListDlg::OnControlNotify(CDlgControl* control, int code, LPARAM a, LPARAM b) {
    if (control != nullptr && control->GetId() == kListId) {
        if (code == CRowListControl::kNotifySelection) {
            Refresh(kRefreshMenu | kRefreshSoftKeys);
        } else if (code == CRowListControl::kNotifyEnter) {
            OnSelectAction();
        }
        return 0;
    }
    if (control != nullptr && control->GetId() == kToolbarId && code == CToolBarControl::kNotifyCommand) {
        OnDialogCommand(static_cast<int>(b), 0, nullptr);
        return 0;
    }
    return CAppBasicDialog::OnControlNotify(control, code, a, b);
}

void CCityListDlg::OnSelectAction() {
    if (GetSelection() >= 0) {
        EndWithShownCity(IDOK);
    }
}

void CCityListDlg::EndWithShownCity(int result) {
    if (m_shownCity != nullptr) {
        *m_shownCity = GetSelection();
    }
    EndDialog(result);
}

BOOL CCityListDlg::OnDialogCommand(int id, int code, HWND window) {
    switch (id) {
        case IDOK:
        case kSelect: OnSelectAction(); return TRUE;
        case kBack:
        case kMaps: EndDialog(id); return TRUE;
        case kDayForecast:
        case kCurrentCondition:
        case kHourlyForecast:
            if (GetSelection() >= 0) {
                EndWithShownCity(id);
            }
            return TRUE;
        case kUpdateForecast: UpdateForecasts(); return TRUE;
        case kAddCity: AddCityByName(); return TRUE;
        case kAddByGps: AddCityByGps(); return TRUE;
        case kDeleteCity: DeleteCity(); return TRUE;
        case kHomeCity: MakeHomeCity(); return TRUE;
        default: return CAppBasicDialog::OnDialogCommand(id, code, window);
    }
}

// ---- commands ----------------------------------------------------------------------------------------

void CCityListDlg::UpdateForecasts() {
    std::vector<std::u16string> ids;
    if (g_pForecastUpdater == nullptr || g_pForecastUpdater->IsRunning() || g_pCityList == nullptr ||
        !g_pCityList->GetLocationIds(&ids) || ids.empty()) {
        return;
    }
    g_pForecastUpdater->Start(ids, CForecastUpdater::kReturnAtOnce, CForecastUpdater::kOneAttempt,
                              CForecastUpdater::kNoDelay);
}

// The home city always stands first: it trades places with the first city.
void CCityListDlg::MakeHomeCity() {
    const int selection = GetSelection();
    if (selection < 0 || g_pCityList == nullptr || selection == g_pCityList->GetHomeIndex()) {
        return;
    }
    const ListSnapshot before;
    if (!g_pCityList->SetHomeIndex(selection) || (selection != 0 && !g_pCityList->SwapCities(selection, 0))) {
        before.Restore();
        return;
    }
    if (!SaveOrRestore(before)) {
        return;
    }
    // The views keep showing the city they showed, wherever it went.
    if (m_shownCity != nullptr && selection != 0) {
        if (*m_shownCity == selection) {
            *m_shownCity = 0;
        } else if (*m_shownCity == 0) {
            *m_shownCity = selection;
        }
    }
    Refresh(kRefreshList | kRefreshMenu | kRefreshSoftKeys);
    RefreshStartScreenPlugin(CTodayPlugin::TODAY_RELOAD_CITIES);
}

void CCityListDlg::DeleteCity() {
    const int selection = GetSelection();
    CCity city;
    if (selection < 0 || g_pCityList == nullptr || !g_pCityList->GetCity(selection, &city)) {
        return;
    }
    WCHAR pattern[kMessageLength];
    WCHAR question[kMessageLength];
    if (!CLocalization::Global().GetTemplate("IDS_DELETE_CITY_TMPL", pattern, kMessageLength) ||
        _snwprintf(question, kMessageLength, pattern, city.GetName()) < 0) {
        return;
    }
    CAppMessageBox box;
    const INT_PTR answer = CAppMessageBox::DoModalYesNoOverParentDialog(box, this, question, nullptr, nullptr);
    if (answer != IDYES && answer != IDOK) {
        return;
    }
    const ListSnapshot before;
    if (!g_pCityList->RemoveAt(selection)) {
        return;
    }
    if (CityCount() > 0 && g_pCityList->GetHomeIndex() < 0) {
        g_pCityList->SetHomeIndex(0);
    }
    if (!SaveOrRestore(before)) {
        return;
    }
    if (m_shownCity != nullptr) {
        // A city below the deleted one moves up a row; the views keep showing it.
        if (*m_shownCity > selection) {
            --*m_shownCity;
        }
        *m_shownCity = std::clamp(*m_shownCity, 0, std::max(0, CityCount() - 1));
    }
    Refresh(kRefreshList | kRefreshMenu | kRefreshSoftKeys);
    RefreshStartScreenPlugin(CTodayPlugin::TODAY_RELOAD_CITIES);
}

bool CCityListDlg::AddCity(CCity& city) {
    CCityListBox* list = GetListBox();
    if (g_pCityList == nullptr || list == nullptr) {
        return false;
    }
    LoadCachedForecast(city);
    const ListSnapshot before;
    if (!g_pCityList->AddCity(city)) {
        return false;
    }
    if (g_pCityList->GetHomeIndex() < 0) {
        g_pCityList->SetHomeIndex(0);
    }
    if (!SaveOrRestore(before)) {
        return false;
    }
    list->AddCity(&city, UserInterface::kNoRedraw);
    const int row = list->GetCount() - 1;
    if (g_pCityList->GetHomeIndex() == row) {
        list->SetHomeIndex(row, UserInterface::kNoRedraw);
    }
    list->SetCurSel(row, UserInterface::kNoRedraw);
    Refresh(kRefreshMenu | kRefreshSoftKeys);
    if (!m_busy) {
        list->Redraw(nullptr);
    }
    RefreshStartScreenPlugin(CTodayPlugin::TODAY_RELOAD_CITIES);
    return true;
}

void CCityListDlg::ShowCityMessage(const char* templateKey, const CCity& city) {
    WCHAR pattern[kMessageLength];
    WCHAR text[kMessageLength];
    if (!CLocalization::Global().GetTemplate(templateKey, pattern, kMessageLength) ||
        _snwprintf(text, kMessageLength, pattern, city.GetName()) < 0) {
        return;
    }
    CAppMessageBox box;
    CAppMessageBox::DoModalDoneOverParentDialog(box, this, text, nullptr, nullptr);
}

// Country, then state (when the country has states), then city, each from a picker over the database.
void CCityListDlg::AddCityByName() {
    if (g_pCityList == nullptr) {
        return;
    }
    WCHAR path[MAX_PATH];
    CCityDB db;
    BeginWaitCursor();
    const bool opened = CSysInfo::ExpandPath(u"%INSTALL_DIR%\\CityDB.dat", path, MAX_PATH) && db.Open(path);
    EndWaitCursor();
    if (!opened) {
        return;
    }
    WCHAR lastCountry[kMessageLength] = {};
    if (g_pRegistry == nullptr || !g_pRegistry->GetString(kLastSelCountry, lastCountry, kMessageLength)) {
        lastCountry[0] = 0;
    }
    std::vector<std::u16string> countries;
    int chosen = CityDBChoices::ListCountries(db, lastCountry, &countries);
    if (PickFromList("IDS_SELECT_COUNTRY", countries, &chosen) != IDOK) {
        return;
    }
    CCity city;
    city.SetCountry(countries[static_cast<size_t>(chosen)].c_str());
    if (g_pRegistry != nullptr) {
        g_pRegistry->SetString(kLastSelCountry, city.GetCountry());
    }
    std::vector<std::u16string> states;
    int entry = CityDBChoices::ListStates(db, city.GetCountry(), &states);
    if (entry < 0) {
        return;
    }
    if (!states.empty()) {
        chosen = -1;
        if (PickFromList("IDS_SELECT_STATE", states, &chosen) != IDOK) {
            return;
        }
        city.SetState(states[static_cast<size_t>(chosen)].c_str());
        if ((entry = CityDBChoices::FindEntry(db, city.GetCountry(), city.GetState())) < 0) {
            return;
        }
    }
    std::vector<CityDBRecord> records;
    BeginWaitCursor();
    const bool read = db.ReadEntryCities(entry, &records);
    EndWaitCursor();
    std::vector<std::u16string> names;
    for (const CityDBRecord& record : records) {
        names.push_back(record.name);
    }
    chosen = -1;
    if (!read || PickFromList("IDS_SELECT_CITY", names, &chosen) != IDOK) {
        return;
    }
    const CityDBRecord& record = records[static_cast<size_t>(chosen)];
    city.SetName(record.name);
    city.SetLocationId(record.locationId);
    if (g_pCityList->FindIndexById(city.GetLocationId()) >= 0) {
        ShowCityMessage("IDS_CITY_ALREADY_EXIST_TMPL", city);
        return;
    }
    AddCity(city);
}

// Without a GPS port the port screen comes first; then the city nearest to the fix is chosen.
void CCityListDlg::AddCityByGps() {
    if (g_pCityList == nullptr) {
        return;
    }
    if (static_cast<int>(GetSettings().gpsPort) < 0) {
        CGPSSettingsDlg port;
        const INT_PTR chosen = RunChooser([&] { return port.RunOverDialog(this, this, nullptr); });
        if (chosen != IDOK || static_cast<int>(GetSettings().gpsPort) < 0) {
            return;
        }
    }
    CCity city;
    CSelectCityGPSDlg nearby;
    if (RunChooser([&] { return nearby.ShowModal(this, &city); }) != IDOK) {
        return;
    }
    if (g_pCityList->FindIndexById(city.GetLocationId()) >= 0) {
        ShowCityMessage("IDS_CITY_ALREADY_EXIST_TMPL", city);
        return;
    }
    AddCity(city);
}

// The list picker over the screen, titled by the key; IDOK only with a row of the items chosen.
INT_PTR CCityListDlg::PickFromList(const char* titleKey, const std::vector<std::u16string>& items, int* index) {
    if (items.empty() || index == nullptr) {
        return IDCANCEL;
    }
    LPCWSTR title = LoadLocalizedString(titleKey);
    CSelectFromListDlg picker;
    const INT_PTR result = RunChooser([&] { return picker.Run(this, title, &items, index); });
    return result == IDOK && *index >= 0 && static_cast<size_t>(*index) < items.size() ? IDOK : IDCANCEL;
}

INT_PTR CCityListDlg::RunChooser(const std::function<INT_PTR()>& run) {
    m_busy = true;
    const INT_PTR result = run();
    m_busy = false;
    Redraw(kKeepBackground);
    return result;
}

// ---- the forecast updater -----------------------------------------------------------------------------

BOOL CCityListDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WMU_FORECAST_EVENT) {
        return CAppBasicDialog::OnMessage(message, wParam, lParam);
    }
    OnForecastEvent(CForecastEventRelay::StatusOf(wParam), static_cast<int>(lParam),
                    CForecastEventRelay::IsLast(wParam));
    return TRUE;
}

void CCityListDlg::OnForecastEvent(int status, int result, bool last) {
    if (status == CForecastUpdater::kStatusStarted) {
        Refresh(kRefreshStatus);
        return;
    }
    Refresh(static_cast<DWORD>(-1));
    if (last && result != 0) {
        CAppMessageBox box;
        CForecastUpdater::ShowResultMessage(box, this, this, result, m_forecastRelay.CitiesWithoutData());
    }
}
