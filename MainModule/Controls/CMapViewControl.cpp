#include "Controls/CMapViewControl.h"

#include <algorithm>

#include "CSysInfo.h"
#include "DrawingHelpers.h"
#include "RectHelpers.h"
#include "Skin/CAppDlgImage.h"
#include "Skin/CApplicationSkin.h"
#include "ThreadJoin.h"
#include "UserInterface/CDlgTextScope.h"
#include "ce/kernel.h"

namespace {

constexpr DWORD kFrameMs = 40;

// A 16-bit copy of a part of a context, selected into a memory context of its own.
class PixelCopy {
public:
    PixelCopy(HDC source, const RECT& part) : m_width(RectWidth(part)), m_height(RectHeight(part)) {
        m_bitmap = CreateDibBitmap(m_width, m_height, 16);
        m_dc = m_bitmap != nullptr ? CreateCompatibleDC(source) : nullptr;
        if (m_dc != nullptr) {
            m_old = SelectObject(m_dc, m_bitmap);
            BitBlt(m_dc, 0, 0, m_width, m_height, source, part.left, part.top, SRCCOPY);
        }
    }
    ~PixelCopy() {
        if (m_dc != nullptr) {
            SelectObject(m_dc, m_old);
            DeleteDC(m_dc);
        }
        if (m_bitmap != nullptr) {
            DeleteObject(m_bitmap);
        }
    }
    PixelCopy(const PixelCopy&) = delete;
    PixelCopy& operator=(const PixelCopy&) = delete;

