#include "Controls/CTempGraphControl.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "CSysInfo.h"
#include "Controls/ControlDrawing.h"
#include "Controls/PressTracking.h"
#include "DrawingHelpers.h"
#include "RectHelpers.h"
#include "Skin/HslColor.h"
#include "Skin/ThemeKind.h"
#include "UserInterface/CDlgTextScope.h"
#include "Weather/CSettings.h"
#include "Weather/GlobalServices.h"

namespace {

constexpr COLORREF kHighColor = RGB(255, 0, 0);
constexpr COLORREF kLowColor = RGB(0, 0, 255);
constexpr COLORREF kCyan = RGB(0, 255, 255);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kSelectedTint = 0xFFFFFF;
constexpr int kSelectedAlpha = 64;
constexpr int kTemperatureGrow = 8;
constexpr int kDividerInset = 10;
constexpr int kMarkerRadius = 3;
// Room left between the temperature labels of neighbouring columns.
constexpr int kLabelGap = 5;
constexpr int kLeastTemperatureHeight = 9;
constexpr UINT kLabelFormat = DT_CENTER | DT_WORDBREAK | DT_NOCLIP | DT_NOPREFIX;
constexpr WCHAR kDatePicture[] = u"ddd'\r\n'dd";
constexpr WCHAR kDateSample[] = u"Mon\r\n12";
constexpr WCHAR kTemperatureSample[] = u"-11\u00B0";

int PictureSide() {
    return g_pSysInfo != nullptr && g_pSysInfo->GetScreenClass() == 176 ? 32 : CSysInfo::Scale(36);
}

bool IsKnown(int temperature) { return temperature != CTempGraphControl::kUnknownTemperature; }

// "+5°", "+0°", "-5°".
std::u16string SignedLabel(int temperature) {
    return FormatText(u"%s%d\u00B0", temperature < 0 ? u"-" : u"+", std::abs(temperature));
}

// The height of the straight line from a to b at x, which lies between them.
int LineHeightAt(POINT a, POINT b, int x) {
    if (a.x == b.x) {
        return a.y;
    }
    return a.y + static_cast<int>(static_cast<long long>(b.y - a.y) * (x - a.x) / (b.x - a.x));
}

bool IsWeekend(const CDate& date) {
    SYSTEMTIME time{};
    date.ToSystemTime(&time);
    FILETIME file{};
    if (!SystemTimeToFileTime(&time, &file) || !FileTimeToSystemTime(&file, &time)) {
        return false;
    }
    return time.wDayOfWeek == 0 || time.wDayOfWeek == 6;
}

// On a coloured theme whose hue is near a series colour, that series takes a colour that stands out.
void AdaptToTheme(COLORREF* high, COLORREF* low, COLORREF* weekend) {
    if (!IsColouredTheme()) {
        return;
    }
    const BYTE hue = HslPartToByte(RgbToHsl(g_pSysInfo->GetColor(CSysInfo::kThemeColor)).hue);
    if (hue >= 143 && hue <= 197) {
        *low = kCyan;
    } else if (hue < 28 || hue >= 228) {
        *high = kMagenta;
        *weekend = kMagenta;
    }
}

// Owns a pen and a brush of one colour while they are selected.
class MarkerTools {
public:
    MarkerTools(HDC dc, COLORREF color, int penWidth)
        : m_dc(dc), m_pen(CreatePen(PS_SOLID, penWidth, color)), m_brush(CreateSolidBrush(color)) {
        m_oldPen = SelectObject(dc, m_pen);
        m_oldBrush = SelectObject(dc, m_brush);
    }
    ~MarkerTools() {
        SelectObject(m_dc, m_oldPen);
        SelectObject(m_dc, m_oldBrush);
        DeleteObject(m_pen);
        DeleteObject(m_brush);
    }
    MarkerTools(const MarkerTools&) = delete;
    MarkerTools& operator=(const MarkerTools&) = delete;

private:
    HDC m_dc;
    HPEN m_pen;
    HBRUSH m_brush;
    HGDIOBJ m_oldPen = nullptr;
    HGDIOBJ m_oldBrush = nullptr;
};

}  // namespace

