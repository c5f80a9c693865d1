#include "Screens/CDownloadProgressViewDlg.h"

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "CGdiFactory.h"
#include "CHTTPDownloader.h"
#include "CLocalization.h"
#include "CSysInfo.h"
#include "Controls/ControlDrawing.h"
#include "RectHelpers.h"
#include "UserInterface/CDlgHostDC.h"
#include "UserInterface/CDlgProgressBar.h"
#include "UserInterface/CDlgStatic.h"
#include "UserInterface/CDlgTextScope.h"
#include "Weather/ByteSizeText.h"
#include "Weather/GlobalServices.h"

namespace {

using UserInterface::CDlgControl;
using UserInterface::CDlgProgressBar;
using UserInterface::CDlgStatic;

constexpr int kTextLength = 256;
constexpr int kSizeDecimals = 1;
constexpr int kBarHeight = 25;
constexpr int kFramePadding = 2;
constexpr ULONGLONG kMinuteMs = 60000;
// The status line keeps one line down to this font height; below it, a second line is the better read.
constexpr int kLeastOneLineHeight = 12;
constexpr int kLeastStatusHeight = 10;
// The widest counts of each unit: the status line is fitted to these once, not to every chunk.
constexpr ULONGLONG kWidestCounts[] = {1023, 1023 * 1024 + 1023, 1023ull * 1024 * 1024 + 1023 * 1024};

constexpr DWORD kShown = CDlgControl::kVisible | CDlgControl::kHostBackground;
constexpr DWORD kLineStyle = kShown | CDlgControl::kFillWidth | CDlgControl::kPreferredHeight | 0x10000 |
                             CDlgStatic::kTextCenter | CDlgStatic::kTextVCenter | CDlgStatic::kSingleLine |
                             CDlgStatic::kWordBreak;
// The status line wraps: a text too long for one line, such as a long "connecting" text on a
// Smartphone, takes a second line instead of running off both sides.
constexpr DWORD kStatusStyle = kLineStyle & ~CDlgStatic::kSingleLine;
constexpr DWORD kBarStyle = kShown | CDlgControl::kFillWidth;

// Local time in milliseconds, the clock the estimate is measured with.
ULONGLONG LocalNowMs() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    FILETIME file{};
    if (!SystemTimeToFileTime(&now, &file)) {
        return 0;
    }
    return ((static_cast<ULONGLONG>(file.dwHighDateTime) << 32) | file.dwLowDateTime) / 10000;
}

std::u16string Text(const char* key) {
    LPCWSTR text = LoadLocalizedString(key);
    return text != nullptr ? std::u16string(text) : std::u16string();
}

// The height of that many lines of text in the control's font, with room for a frame when it has one.
int LineHeight(CDlgControl* control, int lines = 1) {
    int height = 0;
    UserInterface::CDlgHostDC dc(control->GetHost());
    if (dc.Get() != nullptr) {
        UserInterface::CDlgTextScope scope(dc.Get(), control->GetFont(), 0);
        SIZE size{};
        GetTextExtentPoint32W(dc.Get(), u"Wpq", 3, &size);
        height = lines * size.cy;
    }
    return height + (control->IsBordered() ? 2 * CSysInfo::Scale(kFramePadding) : 0);
}

}  // namespace

std::u16string CDownloadProgressViewDlg::ProgressText(ULONGLONG done, ULONGLONG total) {
    WCHAR pattern[kTextLength];
    WCHAR text[kTextLength];
    if (!CLocalization::Global().GetTemplate("IDS_LOADING_PROGRESS_TMPL", pattern, kTextLength)) {
        return {};
    }
    const ByteSizeText doneSize = DescribeByteSize(done);
    const ByteSizeText totalSize = DescribeByteSize(total);
    const std::u16string doneNumber = ByteSizeNumber(doneSize, kSizeDecimals);
    const std::u16string doneUnit = Text(doneSize.unitKey);
    const std::u16string totalNumber = ByteSizeNumber(totalSize, kSizeDecimals);
    const std::u16string totalUnit = Text(totalSize.unitKey);
    if (_snwprintf(text, kTextLength, pattern, doneNumber.c_str(), doneUnit.c_str(), totalNumber.c_str(),
                   totalUnit.c_str()) < 0) {
        return {};
    }
    return text;
}

