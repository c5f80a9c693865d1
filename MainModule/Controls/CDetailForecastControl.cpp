#include "Controls/CDetailForecastControl.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "CSysInfo.h"
#include "Controls/ControlDrawing.h"
#include "RectHelpers.h"
#include "Skin/CApplicationSkin.h"
#include "UserInterface/CDlgTextScope.h"

namespace {

using Data = DetailForecastData;

constexpr int kPadding = 2;
constexpr int kTopGapSquare = 15;
constexpr int kTopGap = 5;
constexpr int kTemperatureGrow = 10;
constexpr int kSmallGrow = -2;
// The least height (pixels of the 240 class) that a weather text too wide for the control is made
// smaller to; below it the text is shortened with "..." instead.
constexpr int kLeastWeatherTextHeight = 10;

// A record as the control keeps it: a picture count that indexes only the pictures there are, and
// every text terminated, whatever the screen filled in.
Data Sanitized(const Data& data) {
    Data copy = data;
    copy.pictureCount = std::clamp(copy.pictureCount, 0, Data::kMaxPictures);
    for (WCHAR* text : {copy.temperatureUnit, copy.windDirection, copy.windUnit, copy.uvText, copy.pressureUnit}) {
        text[Data::kShortTextLength - 1] = 0;
    }
    copy.weatherText[Data::kTextLength - 1] = 0;
    return copy;
}

// One item of the bottom row: its texts with the long and the short label.
struct RowItem {
    std::u16string longText;
    std::u16string shortText;
};

RowItem PressureItem(const Data& data) {
    const std::u16string value = CDetailForecastControl::PressureValueText(data);
    return {FormatText(u"%s %s %s", LocalizedText("IDS_PRESSURE").c_str(), value.c_str(), data.pressureUnit),
            FormatText(u"%s %s %s", LocalizedText("IDS_PRESSURE_SHORT").c_str(), value.c_str(), data.pressureUnit)};
}

RowItem UvItem(const Data& data) {
    LPCWSTR text = (data.flags & Data::kUvText) != 0 ? data.uvText : u"";
    return {FormatText(u"%s %d %s", LocalizedText("IDS_UVINDEX").c_str(), data.uvIndex, text),
            FormatText(u"%s %d %s", LocalizedText("IDS_UVINDEX_SHORT").c_str(), data.uvIndex, text)};
}

RowItem HumidityItem(const Data& data) {
    return {FormatText(u"%s %d%%", LocalizedText("IDS_HUMIDITY").c_str(), data.humidity),
            FormatText(u"%s %d%%", LocalizedText("IDS_HUMIDITY_SHORT").c_str(), data.humidity)};
}

}  // namespace

std::u16string CDetailForecastControl::PressureValueText(const DetailForecastData& data) {
    // Inches of mercury come with two decimals, which a float holds only nearly (30.46 as 30.4599...):
    // rounded to the hundredth. The whole units are truncated.
    if (data.pressureDecimals == 2) {
        const int hundredths = static_cast<int>(std::lround(static_cast<double>(data.pressure) * 100.0));
        return FormatText(u"%d.%02d", hundredths / 100, hundredths % 100);
    }
    return FormatText(u"%d", static_cast<int>(data.pressure));
}

// The unit text is the bare letter ("C", "F"): the degree sign is the format's.
std::u16string CDetailForecastControl::TemperatureText(const DetailForecastData& data) {
    const bool first = (data.flags & Data::kFirstTemperature) != 0;
    const bool second = (data.flags & Data::kSecondTemperature) != 0;
    if (first && second) {
        return FormatText(u"%d/%d\u00B0%s", data.secondTemperature, data.firstTemperature, data.temperatureUnit);
    }
    if (!first && !second) {
        return u"";
    }
    return FormatText(u"%d\u00B0%s", second ? data.secondTemperature : data.firstTemperature, data.temperatureUnit);
}

