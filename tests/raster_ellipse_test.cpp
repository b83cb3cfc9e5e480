// Ellipses and elliptic regions: the outline polygon and row fill the platform draws, thin boxes
// drawn as rectangles, inside-frame pens, and bad input (null contexts, huge and negative
// coordinates, zero and huge pen widths) finishing quickly.
#include <gtest/gtest.h>

#include <climits>

#include "raster/objects.h"
#include "raster/region.h"
#include "raster_fill_canvas.h"

namespace kelvane {
namespace {

using namespace gdi;
using test::FillCanvas;
using test::Selected;
using test::Stopwatch;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 160, 0);

// Pixel maps below were drawn by the reference renderer.

TEST(Ellipse, TheSmallestMarkerCircleIsTheReferenceRenderersOctagon) {
    FillCanvas c(9, 9);
    ASSERT_TRUE(Ellipse(c.dc(), 2, 2, 7, 7));  // stock pen, white brush: only the outline shows
    EXPECT_EQ(c.map(),
              ".........\n"
              ".........\n"
              "...###...\n"
              "..#...#..\n"
              "..#...#..\n"
              "..#...#..\n"
              "...###...\n"
              ".........\n"
              ".........\n");
}

TEST(Ellipse, WithoutAPenTheBrushFillsEachRowBetweenTheOutlinesEndsIncludingThem) {
    FillCanvas c(14, 10);
    Selected brush(c.dc(), CreateSolidBrush(kBlue));
    SelectObject(c.dc(), GetStockObject(NULL_PEN));
    ASSERT_TRUE(Ellipse(c.dc(), 12, 9, 2, 2));  // corners in either order
    EXPECT_EQ(c.map(),
              "..............\n"
              "..............\n"
              ".....####.....\n"
              "...########...\n"
              "..##########..\n"
              "..##########..\n"
              "..##########..\n"
              "...########...\n"
              ".....####.....\n"
              "..............\n");
}

TEST(Ellipse, ThePenStrokesOverTheFillSoDotGapsShowTheBrush) {
    FillCanvas c(30, 20);
    Selected brush(c.dc(), CreateSolidBrush(kBlue));
    Selected pen(c.dc(), CreatePen(PS_DOT, 1, kGreen));
    ASSERT_TRUE(Ellipse(c.dc(), 2, 2, 28, 18));
    int outline = 0, gaps = 0;
    for (int y = 0; y < 20; ++y) {
        int first = -1, last = -1;
        for (int x = 0; x < 30; ++x) {
            if (c.at(x, y) == kWhite) continue;
            if (first < 0) first = x;
            last = x;
        }
        if (first < 0) continue;
        for (int x : {first, last}) {
            outline += c.at(x, y) == kGreen;
            gaps += c.at(x, y) == kBlue;
        }
    }
    EXPECT_GT(outline, 0);
    EXPECT_GT(gaps, 0);  // outline pixels in the pattern's gaps keep the brush colour
    EXPECT_EQ(c.count(kWhite) + c.count(kGreen) + c.count(kBlue), 30 * 20);
}

TEST(Ellipse, BoxesTwoPixelsThinOrLessAreDrawnExactlyAsRectangles) {
    const RECT boxes[] = {{3, 3, 5, 12}, {3, 3, 13, 4}, {3, 3, 4, 4}, {3, 3, 5, 5}, {12, 9, 3, 7}};
    for (int width : {1, 3}) {
        for (const RECT& b : boxes) {
            FillCanvas a(16, 16), r(16, 16);
            Selected penA(a.dc(), CreatePen(PS_SOLID, width, kGreen)), penR(r.dc(), CreatePen(PS_SOLID, width, kGreen));
            Selected brushA(a.dc(), CreateSolidBrush(kBlue)), brushR(r.dc(), CreateSolidBrush(kBlue));
            ASSERT_TRUE(Ellipse(a.dc(), b.left, b.top, b.right, b.bottom));
            ASSERT_TRUE(Rectangle(r.dc(), b.left, b.top, b.right, b.bottom));
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) ASSERT_EQ(a.at(x, y), r.at(x, y)) << x << "," << y;
        }
    }
}

TEST(Ellipse, AnInsideFramePenDrawsTheEllipseOfTheBoxPulledInByItsWidth) {
    for (int width = 2; width <= 6; ++width) {
        FillCanvas a(40, 40), b(40, 40);
        Selected penA(a.dc(), CreatePen(PS_INSIDEFRAME, width, kGreen));
        Selected penB(b.dc(), CreatePen(PS_SOLID, width, kGreen));
        Selected brushA(a.dc(), CreateSolidBrush(kBlue)), brushB(b.dc(), CreateSolidBrush(kBlue));
        ASSERT_TRUE(Ellipse(a.dc(), 5, 4, 34, 31));
        ASSERT_TRUE(Ellipse(b.dc(), 5 + width / 2, 4 + width / 2, 34 - (width - 1) / 2, 31 - (width - 1) / 2));
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) ASSERT_EQ(a.at(x, y), b.at(x, y)) << "width " << width;
        // Nothing of the pen spills out of the box.
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                if (x < 5 || x >= 34 || y < 4 || y >= 31) {
                    ASSERT_EQ(a.at(x, y), kWhite);
                }
    }
}

