// The effects that compose each frame on a work bitmap from the two pictures and then copy it to the
// target: squeeze to a point, restore from a point, and the two four-rectangle effects.
#pragma once

#include "CBitmapDC.h"
#include "UserInterface/CGenericEffect.h"

namespace UserInterface {

class CWorkBitmapEffect : public CGenericEffect {
public:
    bool Prepare(HDC target, HDC from, HDC to, int srcX, int srcY, int width, int height) override;
    void Finish() override;
    bool DrawStep(HDC target, int x, int y, int width, int height, int percent) override;

protected:
    CWorkBitmapEffect() = default;

    // Draws frame percent of a width x height transition onto the work bitmap.
    virtual bool Compose(int width, int height, int percent) = 0;

    HDC Work() const { return m_work.DC(); }
    HDC From() const { return m_from; }
    HDC To() const { return m_to; }
    // A picture's width x height rectangle from the source origin, copied whole onto the work bitmap.
    bool FillWork(HDC picture, int width, int height);
    // Part of a picture, given relative to the source origin, copied onto the work bitmap.
    bool CopyPart(HDC picture, int fromX, int fromY, int toX, int toY, int width, int height);
    // The whole picture stretched into a rectangle of the work bitmap; nothing for an empty one.
    bool StretchInto(HDC picture, int x, int y, int width, int height, int pictureWidth, int pictureHeight);

private:
    CBitmapDC m_work;
    HDC m_from = nullptr;
    HDC m_to = nullptr;
    int m_srcX = 0;
    int m_srcY = 0;
};

}  // namespace UserInterface
