// CreatePen's wide pens: the box of a straight line, round ends and joins, the dot of a line of
// no length, dashed styles drawing solid when wide, and bad input (huge widths and coordinates).
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "raster/objects.h"
#include "raster_fill_canvas.h"

namespace kelvane {
namespace {

using namespace gdi;
using test::FillCanvas;
using test::Selected;
using test::Stopwatch;

constexpr COLORREF kBlack = RGB(0, 0, 0);

// The pixel map of a w x h canvas after a line from (x0, y0) to (x1, y1) with a black pen of the
// style and width.
std::string lineMap(int w, int h, int style, int width, int x0, int y0, int x1, int y1) {
    FillCanvas c(w, h);
    Selected pen(c.dc(), CreatePen(style, width, kBlack));
    MoveToEx(c.dc(), x0, y0, nullptr);
    LineTo(c.dc(), x1, y1);
    return c.map();
}

TEST(WidePen, AHorizontalLineCoversWidthRowsStartingHalfAWidthAboveWithRoundEnds) {
    // The end discs sit in the box of the pen's width starting width / 2 before each end point.
    EXPECT_EQ(lineMap(12, 8, PS_SOLID, 4, 3, 4, 8, 4),
              "............\n"
              "............\n"
              "..#######...\n"
              ".#########..\n"
              ".#########..\n"
              "..#######...\n"
              "............\n"
              "............\n");
}

TEST(WidePen, ALineOfNoLengthIsADot) {
    EXPECT_EQ(lineMap(7, 7, PS_SOLID, 3, 3, 3, 3, 3),
              ".......\n"
              ".......\n"
              "...#...\n"
              "..###..\n"
              "...#...\n"
              ".......\n"
              ".......\n");
}

TEST(WidePen, DashedStylesDrawSolidWhenWide) {
    EXPECT_EQ(lineMap(60, 10, PS_SOLID, 3, 2, 3, 57, 6), lineMap(60, 10, PS_DASHDOT, 3, 2, 3, 57, 6));
}

TEST(WidePen, RoundJoinsFillTheOutsideOfATurn) {
    FillCanvas c(12, 12);
    Selected pen(c.dc(), CreatePen(PS_SOLID, 5, kBlack));
    const POINT points[3] = {{2, 9}, {9, 9}, {9, 2}};
    Polyline(c.dc(), points, 3);
    // Without a join the corner pixel beyond both boxes would stay empty.
    EXPECT_EQ(c.at(11, 10), kBlack);
    EXPECT_EQ(c.at(11, 11), RGB(255, 255, 255));
}

TEST(WidePen, InsideFramePensOutlineRectanglesWithinTheirBox) {
    FillCanvas c(20, 20);
    Selected pen(c.dc(), CreatePen(PS_INSIDEFRAME, 4, kBlack));
    SelectObject(c.dc(), GetStockObject(NULL_BRUSH));
    Rectangle(c.dc(), 3, 3, 15, 15);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(c.at(2, i), RGB(255, 255, 255));
        EXPECT_EQ(c.at(15, i), RGB(255, 255, 255));
    }
    EXPECT_EQ(c.at(3, 8), kBlack);
    EXPECT_EQ(c.at(14, 8), kBlack);
}

TEST(WidePen, HugeWidthsCoverTheCanvasQuickly) {
    FillCanvas c(40, 30);
    Stopwatch clock;
    {
        Selected pen(c.dc(), CreatePen(PS_SOLID, INT_MAX, kBlack));
        MoveToEx(c.dc(), 5, 5, nullptr);
        LineTo(c.dc(), 30, 20);
        const POINT points[4] = {{0, 0}, {10, 3}, {10, 3}, {-5, 20}};
        Polyline(c.dc(), points, 4);
        Polygon(c.dc(), points, 4);
    }
    EXPECT_EQ(c.count(kBlack), 40 * 30);
    {
        Selected pen(c.dc(), CreatePen(PS_SOLID, -1000000, RGB(1, 2, 3)));
        MoveToEx(c.dc(), 20, 15, nullptr);
        LineTo(c.dc(), 20, 15);
    }
    EXPECT_EQ(c.count(RGB(1, 2, 3)), 40 * 30);
    {
        // The most negative width has no positive counterpart: it is the widest pen.
        Selected pen(c.dc(), CreatePen(PS_SOLID, INT_MIN, RGB(4, 5, 6)));
        MoveToEx(c.dc(), 20, 15, nullptr);
        LineTo(c.dc(), 20, 15);
    }
    EXPECT_EQ(c.count(RGB(4, 5, 6)), 40 * 30);
    EXPECT_LT(clock.ms(), 1000.0);
}

TEST(WidePen, HugeCoordinatesFinishQuickly) {
    FillCanvas c(32, 32);
    Selected pen(c.dc(), CreatePen(PS_SOLID, 6, kBlack));
    Stopwatch clock;
    const int extremes[] = {INT_MIN, -1000000000, 16, 1000000000, INT_MAX};
    for (int x0 : extremes)
        for (int y0 : extremes)
            for (int x1 : extremes) {
                MoveToEx(c.dc(), x0, y0, nullptr);
                LineTo(c.dc(), x1, -(y0 / 3));
            }
    const POINT far[5] = {{INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {16, 16}, {INT_MIN, INT_MAX}, {INT_MAX, INT_MIN}};
    Polyline(c.dc(), far, 5);
    Polygon(c.dc(), far, 5);
    EXPECT_LT(clock.ms(), 1000.0);
    EXPECT_GT(c.count(kBlack), 0);
}

TEST(WidePen, CallsOnANullContextOrWithoutPointsFail) {
    EXPECT_FALSE(LineTo(nullptr, 1, 1));
    FillCanvas c(4, 4);
    Selected pen(c.dc(), CreatePen(PS_SOLID, 3, kBlack));
    EXPECT_FALSE(Polyline(c.dc(), nullptr, 2));
    EXPECT_EQ(c.count(kBlack), 0);
}

}  // namespace
}  // namespace kelvane
