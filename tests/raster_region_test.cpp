// Regions: set operations against per-pixel logic, the banded form they keep, the region calls
// (CreatePolygonRgn, CombineRgn, GetRgnBox, PtInRegion, FillRgn) and bad input.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <random>
#include <vector>

#include "raster/region.h"
#include "raster_fill_canvas.h"

namespace kelvane {
namespace {

using namespace gdi;
using test::FillCanvas;
using test::Selected;
using test::Stopwatch;

// A region made of a few random rectangles and a random polygon, within [-5, 45).
Region randomRegion(std::mt19937& rng) {
    std::uniform_int_distribution<int> coord(-5, 44);
    Region r;
    for (int i = 0, n = int(rng() % 4); i < n; ++i)
        r.unite(Region::fromRect(coord(rng), coord(rng), coord(rng), coord(rng)));
    if (rng() % 2) {
        std::vector<POINT> p(3 + rng() % 5);
        for (POINT& q : p) q = POINT{coord(rng), coord(rng)};
        r.unite(Region::fromPolygon(p.data(), int(p.size()), rng() % 2 ? WINDING : ALTERNATE));
    }
    return r;
}

// The banded form every operation must keep: bands sorted top to bottom and not overlapping,
// the rectangles of a band sharing top and bottom, sorted, apart from each other, and no two
// touching bands with the same spans.
void expectBanded(const Region& r) {
    const auto& rects = r.rects();
    size_t bandStart = 0;
    long previousBottom = LONG_MIN;
    std::vector<std::pair<long, long>> previousSpans, spans;
    for (size_t i = 0; i <= rects.size(); ++i) {
        if (i == rects.size() || rects[i].top != rects[bandStart].top) {
            if (i == bandStart) break;
            spans.clear();
            for (size_t k = bandStart; k < i; ++k) {
                const RECT& q = rects[k];
                ASSERT_LT(q.left, q.right);
                ASSERT_LT(q.top, q.bottom);
                ASSERT_EQ(q.bottom, rects[bandStart].bottom);
                if (k > bandStart) {
                    ASSERT_LT(rects[k - 1].right, q.left) << "spans touch or overlap";
                }
                spans.emplace_back(q.left, q.right);
            }
            ASSERT_GE(rects[bandStart].top, previousBottom) << "bands overlap";
            if (rects[bandStart].top == previousBottom) {
                ASSERT_NE(spans, previousSpans) << "bands not merged";
            }
            previousBottom = rects[bandStart].bottom;
            previousSpans = spans;
            bandStart = i;
        }
    }
}

TEST(RegionOperations, AgreeWithPixelLogicOnRandomRegions) {
    std::mt19937 rng(2024);
    struct Op {
        const char* name;
        std::function<void(Region&, const Region&)> apply;
        std::function<bool(bool, bool)> pixel;
    };
    const Op ops[] = {
        {"unite", [](Region& a, const Region& b) { a.unite(b); }, [](bool a, bool b) { return a || b; }},
        {"intersect", [](Region& a, const Region& b) { a.intersect(b); }, [](bool a, bool b) { return a && b; }},
        {"subtract", [](Region& a, const Region& b) { a.subtract(b); }, [](bool a, bool b) { return a && !b; }},
        {"xor", [](Region& a, const Region& b) { a.exclusiveOr(b); }, [](bool a, bool b) { return a != b; }},
    };
    for (int round = 0; round < 300; ++round) {
        const Region a = randomRegion(rng), b = randomRegion(rng);
        expectBanded(a);
        for (const Op& op : ops) {
            Region r = a;
            op.apply(r, b);
            SCOPED_TRACE(testing::Message() << op.name << " round " << round);
            expectBanded(r);
            for (long y = -6; y < 46; ++y)
                for (long x = -6; x < 46; ++x)
                    ASSERT_EQ(r.contains(x, y), op.pixel(a.contains(x, y), b.contains(x, y))) << x << "," << y;
        }
    }
}

TEST(RegionOperations, OffsetMovesEveryPixel) {
    Region r = Region::fromRect(1, 2, 5, 9);
    r.unite(Region::fromRect(7, 4, 8, 12));
    r.offset(-3, 10);
    EXPECT_TRUE(r.contains(-2, 12));
    EXPECT_FALSE(r.contains(1, 2));
    const RECT b = r.bounds();
    EXPECT_EQ(b.left, -2);
    EXPECT_EQ(b.top, 12);
    EXPECT_EQ(b.right, 5);
    EXPECT_EQ(b.bottom, 22);
}

TEST(RegionOperations, ThousandsOfBandsCombineInLinearTime) {
    // Two combs of 4000 one-row bands each: a quadratic walk would take many seconds.
    Region a, b;
    std::vector<POINT> zigzag;
    for (int y = 0; y < 4000; ++y) zigzag.push_back(POINT{(y % 7) * 3, y});
    for (int y = 3999; y >= 0; --y) zigzag.push_back(POINT{100 + (y % 5) * 4, y});
    a = Region::fromPolygon(zigzag.data(), int(zigzag.size()), ALTERNATE);
    b = a;
    b.offset(1, 1);
    Stopwatch t;
    for (int i = 0; i < 20; ++i) {
        Region r = a;
        r.exclusiveOr(b);
        r.unite(a);
        r.subtract(b);
    }
    EXPECT_LT(t.ms(), 3000.0);
}

TEST(RegionCalls, PolygonRegionsOfFewerThanThreePointsAreEmptyNotErrors) {
    const POINT p[2] = {{1, 1}, {5, 5}};
    for (int n : {0, 1, 2}) {
        HRGN r = CreatePolygonRgn(n ? p : nullptr, n, ALTERNATE);
        ASSERT_NE(r, nullptr) << n;
        RECT box{};
        EXPECT_EQ(GetRgnBox(r, &box), NULLREGION);
        DeleteObject(r);
    }
}

TEST(RegionCalls, BadCountsPointersAndModesAreRefused) {
    const POINT p[3] = {{1, 1}, {5, 1}, {1, 5}};
    EXPECT_EQ(CreatePolygonRgn(p, -1, ALTERNATE), nullptr);
    EXPECT_EQ(CreatePolygonRgn(nullptr, 3, ALTERNATE), nullptr);
    EXPECT_EQ(CreatePolygonRgn(p, 3, 0), nullptr);
    EXPECT_EQ(CreatePolygonRgn(p, 3, 3), nullptr);
}

TEST(RegionCalls, CombineReportsTheKindOfTheResult) {
    HRGN a = CreateRectRgn(0, 0, 10, 10);
    HRGN b = CreateRectRgn(5, 5, 15, 15);
    HRGN d = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(d, a, b, RGN_AND), SIMPLEREGION);
    EXPECT_EQ(CombineRgn(d, a, b, RGN_OR), COMPLEXREGION);
    EXPECT_EQ(CombineRgn(d, a, a, RGN_DIFF), NULLREGION);
    EXPECT_EQ(CombineRgn(d, a, nullptr, RGN_COPY), SIMPLEREGION);
    EXPECT_EQ(CombineRgn(d, a, b, 99), RGN_ERROR);
    EXPECT_EQ(CombineRgn(nullptr, a, b, RGN_OR), RGN_ERROR);
    EXPECT_TRUE(PtInRegion(a, 9, 9));
    EXPECT_FALSE(PtInRegion(a, 10, 9));
    EXPECT_FALSE(PtInRegion(nullptr, 0, 0));
    RECT box{};
    EXPECT_EQ(CombineRgn(d, a, b, RGN_XOR), COMPLEXREGION);
    EXPECT_EQ(GetRgnBox(d, &box), COMPLEXREGION);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.bottom, 15);
    for (HRGN r : {a, b, d}) DeleteObject(r);
}

