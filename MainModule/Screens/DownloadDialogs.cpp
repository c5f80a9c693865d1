#include "Screens/DownloadDialogs.h"

#include "Screens/CDownloadProgressViewDlg.h"
#include "Screens/CDownloadWaitViewDlg.h"

namespace {

template <class Dialog, class Run>
int RunAnnounced(COnlineUpdateMgr& check, Dialog& dialog, unsigned* jobResult, const Run& run) {
    dialog.SetWindowTransition(&check);
    check.SetShownDialog(&dialog);
    const int ended = run();
    check.SetShownDialog(nullptr);
    if (jobResult != nullptr) {
        *jobResult = dialog.GetJobResult();
    }
    return ended;
}

}  // namespace

int RunDownloadDialog(COnlineUpdateMgr& check, HWND owner, IOnlineUpdateScreens::DownloadKind kind, LPCWSTR waitText,
                      const CDelegate& job, unsigned* jobResult) {
    if (kind == IOnlineUpdateScreens::kCatalogQuery) {
        CDownloadWaitViewDlg wait;
        return RunAnnounced(check, wait, jobResult, [&] { return wait.RunWithText(owner, &job, waitText, &check); });
    }
    CDownloadProgressViewDlg progress;
    return RunAnnounced(check, progress, jobResult, [&] { return progress.Run(owner, &job, &check); });
}
