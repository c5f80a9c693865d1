#include "CTodayLayout.h"

#include <algorithm>

#include "CLocalization.h"
#include "CSysInfo.h"
#include "Controls/ControlDrawing.h"
#include "RectHelpers.h"
#include "Skin/CApplicationSkin.h"
#include "ce/user.h"

namespace {

constexpr UINT kTextStyle = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
constexpr int kTextGap = 1;          // pixels kept free on each side of a column's text
constexpr int kSmallBlockWidth = 18;  // the temperature block beside a small picture
// The widest "high/low°" a day shows.
constexpr char16_t kWidestHighLow[] = u"-88/-88\u00B0";

class SelectedFont {
public:
    SelectedFont(HDC dc, HFONT font) : dc_(dc), old_(font != nullptr ? SelectObject(dc, font) : nullptr) {}
    ~SelectedFont() {
        if (old_ != nullptr) {
            SelectObject(dc_, old_);
        }
    }
    SelectedFont(const SelectedFont&) = delete;
    SelectedFont& operator=(const SelectedFont&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// Fonts made smaller for one drawing of the strip; deleted with it.
class FittedFonts {
public:
    FittedFonts() = default;
    ~FittedFonts() { DeleteFontHandles({&label_, &temperature_}); }
    FittedFonts(const FittedFonts&) = delete;
    FittedFonts& operator=(const FittedFonts&) = delete;

    HFONT label_ = nullptr;
    HFONT temperature_ = nullptr;
};

}  // namespace

int CTodayLayout::BandHeight(const TodayLayoutMetrics& metrics) {
    return std::max(metrics.titleHeight, metrics.labelHeight);
}

bool CTodayLayout::StacksTemperatures(HDC dc, HFONT temperatureFont, int columnWidth) {
    const std::vector<std::u16string> widest{kWidestHighLow};
    const int room = columnWidth - 2 * CSysInfo::Scale(kTextGap);
    HFONT least = CreateFontToFit(dc, temperatureFont, widest, room, CSysInfo::Scale(kLeastTextHeight));
    const bool fits = TextsFit(dc, least != nullptr ? least : temperatureFont, widest, room, 1);
    DeleteFontHandles({&least});
    return !fits;
}

int CTodayLayout::ExtraHeight(const TodayLayoutMetrics& metrics, bool days) {
    if (metrics.smallPictures || !days) {
        return 0;
    }
    HDC screen = GetDC(nullptr);
    const int columnWidth = GetSystemMetrics(SM_CXSCREEN) / CTodayRows::kColumnCount;
    const bool stacked = screen != nullptr && StacksTemperatures(screen, metrics.temperatureFont, columnWidth);
    ReleaseDC(nullptr, screen);
    return stacked ? metrics.temperatureHeight : 0;
}

std::u16string CTodayLayout::Degrees(int temperature) {
    if (temperature == TodayColumn::kMissing) {
        return u"-";
    }
    std::u16string text;
    for (char c : std::to_string(temperature)) {
        text += static_cast<char16_t>(c);
    }
    return text + u"\u00B0";
}

std::u16string CTodayLayout::HighLow(int high, int low) {
    if (low == TodayColumn::kMissing) {
        return u"-";
    }
    if (high == TodayColumn::kMissing) {
        return Degrees(low);
    }
    std::u16string highText = Degrees(high);
    highText.pop_back();  // one degree sign after both
    return highText + u"/" + Degrees(low);
}

int CTodayLayout::PictureWidth(int picture, int height) {
    SIZE size{};
    if (g_pApplicationSkin == nullptr || !g_pApplicationSkin->GetSizeAtHeight(picture, height, &size)) {
        return height;
    }
    return size.cx;
}

void CTodayLayout::Draw(HDC dc, const RECT& rect, const std::vector<TodayColumn>& columns,
                        const TodayLayoutMetrics& metrics, const TitleBarInfo& title) {
    const int columnWidth = RectWidth(rect) / CTodayRows::kColumnCount;
    const RECT titleRect{rect.left + 3 * columnWidth, rect.top, rect.right, rect.top + metrics.titleHeight};
    if (columns.empty()) {
        DrawNoForecast(dc, rect);
        DrawTitleBar(dc, titleRect, title, metrics.titleFont);
        return;
    }
    const int bodyTop = rect.top + BandHeight(metrics);
    TodayLayoutMetrics laidOut = metrics;
    laidOut.stackedTemperatures = !metrics.smallPictures && StacksTemperatures(dc, metrics.temperatureFont, columnWidth);
    FittedFonts fonts;
    const TodayLayoutMetrics fitted = FitToColumns(dc, columns, laidOut, columnWidth, &fonts.label_, &fonts.temperature_);
    for (size_t i = 0; i < columns.size() && i < CTodayRows::kColumnCount; ++i) {
        const int left = rect.left + static_cast<int>(i) * columnWidth;
        const RECT column{left, rect.top, left + columnWidth, rect.bottom};
        if (i < 3) {
            DrawLabel(dc, RECT{left, rect.top, left + columnWidth, rect.top + metrics.titleHeight}, columns[i],
                      fitted.shortLabels, fitted.labelFont);
        }
        if (metrics.smallPictures) {
            DrawSmallColumn(dc, column, bodyTop + CSysInfo::Scale(1), columns[i], fitted);
        } else {
            DrawLargeColumn(dc, column, bodyTop, columns[i], fitted);
        }
    }
    DrawTitleBar(dc, titleRect, title, metrics.titleFont);
}

std::vector<std::u16string> CTodayLayout::TemperatureTexts(const TodayColumn& column, bool separate) {
    if (!separate) {
        return {column.single ? Degrees(column.low) : HighLow(column.high, column.low)};
    }
    return {Degrees(column.high), Degrees(column.low)};
}

std::vector<std::u16string> CTodayLayout::Labels(const std::vector<TodayColumn>& columns, bool shortened) {
    std::vector<std::u16string> labels;
    for (size_t i = 0; i < columns.size() && i < 3; ++i) {
        labels.push_back(shortened && !columns[i].shortLabel.empty() ? columns[i].shortLabel : columns[i].label);
    }
    return labels;
}

// A time label such as "4:55 PM" or a day's "-12/-15°" can be wider than a column of a narrow screen:
// the labels, and the temperatures, then take one smaller font for all columns, so that they stay alike,
// but not one too small to read: below that a time loses its AM/PM marker (on the same clock, as the
// device's locale writes it), and the days' temperatures stand on two lines (see StacksTemperatures).
TodayLayoutMetrics CTodayLayout::FitToColumns(HDC dc, const std::vector<TodayColumn>& columns,
                                              const TodayLayoutMetrics& metrics, int columnWidth, HFONT* labelFont,
                                              HFONT* temperatureFont) {
    const bool separate = metrics.smallPictures || metrics.stackedTemperatures;
    std::vector<std::u16string> temperatures;
    for (size_t i = 0; i < columns.size() && i < CTodayRows::kColumnCount; ++i) {
        for (std::u16string& text : TemperatureTexts(columns[i], separate)) {
            temperatures.push_back(std::move(text));
        }
    }
    const int gap = 2 * CSysInfo::Scale(kTextGap);
    const int labelRoom = columnWidth - gap;
    int temperatureRoom = metrics.smallPictures ? CSysInfo::Scale(kSmallBlockWidth) : columnWidth - gap;
    const int least = CSysInfo::Scale(kLeastTextHeight);
    TodayLayoutMetrics fitted = metrics;
    std::vector<std::u16string> labels = Labels(columns, false);
    *labelFont = CreateFontToFit(dc, metrics.labelFont, labels, labelRoom, least);
    if (!TextsFit(dc, *labelFont != nullptr ? *labelFont : metrics.labelFont, labels, labelRoom, 1)) {
        DeleteFontHandles({labelFont});
        labels = Labels(columns, true);
        *labelFont = CreateFontToFit(dc, metrics.labelFont, labels, labelRoom, CSysInfo::Scale(kLeastLabelHeight));
    }
    fitted.shortLabels = labels != Labels(columns, false);
    *temperatureFont = CreateFontToFit(dc, metrics.temperatureFont, temperatures, temperatureRoom, least);
    if (metrics.smallPictures &&
        !TextsFit(dc, *temperatureFont != nullptr ? *temperatureFont : metrics.temperatureFont, temperatures,
                  temperatureRoom, 1)) {
        // The block beside the picture widens into what the picture leaves of the column.
        DeleteFontHandles({temperatureFont});
        temperatureRoom = std::max(temperatureRoom, columnWidth - metrics.pictureHeight - 2 * gap);
        *temperatureFont = CreateFontToFit(dc, metrics.temperatureFont, temperatures, temperatureRoom, least);
    }
    fitted.blockWidth = metrics.smallPictures ? temperatureRoom : 0;
    fitted.labelFont = *labelFont != nullptr ? *labelFont : metrics.labelFont;
    fitted.temperatureFont = *temperatureFont != nullptr ? *temperatureFont : metrics.temperatureFont;
    return fitted;
}

void CTodayLayout::DrawLabel(HDC dc, const RECT& band, const TodayColumn& column, bool shortened, HFONT font) {
    PutText(dc, shortened && !column.shortLabel.empty() ? column.shortLabel : column.label, band, font, DT_CENTER);
}

void CTodayLayout::DrawLargeColumn(HDC dc, const RECT& column, int top, const TodayColumn& data,
                                   const TodayLayoutMetrics& metrics) {
    DrawPicture(dc, data.picture, metrics.pictureHeight, (column.left + column.right) / 2, top);
    const int textTop = top + metrics.pictureHeight;
    const RECT line{column.left, textTop, column.right, textTop + metrics.temperatureHeight};
    const bool stacked = metrics.stackedTemperatures && !data.single && data.high != TodayColumn::kMissing &&
                         data.low != TodayColumn::kMissing;
    if (stacked) {
        PutText(dc, Degrees(data.high), line, metrics.temperatureFont, DT_CENTER);
        PutText(dc, Degrees(data.low), RECT{line.left, line.bottom, line.right, line.bottom + metrics.temperatureHeight},
                metrics.temperatureFont, DT_CENTER);
        return;
    }
    const std::u16string text = data.single ? Degrees(data.low) : HighLow(data.high, data.low);
    PutText(dc, text, line, metrics.temperatureFont, DT_CENTER);
}

// The picture sits in what the temperature block leaves of the column; the block holds the high above
// the low, or one value in its middle.
void CTodayLayout::DrawSmallColumn(HDC dc, const RECT& column, int top, const TodayColumn& data,
                                   const TodayLayoutMetrics& metrics) {
    const int rowHeight = std::max(CSysInfo::Scale(20), 2 * metrics.temperatureHeight);
    const int blockRight = column.right - CSysInfo::Scale(1);
    const int blockLeft = blockRight - metrics.blockWidth;
    const int pictureTop = top + (rowHeight - metrics.pictureHeight) / 2;
    DrawPicture(dc, data.picture, metrics.pictureHeight, (column.left + blockLeft) / 2, pictureTop);

    const bool hasHigh = !data.single && data.high != TodayColumn::kMissing;
    const bool hasLow = data.low != TodayColumn::kMissing;
    if (hasHigh && hasLow) {
        const int middle = top + rowHeight / 2;
        PutText(dc, Degrees(data.high), RECT{blockLeft, top, blockRight, middle}, metrics.temperatureFont, DT_RIGHT);
        PutText(dc, Degrees(data.low), RECT{blockLeft, middle, blockRight, top + rowHeight}, metrics.temperatureFont,
                 DT_RIGHT);
        return;
    }
    const int only = hasHigh ? data.high : data.low;
    PutText(dc, Degrees(only), RECT{blockLeft, top, blockRight, top + rowHeight}, metrics.temperatureFont,
             data.single ? DT_RIGHT : DT_CENTER);
}

void CTodayLayout::DrawPicture(HDC dc, int picture, int height, int centreX, int top) {
    if (g_pApplicationSkin == nullptr || picture < 0 || height <= 0) {
        return;
    }
    const int width = PictureWidth(picture, height);
    g_pApplicationSkin->DrawSprite(picture, width, height, dc, centreX - width / 2, top,
                                   CApplicationSkin::kPictureOrigin, CApplicationSkin::kPictureOrigin,
                                   CApplicationSkin::kToPictureEdge, CApplicationSkin::kToPictureEdge);
}

void CTodayLayout::PutText(HDC dc, const std::u16string& text, RECT rect, HFONT font, UINT align) {
    SelectedFont selected(dc, font);
    DrawTextW(dc, text.c_str(), -1, &rect, kTextStyle | align);
}

void CTodayLayout::DrawNoForecast(HDC dc, const RECT& rect) {
    LPCWSTR text = LoadLocalizedString("IDS_WS_NOFORECAST");
    RECT area = rect;
    SelectedFont selected(dc, static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
    DrawTextW(dc, text != nullptr ? text : u"", -1, &area, kTextStyle | DT_CENTER);
}

void CTodayLayout::DrawTitleBar(HDC dc, const RECT& rect, const TitleBarInfo& title, HFONT font) {
    const int width = RectWidth(rect);
    const int height = RectHeight(rect);
    if (g_pApplicationSkin == nullptr || width <= 0 || height <= 0) {
        return;
    }
    g_pApplicationSkin->DrawTintedSprite(kTitlePicture, width, height, dc, rect.left, rect.top,
                                         CApplicationSkin::kPictureOrigin, CApplicationSkin::kPictureOrigin,
                                         CApplicationSkin::kToPictureEdge, CApplicationSkin::kToPictureEdge,
                                         CApplicationSkin::GetThemeTint());
    const int edge = CSysInfo::Scale(2);
    const int arrowHeight = height - 2 * edge;
    const int leftWidth = PictureWidth(kLeftArrowPicture, arrowHeight);
    const int rightWidth = PictureWidth(kRightArrowPicture, arrowHeight);
    if (title.showLeft) {
        g_pApplicationSkin->DrawSprite(kLeftArrowPicture, leftWidth, arrowHeight, dc, rect.left + edge,
                                       rect.top + edge, CApplicationSkin::kPictureOrigin,
                                       CApplicationSkin::kPictureOrigin, CApplicationSkin::kToPictureEdge,
                                       CApplicationSkin::kToPictureEdge);
    }
    if (title.showRight) {
        g_pApplicationSkin->DrawSprite(kRightArrowPicture, rightWidth, arrowHeight, dc,
                                       rect.right - rightWidth - edge, rect.top + edge,
                                       CApplicationSkin::kPictureOrigin, CApplicationSkin::kPictureOrigin,
                                       CApplicationSkin::kToPictureEdge, CApplicationSkin::kToPictureEdge);
    }
    RECT text{rect.left + 2 * edge + leftWidth, rect.top, rect.right - 2 * edge - rightWidth, rect.bottom};
    SelectedFont selected(dc, font);
    WCHAR fitted[256] = {};
    CSysInfo::FitTextEllipsis(title.cityName != nullptr ? title.cityName : u"", fitted, 256, dc, &text);
    const COLORREF oldColor = SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
    DrawTextW(dc, fitted, -1, &text, kTextStyle | DT_CENTER);
    SetTextColor(dc, oldColor);
}
