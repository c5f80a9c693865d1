// The base of the forecast controls that animate their weather pictures: a drawing thread of their
// own steps the frames every 300 ms while the animation is on, and repaints when a frame changed.
// Painting may then come from that thread and the user-interface thread at once: one lock keeps the
// control's data and its off-screen bitmap to one painter at a time.
#pragma once

#include <atomic>
#include <mutex>

#include "Controls/CControlAnimator.h"
#include "UserInterface/CDlgControl.h"

class CAnimatedControl : public UserInterface::CDlgControl {
public:
    explicit CAnimatedControl(LPCWSTR typeName);
    ~CAnimatedControl() override;

    void ResumeAnimation() { m_animate = true; }
    void PauseAnimation() { m_animate = false; }

    BOOL Draw(HDC dc, int x, int y, const RECT* clip, BOOL ownBuffer) override;

protected:
    // Starts the drawing thread; the control is not created without it.
    LRESULT OnCreate() override;
    void DrawFocusBorder(HDC dc, const RECT* rect) override;
    // Moves every picture to its next frame, under the lock; true when one changed.
    virtual bool AdvanceFrames() = 0;
    // Derived destructors stop the thread first: it paints what they are about to destroy.
    void StopAnimation() { m_animator.Stop(); }

    std::recursive_mutex m_lock;

private:
    void Animate();

    CControlAnimator m_animator;
    std::atomic<bool> m_animate{false};
};
