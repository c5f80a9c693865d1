// The base of the two download screens: runs one long job (a catalog query or a package download) on a
// worker thread of the dialog while the user watches and may abort. The job is called on the worker as
// job(progress delegate*, CMemoryController*, 0, 0, 0), registers every handle, buffer and thread it
// opens with that controller, and returns 0 for success. An abort cuts the job's registered connections,
// so that its blocked calls return, joins the worker and releases whatever the job left registered; the
// device is kept awake while the dialog runs.
#pragma once

#include <atomic>
#include <mutex>

#include "CDelegate.h"
#include "CMemoryController.h"
#include "Screens/CAppBasicDialog.h"

class CGenericDownloadDlg : public CAppBasicDialog {
public:
    // Modal results of Run.
    static constexpr int kEndedDone = 1;
    static constexpr int kEndedNoWorker = 2;
    static constexpr int kEndedFailed = 3;
    // Job results beyond the job's own.
    static constexpr unsigned kJobAborted = 3;
    static constexpr unsigned kJobUnbound = 4;
    static constexpr unsigned kNoJobResult = 1;
    // The abort soft key.
    static constexpr int kAbortCommand = 3;
    // Posted by the worker: the job's result in wParam.
    static constexpr UINT WMU_JOB_ENDED = WM_APP + 60;

    CGenericDownloadDlg() = default;
    ~CGenericDownloadDlg() override;

    // Runs the job behind the dialog over the owner: 1 when the job returned 0, 3 when it failed, was
    // aborted or the screen could not be built, 2 when no worker could be started. A null or unbound job
    // is refused with 3 and nothing is shown.
    int Run(HWND owner, const CDelegate* job, UserInterface::IDlgScreenCapture* capture);
    // The job's own return value, 3 after an abort, 4 for a job found unbound on the worker; 1 while no
    // result was stored.
    unsigned GetJobResult() const { return m_jobResult.load(); }

    BOOL OnCreateMenu(UserInterface::CMenuInfo* menu) override;
    BOOL OnInitDialog() override;
    BOOL OnInitControls() override;
    BOOL OnDialogCommand(int id, int code, HWND window) override;
    BOOL OnBackKey(WPARAM wParam, LPARAM lParam) override;
    BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDestroy() override;

protected:
    // The screen's own controls; false when one cannot be made.
    virtual bool BuildControls() = 0;
    // A progress report of the job, on the worker thread: (downloader progress code, done, total).
    virtual void OnProgress(int code, ULONGLONG done, ULONGLONG total);

private:
    static DWORD WINAPI WorkerProc(LPVOID self);
    static int ProgressProc(INT_PTR code, INT_PTR done, INT_PTR total, INT_PTR, INT_PTR, INT_PTR context);
    void RunJob();
    bool StartWorker();
    // Cuts the job's connections until the worker has ended, joins it, then releases what it left.
    void StopWorker();
    void AskAbort();
    bool StoreJobResult(unsigned result);
    void EndWithJobResult();

    CDelegate m_job;
    HANDLE m_worker = nullptr;
    CMemoryController m_resources;
    std::atomic<unsigned> m_jobResult{kNoJobResult};
    // Whether the worker or an abort stored the result; the first one wins.
    std::mutex m_resultLock;
    bool m_resultStored = false;
    bool m_controlsBuilt = false;
    bool m_asking = false;
    // A job that ended while the abort question was open: its end is handled once the question is gone.
    bool m_endPending = false;
};
