// Rectangles: outline and fill boxes for every kind of pen, inside-frame pens, corner order,
// FillRect's reversed sides, FrameRect's refusals, paths, and bad input (null contexts, huge
// coordinates, zero and huge pen widths).
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

constexpr COLORREF kBlue = RGB(0, 0, 255);

TEST(Rectangle, TheStockPenOutlinesTheBoxAndTheBrushFillsInsideRightAndBottomExcluded) {
    FillCanvas c(8, 7);
    Selected brush(c.dc(), CreateSolidBrush(kBlue));
    ASSERT_TRUE(Rectangle(c.dc(), 1, 1, 6, 5));
    EXPECT_EQ(c.map(),
              "........\n"
              ".#####..\n"
              ".#####..\n"
              ".#####..\n"
              ".#####..\n"
              "........\n"
              "........\n");
    EXPECT_EQ(c.at(1, 1), RGB(0, 0, 0));
    EXPECT_EQ(c.at(2, 2), kBlue);
    EXPECT_EQ(c.count(kBlue), 3 * 2);
}

TEST(Rectangle, WithoutAPenTheFillLosesTheRightColumnAndBottomRow) {
    FillCanvas c(8, 7);
    Selected brush(c.dc(), CreateSolidBrush(kBlue));
    SelectObject(c.dc(), GetStockObject(NULL_PEN));
    ASSERT_TRUE(Rectangle(c.dc(), 6, 5, 1, 1));  // corners in either order
    EXPECT_EQ(c.count(kBlue), 4 * 3);
    EXPECT_EQ(c.at(1, 1), kBlue);
    EXPECT_EQ(c.at(5, 4), RGB(255, 255, 255));
}

TEST(Rectangle, EmptyBoxesDrawNothing) {
    FillCanvas c(8, 8);
    EXPECT_TRUE(Rectangle(c.dc(), 3, 3, 3, 7));
    EXPECT_TRUE(Rectangle(c.dc(), 3, 3, 7, 3));
    EXPECT_EQ(c.count(RGB(255, 255, 255)), 64);
}

TEST(Rectangle, InsideFramePensKeepTheirWholeWidthInsideTheBox) {
    for (int width = 1; width <= 6; ++width) {
        FillCanvas c(40, 40);
        Selected pen(c.dc(), CreatePen(PS_INSIDEFRAME, width, RGB(0, 160, 0)));
        Selected brush(c.dc(), CreateSolidBrush(kBlue));
        ASSERT_TRUE(Rectangle(c.dc(), 5, 5, 30, 30));
        // Wide pens round their corners, so only the corner squares may show the canvas.
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                const bool inBox = x >= 5 && x < 30 && y >= 5 && y < 30;
                const bool nearX = x < 5 + width || x >= 30 - width, nearY = y < 5 + width || y >= 30 - width;
                SCOPED_TRACE(testing::Message() << "width " << width << " at " << x << "," << y);
                const COLORREF expected = !inBox ? RGB(255, 255, 255)
                                          : !nearX && !nearY ? kBlue
                                          : nearX != nearY ? RGB(0, 160, 0)
                                                           : c.at(x, y);  // a corner
                ASSERT_EQ(c.at(x, y), expected);
            }
    }
}

TEST(Rectangle, ADashedOutlineStartsAtTheTopRightCornerGoingLeft) {
    FillCanvas c(40, 10);
    Selected pen(c.dc(), CreatePen(PS_DASH, 1, RGB(0, 0, 0)));
    SelectObject(c.dc(), GetStockObject(NULL_BRUSH));
    ASSERT_TRUE(Rectangle(c.dc(), 0, 0, 40, 10));
    // The first dash (18 pixels) runs left from the top-right corner, then a gap of 6: started
    // from the left, the gap would fall on columns 18 to 23 instead.
    EXPECT_EQ(c.at(39, 0), RGB(0, 0, 0));
    EXPECT_EQ(c.at(22, 0), RGB(0, 0, 0));
    EXPECT_EQ(c.at(21, 0), RGB(255, 255, 255));
    EXPECT_EQ(c.at(16, 0), RGB(255, 255, 255));
    EXPECT_EQ(c.at(15, 0), RGB(0, 0, 0));
}

TEST(Rectangle, InsideAPathTheOutlineIsRecordedAnticlockwiseFromTheTopRight) {
    FillCanvas c(20, 20);
    ASSERT_TRUE(BeginPath(c.dc()));
    ASSERT_TRUE(Rectangle(c.dc(), 2, 3, 12, 9));
    ASSERT_TRUE(EndPath(c.dc()));
    EXPECT_EQ(c.count(RGB(255, 255, 255)), 400);
    const PathData& path = c.dc()->path;
    ASSERT_EQ(path.points.size(), 4u);
    const POINT expected[4] = {{11, 3}, {2, 3}, {2, 8}, {11, 8}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(path.points[i].x, expected[i].x) << i;
        EXPECT_EQ(path.points[i].y, expected[i].y) << i;
    }
    EXPECT_EQ(path.types[3], PT_LINETO | PT_CLOSEFIGURE);
}

