// The download screen of a short job whose size is unknown: a fixed text over a looping animation.
#pragma once

#include <string>

#include "Screens/CGenericDownloadDlg.h"
#include "UserInterface/CDlgLayout.h"

class CDownloadWaitViewDlg : public CGenericDownloadDlg {
public:
    static constexpr int kTextId = 1;
    static constexpr int kAnimationId = 2;
    static constexpr int kFontSize = 0;
    static constexpr int kFrameSize = 80;
    static constexpr DWORD kFrameIntervalMs = 500;
    static constexpr int kFirstFrame = 73;
    static constexpr int kFrameCount = 4;

    // The text (when there is one) over the animation row, the two centred as one block.
    class CDownloadWaitViewDlgLayout : public UserInterface::CDlgLayout {
    public:
        void Arrange() override;
    };

    CDownloadWaitViewDlg() = default;
    ~CDownloadWaitViewDlg() override = default;

    // Keeps the text (already localized; null for none), then runs as Run does.
    int RunWithText(HWND owner, const CDelegate* job, LPCWSTR text, UserInterface::IDlgScreenCapture* capture);

    UserInterface::CDlgLayout* CreateLayout() override;

protected:
    bool BuildControls() override;

private:
    std::u16string m_text;
    bool m_hasText = false;
};
