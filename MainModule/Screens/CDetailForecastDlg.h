// The base of the two detail screens (current conditions, part of a day): one set of weather values
// in the detail control under the switch; every key goes to the switch. The screens' pages change
// with the detail control's animation paused.
#pragma once

#include "Screens/CForecastViewDlg.h"
#include "Weather/CCity.h"

class CDetailForecastControl;

class CDetailForecastDlg : public CForecastViewDlg {
public:
    static constexpr int kDetail = kContent;
    // Parts of UpdateView.
    enum ViewPart : DWORD { kViewSwitch = 0x10000, kViewData = 0x20000, kViewToolbar = 0x40000 };

    class CDetailForecastDlgLayout : public CForecastViewLayout {
    public:
        using CForecastViewLayout::CForecastViewLayout;
    };

    CDetailForecastDlg();
    ~CDetailForecastDlg() override;

    // Brings the parts of the mask (-1 all) up to date, in the order switch, data, toolbar; false at
    // the first part that fails.
    BOOL UpdateView(DWORD flags);

    BOOL Refresh(DWORD mask) override;
    BOOL OnCreateMenu(UserInterface::CMenuInfo* menu) override;
    BOOL OnInitDialog() override;
    void OnDestroy() override;
    BOOL OnKey(UINT key, BOOL down) override;
    UserInterface::CDlgLayout* CreateLayout() override;

    CDetailForecastControl* GetDetail() const;
    const CCity& GetCity() const { return m_city; }

protected:
    // The pages of a screen that has them; nothing in the base.
    virtual void PreviousPage() {}
    virtual void NextPage() {}
    virtual bool UpdateSwitch() { return true; }
    virtual bool UpdateData() { return true; }
    // A copy of the list's city of that id; false for a null id or a city that is not in the list.
    bool LoadCity(LPCWSTR locationId);

    bool AddContent(UserInterface::CDlgLayout* layout) override;
    const CToolBarControl::Button* GetToolbarButtons() const override { return nullptr; }
    bool EndsWith(int) const override { return false; }
    void TurnPage(bool next) override;
    void OnForecastEvent(int status, int result, bool last) override;

    CCity m_city;

private:
    // Fetches the screen's city again after an update; a city that has left the list shows no values.
    void ReloadCity();
};
