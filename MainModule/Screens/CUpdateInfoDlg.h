// One offered program update: as an offer (what is new, its conditions, Download or Cancel) or as
// information only (its conditions, Done). The texts are those of the interface language, else the
// English ones.
#pragma once

#include <string>

#include "Screens/CAppBasicDialog.h"

class CProductInfo;

class CUpdateInfoDlg : public CAppBasicDialog {
public:
    enum Mode { kInformation = 0, kOffer = 1 };
    static constexpr int kDownloadCommand = 3035;
    static constexpr int kOfferId = 1;
    static constexpr int kOfferSeparatorId = 2;
    static constexpr int kTitleId = 3;
    static constexpr int kTitleSeparatorId = 4;
    static constexpr int kConditionsId = 5;

    CUpdateInfoDlg() = default;
    ~CUpdateInfoDlg() override = default;

    // Runs over a window with the given transitions (none when null): 1 to download (Download, or Done
    // in information mode), 2 when cancelled or without a product.
    INT_PTR Run(HWND owner, const CProductInfo* product, int mode, const TransitionInfo* transition);
    // Runs over another screen, blended in from its picture and back out to it.
    INT_PTR RunOverScreen(UserInterface::CSmartDialog* parent, const CProductInfo* product, int mode);

    BOOL OnCreateMenu(UserInterface::CMenuInfo* menu) override;
    BOOL OnInitControls() override;
    BOOL OnDialogCommand(int id, int code, HWND window) override;
    // Back leaves an offer as Cancel does and the information as Done does.
    BOOL OnBackKey(WPARAM wParam, LPARAM lParam) override;

    // The locale key of the products' texts for the current interface language.
    static LPCWSTR InterfaceLocale();

private:
    bool AddOfferLine();

    const CProductInfo* m_product = nullptr;
    int m_mode = kOffer;
};