// One line of the graph: a temperature a column (unknown where there is none), drawn in one colour
// with its labels above or below the markers.
struct CTempGraphControl::Series {
    int values[kColumnCount];
    int count;
    COLORREF color;
    bool labelsAbove;
};

struct CTempGraphControl::Layout {
    RECT area;
    int columnWidth;
    int pictureSide;
    int dateHeight;
    int temperatureHeight;
    HFONT temperatureFont;  // the control's, or a smaller one where its labels would run together
    RECT graph;
    int lo;
    int hi;
};

CTempGraphControl::CTempGraphControl() : CDlgControl(u"__TempGraphControl") { MakeFonts(); }

CTempGraphControl::~CTempGraphControl() { DeleteFonts(); }

BOOL CTempGraphControl::SetDays(const CDayForecastSet* days, BOOL redraw) {
    m_days.clear();
    if (days != nullptr) {
        m_days = *days;
    }
    RedrawIf(redraw);
    return TRUE;
}

int CTempGraphControl::ScaleValue(int extent, int lo, int hi, int value) {
    if (hi == lo) {
        return 0;
    }
    return static_cast<int>(static_cast<double>(extent) / (hi - lo) * (value - lo));
}

int CTempGraphControl::ColumnAt(POINT point) {
    RECT inner{};
    GetInnerClientRect(&inner);
    const int width = RectWidth(inner) / kColumnCount;
    if (width <= 0 || point.y < inner.top || point.y >= inner.bottom || point.x < inner.left) {
        return -1;
    }
    const int column = (point.x - inner.left) / width;
    return column < kColumnCount ? column : -1;
}

void CTempGraphControl::SetSelected(int column) {
    if (m_selected != column) {
        m_selected = column;
        Redraw(nullptr);
    }
}

LRESULT CTempGraphControl::OnPointer(const POINT* point, int mode) {
    const int column = TrackPress(
        m_selected, point, mode, [this](POINT at) { return ColumnAt(at); }, [this](int index) { SetSelected(index); });
    if (column >= 0 && column < static_cast<int>(m_days.size())) {
        CDate date = std::next(m_days.begin(), column)->GetDate();
        NotifyHost(kNotifyDay, column, reinterpret_cast<LPARAM>(&date));
    }
    return 1;
}

LRESULT CTempGraphControl::OnSetFont(HFONT font, BOOL redraw) {
    CDlgControl::OnSetFont(font, UserInterface::kNoRedraw);
    MakeFonts();
    RedrawIf(redraw);
    return 0;
}

void CTempGraphControl::MakeFonts() {
    DeleteFonts();
    m_temperatureFont = CreateDerivedFont(m_font, FontChange{0, kTemperatureGrow, false, true});
    m_labelFont = CreateDerivedFont(m_font, FontChange{0, 0, false, true});
    m_firstLabelFont = CreateDerivedFont(m_font, FontChange{0, 0, true, true});
}

void CTempGraphControl::DeleteFonts() {
    DeleteFontHandles({&m_temperatureFont, &m_labelFont, &m_firstLabelFont});
}

void CTempGraphControl::DrawFocusBorder(HDC, const RECT*) {}

CTempGraphControl::Layout CTempGraphControl::MeasureLayout(HDC dc, const RECT& area, HFONT temperatureFont) {
    Layout layout{};
    layout.area = area;
    layout.columnWidth = ColumnWidth(area);
    layout.temperatureFont = temperatureFont;
    layout.pictureSide = PictureSide();
    {
        UserInterface::CDlgTextScope scope(dc, m_firstLabelFont, m_textColor);
        RECT sample{0, 0, layout.columnWidth, 0};
        DrawTextW(dc, kDateSample, -1, &sample, kLabelFormat | DT_CALCRECT);
        layout.dateHeight = RectHeight(sample);
    }
    {
        UserInterface::CDlgTextScope scope(dc, temperatureFont, m_textColor);
        layout.temperatureHeight = MeasureText(dc, kTemperatureSample).cy;
    }
    const int one = CSysInfo::Scale(1);
    const int three = CSysInfo::Scale(3);
    layout.graph = area;
    layout.graph.top = area.top + layout.pictureSide + one + three + layout.temperatureHeight;
    layout.graph.bottom = area.bottom - three - one - layout.temperatureHeight - layout.dateHeight;
    return layout;
}

