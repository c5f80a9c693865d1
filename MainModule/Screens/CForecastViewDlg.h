// The base of the full-screen views of one city's forecast (current conditions, part of a day, hours):
// a switch at the top, a separator, the view's content and on a Pocket PC the toolbar. A view ends with
// Back or with one of its view commands, which its caller turns into the next view; it updates the
// forecasts on request, turns its pages by the switch arrows and a sideways stroke, and follows the
// forecast updater's news on its own thread.
#pragma once

#include "Controls/CPageSwipe.h"
#include "Controls/CToolBarControl.h"
#include "Screens/CAppBasicDialog.h"
#include "Screens/CForecastEventRelay.h"
#include "UserInterface/CDlgLayout.h"

class CSwitchControl;

class CForecastViewDlg : public CAppBasicDialog {
public:
    enum ControlId { kSwitch = 0, kSeparator = 1, kContent = 2, kToolbar = 3 };
    // The updater's news, posted to the view (CForecastEventRelay).
    static constexpr UINT WMU_FORECAST_EVENT = WM_APP + 20;

    // Switch at the top, separator under it, the content filling the rest; the toolbar takes a band at
    // the bottom (portrait) or the right (landscape). Nothing is placed while a control is missing.
    class CForecastViewLayout : public UserInterface::CDlgLayout {
    public:
        explicit CForecastViewLayout(int contentId = kContent, int toolbarId = kToolbar)
            : m_contentId(contentId), m_toolbarId(toolbarId) {}
        void Arrange() override;
        // The bands fill the view and the content scrolls inside its own control: the view never does,
        // also where the toolbar stands beside the other bands rather than below them.
        int GetContentHeight() const override;

    private:
        void PlaceControl(int id, const RECT& rect);

        int m_contentId;
        int m_toolbarId;
    };

    CForecastViewDlg();
    ~CForecastViewDlg() override;

    // Starts an update of every city of the list when none runs (no wait, one try, no delay).
    static void UpdateAllForecasts();
    // The outcome of an update that did not succeed, in a box over the screen until Done.
    void ShowUpdateOutcome(int result);

    BOOL OnInitControls() override;
    BOOL OnInitDialog() override;
    void OnDestroy() override;
    BOOL OnDialogCommand(int id, int code, HWND window) override;
    BOOL OnBackKey(WPARAM wParam, LPARAM lParam) override;
    BOOL OnLButtonDown(int x, int y) override;
    BOOL OnMouseMove(int x, int y) override;
    BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnControlNotify(UserInterface::CDlgControl* control, int code, LPARAM a, LPARAM b) override;

    CSwitchControl* GetSwitch() const;
    CToolBarControl* GetToolbar() const;

protected:
    // The control that fills the view under the switch, with id kContent; false when it cannot be made.
    virtual bool AddContent(UserInterface::CDlgLayout* layout) = 0;
    // The four toolbar buttons.
    virtual const CToolBarControl::Button* GetToolbarButtons() const = 0;
    // The view commands that end the view with themselves.
    virtual bool EndsWith(int id) const = 0;
    // The page before or after, by the switch arrows or a stroke; nothing without pages.
    virtual void TurnPage(bool next) = 0;
    // The updater's news (status, result code, whether it was the last listener's call).
    virtual void OnForecastEvent(int status, int result, bool last) = 0;

    bool UpdateToolbar();
    // Whether a part of the view paints as it changes.
    BOOL ShouldRepaint() const;
    static bool IsUpdating();
    // The control under the pen lets go of it, before the page changes under it.
    void CancelPen();

private:
    CForecastEventRelay m_relay;
    CPageSwipe m_swipe;
};
