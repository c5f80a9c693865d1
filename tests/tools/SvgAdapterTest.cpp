// Pictures drawn for browsers come out of the adapter in Pictorra's subset and look as drawn: what the
// subset lacks is either written out as attributes it reads or dropped without failing the picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "SvgAdapter.h"
#include "SvgRasterizer.h"

namespace {

const char* const kOpen = "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' "
                          "viewBox='0 0 20 20'>";

std::string Adapted(const std::string& source)
{
    SvgAdapter::Result result;
    std::string error;
    EXPECT_TRUE(SvgAdapter::Adapt(source, result, error)) << error;
    return result.svg;
}

// The colour at (x, y) of the picture rendered at 20 x 20, as 0xRRGGBB; 0 for a clear pixel.
uint32_t ColourAt(const std::string& svg, int x, int y)
{
    SvgRaster raster;
    if (Failed(SvgRasterizer::Render(svg, 20, 20, raster))) return 0xDEAD;
    uint32_t pixel = raster.pixels[size_t(y) * 20 + size_t(x)];
    return (pixel >> 24) == 0 ? 0 : pixel & 0xFFFFFF;
}

TEST(SvgAdapter, DropsAnimationClippingAndForeignMarkupAndKeepsTheStillPicture)
{
    std::string source = std::string(kOpen) +
        "<title>sun</title><defs><clipPath id='c'><rect width='20' height='5'/></clipPath></defs>"
        "<g clip-path='url(#c)' filter='url(#f)' xmlns:ink='urn:x' ink:label='layer'>"
        "<rect width='20' height='20' fill='#ff0000'><animate attributeName='opacity' values='0;1' dur='1s'/>"
        "</rect></g><ink:guide xmlns:ink='urn:x'/><image width='4' height='4' xlink:href='a.png'/></svg>";
    SvgAdapter::Result result;
    std::string error;
    ASSERT_TRUE(SvgAdapter::Adapt(source, result, error)) << error;
    for (const char* gone : {"animate", "clipPath", "clip-path", "filter", "title", "ink:", "image"})
        EXPECT_EQ(result.svg.find(gone), std::string::npos) << gone << " in " << result.svg;
    EXPECT_EQ(ColourAt(result.svg, 10, 15), 0xFF0000u) << "the drawing stays, unclipped";
    EXPECT_NE(std::find(result.notes.begin(), result.notes.end(), "element clipPath"), result.notes.end());
}

TEST(SvgAdapter, StyleSheetsAndStyleAttributesWinOverAttributesAsInBrowsers)
{
    std::string sheet = std::string(kOpen) +
        "<style>/* theme */ @keyframes spin { from { opacity: 0 } to { opacity: 1 } }"
        ".red { fill: #ff0000 } .green, .other { fill: #00ff00 !important } svg rect.x { fill: #000 }</style>";
    // A later rule beats an earlier one, a class beats the attribute, the style attribute beats both.
    EXPECT_EQ(ColourAt(Adapted(sheet + "<rect class='green red' width='20' height='20' fill='#0000ff'/></svg>"), 5, 5),
              0x00FF00u);
    EXPECT_EQ(ColourAt(Adapted(sheet + "<rect class='red' style='fill:#123456' width='20' height='20'/></svg>"), 5, 5),
              0x123456u);
    EXPECT_EQ(ColourAt(Adapted(sheet + "<rect class='none' width='20' height='20' fill='#0000ff'/></svg>"), 5, 5),
              0x0000FFu);
    std::string svg = Adapted(sheet + "<rect class='red' width='20' height='20'/></svg>");
    EXPECT_EQ(svg.find("class="), std::string::npos);
    EXPECT_EQ(svg.find("<style"), std::string::npos);
}

TEST(SvgAdapter, WhatWouldFailAWholePictureIsLeftOut)
{
    // Pictorra fails a picture for one hidden element or one pattern paint; a browser shows the rest.
    std::string source = std::string(kOpen) +
        "<defs><pattern id='p' width='2' height='2'><rect width='1' height='1'/></pattern></defs>"
        "<rect width='20' height='20' fill='#00ff00'/><circle r='3' style='display:none'/>"
        "<rect width='5' height='5' visibility='hidden'/><rect x='10' width='10' height='10' fill='url(#p)' "
        "stroke='url(#nowhere)'/></svg>";
    SvgRaster raster;
    ASSERT_TRUE(Failed(SvgRasterizer::Render(source, 20, 20, raster))) << "the source itself fails";
    std::string svg = Adapted(source);
    EXPECT_EQ(ColourAt(svg, 2, 2), 0x00FF00u);
    EXPECT_EQ(ColourAt(svg, 15, 5), 0x00FF00u) << "the pattern paint is dropped";
}

TEST(SvgAdapter, ReferencesReachWhatTheyNameWhereverItStands)
{
    // Definitions at the end and plain "href" both work in browsers; Pictorra reads neither.
    std::string source = std::string(kOpen) +
        "<rect width='20' height='20' fill='url(#g)'/><use href='#dot'/>"
        "<defs><linearGradient id='g'><stop offset='0' stop-color='#0000ff'/><stop offset='1' stop-color='#0000ff'/>"
        "</linearGradient><circle id='dot' cx='10' cy='10' r='3' fill='#ffff00'/></defs></svg>";
    std::string svg = Adapted(source);
    EXPECT_EQ(ColourAt(svg, 2, 2), 0x0000FFu);
    EXPECT_EQ(ColourAt(svg, 10, 10), 0xFFFF00u);
}

TEST(SvgAdapter, CoordinatePairsAfterAMoveAreDrawnAsLines)
{
    // The snowflakes of the weather icons are drawn this way: "m-2.16-1.24-1.09-.63" is one spoke.
    // The letter takes the place of the separator before the pair: SVG allows no comma after a letter.
    std::string source = std::string(kOpen) +
        "<path d='M2,4 18,4m-8,6,4e0,0M2 16h8' stroke='#ff0000' stroke-width='2' fill='none'/></svg>";
    std::string svg = Adapted(source);
    EXPECT_NE(svg.find("M2,4 L 18,4m-8,6 l 4e0,0M2 16h8"), std::string::npos) << svg;
    EXPECT_EQ(ColourAt(svg, 10, 4), 0xFF0000u);
    EXPECT_EQ(ColourAt(svg, 12, 10), 0xFF0000u);
    EXPECT_EQ(ColourAt(svg, 5, 16), 0xFF0000u);
}

TEST(SvgAdapter, PathDataInErrorIsRefused)
{
    // A browser stops drawing such a path at the error; the picture would not look as drawn.
    SvgAdapter::Result result;
    std::string error;
    EXPECT_FALSE(SvgAdapter::Adapt(std::string(kOpen) + "<path d='M2 2 L18 2 L18,18 Z'/><path d='M0 0 H,5'/></svg>",
                                   result, error));
    EXPECT_NE(error.find("path data \"M0 0 H,5\" is not valid"), std::string::npos) << error;
}

TEST(SvgAdapter, TheSizeComesFromTheViewBoxOrThePixelSize)
{
    SvgAdapter::Result result;
    std::string error;
    ASSERT_TRUE(SvgAdapter::Adapt("<svg xmlns='http://www.w3.org/2000/svg' width='100%' viewBox='0,0,48,31.6'>"
                                  "<rect width='48' height='32'/></svg>", result, error)) << error;
    EXPECT_EQ(result.width, 48);
    EXPECT_EQ(result.height, 32);
    EXPECT_NE(result.svg.find("width=\"48\""), std::string::npos) << result.svg;
    EXPECT_NE(result.svg.find("viewBox=\"0,0,48,31.6\""), std::string::npos) << "the view box is kept";

    ASSERT_TRUE(SvgAdapter::Adapt("<svg xmlns='http://www.w3.org/2000/svg' width='24px' height='12'>"
                                  "<rect width='24' height='12'/></svg>", result, error)) << error;
    EXPECT_EQ(result.width, 24);
    EXPECT_NE(result.svg.find("viewBox=\"0 0 24 12\""), std::string::npos) << result.svg;

    EXPECT_FALSE(SvgAdapter::Adapt("<svg xmlns='http://www.w3.org/2000/svg' width='50%' height='12'/>", result, error));
    EXPECT_NE(error.find("neither a viewBox"), std::string::npos) << error;
    EXPECT_FALSE(SvgAdapter::Adapt("<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 0 10'/>", result, error));
    EXPECT_NE(error.find("not usable"), std::string::npos) << error;
}

TEST(SvgAdapter, DamagedDocumentsAreRefusedWithTheReason)
{
    SvgAdapter::Result result;
    std::string error;
    EXPECT_FALSE(SvgAdapter::Adapt(std::string(kOpen) + "\n<rect width='20' height='20'>\n</svg>", result, error));
    EXPECT_NE(error.find("not well-formed XML (line 3"), std::string::npos) << error;
    EXPECT_FALSE(SvgAdapter::Adapt("", result, error));
    EXPECT_NE(error.find("not well-formed"), std::string::npos) << error;
    EXPECT_FALSE(SvgAdapter::Adapt("<html><svg viewBox='0 0 1 1'/></html>", result, error));
    EXPECT_NE(error.find("root element is not svg"), std::string::npos) << error;
}

}  // namespace

TEST(SvgAdapter, EntitiesAreWrittenOutUnlessTheyStandForFarMoreTextThanThePicture)
{
    const std::string doctype = "<!DOCTYPE svg [<!ENTITY red '#ff0000'><!ENTITY k '" + std::string(1000, ' ') + "'>";
    std::string big = "<!ENTITY big '";
    for (int i = 0; i < 200; ++i) big += "&k;";  // 200,000 characters
    std::string uses;
    for (int i = 0; i < 1000; ++i) uses += "&big;";
    std::string svg = Adapted(doctype + "]>" + kOpen + "<rect width='20' height='20' fill='&red;'/></svg>");
    EXPECT_EQ(ColourAt(svg, 5, 5), 0xFF0000u) << svg;

    SvgAdapter::Result result;
    std::string error;
    const std::string blowUp = doctype + big + "'>]>" + kOpen + "<text>" + uses + "</text></svg>";
    ASSERT_LT(blowUp.size(), 10000u);
    EXPECT_FALSE(SvgAdapter::Adapt(blowUp, result, error));
    EXPECT_NE(error.find("entities stand for more than"), std::string::npos) << error;
}
