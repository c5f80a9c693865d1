// Pictures written for the tests, rendered at two sizes and checked against the pixels they must give.
#include <gtest/gtest.h>

#include "RasterHelpers.h"
#include "WeatherPictures.h"

namespace {
using namespace pictorra_test;

class SvgRender : public ::testing::TestWithParam<int> {
protected:
    SvgRaster Render(const std::string& svg) { return Rasterize(svg, GetParam(), GetParam()); }
};

TEST_P(SvgRender, BasicShapesFillTheirArea)
{
    SvgRaster r = Render(Doc("<rect x='10' y='10' width='30' height='30' fill='red'/>"
                             "<circle cx='75' cy='25' r='15' fill='#0000ff'/>"
                             "<ellipse cx='25' cy='75' rx='20' ry='8' fill='green'/>"
                             "<polygon points='60,60 90,60 90,90 60,90' fill='black'/>"));
    EXPECT_PIXEL(r, 0.25, 0.25, kRed);
    EXPECT_PIXEL(r, 0.75, 0.25, kBlue);
    EXPECT_PIXEL(r, 0.25, 0.75, kGreen);
    EXPECT_PIXEL(r, 0.25, 0.60, kClear);  // outside the flat ellipse
    EXPECT_PIXEL(r, 0.75, 0.75, kBlack);
    EXPECT_PIXEL(r, 0.50, 0.50, kClear);
}

TEST_P(SvgRender, LinesAndPolylinesAreStrokedOnly)
{
    SvgRaster r = Render(Doc("<line x1='0' y1='50' x2='100' y2='50' stroke='red' stroke-width='10'/>"
                             "<polyline points='10,10 90,10 90,30' fill='none' stroke='blue' stroke-width='6'/>"));
    EXPECT_PIXEL(r, 0.5, 0.5, kRed);
    EXPECT_PIXEL(r, 0.5, 0.4, kClear);
    EXPECT_PIXEL(r, 0.5, 0.1, kBlue);
    EXPECT_PIXEL(r, 0.5, 0.2, kClear);
}

TEST_P(SvgRender, RelativeAndShorthandCommandsDrawTheSameAsAbsoluteOnes)
{
    const std::string absolute = "M10 10 L50 10 L50 30 L60 30 C70 30 80 40 80 50 C80 60 90 70 90 80 "
                                 "Q90 90 70 90 Q50 90 40 80 A20 20 0 0 1 10 60 Z";
    const std::string relative = "m10 10 h40 v20 l10 0 c10 0 20 10 20 20 s10 20 10 30 "
                                 "q0 10 -20 10 t-30 -10 a20 20 0 0 1 -30 -20 z";
    SvgRaster a = Render(Doc("<path fill='red' d='" + absolute + "'/>"));
    SvgRaster b = Render(Doc("<path fill='red' d='" + relative + "'/>"));
    ASSERT_EQ(a.pixels.size(), b.pixels.size());
    for (size_t i = 0; i < a.pixels.size(); ++i) ASSERT_TRUE(Near(a.pixels[i], b.pixels[i], 2)) << i;
    EXPECT_PIXEL(a, 0.3, 0.3, kRed);
    EXPECT_PIXEL(a, 0.9, 0.2, kClear);
}

TEST_P(SvgRender, TransformsCompose)
{
    SvgRaster r = Render(Doc("<g transform='translate(50 50)'><rect transform='rotate(45) scale(2 1)' "
                             "x='-5' y='-5' width='10' height='10' fill='red'/></g>"
                             "<rect transform='matrix(1 0 0 1 80 0) skewX(0)' width='10' height='10' fill='blue'/>"));
    // A 20 x 10 box turned by 45 degrees around the centre: along the diagonal, not across it.
    EXPECT_PIXEL(r, 0.55, 0.55, kRed);
    EXPECT_PIXEL(r, 0.38, 0.62, kClear);
    EXPECT_PIXEL(r, 0.85, 0.05, kBlue);
}

TEST_P(SvgRender, LinearGradientRunsAcrossTheShapeBox)
{
    SvgRaster r = Render(Doc("<defs><linearGradient id='g'><stop offset='0' stop-color='red'/>"
                             "<stop offset='100%' stop-color='blue'/></linearGradient></defs>"
                             "<rect x='0' y='0' width='100' height='100' fill='url(#g)' fill-opacity='0.25'/>"));
    // The fill opacity does not reach gradients.
    EXPECT_PIXEL(r, 0.02, 0.5, 0xFFF8000A);
    EXPECT_PIXEL(r, 0.98, 0.5, 0xFF0A00F8);
    EXPECT_PIXEL(r, 0.5, 0.5, 0xFF800080);
}

TEST_P(SvgRender, RadialGradientWithPadLeavesTheOutsideTransparent)
{
    SvgRaster r = Render(Doc("<radialGradient id='g' gradientUnits='userSpaceOnUse' cx='50' cy='50' r='30'>"
                             "<stop offset='0' stop-color='red'/><stop offset='1' stop-color='red'/>"
                             "</radialGradient><rect width='100' height='100' fill='url(#g)'/>"));
    EXPECT_PIXEL(r, 0.5, 0.5, kRed);
    EXPECT_PIXEL(r, 0.05, 0.05, kClear);
}

TEST_P(SvgRender, GroupOpacityAppliesOnce)
{
    SvgRaster r = Render(Doc("<g opacity='0.5'><rect width='100' height='50' fill='red'/></g>"
                             "<rect y='50' width='100' height='50' fill='red' opacity='0.5'/>"));
    EXPECT_PIXEL(r, 0.5, 0.25, 0x80800000);
    EXPECT_PIXEL(r, 0.5, 0.75, 0x80800000);
}

TEST_P(SvgRender, NestedGroupOpacitiesMultiply)
{
    SvgRaster r = Render(Doc("<g opacity='0.5'><g opacity='0.5'><rect width='100' height='100' fill='#ffffff'/>"
                             "</g></g>"));
    EXPECT_PIXEL(r, 0.5, 0.5, 0x40404040);
}

TEST_P(SvgRender, RootOpacityGroupIsNotClippedWhenRenderedLarger)
{
    // The group surface follows the rendered size, not the document's own 100 x 100.
    SvgRaster r = Rasterize(Doc("<rect width='100' height='100' fill='red'/>", "opacity='0.5'"), GetParam() * 4,
                            GetParam() * 4);
    EXPECT_PIXEL(r, 0.95, 0.95, 0x80800000);
}

TEST_P(SvgRender, UseDrawsItsTargetAtItsOffset)
{
    SvgRaster r = Render(Doc("<defs><rect id='box' width='20' height='20' fill='blue'/></defs>"
                             "<use xlink:href='#box' x='10' y='10'/><use xlink:href='#box' x='70' y='70' "
                             "opacity='0.5'/>"));
    EXPECT_PIXEL(r, 0.2, 0.2, kBlue);
    EXPECT_PIXEL(r, 0.8, 0.8, 0x80000080);
    EXPECT_PIXEL(r, 0.5, 0.5, kClear);
}

TEST_P(SvgRender, SymbolIsDrawnOnlyThroughUse)
{
    SvgRaster r = Render(Doc("<symbol id='s'><rect width='30' height='30' fill='red'/></symbol>"
                             "<use xlink:href='#s' x='60' y='60'/>"));
    EXPECT_PIXEL(r, 0.1, 0.1, kClear);
    EXPECT_PIXEL(r, 0.75, 0.75, kRed);
}

TEST_P(SvgRender, TextIsDrawnAtItsAnchor)
{
    SvgRaster start = Render(Doc("<text x='50' y='60' font-size='30'>Hi</text>"));
    SvgRaster end = Render(Doc("<text x='50' y='60' font-size='30' text-anchor='end'>Hi</text>"));
    int size = GetParam();
    auto inkColumns = [&](const SvgRaster& r, int from, int to) {
        int n = 0;
        for (int y = 0; y < size; ++y)
            for (int x = from; x < to; ++x) n += AlphaAt(r, x, y) > 0;
        return n;
    };
    EXPECT_GT(inkColumns(start, size / 2, size), 0);
    EXPECT_EQ(inkColumns(start, 0, size / 2 - 1), 0);
    EXPECT_GT(inkColumns(end, 0, size / 2), 0);
    EXPECT_EQ(inkColumns(end, size / 2 + 1, size), 0);
}

TEST_P(SvgRender, RoundedCornersAreLimitedToHalfTheSide)
{
    SvgRaster r = Render(Doc("<rect x='0' y='0' width='100' height='100' rx='80' fill='red'/>"));
    EXPECT_PIXEL(r, 0.5, 0.5, kRed);
    EXPECT_PIXEL(r, 0.03, 0.03, kClear);
    EXPECT_PIXEL(r, 0.5, 0.02, kRed);  // with rx limited to 50 the top edge is reached only at the middle
}

TEST_P(SvgRender, ViewBoxWithoutAspectRuleStretches)
{
    // A circle in a 100 x 100 view box on a 200 x 100 document fills the whole width.
    SvgRaster r = Render("<svg xmlns='http://www.w3.org/2000/svg' width='200' height='100' viewBox='0 0 100 100'>"
                         "<circle cx='50' cy='50' r='50' fill='red'/></svg>");
    EXPECT_PIXEL(r, 0.1, 0.5, kRed);
    EXPECT_PIXEL(r, 0.9, 0.5, kRed);
}

TEST_P(SvgRender, ViewBoxMeetCentresAndAlignWithoutModeScalesByWidth)
{
    SvgRaster meet = Render("<svg xmlns='http://www.w3.org/2000/svg' width='200' height='100' viewBox='0 0 100 100' "
                            "preserveAspectRatio='xMidYMid meet'><rect width='100' height='100' fill='red'/></svg>");
    EXPECT_PIXEL(meet, 0.2, 0.5, kClear);
    EXPECT_PIXEL(meet, 0.3, 0.5, kRed);
    EXPECT_PIXEL(meet, 0.8, 0.5, kClear);
    // Scaled by 2 and moved up by 25 units: view-box row 25..75 fills the height.
    SvgRaster neither = Render("<svg xmlns='http://www.w3.org/2000/svg' width='200' height='100' "
                               "viewBox='0 0 100 100' preserveAspectRatio='xMidYMid'>"
                               "<rect y='20' width='100' height='10' fill='red'/></svg>");
    EXPECT_PIXEL(neither, 0.5, 0.02, kRed);
    EXPECT_PIXEL(neither, 0.5, 0.2, kClear);
}

TEST_P(SvgRender, UnitsAreAHundredToTheInchAndPercentagesOfTheViewport)
{
    SvgRaster r = Render(Doc("<rect width='0.5in' height='50%' fill='red'/>"
                             "<rect x='50' y='50' width='36pt' height='1.27cm' fill='blue'/>"));
    EXPECT_PIXEL(r, 0.49, 0.49, kRed);
    EXPECT_PIXEL(r, 0.52, 0.25, kClear);
    EXPECT_PIXEL(r, 0.25, 0.52, kClear);
    EXPECT_PIXEL(r, 0.99, 0.99, kBlue);
}

TEST_P(SvgRender, StyleAttributeLosesToPresentationAttribute)
{
    SvgRaster r = Render(Doc("<rect width='100' height='100' style='fill: red; stroke:none' fill='blue'/>"));
    EXPECT_PIXEL(r, 0.5, 0.5, kBlue);
}

TEST_P(SvgRender, PropertiesAreInheritedFromGroups)
{
    SvgRaster r = Render(Doc("<g fill='blue' color='red'><rect width='50' height='100'/>"
                             "<rect x='50' width='50' height='100' fill='currentColor'/></g>"));
    EXPECT_PIXEL(r, 0.25, 0.5, kBlue);
    EXPECT_PIXEL(r, 0.75, 0.5, kRed);
}

TEST_P(SvgRender, AnchorChildrenJoinTheEnclosingGroupAndUnknownElementsAreSkipped)
{
    SvgRaster r = Render(Doc("<a><rect width='50' height='50' fill='red'/></a>"
                             "<title><rect x='50' y='50' width='50' height='50' fill='blue'/></title>"));
    EXPECT_PIXEL(r, 0.25, 0.25, kRed);
    EXPECT_PIXEL(r, 0.75, 0.75, kClear);
}

TEST_P(SvgRender, WeatherPicturesRenderWithTheirColours)
{
    for (const std::string& svg : WeatherPictures()) EXPECT_GT(InkCount(Render(svg)), GetParam() * GetParam() / 10);
    SvgRaster sun = Render(WeatherPictures()[0]);
    uint32_t centre = PixelAtFraction(sun, 0.5, 0.5);
    EXPECT_EQ(centre >> 24, 0xFFu);
    EXPECT_GT((centre >> 16) & 0xFF, 0xF0u);  // the gradient's warm yellow
    EXPECT_LT(centre & 0xFF, 0x80u);
    EXPECT_PIXEL(sun, 0.02, 0.02, kClear);
}

INSTANTIATE_TEST_SUITE_P(TwoSizes, SvgRender, ::testing::Values(32, 64));

TEST(SvgRenderRootDefaults, StrokesStartFromTheRootsWidthAndMiterLimit)
{
    SvgRaster line = AtDocumentSize("<line x1='0' y1='50.5' x2='100' y2='50.5' stroke='black'/>");
    EXPECT_EQ(AlphaAt(line, 50, 50), 255);
    EXPECT_EQ(AlphaAt(line, 50, 49), 0) << "a line without stroke-width is one pixel wide";
    EXPECT_EQ(AlphaAt(line, 50, 51), 0);
    // A join of 18 degrees needs a miter of 6.4 widths: beyond the limit of 4, so it is bevelled.
    SvgRaster join = AtDocumentSize("<path d='M37.3 110 L50 30 L62.7 110' fill='none' stroke='black' stroke-width='4'/>");
    EXPECT_EQ(AlphaAt(join, 50, 23), 0);
    EXPECT_GT(AlphaAt(join, 50, 40), 200);
    // What a group sets reaches the shapes inside it, which set nothing themselves.
    SvgRaster inherited = AtDocumentSize("<g stroke-width='6' stroke-miterlimit='10'><line x1='0' y1='50' x2='100' "
                                         "y2='50' stroke='black'/><path d='M37.3 110 L50 30 L62.7 110' fill='none' "
                                         "stroke='black' stroke-width='4'/></g>");
    EXPECT_EQ(AlphaAt(inherited, 20, 47), 255);
    EXPECT_GT(AlphaAt(inherited, 50, 23), 200);
}

TEST(SvgRenderFailures, DisplayNoneOrHiddenShapeAnywhereFailsThePicture)
{
    EXPECT_EQ(RenderStatus(Doc("<rect width='9' height='9'/><g><rect display='none' width='5' height='5'/></g>")),
              SvgStatus::InvalidValue);
    EXPECT_EQ(RenderStatus(Doc("<circle r='5' visibility='hidden'/>")), SvgStatus::InvalidValue);
    EXPECT_EQ(RenderStatus(Doc("<g visibility='hidden'><rect width='5' height='5' visibility='inherit'/></g>")),
              SvgStatus::Success);
}

TEST(SvgRenderFailures, ImageWithSizeAndPatternPaintFailThePicture)
{
    EXPECT_EQ(RenderStatus(Doc("<image width='10' height='10' xlink:href='a.png'/>")), SvgStatus::InvalidCall);
    EXPECT_EQ(RenderStatus(Doc("<image width='0' height='10' xlink:href='a.png'/>")), SvgStatus::Success);
    EXPECT_EQ(RenderStatus(Doc("<pattern id='p' width='5' height='5'><rect width='2' height='2'/></pattern>"
                               "<rect width='50' height='50' fill='url(#p)'/>")),
              SvgStatus::NoMemory);
}

TEST(SvgRenderFailures, SizeOrDocumentWithoutExtentFails)
{
    SvgRaster raster;
    std::string doc = Doc("<rect width='10' height='10'/>");
    EXPECT_EQ(SvgRasterizer::Render(doc, 0, 10, raster), SvgStatus::InvalidValue);
    EXPECT_EQ(SvgRasterizer::Render(doc, 10, -1, raster), SvgStatus::InvalidValue);
    EXPECT_EQ(SvgRasterizer::Render("<svg width='0' height='10'/>", 10, 10, raster), SvgStatus::InvalidValue);
    EXPECT_EQ(SvgRasterizer::Render("<svg width='10' height='10' viewBox='0 0 0 10'/>", 10, 10, raster),
              SvgStatus::InvalidValue);
}

TEST(SvgRenderFailures, UseOfALaterOrEnclosingElementFailsInsteadOfRecursing)
{
    EXPECT_EQ(RenderStatus(Doc("<use xlink:href='#later'/><rect id='later' width='5' height='5'/>")),
              SvgStatus::ParseError);
    EXPECT_EQ(RenderStatus(Doc("<g id='loop'><rect width='5' height='5'/><use xlink:href='#loop'/></g>")),
              SvgStatus::ParseError);
    EXPECT_EQ(RenderStatus(Doc("<use id='self' xlink:href='#self'/>")), SvgStatus::ParseError);
}
}  // namespace
