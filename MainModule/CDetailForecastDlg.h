// The base of the two detail screens (current conditions, part of a day): a switch at the top, a
// separator, one set of weather values in the detail control and on a Pocket PC the toolbar. The
// screen ends with Back or with the view command that its caller turns into the next view, updates
// the forecasts on request and follows the forecast updater's news on its own thread.
#pragma once

#include <functional>

#include "CAppBasicDialog.h"
#include "CForecastEventRelay.h"
#include "CPageSwipe.h"
#include "CToolBarControl.h"
#include "UserInterface/CDlgLayout.h"

class CDetailForecastControl;
class CSwitchControl;

class CDetailForecastDlg : public CAppBasicDialog {
public:
    enum ControlId { kSwitch = 0, kSeparator = 1, kDetail = 2, kToolbar = 3 };
    // Parts of UpdateView.
    enum ViewPart : DWORD { kViewSwitch = 0x10000, kViewData = 0x20000, kViewToolbar = 0x40000 };
    // The updater's news, posted to the screen (CForecastEventRelay).
    static constexpr UINT WMU_FORECAST_EVENT = WM_APP + 20;

    // Switch at the top, separator under it, the content filling the rest; the toolbar takes a band
    // at the bottom (portrait) or the right (landscape). Nothing is placed while a control is missing.
    class CDetailForecastDlgLayout : public UserInterface::CDlgLayout {
    public:
        // contentId: the control that fills the rest of the screen.
        explicit CDetailForecastDlgLayout(int contentId = kDetail, int toolbarId = kToolbar)
            : m_contentId(contentId), m_toolbarId(toolbarId) {}
        void Arrange() override;

    private:
        void PlaceControl(int id, const RECT& rect);

        int m_contentId;
        int m_toolbarId;
    };

    CDetailForecastDlg();
    ~CDetailForecastDlg() override;

    // Brings the parts of the mask (-1 all) up to date, in the order switch, data, toolbar; false at
    // the first part that fails.
    BOOL UpdateView(DWORD flags);
    // Starts an update of every city of the list when none runs (no wait, one try, no delay).
    static void UpdateAllForecasts();
    // The outcome of an update that did not succeed, in a box over the screen until Done.
    static void ShowUpdateOutcome(UserInterface::CSmartDialog* screen, int result);

    BOOL Refresh(DWORD mask) override;
    BOOL OnCreateMenu(UserInterface::CMenuInfo* menu) override;
    BOOL OnInitControls() override;
    BOOL OnInitDialog() override;
    void OnDestroy() override;
    BOOL OnDialogCommand(int id, int code, HWND window) override;
    BOOL OnBackKey(WPARAM wParam, LPARAM lParam) override;
    BOOL OnKey(UINT key, BOOL down) override;
    BOOL OnLButtonDown(int x, int y) override;
    BOOL OnMouseMove(int x, int y) override;
    BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnControlNotify(UserInterface::CDlgControl* control, int code, LPARAM a, LPARAM b) override;
    UserInterface::CDlgLayout* CreateLayout() override;

    CSwitchControl* GetSwitch() const;
    CDetailForecastControl* GetDetail() const;
    CToolBarControl* GetToolbar() const;

protected:
    // The pages of a screen that has them; nothing in the base.
    virtual void PreviousPage() {}
    virtual void NextPage() {}
    virtual bool UpdateSwitch() { return true; }
    virtual bool UpdateData() { return true; }
    // The four toolbar buttons; none in the base.
    virtual const CToolBarControl::Button* GetToolbarButtons() const { return nullptr; }
    // The view commands that end the screen with themselves.
    virtual bool EndsWith(int) const { return false; }
    // Fetches the screen's city again after an update.
    virtual void ReloadCity() {}
    void OnForecastEvent(int status, int result, bool last);

    // Whether a part of the view paints as it changes.
    BOOL ShouldRepaint() const;
    static bool IsUpdating();
    // The control under the pen lets go of it, before the page changes under it.
    void CancelPen();
    // Runs a page change with the detail control's animation paused.
    void WithAnimationPaused(const std::function<void()>& change);

private:
    bool UpdateToolbar();

    CForecastEventRelay m_relay;
    // The detail screens share one stroke: a page turns once a stroke.
    static CPageSwipe s_swipe;
};
