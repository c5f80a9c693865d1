// A bar that the skin fills to a percentage: how much of a download or an operation is done.
#pragma once

#include "UserInterface/CDlgControl.h"

namespace UserInterface {

class CDlgProgressBar : public CDlgControl {
public:
    // What a progress record carries: the fields named by the mask bits.
    struct Progress {
        DWORD mask;
        DWORD position;
        DWORD maximum;
    };
    static constexpr DWORD kPositionValid = 0x1;
    static constexpr DWORD kMaximumValid = 0x2;

    static constexpr UINT kMsgSetProgress = 5889;
    static constexpr UINT kMsgGetProgress = 5890;

    CDlgProgressBar();
    ~CDlgProgressBar() override;

    int SetProgress(const Progress* progress, BOOL redraw);
    int GetProgress(Progress* progress);

    // Position of maximum in per cent, 0 to 100; 0 while nothing or a zero maximum is known.
    static int GetPercent(const Progress& progress);

    int GetPreferredWidth() override { return 0; }
    int GetPreferredHeight() override { return 0; }
    BOOL CanFocus() override { return 0; }

protected:
    void OnPaint(HDC dc, const RECT* rect) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    virtual LRESULT OnSetProgress(const Progress* progress, BOOL redraw);
    virtual LRESULT OnGetProgress(Progress* progress);

private:
    Progress m_progress{};
};

}  // namespace UserInterface
