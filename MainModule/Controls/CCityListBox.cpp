#include "Controls/CCityListBox.h"

#include <algorithm>

#include "CSysInfo.h"
#include "Controls/ControlDrawing.h"
#include "Skin/CApplicationSkin.h"
#include "UserInterface/CDlgTextScope.h"
#include "Weather/CSettings.h"
#include "Weather/GlobalServices.h"

namespace {

constexpr int kUnknownTemperature = -10000;
constexpr int kMargin = 2;
constexpr int kMarkerWidth = 20;
constexpr int kRightMargin = 3;
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
    const int pictureRight = DrawTemperatures(dc, day, row);
    const int icon = IconSize();
    const int picture = day.GetIconIndex();
    DrawPictureCentred(picture, FitPicture(picture, icon, icon), dc,
                       RECT{pictureRight - icon, row.top, pictureRight, row.bottom});
    DrawNames(dc, city, row, pictureRight - icon);
}

void CCityListBox::DrawHomeMarker(HDC dc, const RECT& row) {
    const int left = row.left + CSysInfo::Scale(kMargin);
    const int width = CSysInfo::Scale(kMarkerWidth);
    DrawPictureCentred(kHomePicture, FitPicture(kHomePicture, width, row.bottom - row.top), dc,
                       RECT{left, row.top, left + width, row.bottom});
}

int CCityListBox::DrawTemperatures(HDC dc, const CDayForecast& today, const RECT& row) {
    UserInterface::CDlgTextScope scope(dc, m_temperatureFont, m_textColor);
    const int right = row.right - CSysInfo::Scale(kRightMargin);
    const int height = row.bottom - row.top;
    const DWORD degreeType = GetSettings().degreeType;
    int high = today.GetHighTemperature(degreeType);
    int low = today.GetLowTemperature(degreeType);
    high = high != kUnknownTemperature ? high : low;
    low = low != kUnknownTemperature ? low : high;
    if (high == kUnknownTemperature) {
        const SIZE size = MeasureText(dc, kNoTemperatureWidth);
        DrawTextAt(dc, right - size.cx, row.top + (height - size.cy) / 2, kNoTemperature);
    } else {
        const std::u16string lines[2] = {FormatText(u"%d\u00B0", low), FormatText(u"%d\u00B0", high)};
        const int lineHeight = MeasureText(dc, lines[0]).cy;
        const int top = row.top + (height - 2 * lineHeight) / 2;
        for (int i = 0; i < 2; ++i) {
            DrawTextAt(dc, right - MeasureText(dc, lines[i]).cx, top + i * lineHeight, lines[i]);
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
    HGDIOBJ old = SelectObject(dc, m_nameFont);
    const std::u16string name = FitTextToWidth(dc, city.GetName(), column);
    const int nameHeight = MeasureText(dc, name.empty() ? u" " : name).cy;
    SelectObject(dc, m_countryFont);
    const std::u16string country = FitTextToWidth(dc, city.GetCountry(), column);
    const int countryHeight = MeasureText(dc, country.empty() ? u" " : country).cy;
    SelectObject(dc, old);

    const int top = row.top + (row.bottom - row.top - nameHeight - countryHeight) / 2;
    {
        UserInterface::CDlgTextScope scope(dc, m_nameFont, m_textColor);
        DrawTextAt(dc, left, top, name);
    }
    UserInterface::CDlgTextScope scope(dc, m_countryFont, m_textColor);
    DrawTextAt(dc, left, top + nameHeight, country);
}