CDetailForecastControl::CDetailForecastControl() : CAnimatedControl(u"__DetailForecastControl") { MakeFonts(); }

CDetailForecastControl::~CDetailForecastControl() {
    StopAnimation();
    DeleteFonts();
}

void CDetailForecastControl::SetData(const DetailForecastData* data, BOOL redraw) {
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        m_data = data != nullptr ? Sanitized(*data) : DetailForecastData{};
        m_frame = 0;
    }
    RedrawIf(redraw);
}

DetailForecastData CDetailForecastControl::GetData() {
    std::lock_guard guard(m_lock);
    return m_data;
}

int CDetailForecastControl::GetCurrentFrame() {
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    return m_frame;
}

bool CDetailForecastControl::AdvanceFrames() {
    if (m_data.pictureCount <= 0) {
        return false;
    }
    const int next = (m_frame + 1) % m_data.pictureCount;
    const bool changed = next != m_frame;
    m_frame = next;
    return changed;
}

LRESULT CDetailForecastControl::OnSetFont(HFONT font, BOOL redraw) {
    {
        std::lock_guard<std::recursive_mutex> hold(m_lock);
        CDlgControl::OnSetFont(font, UserInterface::kNoRedraw);
        MakeFonts();
    }
    RedrawIf(redraw);
    return 0;
}

void CDetailForecastControl::MakeFonts() {
    DeleteFonts();
    m_temperatureFont = CreateDerivedFont(m_font, FontChange{FW_BOLD, kTemperatureGrow, false, false});
    m_weatherTextFont = CreateDerivedFont(m_font, FontChange{0, 0, true, false});
    m_smallFont = CreateDerivedFont(m_font, FontChange{0, kSmallGrow, false, false});
}

void CDetailForecastControl::DeleteFonts() {
    DeleteFontHandles({&m_temperatureFont, &m_weatherTextFont, &m_smallFont});
}

void CDetailForecastControl::OnPaint(HDC dc, const RECT* inner) {
    if (dc == nullptr || inner == nullptr) {
        return;
    }
    std::lock_guard<std::recursive_mutex> hold(m_lock);
    const int padding = CSysInfo::Scale(kPadding);
    const bool square = g_pSysInfo != nullptr && g_pSysInfo->IsSquareScreen();
    RECT area{inner->left + padding, inner->top + padding + CSysInfo::Scale(square ? kTopGapSquare : kTopGap),
              inner->right - padding, inner->bottom - padding};
    DrawBottomRow(dc, *inner, &area);
    DrawWeatherText(dc, *inner, &area);
    DrawPicture(dc, area);
    DrawTemperatures(dc, *inner);
    DrawWind(dc, *inner);
}

void CDetailForecastControl::DrawBottomRow(HDC dc, const RECT& whole, RECT* area) {
    const DWORD flags = m_data.flags;
    if ((flags & (Data::kPressure | Data::kUvIndex | Data::kHumidity)) == 0) {
        return;
    }
    UserInterface::CDlgTextScope scope(dc, m_smallFont, m_textColor);
    const int padding = CSysInfo::Scale(kPadding);
    const int width = RectWidth(whole);
    const int middle = whole.left + width / 2;
    int drawn = 0;
    int previousRight = whole.left;
    int rowBottom = area->bottom;
    int top = area->bottom;
    auto place = [&](const RowItem& item) {
        std::u16string text = item.longText;
        if ((drawn > 0 && previousRight > middle) || MeasureText(dc, text).cx > (width - 3 * padding) / 2) {
            text = item.shortText;
        }
        const SIZE size = MeasureText(dc, text);
        const int x = drawn == 0 ? whole.left + padding : whole.right - size.cx - padding;
        // Where the second item does not fit beside the first (a narrow screen), it goes on a row above.
        if (drawn > 0 && x < previousRight + padding) {
            rowBottom = top;
        }
        DrawTextAt(dc, x, rowBottom - size.cy, text);
        previousRight = x + size.cx;
        top = std::min<int>(top, rowBottom - size.cy);
        ++drawn;
    };
    if (flags & Data::kPressure) {
        place(PressureItem(m_data));
    }
    if (flags & Data::kUvIndex) {
        place(UvItem(m_data));
    }
    if ((flags & Data::kHumidity) && drawn < 2) {
        place(HumidityItem(m_data));
    }
    area->bottom = top - CSysInfo::Scale(1);
}

