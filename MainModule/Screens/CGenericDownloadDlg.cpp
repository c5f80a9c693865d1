#include "Screens/CGenericDownloadDlg.h"

#include "CLocalization.h"
#include "Screens/CAppMessageBox.h"
#include "Weather/DeviceUtilities.h"

namespace {

// How long one interruption of the job's transfer is given to let the worker end before the next one:
// a job may open a connection after an interruption.
constexpr DWORD kReleaseRetryMs = 50;

}  // namespace

CGenericDownloadDlg::~CGenericDownloadDlg() { StopWorker(); }

int CGenericDownloadDlg::Run(HWND owner, const CDelegate* job, UserInterface::IDlgScreenCapture* capture) {
    if (job == nullptr || !job->IsSet()) {
        return kEndedFailed;
    }
    m_job = *job;
    m_jobResult = kNoJobResult;
    m_resultStored = false;
    m_controlsBuilt = false;
    m_endPending = false;
    const INT_PTR ended = RunOverWindow(owner, nullptr, capture);
    if (!m_controlsBuilt) {
        return kEndedFailed;
    }
    return ended == kEndedDone || ended == kEndedNoWorker ? static_cast<int>(ended) : kEndedFailed;
}

BOOL CGenericDownloadDlg::OnCreateMenu(UserInterface::CMenuInfo* menu) {
    menu->Clear();
    menu->SetFlags(UserInterface::CMenuInfo::kNoInputPanel);
    menu->SetCommand(UserInterface::kLeftSoftKey, kAbortCommand);
    return menu->SetCaption(UserInterface::kLeftSoftKey, "IDS_CAP_ABORT");
}

BOOL CGenericDownloadDlg::OnInitControls() {
    m_controlsBuilt = BuildControls();
    return m_controlsBuilt && CAppBasicDialog::OnInitControls();
}

BOOL CGenericDownloadDlg::OnInitDialog() {
    StartKeepAwake();
    const BOOL initialised = CAppBasicDialog::OnInitDialog();
    // A dialog ended during its set-up starts no job.
    if (GetResult() == -1 && !StartWorker()) {
        EndDialog(kEndedNoWorker);
    }
    return initialised;
}

bool CGenericDownloadDlg::StartWorker() {
    if (m_worker != nullptr) {
        return true;
    }
    m_worker = CreateThread(nullptr, 0, &WorkerProc, this, 0, nullptr);
    return m_worker != nullptr;
}

DWORD WINAPI CGenericDownloadDlg::WorkerProc(LPVOID self) {
    static_cast<CGenericDownloadDlg*>(self)->RunJob();
    return 0;
}

void CGenericDownloadDlg::RunJob() {
    unsigned result = kJobUnbound;
    CDelegate progress;
    if (m_job.IsSet() && progress.Set(&ProgressProc, reinterpret_cast<INT_PTR>(this))) {
        result = static_cast<unsigned>(
            m_job.Invoke(reinterpret_cast<INT_PTR>(&progress), reinterpret_cast<INT_PTR>(&m_resources), 0, 0, 0));
    }
    StoreJobResult(result);
    // The dialog is ended on its own thread: ending it here would draw and destroy from the worker.
    PostMessageW(m_hWnd, WMU_JOB_ENDED, result, 0);
}

int CGenericDownloadDlg::ProgressProc(INT_PTR code, INT_PTR done, INT_PTR total, INT_PTR, INT_PTR, INT_PTR context) {
    auto* self = reinterpret_cast<CGenericDownloadDlg*>(context);
    self->OnProgress(static_cast<int>(code), static_cast<ULONGLONG>(static_cast<DWORD>(done)),
                     static_cast<ULONGLONG>(static_cast<DWORD>(total)));
    return 0;
}

void CGenericDownloadDlg::OnProgress(int, ULONGLONG, ULONGLONG) {}

BOOL CGenericDownloadDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WMU_JOB_ENDED) {
        return CAppBasicDialog::OnMessage(message, wParam, lParam);
    }
    if (m_asking) {
        m_endPending = true;
    } else if (GetResult() == -1) {
        EndWithJobResult();
    }
    return TRUE;
}

// The first result stored counts: the job's own, or an abort that came before the job ended.
bool CGenericDownloadDlg::StoreJobResult(unsigned result) {
    std::lock_guard guard(m_resultLock);
    if (m_resultStored) {
        return false;
    }
    m_jobResult = result;
    m_resultStored = true;
    return true;
}

void CGenericDownloadDlg::EndWithJobResult() {
    EndDialog(m_jobResult.load() == 0 ? kEndedDone : kEndedFailed);
}

BOOL CGenericDownloadDlg::OnDialogCommand(int id, int code, HWND window) {
    if (id == IDOK || id == IDCANCEL || id == kAbortCommand) {
        AskAbort();
        return TRUE;
    }
    return CAppBasicDialog::OnDialogCommand(id, code, window);
}

// The key's release asks, so that its press does not reach the screen below.
BOOL CGenericDownloadDlg::OnBackKey(WPARAM, LPARAM lParam) {
    if (LOWORD(lParam) & MOD_KEYUP) {
        return OnDialogCommand(IDCANCEL, 0, nullptr);
    }
    return TRUE;
}

void CGenericDownloadDlg::AskAbort() {
    LPCWSTR question = LoadLocalizedString("IDS_STOP_DOWNLOAD_UPDATE_MSG");
    if (m_asking || GetResult() != -1 || question == nullptr) {
        return;
    }
    const std::u16string text = question;
    m_asking = true;
    CAppMessageBox box;
    const INT_PTR answer = CAppMessageBox::DoModalYesNoOverParentDialog(box, this, text.c_str(), nullptr, nullptr);
    m_asking = false;
    if (answer == IDYES || answer == IDOK) {
        // A job that finished while the question was open keeps its result.
        if (StoreJobResult(kJobAborted)) {
            EndDialog(kEndedFailed);
        } else {
            EndWithJobResult();
        }
    } else if (m_endPending) {
        EndWithJobResult();
    }
}

void CGenericDownloadDlg::OnDestroy() {
    StopWorker();
    StopKeepAwake();
    CAppBasicDialog::OnDestroy();
}

void CGenericDownloadDlg::StopWorker() {
    if (m_worker == nullptr) {
        return;
    }
    // The worker still uses its buffers: only its connections are cut until it has ended.
    while (WaitForSingleObject(m_worker, 0) != WAIT_OBJECT_0) {
        m_resources.Interrupt();
        WaitForSingleObject(m_worker, kReleaseRetryMs);
    }
    CloseHandle(m_worker);
    m_worker = nullptr;
    m_resources.ReleaseAll();
}