std::u16string CDownloadProgressViewDlg::RemainingText(ULONGLONG minutes) {
    WCHAR pattern[kTextLength];
    WCHAR text[kTextLength];
    if (!CLocalization::Global().GetTemplate("IDS_DOWNLOAD_TIME_REMAINING_TMPL", pattern, kTextLength)) {
        return {};
    }
    const std::u16string unit = Text("IDS_MINUTE");
    const int shown = static_cast<int>(std::min<ULONGLONG>(minutes, 0x7FFFFFFF));
    return _snwprintf(text, kTextLength, pattern, shown, unit.c_str()) < 0 ? std::u16string() : std::u16string(text);
}

// A server that sends more than it announced leaves nothing to wait for, not a wrapped-around count.
ULONGLONG CDownloadProgressViewDlg::RemainingMinutes(ULONGLONG elapsedMs, ULONGLONG done, ULONGLONG total) {
    if (done == 0) {
        return kFirstEstimateMinutes;
    }
    const ULONGLONG left = total > done ? total - done : 0;
    return elapsedMs * left / done / kMinuteMs + 1;
}

// Nothing received or an unknown size gives no base for an estimate: the line stays hidden.
bool CDownloadProgressViewDlg::HasEstimate(ULONGLONG done, ULONGLONG total) { return done > 0 && total > 0; }

UserInterface::CDlgLayout* CDownloadProgressViewDlg::CreateLayout() { return new CDownloadProgressViewDlgLayout; }

bool CDownloadProgressViewDlg::BuildControls() {
    HFONT font = g_pGdiFactory != nullptr
                     ? g_pGdiFactory->GetFont(kFontSize, CGdiFactory::kClearType, CGdiFactory::kBold,
                                              CGdiFactory::kNoUnderline)
                     : nullptr;
    const std::u16string connecting = Text("IDS_CONNECTING_TO_SERVER");
    CDlgStatic* status = AddText(kStatusId, kStatusStyle, connecting.c_str(), nullptr);
    if (status == nullptr) {
        return false;
    }
    status->SetFont(font, UserInterface::kNoRedraw);
    auto* bar = new (std::nothrow) CDlgProgressBar;
    if (bar == nullptr || !GetLayout()->AddControl(bar)) {
        delete bar;
        return false;
    }
    if (!bar->Create(kBarId, kBarStyle, UserInterface::kSizedByLayout, CSysInfo::Scale(kBarHeight))) {
        return false;
    }
    bar->SetBorderColor(status->GetBorderColor(), UserInterface::kNoRedraw);
    CDlgStatic* remaining = AddText(kRemainingId, kLineStyle & ~CDlgControl::kVisible, u"", nullptr);
    if (remaining == nullptr) {
        return false;
    }
    remaining->SetFont(font, UserInterface::kNoRedraw);
    std::lock_guard guard(m_lock);
    m_state = Shown{connecting, 0, 0, {}, false};
    m_startMs = 0;
    return true;
}

void CDownloadProgressViewDlg::OnProgress(int code, ULONGLONG done, ULONGLONG total) {
    {
        std::lock_guard guard(m_lock);
        switch (code) {
            case CHTTPDownloader::kProgressConnecting:
                m_state = Shown{Text("IDS_CONNECTING_TO_SERVER"), 0, 0, {}, false};
                break;
            case CHTTPDownloader::kProgressRequestSent:
                m_startMs = LocalNowMs();
                m_state = Shown{ProgressText(done, total), static_cast<DWORD>(done), static_cast<DWORD>(total),
                                RemainingText(kFirstEstimateMinutes), HasEstimate(done, total)};
                break;
            case CHTTPDownloader::kProgressChunk: {
                const ULONGLONG now = LocalNowMs();
                const ULONGLONG elapsed = now > m_startMs ? now - m_startMs : 0;
                m_state.status = ProgressText(done, total);
                m_state.position = static_cast<DWORD>(done);
                m_state.maximum = static_cast<DWORD>(total);
                m_state.remaining = RemainingText(done >= total ? 0 : RemainingMinutes(elapsed, done, total));
                m_state.remainingVisible = HasEstimate(done, total);
                break;
            }
            case CHTTPDownloader::kProgressFinished:
                m_state.status = ProgressText(done, total);
                m_state.position = static_cast<DWORD>(total);
                m_state.maximum = static_cast<DWORD>(total);
                m_state.remaining = RemainingText(0);
                m_state.remainingVisible = total > 0;
                break;
            default:
                return;
        }
    }
    // The controls belong to the dialog's thread: the worker only hands the state over.
    PostMessageW(m_hWnd, WMU_PROGRESS, 0, 0);
}

