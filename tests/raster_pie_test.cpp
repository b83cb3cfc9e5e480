// Pies: the wedge closed through the box's integer centre, its polygon fill, equal radials,
// chart slices, and bad input.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "raster/objects.h"
#include "raster_fill_canvas.h"

namespace kelvane {
namespace {

using namespace gdi;
using test::FillCanvas;
using test::Selected;
using test::Stopwatch;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);

std::string colourMap(const FillCanvas& c) {
    std::string s;
    for (int y = 0; y < c.height(); ++y) {
        for (int x = 0; x < c.width(); ++x) {
            const COLORREF v = c.at(x, y);
            s += v == kWhite ? '.' : v == kRed ? 'o' : v == RGB(0, 0, 0) ? '#' : '?';
        }
        s += '\n';
    }
    return s;
}

TEST(Pie, AQuarterWedgeClosesThroughTheCentreAndTheBrushFillsInside) {
    // Drawn by the reference renderer.
    FillCanvas c(14, 14);
    Selected pen(c.dc(), CreatePen(PS_SOLID, 1, kRed));
    Selected brush(c.dc(), CreateSolidBrush(RGB(0, 0, 0)));
    ASSERT_TRUE(Pie(c.dc(), 2, 2, 13, 13, 20, 7, 7, -20));
    EXPECT_EQ(colourMap(c),
              "..............\n"
              "..............\n"
              "........oo....\n"
              "........o#o...\n"
              "........o##o..\n"
              ".......o####o.\n"
              ".......o####o.\n"
              ".......oooooo.\n"
              "..............\n"
              "..............\n"
              "..............\n"
              "..............\n"
              "..............\n"
              "..............\n");
}

TEST(Pie, TheCentreOfABoxWithAnOddSumOfSidesIsRoundedDownEvenBelowZero) {
    // Lines of a thin wedge pointing left from the centre: at x = -1 (off the canvas) they leave
    // column 0 untouched; rounding towards zero would start them at x = 0.
    FillCanvas c(40, 40);
    SelectObject(c.dc(), GetStockObject(NULL_BRUSH));
    ASSERT_TRUE(Pie(c.dc(), -31, -40, 30, 40, -100, -1, -100, 1));
    for (int y = 0; y < 40; ++y) EXPECT_EQ(c.at(0, y), kWhite) << y;
}

TEST(Pie, WithoutAPenTheWedgePolygonLosesItsRightAndBottomEdges) {
    FillCanvas c(14, 14);
    Selected brush(c.dc(), CreateSolidBrush(kBlue));
    SelectObject(c.dc(), GetStockObject(NULL_PEN));
    ASSERT_TRUE(Pie(c.dc(), 2, 2, 13, 13, 20, 7, 7, -20));
    EXPECT_EQ(c.at(7, 6), kWhite);   // the centre row's bottom edge
    EXPECT_EQ(c.at(12, 5), kWhite);  // the arc's right edge
    EXPECT_EQ(c.at(8, 5), kBlue);
    EXPECT_GT(c.count(kBlue), 8);
}

TEST(Pie, EqualRadialsMakeTheWholeEllipseWithARadius) {
    FillCanvas c(40, 40);
    SelectObject(c.dc(), GetStockObject(NULL_BRUSH));
    ASSERT_TRUE(Pie(c.dc(), 4, 4, 36, 36, 100, 20, 100, 20));
    FillCanvas e(40, 40);
    SelectObject(e.dc(), GetStockObject(NULL_BRUSH));
    ASSERT_TRUE(Ellipse(e.dc(), 4, 4, 36, 36));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            if (e.at(x, y) != kWhite) {
                ASSERT_EQ(c.at(x, y), e.at(x, y));
            }
    for (int x = 21; x < 35; ++x) EXPECT_EQ(c.at(x, 20), RGB(0, 0, 0));  // the radius
}

TEST(Pie, ChartSlicesLeaveExactlyTheReferenceRenderersPinholesInsideTheCircle) {
    // Wedge polygons lose their right and bottom edges and the outline steps diagonally, so a
    // few pixels between slices stay unpainted on the platform too; these are the reference
    // renderer's.
    FillCanvas c(80, 80);
    const double cx = 40, cy = 40, r = 30;
    const double turns[] = {0, 0.15, 0.4, 0.55, 0.9, 1};
    Selected brush(c.dc(), CreateSolidBrush(kBlue));
    for (int k = 0; k + 1 < 6; ++k) {
        const double a0 = 2 * std::numbers::pi * turns[k], a1 = 2 * std::numbers::pi * turns[k + 1];
        ASSERT_TRUE(Pie(c.dc(), int(cx - r), int(cy - r), int(cx + r), int(cy + r),
                        int(std::lround(cx + r * std::cos(a0))), int(std::lround(cy - r * std::sin(a0))),
                        int(std::lround(cx + r * std::cos(a1))), int(std::lround(cy - r * std::sin(a1)))));
    }
    std::vector<std::pair<int, int>> holes;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 80; ++x)
            if (std::hypot(x - cx, y - cy) < r - 2 && c.at(x, y) == kWhite) holes.emplace_back(x, y);
    const std::vector<std::pair<int, int>> expected = {{55, 20}, {54, 21}, {20, 24}, {52, 24},
                                                       {21, 25}, {58, 54}, {59, 55}, {62, 57}};
    EXPECT_EQ(holes, expected);
}

TEST(Pie, ANullContextFailsAndEmptyBoxesDrawNothing) {
    EXPECT_FALSE(Pie(nullptr, 0, 0, 10, 10, 0, 0, 10, 10));
    FillCanvas c(8, 8);
    EXPECT_TRUE(Pie(c.dc(), 2, 2, 2, 7, 0, 0, 9, 9));
    EXPECT_TRUE(Pie(c.dc(), 2, 2, 7, 2, 0, 0, 9, 9));
    EXPECT_EQ(c.count(kWhite), 64);
}

TEST(Pie, HugeCoordinatesAndPenWidthsFinishQuickly) {
    FillCanvas c(64, 48);
    Selected brush(c.dc(), CreateSolidBrush(kBlue));
    Stopwatch watch;
    EXPECT_TRUE(Pie(c.dc(), INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MAX, 0, 0, INT_MAX));
    EXPECT_TRUE(Pie(c.dc(), -70000, 10, 70000, 40, 1, 1, 2, 2));
    EXPECT_TRUE(Pie(c.dc(), -60000, -60000, 60000, 60000, 1, 1, 2, 2));
    EXPECT_GT(c.count(kBlue), 0);
    Selected pen(c.dc(), CreatePen(PS_SOLID, 100000, kRed));
    EXPECT_TRUE(Pie(c.dc(), 5, 5, 40, 40, 0, 0, 60, 60));
    EXPECT_LT(watch.ms(), 2000.0);
}

}  // namespace
}  // namespace kelvane
