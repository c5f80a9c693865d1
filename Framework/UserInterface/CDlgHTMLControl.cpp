#include "UserInterface/CDlgHTMLControl.h"

#include <algorithm>
#include <climits>

#include "CSysInfo.h"
#include "RectHelpers.h"
#include "UserInterface/CDlgHostDC.h"
#include "UserInterface/CDlgScrollStrip.h"
#include "UserInterface/CDlgTextScope.h"

namespace UserInterface {

namespace {

constexpr int kKeyScroll = 20;
constexpr int kStep = 30;
constexpr int kBlitStep = 5;
constexpr int kLayoutSlack = 10;
constexpr COLORREF kLinkColor = RGB(0, 0, 255);

int S(int length) { return CSysInfo::Scale(length); }

bool StartsWith(const std::u16string& text, size_t position, const char16_t* prefix) {
    const size_t length = std::char_traits<char16_t>::length(prefix);
    return text.size() - position >= length && _wcsnicmp(text.c_str() + position, prefix, length) == 0;
}

bool IsBlankRun(const CDlgHTMLControl::Run& run) {
    return !run.link && (run.text.empty() || (run.text.size() == 1 && run.text[0] <= 32));
}

}  // namespace

CDlgHTMLControl::CDlgHTMLControl() : CDlgScrolledControl(u"__DlgHTMLControl") {}

CDlgHTMLControl::~CDlgHTMLControl() { ClearFonts(); }

void CDlgHTMLControl::Reset() {
    m_offset = 0;
    m_focused = -1;
    m_runs.clear();
    m_lines.clear();
}

BOOL CDlgHTMLControl::Create(LPCWSTR text, int id, DWORD style, int width, int height) {
    Reset();
    if (!Parse(text)) {
        return FALSE;
    }
    return CDlgControl::Create(id, style & ~static_cast<DWORD>(kPreferredWidth | kPreferredHeight), width, height);
}

BOOL CDlgHTMLControl::SetText(LPCWSTR text, BOOL redraw) {
    return static_cast<BOOL>(SendMessage(kMsgSetText, reinterpret_cast<WPARAM>(text), redraw));
}

LRESULT CDlgHTMLControl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return message == kMsgSetText ? OnSetText(reinterpret_cast<LPCWSTR>(wParam), lParam != 0) : 0;
}

LRESULT CDlgHTMLControl::OnSetText(LPCWSTR text, BOOL redraw) {
    Reset();
    if (!Parse(text)) {
        return 0;
    }
    LayOutControl();
    RedrawIf(redraw);
    return 1;
}

// ---- parsing ------------------------------------------------------------------------------------

bool CDlgHTMLControl::Parse(LPCWSTR source) {
    if (source == nullptr) {
        return true;
    }
    const std::u16string text(source);
    size_t position = 0;
    DWORD style = 0;
    while (position < text.size()) {
        bool link = false;
        bool hasUrl = false;
        std::u16string url;
        if (text[position] == u'<' && text.find(u'>', position) == std::u16string::npos) {
            // A "<" that no ">" follows opens no tag ("if a < b"): it and the rest are text.
            AddSegment(text.substr(position), &style);
            break;
        }
        if (text[position] == u'<' && !ParseTag(text, &position, &style, &link, &hasUrl, &url)) {
            return false;
        }
        const size_t next = std::min(text.find(u'<', position), text.size());
        const std::u16string segment = text.substr(position, next - position);
        position = next;
        if (segment.empty()) {
            continue;
        }
        if (link) {
            Run run;
            run.link = true;
            run.text = segment;
            run.hasUrl = hasUrl;
            run.url = url;
            run.style = style | kUnderline;
            AddRun(std::move(run), &style);
        } else {
            AddSegment(segment, &style);
        }
    }
    return true;
}

