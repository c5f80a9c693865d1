// The generic full-screen picker: a title, the caller's texts in alphabetical order and a search field
// below them; typing jumps to the first text not before the typed one, and Select hands back the chosen
// text's position in the caller's list.
#pragma once

#include <string>
#include <vector>

#include "Screens/CAppBasicDialog.h"
#include "UserInterface/CDlgLayout.h"

namespace UserInterface {
class CDlgEdit;
class CDlgListBox;
}  // namespace UserInterface

class CSelectFromListDlg : public CAppBasicDialog {
public:
    enum ControlId { kTitleId = 1, kSeparatorId = 2, kListId = 3, kSearchId = 4 };
    static constexpr int kSelectCommand = 3006;
    // Parts of Refresh.
    static constexpr DWORD kRefreshSoftKeys = 2;
    static constexpr DWORD kRefreshList = 0x20000;
    // How many rows stay in view above the one that a search finds (portrait only).
    static constexpr int kRowsAboveFound = 3;
    static constexpr int kSearchLength = 500;

    // The title at the top, the search field at the bottom and the list between them.
    class CSelectFromListDlgLayout : public UserInterface::CDlgLayout {
    public:
        void Arrange() override;
        // Everything fits the view: the screen itself never scrolls.
        int GetContentHeight() const override;
    };

    CSelectFromListDlg() = default;
    ~CSelectFromListDlg() override = default;

    // Over another screen, blended from its picture; 2 without showing anything when the items or the
    // result index are missing. The result index holds the preselected position (-1 none) on entry and
    // the chosen one after Select (1); Cancel gives 2.
    INT_PTR Run(UserInterface::CSmartDialog* parent, LPCWSTR title, const std::vector<std::u16string>* items,
                int* resultIndex);
    // Over a window; the capture (may be null) is the picture of what lies under it.
    using CAppBasicDialog::RunOverWindow;
    INT_PTR RunOverWindow(HWND parent, LPCWSTR title, const std::vector<std::u16string>* items, int* resultIndex,
                          UserInterface::IDlgScreenCapture* capture);

    UserInterface::CDlgLayout* CreateLayout() override;
    BOOL OnCreateMenu(UserInterface::CMenuInfo* menu) override;
    BOOL OnInitControls() override;
    BOOL OnInitDialog() override;
    BOOL Refresh(DWORD mask) override;
    BOOL OnDialogCommand(int id, int code, HWND window) override;
    BOOL OnKey(UINT key, BOOL down) override;
    BOOL OnBackKey(WPARAM wParam, LPARAM lParam) override;
    BOOL OnSize(int width, int height) override;
    LRESULT OnControlNotify(UserInterface::CDlgControl* control, int code, LPARAM a, LPARAM b) override;
    void EraseBackground(UserInterface::CDlgControl* control, HDC dc, const RECT* rect) override;

private:
    bool Prepare(LPCWSTR title, const std::vector<std::u16string>* items, int* resultIndex);
    UserInterface::CDlgListBox* List() const;
    UserInterface::CDlgEdit* Search() const;
    bool FillList();
    bool UpdateSoftKeys();
    void RunSearch();
    void SelectChosen();
    // Takes the last character off the search field and searches again; false when it was empty.
    bool EraseSearchCharacter();
    // Scrolls the list so that the row and a few above it are in view.
    void ShowRow(int row);
    static bool IsPortrait();

    std::u16string m_title;
    bool m_hasTitle = false;
    const std::vector<std::u16string>* m_items = nullptr;
    int* m_resultIndex = nullptr;
    // Whether a press of the Back key has erased since it was last released.
    bool m_backErased = false;
};