TEST(RegionCalls, FillRgnPaintsExactlyTheRegionsPixels) {
    FillCanvas c(12, 12);
    const POINT p[4] = {{2, 2}, {9, 2}, {9, 9}, {2, 9}};
    HRGN r = CreatePolygonRgn(p, 4, ALTERNATE);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    ASSERT_TRUE(FillRgn(c.dc(), r, blue));
    EXPECT_EQ(c.count(RGB(0, 0, 255)), 49);
    EXPECT_EQ(c.at(2, 2), RGB(0, 0, 255));
    EXPECT_EQ(c.at(9, 9), RGB(255, 255, 255));
    EXPECT_FALSE(FillRgn(nullptr, r, blue));
    EXPECT_FALSE(FillRgn(c.dc(), nullptr, blue));
    EXPECT_FALSE(FillRgn(c.dc(), r, nullptr));
    EXPECT_FALSE(FillRgn(c.dc(), r, r));  // a region is not a brush
    DeleteObject(blue);
    DeleteObject(r);
}

TEST(RegionCalls, HugePolygonRegionsAreBuiltQuicklyAndPaintTheCanvas) {
    FillCanvas c(32, 32);
    const POINT p[4] = {{INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MIN, INT_MAX}};
    const POINT slanted[3] = {{INT_MIN, INT_MIN}, {INT_MAX, 0}, {0, INT_MAX}};
    Stopwatch t;
    HRGN r = CreatePolygonRgn(p, 4, WINDING);
    HRGN s = CreatePolygonRgn(slanted, 3, ALTERNATE);
    ASSERT_NE(r, nullptr);
    ASSERT_NE(s, nullptr);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    EXPECT_TRUE(FillRgn(c.dc(), r, blue));
    EXPECT_TRUE(FillRgn(c.dc(), s, blue));
    EXPECT_LT(t.ms(), 3000.0);
    EXPECT_EQ(c.count(RGB(0, 0, 255)), 32 * 32);
    DeleteObject(blue);
    DeleteObject(r);
    DeleteObject(s);
}

}  // namespace
}  // namespace kelvane