bool CDlgHTMLControl::ParseTag(const std::u16string& text, size_t* position, DWORD* style, bool* link,
                               bool* hasUrl, std::u16string* url) {
    const size_t end = text.find(u'>', *position);
    if (end == std::u16string::npos) {
        return false;
    }
    const std::u16string tag = text.substr(*position + 1, end - *position - 1);
    *position = end + 1;
    if (StartsWith(tag, 0, u"/")) {
        if (StartsWith(tag, 1, u"ul")) {
            *style &= ~kUnderline;
        } else if (StartsWith(tag, 1, u"i")) {
            *style &= ~kItalic;
        } else if (StartsWith(tag, 1, u"b")) {
            *style &= ~kBold;
        }
        return true;
    }
    if (StartsWith(tag, 0, u"a")) {
        *link = true;
        const size_t href = tag.find(u"href");
        const size_t open = href != std::u16string::npos ? tag.find(u'"', href) : std::u16string::npos;
        const size_t close = open != std::u16string::npos ? tag.find(u'"', open + 1) : std::u16string::npos;
        if (close != std::u16string::npos) {
            *hasUrl = true;
            *url = tag.substr(open + 1, close - open - 1);
        }
    } else if (StartsWith(tag, 0, u"ul")) {
        *style |= kUnderline;
    } else if (StartsWith(tag, 0, u"br")) {
        *style |= kLineBreak;
    } else if (StartsWith(tag, 0, u"b")) {
        *style |= kBold;
    } else if (StartsWith(tag, 0, u"i")) {
        *style |= kItalic;
    }
    return true;
}

void CDlgHTMLControl::AddSegment(const std::u16string& segment, DWORD* style) {
    size_t i = 0;
    while (i < segment.size()) {
        Run run;
        run.style = *style;
        if (StartsWith(segment, i, u"http:") || StartsWith(segment, i, u"www.")) {
            // Any blank ends the address, a line feed or tab too: none belongs in a link.
            size_t end = i;
            while (end < segment.size() && segment[end] > 32) {
                ++end;
            }
            run.link = true;
            run.text = segment.substr(i, end - i);
            run.style |= kUnderline;
            i = end;
        } else if (CSysInfo::IsWordBreakChar(segment[i])) {
            const char16_t c = segment[i++];
            if (c == u'\n') {
                *style |= kLineBreak;  // no run of its own: the next run starts a line
                continue;
            }
            run.text = std::u16string(1, c);
            if (c >= 33) {
                run.style |= kPunctuation;
            }
        } else {
            size_t end = i;
            while (end < segment.size() && !CSysInfo::IsWordBreakChar(segment[end])) {
                ++end;
            }
            run.text = segment.substr(i, end - i);
            i = end;
        }
        AddRun(std::move(run), style);
    }
}

void CDlgHTMLControl::AddRun(Run run, DWORD* style) {
    m_runs.push_back(std::move(run));
    *style &= ~(kLineBreak | kPunctuation);
}

// ---- fonts and measuring ------------------------------------------------------------------------

HFONT CDlgHTMLControl::FontFor(DWORD style) {
    const DWORD key = style & (kBold | kItalic | kUnderline);
    if (auto found = m_fonts.find(key); found != m_fonts.end()) {
        return found->second;
    }
    LOGFONTW description{};
    HGDIOBJ base = m_font != nullptr ? static_cast<HGDIOBJ>(m_font) : GetStockObject(SYSTEM_FONT);
    if (GetObjectW(base, sizeof(description), &description) == 0) {
        return m_font;
    }
    if (key & kBold) {
        description.lfWeight = FW_BOLD;
    }
    description.lfItalic = (key & kItalic) ? 1 : 0;
    description.lfUnderline = (key & kUnderline) ? 1 : 0;
    HFONT font = CreateFontIndirectW(&description);
    if (font == nullptr) {
        return m_font;
    }
    m_fonts[key] = font;
    return font;
}

void CDlgHTMLControl::ClearFonts() {
    for (auto& [key, font] : m_fonts) {
        DeleteObject(font);
    }
    m_fonts.clear();
}

void CDlgHTMLControl::MeasureRuns(HDC dc) {
    for (Run& run : m_runs) {
        HGDIOBJ old = SelectObject(dc, FontFor(run.style));
        SIZE size{};
        if (!run.text.empty()) {
            GetTextExtentExPointW(dc, run.text.c_str(), static_cast<int>(run.text.size()), 0, nullptr, nullptr, &size);
        }
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, old);
        run.width = size.cx;
        run.height = size.cy;
        run.descent = metrics.tmDescent;
    }
}

// ---- layout -------------------------------------------------------------------------------------

