// The about screen: the program's name and version, the copyright of the current year, the maker's
// site and support links, the forecast provider, the optional line on more products and the device
// identifier at the bottom; Done ends it, the optional right key opens the products page.
#pragma once

#include "Screens/CAppBasicDialog.h"

class CAboutDlg : public CAppBasicDialog {
public:
    static constexpr int kVersionMajor = 4;
    static constexpr int kVersionMinor = 0;
    static constexpr int kShowMoreCommand = 3030;
    static constexpr int kTitleId = 1;
    static constexpr int kCopyrightId = 2;
    static constexpr int kMainWebId = 3;
    static constexpr int kSupportId = 4;
    static constexpr int kSupportLinkId = 5;
    static constexpr int kProviderId = 6;
    static constexpr int kMoreProductsId = 7;
    static constexpr int kDeviceId = 8;

    CAboutDlg() = default;
    ~CAboutDlg() override = default;

    // Runs over the window with its own keys: 1 when ended by Done or Back, 2 when it cannot be shown.
    INT_PTR Run(HWND parent);

    BOOL OnCreateMenu(UserInterface::CMenuInfo* menu) override;
    BOOL OnInitControls() override;
    BOOL OnInitDialog() override;
    BOOL OnSize(int width, int height) override;
    BOOL OnDialogCommand(int id, int code, HWND window) override;
    BOOL OnBackKey(WPARAM wParam, LPARAM lParam) override;

    // A switch of the localized texts: on unless its text is "0".
    static bool IsSwitchedOn(const char* key);

private:
    bool AddLabel(int id, DWORD style, const char16_t* text, int sizeIndex, bool bold);
    bool AddLabelOfKey(int id, const char* key);
    bool AddLinkOfKeys(int id, const char* textKey, const char* addressKey);
    bool AddDeviceLine();
    // Links centred across the screen, the device line centred at its bottom.
    void PlaceControls();
};
