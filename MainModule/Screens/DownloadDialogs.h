// The download screens of a program-update check, as IOnlineUpdateScreens::RunDownloadJob runs them:
// the wait screen with its text for the catalog query, the progress screen for the package download,
// each with the check's transitions and announced to the check while it runs.
#pragma once

#include "CDelegate.h"
#include "Weather/COnlineUpdateMgr.h"
#include "Weather/IOnlineUpdateScreens.h"

// The modal result (1 done, 3 failed or aborted, 2 no worker) and, in *jobResult, the job's own value
// (3 after an abort, 4 unbound, 1 when none was stored).
int RunDownloadDialog(COnlineUpdateMgr& check, HWND owner, IOnlineUpdateScreens::DownloadKind kind, LPCWSTR waitText,
                      const CDelegate& job, unsigned* jobResult);
