// The city list screen: the user's cities with the home marker and today's weather, where a city is
// chosen for the views, made the home city, deleted, or added from the city database by country, state
// and name or by a GPS fix, and where the forecasts of all cities are updated. Every change is saved
// to Cities.dat at once and the start-screen item told.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Controls/CToolBarControl.h"
#include "Screens/CAppBasicDialog.h"
#include "Screens/CForecastEventRelay.h"
#include "UserInterface/CDlgLayout.h"

class CCity;
class CCityListBox;

namespace UserInterface {
class CMenuItemCollection;
}

class CCityListDlg : public CAppBasicDialog {
public:
    enum ControlId { kStatusId = 0, kSeparatorId = 1, kListId = 2, kToolbarId = 3 };
    enum Command {
        kMenu = 3000,
        kSelect = 3006,
        kBack = 3008,
        kDayForecast = 3009,
        kUpdateForecast = 3011,
        kCurrentCondition = 3012,
        kMaps = 3014,
        kAddCity = 3015,
        kAddByGps = 3016,
        kDeleteCity = 3017,
        kHomeCity = 3018,
        kHourlyForecast = 3034,
        kViewsMenu = 3040,
    };
    // Parts of Refresh.
    static constexpr DWORD kRefreshSoftKeys = 0x1;
    static constexpr DWORD kRefreshMenu = 0x2;
    static constexpr DWORD kRefreshStatus = 0x10000;
    static constexpr DWORD kRefreshList = 0x20000;
    static constexpr DWORD kRefreshToolbar = 0x40000;
    // The forecast updater's news, posted from its worker thread (CForecastEventRelay).
    static constexpr UINT WMU_FORECAST_EVENT = WM_USER + 106;

    // Places the controls: the toolbar's band at the bottom (portrait) or the right edge (landscape),
    // the status text at the top as high as its text, the rule under it and the list in the rest.
    class CCityListDlgLayout : public UserInterface::CDlgLayout {
    public:
        void Arrange() override;
        // The controls fill the view: there is nothing to scroll.
        int GetContentHeight() const override;

    private:
        void Place(int id, const RECT& rect);
    };

    // shownCity: the caller's index of the city that the views show; read and written, may be null.
    explicit CCityListDlg(int* shownCity);
    ~CCityListDlg() override;

    CCityListBox* GetListBox() const;
    bool IsBusy() const { return m_busy; }

    BOOL OnCreateMenu(UserInterface::CMenuInfo* menu) override;
    BOOL OnInitControls() override;
    BOOL OnInitDialog() override;
    void OnDestroy() override;
    BOOL OnSize(int width, int height) override;
    BOOL OnKey(UINT key, BOOL down) override;
    BOOL OnBackKey(WPARAM wParam, LPARAM lParam) override;
    BOOL OnDialogCommand(int id, int code, HWND window) override;
    BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnControlNotify(UserInterface::CDlgControl* control, int code, LPARAM a, LPARAM b) override;
    UserInterface::CDlgLayout* CreateLayout() override;
    BOOL Refresh(DWORD mask) override;

protected:
    // What differs on the first start's page: the keys and menu, the toolbar and the Select action.
    virtual bool BuildMenu(UserInterface::CMenuInfo* menu);
    virtual const CToolBarControl::Button* GetToolbarButtons() const;
    virtual void OnSelectAction();

    // Appends a menu entry whose state follows the list.
    bool AppendEntry(UserInterface::CMenuItemCollection* items, int id, const char* caption,
                     const UserInterface::CMenuItemCollection* subItems = nullptr) const;
    bool IsCommandEnabled(int id) const;
    int GetSelection() const;

    // The commands that both screens share.
    void MakeHomeCity();
    void DeleteCity();
    void AddCityByName();
    void AddCityByGps();
    // Adds a city that a chooser filled, with the forecast cached from an earlier time in the list.
    bool AddCity(CCity& city);

private:
    bool CreateControls();
    bool RefreshStatus();
    bool RefreshList();
    bool RefreshSoftKeys();
    bool RefreshMenu();
    bool RefreshToolbar();
    void UpdateForecasts();
    void EndWithShownCity(int result);
    // A box with the Done key over the screen, the template filled with the city's name.
    void ShowCityMessage(const char* templateKey, const CCity& city);
    // Runs a chooser over the screen, which blends in from the screen's picture and back; meanwhile the
    // screen's refreshes leave the painting to the end.
    INT_PTR RunChooser(const std::function<INT_PTR()>& run);
    // The picker over a list of texts: 1 with the chosen position, otherwise 2.
    INT_PTR PickFromList(const char* titleKey, const std::vector<std::u16string>& items, int* index);
    void OnForecastEvent(int status, int result, bool last);

    int* m_shownCity;
    bool m_busy = false;
    CForecastEventRelay m_forecastRelay;
};
