#include "Screens/CStartWizardSetupNetworkDlg.h"

// The page has no other way out: on a device without destinations Done goes on and stores nothing.
bool CStartWizardSetupNetworkDlg::Apply() { return GetDestinationCount() == 0 || CSetupNetworkDlg::Apply(); }