TEST(Ellipse, EllipticRegionsHoldThePixelsAnEllipseWithoutAPenFills) {
    const RECT boxes[] = {{2, 2, 12, 9}, {1, 1, 30, 19}, {0, 3, 7, 26}, {4, 4, 7, 5}, {2, 2, 9, 9}};
    for (const RECT& b : boxes) {
        FillCanvas c(32, 32);
        Selected brush(c.dc(), CreateSolidBrush(kBlue));
        SelectObject(c.dc(), GetStockObject(NULL_PEN));
        ASSERT_TRUE(Ellipse(c.dc(), b.left, b.top, b.right, b.bottom));
        const Region r = Region::fromEllipse(b.left, b.top, b.right, b.bottom);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) ASSERT_EQ(r.contains(x, y), c.at(x, y) == kBlue) << x << "," << y;
    }
}

TEST(Ellipse, EllipticRegionsKeepEqualRowsInOneBand) {
    const Region r = Region::fromEllipse(0, 0, 41, 200);
    EXPECT_LT(r.rects().size(), 200u);  // the steep sides repeat spans row after row
    EXPECT_EQ(r.bounds().left, 0);
    EXPECT_EQ(r.bounds().right, 41);
    EXPECT_EQ(r.bounds().top, 0);
    EXPECT_EQ(r.bounds().bottom, 200);
}

TEST(Ellipse, ANullContextFailsAndEmptyBoxesDrawNothing) {
    EXPECT_FALSE(Ellipse(nullptr, 0, 0, 10, 10));
    FillCanvas c(8, 8);
    EXPECT_TRUE(Ellipse(c.dc(), 3, 3, 3, 7));
    EXPECT_TRUE(Ellipse(c.dc(), 3, 3, 7, 3));
    EXPECT_EQ(c.count(kWhite), 64);
    EXPECT_TRUE(Region::fromEllipse(5, 5, 5, 9).empty());
}

TEST(Ellipse, HugeAndNegativeCoordinatesFinishQuicklyAndStayOnTheCanvas) {
    FillCanvas c(64, 48);
    Selected brush(c.dc(), CreateSolidBrush(kBlue));
    Selected pen(c.dc(), CreatePen(PS_SOLID, 3, kGreen));
    Stopwatch watch;
    EXPECT_TRUE(Ellipse(c.dc(), INT_MIN, INT_MIN, INT_MAX, INT_MAX));
    EXPECT_EQ(c.count(kBlue), 64 * 48);  // the canvas lies deep inside
    EXPECT_TRUE(Ellipse(c.dc(), INT_MIN, 0, 60, 40));
    EXPECT_TRUE(Ellipse(c.dc(), -100000, -20, 60, 100000));
    EXPECT_TRUE(Ellipse(c.dc(), INT_MAX, INT_MAX, INT_MAX - 5000000, INT_MAX - 3));
    EXPECT_TRUE(Ellipse(c.dc(), -70000, 10, 70000, 40));
    EXPECT_TRUE(Ellipse(c.dc(), -60000, -60000, 60000, 60000));  // walked pixel by pixel
    EXPECT_LT(watch.ms(), 2000.0);
    const Region r = Region::fromEllipse(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_FALSE(r.empty());
}

TEST(Ellipse, ZeroAndHugePenWidthsFinishQuickly) {
    FillCanvas c(40, 40);
    Stopwatch watch;
    {
        Selected pen(c.dc(), CreatePen(PS_SOLID, 0, kGreen));
        EXPECT_TRUE(Ellipse(c.dc(), 5, 5, 35, 30));
        EXPECT_GT(c.count(kGreen), 0);  // width 0 is a one-pixel pen
    }
    {
        Selected pen(c.dc(), CreatePen(PS_SOLID, 100000, kGreen));
        EXPECT_TRUE(Ellipse(c.dc(), 5, 5, 35, 30));
    }
    {
        Selected pen(c.dc(), CreatePen(PS_INSIDEFRAME, 100000, kGreen));
        EXPECT_TRUE(Ellipse(c.dc(), 5, 5, 35, 30));
    }
    EXPECT_LT(watch.ms(), 2000.0);
}

}  // namespace
}  // namespace kelvane