    HDC Dc() const { return m_dc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    int m_width;
    int m_height;
    HBITMAP m_bitmap = nullptr;
    HDC m_dc = nullptr;
    HGDIOBJ m_old = nullptr;
};

bool Inflated(const RECT& rect, int by, POINT point) {
    RECT wider{rect.left - by, rect.top - by, rect.right + by, rect.bottom + by};
    return PtInRect(&wider, point) != FALSE;
}

}  // namespace

CMapViewControl::CMapViewControl() : CDlgControl(kTypeName) {
    m_stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

CMapViewControl::~CMapViewControl() {
    EndTitleThread();
    if (m_stopEvent != nullptr) {
        CloseHandle(m_stopEvent);
    }
    DropCachedPicture();
}

BOOL CMapViewControl::SetPicture(const CSprite* picture, LPCWSTR title, BOOL redraw) {
    {
        std::lock_guard guard(m_lock);
        CSprite copy;
        if (picture != nullptr && picture->IsLoaded() && !copy.Assign(*picture)) {
            return FALSE;
        }
        m_picture.Clear();
        m_hasPicture = picture != nullptr && picture->IsLoaded();
        if (m_hasPicture) {
            m_picture.Assign(copy);
        }
        m_title = title != nullptr ? title : u"";
        DropCachedPicture();
        UpdateScaledSize();
    }
    RedrawIf(redraw);
    return TRUE;
}

void CMapViewControl::SetFullScreen(BOOL fullScreen, BOOL redraw) {
    {
        std::lock_guard guard(m_lock);
        m_scroll = {0, 0};
        m_fullScreen = fullScreen ? TRUE : FALSE;
        m_exitPressed = false;
        m_dragging = false;
        UpdateScaledSize();
        DropCachedPicture();
    }
    RedrawIf(redraw);
}

void CMapViewControl::StartTitleAnimation() {
    if (!IsCreated() || m_stopEvent == nullptr) {
        return;
    }
    EndTitleThread();
    m_titleProgress = 0;
    ResetEvent(m_stopEvent);
    m_titleThread = CreateThread(nullptr, 0, TitleThreadProc, this, 0, nullptr);
    if (m_titleThread == nullptr) {
        m_titleProgress = 100;
    }
}

void CMapViewControl::StopTitleAnimation() {
    m_titleProgress = 100;
    if (m_stopEvent != nullptr) {
        SetEvent(m_stopEvent);
    }
}

// The starter of the thread joins it; the thread never closes its own handle.
void CMapViewControl::EndTitleThread() { StopAndJoinThread(&m_titleThread, m_stopEvent); }

DWORD WINAPI CMapViewControl::TitleThreadProc(LPVOID self) {
    static_cast<CMapViewControl*>(self)->RunTitleFade();
    return 0;
}

// The title stands clear for a second, then fades over the next.
void CMapViewControl::RunTitleFade() {
    m_titleProgress = 0;
    RedrawLocked();
    if (WaitForSingleObject(m_stopEvent, kTitleShownMs) == WAIT_TIMEOUT) {
        const DWORD start = GetTickCount();
        for (;;) {
            const DWORD elapsed = GetTickCount() - start;
            m_titleProgress = static_cast<int>(std::min<DWORD>(elapsed * 100 / kTitleFadeMs, 100));
            RedrawLocked();
            if (m_titleProgress >= 100 || WaitForSingleObject(m_stopEvent, kFrameMs) != WAIT_TIMEOUT) {
                break;
            }
        }
    }
    m_titleProgress = 100;
    RedrawLocked();
}

void CMapViewControl::RedrawLocked() {
    std::lock_guard guard(m_lock);
    if (IsVisible() && IsCreated()) {
        Redraw(nullptr);
    }
}

POINT CMapViewControl::GetScrollPosition() {
    std::lock_guard guard(m_lock);
    return m_scroll;
}

SIZE CMapViewControl::GetScaledSize() {
    std::lock_guard guard(m_lock);
    return m_scaledSize;
}

SIZE CMapViewControl::ComputeScaledSize(int pictureWidth, int pictureHeight, int areaWidth, int areaHeight,
                                        bool fullScreen) {
    if (pictureWidth <= 0 || pictureHeight <= 0 || areaWidth <= 0 || areaHeight <= 0) {
        return {0, 0};
    }
    const double rx = static_cast<double>(areaWidth) / pictureWidth;
    const double ry = static_cast<double>(areaHeight) / pictureHeight;
    if (!fullScreen) {
        return CAppDlgImage::FitInside({pictureWidth, pictureHeight}, areaWidth, areaHeight);
    }
    if (rx <= 1 && ry <= 1) {
        return {pictureWidth, pictureHeight};
    }
    // Full screen covers the area: the larger ratio, so that the picture pans along one axis.
    if (rx == ry) {
        return {areaWidth, areaHeight};
    }
    if (rx < ry) {
        return {static_cast<LONG>(pictureWidth * ry), areaHeight};
    }
    return {areaWidth, static_cast<LONG>(pictureHeight * rx)};
}

void CMapViewControl::UpdateScaledSize() {
    m_scaledSize = m_hasPicture ? ComputeScaledSize(m_picture.GetWidth(), m_picture.GetHeight(), GetInnerWidth(),
                                                    GetInnerHeight(), m_fullScreen != FALSE)
                                : SIZE{0, 0};
}

void CMapViewControl::DropCachedPicture() {
    if (m_cachedPicture != nullptr) {
        DeleteObject(m_cachedPicture);
        m_cachedPicture = nullptr;
    }
}

LRESULT CMapViewControl::OnMoved() {
    std::lock_guard guard(m_lock);
    if (GetWidth() != m_lastSize.cx || GetHeight() != m_lastSize.cy) {
        m_lastSize = {GetWidth(), GetHeight()};
        m_scroll = {0, 0};
        UpdateScaledSize();
        DropCachedPicture();
    }
    return 0;
}

bool CMapViewControl::BuildCachedPicture(HDC reference) {
    if (m_cachedPicture != nullptr) {
        return true;
    }
    if (!m_hasPicture || m_scaledSize.cx <= 0 || m_scaledSize.cy <= 0) {
        return false;
    }
    m_cachedPicture = CreateCompatibleBitmap(reference, m_scaledSize.cx, m_scaledSize.cy);
    HDC dc = m_cachedPicture != nullptr ? CreateCompatibleDC(reference) : nullptr;
    if (dc == nullptr) {
        DropCachedPicture();
        return false;
    }
    HGDIOBJ old = SelectObject(dc, m_cachedPicture);
    RECT target{0, 0, m_scaledSize.cx, m_scaledSize.cy};
    m_picture.Draw(dc, &target, nullptr);
    SelectObject(dc, old);
    DeleteDC(dc);
    return true;
}

void CMapViewControl::OnPaint(HDC dc, const RECT* inner) {
    std::lock_guard guard(m_lock);
    DrawPicture(dc, *inner);
    if (IsCreated() && m_titleProgress < 100 && !m_title.empty()) {
        DrawTitle(dc, *inner);
    }
    if (m_fullScreen) {
        DrawExitButton(dc, *inner);
        DrawScrollHints(dc, *inner);
    }
}

// Along each axis a smaller picture is centred, a larger one offset by the scroll position.
void CMapViewControl::DrawPicture(HDC dc, const RECT& inner) {
    if (!BuildCachedPicture(dc)) {
        return;
    }
    const int width = RectWidth(inner);
    const int height = RectHeight(inner);
    const int x = m_scaledSize.cx < width ? (width - m_scaledSize.cx) / 2 : -m_scroll.x;
    const int y = m_scaledSize.cy < height ? (height - m_scaledSize.cy) / 2 : -m_scroll.y;
    HDC source = CreateCompatibleDC(dc);
    if (source == nullptr) {
        return;
    }
    HGDIOBJ old = SelectObject(source, m_cachedPicture);
    const int left = std::max(0, x);
    const int top = std::max(0, y);
    BitBlt(dc, inner.left + left, inner.top + top, std::min(width - left, m_scaledSize.cx - (left - x)),
           std::min(height - top, m_scaledSize.cy - (top - y)), source, left - x, top - y, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

// The title in the middle of the area, blended with what lies under it by the fade's progress.
void CMapViewControl::DrawTitle(HDC dc, const RECT& inner) {
    HFONT font = m_font != nullptr ? m_font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    RECT measured{inner.left, inner.top, inner.right, inner.bottom};
    {
        UserInterface::CDlgTextScope scope(dc, font, m_textColor);
        DrawTextW(dc, m_title.c_str(), -1, &measured, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
    }
    const int textHeight = std::min<int>(RectHeight(measured), RectHeight(inner));
    RECT part{inner.left, inner.top + (RectHeight(inner) - textHeight) / 2, inner.right, 0};
    part.bottom = part.top + textHeight;
    if (part.right <= part.left || part.bottom <= part.top) {
        return;
    }
    PixelCopy plain(dc, part);
    PixelCopy titled(dc, part);
    PixelCopy blended(dc, part);
    if (plain.Dc() == nullptr || titled.Dc() == nullptr || blended.Dc() == nullptr) {
        return;
    }
    RECT text{0, 0, titled.Width(), titled.Height()};
    {
        UserInterface::CDlgTextScope scope(titled.Dc(), font, m_textColor);
        DrawTextW(titled.Dc(), m_title.c_str(), -1, &text, DT_CENTER | DT_WORDBREAK);
    }
    const double weight = m_titleProgress / 100.0;
    if (BlendBitmapsGradient(blended.Dc(), 0, 0, blended.Width(), blended.Height(), titled.Dc(), plain.Dc(), 0, 0,
                             weight, weight)) {
        BitBlt(dc, part.left, part.top, blended.Width(), blended.Height(), blended.Dc(), 0, 0, SRCCOPY);
    }
}

RECT CMapViewControl::ExitButtonRect() {
    if (g_pSysInfo != nullptr && g_pSysInfo->IsSmartphone()) {
        return {0, 0, 0, 0};
    }
    const int size = CSysInfo::Scale(kExitButtonSize);
    const int margin = CSysInfo::Scale(kExitButtonMargin);
    RECT inner;
    GetInnerClientRect(&inner);
    return {inner.right - margin - size, inner.top + margin, inner.right - margin, inner.top + margin + size};
}

void CMapViewControl::DrawExitButton(HDC dc, const RECT& inner) {
    RECT button = ExitButtonRect();
    if (g_pApplicationSkin == nullptr || IsRectEmpty(&button)) {
        return;
    }
    const int shift = m_exitPressed ? CSysInfo::Scale(1) : 0;
    RECT client;
    GetInnerClientRect(&client);
    const int x = inner.left + button.left - client.left + shift;
    const int y = inner.top + button.top - client.top + shift;
    g_pApplicationSkin->DrawSprite(kExitButton, RectWidth(button), RectHeight(button), dc, x, y,
                                   CApplicationSkin::kPictureOrigin, CApplicationSkin::kPictureOrigin,
                                   CApplicationSkin::kToPictureEdge, CApplicationSkin::kToPictureEdge);
}

// Each hint at its own size, centred along the edge beyond which more picture lies.
void CMapViewControl::DrawScrollHints(HDC dc, const RECT& inner) {
    if (g_pApplicationSkin == nullptr) {
        return;
    }
    const int width = RectWidth(inner);
    const int height = RectHeight(inner);
    auto draw = [&](int picture, bool shown, int x, int y, bool alongTop) {
        SIZE size{};
        if (!shown || !g_pApplicationSkin->GetSpriteSize(picture, &size)) {
            return;
        }
        const int left = alongTop ? inner.left + (width - size.cx) / 2 : x - (x > inner.left ? size.cx : 0);
        const int top = alongTop ? y - (y > inner.top ? size.cy : 0) : inner.top + (height - size.cy) / 2;
        g_pApplicationSkin->DrawSprite(picture, CApplicationSkin::kOwnSize, CApplicationSkin::kOwnSize, dc,
                                       left, top, CApplicationSkin::kPictureOrigin,
                                       CApplicationSkin::kPictureOrigin, CApplicationSkin::kToPictureEdge,
                                       CApplicationSkin::kToPictureEdge);
    };
    draw(kHintLeft, m_scroll.x > 0, inner.left, 0, false);
    draw(kHintTop, m_scroll.y > 0, 0, inner.top, true);
    draw(kHintRight, m_scaledSize.cx - m_scroll.x > width, inner.right, 0, false);
    draw(kHintBottom, m_scaledSize.cy - m_scroll.y > height, 0, inner.bottom, true);
}

bool CMapViewControl::ScrollBy(int dx, int dy) {
    const POINT limit{std::max<LONG>(0, m_scaledSize.cx - GetInnerWidth()),
                      std::max<LONG>(0, m_scaledSize.cy - GetInnerHeight())};
    const POINT moved{std::clamp<LONG>(m_scroll.x + dx, 0, limit.x), std::clamp<LONG>(m_scroll.y + dy, 0, limit.y)};
    if (moved.x == m_scroll.x && moved.y == m_scroll.y) {
        return false;
    }
    m_scroll = moved;
    return true;
}

LRESULT CMapViewControl::OnKey(UINT virtualKey, BOOL down) {
    if (!down || m_host == nullptr || m_host->GetFocusedControl() != this) {
        return 0;
    }
    if (virtualKey == VK_RETURN) {
        NotifyHost(m_fullScreen ? kNotifyLeaveFullScreen : kNotifyEnterFullScreen, 0, 0);
        return 1;
    }
    if (!m_fullScreen) {
        return 0;
    }
    const int step = CSysInfo::Scale(kScrollStep);
    int dx = 0;
    int dy = 0;
    switch (virtualKey) {
        case VK_LEFT: dx = -step; break;
        case VK_RIGHT: dx = step; break;
        case VK_UP: dy = -step; break;
        case VK_DOWN: dy = step; break;
        default: return 0;
    }
    bool moved;
    {
        std::lock_guard guard(m_lock);
        moved = ScrollBy(dx, dy);
    }
    if (moved) {
        Redraw(nullptr);
    }
    return 1;
}

LRESULT CMapViewControl::OnPointer(const POINT* point, int mode) {
    if (!m_fullScreen) {
        return 0;
    }
    bool redraw = false;
    bool leave = false;
    {
        std::lock_guard guard(m_lock);
        const RECT button = ExitButtonRect();
        if (mode == kPointerDown && point != nullptr) {
            m_lastPoint = *point;
            m_exitPressed = PtInRect(&button, *point) != FALSE;
            m_dragging = !m_exitPressed;
            redraw = m_exitPressed;
        } else if (mode == kPointerMove && point != nullptr) {
            const int slack = (CSysInfo::Scale(kExitButtonSlack) - RectWidth(button)) / 2;
            if (m_exitPressed && !Inflated(button, slack, *point)) {
                m_exitPressed = false;
                redraw = true;
            } else if (m_dragging) {
                redraw = ScrollBy(m_lastPoint.x - point->x, m_lastPoint.y - point->y);
            }
            m_lastPoint = *point;
        } else if (mode == kPointerUp || mode == kPointerCancel) {
            leave = mode == kPointerUp && m_exitPressed;
            redraw = m_exitPressed;
            m_exitPressed = false;
            m_dragging = false;
        }
    }
    if (redraw) {
        Redraw(nullptr);
    }
    if (leave) {
        NotifyHost(kNotifyLeaveFullScreen, 0, 0);
    }
    return 1;
}
