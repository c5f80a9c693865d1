// The screen on which the user chooses the connection-manager destination through which forecasts and
// maps are downloaded: one item a destination in the connection manager's order, the stored
// Connection preselected (else the Internet, else the first). Done stores the choice and saves the
// settings; it takes effect at the next connection.
#pragma once

#include "Screens/CSettingsDialog.h"
#include "ce/com.h"

class CSetupNetworkDlg : public CSettingsDialog {
public:
    static constexpr int kLabelId = 0;
    static constexpr int kDestinationsId = 1;
    // The refresh part that fills the destination list.
    static constexpr DWORD kRefreshDestinations = 0x10000;

    explicit CSetupNetworkDlg(Keys keys = Keys::kDoneCancel) : CSettingsDialog(keys) {}
    ~CSetupNetworkDlg() override = default;

    BOOL OnInitControls() override;
    BOOL Refresh(DWORD mask) override;

protected:
    bool Apply() override;

    virtual const char* GetLabelKey() const { return "IDS_LABEL_NETWORK"; }
    // The destination to preselect; when no item has it, the Internet when that falls back, else the
    // first item.
    virtual GUID GetWantedDestination() const;
    virtual bool FallsBackToInternet() const { return true; }
    // Keeps the chosen destination; true when the screen may end with 1.
    virtual bool ApplyDestination(const GUID& destination);

    int GetDestinationCount() const;

private:
    bool FillDestinations();
    // The destination that the connection manager reports now for the selected item; false without a
    // selection or when it can no longer be enumerated.
    bool GetSelectedDestination(GUID* destination) const;
    int FindDestination(const GUID& destination) const;
};
