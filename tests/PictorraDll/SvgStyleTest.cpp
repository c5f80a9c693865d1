#include <gtest/gtest.h>

#include <vector>

#include "SvgAttributes.h"
#include "SvgColor.h"
#include "SvgLength.h"
#include "SvgStyle.h"

namespace {

uint32_t Color(const char* text)
{
    SvgColor c;
    EXPECT_EQ(SvgColor::Parse(text, c), SvgStatus::Success) << text;
    return c.rgb;
}

TEST(SvgColor, HashRgbKeywordsAndCurrentColor)
{
    EXPECT_EQ(Color("#abc"), 0xAABBCCu);
    EXPECT_EQ(Color("#ab"), 0u);
    EXPECT_EQ(Color("#12345678"), 0x123456u);
    EXPECT_EQ(Color("#zz0000"), 0x000000u);
    EXPECT_EQ(Color("rgb(100%, 50%, 0)"), 0xFF7F00u);
    EXPECT_EQ(Color("rgb(300,-5,16)"), 0xFF0010u);
    EXPECT_EQ(Color("LightGoldenRodYellow"), 0xFAFAD2u);
    EXPECT_EQ(Color("nosuchcolour"), 0u);
    SvgColor c;
    EXPECT_EQ(SvgColor::Parse("rgb(1, 2)", c), SvgStatus::ParseError);
    ASSERT_EQ(SvgColor::Parse("currentColor", c), SvgStatus::Success);
    EXPECT_TRUE(c.isCurrentColor);
}

struct Attributes {
    explicit Attributes(std::vector<const char*> pairs) : list(std::move(pairs)) { list.push_back(nullptr); }
    SvgAttributes View() const { return SvgAttributes(list.data()); }
    std::vector<const char*> list;
};

SvgStatus ReadStyle(SvgStyle& style, std::vector<const char*> pairs)
{
    Attributes a(std::move(pairs));
    return style.Read(a.View(), [](std::string_view, SvgPaint&) { return SvgStatus::ParseError; });
}

TEST(SvgStyle, PresentationAttributesWinOverTheStyleAttribute)
{
    SvgStyle style;
    ASSERT_EQ(ReadStyle(style, {"style", "fill:red; stroke : blue;bogus;font-size: 12", "fill", "blue"}),
              SvgStatus::Success);
    EXPECT_EQ(style.fill.color.rgb, 0x0000FFu);
    EXPECT_FALSE(style.IsSet(SvgProperty::Stroke));  // "stroke " is not a property name
    EXPECT_TRUE(style.IsSet(SvgProperty::FontSize));
}

TEST(SvgStyle, BadValuesInTheStyleAttributeAreIgnored)
{
    SvgStyle style;
    ASSERT_EQ(ReadStyle(style, {"style", "fill:url(#missing);stroke-linecap:wide;opacity:0.5"}), SvgStatus::Success);
    EXPECT_FALSE(style.IsSet(SvgProperty::Fill));
    EXPECT_FALSE(style.IsSet(SvgProperty::StrokeLineCap));
    EXPECT_DOUBLE_EQ(style.opacity, 0.5);
}

TEST(SvgStyle, WeightsAndOpacitiesParseAsGiven)
{
    SvgStyle style;
    ASSERT_EQ(ReadStyle(style, {"font-weight", "950", "fill-opacity", "50%", "stroke-opacity", "2"}),
              SvgStatus::Success);
    EXPECT_EQ(style.fontWeight, 900);
    EXPECT_DOUBLE_EQ(style.fillOpacity, 0.5);
    EXPECT_DOUBLE_EQ(style.strokeOpacity, 2);
    SvgStyle bolder;
    ASSERT_EQ(ReadStyle(bolder, {"font-weight", "bolder"}), SvgStatus::Success);
    EXPECT_EQ(bolder.fontWeight, 500);
}

TEST(SvgStyle, InheritIsAcceptedOnlyWhereTheTableAllowsIt)
{
    SvgStyle style;
    EXPECT_EQ(ReadStyle(style, {"visibility", "inherit"}), SvgStatus::Success);
    EXPECT_FALSE(style.IsSet(SvgProperty::Visibility));
    EXPECT_EQ(ReadStyle(style, {"stroke-linecap", "inherit"}), SvgStatus::ParseError);
}

TEST(SvgStyle, AFailingAttributeStopsTheLaterOnes)
{
    SvgStyle style;
    // fill comes before stroke in table order; the unresolved paint ends the reading.
    EXPECT_EQ(ReadStyle(style, {"stroke", "red", "fill", "url(#later)"}), SvgStatus::ParseError);
    EXPECT_FALSE(style.IsSet(SvgProperty::Stroke));
}

TEST(SvgStyle, DisplayAndVisibilityWords)
{
    SvgStyle style;
    ASSERT_EQ(ReadStyle(style, {"display", "table-cell", "visibility", "collapse"}), SvgStatus::Success);
    EXPECT_TRUE(style.IsDisplayed());
    EXPECT_FALSE(style.IsVisible());
    EXPECT_EQ(ReadStyle(style, {"display", "flex"}), SvgStatus::ParseError);
}
// The look-ups that the parser runs on every attribute: a name finds its own entry and nothing else,
// also beside names that share its first letter or are its prefix.
TEST(SvgStyle, PropertyNamesFindTheirPropertyAndNearNamesNone)
{
    const char* names[] = {"color", "display", "fill-opacity", "fill", "fill-rule", "font-family", "font-size",
                           "font-style", "font-weight", "opacity", "stroke-dasharray", "stroke-dashoffset",
                           "stroke-linecap", "stroke-linejoin", "stroke-miterlimit", "stroke-opacity", "stroke",
                           "stroke-width", "text-anchor", "visibility", "stop-opacity", "stop-color"};
    static_assert(std::size(names) == size_t(SvgProperty::Count));
    for (int i = 0; i < int(SvgProperty::Count); ++i) EXPECT_EQ(SvgPropertyByName(names[i]), SvgProperty(i)) << names[i];
    for (const char* near : {"", "f", "fil", "fill-", "fills", "Fill", "stroke-widths", "stop", "s", "x", "offset",
                             "opacity ", "\xff", "visibility\n"})
        EXPECT_EQ(SvgPropertyByName(near), SvgProperty::Count) << near;
}

TEST(SvgAttributes, FindTakesTheFirstOfExactlyThatName)
{
    Attributes a({"x", "1", "x1", "2", "xlink:href", "#a", "x1", "3", "y", "4"});
    EXPECT_EQ(a.View().Find("x1"), "2");
    EXPECT_EQ(a.View().Find("x"), "1");
    EXPECT_EQ(a.View().Find("y"), "4");
    EXPECT_FALSE(a.View().Find("x2"));
    EXPECT_FALSE(a.View().Find("xlink"));
    EXPECT_FALSE(a.View().Find(""));
    EXPECT_FALSE(Attributes({}).View().Find("x"));
}

TEST(SvgLength, ABareNumberOrOneWithAUnit)
{
    SvgLength l;
    ASSERT_EQ(SvgLength::Parse(" 64 ", SvgOrientation::Horizontal, l), SvgStatus::Success);
    EXPECT_EQ(l.unit, SvgLengthUnit::User);
    EXPECT_DOUBLE_EQ(l.value, 64);
    ASSERT_EQ(SvgLength::Parse("2.5mm", SvgOrientation::Vertical, l), SvgStatus::Success);
    EXPECT_EQ(l.unit, SvgLengthUnit::Mm);
    ASSERT_EQ(SvgLength::Parse("50% ", SvgOrientation::Vertical, l), SvgStatus::Success);
    EXPECT_EQ(l.unit, SvgLengthUnit::Percent);
    for (const char* bad : {"5 px", "5p", "5pxx", "px", "", "5,"})
        EXPECT_EQ(SvgLength::Parse(bad, SvgOrientation::Horizontal, l), SvgStatus::ParseError) << bad;
}
}  // namespace
