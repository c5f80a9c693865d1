// The weather strip on a narrow screen: what the platform's text-fit log finds when the strip is drawn
// as the Home plug-in draws it on a Smartphone (five columns of 35 pixels).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "CTodayLayout.h"
#include "Controls/ControlDrawing.h"
#include "Platform/GdiTestSupport.h"

namespace {

// A cell height, as the font factory gives its fonts.
HFONT Font(int height) {
    LOGFONTW description{};
    description.lfHeight = height;
    description.lfWeight = FW_NORMAL;
    return CreateFontIndirectW(&description);
}

// The lines the text-fit log holds after the strip of these columns was drawn `width` wide.
std::vector<std::string> FitFindings(const std::vector<TodayColumn>& columns, bool smallPictures, int width) {
    const std::string log = (std::filesystem::temp_directory_path() / "today-layout-fit.log").string();
    std::filesystem::remove(log);
    ce::test::DibDC canvas(width, 80, 32);
    TodayLayoutMetrics metrics;
    metrics.labelFont = Font(13);
    metrics.temperatureFont = Font(13);
    metrics.titleFont = Font(13);
    metrics.titleHeight = 17;
    metrics.labelHeight = 15;
    metrics.temperatureHeight = 15;
    metrics.pictureHeight = smallPictures ? 20 : 32;
    metrics.smallPictures = smallPictures;
    setenv("CE_TEXT_FIT_LOG", log.c_str(), 1);
    CTodayLayout::Draw(canvas.dc, RECT{0, 0, width, 80}, columns, metrics, TitleBarInfo{u"Berlin", false, true});
    unsetenv("CE_TEXT_FIT_LOG");
    DeleteObject(metrics.labelFont);
    DeleteObject(metrics.temperatureFont);
    DeleteObject(metrics.titleFont);
    std::vector<std::string> findings;
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);) {
        findings.push_back(line);
    }
    return findings;
}

std::vector<TodayColumn> ColdWeek() {
    std::vector<TodayColumn> columns{{u"11:00 AM", u"11:00", -1, TodayColumn::kMissing, -4, true}};
    for (const char16_t* day : {u"Thu", u"Fri", u"Sat", u"Sun"}) {
        columns.push_back(TodayColumn{day, u"", -1, -10, -16, false});
    }
    return columns;
}

TEST(TodayLayoutOnANarrowScreen, TheTimeLabelAndTheDaysTemperaturesStayInTheirColumns) {
    EXPECT_EQ(FitFindings(ColdWeek(), false, 176), std::vector<std::string>{}) << "large pictures";
    // Small pictures are the Today item's alone, on a Pocket PC's 240 pixels or more.
    EXPECT_EQ(FitFindings(ColdWeek(), true, 240), std::vector<std::string>{}) << "small pictures";
}

TEST(TodayLayoutOnANarrowScreen, AFontShrinksOnlyWhereATextDoesNotFitAndNotBelowItsLeastHeight) {
    ce::test::DibDC canvas(400, 80, 32);
    HFONT font = Font(13);
    HFONT fitted = CreateFontToFit(canvas.dc, font, {u"11:00 AM", u"-10/-16\u00B0"}, 400 / 5, 8);
    EXPECT_EQ(fitted, nullptr) << "80 pixels hold both";
    fitted = CreateFontToFit(canvas.dc, font, {u"11:00 AM", u"-10/-16\u00B0"}, 35, 8);
    ASSERT_NE(fitted, nullptr);
    LOGFONTW description{};
    ASSERT_NE(GetObjectW(fitted, sizeof description, &description), 0);
    EXPECT_LT(description.lfHeight, 13);
    EXPECT_GE(description.lfHeight, 8) << "never below the least height";
    DeleteObject(fitted);
    DeleteObject(font);
}

// Rows of a column strip that hold dark (text) pixels.
int InkedRows(const ce::test::DibDC& canvas, int left, int right, int top, int bottom) {
    int rows = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            if (GetRValue(GetPixel(canvas.dc, x, y)) < 0x80) {
                ++rows;
                break;
            }
        }
    }
    return rows;
}

TEST(TodayLayoutOnANarrowScreen, ADaysHighAndLowTooWideForAReadableLineStandOnTwoLines) {
    ce::test::DibDC canvas(176, 100, 32);
    HFONT font = Font(13);
    EXPECT_TRUE(CTodayLayout::StacksTemperatures(canvas.dc, font, 176 / 5)) << "35 pixels: two lines";
    EXPECT_FALSE(CTodayLayout::StacksTemperatures(canvas.dc, font, 320 / 5)) << "64 pixels: one line";

    RECT all{0, 0, 176, 100};
    FillRect(canvas.dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    TodayLayoutMetrics metrics;
    metrics.labelFont = font;
    metrics.temperatureFont = font;
    metrics.titleFont = font;
    metrics.titleHeight = 17;
    metrics.labelHeight = 15;
    metrics.temperatureHeight = 15;
    metrics.pictureHeight = 32;
    CTodayLayout::Draw(canvas.dc, all, ColdWeek(), metrics, TitleBarInfo{u"Berlin", false, true});
    const int firstLine = 17 + 32;
    // Thursday's column: "-10°" on the first line, "-16°" on the second, each in a font of at least
    // the least height (its ink several rows high).
    EXPECT_GE(InkedRows(canvas, 35, 70, firstLine, firstLine + 15), 6);
    EXPECT_GE(InkedRows(canvas, 35, 70, firstLine + 15, firstLine + 30), 6);
    DeleteObject(font);
}

}  // namespace
