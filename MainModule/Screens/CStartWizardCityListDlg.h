// The city list as a page of the first start: the same list and the commands that change it, with
// Done in place of Select and the views, and at least one city required to go on.
#pragma once

#include "Screens/CCityListDlg.h"

class CStartWizardCityListDlg : public CCityListDlg {
public:
    explicit CStartWizardCityListDlg(int* shownCity) : CCityListDlg(shownCity) {}
    ~CStartWizardCityListDlg() override = default;

    BOOL OnBackKey(WPARAM wParam, LPARAM lParam) override;
    BOOL OnDialogCommand(int id, int code, HWND window) override;

protected:
    bool BuildMenu(UserInterface::CMenuInfo* menu) override;
    const CToolBarControl::Button* GetToolbarButtons() const override;
    void OnSelectAction() override;
};
