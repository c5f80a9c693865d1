// The first start's page for the download destination: the network screen with its own label and Done
// alone; the Back key does nothing.
#pragma once

#include "Screens/CSetupNetworkDlg.h"

class CStartWizardSetupNetworkDlg : public CSetupNetworkDlg {
public:
    CStartWizardSetupNetworkDlg() : CSetupNetworkDlg(Keys::kDoneOnly) {}
    ~CStartWizardSetupNetworkDlg() override = default;

protected:
    const char* GetLabelKey() const override { return "IDS_LABEL_NETWORK_NEEDED"; }
    bool Apply() override;
};
