// Adds a city by position: reads the GPS receiver on the configured port, finds the cities of the city
// database around the position and lets the user pick one, nearest first. The chosen city's id and
// texts go into the caller's city; its forecast fields stay as they were.
#pragma once

#include <vector>

#include "Screens/CAppBasicDialog.h"
#include "Weather/CityDBRecord.h"

class CCity;

namespace UserInterface {
class CDlgListBox;
class CDlgSeparator;
class CDlgStatic;
}  // namespace UserInterface

class CSelectCityGPSDlg : public CAppBasicDialog {
public:
    static constexpr int kTitleId = 1;
    static constexpr int kSeparatorId = 2;
    static constexpr int kListId = 3;
    static constexpr int kSelectCommand = 3006;
    static constexpr UINT_PTR kSearchTimer = 101;
    static constexpr UINT kSearchDelayMs = 10;

    CSelectCityGPSDlg() = default;
    ~CSelectCityGPSDlg() override = default;

    // Runs over a screen (blended from and back to its picture) or over a window: 1 when a city was
    // chosen into *city, 2 when none was or the city is null.
    INT_PTR ShowModal(UserInterface::CSmartDialog* parent, CCity* city);
    INT_PTR ShowModal(HWND parent, CCity* city, UserInterface::IDlgScreenCapture* capture);

    // The device name of the GPSPort setting: "COM%d:" below 100, else "GPD%d:" less 100.
    static void PortName(DWORD gpsPort, WCHAR (&name)[32]);

    bool IsFound() const { return m_found; }
    const std::vector<NearbyCity>& GetFoundCities() const { return m_cities; }
    // The localization key of the message that ended a failed search; null while none failed.
    const char* GetErrorKey() const { return m_errorKey; }

    BOOL OnCreateMenu(UserInterface::CMenuInfo* menu) override;
    BOOL OnInitControls() override;
    BOOL OnDialogCommand(int id, int code, HWND window) override;
    BOOL OnBackKey(WPARAM wParam, LPARAM lParam) override;
    BOOL OnTimer(UINT_PTR id) override;
    LRESULT OnControlNotify(UserInterface::CDlgControl* control, int code, LPARAM a, LPARAM b) override;

private:
    void RunSearch();
    // The position and the cities around it; false with the key of the error text.
    bool FindCities(const char** errorKey);
    bool ShowCities();
    void ChooseSelected();
    void RefreshMenu();

    CCity* m_city = nullptr;
    std::vector<NearbyCity> m_cities;
    bool m_found = false;
    const char* m_errorKey = nullptr;
    UserInterface::CDlgStatic* m_title = nullptr;
    UserInterface::CDlgSeparator* m_separator = nullptr;
    UserInterface::CDlgListBox* m_list = nullptr;
};
