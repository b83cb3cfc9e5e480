// Styled one-pixel lines: the pattern lengths of each style, gaps in the background colour, the
// pattern running on through an outline and starting afresh with each call, clipped pixels
// counted, and bad input (huge coordinates, long user styles).
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

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);

// The first row of the canvas as '#' (pen colour), 'o' (background colour) or '.'.
std::string row(const FillCanvas& c, int y, COLORREF pen, COLORREF gap = CLR_INVALID) {
    std::string s;
    for (int x = 0; x < c.width(); ++x) s += c.at(x, y) == pen ? '#' : c.at(x, y) == gap ? 'o' : '.';
    return s;
}

TEST(StyledLine, DashesAreEighteenPixelsWithGapsOfSix) {
    FillCanvas c(50, 1);
    Selected pen(c.dc(), CreatePen(PS_DASH, 1, kRed));
    MoveToEx(c.dc(), 0, 0, nullptr);
    LineTo(c.dc(), 50, 0);
    EXPECT_EQ(row(c, 0, kRed), "##################......##################......##");
}

TEST(StyledLine, DotsDashDotsAndDashDotDotsHaveTheirOwnLengths) {
    FillCanvas c(30, 3);
    {
        Selected pen(c.dc(), CreatePen(PS_DOT, 0, kRed));
        MoveToEx(c.dc(), 0, 0, nullptr);
        LineTo(c.dc(), 30, 0);
    }
    {
        Selected pen(c.dc(), CreatePen(PS_DASHDOT, 1, kRed));
        MoveToEx(c.dc(), 0, 1, nullptr);
        LineTo(c.dc(), 30, 1);
    }
    {
        Selected pen(c.dc(), CreatePen(PS_DASHDOTDOT, 1, kRed));
        MoveToEx(c.dc(), 0, 2, nullptr);
        LineTo(c.dc(), 30, 2);
    }
    EXPECT_EQ(row(c, 0, kRed), "###...###...###...###...###...");
    EXPECT_EQ(row(c, 1, kRed), "#########......###......######");
    EXPECT_EQ(row(c, 2, kRed), "#########...###...###...######");
}

TEST(StyledLine, GapsTakeTheBackgroundColourInOpaqueModeOnlyForCreatePensStyles) {
    FillCanvas c(26, 2);
    SetBkMode(c.dc(), OPAQUE);
    SetBkColor(c.dc(), kGreen);
    {
        Selected pen(c.dc(), CreatePen(PS_DASH, 1, kRed));
        MoveToEx(c.dc(), 0, 0, nullptr);
        LineTo(c.dc(), 26, 0);
    }
    const LOGBRUSH brush{BS_SOLID, kRed, 0};
    {
        Selected pen(c.dc(), ExtCreatePen(PS_COSMETIC | PS_DASH, 1, &brush, 0, nullptr));
        MoveToEx(c.dc(), 0, 1, nullptr);
        LineTo(c.dc(), 26, 1);
    }
    EXPECT_EQ(row(c, 0, kRed, kGreen), "##################oooooo##");
    EXPECT_EQ(row(c, 1, kRed, kGreen), "##################......##");
}

TEST(StyledLine, ThePatternRunsOnThroughAPolylineAndRestartsWithEachLineTo) {
    FillCanvas c(12, 2);
    Selected pen(c.dc(), CreatePen(PS_DOT, 1, kRed));
    const POINT points[3] = {{0, 0}, {4, 0}, {12, 0}};
    Polyline(c.dc(), points, 3);
    MoveToEx(c.dc(), 0, 1, nullptr);
    LineTo(c.dc(), 4, 1);
    LineTo(c.dc(), 12, 1);
    EXPECT_EQ(row(c, 0, kRed), "###...###...");
    EXPECT_EQ(row(c, 1, kRed), "###.###...##");
}

TEST(StyledLine, RectanglesStartTheirPatternAtTheTopRightCornerGoingLeft) {
    FillCanvas c(10, 3);
    Selected pen(c.dc(), CreatePen(PS_DOT, 1, kRed));
    SelectObject(c.dc(), GetStockObject(NULL_BRUSH));
    Rectangle(c.dc(), 0, 0, 10, 3);
    // Right to left along the top: 9, 8, 7 drawn, 6, 5, 4 skipped, 3, 2, 1 drawn; the corner at 0
    // is the left side's first pixel, in a gap.
    EXPECT_EQ(row(c, 0, kRed), ".###...###");
}

TEST(StyledLine, PixelsClippedAwayStillAdvanceThePattern) {
    FillCanvas c(12, 1);
    Selected pen(c.dc(), CreatePen(PS_DOT, 1, kRed));
    MoveToEx(c.dc(), -4, 0, nullptr);
    LineTo(c.dc(), 12, 0);
    EXPECT_EQ(row(c, 0, kRed), "..###...###.");
}

TEST(StyledLine, UserStylesCountThreePixelsAUnitAndRepeatOddPatternsWithSwappedSense) {
    FillCanvas c(36, 1);
    const LOGBRUSH brush{BS_SOLID, kRed, 0};
    const DWORD style[3] = {2, 1, 3};
    Selected pen(c.dc(), ExtCreatePen(PS_COSMETIC | PS_USERSTYLE, 1, &brush, 3, style));
    MoveToEx(c.dc(), 0, 0, nullptr);
    LineTo(c.dc(), 36, 0);
    EXPECT_EQ(row(c, 0, kRed), "######...#########......###.........");
}

TEST(StyledLine, TheAlternateStyleLightsEveryOtherPixel) {
    FillCanvas c(8, 1);
    const LOGBRUSH brush{BS_SOLID, kRed, 0};
    Selected pen(c.dc(), ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &brush, 0, nullptr));
    MoveToEx(c.dc(), 0, 0, nullptr);
    LineTo(c.dc(), 8, 0);
    EXPECT_EQ(row(c, 0, kRed), "#.#.#.#.");
}

TEST(StyledLine, HugeCoordinatesAndLongPatternsFinishQuickly) {
    FillCanvas c(32, 32);
    const LOGBRUSH brush{BS_SOLID, kRed, 0};
    DWORD style[16];
    for (DWORD& d : style) d = 0x7FFFFFFF;
    style[15] = 1;
    HPEN pens[3] = {CreatePen(PS_DASHDOTDOT, 1, kRed),
                    ExtCreatePen(PS_COSMETIC | PS_USERSTYLE, 1, &brush, 16, style),
                    ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &brush, 0, nullptr)};
    Stopwatch clock;
    for (HPEN p : pens) {
        Selected pen(c.dc(), p);
        SetBkMode(c.dc(), OPAQUE);
        MoveToEx(c.dc(), INT_MIN, INT_MIN, nullptr);
        LineTo(c.dc(), INT_MAX, INT_MAX);
        MoveToEx(c.dc(), INT_MAX, 5, nullptr);
        LineTo(c.dc(), INT_MIN, 9);
        const POINT far[4] = {{INT_MIN, 3}, {INT_MAX, 30}, {5, INT_MIN}, {20, INT_MAX}};
        Polyline(c.dc(), far, 4);
    }
    EXPECT_LT(clock.ms(), 1000.0);
}

}  // namespace
}  // namespace kelvane
