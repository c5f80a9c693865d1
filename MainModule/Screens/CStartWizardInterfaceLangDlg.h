// The first page of the first start: the language choice, which can only be left by Done.
#pragma once

#include "Screens/CInterfaceLangDlg.h"

class CStartWizardInterfaceLangDlg : public CInterfaceLangDlg {
public:
    CStartWizardInterfaceLangDlg() : CInterfaceLangDlg(Keys::kDoneOnly) {}
    ~CStartWizardInterfaceLangDlg() override = default;
};
