#include "Skin/CAppDlgImage.h"

#include <new>

#include "RectHelpers.h"
#include "Skin/CApplicationSkin.h"

SIZE CAppDlgImage::FitInside(SIZE own, int width, int height) {
    SIZE size{width, height};
    if (own.cx <= 0 || own.cy <= 0) {
        return size;
    }
    const double rw = static_cast<double>(width) / own.cx;
    const double rh = static_cast<double>(height) / own.cy;
    if (rw > rh) {
        size.cx = static_cast<LONG>(own.cx * rh);
    } else if (rw < rh) {
        size.cy = static_cast<LONG>(own.cy * rw);
    }
    return size;
}

BOOL CAppDlgImage::Set(int picture, int width, int height, BOOL keepAspect) {
    SIZE own{};
    if (g_pApplicationSkin == nullptr || !g_pApplicationSkin->GetSpriteSize(picture, &own) || own.cx <= 0 ||
        own.cy <= 0) {
        return FALSE;
    }
    SIZE size{width, height};
    if (width < 0 || height < 0) {
        size.cx = width < 0 ? own.cx : width;
        size.cy = height < 0 ? own.cy : height;
    } else if (keepAspect) {
        size = FitInside(own, width, height);
    }
    m_picture = picture;
    m_width = size.cx;
    m_height = size.cy;
    return TRUE;
}

BOOL CAppDlgImage::Clone(UserInterface::IDlgImage** copy) const {
    if (copy == nullptr) {
        return FALSE;
    }
    auto* image = new (std::nothrow) CAppDlgImage();
    if (image == nullptr) {
        return FALSE;
    }
    image->m_picture = m_picture;
    image->m_width = m_width;
    image->m_height = m_height;
    *copy = image;
    return TRUE;
}

BOOL CAppDlgImage::Assign(const UserInterface::IDlgImage* other) {
    const auto* image = dynamic_cast<const CAppDlgImage*>(other);
    if (image == nullptr) {
        return FALSE;
    }
    m_picture = image->m_picture;
    m_width = image->m_width;
    m_height = image->m_height;
    return TRUE;
}

void CAppDlgImage::Clear() { m_picture = -1; }

BOOL CAppDlgImage::IsValid() const { return g_pApplicationSkin != nullptr && m_picture >= 0; }

BOOL CAppDlgImage::GetSize(SIZE* size) const {
    if (size == nullptr) {
        return FALSE;
    }
    *size = SIZE{m_width, m_height};
    return TRUE;
}

BOOL CAppDlgImage::Draw(HDC dc, int x, int y, int width, int height, int sourceX, int sourceY) const {
    return IsValid() &&
           g_pApplicationSkin->DrawSprite(m_picture, m_width, m_height, dc, x, y, sourceX, sourceY, width, height);
}

BOOL CAppDlgImage::DrawInRect(HDC dc, const RECT* rect, const RECT* clip, BOOL keepAspect) const {
    if (!IsValid() || dc == nullptr || rect == nullptr || IsRectEmpty(rect)) {
        return FALSE;
    }
    SIZE size{RectWidth(*rect), RectHeight(*rect)};
    if (keepAspect) {
        SIZE own{};
        if (!g_pApplicationSkin->GetSpriteSize(m_picture, &own)) {
            return FALSE;
        }
        size = FitInside(own, size.cx, size.cy);
    }
    if (size.cx <= 0 || size.cy <= 0) {
        return FALSE;
    }
    RECT picture;
    picture.left = rect->left + (RectWidth(*rect) - size.cx) / 2;
    picture.top = rect->top + (RectHeight(*rect) - size.cy) / 2;
    picture.right = picture.left + size.cx;
    picture.bottom = picture.top + size.cy;
    RECT part = picture;
    if (clip != nullptr && !IntersectRect(&part, &picture, clip)) {
        return TRUE;  // nothing of it lies inside the clip
    }
    return g_pApplicationSkin->DrawSprite(m_picture, size.cx, size.cy, dc, part.left, part.top,
                                          part.left - picture.left, part.top - picture.top, RectWidth(part),
                                          RectHeight(part));
}
