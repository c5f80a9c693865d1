// Pictures at the edges of SVG's own rules: values in error, degenerate geometry, declared entities
// and repeated ids, each drawn as SVG says. Rendered at the document's size, one unit a pixel.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "RasterHelpers.h"

namespace {
using namespace pictorra_test;

TEST(SvgRules, PathDataArcFlagsAndSeparators)
{
    // A half disc over the line from (20, 50) to (80, 50), its flags written together with the numbers
    // that follow them, as path data may write them.
    SvgRaster spaced = AtDocumentSize("<path d='M20 50 A30 30 0 1 0 80 50 Z' fill='red'/>");
    SvgRaster compact = AtDocumentSize("<path d='M20 50A30 30 0 1080 50Z' fill='red'/>");
    SvgRaster relative = AtDocumentSize("<path d='M20 50a30,30,0,1060,0z' fill='red'/>");
    EXPECT_TRUE(PixelIs(spaced, 50, 70, kRed));
    EXPECT_TRUE(PixelIs(spaced, 50, 30, kClear));
    EXPECT_EQ(compact.pixels, spaced.pixels);
    EXPECT_EQ(relative.pixels, spaced.pixels);
    // A flag other than "0" or "1" ends the path data there: the arc and what follows are not drawn.
    // The path's style is lost with it, so the group gives it.
    for (const char* flag : {"2", "-1", ".5"}) {
        SvgRaster r = AtDocumentSize(std::string("<g fill='none' stroke='red' stroke-width='4'>"
                                                 "<path d='M20 50 L50 50 A30 30 0 ") +
                                     flag + " 0 80 50 Z'/></g>");
        EXPECT_TRUE(PixelIs(r, 35, 50, kRed)) << flag;
        EXPECT_TRUE(PixelIs(r, 50, 80, kClear)) << flag;
        EXPECT_TRUE(PixelIs(r, 65, 50, kClear)) << flag;
    }
    // So does a comma right after a letter.
    SvgRaster comma = AtDocumentSize("<g fill='none' stroke='red' stroke-width='4'><path d='M10 50 L50 50 L,90 50'/>"
                                     "</g>");
    EXPECT_TRUE(PixelIs(comma, 30, 50, kRed));
    EXPECT_TRUE(PixelIs(comma, 70, 50, kClear));
}

TEST(SvgRules, GradientReferencesAndStopOffsets)
{
    // A reference to an element that is no gradient is ignored: the gradient keeps its own stops.
    SvgRaster linked = AtDocumentSize("<rect id='box' width='1' height='1' fill='none'/>"
                                      "<linearGradient id='g' xlink:href='#box'><stop offset='0' stop-color='blue'/>"
                                      "<stop offset='1' stop-color='blue'/></linearGradient>"
                                      "<rect y='10' width='100' height='80' fill='url(#g)'/>");
    EXPECT_TRUE(PixelIs(linked, 50, 50, kBlue));

    // Offsets are clamped to 0..1 and to no less than the stop before; "5mm" is no offset and gives 0.
    struct Case {
        std::string stops;
        std::vector<std::pair<int, uint32_t>> colours;  // at x, along the middle row
    };
    const Case cases[] = {
        // The blue stop at 0.2 moves up to the red one at 0.6: blue from there on.
        {"<stop offset='0' stop-color='green'/><stop offset='0.6' stop-color='red'/><stop offset='0.2' "
         "stop-color='blue'/><stop offset='1' stop-color='blue'/>",
         {{80, kBlue}}},
        // Blue at 0 turning red at 1, where the last stop also stands.
        {"<stop offset='-1' stop-color='blue'/><stop offset='2' stop-color='red'/><stop offset='0.3' "
         "stop-color='blue'/>",
         {{0, kBlue}, {50, 0xFF800080}}},
        // Red and blue both at 0, then green at 1.
        {"<stop offset='0' stop-color='red'/><stop offset='5mm' stop-color='blue'/><stop offset='1' "
         "stop-color='#00ff00'/>",
         {{0, kBlue}, {50, 0xFF008080}}},
    };
    for (const Case& c : cases) {
        SvgRaster r = AtDocumentSize("<linearGradient id='g' gradientUnits='userSpaceOnUse' x1='0' x2='100'>" +
                                     c.stops + "</linearGradient><rect width='100' height='100' fill='url(#g)'/>");
        for (auto [x, colour] : c.colours) EXPECT_TRUE(PixelIs(r, x, 50, colour)) << c.stops;
    }
}

TEST(SvgRules, RadialGradientOfNoRadiusPaintsTheLastStop)
{
    const std::string stops = "<stop offset='0' stop-color='red'/><stop offset='1' stop-color='#0000ff' "
                              "stop-opacity='0.5'/>";
    for (const char* radius : {"0", "0%"}) {
        SvgRaster r = AtDocumentSize("<radialGradient id='g' r='" + std::string(radius) + "'>" + stops +
                                     "</radialGradient><rect width='100' height='100' fill='url(#g)'/>");
        EXPECT_TRUE(PixelIs(r, 50, 50, 0x80000080)) << radius;
        EXPECT_TRUE(PixelIs(r, 2, 2, 0x80000080)) << radius;
    }
    // A negative radius is an error of the gradient, which then cannot be referred to; the rest draws.
    SvgRaster negative = AtDocumentSize("<radialGradient id='g' r='-10'>" + stops + "</radialGradient>"
                                        "<g fill='none'><rect width='100' height='50' fill='url(#g)'/></g>"
                                        "<rect y='50' width='100' height='50' fill='green'/>");
    EXPECT_TRUE(PixelIs(negative, 50, 25, kClear));
    EXPECT_TRUE(PixelIs(negative, 50, 75, kGreen));
}

TEST(SvgRules, RectSizesAndCornerRadii)
{
    // A negative width or height is an error of the rect, which draws nothing; a rect of no width
    // draws not even its stroke.
    SvgRaster sizes = AtDocumentSize("<rect x='50' y='10' width='-40' height='20' fill='red'/>"
                                     "<rect x='10' y='40' width='20' height='-20' fill='red'/>"
                                     "<rect x='10' y='70' width='0' height='20' stroke='red' stroke-width='6'/>"
                                     "<rect x='60' y='60' width='30' height='30' fill='green'/>");
    EXPECT_TRUE(PixelIs(sizes, 30, 20, kClear));
    EXPECT_TRUE(PixelIs(sizes, 20, 30, kClear));
    EXPECT_TRUE(PixelIs(sizes, 10, 80, kClear));
    EXPECT_TRUE(PixelIs(sizes, 75, 75, kGreen));

    // A negative rx takes ry's value: corners of 20 x 20, so the corner point of the box stays clear.
    SvgRaster negative = AtDocumentSize("<rect width='100' height='100' rx='-20' ry='20' fill='red'/>");
    EXPECT_TRUE(PixelIs(negative, 2, 2, kClear));
    EXPECT_TRUE(PixelIs(negative, 97, 97, kClear));
    EXPECT_TRUE(PixelIs(negative, 50, 2, kRed));
    EXPECT_TRUE(PixelIs(negative, 2, 50, kRed));

    // A missing ry is rx as computed: 25 % of the width of 200, not a quarter of the height of 100.
    SvgRaster missing = Rasterize("<svg xmlns='http://www.w3.org/2000/svg' width='200' height='100'>"
                                  "<rect width='200' height='100' rx='25%' fill='red'/></svg>",
                                  200, 100);
    EXPECT_TRUE(PixelIs(missing, 10, 15, kClear));  // outside a corner of 50 x 50, inside one of 50 x 25
    EXPECT_TRUE(PixelIs(missing, 10, 50, kRed));
}

TEST(SvgRules, NegativeDashLengthStrokesSolid)
{
    SvgRaster r = AtDocumentSize("<line x1='0' y1='50' x2='100' y2='50' stroke='red' stroke-width='6' "
                                 "stroke-dasharray='10 -5 10'/>"
                                 "<line x1='0' y1='80' x2='100' y2='80' stroke='blue' stroke-width='6' "
                                 "stroke-dasharray='10 10'/>");
    for (int x : {5, 15, 25, 35, 45, 55}) EXPECT_TRUE(PixelIs(r, x, 50, kRed)) << x;
    EXPECT_TRUE(PixelIs(r, 5, 80, kBlue));
    EXPECT_TRUE(PixelIs(r, 15, 80, kClear));
}

TEST(SvgRules, FlatteningTransformHidesOnlyItsElement)
{
    for (const char* flat : {"scale(0)", "matrix(1 0 0 0 0 0)", "matrix(1 2 2 4 0 0)"}) {
        SvgRaster r = AtDocumentSize(std::string("<g transform='") + flat +
                                     "'><rect width='100' height='50' fill='red'/><text y='20' font-size='20' "
                                     "fill='red'>x</text></g><rect transform='" + flat +
                                     "' width='100' height='100' stroke='red'/>"
                                     "<rect y='50' width='100' height='50' fill='green'/>");
        EXPECT_EQ(InkCount(r), 100 * 50) << flat;
        EXPECT_TRUE(PixelIs(r, 50, 75, kGreen)) << flat;
    }
}

TEST(SvgRules, BoundingBoxGradientsSpanThePathItself)
{
    // A square of 40 turned by 45 degrees about (50, 50): its own box is 0..40 in its user space, so
    // the stops at a quarter meet at x = 10 there, for the fill and for the stroke alike.
    const std::string gradient = "<linearGradient id='g'><stop offset='0' stop-color='red'/>"
                                 "<stop offset='0.25' stop-color='red'/><stop offset='0.25' stop-color='blue'/>"
                                 "<stop offset='1' stop-color='blue'/></linearGradient>";
    const std::string turn = "transform='translate(50 50) rotate(45) translate(-20 -20)'";
    SvgRaster fill = AtDocumentSize(gradient + "<rect " + turn + " width='40' height='40' fill='url(#g)'/>");
    EXPECT_TRUE(PixelIs(fill, 39, 39, kRed));   // (5, 20) of the square
    EXPECT_TRUE(PixelIs(fill, 57, 57, kBlue));  // (30, 20)
    SvgRaster stroke = AtDocumentSize(gradient + "<rect " + turn +
                                      " width='40' height='40' fill='none' stroke='url(#g)' stroke-width='8'/>");
    EXPECT_TRUE(PixelIs(stroke, 36, 36, kRed));   // (0, 20), on the left side
    EXPECT_TRUE(PixelIs(stroke, 62, 62, kBlue));  // (38, 20), on the right side inside the box
    EXPECT_TRUE(PixelIs(stroke, 50, 50, kClear));
}

TEST(SvgRules, EntitiesOfTheDocumentsOwnDtdAreExpanded)
{
    const std::string prologue = "<?xml version='1.0'?><!DOCTYPE svg [<!ENTITY fill_value 'green'>"
                                 "<!ENTITY half \"<rect x='50' width='50' height='100' fill='blue'/>\">]>";
    SvgRaster r = AtDocumentSize("<rect width='50' height='100' fill='&fill_value;'/>&half;", prologue);
    EXPECT_TRUE(PixelIs(r, 25, 50, kGreen));
    EXPECT_TRUE(PixelIs(r, 75, 50, kBlue));

    // Neither an entity of another file nor an outside DTD is read, and an undeclared entity is an error.
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    const std::string entity = (folder / "pictorra-outside-entity.xml").string();
    const std::string dtd = (folder / "pictorra-outside.dtd").string();
    std::ofstream(entity) << "<rect width='100' height='100' fill='red'/>";
    std::ofstream(dtd) << "<!ENTITY outside \"<rect width='100' height='100' fill='red'/>\">";
    for (const std::string& doctype : {"<!DOCTYPE svg [<!ENTITY outside SYSTEM '" + entity + "'>]>",
                                       "<!DOCTYPE svg SYSTEM '" + dtd + "'>"}) {
        SvgRaster raster;
        SvgStatus status = SvgRasterizer::Render(doctype + Doc("&outside;"), 100, 100, raster);
        EXPECT_TRUE(Failed(status) || InkCount(raster) == 0) << "the outside file was drawn: " << doctype;
    }
    std::filesystem::remove(entity);
    std::filesystem::remove(dtd);
    EXPECT_EQ(RenderStatus(Doc("&undeclared;")), SvgStatus::ParseError);

    // Entities that expand to far more than the document are refused by libxml2's limits, quickly.
    std::string laughs = "<!DOCTYPE svg [<!ENTITY l0 'haha'>";
    for (int i = 1; i <= 12; ++i) {
        std::string previous = "&l" + std::to_string(i - 1) + ";";
        laughs += "<!ENTITY l" + std::to_string(i) + " '" + previous + previous + previous + previous + previous +
                  previous + previous + previous + previous + previous + "'>";
    }
    laughs += "]>";
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(RenderStatus(laughs + Doc("<text>&l12;</text>")), SvgStatus::ParseError);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

    // So is one long entity used over and over, which those limits let through: 200 KB of picture
    // that would make 400 MB of text.
    const std::string wide = "<!DOCTYPE svg [<!ENTITY w '" + std::string(200'000, 'w') + "'>]>";
    std::string uses;
    for (int i = 0; i < 2'000; ++i) uses += "&w;";
    EXPECT_EQ(RenderStatus(wide + Doc("<text>" + uses + "</text>")), SvgStatus::ParseError);
    EXPECT_EQ(RenderStatus(wide + Doc("<g id='" + uses + "'/>")), SvgStatus::ParseError);
}

TEST(SvgRules, OfTwoElementsWithOneIdTheFirstCounts)
{
    auto gradient = [](const std::string& colour) {
        return "<linearGradient id='g'><stop offset='0' stop-color='" + colour + "'/><stop offset='1' stop-color='" +
               colour + "'/></linearGradient>";
    };
    SvgRaster r = AtDocumentSize(gradient("green") + gradient("red") +
                                 "<rect id='box' width='50' height='100' fill='url(#g)'/>"
                                 "<rect id='box' width='20' height='20' fill='red'/>"
                                 "<use xlink:href='#box' x='50'/>");
    EXPECT_TRUE(PixelIs(r, 25, 50, kGreen));
    EXPECT_TRUE(PixelIs(r, 75, 50, kGreen));
    EXPECT_TRUE(PixelIs(r, 10, 10, kRed));
}
}  // namespace
