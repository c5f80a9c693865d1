#include "Controls/CDayPartsForecastControl.h"

#include "CSysInfo.h"
#include "Controls/ControlDrawing.h"
#include "Controls/PressTracking.h"
#include "DrawingHelpers.h"
#include "RectHelpers.h"
#include "UserInterface/CDlgTextScope.h"
#include "Weather/CSettings.h"
#include "Weather/GlobalServices.h"
#include "Weather/WeatherStateTable.h"

namespace {

constexpr int kTemperatureGrow = 5;
constexpr int kDividerInset = 10;
constexpr int kUnknownTemperature = -10000;
constexpr COLORREF kPressedTint = 0xFFFFFF;
constexpr int kPressedAlpha = 64;
constexpr WCHAR kNameSample[] = u"Wpq";
constexpr const char* kPartNames[CDayPartsForecast::kPartCount] = {"IDS_MORNING", "IDS_DAY", "IDS_EVENING",
                                                                    "IDS_NIGHT"};

// A part as it is drawn: the hour of the slot, or a blank hour of sky code 0 without a temperature.
CHourForecast PartOrBlank(const CDayPartsForecast& parts, int slot) {
    CHourForecast hour;
    if (!parts.GetPart(slot, &hour)) {
        hour = CHourForecast();
        hour.SetSkyCode(0);
    }
    return hour;
}

}  // namespace

// The unit text is the bare letter ("C", "F"): the degree sign is the format's.
std::u16string CDayPartsForecastControl::TemperatureText(int temperature) {
    return FormatText(u"%d\u00B0%s", temperature, LocalizedText(GetSettings().GetTemperatureUnitKey()).c_str());
}

CDayPartsForecastControl::CDayPartsForecastControl() : CAnimatedControl(u"__DayPartsForecastControl") { MakeFonts(); }

CDayPartsForecastControl::~CDayPartsForecastControl() {
    StopAnimation();
    DeleteFonts();
}

void CDayPartsForecastControl::SetParts(const CDayPartsForecast* parts, BOOL redraw) {
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        m_parts.Clear();
        for (Frames& frames : m_frames) {
            frames = Frames{};
        }
        if (parts != nullptr) {
            m_parts = *parts;
            for (int part = 0; part < kPartCount; ++part) {
                m_frames[part].count = PartOrBlank(m_parts, part).GetIconCount();
            }
        }
    }
    RedrawIf(redraw);
}

int CDayPartsForecastControl::GetCurrentFrame(int part) {
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    return part >= 0 && part < kPartCount ? m_frames[part].current : 0;
}

bool CDayPartsForecastControl::AdvanceFrames() {
    bool changed = false;
    for (Frames& frames : m_frames) {
        if (frames.count > 0) {
            const int next = (frames.current + 1) % frames.count;
            changed = changed || next != frames.current;
            frames.current = next;
        }
    }
    return changed;
}

int CDayPartsForecastControl::QuarterAt(POINT point) {
    RECT inner{};
    GetInnerClientRect(&inner);
    if (!PtInRect(&inner, point)) {
        return -1;
    }
    const bool right = point.x >= inner.left + RectWidth(inner) / 2;
    const bool bottom = point.y >= inner.top + RectHeight(inner) / 2;
    return (bottom ? 2 : 0) + (right ? 1 : 0);
}

void CDayPartsForecastControl::SetPressed(int part) {
    if (m_pressed != part) {
        m_pressed = part;
        Redraw(nullptr);
    }
}

LRESULT CDayPartsForecastControl::OnPointer(const POINT* point, int mode) {
    const int part = TrackPress(
        m_pressed, point, mode, [this](POINT at) { return QuarterAt(at); }, [this](int index) { SetPressed(index); });
    if (part >= 0) {
        NotifyHost(kNotifyPart, part, 0);
    }
    return 1;
}

