// The list of program updates when the catalog offers more than one: a row per product saying whether
// it is paid or free. Download takes the selected one; the menu shows its information or cancels.
#pragma once

#include "Screens/CAppBasicDialog.h"

class COnlineUpdateCatalog;

namespace UserInterface {
class CDlgListBox;
}

class CSelectUpdateDlg : public CAppBasicDialog {
public:
    static constexpr int kMenuCommand = 3000;
    static constexpr int kDownloadCommand = 3035;
    static constexpr int kInfoCommand = 3036;
    static constexpr int kTextId = 1;
    static constexpr int kSeparatorId = 2;
    static constexpr int kListId = 3;

    CSelectUpdateDlg() = default;
    ~CSelectUpdateDlg() override = default;

    // Runs over a window with the given transitions (none when null): 1 to download the selected
    // product, 2 when cancelled or without a catalog.
    INT_PTR Run(HWND owner, const COnlineUpdateCatalog* catalog, const TransitionInfo* transition);
    // The catalog index of the selected row; -1 without a list or a selection.
    int GetSelectedProduct() const;

    BOOL OnCreateMenu(UserInterface::CMenuInfo* menu) override;
    BOOL OnInitControls() override;
    BOOL OnDialogCommand(int id, int code, HWND window) override;
    // Back leaves the list as Cancel does.
    BOOL OnBackKey(WPARAM wParam, LPARAM lParam) override;

private:
    UserInterface::CDlgListBox* List() const;
    bool FillList(UserInterface::CDlgListBox* list);
    void ShowSelectedInformation();

    const COnlineUpdateCatalog* m_catalog = nullptr;
};
