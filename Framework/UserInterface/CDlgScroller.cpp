#include "UserInterface/CDlgScroller.h"

#include <algorithm>
#include <cstdint>

#include "CSysInfo.h"
#include "RectHelpers.h"
#include "UserInterface/IDlgControlImages.h"

namespace UserInterface {

namespace {

constexpr DWORD kKeptStyle = 0x1 | 0x10 | CDlgScroller::kFixedThumb;
constexpr int kMinimumThumb = 12;

// Offset of a thumb of the given length for the position, so that the last position reaches the end.
int64_t ProportionalTop(int64_t position, int64_t height, int64_t length, int64_t total, int64_t page) {
    return position * (height - length) / (total - page);
}

}  // namespace

CDlgScroller::CDlgScroller() : CDlgControl(u"__DlgScroller") {}

CDlgScroller::~CDlgScroller() = default;

BOOL CDlgScroller::Create(DWORD style, int width, int height) {
    return CDlgControl::Create(kScrollerId, style & kKeptStyle, width, height);
}

void CDlgScroller::SetRange(int position, int total, int page, BOOL redraw) {
    m_position = position;
    m_total = total;
    m_page = page;
    SetVisible(page < total, kNoRedraw);
    if (redraw) {
        Redraw(nullptr);
    }
}

void CDlgScroller::SetPosition(int position, BOOL redraw) {
    if (position == m_position) {
        return;
    }
    m_position = position;
    if (redraw) {
        Redraw(nullptr);
    }
}

// Lengths are multiplied before they are divided: 64 bits keep long lists exact. A position outside
// the range still leaves the thumb on the track.
bool CDlgScroller::GetThumb(int total, int page, int position, int height, int fixedLength, int minimumLength,
                            Thumb* thumb) {
    if (thumb == nullptr || total < 1 || page >= total || height <= 0) {
        return false;
    }
    int64_t length = 0;
    int64_t top = 0;
    if (fixedLength >= 0) {
        length = std::min(fixedLength, height);
        top = ProportionalTop(position, height, length, total, page);
    } else {
        length = int64_t{height} * std::max(page, 0) / total;
        top = int64_t{height} * position / total;
        if (length < minimumLength) {
            length = std::min(minimumLength, height);
            top = ProportionalTop(position, height, length, total, page);
        }
    }
    thumb->length = static_cast<int>(length);
    thumb->top = static_cast<int>(std::clamp<int64_t>(top, 0, height - length));
    return true;
}

BOOL CDlgScroller::CreateFor(CDlgControl* owner, bool fixedThumb) {
    const DWORD style = (owner->GetFlags() & (kBorder | kHostBackground)) | (fixedThumb ? kFixedThumb : 0);
    if (!Create(style, CSysInfo::Scale(kEmbeddedWidth), kSizedByLayout)) {
        return FALSE;
    }
    SetBackgroundBrush(owner->GetBackgroundBrush(), kNoRedraw);
    SetBorderColor(owner->GetBorderColor(), kNoRedraw);
    SetVisible(FALSE, kNoRedraw);
    return TRUE;
}

void CDlgScroller::PlaceAlong(const RECT& inner) {
    const int width = CSysInfo::Scale(kEmbeddedWidth);
    Move(inner.right - width, inner.top, width, RectHeight(inner), kNoRedraw);
    SetVisible(FALSE, kNoRedraw);
}

int CDlgScroller::GetReservedWidth() const {
    return IsVisible() ? CSysInfo::Scale(kEmbeddedWidth) + CSysInfo::Scale(kEmbeddedGap) : 0;
}

bool CDlgScroller::SetRangeChangesVisibility(int position, int total, int page) {
    const BOOL wasVisible = IsVisible();
    SetRange(position, total, page, kNoRedraw);
    return IsVisible() != wasVisible;
}

BOOL CDlgScroller::DrawBeside(CDlgControl* owner, HDC dc, int x, int y, const RECT* clip, BOOL ownBuffer) {
    if (owner == nullptr || !owner->IsVisible()) {
        return TRUE;
    }
    RECT place;
    owner->GetRect(&place);
    RECT left{0, 0, owner->GetWidth(), owner->GetHeight()};
    RECT bar{};
    if (IsVisible()) {
        GetRect(&bar);
        OffsetRect(&bar, -place.left, -place.top);
        left.right = bar.left;
    }
    if (clip != nullptr && !IntersectRect(&left, &left, clip)) {
        SetRectEmpty(&left);
    }
    BOOL drawn = IsRectEmpty(&left) ? TRUE : owner->CDlgControl::Draw(dc, x, y, &left, ownBuffer);
    RECT part;
    if (IsVisible() && (clip == nullptr || IntersectRect(&part, &bar, clip))) {
        drawn = Draw(dc, x + bar.left, y + bar.top, nullptr, FALSE) && drawn;
    }
    return drawn;
}

void CDlgScroller::OnPaint(HDC dc, const RECT* rect) {
    IDlgControlImages* skin = g_pDlgControlImages;
    if (dc == nullptr || rect == nullptr || skin == nullptr) {
        return;
    }
    const bool fixed = (GetFlags() & kFixedThumb) != 0;
    Thumb thumb{};
    if (!GetThumb(m_total, m_page, m_position, RectHeight(*rect), fixed ? skin->GetScrollThumbLength() : -1,
                  CSysInfo::Scale(kMinimumThumb), &thumb)) {
        return;
    }
    skin->DrawScrollTrack(dc, rect);
    RECT bar{rect->left, rect->top + thumb.top, rect->right, rect->top + thumb.top + thumb.length};
    skin->DrawScrollThumb(dc, &bar);
}

}  // namespace UserInterface