void CDlgHTMLControl::LayOut(int width, int heightLimit) {
    m_lines.clear();
    CDlgHostDC host(GetHost());
    HDC screen = host.Get() == nullptr ? GetDC(nullptr) : nullptr;
    HDC dc = host.Get() != nullptr ? host.Get() : screen;
    if (dc == nullptr) {
        return;
    }
    MeasureRuns(dc);
    if (screen != nullptr) {
        ReleaseDC(nullptr, screen);
    }
    const int count = static_cast<int>(m_runs.size());
    int total = 0;
    for (int i = 0; i < count;) {
        if (!m_lines.empty()) {
            // A wrapped line drops its leading blanks; a line after a line feed keeps them.
            while (i < count && !(m_runs[i].style & kLineBreak) && IsBlankRun(m_runs[i])) {
                ++i;
            }
            if (i >= count) {
                break;
            }
        }
        int end = i;
        for (int x = 0; end < count; ++end) {
            const Run& run = m_runs[end];
            if (end > i && (x + run.width > width || (run.style & kLineBreak))) {
                break;
            }
            x += run.width;
        }
        if (end < count && (m_runs[end].style & kPunctuation) && !(m_runs[end].style & kLineBreak)) {
            int last = end - 1;
            while (last >= i && (m_runs[last].style & kPunctuation)) {
                --last;
            }
            // The word before the punctuation goes down with it, so that no line starts with a lone ",".
            if (last > i) {
                end = last;
            }
        }
        Line line{i, end - i, 0, 0};
        for (int r = i; r < end; ++r) {
            line.height = std::max(line.height, m_runs[r].height);
            line.descent = std::max(line.descent, m_runs[r].descent);
        }
        m_lines.push_back(line);
        total += line.height;
        i = end;
        if (total >= heightLimit) {
            break;
        }
    }
}

int CDlgHTMLControl::GetContentHeight() {
    int height = 0;
    for (const Line& line : m_lines) {
        height += line.height;
    }
    return height;
}

void CDlgHTMLControl::LayOutControl() {
    PlaceScroller();
    RECT full;
    CDlgControl::GetInnerRect(&full);
    LayOut(RectWidth(full), ViewHeight() + kLayoutSlack);
    if (GetContentHeight() > ViewHeight()) {
        m_scroller.SetVisible(TRUE, kNoRedraw);
        RECT inner;
        GetInnerRect(&inner);
        LayOut(RectWidth(inner), INT_MAX);
    }
    m_offset = std::max(0, std::min(m_offset, GetContentHeight() - ViewHeight()));
    UpdateScrollRange(kNoRedraw);
}

LRESULT CDlgHTMLControl::OnMoved() {
    LayOutControl();
    return 0;
}

int CDlgHTMLControl::LineTop(int line) const {
    int top = 0;
    for (int i = 0; i < line && i < static_cast<int>(m_lines.size()); ++i) {
        top += m_lines[static_cast<size_t>(i)].height;
    }
    return top;
}

