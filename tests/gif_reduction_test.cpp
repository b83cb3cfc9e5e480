// Colour reduction to 8 bits: each palette and dither mode maps every pixel as its rule says,
// unused entries are removed, and the modes live per thread.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "error_raised.h"
#include "gif_test_support.h"
#include "output/palette/dither8bpp.h"
#include "output/palette/pal8bpp.h"

namespace kelvane {
namespace {

using namespace mDither8bpp;

// Every test starts from the modes a new thread has.
class Reduction : public ::testing::Test {
protected:
    void SetUp() override { setModes(kPaletteCube, kDitherNone); }
    void TearDown() override { setModes(kPaletteCube, kDitherNone); }
    static void setModes(int32_t palette, int32_t dither) {
        SetPaletteMode(palette);
        SetDitherMode(dither);
    }
};

// The ordered-dither matrix, row by row, and its thresholds on 51-wide steps.
constexpr int kMatrix[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

int level(double v, double step, int top) { return std::clamp(int(std::nearbyint(v / step)), 0, top); }

uint32_t channel(uint32_t c, int k) { return (c >> (16 - 8 * k)) & 0xFF; }  // k: 0 red, 1 green, 2 blue

// 0x00RRGGBB of a 32-bit picture's pixel.
uint32_t colourAt(const cDIB& dib, int x, int y) {
    const uint8_t* p = dib.lpBits() + size_t(y) * size_t(dib.BytesPerScanLine()) + size_t(x) * 4;
    return uint32_t(p[2] << 16 | p[1] << 8 | p[0]);
}

uint8_t at(const cDIB& dib, int x, int y) { return dib.lpBits()[size_t(y) * size_t(dib.BytesPerScanLine()) + size_t(x)]; }

std::function<uint32_t(int, int)> noise(unsigned seed) {
    auto random = std::make_shared<std::mt19937>(seed);
    return [random](int, int) { return uint32_t((*random)() & 0xFFFFFF); };
}

TEST_F(Reduction, CubeMapsEachChannelToItsNearestStep) {
    for (bool ordered : {false, true}) {
        SCOPED_TRACE(ordered ? "ordered" : "no dither");
        setModes(kPaletteCube, ordered ? kDitherOrdered : kDitherNone);
        cDIB source, reduced;
        giftest::fill32(source, 37, 23, noise(4));
        cPal8bpp palette;
        ASSERT_TRUE(ReduceTo8bpp(source, reduced, palette));
        EXPECT_EQ(palette.Entries(), 216);
        ASSERT_EQ(reduced.BPP(), 8);
        for (int y = 0; y < 23; ++y)
            for (int x = 0; x < 37; ++x) {
                const uint32_t pixel = colourAt(source, x, y);
                const int t = ordered ? int(std::nearbyint((kMatrix[y % 4][x % 4] + 1) * 51 / 16.0)) : 26;
                int index = 0;
                for (int k = 2; k >= 0; --k) index = index * 6 + level(double(channel(pixel, k)) + 26 - t, 51, 5);
                ASSERT_EQ(at(reduced, x, y), index) << x << "," << y;
            }
    }
}

TEST_F(Reduction, CubeCornersAndTheDitheredGrey) {
    cPal8bpp palette;
    struct Case {
        uint32_t colour;
        int index;
    };
    for (const Case& c : {Case{0xFFFFFF, 215}, Case{0x000000, 0}, Case{0xFF0000, 5}, Case{0x0000FF, 180}}) {
        cDIB source, reduced;
        giftest::fill32(source, 5, 5, [&](int, int) { return c.colour; });
        ReduceTo8bpp(source, reduced, palette);
        EXPECT_EQ(at(reduced, 4, 4), c.index) << std::hex << c.colour;
    }
    // Grey 128 under the dither: level 3 where the threshold is at most 26, else level 2.
    setModes(kPaletteCube, kDitherOrdered);
    cDIB source, reduced;
    giftest::fill32(source, 9, 9, [](int, int) { return 0x808080u; });
    ReduceTo8bpp(source, reduced, palette);
    const int grey2 = 2 * 43, grey3 = 3 * 43;
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) {
            const int t = int(std::nearbyint((kMatrix[y % 4][x % 4] + 1) * 51 / 16.0));
            EXPECT_EQ(at(reduced, x, y), t <= 26 ? grey3 : grey2) << x << "," << y;
        }
}

// The optimal palette maps each pixel through the colour lookup: the entry nearest to the
// channel levels on sixteen steps of 17, with the dither shifting each channel by 7 - B.
TEST_F(Reduction, OptimalPaletteMapsThroughTheLookup) {
    for (bool ordered : {false, true}) {
        SCOPED_TRACE(ordered ? "ordered" : "no dither");
        setModes(kPaletteOptimal, ordered ? kDitherOrdered : kDitherNone);
        cDIB source, reduced;
        // Smooth colours with black and white corners: the dither's lowest values reach below 0.
        giftest::fill32(source, 64, 48, [](int x, int y) {
            if (x < 8 && y < 8) return 0u;
            if (x >= 56 && y >= 40) return 0xFFFFFFu;
            return uint32_t((x * 4) << 16 | (y * 5) << 8 | ((x + y) * 2));
        });
        cPal8bpp palette;
        ASSERT_TRUE(ReduceTo8bpp(source, reduced, palette));
        ASSERT_GE(palette.Entries(), 2);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) {
                const uint32_t pixel = colourAt(source, x, y);
                const int shift = ordered ? 8 - (kMatrix[y % 4][x % 4] + 1) : 0;
                int target[3];
                for (int k = 0; k < 3; ++k) target[k] = 17 * level(double(channel(pixel, k)) + shift, 17, 15);
                auto distance = [&](int i) {
                    const int dr = palette.rgbR(i) - target[0], dg = palette.rgbG(i) - target[1], db = palette.rgbB(i) - target[2];
                    return dr * dr + dg * dg + db * db;
                };
                int best = distance(0);
                for (int i = 1; i < palette.Entries(); ++i) best = std::min(best, distance(i));
                const int index = at(reduced, x, y);
                ASSERT_LT(index, palette.Entries());
                ASSERT_EQ(distance(index), best) << x << "," << y;
            }
    }
}

TEST_F(Reduction, OneColourUnderTheOptimalPaletteGetsASecondBlackEntry) {
    setModes(kPaletteOptimal, kDitherOrdered);
    cDIB source, reduced;
    giftest::fill32(source, 12, 12, [](int, int) { return 0x10E0A0u; });
    cPal8bpp palette;
    ASSERT_TRUE(ReduceTo8bpp(source, reduced, palette));
    ASSERT_EQ(palette.Entries(), 2);
    EXPECT_EQ(palette.rgbR(0), 0x10);
    EXPECT_EQ(palette.rgbG(0), 0xE0);
    EXPECT_EQ(palette.rgbB(0), 0xA0);
    EXPECT_EQ(palette.rgbR(1) | palette.rgbG(1) | palette.rgbB(1), 0);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) EXPECT_EQ(at(reduced, x, y), 0) << "the black entry is never used";
}

