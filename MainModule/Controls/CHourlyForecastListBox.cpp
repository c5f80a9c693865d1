#include "Controls/CHourlyForecastListBox.h"

#include <cstdlib>
#include <functional>

#include "CSysInfo.h"
#include "Controls/ControlDrawing.h"
#include "RectHelpers.h"
#include "Skin/CApplicationSkin.h"
#include "UserInterface/CDlgTextScope.h"
#include "Weather/CSettings.h"
#include "Weather/CUnitConversion.h"
#include "Weather/GlobalServices.h"

namespace {

constexpr int kUnknownTemperature = -10000;
constexpr int kLeastDetailHeight = 10;
constexpr WCHAR kTimeSample[] = u"12:00 AM";
constexpr WCHAR kTemperatureSample[] = u"-00\u00B0";
constexpr WCHAR kDetailSample[] = u"Wind";  // the first four characters of "Wind: NW 5 ms"

bool IsSquare() { return g_pSysInfo != nullptr && g_pSysInfo->IsSquareScreen(); }

int ContentHeight() {
    if (g_pSysInfo != nullptr && g_pSysInfo->GetScreenClass() == 176) {
        return 32;
    }
    return CSysInfo::Scale(IsSquare() ? 36 : 44);
}

bool IsPictureLetter(char16_t c) { return c == u'h' || c == u'H' || c == u'm' || c == u's' || c == u't'; }

// The format with every run of the letter dropped together with the separator written before it.
std::u16string DropField(std::u16string_view format, char16_t letter) {
    std::u16string out;
    size_t literalStart = 0;  // where the literal run before the current position begins in out
    for (size_t i = 0; i < format.size(); ++i) {
        const char16_t c = format[i];
        if (c == letter) {
            out.erase(literalStart);
            while (i + 1 < format.size() && format[i + 1] == letter) {
                ++i;
            }
            continue;
        }
        out += c;
        if (IsPictureLetter(c)) {
            literalStart = out.size();
        }
    }
    return out;
}

}  // namespace

struct CHourlyForecastListBox::Measures {
    int timeHeight;
    int temperatureWidth;
    int temperatureHeight;
    int lineHeight;
};

CHourlyForecastListBox::CHourlyForecastListBox() : CRowListControl(u"__HourlyForecastListBox") { MakeFonts(); }

CHourlyForecastListBox::~CHourlyForecastListBox() { DeleteFonts(); }

std::u16string CHourlyForecastListBox::ReduceTimePicture(std::u16string_view format) {
    std::u16string picture = DropField(format, u's');
    if (picture.find(u't') != std::u16string::npos) {
        picture = DropField(picture, u'm');
    }
    return picture;
}

LRESULT CHourlyForecastListBox::OnCreate() {
    if (!CreateRows(ContentHeight())) {
        return 0;
    }
    WCHAR format[80] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, format, 80) > 0) {
        m_timePicture = ReduceTimePicture(format);
    }
    return 1;
}

BOOL CHourlyForecastListBox::AddItem(const CHourForecast* hour, BOOL redraw) {
    if (hour == nullptr) {
        return FALSE;
    }
    m_items.push_back(*hour);
    UpdateScrollRange(redraw);
    return TRUE;
}

void CHourlyForecastListBox::Clear(BOOL redraw) {
    m_items.clear();
    ClearSelection();
    UpdateScrollRange(redraw);
}

LRESULT CHourlyForecastListBox::OnSetFont(HFONT font, BOOL redraw) {
    CDlgControl::OnSetFont(font, UserInterface::kNoRedraw);
    MakeFonts();
    RedrawIf(redraw);
    return 0;
}

void CHourlyForecastListBox::MakeFonts() {
    DeleteFonts();
    const bool square = IsSquare();
    m_timeFont = CreateDerivedFont(m_font, FontChange{FW_BOLD, square ? -2 : 4, false, true});
    m_detailFont = CreateDerivedFont(m_font, FontChange{FW_NORMAL, square ? -7 : -5, false, true});
    KeepReadable(&m_detailFont);
    m_temperatureFont = CreateDerivedFont(m_font, FontChange{FW_NORMAL, square ? -1 : 0, false, true});
}

// Five pixels less than a Smartphone's small font leaves the three detail lines too small to read:
// they keep at least the least readable height (three of them still fit a row).
void CHourlyForecastListBox::KeepReadable(HFONT* font) {
    LOGFONTW description{};
    const LONG least = CSysInfo::Scale(kLeastDetailHeight);
    if (*font == nullptr || GetObjectW(*font, sizeof(description), &description) == 0 ||
        std::labs(description.lfHeight) >= least) {
        return;
    }
    description.lfHeight = description.lfHeight < 0 ? -least : least;
    HFONT readable = CreateFontIndirectW(&description);
    if (readable != nullptr) {
        DeleteFontHandles({font});
        *font = readable;
    }
}

void CHourlyForecastListBox::DeleteFonts() {
    DeleteFontHandles({&m_timeFont, &m_detailFont, &m_temperatureFont});
}