int CDlgHTMLControl::LineOfRun(int run) const {
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (run >= m_lines[i].first && run < m_lines[i].first + m_lines[i].count) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool CDlgHTMLControl::RunRect(int run, RECT* rect) {
    const int lineIndex = LineOfRun(run);
    if (lineIndex < 0) {
        return false;
    }
    const Line& line = m_lines[static_cast<size_t>(lineIndex)];
    RECT inner;
    GetInnerClientRect(&inner);
    int x = inner.left;
    for (int r = line.first; r < run; ++r) {
        x += m_runs[static_cast<size_t>(r)].width;
    }
    const Run& shown = m_runs[static_cast<size_t>(run)];
    const int y = inner.top - m_offset + LineTop(lineIndex);
    const int top = y + line.height - line.descent - shown.height + shown.descent;
    *rect = RECT{x, top, x + shown.width, top + shown.height};
    return true;
}

int CDlgHTMLControl::HitTest(int x, int y) {
    RECT inner;
    GetInnerClientRect(&inner);
    if (!PtInRect(&inner, POINT{x, y})) {
        return -1;
    }
    int top = inner.top - m_offset;
    for (size_t i = 0; i < m_lines.size(); top += m_lines[i].height, ++i) {
        if (y < top || y >= top + m_lines[i].height) {
            continue;
        }
        for (int r = m_lines[i].first; r < m_lines[i].first + m_lines[i].count; ++r) {
            RECT rect;
            if (RunRect(r, &rect) && PtInRect(&rect, POINT{x, y})) {
                return r;
            }
        }
        return -1;
    }
    return -1;
}

// ---- geometry and painting ----------------------------------------------------------------------

LRESULT CDlgHTMLControl::OnCreate() { return CreateScroller(false) ? 1 : 0; }

void CDlgHTMLControl::OnPaint(HDC dc, const RECT* area) {
    if (dc == nullptr || area == nullptr) {
        return;
    }
    // Only the lines inside the context's clip are drawn: a band of the scroll strip is a few rows.
    RECT shown = *area;
    RECT clip;
    const int clipKind = GetClipBox(dc, &clip);
    if (clipKind == NULLREGION || (clipKind != ERROR && !IntersectRect(&shown, &shown, &clip))) {
        return;
    }
    CDlgTextScope scope(dc, m_font, m_textColor);
    int top = 0;
    for (const Line& line : m_lines) {
        const int y = area->top - m_offset + top;
        top += line.height;
        if (y + line.height <= shown.top) {
            continue;
        }
        if (y >= shown.bottom) {
            break;
        }
        int x = area->left;
        for (int r = line.first; r < line.first + line.count; ++r) {
            const Run& run = m_runs[static_cast<size_t>(r)];
            if (!run.text.empty()) {
                SelectObject(dc, FontFor(run.style));
                ::SetTextColor(dc, run.link ? kLinkColor : m_textColor);
                const int baseline = y + line.height - line.descent - run.height + run.descent;
                ExtTextOutW(dc, x, baseline, 0, nullptr, run.text.c_str(), static_cast<UINT>(run.text.size()), nullptr);
            }
            if (r == m_focused) {
                const int runTop = y + line.height - line.descent - run.height + run.descent;
                const RECT focus{x, runTop, x + run.width, runTop + run.height};
                DrawFocusRect(dc, &focus);
            }
            x += run.width;
        }
    }
}

// ---- focus, scrolling and input -----------------------------------------------------------------

void CDlgHTMLControl::SetFocusedLink(int index, BOOL redraw) {
    if (index == m_focused) {
        return;
    }
    m_focused = index;
    RECT rect;
    RECT inner;
    GetInnerClientRect(&inner);
    if (RunRect(index, &rect)) {
        int offset = m_offset;
        if (rect.top < inner.top) {
            offset -= inner.top - rect.top;
        } else if (rect.bottom > inner.bottom) {
            offset += rect.bottom - inner.bottom;
        }
        m_offset = std::max(0, std::min(offset, GetContentHeight() - ViewHeight()));
        m_scroller.SetPosition(m_offset, redraw);
    }
    RedrawIf(redraw);
}

void CDlgHTMLControl::ScrollTo(int target) {
    target = std::max(0, std::min(target, GetContentHeight() - ViewHeight()));
    if (target == m_offset) {
        return;
    }
    if (GetFlags() & kBlitScrolling) {
        SlideTo(target);
    } else {
        RepaintTo(target);
    }
}

void CDlgHTMLControl::RepaintTo(int target) {
    const int step = std::max(S(kStep), 1);
    while (m_offset != target) {
        m_offset = m_offset < target ? std::min(m_offset + step, target) : std::max(m_offset - step, target);
        Redraw(nullptr);
    }
}

// The view is painted for the whole way once; the steps only copy parts of that strip to the window.
void CDlgHTMLControl::SlideTo(int target) {
    RECT inner;
    GetInnerRect(&inner);
    CDlgScrollStrip strip;
    bool made = false;
    {
        CDlgHostDC host(GetHost());
        made = IsVisible() && host.Get() != nullptr &&
               strip.Create(host.Get(), RectWidth(inner), RectHeight(inner), m_offset, target);
    }
    if (!made) {
        m_offset = target;
        Redraw(nullptr);
        return;
    }
    PaintStrip(strip, target);
    strip.Slide(GetHost(), inner.left, inner.top, std::max(S(kBlitStep), 1));
}

// Band by band from the view at the start toward the view at the target, which is painted last over
// the rows it shares with the others. Each band is the control's own picture at its offset, so that
// both ends of the slide show what a repaint shows there, background included. While the steps run, a
// background that changes from row to row (a host's gradient) slides with the text, and the two ends
// meet in a seam as high as the distance makes it; the last step shows the target's picture whole.
void CDlgHTMLControl::PaintStrip(CDlgScrollStrip& strip, int target) {
    const int view = ViewHeight();
    const bool down = target > m_offset;
    const int targetRow = strip.RowOf(target);
    // The rows that the view at the target leaves to the other bands.
    const int othersTop = down ? 0 : view;
    const int othersBottom = down ? targetRow : strip.Height();
    for (int offset = m_offset; offset != target;
         offset = down ? std::min(offset + view, target) : std::max(offset - view, target)) {
        const int row = strip.RowOf(offset);
        PaintStripBand(strip, offset, std::max(row, othersTop), std::min(row + view, othersBottom));
    }
    PaintStripBand(strip, target, targetRow, targetRow + view);
}

void CDlgHTMLControl::PaintStripBand(CDlgScrollStrip& strip, int offset, int top, int bottom) {
    m_offset = offset;
    if (top >= bottom) {
        return;
    }
    RECT inner;
    GetInnerClientRect(&inner);
    DrawParts(strip.DC(), -inner.left, strip.RowOf(offset) - inner.top, RECT{0, top, strip.Width(), bottom});
}

void CDlgHTMLControl::ScrollBy(int distance) {
    ScrollTo(m_offset + distance);
    m_scroller.SetPosition(m_offset, kRedraw);
}

void CDlgHTMLControl::Activate(int run) {
    if (run < 0 || run >= static_cast<int>(m_runs.size()) || !m_runs[static_cast<size_t>(run)].link) {
        return;
    }
    const Run& link = m_runs[static_cast<size_t>(run)];
    CSysInfo::OpenUrl(link.hasUrl ? link.url.c_str() : link.text.c_str());
}

int CDlgHTMLControl::NearestLink(int direction, bool otherLine) const {
    const int count = static_cast<int>(m_runs.size());
    const int line = LineOfRun(m_focused);
    for (int r = m_focused + direction; r >= 0 && r < count; r += direction) {
        if (m_runs[static_cast<size_t>(r)].link && (!otherLine || m_focused < 0 || LineOfRun(r) != line)) {
            return r;
        }
    }
    return -1;
}

LRESULT CDlgHTMLControl::OnKey(UINT key, BOOL down) {
    if (key != VK_RETURN && key != VK_LEFT && key != VK_UP && key != VK_RIGHT && key != VK_DOWN) {
        return 0;
    }
    if (!down) {
        return 1;
    }
    if (key == VK_RETURN) {
        Activate(m_focused);
    } else if (key == VK_UP || key == VK_DOWN) {
        const int direction = key == VK_DOWN ? 1 : -1;
        const int link = NearestLink(direction, true);
        if (link >= 0) {
            SetFocusedLink(link, kRedraw);
        } else {
            ScrollBy(direction * S(kKeyScroll));
        }
    } else {
        const int link = NearestLink(key == VK_RIGHT ? 1 : -1, false);
        if (link >= 0) {
            SetFocusedLink(link, kRedraw);
        }
    }
    return 1;
}

LRESULT CDlgHTMLControl::OnPointer(const POINT* point, int mode) {
    if (mode == kPointerCancel) {
        ResetGesture();
        return 0;
    }
    if (point == nullptr || mode < kPointerMove || mode > kPointerUp) {
        return 0;
    }
    if (mode == kPointerDown) {
        m_pressPoint = *point;
    }
    if (mode != kPointerUp) {
        const int hit = HitTest(point->x, point->y);
        if (hit >= 0 && m_runs[static_cast<size_t>(hit)].link && hit != m_focused) {
            SetFocusedLink(hit, kRedraw);
        }
    }
    static constexpr int kPenEvent[] = {kPenMove, kPenDown, kPenUp};
    CDlgScrollable::OnPointer(kPenEvent[mode], point);
    return 1;
}

void CDlgHTMLControl::OnScroll(int kind, int amount) {
    switch (kind) {
        case kMoveDown: ScrollTo(m_offset - amount); break;
        case kMoveUp: ScrollTo(m_offset + amount); break;
        case kTap:
            if (m_focused >= 0 && HitTest(m_pressPoint.x, m_pressPoint.y) == m_focused) {
                Activate(m_focused);
            }
            break;
        default: break;
    }
    m_scroller.SetPosition(m_offset, kRedraw);
}

// The lines are laid out again in the new font, so that what is drawn keeps to its measures.
LRESULT CDlgHTMLControl::OnSetFont(HFONT font, BOOL redraw) {
    ClearFonts();
    CDlgControl::OnSetFont(font, kNoRedraw);
    if (IsCreated()) {
        LayOutControl();
    }
    RedrawIf(redraw);
    return 0;
}

}  // namespace UserInterface
