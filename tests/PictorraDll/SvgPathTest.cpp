#include <gtest/gtest.h>

#include "SvgArc.h"
#include "SvgPath.h"

namespace {
using Op = SvgPathOp;

TEST(SvgPath, RelativeCommandsAreStoredAbsolute)
{
    SvgPath path;
    ASSERT_EQ(path.ParseData("m10 10 l5 0 z"), SvgStatus::Success);
    EXPECT_EQ(path.Operations(), (std::vector<Op>{Op::MoveTo, Op::LineTo, Op::ClosePath}));
    EXPECT_EQ(path.Arguments(), (std::vector<double>{10, 10, 15, 10}));
}

TEST(SvgPath, EveryCommandResolvesAgainstTheCurrentPoint)
{
    SvgPath path;
    ASSERT_EQ(path.ParseData("M1 2 H5 V6 h1 v1 C1,1 2,2 3,3 c1 1 2 2 3 3 S10 10 11 11 s1 1 2 2 "
                             "Q20 20 21 21 q1 1 2 2 T30 30 t1 1 A5 5 0 0 1 40 40 a5 5 0 1 0 1 1 Z"),
              SvgStatus::Success);
    EXPECT_EQ(path.Operations(),
              (std::vector<Op>{Op::MoveTo, Op::LineTo, Op::LineTo, Op::LineTo, Op::LineTo, Op::CurveTo, Op::CurveTo,
                               Op::CurveTo, Op::CurveTo, Op::QuadraticCurveTo, Op::QuadraticCurveTo,
                               Op::QuadraticCurveTo, Op::QuadraticCurveTo, Op::ArcTo, Op::ArcTo, Op::ClosePath}));
    const std::vector<double> expected = {
        1, 2,                                   // M
        5, 2, 5, 6, 6, 6, 6, 7,                 // H V h v
        1, 1, 2, 2, 3, 3,                       // C
        4, 4, 5, 5, 6, 6,                       // c from (3,3)
        7, 7, 10, 10, 11, 11,                   // S: control reflected about (6,6)
        12, 12, 12, 12, 13, 13,                 // s: reflected (10,10) about (11,11)
        20, 20, 21, 21,                         // Q
        22, 22, 23, 23,                         // q from (21,21)
        24, 24, 30, 30,                         // T: (22,22) reflected about (23,23)
        36, 36, 31, 31,                         // t: (24,24) reflected about (30,30), end (31,31)
        5, 5, 0, 0, 1, 40, 40,                  // A
        5, 5, 0, 1, 0, 41, 41,                  // a: only the end point is relative
    };
    EXPECT_EQ(path.Arguments(), expected);
}

TEST(SvgPath, SmoothCurveAfterMoveUsesTheCurrentPoint)
{
    SvgPath path;
    ASSERT_EQ(path.ParseData("M5 5 S10 10 20 20 T30 30"), SvgStatus::Success);
    EXPECT_EQ(path.Arguments(), (std::vector<double>{5, 5, 5, 5, 10, 10, 20, 20, 20, 20, 30, 30}));
}

TEST(SvgPath, RepeatedPairsAfterMoveAreMoves)
{
    SvgPath path;
    ASSERT_EQ(path.ParseData("M0 0 10 10,20,20"), SvgStatus::Success);
    EXPECT_EQ(path.Operations(), (std::vector<Op>{Op::MoveTo, Op::MoveTo, Op::MoveTo}));
}

TEST(SvgPath, UnknownLetterFailsAndKeepsEarlierOperations)
{
    SvgPath path;
    EXPECT_EQ(path.ParseData("M0 0 L10 10 X 5 5"), SvgStatus::ParseError);
    EXPECT_EQ(path.Operations().size(), 2u);
}

TEST(SvgPath, IncompleteGroupIsParseError)
{
    SvgPath path;
    EXPECT_EQ(path.ParseData("M0 0 L10"), SvgStatus::ParseError);
    EXPECT_EQ(path.ParseData("C1 2 3 4 5"), SvgStatus::ParseError);
}

TEST(SvgPath, CloseReadsNoArgumentsSoNumbersAfterItEndTheParse)
{
    SvgPath path;
    EXPECT_EQ(path.ParseData("M0 0 L10 0 Z 10 10"), SvgStatus::ParseError);
    EXPECT_EQ(path.Operations(), (std::vector<Op>{Op::MoveTo, Op::LineTo, Op::ClosePath}));
    SvgPath closed;
    ASSERT_EQ(closed.ParseData("M1 1 L5 1 z l1 1"), SvgStatus::Success);
    EXPECT_EQ(closed.Arguments(), (std::vector<double>{1, 1, 5, 1, 2, 2}));  // close returns to (1,1)
}

TEST(SvgPath, ArcFlagsAreOneCharacterEachAndCommasStandBetweenNumbers)
{
    SvgPath arcs;
    ASSERT_EQ(arcs.ParseData("M0 0A5.5.3-4 010-.1a 25 25 0 10 -25 25"), SvgStatus::Success);
    EXPECT_EQ(arcs.Arguments(), (std::vector<double>{0, 0, 5.5, .3, -4, 0, 1, 0, -.1, 25, 25, 0, 1, 0, -25, 24.9}));
    SvgPath pairs;
    ASSERT_EQ(pairs.ParseData("M0,0,10,10 L 5,5 , 6,6"), SvgStatus::Success);
    EXPECT_EQ(pairs.Operations(), (std::vector<Op>{Op::MoveTo, Op::MoveTo, Op::LineTo, Op::LineTo}));
}

TEST(SvgPath, AFlagOtherThanZeroOrOneOrAStrayCommaEndsTheDataAfterWhatCameBefore)
{
    for (const char* bad : {"M0 0 L1 1 A1 1 0 2 0 5 5", "M0 0 L1 1 A1 1 0 0 +1 5 5", "M0 0 L1 1 A1 1 0 0,,1 5 5",
                            "M0 0 L10 10 L,20 20", "M0 0 L10 10, L20 20", "M0 0 L10 10,"}) {
        SvgPath path;
        EXPECT_EQ(path.ParseData(bad), SvgStatus::ParseError) << bad;
        EXPECT_EQ(path.Operations().size(), 2u) << bad;
    }
}

TEST(SvgPath, NumbersOutOfRangeOrMalformedAreRejected)
{
    SvgPath path;
    EXPECT_EQ(path.ParseData("M1e999 0"), SvgStatus::ParseError);
    EXPECT_EQ(path.ParseData("M. 0"), SvgStatus::ParseError);
    SvgPath ok;
    EXPECT_EQ(ok.ParseData("M-1.5e1+2 L.5.5"), SvgStatus::Success);
    EXPECT_EQ(ok.Arguments(), (std::vector<double>{-15, 2, 0.5, 0.5}));
}

TEST(SvgPath, PointsMakeMovesLinesAndACloseForPolygons)
{
    SvgPath polygon;
    ASSERT_EQ(polygon.ParsePoints("0,0 10 0 10,10", true), SvgStatus::Success);
    EXPECT_EQ(polygon.Operations(), (std::vector<Op>{Op::MoveTo, Op::LineTo, Op::LineTo, Op::ClosePath}));
    SvgPath empty;
    EXPECT_EQ(empty.ParsePoints("", true), SvgStatus::Success);
    EXPECT_TRUE(empty.Operations().empty());
    SvgPath odd;
    EXPECT_EQ(odd.ParsePoints("0 0 10", false), SvgStatus::ParseError);
}

void ExpectNear(const SvgCubic& c, std::initializer_list<double> v)
{
    auto it = v.begin();
    for (double got : {c.x1, c.y1, c.x2, c.y2, c.x, c.y}) EXPECT_NEAR(got, *it++, 1e-3);
}

TEST(SvgArc, HalfTurnIsTwoCurves)
{
    auto curves = SvgArc::ToCurves(0, 0, 50, 50, 0, false, true, 100, 0);
    ASSERT_EQ(curves.size(), 2u);
    ExpectNear(curves[0], {0, -27.614, 22.386, -50, 50, -50});
    EXPECT_NEAR(curves[1].x, 100, 1e-9);
    EXPECT_NEAR(curves[1].y, 0, 1e-9);
}

TEST(SvgArc, RadiiTooSmallOrNegativeGiveTheSameCurves)
{
    auto reference = SvgArc::ToCurves(0, 0, 50, 50, 0, false, true, 100, 0);
    for (double r : {10.0, -50.0}) {
        auto curves = SvgArc::ToCurves(0, 0, r, r, 0, false, true, 100, 0);
        ASSERT_EQ(curves.size(), 2u);
        ExpectNear(curves[0], {reference[0].x1, reference[0].y1, reference[0].x2, reference[0].y2, 50, -50});
    }
}

TEST(SvgArc, SegmentCountFollowsTheTurn)
{
    EXPECT_EQ(SvgArc::ToCurves(0, 0, 10, 10, 0, false, true, 10, 10).size(), 1u);   // quarter
    EXPECT_EQ(SvgArc::ToCurves(0, 0, 10, 10, 0, true, true, 10, 10).size(), 3u);    // three quarters
    EXPECT_EQ(SvgArc::ToCurves(0, 0, 10, 10, 0, true, true, 0.01, 0).size(), 4u);   // nearly full
    EXPECT_TRUE(SvgArc::ToCurves(5, 5, 10, 10, 0, false, true, 5, 5).empty());      // end is start
}
}  // namespace
