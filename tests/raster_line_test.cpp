// Solid one-pixel lines: pixel choice and end-point exclusion, the current position, Polyline and
// PolylineTo, path recording, and bad input (null contexts, no surface, huge coordinates).
#include <gtest/gtest.h>

#include <climits>

#include "raster/objects.h"
#include "raster_fill_canvas.h"

namespace kelvane {
namespace {

using namespace gdi;
using test::FillCanvas;
using test::Selected;
using test::Stopwatch;

TEST(Line, LeavesOutItsEndPointAndTakesTheUpperPixelOnATie) {
    FillCanvas c(6, 3);
    MoveToEx(c.dc(), 0, 0, nullptr);
    ASSERT_TRUE(LineTo(c.dc(), 4, 1));
    EXPECT_EQ(c.map(),
              "###...\n"
              "...#..\n"
              "......\n");
}

TEST(Line, OfNoLengthDrawsNothing) {
    FillCanvas c(5, 5);
    MoveToEx(c.dc(), 2, 2, nullptr);
    EXPECT_TRUE(LineTo(c.dc(), 2, 2));
    const POINT same[3] = {{1, 1}, {1, 1}, {1, 1}};
    EXPECT_TRUE(Polyline(c.dc(), same, 3));
    EXPECT_EQ(c.count(RGB(255, 255, 255)), 25);
}

TEST(Line, MovesTheCurrentPositionAndMoveToReportsThePreviousOne) {
    FillCanvas c(8, 8);
    MoveToEx(c.dc(), 1, 2, nullptr);
    LineTo(c.dc(), 5, 2);
    POINT previous{0, 0};
    MoveToEx(c.dc(), 0, 0, &previous);
    EXPECT_EQ(previous.x, 5);
    EXPECT_EQ(previous.y, 2);
}

TEST(Line, PolylineToStrokesFromTheCurrentPositionAndEndsAtItsLastPoint) {
    FillCanvas c(8, 4);
    MoveToEx(c.dc(), 0, 1, nullptr);
    const POINT points[2] = {{4, 1}, {4, 3}};
    ASSERT_TRUE(PolylineTo(c.dc(), points, 2));
    EXPECT_EQ(c.map(),
              "........\n"
              "#####...\n"
              "....#...\n"
              "........\n");
    POINT at{0, 0};
    GetCurrentPositionEx(c.dc(), &at);
    EXPECT_EQ(at.x, 4);
    EXPECT_EQ(at.y, 3);
}

TEST(Line, PolylineLeavesTheCurrentPositionAlone) {
    FillCanvas c(8, 8);
    MoveToEx(c.dc(), 7, 7, nullptr);
    const POINT points[3] = {{0, 0}, {5, 0}, {5, 5}};
    ASSERT_TRUE(Polyline(c.dc(), points, 3));
    POINT at{0, 0};
    GetCurrentPositionEx(c.dc(), &at);
    EXPECT_EQ(at.x, 7);
    EXPECT_EQ(at.y, 7);
    EXPECT_EQ(c.count(RGB(0, 0, 0)), 10);
}

TEST(Line, InsideAPathIsRecordedInsteadOfDrawn) {
    FillCanvas c(8, 8);
    ASSERT_TRUE(BeginPath(c.dc()));
    MoveToEx(c.dc(), 0, 0, nullptr);
    LineTo(c.dc(), 7, 7);
    const POINT points[3] = {{0, 7}, {7, 0}, {3, 3}};
    Polyline(c.dc(), points, 3);
    PolylineTo(c.dc(), points, 2);
    ASSERT_TRUE(EndPath(c.dc()));
    EXPECT_EQ(c.count(RGB(255, 255, 255)), 64);
    EXPECT_GE(c.dc()->path.points.size(), 7u);
}

TEST(Line, CallsOnANullContextFailWithoutCrashing) {
    const POINT points[2] = {{0, 0}, {5, 5}};
    EXPECT_FALSE(MoveToEx(nullptr, 1, 1, nullptr));
    EXPECT_FALSE(LineTo(nullptr, 1, 1));
    EXPECT_FALSE(Polyline(nullptr, points, 2));
    EXPECT_FALSE(PolylineTo(nullptr, points, 2));
}

TEST(Line, PolylinesWithTooFewPointsOrNoneAreRefused) {
    FillCanvas c(4, 4);
    const POINT one[1] = {{1, 1}};
    EXPECT_FALSE(Polyline(c.dc(), one, 1));
    EXPECT_FALSE(Polyline(c.dc(), nullptr, 3));
    EXPECT_FALSE(PolylineTo(c.dc(), one, 0));
    EXPECT_FALSE(PolylineTo(c.dc(), nullptr, 1));
}

TEST(Line, AContextWithoutItsOwnBitmapSucceedsAndDrawsNowhere) {
    HDC dc = CreateCompatibleDC(nullptr);
    MoveToEx(dc, 0, 0, nullptr);
    EXPECT_TRUE(LineTo(dc, 100, 100));
    const POINT points[3] = {{0, 0}, {5, 5}, {9, 0}};
    EXPECT_TRUE(Polyline(dc, points, 3));
    DeleteDC(dc);
}

TEST(Line, HugeCoordinatesFinishQuicklyAndStayOnTheCanvas) {
    FillCanvas c(32, 32);
    Stopwatch clock;
    const int extremes[] = {INT_MIN, INT_MIN + 1, -1000000000, 1000000000, INT_MAX - 1, INT_MAX};
    for (int x0 : extremes)
        for (int y1 : extremes) {
            MoveToEx(c.dc(), x0, 16, nullptr);
            LineTo(c.dc(), 16, y1);
            MoveToEx(c.dc(), x0, y1, nullptr);
            LineTo(c.dc(), -(x0 / 2), 5);
        }
    const POINT far[4] = {{INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MIN, INT_MAX}, {INT_MAX, INT_MIN}};
    Polyline(c.dc(), far, 4);
    Polygon(c.dc(), far, 4);
    EXPECT_LT(clock.ms(), 1000.0);
    EXPECT_GT(c.count(RGB(0, 0, 0)), 0);
}

TEST(Line, CrossingTheCanvasFromFarAwayHitsTheSamePixelsAsFromNearby) {
    // The pixel of each step depends on its index only, so clipping does not shift the line.
    FillCanvas near(40, 40), far(40, 40);
    MoveToEx(near.dc(), -7, 3, nullptr);
    LineTo(near.dc(), 60, 30);
    const long k = 20000000;  // the same line, started k steps earlier
    MoveToEx(far.dc(), int(-7 - 67 * k), int(3 - 27 * k), nullptr);
    LineTo(far.dc(), 60, 30);
    EXPECT_EQ(near.map(), far.map());
}

}  // namespace
}  // namespace kelvane