void CDetailForecastControl::DrawWeatherText(HDC dc, const RECT& whole, RECT* area) {
    if ((m_data.flags & Data::kWeatherText) == 0) {
        return;
    }
    // A long state text ("Nachts teilweise bewölkt" on a Smartphone) takes a smaller font; where even
    // that is too wide it keeps its start and ends in "...", never cut at both sides.
    const int room = RectWidth(whole) - 2 * CSysInfo::Scale(kPadding);
    const std::u16string stateText = m_data.weatherText;
    HFONT smaller = CreateFontToFit(dc, m_weatherTextFont, {stateText}, room, CSysInfo::Scale(kLeastWeatherTextHeight));
    {
        UserInterface::CDlgTextScope scope(dc, smaller != nullptr ? smaller : m_weatherTextFont, m_textColor);
        const RECT line{whole.left, area->top, whole.left + room, area->bottom};
        const std::u16string text = FitTextToWidth(dc, stateText, line);
        const SIZE size = MeasureText(dc, text);
        DrawTextAt(dc, whole.left + (RectWidth(whole) - size.cx) / 2, area->bottom - size.cy, text);
        area->bottom -= size.cy;
    }
    DeleteFontHandles({&smaller});
}

void CDetailForecastControl::DrawPicture(HDC dc, const RECT& area) {
    if ((m_data.flags & Data::kPictures) == 0 || m_frame >= m_data.pictureCount) {
        return;
    }
    const int picture = m_data.pictures[m_frame];
    DrawPictureCentred(picture, FitPicture(picture, RectWidth(area), RectHeight(area)), dc, area);
}

void CDetailForecastControl::DrawTemperatures(HDC dc, const RECT& whole) {
    const DWORD flags = m_data.flags;
    const bool first = (flags & Data::kFirstTemperature) != 0;
    const bool second = (flags & Data::kSecondTemperature) != 0;
    if (!first && !second) {
        return;
    }
    const std::u16string text = TemperatureText(m_data);
    UserInterface::CDlgTextScope scope(dc, m_temperatureFont, m_textColor);
    const int padding = CSysInfo::Scale(kPadding);
    DrawTextAt(dc, whole.left + padding, whole.top + padding, text);
}

void CDetailForecastControl::DrawWind(HDC dc, const RECT& whole) {
    const DWORD flags = m_data.flags;
    if ((flags & Data::kWindSpeed) == 0) {
        return;
    }
    UserInterface::CDlgTextScope scope(dc, m_smallFont, m_textColor);
    const int padding = CSysInfo::Scale(kPadding);
    LPCWSTR direction = (flags & Data::kWindDirection) != 0 ? m_data.windDirection : u"";
    const std::u16string speed = FormatText(u"%d", m_data.windSpeed);
    std::u16string line;
    if (flags & Data::kGust) {
        line = FormatText(u"%s %s(%s) %s", direction, speed.c_str(), FormatText(u"%d", m_data.gust).c_str(),
                          m_data.windUnit);
    } else {
        line = FormatText(u"%s %s %s", direction, speed.c_str(), m_data.windUnit);
    }
    const std::u16string label = LocalizedText("IDS_WIND");
    const SIZE labelSize = MeasureText(dc, label);
    DrawTextAt(dc, whole.right - labelSize.cx - padding, whole.top + padding, label);
    const SIZE lineSize = MeasureText(dc, line);
    DrawTextAt(dc, whole.right - lineSize.cx - padding, whole.top + padding + labelSize.cy, line);
}
