// A city's hourly forecasts, one day a page from today on: the city and the page's date in the switch,
// the day's hours in the hourly list. The switch arrows, the Left and Right keys and a sideways stroke
// turn the days, sliding the new one in; the other keys move through the list.
#pragma once

#include <map>
#include <string>

#include "CDate.h"
#include "Screens/CForecastViewDlg.h"
#include "Weather/CCity.h"
#include "Weather/CHourForecast.h"

class CHourlyForecastListBox;

class CHourlyForecastDlg : public CForecastViewDlg {
public:
    static constexpr int kList = kContent;
    // Parts of UpdateView.
    enum ViewPart : DWORD { kViewSwitch = 0x10000, kViewList = 0x20000, kViewToolbar = 0x40000 };

    class CHourlyForecastDlgLayout : public CForecastViewLayout {};

    CHourlyForecastDlg();
    ~CHourlyForecastDlg() override;

    // Runs over the window on the city of the list with that id, opening on the page of the date (the
    // first page when none has it); 3 for a null id or a city that is not in the list, else the command
    // it ended with: 1 (Back), 3009, 3010, 3012 or 3014.
    INT_PTR Run(HWND owner, LPCWSTR locationId, const CDate* date, UserInterface::IDlgScreenCapture* capture);

    // Brings the parts of the mask (-1 all) up to date; false at the first part that fails.
    BOOL UpdateView(DWORD flags);
    // Makes the page current, sliding it in when both pages are valid; the current page does nothing.
    // False for a page beyond the last or when the slide's pictures cannot be made (the page stays).
    bool ShowPage(int index);

    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    int GetCurrentPage() const { return m_page; }
    CHourlyForecastListBox* GetList() const;

    BOOL Refresh(DWORD mask) override;
    BOOL OnCreateMenu(UserInterface::CMenuInfo* menu) override;
    BOOL OnKey(UINT key, BOOL down) override;
    UserInterface::CDlgLayout* CreateLayout() override;

protected:
    bool AddContent(UserInterface::CDlgLayout* layout) override;
    const CToolBarControl::Button* GetToolbarButtons() const override;
    bool EndsWith(int id) const override;
    void TurnPage(bool next) override;
    void OnForecastEvent(int status, int result, bool last) override;

private:
    bool IsValidPage(int index) const { return index >= 0 && index < GetPageCount(); }
    // The pages of the city from today on, up to the first day without hours.
    void BuildPages(const CCity& city);
    const CHourForecastSet* CurrentHours() const;
    bool UpdateSwitch();
    bool UpdateList();
    void ShowPageNow(int index);
    void ReloadPages();

    WCHAR m_locationId[CCity::kLocationIdLength + 1] = {};
    std::u16string m_cityName;
    std::map<CDate, CHourForecastSet> m_pages;
    int m_page = -1;
};