void CTempGraphControl::OnPaint(HDC dc, const RECT* inner) {
    if (dc == nullptr || inner == nullptr || IsRectEmpty(inner)) {
        return;
    }
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF high = kHighColor;
    COLORREF low = kLowColor;
    COLORREF weekend = kHighColor;
    AdaptToTheme(&high, &low, &weekend);
    Series highs{{}, 0, high, true};
    Series lows{{}, 0, low, false};
    const DWORD degreeType = GetSettings().degreeType;
    for (const CDayForecast& day : m_days) {
        if (highs.count == kColumnCount) {
            break;
        }
        highs.values[highs.count++] = day.GetHighTemperature(degreeType);
        lows.values[lows.count++] = day.GetLowTemperature(degreeType);
    }
    HFONT fitted = FitTemperatureFont(dc, ColumnWidth(*inner), {&highs, &lows});
    Layout layout = MeasureLayout(dc, *inner, fitted != nullptr ? fitted : m_temperatureFont);
    DrawDividers(dc, *inner, layout.columnWidth);
    DrawPictures(dc, layout);
    DrawDateLabels(dc, layout, weekend);
    // The range spans every known value, highs and lows alike, so that no marker falls outside the
    // graph, also when a day has a high but no low or a high below another day's low.
    layout.lo = 1000;
    layout.hi = -1000;
    for (const Series* series : {&highs, &lows}) {
        for (int i = 0; i < series->count; ++i) {
            if (IsKnown(series->values[i])) {
                layout.lo = std::min(layout.lo, series->values[i]);
                layout.hi = std::max(layout.hi, series->values[i]);
            }
        }
    }
    if (layout.lo <= layout.hi) {
        PlotSeries(dc, layout, highs);
        PlotSeries(dc, layout, lows);
    }
    if (m_selected >= 0 && m_selected < static_cast<int>(m_days.size())) {
        const int left = inner->left + m_selected * layout.columnWidth;
        const RECT column{left, inner->top, left + layout.columnWidth, inner->bottom};
        TintRect(dc, &column, kSelectedTint, kSelectedAlpha);
    }
    DeleteFontHandles({&fitted});
    SetBkMode(dc, oldMode);
}

int CTempGraphControl::ColumnWidth(const RECT& area) { return RectWidth(area) / kColumnCount; }

// On a narrow screen the enlarged temperature font makes neighbouring labels run together: it then
// shrinks until every label keeps a gap inside its column.
HFONT CTempGraphControl::FitTemperatureFont(HDC dc, int columnWidth, std::initializer_list<const Series*> series) {
    std::vector<std::u16string> labels;
    for (const Series* one : series) {
        for (int i = 0; i < one->count; ++i) {
            if (IsKnown(one->values[i])) {
                labels.push_back(SignedLabel(one->values[i]));
            }
        }
    }
    return CreateFontToFit(dc, m_temperatureFont, labels, columnWidth - CSysInfo::Scale(kLabelGap),
                           CSysInfo::Scale(kLeastTemperatureHeight));
}

void CTempGraphControl::DrawDividers(HDC dc, const RECT& area, int columnWidth) {
    const COLORREF shade = DividerShade();
    const int thickness = CSysInfo::Scale(1);
    const int inset = CSysInfo::Scale(kDividerInset);
    for (int k = 1; k < kColumnCount; ++k) {
        const int x = area.left + k * columnWidth - thickness / 2;
        DrawShadedDivider(dc, RECT{x, area.top + inset, x + thickness, area.bottom - inset}, shade,
                          kVerticalLine);
    }
}

