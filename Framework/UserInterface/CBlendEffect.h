// The old picture fades into the new one, blended on 16-bit bitmaps.
#pragma once

#include "CBitmapDC.h"
#include "UserInterface/CGenericEffect.h"

namespace UserInterface {

class CBlendEffect : public CGenericEffect {
public:
    bool Prepare(HDC target, HDC from, HDC to, int srcX, int srcY, int width, int height) override;
    void Finish() override;
    bool DrawStep(HDC target, int x, int y, int width, int height, int percent) override;

private:
    CBitmapDC m_from;
    CBitmapDC m_to;
    CBitmapDC m_result;
};

}  // namespace UserInterface
