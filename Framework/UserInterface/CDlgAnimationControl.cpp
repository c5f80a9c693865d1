#include "UserInterface/CDlgAnimationControl.h"

#include "RectHelpers.h"
#include "ThreadJoin.h"
#include "ce/kernel.h"

namespace UserInterface {

CDlgAnimationControl::CDlgAnimationControl() : CDlgControl(u"__DlgAnimationControl") {}

CDlgAnimationControl::~CDlgAnimationControl() { StopFrames(); }

// The thread is asked to end and joined, never killed, so it never leaves a redraw half done.
void CDlgAnimationControl::StopFrames() {
    StopAndJoinThread(&m_thread, m_stop);
    if (m_stop != nullptr) {
        CloseHandle(m_stop);
        m_stop = nullptr;
    }
}

BOOL CDlgAnimationControl::Create(const CDlgImageArray* frames, DWORD interval, int id, DWORD style, int width,
                                  int height) {
    {
        std::lock_guard<std::recursive_mutex> guard(m_lock);
        m_frame = 0;
        m_frames.Clear();
        if (frames != nullptr) {
            m_frames.CopyFrom(frames);
        }
    }
    if (interval != 0) {
        m_interval = interval;
    }
    return CDlgControl::Create(id, style, width, height);
}

LRESULT CDlgAnimationControl::OnCreate() {
    if (m_thread != nullptr) {
        return 1;
    }
    m_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (m_stop == nullptr) {
        return 0;
    }
    m_thread = CreateThread(nullptr, 0, &FrameThread, this, 0, nullptr);
    if (m_thread == nullptr) {
        CloseHandle(m_stop);
        m_stop = nullptr;
        return 0;
    }
    return 1;
}

DWORD WINAPI CDlgAnimationControl::FrameThread(LPVOID parameter) {
    static_cast<CDlgAnimationControl*>(parameter)->RunFrames();
    return 0;
}

void CDlgAnimationControl::RunFrames() {
    DWORD wait = m_interval;
    while (WaitForSingleObject(m_stop, wait) == WAIT_TIMEOUT) {
        const DWORD start = GetTickCount();
        if (IsCreated() && IsHostActive()) {
            std::lock_guard<std::recursive_mutex> guard(m_lock);
            m_frame = m_frame + 1 >= m_frames.GetCount() ? 0 : m_frame + 1;
            Redraw(nullptr);
        }
        const DWORD took = GetTickCount() - start;
        const DWORD interval = m_interval;
        wait = took >= interval ? 0 : interval - took;
    }
}

int CDlgAnimationControl::GetCurrentFrame() {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    return m_frame;
}

BOOL CDlgAnimationControl::Redraw(const RECT* clip) {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    return CDlgControl::Redraw(clip);
}

BOOL CDlgAnimationControl::SetFrames(const CDlgImageArray* frames, BOOL redraw) {
    return static_cast<BOOL>(SendMessage(kMsgSetFrames, reinterpret_cast<WPARAM>(frames), redraw));
}

LRESULT CDlgAnimationControl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kMsgSetFrames: return OnSetFrames(reinterpret_cast<const CDlgImageArray*>(wParam), lParam != 0);
        case kMsgSetInterval: return OnSetInterval(static_cast<DWORD>(wParam));
        case kMsgGetInterval: return OnGetInterval();
        default: return 0;
    }
}

LRESULT CDlgAnimationControl::OnSetFrames(const CDlgImageArray* frames, BOOL redraw) {
    BOOL copied = TRUE;
    {
        std::lock_guard<std::recursive_mutex> guard(m_lock);
        m_frame = 0;
        m_frames.Clear();
        if (frames != nullptr) {
            copied = m_frames.CopyFrom(frames);
        }
    }
    RedrawIf(redraw);
    return copied;
}

LRESULT CDlgAnimationControl::OnSetInterval(DWORD milliseconds) {
    m_interval = milliseconds;
    return 1;
}

LRESULT CDlgAnimationControl::OnGetInterval() { return m_interval; }

void CDlgAnimationControl::OnPaint(HDC dc, const RECT* inner) {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    const IDlgImage* frame = m_frames.At(m_frame);
    if (dc == nullptr || inner == nullptr || frame == nullptr) {
        return;
    }
    if (GetFlags() & kStretch) {
        frame->DrawInRect(dc, inner, nullptr, FALSE);
        return;
    }
    const int width = frame->GetWidth();
    const int height = frame->GetHeight();
    int x = inner->left;
    int y = inner->top;
    if (GetFlags() & kCenter) {
        x += (RectWidth(*inner) - width) / 2;
        y += (RectHeight(*inner) - height) / 2;
    }
    frame->Draw(dc, x, y, width, height, 0, 0);
}

bool CDlgAnimationControl::GetWidestFrame(SIZE* size) {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    *size = SIZE{};
    for (int i = 0; i < m_frames.GetCount(); ++i) {
        SIZE frame{};
        if (m_frames.GetImageSize(i, &frame) && frame.cx > size->cx) {
            *size = frame;
        }
    }
    return size->cx > 0;
}

int CDlgAnimationControl::GetPreferredWidth() {
    SIZE widest{};
    GetWidestFrame(&widest);
    return widest.cx + 2 * GetBorderSize();
}

// The widest frame's proportions at the control's width; a control without frames has no proportion
// and asks for its border only.
int CDlgAnimationControl::GetPreferredHeight() {
    SIZE widest{};
    if (!GetWidestFrame(&widest)) {
        return 2 * GetBorderSize();
    }
    const double inner = GetWidth() - 2 * GetBorderSize();
    return static_cast<int>(inner / widest.cx * widest.cy) + 2 * GetBorderSize();
}

}  // namespace UserInterface
