#include <gtest/gtest.h>

#include "RasterHelpers.h"
#include "SvgDocument.h"

namespace {
using pictorra_test::Doc;

const SvgElement& Child(const SvgDocument& d, size_t i) { return *d.Root()->children.at(i); }

TEST(SvgParser, UnknownElementsAreSkippedWithTheirContent)
{
    SvgDocument d;
    ASSERT_EQ(d.Parse(Doc("<title><rect/><g/></title><metadata>x</metadata><rect/>")), SvgStatus::Success);
    ASSERT_EQ(d.Root()->children.size(), 1u);
    EXPECT_EQ(Child(d, 0).kind, SvgElementKind::Rect);
}

TEST(SvgParser, ElementErrorsOfACompleteDocumentDoNotFailIt)
{
    SvgDocument d;
    ASSERT_EQ(d.Parse(Doc("<use xlink:href='#later'/><path d='M0 0 L5 5 Q'/><stop/><rect id='later'/>")),
              SvgStatus::Success);
    EXPECT_EQ(Child(d, 0).reference, nullptr);
    EXPECT_EQ(Child(d, 1).path.Operations().size(), 2u);
    EXPECT_EQ(Child(d, 2).kind, SvgElementKind::Rect);  // the stop outside a gradient made nothing
    EXPECT_EQ(d.FindById("later"), &Child(d, 2));
}

TEST(SvgParser, DefaultsOfGeometryAttributes)
{
    SvgDocument d;
    ASSERT_EQ(d.Parse(Doc("<circle/><rect rx='4'/><linearGradient id='g'/>")), SvgStatus::Success);
    EXPECT_EQ(Child(d, 0).rx.unit, SvgLengthUnit::Percent);
    EXPECT_DOUBLE_EQ(Child(d, 0).rx.value, 100);
    EXPECT_DOUBLE_EQ(Child(d, 1).ry.value, 4);  // a lone rx gives ry too
    EXPECT_DOUBLE_EQ(Child(d, 2).gradient.x2.value, 100);
    EXPECT_EQ(d.Root()->width.unit, SvgLengthUnit::User);
}

TEST(SvgParser, GradientReferenceCopiesStopsFirst)
{
    SvgDocument d;
    ASSERT_EQ(d.Parse(Doc("<linearGradient id='a' spreadMethod='repeat'><stop offset='0.2' stop-color='red'/>"
                          "</linearGradient><radialGradient id='b' xlink:href='#a'>"
                          "<stop offset='50%' style='stop-color:#00ff00' stop-opacity='0.5'/></radialGradient>")),
              SvgStatus::Success);
    const SvgGradient& b = d.FindById("b")->gradient;
    EXPECT_EQ(b.type, SvgGradientType::Radial);
    EXPECT_EQ(b.spread, SvgSpread::Repeat);
    ASSERT_EQ(b.stops.size(), 2u);
    EXPECT_EQ(b.stops[0].rgb, 0xFF0000u);
    EXPECT_DOUBLE_EQ(b.stops[1].offset, 0.5);
    EXPECT_EQ(b.stops[1].rgb, 0x00FF00u);
    EXPECT_DOUBLE_EQ(b.stops[1].opacity, 0.5);
}

TEST(SvgParser, GradientReferenceLendsGeometryOnlyOfItsOwnType)
{
    SvgDocument d;
    ASSERT_EQ(d.Parse(Doc("<linearGradient id='a' x1='10%' x2='30%'/><radialGradient id='r' r='20%'/>"
                          "<linearGradient id='b' xlink:href='#a' y2='5'/><radialGradient id='c' xlink:href='#a'/>"
                          "<linearGradient id='e' xlink:href='#r'/>")),
              SvgStatus::Success);
    const SvgGradient& b = d.FindById("b")->gradient;
    EXPECT_DOUBLE_EQ(b.x1.value, 10);
    EXPECT_DOUBLE_EQ(b.x2.value, 30);
    EXPECT_DOUBLE_EQ(b.y2.value, 5);
    EXPECT_EQ(b.y2.unit, SvgLengthUnit::User);
    const SvgGradient& c = d.FindById("c")->gradient;
    EXPECT_DOUBLE_EQ(c.r.value, 50);
    EXPECT_DOUBLE_EQ(c.fx.value, 50);
    const SvgGradient& e = d.FindById("e")->gradient;
    EXPECT_DOUBLE_EQ(e.x2.value, 100);  // a radial base leaves the linear defaults
    EXPECT_DOUBLE_EQ(e.r.value, 20);
}

TEST(SvgParser, NegativeSizesAreNotTaken)
{
    SvgDocument d;
    ASSERT_EQ(d.Parse(Doc("<circle r='-1'/><ellipse rx='3' ry='-2'/><image width='-4' height='6'/>")),
              SvgStatus::Success);
    EXPECT_GE(Child(d, 0).rx.value, 0);
    EXPECT_DOUBLE_EQ(Child(d, 1).rx.value, 3);
    EXPECT_GE(Child(d, 1).ry.value, 0);
    EXPECT_GE(Child(d, 2).width.value, 0);
}

TEST(SvgParser, TheRootCarriesTheDefaultsAndElementsBelowOnlyWhatTheySet)
{
    SvgDocument d;
    ASSERT_EQ(d.Parse(Doc("<g><rect stroke='red'/></g>", "stroke-width='3'")), SvgStatus::Success);
    const SvgStyle& root = d.Root()->style;
    EXPECT_TRUE(root.IsSet(SvgProperty::StrokeMiterLimit));
    EXPECT_DOUBLE_EQ(root.miterLimit, 4);
    EXPECT_DOUBLE_EQ(root.strokeWidth.value, 3);
    EXPECT_FALSE(root.IsSet(SvgProperty::FontFamily)) << "the engine's own family is the default";
    for (int p = 0; p < int(SvgProperty::Count); ++p) {
        EXPECT_FALSE(Child(d, 0).style.IsSet(SvgProperty(p))) << p;
        EXPECT_EQ(Child(d, 0).children[0]->style.IsSet(SvgProperty(p)), SvgProperty(p) == SvgProperty::Stroke) << p;
    }
}

TEST(SvgParser, TextRunsOfBlanksCollapse)
{
    SvgDocument d;
    ASSERT_EQ(d.Parse(Doc("<text>  a \t b\n c<tspan>skipped</tspan>!</text>")), SvgStatus::Success);
    EXPECT_EQ(Child(d, 0).text, " a b c!");
}

TEST(SvgParser, AspectRuleFollowsTheViewBox)
{
    SvgDocument d;
    ASSERT_EQ(d.Parse("<svg viewBox='0,0 10 10' preserveAspectRatio='xMaxYMin slice'>"
                      "<svg preserveAspectRatio='xMidYMid'/><svg viewBox='0 0 1 1' preserveAspectRatio='none'/>"
                      "</svg>"),
              SvgStatus::Success);
    EXPECT_EQ(d.Root()->aspect.align, SvgAlign::XMaxYMin);
    EXPECT_EQ(d.Root()->aspect.mode, SvgMeetOrSlice::Slice);
    EXPECT_FALSE(Child(d, 0).hasViewBox);
    EXPECT_EQ(Child(d, 1).aspect.align, SvgAlign::None);
}

TEST(SvgParser, BrokenDocumentsAreParseErrors)
{
    for (const char* text : {"", "<svg", "<svg><rect/>", "<svg></g>", "<g/>", "not xml", "<svg/><svg/>",
                             "<!DOCTYPE svg [<!ENTITY a 'x'>]><svg>&b;</svg>"}) {
        SvgDocument d;
        EXPECT_NE(d.Parse(text), SvgStatus::Success) << text;
    }
}
}  // namespace
