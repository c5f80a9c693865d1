#include "Controls/CCityListBox.h"

#include <algorithm>

#include "CSysInfo.h"
#include "Controls/ControlDrawing.h"
#include "RectHelpers.h"
#include "Skin/CApplicationSkin.h"
#include "UserInterface/CDlgTextScope.h"
#include "Weather/CSettings.h"
#include "Weather/GlobalServices.h"

namespace {

constexpr int kUnknownTemperature = -10000;
constexpr int kMargin = 2;
constexpr int kMarkerWidth = 20;
constexpr int kRightMargin = 3;
// The least height (pixels of the 240 class) that a name or a country is made smaller to.
constexpr int kLeastNameHeight = 10;
constexpr WCHAR kNoTemperature[] = u"-";
constexpr WCHAR kNoTemperatureWidth[] = u"-\u00B0";
constexpr WCHAR kPictureColumnSample[] = u"-00\u00B0";

}  // namespace

CCityListBox::CCityListBox() : CRowListControl(u"__CityListBox") { MakeFonts(); }

CCityListBox::~CCityListBox() { DeleteFonts(); }

int CCityListBox::IconSize() const {
    if (g_pSysInfo != nullptr && g_pSysInfo->GetScreenClass() == 176) {
        return 32;
    }
    return CSysInfo::Scale(44);
}

LRESULT CCityListBox::OnCreate() { return CreateRows(IconSize()) ? 1 : 0; }

BOOL CCityListBox::AddCity(const CCity* city, BOOL redraw) {
    if (city == nullptr) {
        return FALSE;
    }
    m_items.push_back(*city);
    UpdateScrollRange(redraw);
    return TRUE;
}

void CCityListBox::RemoveAll(BOOL redraw) {
    m_items.clear();
    ClearSelection();
    m_home = -1;
    UpdateScrollRange(redraw);
}

void CCityListBox::SetCurSel(int index, BOOL redraw) {
    if (index >= 0 && index < GetCount()) {
        Select(index, redraw);
    }
}

void CCityListBox::SetHomeIndex(int index, BOOL redraw) {
    if (index >= 0 && index < GetCount()) {
        m_home = index;
        RedrawIf(redraw);
    }
}

LRESULT CCityListBox::OnSetFont(HFONT font, BOOL redraw) {
    CDlgControl::OnSetFont(font, UserInterface::kNoRedraw);
    MakeFonts();
    RedrawIf(redraw);
    return 0;
}

void CCityListBox::MakeFonts() {
    DeleteFonts();
    m_nameFont = CreateDerivedFont(m_font, FontChange{FW_BOLD, 0, false, true});
    m_countryFont = CreateDerivedFont(m_font, FontChange{FW_NORMAL, -3, false, true});
    m_temperatureFont = CreateDerivedFont(m_font, FontChange{FW_NORMAL, -1, false, true});
}

void CCityListBox::DeleteFonts() {
    DeleteFontHandles({&m_nameFont, &m_countryFont, &m_temperatureFont});
}

void CCityListBox::PaintRowContent(HDC dc, int index, const RECT& row) {
    const CCity& city = m_items[static_cast<size_t>(index)];
    if (index == m_home) {
        DrawHomeMarker(dc, row);
    }
    CDate today;
    today.SetToday();
    CDayForecast day;
    if (!city.GetDayForecast(today, &day)) {
        day = CDayForecast();
    }
    int temperatureLeft = row.right;
    const int pictureRight = DrawTemperatures(dc, day, row, &temperatureLeft);
    const int icon = IconSize();
    const int picture = day.GetIconIndex();
    const SIZE size = FitPicture(picture, icon, icon);
    const bool drawn = DrawPictureCentred(picture, size, dc, RECT{pictureRight - icon, row.top, pictureRight, row.bottom});
    // The names have the row up to what is drawn beside them: the picture as wide as it is drawn, or
    // without one (a city not yet updated) the temperature text.
    const int beside = drawn ? pictureRight - (icon + size.cx) / 2 : temperatureLeft;
    DrawNames(dc, city, row, beside - CSysInfo::Scale(kMargin));
}

