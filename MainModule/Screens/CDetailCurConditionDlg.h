// The current conditions of a city: its name and the time of its last update in the switch (both
// arrows off), the observed weather in the detail control with the day or night picture by the
// city's sunrise and sunset.
#pragma once

#include "Screens/CDetailForecastDlg.h"

class CDetailCurConditionDlg : public CDetailForecastDlg {
public:
    CDetailCurConditionDlg() = default;
    ~CDetailCurConditionDlg() override = default;

    // Runs over the window on the city of the list with that id; 3 for a null id or a city that is not
    // in the list, else the command it ended with: 1 (Back), 3009, 3010, 3014 or 3034.
    INT_PTR Run(HWND owner, LPCWSTR locationId, UserInterface::IDlgScreenCapture* capture);

    BOOL OnCreateMenu(UserInterface::CMenuInfo* menu) override;

    // Whether the local time lies in the daylight of the city's forecast for today (07:00 to 20:00
    // when that day is not known).
    static bool IsDaytime(const CCity& city, const SYSTEMTIME& localTime);

protected:
    bool UpdateSwitch() override;
    bool UpdateData() override;
    const CToolBarControl::Button* GetToolbarButtons() const override;
    bool EndsWith(int id) const override;

private:
    bool ForecastTimeText(std::u16string* text) const;
    std::u16string ShortForecastTimeText() const;
};
