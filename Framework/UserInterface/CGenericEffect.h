// A screen transition: the timed frame loop that the effects draw their frames in. Frames run on the
// layer's clock, so a virtual clock steps a transition without real waiting.
#pragma once

#include "ce/gdi.h"

namespace UserInterface {

class CGenericEffect {
public:
    static constexpr DWORD kDefaultDuration = 300;

    CGenericEffect() = default;
    CGenericEffect(const CGenericEffect&) = delete;
    CGenericEffect& operator=(const CGenericEffect&) = delete;
    virtual ~CGenericEffect() = default;

    // Draws the frames from the old picture (from) to the new one (to) into the target's rectangle;
    // (srcX, srcY) is the rectangle's origin in both pictures. True when every frame was drawn; false
    // at once when a context is missing or the effect cannot prepare.
    virtual bool Play(HDC target, int x, int y, int width, int height, HDC from, HDC to, int srcX, int srcY);
    virtual void SetDuration(DWORD milliseconds) { m_duration = milliseconds; }
    virtual bool Prepare(HDC target, HDC from, HDC to, int srcX, int srcY, int width, int height);
    virtual void Finish() {}
    // One frame at percent (0 to 100) of the way.
    virtual bool DrawStep(HDC target, int x, int y, int width, int height, int percent);

    DWORD GetDuration() const { return m_duration; }

protected:
    // The share of the duration that has passed since start, 0 to 100.
    int PercentSince(DWORD start) const;

    DWORD m_duration = kDefaultDuration;
};

// The process's one effect of a kind: 0 push left, 1 push right, 2 blend, 3 squeeze to point,
// 4 restore from point, 5 restore from four rectangles, 6 divide into four rectangles. Made on first
// request with the default duration and kept until the process ends; null for another kind.
CGenericEffect* CreateTransitionEffect(int kind);

}  // namespace UserInterface
