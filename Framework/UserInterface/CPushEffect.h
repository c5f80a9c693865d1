// The two push effects: both pictures side by side on one strip, and a window of the picture's width
// sliding along it.
#pragma once

#include "CBitmapDC.h"
#include "UserInterface/CGenericEffect.h"

namespace UserInterface {

class CPushEffect : public CGenericEffect {
public:
    bool Prepare(HDC target, HDC from, HDC to, int srcX, int srcY, int width, int height) override;
    void Finish() override { m_strip.Release(); }
    bool DrawStep(HDC target, int x, int y, int width, int height, int percent) override;

protected:
    // newOnRight: the new picture waits right of the old one and the old slides out to the left.
    explicit CPushEffect(bool newOnRight) : m_newOnRight(newOnRight) {}

private:
    const bool m_newOnRight;
    CBitmapDC m_strip;
};

}  // namespace UserInterface