void CCityListBox::DrawHomeMarker(HDC dc, const RECT& row) {
    const int left = row.left + CSysInfo::Scale(kMargin);
    const int width = CSysInfo::Scale(kMarkerWidth);
    DrawPictureCentred(kHomePicture, FitPicture(kHomePicture, width, RectHeight(row)), dc,
                       RECT{left, row.top, left + width, row.bottom});
}

int CCityListBox::DrawTemperatures(HDC dc, const CDayForecast& today, const RECT& row, int* textLeft) {
    UserInterface::CDlgTextScope scope(dc, m_temperatureFont, m_textColor);
    const int right = row.right - CSysInfo::Scale(kRightMargin);
    const int height = RectHeight(row);
    const DWORD degreeType = GetSettings().degreeType;
    int high = today.GetHighTemperature(degreeType);
    int low = today.GetLowTemperature(degreeType);
    high = high != kUnknownTemperature ? high : low;
    low = low != kUnknownTemperature ? low : high;
    if (high == kUnknownTemperature) {
        const SIZE size = MeasureText(dc, kNoTemperatureWidth);
        DrawTextAt(dc, right - size.cx, row.top + (height - size.cy) / 2, kNoTemperature);
        *textLeft = right - size.cx;
    } else {
        const std::u16string lines[2] = {FormatText(u"%d\u00B0", low), FormatText(u"%d\u00B0", high)};
        const int lineHeight = MeasureText(dc, lines[0]).cy;
        const int top = row.top + (height - 2 * lineHeight) / 2;
        for (int i = 0; i < 2; ++i) {
            const int left = right - MeasureText(dc, lines[i]).cx;
            DrawTextAt(dc, left, top + i * lineHeight, lines[i]);
            *textLeft = std::min(*textLeft, left);
        }
    }
    return right - MeasureText(dc, kPictureColumnSample).cx;
}

void CCityListBox::DrawNames(HDC dc, const CCity& city, const RECT& row, int right) {
    const int left = row.left + CSysInfo::Scale(kMargin) + CSysInfo::Scale(kMarkerWidth) + CSysInfo::Scale(kMargin);
    if (right <= left) {
        return;
    }
    const RECT column{left, row.top, right, row.bottom};
    // A name too wide for the column takes a smaller font first ("United Kingdom" beside a picture on
    // a Smartphone); only where that is too wide as well is it shortened with "...".
    const int least = CSysInfo::Scale(kLeastNameHeight);
    HFONT smallerName = CreateFontToFit(dc, m_nameFont, {city.GetName()}, right - left, least);
    HFONT smallerCountry = CreateFontToFit(dc, m_countryFont, {city.GetCountry()}, right - left, least);
    HFONT nameFont = smallerName != nullptr ? smallerName : m_nameFont;
    HFONT countryFont = smallerCountry != nullptr ? smallerCountry : m_countryFont;
    HGDIOBJ old = SelectObject(dc, nameFont);
    const std::u16string name = FitTextToWidth(dc, city.GetName(), column);
    const int nameHeight = MeasureText(dc, name.empty() ? u" " : name).cy;
    SelectObject(dc, countryFont);
    const std::u16string country = FitTextToWidth(dc, city.GetCountry(), column);
    const int countryHeight = MeasureText(dc, country.empty() ? u" " : country).cy;
    SelectObject(dc, old);

    const int top = row.top + (RectHeight(row) - nameHeight - countryHeight) / 2;
    {
        UserInterface::CDlgTextScope scope(dc, nameFont, m_textColor);
        DrawTextAt(dc, left, top, name);
    }
    {
        UserInterface::CDlgTextScope scope(dc, countryFont, m_textColor);
        DrawTextAt(dc, left, top + nameHeight, country);
    }
    DeleteFontHandles({&smallerName, &smallerCountry});
}
