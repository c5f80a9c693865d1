#include "Screens/COnlineUpdateScreens.h"

#include "Screens/CAppMessageBox.h"
#include "Screens/COUSetupNetworkDlg.h"
#include "Screens/CSelectUpdateDlg.h"
#include "Screens/CUpdateInfoDlg.h"
#include "Screens/DownloadDialogs.h"
#include "Weather/COnlineUpdateMgr.h"

template <class Run>
int COnlineUpdateScreens::RunShown(CAppBasicDialog& screen, Run run) {
    screen.SetWindowTransition(m_check);
    m_check->SetShownDialog(&screen);
    const INT_PTR result = run();
    m_check->SetShownDialog(nullptr);
    return static_cast<int>(result);
}

int COnlineUpdateScreens::AskAutomaticCheck(LPCWSTR question) {
    CAppMessageBox box;
    box.SetScreenBelow(m_check);
    return RunShown(box, [&] { return CAppMessageBox::DoModalDoneCancel(box, m_owner, question, nullptr, nullptr); });
}

int COnlineUpdateScreens::ChooseConnection(GUID* destination) {
    COUSetupNetworkDlg connection;
    const UserInterface::CSmartDialog::TransitionInfo transition = m_check->GetTransition();
    return RunShown(connection, [&] { return connection.Run(m_owner, destination, &transition); });
}

int COnlineUpdateScreens::RunDownloadJob(DownloadKind kind, LPCWSTR waitText, const CDelegate& job,
                                         unsigned* jobResult) {
    return RunDownloadDialog(*m_check, m_owner, kind, waitText, job, jobResult);
}

int COnlineUpdateScreens::OfferProduct(const CProductInfo& product) {
    CUpdateInfoDlg offer;
    const UserInterface::CSmartDialog::TransitionInfo transition = m_check->GetTransition();
    return RunShown(offer, [&] { return offer.Run(m_owner, &product, CUpdateInfoDlg::kOffer, &transition); });
}

int COnlineUpdateScreens::SelectProduct(const COnlineUpdateCatalog& catalog, int* selected) {
    CSelectUpdateDlg list;
    const UserInterface::CSmartDialog::TransitionInfo transition = m_check->GetTransition();
    const int result = RunShown(list, [&] { return list.Run(m_owner, &catalog, &transition); });
    *selected = list.GetSelectedProduct();
    return result;
}

int COnlineUpdateScreens::ShowMessage(LPCWSTR text, bool withSupportLink) {
    CAppMessageBox box;
    box.SetScreenBelow(m_check);
    const MessageBoxLink link = withSupportLink ? CAppMessageBox::SupportLink() : MessageBoxLink{};
    return RunShown(box, [&] { return CAppMessageBox::DoModalDone(box, m_owner, text, nullptr, &link); });
}
