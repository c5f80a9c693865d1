// Draws the weather strip that the Today item and the Home plug-in share: five columns of pictures and
// temperatures under a top band that holds three column labels and the title bar with the city name.
#pragma once

#include <string>
#include <vector>

#include "CTodayRows.h"
#include "ce/gdi.h"

struct TodayLayoutMetrics {
    HFONT labelFont = nullptr;
    HFONT temperatureFont = nullptr;
    HFONT titleFont = nullptr;
    int titleHeight = 0;     // T: the title font's height and a scaled pixel above and below
    int labelHeight = 0;     // the label font's height
    int temperatureHeight = 0;
    int pictureHeight = 0;
    // Small pictures with the temperatures in a narrow block beside them, instead of large pictures
    // with the temperatures below.
    bool smallPictures = false;
    // Large pictures with the high above the low, for columns too narrow for "high/low°" (set by Draw).
    bool stackedTemperatures = false;
    // The time labels in their shorter form, and the width of the temperature block beside a small
    // picture (set while drawing).
    bool shortLabels = false;
    int blockWidth = 0;
};

struct TitleBarInfo {
    LPCWSTR cityName = u"";
    bool showLeft = false;
    bool showRight = false;
};

class CTodayLayout {
public:
    static constexpr int kTitlePicture = 1017;
    static constexpr int kLeftArrowPicture = 1015;
    static constexpr int kRightArrowPicture = 1016;

    // The strip for these columns; with none, "IDS_WS_NOFORECAST" over the whole rectangle. The title
    // bar comes last, over the top band from the fourth column on.
    static void Draw(HDC dc, const RECT& rect, const std::vector<TodayColumn>& columns,
                     const TodayLayoutMetrics& metrics, const TitleBarInfo& title);
    static void DrawTitleBar(HDC dc, const RECT& rect, const TitleBarInfo& title, HFONT font);
    // The localized "IDS_WS_NOFORECAST" centred in the stock system font.
    static void DrawNoForecast(HDC dc, const RECT& rect);
    // The top band's height: the larger of the title and the label.
    static int BandHeight(const TodayLayoutMetrics& metrics);
    // No text of the strip is made smaller than this (pixels of the 240 screen class): a text that would
    // need it is shortened or laid out on two lines instead.
    static constexpr int kLeastTextHeight = 10;
    // The column labels, which have no shorter form but the time's, may go one pixel smaller.
    static constexpr int kLeastLabelHeight = 9;
    // Whether the days' "high/low°" is too wide for columns of the width even in the least font, so that
    // the high and the low stand on two lines (large pictures only).
    static bool StacksTemperatures(HDC dc, HFONT temperatureFont, int columnWidth);
    // The height the strip needs beyond its layout's on a strip of the screen's width: one line of
    // temperatures where the days' stack (the parts of the day have one temperature each).
    static int ExtraHeight(const TodayLayoutMetrics& metrics, bool days);
    // The width that a skin picture takes at a height, from its design aspect.
    static int PictureWidth(int picture, int height);
    // "-" for a missing temperature, else the number and a degree sign.
    static std::u16string Degrees(int temperature);
    // A day's "high/low°", the low alone without a high, "-" without a low.
    static std::u16string HighLow(int high, int low);

private:
    static std::vector<std::u16string> TemperatureTexts(const TodayColumn& column, bool separate);
    static std::vector<std::u16string> Labels(const std::vector<TodayColumn>& columns, bool shortened);
    static TodayLayoutMetrics FitToColumns(HDC dc, const std::vector<TodayColumn>& columns,
                                           const TodayLayoutMetrics& metrics, int columnWidth, HFONT* labelFont,
                                           HFONT* temperatureFont);
    static void DrawLabel(HDC dc, const RECT& band, const TodayColumn& column, bool shortened, HFONT font);
    static void DrawLargeColumn(HDC dc, const RECT& column, int top, const TodayColumn& data,
                                const TodayLayoutMetrics& metrics);
    static void DrawSmallColumn(HDC dc, const RECT& column, int top, const TodayColumn& data,
                                const TodayLayoutMetrics& metrics);
    static void DrawPicture(HDC dc, int picture, int height, int centreX, int top);
    static void PutText(HDC dc, const std::u16string& text, RECT rect, HFONT font, UINT align);
};
