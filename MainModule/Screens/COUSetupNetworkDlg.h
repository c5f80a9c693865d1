// The destination for one program update, chosen before the update check connects: the one chosen
// last time (else the Internet, else the first) is preselected, and Done hands the choice to the caller
// and remembers it in the registry.
#pragma once

#include "Screens/CSetupNetworkDlg.h"

class COUSetupNetworkDlg : public CSetupNetworkDlg {
public:
    static constexpr LPCWSTR kLastConnection = u"LastOUConnection";

    COUSetupNetworkDlg() = default;
    ~COUSetupNetworkDlg() override = default;

    // Runs over the window with the caller's transitions: 1 with the choice in *destination, 2 when
    // cancelled, 3 without a destination to fill (nothing is shown then).
    INT_PTR Run(HWND parent, GUID* destination, const TransitionInfo* transition);

protected:
    const char* GetLabelKey() const override { return "IDS_LABEL_NETWORK_OU"; }
    GUID GetWantedDestination() const override;
    bool FallsBackToInternet() const override { return false; }
    bool ApplyDestination(const GUID& destination) override;

private:
    GUID* m_destination = nullptr;
};
