// Polygon filling: the scan conversion against a per-pixel inside test, fill modes, degenerate
// and refused polygons, paths, and bad input (null contexts, huge coordinates, many points).
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <random>
#include <vector>

#include "raster/objects.h"
#include "raster/region.h"
#include "raster_fill_canvas.h"

namespace kelvane {
namespace {

using namespace gdi;
using test::FillCanvas;
using test::Selected;
using test::Stopwatch;

constexpr COLORREF kBlue = RGB(0, 0, 255);

// Pixel (x, y) is inside when the crossings of row y at or left of x, counted with their
// direction, leave the point inside: odd count (ALTERNATE) or non-zero sum (WINDING). An edge
// crosses the rows from its upper end (included) to its lower end (excluded).
bool insideByDefinition(const std::vector<POINT>& p, int mode, long x, long y) {
    int count = 0, winding = 0;
    for (size_t i = 0; i < p.size(); ++i) {
        const POINT a = p[i], b = p[(i + 1) % p.size()];
        if (a.y == b.y) continue;
        const bool down = a.y < b.y;
        const POINT lo = down ? a : b, hi = down ? b : a;
        if (y < lo.y || y >= hi.y) continue;
        // crossing <= x  <=>  lo.x * dy + (y - lo.y) * dx <= x * dy
        const __int128 dy = __int128(hi.y) - lo.y, dx = __int128(hi.x) - lo.x;
        if (__int128(lo.x) * dy + (__int128(y) - lo.y) * dx <= __int128(x) * dy) {
            ++count;
            winding += down ? 1 : -1;
        }
    }
    return mode == WINDING ? winding != 0 : (count & 1) != 0;
}

std::vector<POINT> randomPolygon(std::mt19937& rng, int points, int lo, int hi) {
    std::uniform_int_distribution<int> coord(lo, hi);
    std::vector<POINT> p(static_cast<size_t>(points));
    for (POINT& q : p) q = POINT{coord(rng), coord(rng)};
    return p;
}

TEST(PolygonScan, EveryPixelOfRandomPolygonsFollowsTheInsideRuleInBothFillModes) {
    std::mt19937 rng(1234);
    for (int round = 0; round < 400; ++round) {
        const int mode = round % 2 ? WINDING : ALTERNATE;
        const auto p = randomPolygon(rng, 3 + round % 9, -8, 40);
        const Region r = Region::fromPolygon(p.data(), int(p.size()), mode);
        for (long y = -10; y < 42; ++y)
            for (long x = -10; x < 42; ++x)
                ASSERT_EQ(r.contains(x, y), insideByDefinition(p, mode, x, y))
                    << "round " << round << " pixel " << x << "," << y;
    }
}

TEST(PolygonScan, SlopesWithLargeNumeratorsStayExact) {
    // Long thin edges whose crossings land within a tiny fraction of a pixel boundary.
    std::mt19937 rng(99);
    for (int round = 0; round < 100; ++round) {
        std::vector<POINT> p = randomPolygon(rng, 4, -3000000, 3000000);
        p[0] = POINT{int(rng() % 30), int(rng() % 30)};
        const RECT clip{0, 0, 30, 30};
        const Region r = Region::fromPolygon(p.data(), 4, ALTERNATE, clip);
        for (long y = 0; y < 30; ++y)
            for (long x = 0; x < 30; ++x)
                ASSERT_EQ(r.contains(x, y), insideByDefinition(p, ALTERNATE, x, y)) << round;
    }
}

TEST(PolygonScan, AClippedScanIsTheFullScanCutToTheBox) {
    std::mt19937 rng(7);
    for (int round = 0; round < 100; ++round) {
        const auto p = randomPolygon(rng, 5, -50, 90);
        const RECT clip{int(rng() % 20), int(rng() % 20), 20 + int(rng() % 40), 20 + int(rng() % 40)};
        Region full = Region::fromPolygon(p.data(), 5, WINDING);
        full.intersect(Region::fromRect(clip.left, clip.top, clip.right, clip.bottom));
        const Region clipped = Region::fromPolygon(p.data(), 5, WINDING, clip);
        ASSERT_EQ(clipped.rects().size(), full.rects().size()) << round;
        for (size_t i = 0; i < full.rects().size(); ++i) {
            const RECT a = clipped.rects()[i], b = full.rects()[i];
            ASSERT_TRUE(a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom) << round;
        }
    }
}

TEST(PolygonScan, RowsWithEqualSpansShareOneBand) {
    const POINT square[4] = {{2, 2}, {12, 2}, {12, 40}, {2, 40}};
    const Region r = Region::fromPolygon(square, 4, ALTERNATE);
    ASSERT_EQ(r.rects().size(), 1u);
    EXPECT_EQ(r.rects()[0].left, 2);
    EXPECT_EQ(r.rects()[0].top, 2);
    EXPECT_EQ(r.rects()[0].right, 12);
    EXPECT_EQ(r.rects()[0].bottom, 40);
}

TEST(Polygon, FillsTheSquareItsCornersEncloseRightAndBottomExcluded) {
    FillCanvas c(8, 8);
    Selected brush(c.dc(), CreateSolidBrush(kBlue));
    SelectObject(c.dc(), GetStockObject(NULL_PEN));
    const POINT p[4] = {{2, 2}, {6, 2}, {6, 6}, {2, 6}};
    ASSERT_TRUE(Polygon(c.dc(), p, 4));
    EXPECT_EQ(c.map(),
              "........\n"
              "........\n"
              "..####..\n"
              "..####..\n"
              "..####..\n"
              "..####..\n"
              "........\n"
              "........\n");
}

TEST(Polygon, AlternateLeavesTheCoreOfAStarEmptyAndWindingFillsIt) {
    const POINT star[5] = {{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}};
    for (int mode : {ALTERNATE, WINDING}) {
        FillCanvas c(21, 21);
        Selected brush(c.dc(), CreateSolidBrush(kBlue));
        SelectObject(c.dc(), GetStockObject(NULL_PEN));
        SetPolyFillMode(c.dc(), mode);
        ASSERT_TRUE(Polygon(c.dc(), star, 5));
        EXPECT_EQ(c.at(10, 10) == kBlue, mode == WINDING);
        EXPECT_EQ(c.at(10, 3), kBlue);  // a point of the star is inside either way
    }
}

TEST(Polygon, OutlineIsDrawnOverTheFillWithTheSelectedPen) {
    FillCanvas c(10, 10);
    Selected brush(c.dc(), CreateSolidBrush(kBlue));
    const POINT p[4] = {{1, 1}, {8, 1}, {8, 8}, {1, 8}};
    ASSERT_TRUE(Polygon(c.dc(), p, 4));
    EXPECT_EQ(c.at(1, 1), RGB(0, 0, 0));
    EXPECT_EQ(c.at(8, 8), RGB(0, 0, 0));
    EXPECT_EQ(c.at(4, 4), kBlue);
    EXPECT_EQ(c.at(9, 9), RGB(255, 255, 255));
}

TEST(Polygon, FewerThanTwoPointsAreRefusedAndDrawNothing) {
    FillCanvas c(10, 10);
    const POINT p[1] = {{5, 5}};
    EXPECT_FALSE(Polygon(c.dc(), p, 1));
    EXPECT_FALSE(Polygon(c.dc(), p, 0));
    EXPECT_FALSE(Polygon(c.dc(), nullptr, 3));
    EXPECT_FALSE(Polygon(c.dc(), p, -4));
    EXPECT_EQ(c.count(RGB(255, 255, 255)), 100);
}

TEST(Polygon, TwoPointsDrawTheLineThereAndBackWithoutFill) {
    FillCanvas c(12, 12);
    Selected brush(c.dc(), CreateSolidBrush(kBlue));
    const POINT p[2] = {{1, 1}, {10, 5}};
    ASSERT_TRUE(Polygon(c.dc(), p, 2));
    EXPECT_EQ(c.count(kBlue), 0);
    EXPECT_EQ(c.at(1, 1), RGB(0, 0, 0));
    EXPECT_EQ(c.at(10, 5), RGB(0, 0, 0));
}

TEST(Polygon, NullContextFailsAndAContextWithoutPixelsSucceedsQuietly) {
    const POINT p[3] = {{0, 0}, {5, 0}, {0, 5}};
    EXPECT_FALSE(Polygon(nullptr, p, 3));
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_TRUE(Polygon(dc, p, 3));
    DeleteDC(dc);
}

TEST(Polygon, CornersAtTheEndsOfTheCoordinateRangeFinishQuicklyAndFillTheCanvas) {
    FillCanvas c(64, 64);
    Selected brush(c.dc(), CreateSolidBrush(kBlue));
    SelectObject(c.dc(), GetStockObject(NULL_PEN));
    const POINT huge[4] = {{INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MIN, INT_MAX}};
    Stopwatch t;
    for (int mode : {ALTERNATE, WINDING}) {
        SetPolyFillMode(c.dc(), mode);
        ASSERT_TRUE(Polygon(c.dc(), huge, 4));
    }
    EXPECT_EQ(c.count(kBlue), 64 * 64);
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    const POINT mixed[4] = {{INT_MAX, 3}, {-5, INT_MAX}, {INT_MIN, INT_MIN}, {30, 30}};
    ASSERT_TRUE(Polygon(c.dc(), mixed, 4));
    EXPECT_LT(t.ms(), 2000.0);
}

TEST(Polygon, AHundredThousandPointsFillInBoundedTime) {
    FillCanvas c(200, 200);
    Selected brush(c.dc(), CreateSolidBrush(kBlue));
    std::mt19937 rng(5);
    const auto p = randomPolygon(rng, 100000, -100, 300);
    Stopwatch t;
    EXPECT_TRUE(Polygon(c.dc(), p.data(), int(p.size())));
    EXPECT_LT(t.ms(), 10000.0);
}

TEST(Polygon, InsideAPathRecordsOneClosedFigureAndLeavesThePositionAlone) {
    FillCanvas c(10, 10);
    MoveToEx(c.dc(), 7, 8, nullptr);
    ASSERT_TRUE(BeginPath(c.dc()));
    const POINT p[3] = {{1, 1}, {8, 1}, {1, 8}};
    ASSERT_TRUE(Polygon(c.dc(), p, 3));
    ASSERT_TRUE(EndPath(c.dc()));
    EXPECT_EQ(c.count(RGB(255, 255, 255)), 100);  // nothing drawn yet
    const PathData& path = c.dc()->path;
    ASSERT_EQ(path.points.size(), 3u);
    EXPECT_EQ(path.types[0], PT_MOVETO);
    EXPECT_EQ(path.types[1], PT_LINETO);
    EXPECT_EQ(path.types[2], PT_LINETO | PT_CLOSEFIGURE);
    POINT at{};
    GetCurrentPositionEx(c.dc(), &at);
    EXPECT_EQ(at.x, 7);
    EXPECT_EQ(at.y, 8);
}

}  // namespace
}  // namespace kelvane