LRESULT CDayPartsForecastControl::OnSetFont(HFONT font, BOOL redraw) {
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        CDlgControl::OnSetFont(font, UserInterface::kNoRedraw);
        MakeFonts();
    }
    RedrawIf(redraw);
    return 0;
}

void CDayPartsForecastControl::MakeFonts() {
    DeleteFonts();
    m_temperatureFont = CreateDerivedFont(m_font, FontChange{FW_BOLD, kTemperatureGrow, false, false});
    m_nameFont = CreateDerivedFont(m_font, FontChange{});
}

void CDayPartsForecastControl::DeleteFonts() {
    DeleteFontHandles({&m_temperatureFont, &m_nameFont});
}

void CDayPartsForecastControl::OnPaint(HDC dc, const RECT* inner) {
    if (dc == nullptr || inner == nullptr || IsRectEmpty(inner)) {
        return;
    }
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    SIZE nameCell{};
    {
        UserInterface::CDlgTextScope scope(dc, m_nameFont, m_textColor);
        nameCell = MeasureText(dc, kNameSample);
    }
    DrawDividers(dc, *inner);
    const int halfWidth = RectWidth(*inner) / 2;
    const int halfHeight = RectHeight(*inner) / 2;
    for (int part = 0; part < kPartCount; ++part) {
        const int left = inner->left + (part % 2) * halfWidth;
        const int top = inner->top + (part / 2) * halfHeight;
        DrawPart(dc, part, RECT{left, top, left + halfWidth, top + halfHeight}, nameCell);
    }
}

void CDayPartsForecastControl::DrawDividers(HDC dc, const RECT& area) {
    const COLORREF shade = DividerShade();
    const int thickness = CSysInfo::Scale(1);
    const int inset = CSysInfo::Scale(kDividerInset);
    const int x = area.left + RectWidth(area) / 2 - thickness / 2;
    const int y = area.top + RectHeight(area) / 2 - thickness / 2;
    DrawShadedDivider(dc, RECT{x, area.top + inset, x + thickness, area.bottom - inset}, shade,
                      kVerticalLine);
    DrawShadedDivider(dc, RECT{area.left + inset, y, area.right - inset, y + thickness}, shade,
                      kHorizontalLine);
}

void CDayPartsForecastControl::DrawPart(HDC dc, int part, const RECT& quarter, SIZE nameCell) {
    const CHourForecast hour = PartOrBlank(m_parts, part);
    const int one = CSysInfo::Scale(1);

    int pictures[WeatherStateTable::kMaxExtraImages] = {};
    int count = 0;
    if (!hour.GetIconList(pictures, &count) || count <= 0) {
        pictures[0] = hour.GetIconIndex();
        count = 1;
    }
    const int frame = m_frames[part].current < count ? m_frames[part].current : 0;
    const int boxWidth = RectWidth(quarter) - 2 * (one + nameCell.cx);
    DrawPictureCentred(pictures[frame], FitPicture(pictures[frame], boxWidth, RectHeight(quarter)), dc,
                       quarter);

    UserInterface::CDlgTextScope scope(dc, m_nameFont, m_textColor);
    const std::u16string name = LocalizedText(kPartNames[part]).substr(0, 500);
    const RECT strip{quarter.left + one, quarter.top, quarter.left + one + nameCell.cy, quarter.bottom};
    DrawRotatedText(dc, name.c_str(), static_cast<int>(name.size()), &strip);

    const int temperature = hour.GetTemperature(GetSettings().degreeType);
    if (temperature != kUnknownTemperature) {
        SelectObject(dc, m_temperatureFont);
        const std::u16string text = TemperatureText(temperature);
        const SIZE size = MeasureText(dc, text);
        DrawTextAt(dc, quarter.right - one - size.cx, quarter.bottom - one - size.cy, text);
    }
    if (part == m_pressed) {
        TintRect(dc, &quarter, kPressedTint, kPressedAlpha);
    }
}
