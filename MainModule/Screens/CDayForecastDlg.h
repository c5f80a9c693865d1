// The day forecast screen: one city's forecast one day a page, from today onward. A page shows the whole
// day in detail, or its four parts side by side when all four are known, from which the part-of-day
// screen opens. Pages turn by the switch's arrows and keys and by a horizontal swipe, sliding in over
// 300 ms. The screen follows the forecast updater and builds its pages anew when an update ends.
#pragma once

#include <map>
#include <string>

#include "CDate.h"
#include "Controls/DetailForecastData.h"
#include "Screens/CForecastViewDlg.h"
#include "Weather/CDayForecast.h"
#include "Weather/CDayPartsForecast.h"

class CCity;
class CDayPartsForecastControl;
class CDetailForecastControl;

class CDayForecastDlg : public CForecastViewDlg {
public:
    // The views' bands, with the detail and the parts control on one another in the content's band
    // (only one of them is visible).
    class CDayForecastDlgLayout : public CForecastViewDlg::CForecastViewLayout {
    public:
        CDayForecastDlgLayout() : CForecastViewLayout(kDetail, kToolbar) {}
        void Arrange() override;
    };

    // The detail control is the views' content; the parts control shares its place.
    enum DayControlId { kDetail = kContent, kParts = 4 };

    enum Command {
        kBack = 3008,
        kCityList = 3010,
        kUpdate = 3011,
        kCurrentCondition = 3012,
        kDetails = 3013,
        kMaps = 3014,
        kHourly = 3034,
    };

    // Parts of UpdateView; -1 all of them.
    enum ViewPart : DWORD {
        kMenuBackItem = 0x1,
        kLeftKey = 0x2,
        kControlChoice = 0x4,
        kPartsView = 0x10000,
        kSwitchText = 0x20000,
        kDetailData = 0x40000,
        kPartsData = 0x80000,
        kToolbarButtons = 0x100000,
    };

    // One day: its forecast and its four parts (empty when the date has no hours).
    struct DayPage {
        CDayForecast day;
        CDayPartsForecast parts;
    };

    CDayForecastDlg() = default;
    ~CDayForecastDlg() override = default;

    // Runs over the owner on the city of the id, on the page of the date (the first page when null or
    // not present); 3 without showing anything for a null id or a city not in the list. Otherwise 1
    // (back) or the view command that ended it: 3010, 3012, 3014 or 3034.
    INT_PTR Run(HWND owner, LPCWSTR locationId, const CDate* date, UserInterface::IDlgScreenCapture* capture);

    // Brings the parts of the mask up to date; false at the first part that fails.
    BOOL UpdateView(DWORD flags);
    // Makes a page current, sliding it in when animated; false for an index beyond the pages or when
    // the slide's pictures cannot be made (the page then stays).
    BOOL ShowPage(int index, BOOL animate);
    void ShowPreviousDay() { TurnPage(false); }
    void ShowNextDay() { TurnPage(true); }
    // Runs the part-of-day screen of the current page over this one; nothing for part -1 or no page.
    void OpenPartOfDayDetails(int part);

    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    int GetCurrentPage() const { return m_currentPage; }
    // Null for an index outside the pages.
    const DayPage* GetPage(int index) const;
    bool IsPartsView() const { return m_partsView != 0; }
    LPCWSTR GetLocationId() const { return m_locationId; }
    // 3010, 3012, 3014 and 3034: the commands that end the screen with themselves.
    static bool IsViewCommand(int id);
    // The record that the detail control gets for a day.
    static void FillDayDetail(const CDayForecast& day, DetailForecastData* data);

    BOOL Refresh(DWORD mask) override { return UpdateView(mask); }
    BOOL OnInitDialog() override;
    void OnDestroy() override;
    BOOL OnCreateMenu(UserInterface::CMenuInfo* menu) override;
    UserInterface::CDlgLayout* CreateLayout() override;
    BOOL OnDialogCommand(int id, int code, HWND window) override;
    BOOL OnKey(UINT key, BOOL down) override;
    LRESULT OnControlNotify(UserInterface::CDlgControl* control, int code, LPARAM a, LPARAM b) override;

protected:
    bool AddContent(UserInterface::CDlgLayout* layout) override;
    const CToolBarControl::Button* GetToolbarButtons() const override;
    bool EndsWith(int id) const override { return IsViewCommand(id); }
    // A page before or after, with both forecast controls' drawing threads out of the change.
    void TurnPage(bool next) override;
    void OnForecastEvent(int status, int result, bool last) override;

private:
    bool IsValidPage(int index) const { return index >= 0 && index < GetPageCount(); }
    const DayPage* CurrentPage() const { return GetPage(m_currentPage); }
    // Today onward while the city has a forecast for the date; the first gap ends the pages.
    void BuildPages(const CCity& city);
    // Builds the pages anew from the list's city; the current page stays when it still exists.
    void ReloadPages();

    bool UpdatePartsView();
    bool UpdateMenuBackItem();
    bool UpdateLeftKey();
    bool UpdateControlChoice();
    bool UpdateSwitch();
    bool UpdateDetail();
    bool UpdateParts();
    BOOL RepaintsControl(UserInterface::CDlgControl* control) const;

    bool SlideToPage(int index);
    void PauseAnimations();
    void ResumeAnimations();
    // The part that Enter and Details open: the first present part of the current page, -1 none.
    int FirstPartOfPage() const;

    CDetailForecastControl* DetailControl() const;
    CDayPartsForecastControl* PartsControl() const;

    unsigned m_partsView = 1;
    WCHAR m_locationId[9] = {};
    std::u16string m_cityName;
    std::map<CDate, DayPage> m_pages;
    int m_currentPage = -1;
};