void CTempGraphControl::DrawPictures(HDC dc, const Layout& layout) {
    const int side = layout.pictureSide;
    int column = 0;
    for (const CDayForecast& day : m_days) {
        if (column == kColumnCount) {
            break;
        }
        const int left = layout.area.left + column * layout.columnWidth;
        const int top = layout.area.top + CSysInfo::Scale(1);
        const int picture = day.GetIconIndex();
        DrawPictureCentred(picture, FitPicture(picture, side, side), dc,
                           RECT{left, top, left + layout.columnWidth, top + side});
        ++column;
    }
}

void CTempGraphControl::DrawDateLabels(HDC dc, const Layout& layout, COLORREF weekendColor) {
    CDate date;
    if (m_days.empty()) {
        date.SetToday();
    } else {
        date = m_days.begin()->GetDate();
    }
    const int top = layout.area.bottom - CSysInfo::Scale(1) - layout.dateHeight;
    for (int column = 0; column < kColumnCount; ++column, date.AddDays(1)) {
        SYSTEMTIME time{};
        date.ToSystemTime(&time);
        WCHAR label[64] = {};
        if (GetDateFormatW(LOCALE_SYSTEM_DEFAULT, 0, &time, kDatePicture, label, 64) == 0) {
            continue;
        }
        const int left = layout.area.left + column * layout.columnWidth;
        RECT rect{left, top, left + layout.columnWidth, layout.area.bottom};
        const COLORREF color = IsWeekend(date) ? weekendColor : m_textColor;
        UserInterface::CDlgTextScope scope(dc, column == 0 ? m_firstLabelFont : m_labelFont, color);
        DrawTextW(dc, label, -1, &rect, kLabelFormat);
    }
}

void CTempGraphControl::PlotSeries(HDC dc, const Layout& layout, const Series& series) {
    const RECT& graph = layout.graph;
    const int extent = RectHeight(graph);
    const int radius = CSysInfo::Scale(kMarkerRadius);
    auto known = [&](int i) { return i >= 0 && i < series.count && IsKnown(series.values[i]); };
    auto pointOf = [&](int i) {
        return POINT{graph.left + i * layout.columnWidth + layout.columnWidth / 2,
                     graph.bottom - ScaleValue(extent, layout.lo, layout.hi, series.values[i])};
    };
    MarkerTools tools(dc, series.color, 1);
    UserInterface::CDlgTextScope text(dc, layout.temperatureFont, series.color);
    for (int i = 0; i < series.count; ++i) {
        if (!known(i)) {
            continue;
        }
        const POINT point = pointOf(i);
        if (known(i + 1)) {
            const POINT next = pointOf(i + 1);
            DrawSmoothLine(dc, point.x, point.y, next.x, next.y, series.color, CSysInfo::Scale(1));
        }
        Ellipse(dc, point.x - radius, point.y - radius, point.x + radius + 1, point.y + radius + 1);
        const std::u16string label = SignedLabel(series.values[i]);
        const SIZE size = MeasureText(dc, label);
        // Centred over its point, but kept inside the graph at the first and last column.
        const int left = std::max<int>(graph.left, std::min<int>(point.x - size.cx / 2, graph.right - size.cx));
        const int right = left + size.cx;
        // The label keeps its distance from the lines on either side as well as from its marker: where a
        // line climbs past a label above it (or falls past one below), the label moves out of its way.
        // Every line lies inside the graph, which leaves a label's height of room above and below.
        int nearest = point.y;
        for (const int neighbour : {i - 1, i + 1}) {
            if (!known(neighbour)) {
                continue;
            }
            const POINT other = pointOf(neighbour);
            // A marker's radius beyond the label's edge on the line's side, for a steep line passes its
            // corner there; but not beyond either end of the line.
            const int edge = other.x < point.x ? std::clamp<int>(left - radius, other.x, point.x)
                                               : std::clamp<int>(right + radius, point.x, other.x);
            const int height = LineHeightAt(point, other, edge);
            nearest = series.labelsAbove ? std::min(nearest, height) : std::max(nearest, height);
        }
        const int top = series.labelsAbove ? nearest - radius - size.cy : nearest + radius;
        DrawTextAt(dc, left, top, label);
    }
}
