// Geometric pens from ExtCreatePen: flat, square and round caps, bevel, miter and round joins,
// dashes measured along each segment, the one-pixel geometric pen, and bad input (huge widths,
// coordinates and short patterns on long lines).
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

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

HPEN geometric(DWORD style, DWORD width, DWORD count = 0, const DWORD* entries = nullptr) {
    const LOGBRUSH brush{BS_SOLID, kBlack, 0};
    return ExtCreatePen(PS_GEOMETRIC | style, width, &brush, count, entries);
}

void line(HDC dc, int x0, int y0, int x1, int y1) {
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

TEST(GeometricPen, FlatCapsStopAtTheEndPointsAndSquareCapsGoHalfAWidthFurther) {
    FillCanvas c(14, 8);
    {
        Selected pen(c.dc(), geometric(PS_ENDCAP_FLAT, 2));
        line(c.dc(), 4, 1, 10, 1);
    }
    {
        Selected pen(c.dc(), geometric(PS_ENDCAP_SQUARE, 2));
        line(c.dc(), 4, 5, 10, 5);
    }
    EXPECT_EQ(c.map(),
              "....######....\n"
              "....######....\n"
              "..............\n"
              "..............\n"
              "...########...\n"
              "...########...\n"
              "..............\n"
              "..............\n");
}

TEST(GeometricPen, AMiterFillsTheCornerThatABevelCuts) {
    FillCanvas mitered(16, 16), bevelled(16, 16);
    const POINT corner[3] = {{2, 12}, {12, 12}, {12, 2}};
    {
        Selected pen(mitered.dc(), geometric(PS_ENDCAP_FLAT | PS_JOIN_MITER, 6));
        Polyline(mitered.dc(), corner, 3);
    }
    {
        Selected pen(bevelled.dc(), geometric(PS_ENDCAP_FLAT | PS_JOIN_BEVEL, 6));
        Polyline(bevelled.dc(), corner, 3);
    }
    EXPECT_EQ(mitered.at(14, 14), kBlack);
    EXPECT_EQ(bevelled.at(14, 14), kWhite);
    EXPECT_EQ(bevelled.at(12, 12), kBlack);
}

TEST(GeometricPen, AVeryShallowTurnFallsBackToABevel) {
    // Beyond a miter of ten widths the platform bevels: no spike far beyond the corner.
    FillCanvas c(60, 40);
    Selected pen(c.dc(), geometric(PS_ENDCAP_FLAT | PS_JOIN_MITER, 4));
    const POINT spike[3] = {{2, 20}, {40, 20}, {2, 23}};
    Polyline(c.dc(), spike, 3);
    for (int x = 45; x < 60; ++x)
        for (int y = 0; y < 40; ++y) EXPECT_EQ(c.at(x, y), kWhite) << x << "," << y;
}

TEST(GeometricPen, UserDashesAreMeasuredInPixelsAndNotScaledByTheWidth) {
    FillCanvas c(24, 4);
    const DWORD style[2] = {4, 2};
    Selected pen(c.dc(), geometric(PS_ENDCAP_FLAT | PS_USERSTYLE, 3, 2, style));
    line(c.dc(), 0, 1, 24, 1);
    EXPECT_EQ(c.map(),
              "####..####..####..####..\n"
              "####..####..####..####..\n"
              "####..####..####..####..\n"
              "........................\n");
}

TEST(GeometricPen, StandardDashesScaleWithTheWidth) {
    FillCanvas c(24, 2);
    Selected pen(c.dc(), geometric(PS_ENDCAP_FLAT | PS_DASH, 2));
    line(c.dc(), 0, 1, 24, 1);
    EXPECT_EQ(c.map(),
              "######..######..######..\n"
              "######..######..######..\n");
}

TEST(GeometricPen, OnePixelWideItIsAOnePixelLineThatCoversItsSlantedEnd) {
    FillCanvas c(8, 4);
    Selected pen(c.dc(), geometric(PS_ENDCAP_FLAT, 1));
    line(c.dc(), 0, 0, 6, 3);
    EXPECT_EQ(c.at(6, 3), kBlack);
    EXPECT_EQ(c.count(kBlack), 7);
}

TEST(GeometricPen, WidthZeroDrawsLikeWidthOne) {
    FillCanvas zero(20, 10), one(20, 10);
    {
        Selected pen(zero.dc(), geometric(PS_DASH, 0));
        line(zero.dc(), 1, 1, 18, 8);
    }
    {
        Selected pen(one.dc(), geometric(PS_DASH, 1));
        line(one.dc(), 1, 1, 18, 8);
    }
    EXPECT_EQ(zero.map(), one.map());
}

TEST(GeometricPen, ShortPatternsOnHugeLinesAndHugeWidthsFinishQuickly) {
    FillCanvas c(40, 30);
    const DWORD dots[2] = {1, 1};
    Stopwatch clock;
    for (DWORD width : {2u, 7u, 1000u, 0x7FFFFFFFu}) {
        Selected pen(c.dc(), geometric(PS_ENDCAP_ROUND | PS_JOIN_MITER | PS_USERSTYLE, width, 2, dots));
        line(c.dc(), INT_MIN, INT_MIN, INT_MAX, INT_MAX);
        line(c.dc(), INT_MIN, 15, INT_MAX, 16);
        const POINT far[4] = {{INT_MIN, 3}, {INT_MAX, 20}, {5, INT_MIN}, {20, INT_MAX}};
        Polyline(c.dc(), far, 4);
        Polygon(c.dc(), far, 4);
    }
    EXPECT_LT(clock.ms(), 2000.0);
    EXPECT_GT(c.count(kBlack), 0);
}

}  // namespace
}  // namespace kelvane
