// The full-screen view of one weather map: the map's name and age over its cached picture, a fresh
// picture on request from the maps updater, steps between the three map types of one area, the choice
// of another region, and a full-screen mode. One of the main window's views: it ends with the command
// of the view to show next, or 1 for the window itself.
#pragma once

#include <string>
#include <vector>

#include "CDelegate.h"
#include "Screens/CAppBasicDialog.h"
#include "UserInterface/CDlgLayout.h"
#include "Weather/CMapDB.h"

class CMapViewControl;
class CSwitchControl;

class CMapsDlg : public CAppBasicDialog {
public:
    enum ControlId { kHeaderId = 0, kSeparatorId = 1, kMapViewId = 2, kToolbarId = 3 };
    enum Command {
        kCmdMenu = 3000,
        kCmdBack = 3008,
        kCmdDayForecast = 3009,
        kCmdCityList = 3010,
        kCmdCurrentCondition = 3012,
        kCmdUpdateMap = 3019,
        kCmdFullScreen = 3020,
        kCmdSelectRegion = 3022,
        kCmdHourlyForecast = 3034,
        kCmdViews = 3040,
    };
    // Parts of Refresh.
    enum RefreshPart { kRefreshHeader = 1, kRefreshPicture = 2 };
    enum MapType { kSatellite = 0, kCurrentTemperature = 1, kSurfaceAnalysis = 2 };
    static constexpr LPCWSTR kLastMapValue = u"LastMapID";
    static constexpr LPCWSTR kDatabasePath = u"%INSTALL_DIR%\\MapDB.dat";
    // The maps updater's news, posted from its worker: wParam the status, lParam the result.
    static constexpr UINT WMU_MAP_EVENT = WM_APP + 62;
    // Lengths for the 240 screen class; a cached picture is shown for a day.
    static constexpr int kSwipeDistance = 80;
    static constexpr DWORD kSlideMs = 300;
    static constexpr LONGLONG kFreshHours = 24;

    // The toolbar along the bottom (portrait) or right edge, then from the top the header, the
    // separator and the map in all the rest; hidden controls take no room.
    class CMapsDlgLayout : public UserInterface::CDlgLayout {
    public:
        void Arrange() override;
        // The controls fill the view: there is nothing to scroll.
        int GetContentHeight() const override;
    };

    // One list of the region choice: the names in the order the picker shows them, the records behind
    // them, and the row to preselect.
    struct Choice {
        std::vector<std::u16string> names;
        std::vector<CMapDBRecord> records;
        int preselected = -1;
    };

    CMapsDlg();
    ~CMapsDlg() override;

    const CMapDBRecord& GetCurrentMap() const { return m_current; }
    bool IsFullScreen() const { return m_fullScreen; }

    // Steps the map type by -1 or +1 to the same area's map, sliding the new picture in when animated;
    // false when there is no such map.
    bool StepMapType(int step, bool animate);
    // Makes the map current and shows it; false when the database does not hold it.
    bool ShowMap(LPCWSTR id, bool animate);
    bool SetFullScreen(bool on);
    // The regions of the current map's type, with the current map's region preselected; and the second
    // list: a region itself and all its maps, with the current map preselected.
    Choice GetRegionChoice() const;
    Choice GetMapChoice(const CMapDBRecord& region) const;

    // A cache file written at writeUtc is shown until 24 whole hours have passed at nowUtc.
    static bool IsPictureFresh(const FILETIME& writeUtc, const FILETIME& nowUtc);
    // The title of a map type in the map view; empty for an unknown type.
    static std::u16string MapTypeText(uint32_t type);

    UserInterface::CDlgLayout* CreateLayout() override;
    BOOL OnCreateMenu(UserInterface::CMenuInfo* menu) override;
    BOOL OnInitControls() override;
    BOOL OnInitDialog() override;
    BOOL OnActivate(BOOL active, LPARAM lParam) override;
    BOOL OnDialogCommand(int id, int code, HWND window) override;
    LRESULT OnControlNotify(UserInterface::CDlgControl* control, int code, LPARAM a, LPARAM b) override;
    BOOL OnKey(UINT key, BOOL down) override;
    LRESULT OnGetDlgCode(UINT key) override;
    BOOL OnBackKey(WPARAM wParam, LPARAM lParam) override;
    BOOL OnLButtonDown(int x, int y) override;
    BOOL OnMouseMove(int x, int y) override;
    BOOL OnLButtonUp(int x, int y) override;
    BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDestroy() override;
    BOOL Refresh(DWORD mask) override;

protected:
    // The picker of the region choice (the select-from-list dialog over this screen): the chosen row of
    // the names, or -1 when nothing was chosen.
    virtual int ChooseFrom(const Choice& choice);

private:
    static int OnMapsUpdaterEvent(INT_PTR status, INT_PTR second, INT_PTR third, INT_PTR, INT_PTR, INT_PTR context);
    bool LoadDatabase();
    bool BuildControls();
    void RequestMap();
    void SelectRegion();
    void OnMapEvent(int status, int result);
    void RefreshHeader();
    void RefreshPicture();
    // The header's second line, updated at or not updated, and into `shorter` its shorter whole text
    // (empty for none).
    std::u16string ComposeStatus(std::u16string* shorter) const;
    // The cache file's last write time (UTC); false when there is none.
    bool GetPictureTime(FILETIME* writeUtc) const;
    bool MakeCurrent(const CMapDBRecord& map, bool animate, bool fromRight);
    void SlideIn(HDC oldPicture, bool fromRight);
    void PlaceWindow();
    LPCWSTR NameOf(const CMapDBRecord& record) const;
    CSwitchControl* Header() const;
    CMapViewControl* MapView() const;

    CMapDB m_db;
    CMapDBRecord m_current;
    bool m_fullScreen = false;
    bool m_ready = false;
    CDelegate m_listener;
    bool m_listening = false;
    // The pen stroke of a swipe: where it went down and whether it already stepped.
    POINT m_penDown{};
    bool m_penDownHere = false;
    bool m_swiped = false;
};