TEST(Rectangle, HugeBoxesAndPensFinishQuickly) {
    FillCanvas c(48, 48);
    Selected brush(c.dc(), CreateSolidBrush(kBlue));
    Stopwatch t;
    for (int style : {PS_SOLID, PS_INSIDEFRAME, PS_DASH}) {
        for (int width : {0, 1, 2, 3, 6, 1000, 1 << 20}) {
            HPEN pen = CreatePen(style, width, RGB(0, 0, 0));
            if (!pen) continue;
            SelectObject(c.dc(), pen);
            EXPECT_TRUE(Rectangle(c.dc(), INT_MIN, INT_MIN, INT_MAX, INT_MAX));
            EXPECT_TRUE(Rectangle(c.dc(), INT_MAX, 10, INT_MIN, 20));
            EXPECT_TRUE(Rectangle(c.dc(), -5, -5, 30, 30));
            SelectObject(c.dc(), GetStockObject(BLACK_PEN));
            DeleteObject(pen);
        }
    }
    EXPECT_LT(t.ms(), 5000.0);
}

TEST(Rectangle, NullContextsFailAndContextsWithoutPixelsSucceedQuietly) {
    EXPECT_FALSE(Rectangle(nullptr, 0, 0, 5, 5));
    const RECT r{0, 0, 5, 5};
    EXPECT_FALSE(FillRect(nullptr, &r, GetStockObject(WHITE_BRUSH)));
    EXPECT_FALSE(FrameRect(nullptr, &r, GetStockObject(WHITE_BRUSH)));
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_TRUE(Rectangle(dc, 0, 0, 5, 5));
    EXPECT_TRUE(FillRect(dc, &r, GetStockObject(WHITE_BRUSH)));
    EXPECT_TRUE(FrameRect(dc, &r, GetStockObject(WHITE_BRUSH)));
    EXPECT_FALSE(FillRect(dc, nullptr, GetStockObject(WHITE_BRUSH)));
    EXPECT_FALSE(FillRect(dc, &r, nullptr));
    EXPECT_FALSE(FillRect(dc, &r, GetStockObject(BLACK_PEN)));  // a pen is not a brush
    DeleteDC(dc);
}

TEST(FillRect, AReversedSideRunsFromItsFirstCoordinateSoTheBoxMovesOnePixel) {
    FillCanvas c(10, 10);
    HBRUSH blue = CreateSolidBrush(kBlue);
    const RECT reversed{6, 7, 2, 3};  // columns 3..6, rows 4..7
    ASSERT_TRUE(FillRect(c.dc(), &reversed, blue));
    EXPECT_EQ(c.count(kBlue), 16);
    EXPECT_EQ(c.at(3, 4), kBlue);
    EXPECT_EQ(c.at(6, 7), kBlue);
    EXPECT_EQ(c.at(2, 3), RGB(255, 255, 255));
    DeleteObject(blue);
}

TEST(FillRect, HugeBoxesFillTheCanvasQuickly) {
    FillCanvas c(64, 64);
    HBRUSH blue = CreateSolidBrush(kBlue);
    const RECT huge{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    Stopwatch t;
    ASSERT_TRUE(FillRect(c.dc(), &huge, blue));
    EXPECT_LT(t.ms(), 1000.0);
    EXPECT_EQ(c.count(kBlue), 64 * 64);
    DeleteObject(blue);
}

TEST(FrameRect, DrawsAOnePixelFrameAndRefusesEmptyOrReversedBoxes) {
    FillCanvas c(8, 6);
    HBRUSH blue = CreateSolidBrush(kBlue);
    const RECT box{1, 1, 6, 5};
    ASSERT_TRUE(FrameRect(c.dc(), &box, blue));
    EXPECT_EQ(c.map(),
              "........\n"
              ".#####..\n"
              ".#...#..\n"
              ".#...#..\n"
              ".#####..\n"
              "........\n");
    for (const RECT bad : {RECT{6, 1, 1, 5}, RECT{1, 5, 6, 1}, RECT{3, 1, 3, 5}, RECT{1, 3, 6, 3}})
        EXPECT_FALSE(FrameRect(c.dc(), &bad, blue));
    EXPECT_FALSE(FrameRect(c.dc(), nullptr, blue));
    DeleteObject(blue);
}

}  // namespace
}  // namespace kelvane