BOOL CDownloadProgressViewDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WMU_PROGRESS) {
        return CGenericDownloadDlg::OnMessage(message, wParam, lParam);
    }
    ShowState();
    return TRUE;
}

void CDownloadProgressViewDlg::ShowState() {
    UserInterface::CDlgLayout* layout = GetLayout();
    auto* status = layout != nullptr ? static_cast<CDlgStatic*>(layout->FindControl(kStatusId)) : nullptr;
    auto* bar = layout != nullptr ? static_cast<CDlgProgressBar*>(layout->FindControl(kBarId)) : nullptr;
    auto* remaining = layout != nullptr ? static_cast<CDlgStatic*>(layout->FindControl(kRemainingId)) : nullptr;
    if (status == nullptr || bar == nullptr || remaining == nullptr) {
        return;
    }
    Shown state;
    {
        std::lock_guard guard(m_lock);
        state = m_state;
    }
    const BOOL redraw = GetActiveWindow() == m_hWnd;
    status->SetText(state.status.c_str(), redraw);
    CDlgProgressBar::Progress progress{CDlgProgressBar::kPositionValid | CDlgProgressBar::kMaximumValid,
                                       state.position, state.maximum};
    bar->SetProgress(&progress, redraw);
    remaining->SetText(state.remaining.c_str(), UserInterface::kNoRedraw);
    remaining->SetVisible(state.remainingVisible, redraw);
}

CDownloadProgressViewDlg::CDownloadProgressViewDlgLayout::~CDownloadProgressViewDlgLayout() {
    DeleteFontHandles({&m_fittedFont});
}

// "1.7 MB of 3.3 MB" is wider than a Smartphone's line in the bold font: the status line then takes a
// smaller font, the same for every text it can show, or, where that would be too small to read, two
// lines. Gives the number of lines the status line needs.
int CDownloadProgressViewDlg::CDownloadProgressViewDlgLayout::FitStatusFont(CDlgControl* status, int width) {
    HFONT own = g_pGdiFactory != nullptr
                    ? g_pGdiFactory->GetFont(kFontSize, CGdiFactory::kClearType, CGdiFactory::kBold,
                                             CGdiFactory::kNoUnderline)
                    : nullptr;
    UserInterface::CDlgHostDC dc(GetHost());
    if (own == nullptr || dc.Get() == nullptr) {
        return 1;
    }
    std::vector<std::u16string> texts{Text("IDS_CONNECTING_TO_SERVER")};
    for (ULONGLONG count : kWidestCounts) {
        texts.push_back(ProgressText(count, count));
    }
    const int room = width - 2 * CSysInfo::Scale(kFramePadding) - 2 * status->GetBorderSize();
    int lines = 1;
    HFONT fitted = CreateFontToFit(dc.Get(), own, texts, room, CSysInfo::Scale(kLeastOneLineHeight));
    if (!TextsFit(dc.Get(), fitted != nullptr ? fitted : own, texts, room, 1)) {
        DeleteFontHandles({&fitted});
        lines = 2;
        fitted = CreateFontToFitLines(dc.Get(), own, texts, room, lines, CSysInfo::Scale(kLeastStatusHeight));
    }
    status->SetFont(fitted != nullptr ? fitted : own, UserInterface::kNoRedraw);
    DeleteFontHandles({&m_fittedFont});
    m_fittedFont = fitted;
    return lines;
}

void CDownloadProgressViewDlg::CDownloadProgressViewDlgLayout::Arrange() {
    CDlgControl* status = FindControl(kStatusId);
    CDlgControl* bar = FindControl(kBarId);
    CDlgControl* remaining = FindControl(kRemainingId);
    if (status == nullptr || bar == nullptr || remaining == nullptr) {
        return;
    }
    const RECT& view = GetView();
    const int margin = GetMargin();
    const int gap = GetRowGap();
    const int left = view.left + margin;
    const int width = std::max(0, RectWidth(view) - 2 * margin);
    const int barHeight = CSysInfo::Scale(kBarHeight);
    const int barTop = view.top + RectHeight(view) * 2 / 3 - barHeight / 2;
    const int statusHeight = LineHeight(status, FitStatusFont(status, width));
    status->Move(left, barTop - gap - statusHeight, width, statusHeight, UserInterface::kNoRedraw);
    bar->Move(left, barTop, width, barHeight, UserInterface::kNoRedraw);
    remaining->Move(left, barTop + barHeight + gap, width, LineHeight(remaining), UserInterface::kNoRedraw);
}
