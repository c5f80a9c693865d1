#include "UserInterface/CDlgProgressBar.h"

#include <algorithm>
#include <cstdint>

#include "UserInterface/IDlgControlImages.h"

namespace UserInterface {

CDlgProgressBar::CDlgProgressBar() : CDlgControl(u"__DlgProgressBar") {}

CDlgProgressBar::~CDlgProgressBar() = default;

int CDlgProgressBar::SetProgress(const Progress* progress, BOOL redraw) {
    return static_cast<int>(SendMessage(kMsgSetProgress, reinterpret_cast<WPARAM>(progress), redraw));
}

int CDlgProgressBar::GetProgress(Progress* progress) {
    return static_cast<int>(SendMessage(kMsgGetProgress, reinterpret_cast<WPARAM>(progress), 0));
}

// Downloads pass byte counts: the product is taken in 64 bits so that sizes up to 4 GB stay exact,
// and a position past the maximum still shows a full bar, not more.
int CDlgProgressBar::GetPercent(const Progress& progress) {
    if ((progress.mask & (kPositionValid | kMaximumValid)) == 0 || progress.maximum == 0) {
        return 0;
    }
    const uint64_t percent = uint64_t{progress.position} * 100 / progress.maximum;
    return static_cast<int>(std::min<uint64_t>(percent, 100));
}

void CDlgProgressBar::OnPaint(HDC dc, const RECT* rect) {
    IDlgControlImages* skin = g_pDlgControlImages;
    if (dc == nullptr || rect == nullptr || skin == nullptr) {
        return;
    }
    skin->DrawProgressBar(dc, rect, GetPercent(m_progress));
}

LRESULT CDlgProgressBar::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kMsgSetProgress:
            return OnSetProgress(reinterpret_cast<const Progress*>(wParam), static_cast<BOOL>(lParam));
        case kMsgGetProgress:
            return OnGetProgress(reinterpret_cast<Progress*>(wParam));
        default:
            return 0;
    }
}

LRESULT CDlgProgressBar::OnSetProgress(const Progress* progress, BOOL redraw) {
    if (progress == nullptr) {
        return 0;
    }
    if (progress->mask & kPositionValid) {
        m_progress.position = progress->position;
        m_progress.mask |= kPositionValid;
    }
    if (progress->mask & kMaximumValid) {
        m_progress.maximum = progress->maximum;
        m_progress.mask |= kMaximumValid;
    }
    if (redraw) {
        Redraw(nullptr);
    }
    return 1;
}

LRESULT CDlgProgressBar::OnGetProgress(Progress* progress) {
    if (progress == nullptr) {
        return 0;
    }
    *progress = m_progress;
    return 1;
}

}  // namespace UserInterface
