// A picture that a control shows without knowing where it comes from (the skin implements it).
#pragma once

#include "ce/gdi.h"

namespace UserInterface {

class IDlgImage {
public:
    virtual ~IDlgImage() = default;
    // A new, empty image of the same kind; false for a null output. Assign then copies into it.
    virtual BOOL Clone(IDlgImage** copy) const = 0;
    virtual BOOL Assign(const IDlgImage* other) = 0;
    virtual void Clear() = 0;
    virtual BOOL IsValid() const = 0;
    virtual BOOL GetSize(SIZE* size) const = 0;
    virtual int GetWidth() const = 0;
    virtual int GetHeight() const = 0;
    virtual BOOL Draw(HDC dc, int x, int y, int width, int height, int sourceX, int sourceY) const = 0;
    // Drawn to fill the rectangle, or centred at its own aspect; only the part inside the clip when given.
    virtual BOOL DrawInRect(HDC dc, const RECT* rect, const RECT* clip, BOOL keepAspect) const = 0;

    // Makes a private copy through the image's own kind; null when it cannot be made.
    static IDlgImage* Copy(const IDlgImage* image);
};

}  // namespace UserInterface
