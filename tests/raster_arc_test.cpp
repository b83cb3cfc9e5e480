// Arcs and ArcTo: which outline vertices two radials select in either direction, the whole
// ellipse for equal radials, ArcTo's line and the position it leaves, and bad input.
#include <gtest/gtest.h>

#include <climits>

#include "raster/objects.h"
#include "raster_fill_canvas.h"

namespace kelvane {
namespace {

using namespace gdi;
using test::currentPosition;
using test::FillCanvas;
using test::Selected;
using test::Stopwatch;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// Pixel maps below were drawn by the reference renderer.

TEST(Arc, FromTheRightRadialToTheTopOneItRunsCounterClockwiseByDefault) {
    FillCanvas c(14, 14);
    ASSERT_TRUE(Arc(c.dc(), 2, 2, 13, 13, 20, 7, 7, -20));
    EXPECT_EQ(c.map(),
              "..............\n"
              "..............\n"
              ".........#....\n"
              "..........#...\n"
              "...........#..\n"
              "............#.\n"
              "............#.\n"
              "............#.\n"
              "..............\n"
              "..............\n"
              "..............\n"
              "..............\n"
              "..............\n"
              "..............\n");
}

TEST(Arc, ClockwiseTheSameRadialsTakeTheOtherThreeQuarters) {
    FillCanvas c(14, 14);
    EXPECT_EQ(SetArcDirection(c.dc(), AD_CLOCKWISE), AD_COUNTERCLOCKWISE);
    ASSERT_TRUE(Arc(c.dc(), 2, 2, 13, 13, 20, 7, 7, -20));
    EXPECT_EQ(c.map(),
              "..............\n"
              "..............\n"
              ".....##.......\n"
              "....#.........\n"
              "...#..........\n"
              "..#...........\n"
              "..#...........\n"
              "..#.........#.\n"
              "..#.........#.\n"
              "..#.........#.\n"
              "...#.......#..\n"
              "....#.....#...\n"
              ".....#####....\n"
              "..............\n");
}

TEST(Arc, EqualRadialsDrawTheWholeOutlineButItsLastPixel) {
    FillCanvas arc(40, 30), ellipse(40, 30);
    SelectObject(ellipse.dc(), GetStockObject(NULL_BRUSH));
    ASSERT_TRUE(Arc(arc.dc(), 3, 2, 37, 27, 50, 9, 50, 9));
    ASSERT_TRUE(Ellipse(ellipse.dc(), 3, 2, 37, 27));
    const int outline = ellipse.count(RGB(0, 0, 0));
    EXPECT_EQ(arc.count(RGB(0, 0, 0)), outline - 1);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            if (arc.at(x, y) != kWhite) {
                ASSERT_EQ(ellipse.at(x, y), arc.at(x, y));
            }
}

TEST(Arc, ArcToJoinsThePositionToTheArcAndLeavesItOnTheIdealEllipse) {
    FillCanvas c(16, 16);
    MoveToEx(c.dc(), 0, 15, nullptr);
    ASSERT_TRUE(ArcTo(c.dc(), 2, 2, 13, 13, 20, 7, 7, -20));
    EXPECT_EQ(currentPosition(c.dc()).x, 7);
    EXPECT_EQ(currentPosition(c.dc()).y, 2);
    Selected pen(c.dc(), CreatePen(PS_SOLID, 1, kBlue));
    LineTo(c.dc(), 15, 0);
    EXPECT_EQ(c.map(),
              ".............##.\n"
              ".........####...\n"
              ".......###......\n"
              "..........#.....\n"
              "...........#....\n"
              "............#...\n"
              "............#...\n"
              "............#...\n"
              "..........##....\n"
              ".........#......\n"
              ".......##.......\n"
              "......#.........\n"
              "....##..........\n"
              "...#............\n"
              ".##.............\n"
              "#...............\n");
    EXPECT_EQ(c.at(9, 2), RGB(0, 0, 0));  // the arc's last pixel, before the blue line
    EXPECT_EQ(c.at(7, 2), kBlue);
}

TEST(Arc, ArcToWithAnEmptyBoxDrawsNothingAndMovesToItsCentreOrNowhere) {
    FillCanvas c(16, 16);
    MoveToEx(c.dc(), 15, 11, nullptr);
    ASSERT_TRUE(ArcTo(c.dc(), 3, 3, 3, 9, 0, 0, 20, 0));
    EXPECT_EQ(c.count(kWhite), 16 * 16);
    EXPECT_EQ(currentPosition(c.dc()).x, 3);
    EXPECT_EQ(currentPosition(c.dc()).y, 6);
    // A radial along the missing side has no meeting point: the platform's conversion of that
    // gives the most negative coordinate.
    ASSERT_TRUE(ArcTo(c.dc(), 33, 42, 33, 42, 33, 42, 33, 41));
    EXPECT_EQ(currentPosition(c.dc()).x, INT_MIN);
    EXPECT_EQ(currentPosition(c.dc()).y, INT_MIN);
}

TEST(Arc, TinyBoxesFollowTheReferenceRenderersCornerCases) {
    // A 2 x 22 box: the start radial's vertex is its quarter's centre, which counts as reached.
    FillCanvas c(24, 32);
    ASSERT_TRUE(Arc(c.dc(), 12, 8, 14, 30, 14, 12, 14, -23));
    EXPECT_EQ(c.at(12, 18), RGB(0, 0, 0));
    EXPECT_EQ(c.at(13, 18), RGB(0, 0, 0));
    EXPECT_EQ(c.at(12, 19), RGB(0, 0, 0));
    EXPECT_EQ(c.count(RGB(0, 0, 0)), 3);
    // Clockwise, a start that wraps past the first vertex onto the end's vertex draws nothing,
    // not even ArcTo's line.
    FillCanvas d(30, 30);
    SetArcDirection(d.dc(), AD_CLOCKWISE);
    MoveToEx(d.dc(), 15, 15, nullptr);
    ASSERT_TRUE(ArcTo(d.dc(), 14, 12, 15, 18, 15, 13, 14, 18));
    EXPECT_EQ(d.count(kWhite), 30 * 30);
}

TEST(Arc, ANullContextFails) {
    EXPECT_FALSE(Arc(nullptr, 0, 0, 10, 10, 0, 0, 10, 10));
    EXPECT_FALSE(ArcTo(nullptr, 0, 0, 10, 10, 0, 0, 10, 10));
}

TEST(Arc, HugeCoordinatesAndRadialsFinishQuickly) {
    FillCanvas c(64, 48);
    Stopwatch watch;
    EXPECT_TRUE(Arc(c.dc(), INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MIN, INT_MIN, INT_MAX, INT_MAX));
    EXPECT_TRUE(Arc(c.dc(), -70000, 10, 70000, 40, 1, 1, 2, 2));
    EXPECT_TRUE(Arc(c.dc(), -60000, -60000, 60000, 60000, 0, 0, INT_MAX, INT_MIN));
    EXPECT_TRUE(Arc(c.dc(), 5, 5, 40, 40, INT_MAX, INT_MAX, INT_MIN, INT_MIN));
    MoveToEx(c.dc(), INT_MAX, INT_MIN, nullptr);
    EXPECT_TRUE(ArcTo(c.dc(), INT_MIN, 10, INT_MAX, 40, INT_MIN, 0, INT_MAX, 0));
    EXPECT_TRUE(LineTo(c.dc(), 10, 10));
    Selected pen(c.dc(), CreatePen(PS_SOLID, 100000, kBlue));
    EXPECT_TRUE(Arc(c.dc(), 5, 5, 40, 40, 0, 0, 60, 60));
    EXPECT_LT(watch.ms(), 2000.0);
}

}  // namespace
}  // namespace kelvane
