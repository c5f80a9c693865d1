#include "Screens/CDayForecastDlg.h"

#include "RectHelpers.h"
#include "UserInterface/CDlgControl.h"

void CDayForecastDlg::CDayForecastDlgLayout::Arrange() {
    CForecastViewLayout::Arrange();
    UserInterface::CDlgControl* detail = FindControl(kDetail);
    UserInterface::CDlgControl* parts = FindControl(kParts);
    if (detail == nullptr || parts == nullptr) {
        return;
    }
    RECT rect;
    detail->GetRect(&rect);
    parts->Move(rect.left, rect.top, RectWidth(rect), RectHeight(rect), UserInterface::kNoRedraw);
}
