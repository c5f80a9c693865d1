// Damaged and hostile pictures fail cleanly: no crash, no hang, no unbounded memory.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>

#include "RasterHelpers.h"

namespace {
using pictorra_test::Doc;
using pictorra_test::RenderStatus;

const std::string kSample = Doc(
    "<defs><linearGradient id='g'><stop offset='0' stop-color='red'/><stop offset='1' stop-color='blue'/>"
    "</linearGradient><g id='drop'><path d='M10 0 C15 10 20 15 10 20 S0 10 10 0Z' fill='url(#g)'/></g></defs>"
    "<g opacity='0.8' transform='translate(5 5) rotate(10)'><use xlink:href='#drop' x='20'/>"
    "<circle cx='50' cy='50' r='20' stroke='black' stroke-dasharray='2 1'/><text x='5' y='90'>Rain</text></g>",
    "viewBox='0 0 100 100'");

TEST(SvgHostileInput, EveryTruncationOfAPictureFails)
{
    ASSERT_EQ(RenderStatus(kSample, 16), SvgStatus::Success);
    for (size_t n = 0; n < kSample.size(); ++n)
        ASSERT_NE(RenderStatus(kSample.substr(0, n), 16), SvgStatus::Success) << n;
}

TEST(SvgHostileInput, RandomlyDamagedPicturesNeverCrash)
{
    std::mt19937 random(12345);
    for (int round = 0; round < 300; ++round) {
        std::string damaged = kSample;
        for (int i = 0; i < 4; ++i) damaged[random() % damaged.size()] = char(random() % 128);
        RenderStatus(damaged, 16);
    }
}

TEST(SvgHostileInput, PathDataAfterACloseEnds)
{
    std::string d = "M0 0 L10 10 Z";
    for (int i = 0; i < 20000; ++i) d += " 10 10";
    EXPECT_EQ(RenderStatus(Doc("<path d='" + d + "'/>")), SvgStatus::Success);  // the path error stays inside its element
}

TEST(SvgHostileInput, UseFanOutIsBounded)
{
    // Each level draws the one before twice: 2^40 elements if nothing stopped it.
    std::string content = "<defs><rect id='l0' width='1' height='1'/>";
    for (int i = 1; i <= 40; ++i) {
        std::string prev = "#l" + std::to_string(i - 1);
        content += "<g id='l" + std::to_string(i) + "'><use xlink:href='" + prev + "'/><use xlink:href='" + prev +
                   "'/></g>";
    }
    content += "</defs><use xlink:href='#l40'/>";
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(RenderStatus(Doc(content)), SvgStatus::InvalidValue);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST(SvgHostileInput, LongUseChainsAndDeepNestingDoNotExhaustTheStack)
{
    std::string chain = "<rect id='u0' width='1' height='1'/>";
    for (int i = 1; i < 5000; ++i)
        chain += "<g id='u" + std::to_string(i) + "'><use xlink:href='#u" + std::to_string(i - 1) + "'/></g>";
    EXPECT_EQ(RenderStatus(Doc("<defs>" + chain + "</defs><use xlink:href='#u4999'/>")), SvgStatus::InvalidValue);

    std::string nested;
    for (int i = 0; i < 5000; ++i) nested += "<g>";
    for (int i = 0; i < 5000; ++i) nested += "</g>";
    EXPECT_NE(RenderStatus(Doc(nested)), SvgStatus::Success);
}

TEST(SvgHostileInput, HugeSizesAndFineDashesStayCheap)
{
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(RenderStatus("<svg width='1e9' height='1e9' opacity='0.5'><rect width='1e9' height='1e9'/></svg>"),
              SvgStatus::Success);
    EXPECT_EQ(RenderStatus(Doc("<line x2='1e7' y2='1e7' stroke='red' stroke-dasharray='0.001'/>")), SvgStatus::Success);
    const std::string hugeText = Doc("<text font-size='1e9'>x</text><rect width='1e300' height='1e300'/>");
    EXPECT_EQ(RenderStatus(hugeText), SvgStatus::InvalidValue);
    EXPECT_EQ(RenderStatus(hugeText), SvgStatus::InvalidValue);
    EXPECT_EQ(RenderStatus(Doc("<text font-size='20'>x</text>")), SvgStatus::Success);
    EXPECT_EQ(RenderStatus(Doc("<g transform='scale(1e300) scale(1e300)'/>")), SvgStatus::InvalidValue);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}
}  // namespace

namespace {

// A radius or centre far beyond any surface, directly or through a transform, ends the picture at once.
TEST(SvgHostileInput, CircleRadius7e83AndScaledEllipsesFailQuickly)
{
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(RenderStatus(Doc("<circle cx='30' cy='30' r='7e83'/>")), SvgStatus::InvalidValue);
    EXPECT_EQ(RenderStatus(Doc("<ellipse cx='30' cy='30' rx='5' ry='9e40'/>")), SvgStatus::InvalidValue);
    EXPECT_EQ(RenderStatus(Doc("<g transform='scale(1e30)'><circle r='5'/></g>")), SvgStatus::InvalidValue);
    EXPECT_EQ(RenderStatus(Doc("<circle cx='1e300' cy='0' r='5'/>")), SvgStatus::InvalidValue);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(RenderStatus(Doc("<circle cx='30' cy='30' r='7000'/>")), SvgStatus::Success);
}

}  // namespace