CHourlyForecastListBox::Measures CHourlyForecastListBox::Measure(HDC dc) {
    Measures measures{};
    HGDIOBJ old = SelectObject(dc, m_timeFont);
    measures.timeHeight = MeasureText(dc, kTimeSample).cy;
    SelectObject(dc, m_temperatureFont);
    const SIZE temperature = MeasureText(dc, kTemperatureSample);
    measures.temperatureWidth = temperature.cx;
    measures.temperatureHeight = temperature.cy;
    SelectObject(dc, m_detailFont);
    measures.lineHeight = MeasureText(dc, kDetailSample).cy;
    SelectObject(dc, old);
    return measures;
}

void CHourlyForecastListBox::PaintRowContent(HDC dc, int index, const RECT& row) {
    const CHourForecast& hour = m_items[static_cast<size_t>(index)];
    const Measures measures = Measure(dc);
    const int gap2 = CSysInfo::Scale(2);
    const int gap3 = CSysInfo::Scale(3);
    const int height = RectHeight(row);
    const int side = GetContentHeight();

    const int temperature = hour.GetTemperature(GetSettings().degreeType);
    {
        UserInterface::CDlgTextScope scope(dc, m_temperatureFont, m_textColor);
        const std::u16string text =
            temperature == kUnknownTemperature ? u"-\u00B0" : FormatText(u"%d\u00B0", temperature);
        const SIZE size = MeasureText(dc, text);
        DrawTextAt(dc, row.right - gap3 - size.cx, row.top + (height - measures.temperatureHeight) / 2, text);
    }

    const int column = row.right - gap3 - measures.temperatureWidth;
    const int picture = hour.GetIconIndex();
    const int squareTop = row.top + (height - side) / 2;
    DrawPictureCentred(picture, FitPicture(picture, side, side), dc, RECT{column - side, squareTop, column, squareTop + side});

    SYSTEMTIME time{};
    WCHAR label[200] = {};
    int timeRight = row.left;
    if (hour.GetSystemTime(&time) &&
        GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, m_timePicture.empty() ? nullptr : m_timePicture.c_str(), label,
                       200) > 0) {
        UserInterface::CDlgTextScope scope(dc, m_timeFont, m_textColor);
        DrawTextAt(dc, row.left + gap2, row.top + (height - measures.timeHeight) / 2, label);
        timeRight = row.left + gap2 + MeasureText(dc, label).cx;
    }

    DrawDetails(dc, hour, RECT{timeRight + gap2, row.top, column - side - gap2, row.bottom},
                row.top + (height - 3 * measures.lineHeight) / 2, measures.lineHeight);
}

void CHourlyForecastListBox::DrawDetails(HDC dc, const CHourForecast& hour, const RECT& room, int top, int lineHeight) {
    const CSettings& settings = GetSettings();
    UserInterface::CDlgTextScope scope(dc, m_detailFont, m_textColor);
    // The long label where the line fits with it (never on a square screen), else the short one, and
    // where that is still too long (beside a wide time such as "12 AM"), the values alone.
    const int width = RectWidth(room);
    auto line = [&](const char* key, const char* shortKey, const std::function<std::u16string(LPCWSTR)>& compose) {
        const std::u16string withLong = compose(LocalizedText(key).c_str());
        if (!IsSquare() && MeasureText(dc, withLong).cx <= width) {
            return withLong;
        }
        const std::u16string withShort = compose(LocalizedText(shortKey).c_str());
        if (MeasureText(dc, withShort).cx <= width) {
            return withShort;
        }
        std::u16string bare = compose(u"");
        bare.erase(0, bare.find_first_not_of(u' '));
        return MeasureText(dc, bare).cx <= width ? bare : withShort;
    };
    std::u16string lines[3];
    const int speed = hour.GetWindSpeed(settings.windSpeedUnit);
    if (speed >= 0) {
        WCHAR direction[32] = {};
        hour.GetWindDirectionText(direction, 32);
        const std::u16string unit = LocalizedText(CUnitConversion::WindSpeedUnitKey(settings.windSpeedUnit));
        lines[0] = line("IDS_WIND", "IDS_WIND_SHORT", [&](LPCWSTR label) {
            return FormatText(u"%s %s %d %s", label, direction, speed, unit.c_str());
        });
    }
    if (hour.GetUvIndex() >= 0) {
        WCHAR uvText[64] = {};
        hour.GetUVIndexText(uvText, 64);
        lines[1] = line("IDS_UVINDEX", "IDS_UVINDEX_SHORT", [&](LPCWSTR label) {
            return FormatText(u"%s %d %s", label, hour.GetUvIndex(), uvText);
        });
    }
    if (hour.GetHumidity() >= 0) {
        lines[2] = line("IDS_HUMIDITY", "IDS_HUMIDITY_SHORT",
                        [&](LPCWSTR label) { return FormatText(u"%s %d%%", label, hour.GetHumidity()); });
    }
    // Right-aligned beside the picture, and kept clear of the time: a line still too long ends in "...".
    for (int slot = 0; slot < 3; ++slot) {
        if (!lines[slot].empty()) {
            const std::u16string shown = FitTextToWidth(dc, lines[slot], room);
            DrawTextAt(dc, room.right - MeasureText(dc, shown).cx, top + slot * lineHeight, shown);
        }
    }
}
