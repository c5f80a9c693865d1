// A looping sequence of pictures (the busy indicator of the download screens): a thread of its own
// steps the frame and redraws the control while its dialog is active.
#pragma once

#include <atomic>
#include <mutex>

#include "UserInterface/CDlgControl.h"
#include "UserInterface/CDlgImageArray.h"

namespace UserInterface {

class CDlgAnimationControl : public CDlgControl {
public:
    // Style bits: the frame stretched over the content, or centred in it; neither: at the top left.
    static constexpr DWORD kStretch = 0x10000;
    static constexpr DWORD kCenter = 0x20000;

    static constexpr UINT kMsgSetFrames = 6145;    // wParam: const CDlgImageArray*, lParam: redraw
    static constexpr UINT kMsgSetInterval = 6146;  // wParam: milliseconds
    static constexpr UINT kMsgGetInterval = 6147;

    static constexpr DWORD kDefaultInterval = 500;

    CDlgAnimationControl();
    ~CDlgAnimationControl() override;

    // Copies the frames (null: none); an interval of 0 keeps the current one.
    BOOL Create(const CDlgImageArray* frames, DWORD interval, int id, DWORD style, int width, int height);
    BOOL SetFrames(const CDlgImageArray* frames, BOOL redraw);
    int GetCurrentFrame();

    BOOL Redraw(const RECT* clip) override;
    int GetPreferredWidth() override;
    int GetPreferredHeight() override;
    BOOL CanFocus() override { return 0; }

protected:
    void OnPaint(HDC dc, const RECT* inner) override;
    LRESULT OnCreate() override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    virtual LRESULT OnSetFrames(const CDlgImageArray* frames, BOOL redraw);
    virtual LRESULT OnSetInterval(DWORD milliseconds);
    virtual LRESULT OnGetInterval();

private:
    static DWORD WINAPI FrameThread(LPVOID parameter);
    void RunFrames();
    void StopFrames();
    // The widest frame's size; false without frames of any width.
    bool GetWidestFrame(SIZE* size);

    // Guards the frames and the frame index against the frame thread, and keeps one redraw at a time.
    std::recursive_mutex m_lock;
    CDlgImageArray m_frames;
    int m_frame = 0;
    HANDLE m_thread = nullptr;
    HANDLE m_stop = nullptr;
    std::atomic<DWORD> m_interval{kDefaultInterval};
};

}  // namespace UserInterface
