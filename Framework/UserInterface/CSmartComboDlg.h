// The combo box's drop-down: a full-screen dialog with the combo's caption over a list of its items.
// Enter or a tap on a row chooses; Done and Cancel end it as any dialog.
#pragma once

#include "UserInterface/CSmartDialog.h"

namespace UserInterface {

class CSmartComboDlg : public CSmartDialog {
public:
    CSmartComboDlg();
    ~CSmartComboDlg() override;

    BOOL OnInitDialog() override;
    BOOL OnSize(int width, int height) override;
    void EraseBackground(CDlgControl* control, HDC dc, const RECT* rect) override;
    LRESULT OnControlNotify(CDlgControl* control, int code, LPARAM a, LPARAM b) override;

private:
    static constexpr int kTitleLength = 128;

    void ShowOwnerTitle();
    // The list's selection into view after every new layout.
    void ShowSelection();
};

}  // namespace UserInterface
