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
    // The width that a skin picture takes at a height, from its design aspect.
    static int PictureWidth(int picture, int height);
    // "-" for a missing temperature, else the number and a degree sign.
    static std::u16string Degrees(int temperature);
    // A day's "high/low°", the low alone without a high, "-" without a low.
    static std::u16string HighLow(int high, int low);

private:
    static std::vector<std::u16string> TemperatureTexts(const TodayColumn& column, bool smallPictures);
    static TodayLayoutMetrics FitToColumns(HDC dc, const std::vector<TodayColumn>& columns,
                                           const TodayLayoutMetrics& metrics, int columnWidth, HFONT* labelFont,
                                           HFONT* temperatureFont);
    static void DrawLabel(HDC dc, const RECT& band, const TodayColumn& column, HFONT font);
    static void DrawLargeColumn(HDC dc, const RECT& column, int top, const TodayColumn& data,
                                const TodayLayoutMetrics& metrics);
    static void DrawSmallColumn(HDC dc, const RECT& column, int top, const TodayColumn& data,
                                const TodayLayoutMetrics& metrics);
    static void DrawPicture(HDC dc, int picture, int height, int centreX, int top);
    static void PutText(HDC dc, const std::u16string& text, RECT rect, HFONT font, UINT align);
};
