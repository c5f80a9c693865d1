#include "Screens/COUSetupNetworkDlg.h"

#include "CRegistryStore.h"
#include "Weather/GlobalServices.h"
#include "ce/connmgr.h"

INT_PTR COUSetupNetworkDlg::Run(HWND parent, GUID* destination, const TransitionInfo* transition) {
    if (destination == nullptr) {
        return 3;
    }
    m_destination = destination;
    return RunModal(parent, 0, nullptr, nullptr, transition);
}

GUID COUSetupNetworkDlg::GetWantedDestination() const {
    GUID last{};
    DWORD size = sizeof last;
    if (g_pRegistry != nullptr && g_pRegistry->QueryBinary(kLastConnection, &last, &size) && size == sizeof last) {
        return last;
    }
    return IID_DestNetInternet;
}

// The choice is used for this update whether or not it could be remembered.
bool COUSetupNetworkDlg::ApplyDestination(const GUID& destination) {
    if (m_destination == nullptr) {
        return false;
    }
    *m_destination = destination;
    if (g_pRegistry != nullptr) {
        g_pRegistry->SetBinary(kLastConnection, &destination, sizeof destination);
    }
    return true;
}
