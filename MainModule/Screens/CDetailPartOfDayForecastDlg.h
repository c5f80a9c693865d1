// One part of one day (morning, day, evening or night) of a city: the date and the part's name in the
// switch, the part's weather in the detail control. The switch arrows, the Left and Right keys and a
// sideways stroke move to the day's previous or next known part, sliding it in.
#pragma once

#include "CDate.h"
#include "Screens/CDetailForecastDlg.h"
#include "Weather/CDayPartsForecast.h"

class CDetailPartOfDayForecastDlg : public CDetailForecastDlg {
public:
    CDetailPartOfDayForecastDlg() = default;
    ~CDetailPartOfDayForecastDlg() override = default;

    // Runs over the window (the day screen) on the city of the list with that id, the date and the
    // part (0 morning to 3 night; another value shows no part); 3 for a null id or date or a city that
    // is not in the list, else the command it ended with: 1 (Back), 3010, 3012, 3014 or 3034.
    INT_PTR Run(HWND owner, LPCWSTR locationId, const CDate* date, int part, UserInterface::IDlgScreenCapture* capture);

    BOOL OnCreateMenu(UserInterface::CMenuInfo* menu) override;

    // Makes the part current, sliding it in when both the old and the new part are known; the same part
    // does nothing. False when the pictures of the slide cannot be made (the part stays).
    bool ShowPage(int part);
    int GetPart() const { return m_part; }
    const CDate& GetDate() const { return m_date; }

protected:
    void PreviousPage() override;
    void NextPage() override;
    bool UpdateSwitch() override;
    bool UpdateData() override;
    const CToolBarControl::Button* GetToolbarButtons() const override;
    bool EndsWith(int id) const override;

private:
    // The parts of the screen's day; empty when the date has no hours.
    CDayPartsForecast DayParts() const;
    void ShowPart(int part);

    CDate m_date;
    int m_part = -1;
};
