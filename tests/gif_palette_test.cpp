// cPal8bpp: the halftone cubes, the octree palette of a picture and the nearest-entry search.
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <random>
#include <set>

#include "error_raised.h"
#include "gif_test_support.h"
#include "output/palette/pal8bpp.h"

namespace kelvane {
namespace {

using Rgb = std::array<int, 3>;

Rgb entry(const cPal8bpp& p, int i) { return {p.rgbR(i), p.rgbG(i), p.rgbB(i)}; }

std::set<Rgb> entriesOf(const cPal8bpp& p) {
    std::set<Rgb> s;
    for (int i = 0; i < p.Entries(); ++i) s.insert(entry(p, i));
    return s;
}

// A picture holding each colour once, in order, row by row.
void pictureOf(cDIB& dib, const std::vector<Rgb>& colours, int width = 16) {
    const int height = int((colours.size() + size_t(width) - 1) / size_t(width));
    giftest::fill32(dib, width, height, [&](int x, int y) {
        const Rgb& c = colours[std::min(colours.size() - 1, size_t(y * width + x))];
        return uint32_t(c[0] << 16 | c[1] << 8 | c[2]);
    });
}

TEST(Pal8bpp, HalftoneCubeOfLevels4) {
    cPal8bpp p;
    p.CreateHalftone(4);
    EXPECT_EQ(p.Entries(), 216);
    EXPECT_EQ(entry(p, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(entry(p, 5), (Rgb{255, 0, 0}));
    EXPECT_EQ(entry(p, 30), (Rgb{0, 255, 0}));
    EXPECT_EQ(entry(p, 180), (Rgb{0, 0, 255}));
    EXPECT_EQ(entry(p, 215), (Rgb{255, 255, 255}));
    EXPECT_EQ(entry(p, 1 + 6 * 2 + 36 * 3), (Rgb{51, 102, 153}));
    for (int i = 216; i < 256; ++i) EXPECT_EQ(entry(p, i), (Rgb{0, 0, 0}));
}

TEST(Pal8bpp, HalftoneCubesOfFewerLevels) {
    struct Case {
        int levels, entries;
        std::set<int> channelValues;
    };
    const Case cases[] = {{0, 8, {0, 255}},
                          {1, 27, {0, 128, 255}},
                          {2, 64, {0, 85, 170, 255}},
                          {3, 125, {0, 64, 128, 192, 255}},
                          {4, 216, {0, 51, 102, 153, 204, 255}}};
    for (const Case& c : cases) {
        cPal8bpp p;
        p.CreateHalftone(c.levels);
        EXPECT_EQ(p.Entries(), c.entries) << c.levels;
        std::set<int> seen;
        for (int i = 0; i < p.Entries(); ++i)
            for (int v : entry(p, i)) seen.insert(v);
        EXPECT_EQ(seen, c.channelValues) << c.levels;
        EXPECT_EQ(entriesOf(p).size(), size_t(c.entries)) << "all distinct";
        EXPECT_EQ(entry(p, 1), (Rgb{*std::next(c.channelValues.begin()), 0, 0})) << "red varies fastest";
    }
    cPal8bpp p;
    EXPECT_EQ(test::errorRaisedBy([&] { p.CreateHalftone(5); }), 5);
}

TEST(Pal8bpp, OptimalPaletteOfOneColourIsThatColour) {
    cDIB dib;
    giftest::fill32(dib, 40, 30, [](int, int) { return 0x7B2D01u; });
    cPal8bpp p;
    p.CreateOptimal(dib, 256, 8, 1, 1, 1);
    ASSERT_EQ(p.Entries(), 1);
    EXPECT_EQ(entry(p, 0), (Rgb{0x7B, 0x2D, 0x01}));
}

TEST(Pal8bpp, OptimalPaletteOfAtMost256ColoursHoldsExactlyThem) {
    std::mt19937 random(11);
    for (int n : {2, 17, 200, 256}) {
        // Random colours, but no two that differ only by 0 against 1 in a channel (those share
        // the deepest cell of the tree): every channel is at least 2.
        std::set<Rgb> wanted;
        while (wanted.size() < size_t(n))
            wanted.insert({int(2 + random() % 254), int(2 + random() % 254), int(2 + random() % 254)});
        std::vector<Rgb> colours(wanted.begin(), wanted.end());
        std::shuffle(colours.begin(), colours.end(), random);
        colours.insert(colours.end(), colours.begin(), colours.begin() + n / 2);  // repeats change nothing
        cDIB dib;
        pictureOf(dib, colours);
        cPal8bpp p;
        p.CreateOptimal(dib, 256, 8, 1, 1, 1);
        EXPECT_EQ(p.Entries(), n);
        EXPECT_EQ(entriesOf(p), wanted) << n;
    }
}

TEST(Pal8bpp, ChannelValuesZeroAndOneShareTheDeepestCell) {
    // All 256 greys: 0 and 1 fall into one leaf, whose average 0.5 rounds to 0.
    std::vector<Rgb> greys;
    for (int v = 0; v < 256; ++v) greys.push_back({v, v, v});
    cDIB dib;
    pictureOf(dib, greys);
    cPal8bpp p;
    p.CreateOptimal(dib, 256, 8, 1, 1, 1);
    std::set<Rgb> expected(greys.begin(), greys.end());
    expected.erase({1, 1, 1});
    EXPECT_EQ(p.Entries(), 255);
    EXPECT_EQ(entriesOf(p), expected);
}

TEST(Pal8bpp, OptimalPaletteOfManyColoursIsReducedToAverages) {
    // 300 distinct colours: at most 256 entries, each inside the colours' range, and every
    // colour close to an entry (leaves merge deepest first, among near colours).
    std::mt19937 random(3);
    std::set<Rgb> distinct;
    while (distinct.size() < 300) distinct.insert({int(random() % 256), int(random() % 256), int(random() % 256)});
    std::vector<Rgb> colours(distinct.begin(), distinct.end());
    std::shuffle(colours.begin(), colours.end(), random);
    cDIB dib;
    pictureOf(dib, colours, 20);
    cPal8bpp p;
    p.CreateOptimal(dib, 256, 8, 1, 1, 1);
    EXPECT_LE(p.Entries(), 256);
    EXPECT_GE(p.Entries(), 200);
    EXPECT_EQ(entriesOf(p).size(), size_t(p.Entries()));
    int exact = 0;
    for (const Rgb& c : colours) {
        int nearest = 1 << 30;
        for (int i = 0; i < p.Entries(); ++i) {
            const Rgb e = entry(p, i);
            nearest = std::min(nearest, std::max({std::abs(e[0] - c[0]), std::abs(e[1] - c[1]), std::abs(e[2] - c[2])}));
        }
        EXPECT_LE(nearest, 64);
        exact += nearest == 0;
    }
    EXPECT_GE(exact, 150) << "colours whose leaves were not merged keep their exact value";

    // With leaves one step below the root, each entry is the average of its octant's pixels
    // (a channel above 128 takes the upper half), rounded half to even.
    std::map<int, std::array<double, 4>> sums;
    for (const Rgb& c : colours) {
        auto& s = sums[(c[0] > 128) + 2 * (c[1] > 128) + 4 * (c[2] > 128)];
        for (int k = 0; k < 3; ++k) s[size_t(k)] += c[size_t(k)];
        s[3] += 1;
    }
    std::set<Rgb> averages;
    for (const auto& [octant, s] : sums)
        averages.insert({int(std::nearbyint(s[0] / s[3])), int(std::nearbyint(s[1] / s[3])), int(std::nearbyint(s[2] / s[3]))});
    cPal8bpp octants;
    octants.CreateOptimal(dib, 256, 1, 1, 1, 1);
    EXPECT_EQ(entriesOf(octants), averages);

    cPal8bpp few;
    few.CreateOptimal(dib, 8, 8, 1, 1, 1);
    EXPECT_LE(few.Entries(), 8);
    EXPECT_GE(few.Entries(), 2);
}

TEST(Pal8bpp, OptimalPaletteNeedsA32BitPicture) {
    cDIB dib;
    dib.Create(10, 10, 24);
    cPal8bpp p;
    p.CreateHalftone(0);
    p.CreateOptimal(dib, 256, 8, 1, 1, 1);
    EXPECT_EQ(p.Entries(), 8) << "unchanged";
    cDIB good;
    giftest::fill32(good, 2, 2, [](int, int) { return 0u; });
    EXPECT_EQ(test::errorRaisedBy([&] { p.CreateOptimal(good, 257, 8, 1, 1, 1); }), 5);
    EXPECT_EQ(test::errorRaisedBy([&] { p.CreateOptimal(good, 256, 9, 1, 1, 1); }), 5);
}

TEST(Pal8bpp, ClosestIndexIsTheNearestEntryAndTheFirstOfEqualOnes) {
    cPal8bpp p;
    p.CreateHalftone(4);
    EXPECT_EQ(p.ClosestIndex(0, 0, 0), 0);
    EXPECT_EQ(p.ClosestIndex(250, 3, 1), 5);
    EXPECT_EQ(p.ClosestIndex(60, 100, 160), 1 + 6 * 2 + 36 * 3);
    p.Initialize(3);
    p.rgbR(0, 10);
    p.rgbR(1, 30);
    p.rgbR(2, 30);
    EXPECT_EQ(p.ClosestIndex(20, 0, 0), 0) << "a tie goes to the lower index";
    EXPECT_EQ(p.ClosestIndex(29, 0, 0), 1);
    EXPECT_EQ(test::errorRaisedBy([&] { p.rgbR(256, 1); }), 9);
    EXPECT_EQ(test::errorRaisedBy([&] { p.Initialize(257); }), 9);
}

}  // namespace
}  // namespace kelvane
