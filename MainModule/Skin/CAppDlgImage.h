// One picture of the skin as a control's image: its picture number and the size it is drawn at.
#pragma once

#include "UserInterface/IDlgImage.h"

class CAppDlgImage : public UserInterface::IDlgImage {
public:
    CAppDlgImage() = default;
    ~CAppDlgImage() override = default;

    // A negative width or height takes the picture's own scaled one; otherwise with keepAspect the
    // size shrinks to the picture's aspect inside width x height. False without a skin or when the
    // picture has no size.
    BOOL Set(int picture, int width, int height, BOOL keepAspect);
    int GetPicture() const { return m_picture; }

    BOOL Clone(UserInterface::IDlgImage** copy) const override;
    // Only from another skin picture; false for an image of another kind.
    BOOL Assign(const UserInterface::IDlgImage* other) override;
    void Clear() override;
    BOOL IsValid() const override;
    BOOL GetSize(SIZE* size) const override;
    int GetWidth() const override { return m_width; }
    int GetHeight() const override { return m_height; }
    BOOL Draw(HDC dc, int x, int y, int width, int height, int sourceX, int sourceY) const override;
    BOOL DrawInRect(HDC dc, const RECT* rect, const RECT* clip, BOOL keepAspect) const override;

    // The largest size of the picture's own aspect inside width x height (truncated).
    static SIZE FitInside(SIZE own, int width, int height);

private:
    int m_picture = -1;
    int m_width = 0;
    int m_height = 0;
};
