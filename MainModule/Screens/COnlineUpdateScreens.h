// The program's own screens of a program-update check, run over the window that started it: the
// Done/Cancel question, the connection for online updates, the download dialogs, the offer of one
// product, the list of several and the Done message. Each runs with the check's transitions, so that
// a screen that leads on leaves its picture for the next one to open from.
#pragma once

#include "Weather/IOnlineUpdateScreens.h"

class CAppBasicDialog;
class COnlineUpdateMgr;

class COnlineUpdateScreens : public IOnlineUpdateScreens {
public:
    COnlineUpdateScreens(HWND owner, COnlineUpdateMgr* check) : m_owner(owner), m_check(check) {}
    COnlineUpdateScreens(const COnlineUpdateScreens&) = delete;
    COnlineUpdateScreens& operator=(const COnlineUpdateScreens&) = delete;
    virtual ~COnlineUpdateScreens() = default;

    int AskAutomaticCheck(LPCWSTR question) override;
    int ChooseConnection(GUID* destination) override;
    int RunDownloadJob(DownloadKind kind, LPCWSTR waitText, const CDelegate& job, unsigned* jobResult) override;
    int OfferProduct(const CProductInfo& product) override;
    int SelectProduct(const COnlineUpdateCatalog& catalog, int* selected) override;
    int ShowMessage(LPCWSTR text, bool withSupportLink) override;

private:
    // Runs a screen of the check as the one shown, with the check's transitions.
    template <class Run>
    int RunShown(CAppBasicDialog& screen, Run run);

    HWND m_owner;
    COnlineUpdateMgr* m_check;
};
