// The download screen of a package: the status line (connecting, then the bytes received of the
// total), a progress bar and, once the transfer runs, an estimate of the minutes remaining.
#pragma once

#include <mutex>
#include <string>

#include "Screens/CGenericDownloadDlg.h"
#include "UserInterface/CDlgLayout.h"

class CDownloadProgressViewDlg : public CGenericDownloadDlg {
public:
    static constexpr int kStatusId = 1;
    static constexpr int kBarId = 2;
    static constexpr int kRemainingId = 3;
    static constexpr int kFontSize = 8;
    // Shown when the transfer starts, before there is anything to estimate from.
    static constexpr ULONGLONG kFirstEstimateMinutes = 5;
    // Posted by the progress operation once a new state is ready.
    static constexpr UINT WMU_PROGRESS = WM_APP + 61;

    // The controls stacked around the bar, whose middle lies at two thirds of the client height.
    class CDownloadProgressViewDlgLayout : public UserInterface::CDlgLayout {
    public:
        ~CDownloadProgressViewDlgLayout() override;
        void Arrange() override;

    private:
        int FitStatusFont(UserInterface::CDlgControl* status, int width);

        HFONT m_fittedFont = nullptr;  // the status line's, where the factory's is too wide
    };

    CDownloadProgressViewDlg() = default;
    ~CDownloadProgressViewDlg() override = default;

    // "1.7 MB of 3.3 MB" from the byte counts; empty when the template has no text.
    static std::u16string ProgressText(ULONGLONG done, ULONGLONG total);
    // "About 4 min. remaining"; empty when the template has no text.
    static std::u16string RemainingText(ULONGLONG minutes);
    // The estimate from the time since the transfer started: elapsed x (total - done) / done, in whole
    // minutes, plus one. Nothing done yet gives the first estimate.
    static ULONGLONG RemainingMinutes(ULONGLONG elapsedMs, ULONGLONG done, ULONGLONG total);
    // Whether the remaining time is shown: only once something has arrived of a known total.
    static bool HasEstimate(ULONGLONG done, ULONGLONG total);

    UserInterface::CDlgLayout* CreateLayout() override;
    BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    bool BuildControls() override;
    void OnProgress(int code, ULONGLONG done, ULONGLONG total) override;

private:
    // What the controls show; made on the worker, shown on the dialog's thread.
    struct Shown {
        std::u16string status;
        DWORD position = 0;
        DWORD maximum = 0;
        std::u16string remaining;
        bool remainingVisible = false;
    };
    void ShowState();

    std::mutex m_lock;
    Shown m_state;
    // When the transfer started (device milliseconds); 0 until it has.
    ULONGLONG m_startMs = 0;
};
