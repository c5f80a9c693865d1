#include "CDayForecastDlg.h"

#include "CMainWindowLayout.h"
#include "CSysInfo.h"
#include "UserInterface/CDlgControl.h"

namespace {

void Place(UserInterface::CDlgControl* control, const RECT& rect) {
    control->Move(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, FALSE);
}

}  // namespace

// The main window's bands: the detail and the parts control share what the graph takes there.
void CDayForecastDlg::CDayForecastDlgLayout::Arrange() {
    const bool smartphone = g_pSysInfo != nullptr && g_pSysInfo->IsSmartphone();
    UserInterface::CDlgControl* toolbar = FindControl(kToolbar);
    for (int id : {kSwitch, kSeparator, kDetail, kParts}) {
        if (FindControl(id) == nullptr) {
            return;
        }
    }
    if (!smartphone && toolbar == nullptr) {
        return;
    }
    RECT view = GetView();
    InflateRect(&view, -GetMargin(), -GetMargin());
    const bool portrait = g_pSysInfo == nullptr || g_pSysInfo->IsPortrait();
    const CMainWindowLayout::Bands bands = CMainWindowLayout::ComputeBands(view, !smartphone, portrait);
    if (!smartphone) {
        Place(toolbar, bands.toolbar);
    }
    Place(FindControl(kSwitch), bands.switchBand);
    Place(FindControl(kSeparator), bands.separator);
    Place(FindControl(kDetail), bands.graph);
    Place(FindControl(kParts), bands.graph);
}

int CDayForecastDlg::CDayForecastDlgLayout::GetContentHeight() const {
    const RECT& view = GetView();
    return view.bottom - view.top;
}