TEST_F(Reduction, ALongThinPictureStillGetsItsColours) {
    // 32767 x 1 fits 150 x 150 as 150 x 0: the palette's copy keeps one row.
    setModes(kPaletteOptimal, kDitherNone);
    cDIB source, reduced;
    giftest::fill32(source, 32767, 1, [](int x, int) { return x < 16000 ? 0xFF0000u : 0x00FF00u; });
    cPal8bpp palette;
    ASSERT_TRUE(ReduceTo8bpp(source, reduced, palette));
    EXPECT_EQ(palette.rgbR(at(reduced, 0, 0)), 255);
    EXPECT_EQ(palette.rgbG(at(reduced, 32766, 0)), 255);
}

TEST_F(Reduction, OnlyA32BitSourceIsReduced) {
    cDIB source, reduced;
    source.Create(4, 4, 24);
    cPal8bpp palette;
    EXPECT_FALSE(ReduceTo8bpp(source, reduced, palette));
    EXPECT_EQ(reduced.BPP(), 0);
    const cDIB none;
    EXPECT_FALSE(ReduceTo8bpp(none, reduced, palette));
}

TEST_F(Reduction, RemovingUnusedColoursKeepsTheColoursAndTheirOrder) {
    struct Case {
        const char* what;
        std::vector<int> indices;  // used, each given to a column band
        int entriesAfter;
    };
    const Case cases[] = {{"one colour", {215}, 2},
                          {"black alone", {0}, 2},
                          {"three", {180, 5, 30}, 3},
                          {"all", {}, 216}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        cPal8bpp palette;
        palette.CreateHalftone(4);
        cDIB picture;
        giftest::fill8(picture, 36, 7, [&](int x, int y) {
            return uint8_t(c.indices.empty() ? (x + 36 * y) % 216 : c.indices[size_t(x) % c.indices.size()]);
        });
        cPal8bpp before = palette;
        RemoveUnusedColours(picture, palette);
        EXPECT_EQ(palette.Entries(), c.entriesAfter);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 36; ++x) {
                const int old = c.indices.empty() ? (x + 36 * y) % 216 : c.indices[size_t(x) % c.indices.size()];
                const int now = at(picture, x, y);
                ASSERT_LT(now, palette.Entries());
                ASSERT_EQ(palette.rgbR(now), before.rgbR(old));
                ASSERT_EQ(palette.rgbG(now), before.rgbG(old));
                ASSERT_EQ(palette.rgbB(now), before.rgbB(old));
            }
        if (c.indices.size() == 1) {
            EXPECT_EQ(palette.rgbR(1) | palette.rgbG(1) | palette.rgbB(1), 0) << "old entry 0 of the cube: black";
        }
        if (c.indices.size() == 3) {
            EXPECT_EQ(palette.rgbR(0), 255) << "entry 5 stays before entries 30 and 180";
            EXPECT_EQ(palette.rgbG(1), 255);
            EXPECT_EQ(palette.rgbB(2), 255);
        }
    }
}

TEST_F(Reduction, OnlyTheModesThatExistCanBeChosen) {
    EXPECT_EQ(test::errorRaisedBy([] { SetDitherMode(2); }), 5) << "error diffusion is not offered";
    EXPECT_EQ(test::errorRaisedBy([] { SetPaletteMode(3); }), 5);
    EXPECT_EQ(PaletteMode(), kPaletteCube);
    EXPECT_EQ(DitherMode(), kDitherNone);
}

}  // namespace
}  // namespace kelvane
