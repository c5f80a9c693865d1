// The screens of a program-update check, as COnlineUpdateMgr drives them. The program's dialogs
// implement it: the Done/Cancel question, the connection dialog for online updates, the wait and
// progress download dialogs, the update information and selection dialogs and the Done message box.
// Every call runs its screen modally on the UI thread and returns its modal result when it ended; a
// negative result means that the screen could not be made.
//
// The screens are made for one check and know its COnlineUpdateMgr: each dialog runs with the check's
// GetTransition() and is announced with SetShownDialog while it runs (null once it is gone), so that a
// dialog that leads straight on to the next one leaves its picture for that one to open from.
#pragma once

#include "CDelegate.h"
#include "Weather/COnlineUpdateCatalog.h"
#include "ce/com.h"

class IOnlineUpdateScreens {
public:
    enum DownloadKind {
        kCatalogQuery = 0,     // the wait dialog with its text and animation
        kPackageDownload = 1,  // the progress dialog with bytes, bar and time remaining
    };

    // "Check now?" of an automatic check, with the soft keys Done (1) and Cancel.
    virtual int AskAutomaticCheck(LPCWSTR question) = 0;
    // The connection for online updates; the dialog starts from *destination and leaves the choice there
    // when it ends with 1.
    virtual int ChooseConnection(GUID* destination) = 0;
    // Runs the job on a worker thread behind a download dialog, as job(progress delegate*,
    // CMemoryController*, 0, 0, 0); the user may abort. Returns 1 when the job returned 0, 3 when it
    // failed or was aborted, 2 when no worker could be started. *jobResult is the job's own value, 3
    // after an abort, 4 for an unbound job.
    virtual int RunDownloadJob(DownloadKind kind, LPCWSTR waitText, const CDelegate& job, unsigned* jobResult) = 0;
    // The one offered product with the download soft key: 1 to download it.
    virtual int OfferProduct(const CProductInfo& product) = 0;
    // The list of offered products: 1 to download the selected one, whose catalog index goes to
    // *selected (-1 when no row is selected).
    virtual int SelectProduct(const COnlineUpdateCatalog& catalog, int* selected) = 0;
    // A message with the Done soft key, with the support link line below it when asked.
    virtual int ShowMessage(LPCWSTR text, bool withSupportLink) = 0;

protected:
    ~IOnlineUpdateScreens() = default;
};
