// The row filters and compression settings of the PNG encoder, read back by libpng: every filter
// on palette rows of each depth and on 24-bit rows gives the pixels exactly, and the compressor a
// thread keeps gives the same stream again after other settings were used.
#include <gtest/gtest.h>

#include <random>

#include "output/png/png_encoder.h"
#include "png_test_support.h"

namespace kelvane::png {
namespace {

// Bottom-up rows of blue, green, red, as the canvas holds them, padded to four bytes.
struct Pixels {
    int32_t width, height;
    std::vector<uint8_t> bgr;
    ptrdiff_t stride() const { return (ptrdiff_t(width) * 3 + 3) & ~ptrdiff_t(3); }
    BgrRows rows() const { return {bgr.data() + (height - 1) * stride(), -stride(), width, height}; }
    // Top-down red, green, blue, as the decoder gives them.
    std::vector<uint8_t> rgb() const {
        std::vector<uint8_t> out;
        const BgrRows r = rows();
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) {
                const uint8_t* p = r.top + y * r.stride + 3 * x;
                out.insert(out.end(), {p[2], p[1], p[0]});
            }
        return out;
    }
};

// Runs, repeated rows and a few random pixels from `colours` colours; above 256 colours,
// gradients with noise, like a photograph, where every predictor of a filter gets its turn.
Pixels chartLike(int32_t width, int32_t height, uint32_t colours, uint32_t seed) {
    Pixels p{width, height, {}};
    p.bgr.assign(size_t(p.stride()) * size_t(height), 0);
    std::mt19937 random(seed);
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = p.bgr.data() + y * p.stride();
        if (y > 0 && random() % 3 == 0) {
            std::copy_n(row - p.stride(), p.stride(), row);
            continue;
        }
        uint32_t k = random() % colours;
        for (int32_t x = 0; x < width; ++x) {
            if (random() % 7 == 0) k = random() % colours;
            const uint32_t c = colours > 256 ? uint32_t((2 * x + int(random() % 5)) & 0xFF) << 16 |
                                                   uint32_t((3 * y + int(random() % 5)) & 0xFF) << 8 |
                                                   uint32_t((x + y + int(random() % 5)) & 0xFF)
                                             : k * 0x3F1D07u;
            row[3 * x] = uint8_t(c), row[3 * x + 1] = uint8_t(c >> 8), row[3 * x + 2] = uint8_t(c >> 16);
        }
    }
    return p;
}

std::vector<uint8_t> encode(const Pixels& pixels, const Compression& compression) {
    std::vector<uint8_t> out;
    EXPECT_EQ(EncodePicture(pixels.rows(), {compression, compression}, out), "");
    return out;
}

TEST(PngFilters, EveryFilterAndStrategyDecodesToThePixels) {
    struct Case {
        const char* name;
        int32_t width, height;
        uint32_t colours;
        int bitDepth, colourType;
    };
    const Case cases[] = {{"1 bit, odd width", 37, 9, 2, 1, 3}, {"2 bits", 41, 7, 4, 2, 3},
                          {"4 bits", 33, 8, 16, 4, 3},          {"8 bits", 29, 10, 200, 8, 3},
                          {"24 bits", 61, 23, 5000, 8, 2},      {"one row", 900, 1, 5000, 8, 2},
                          {"one column", 1, 900, 5000, 8, 2},   {"24 bits, rows in several bands", 2000, 150, 5000, 8, 2}};
    for (const Case& c : cases) {
        const Pixels pixels = chartLike(c.width, c.height, c.colours, uint32_t(c.width));
        for (RowFilter filter : {RowFilter::None, RowFilter::Sub, RowFilter::Up, RowFilter::Paeth})
            for (bool runLength : {false, true}) {
                SCOPED_TRACE(std::string(c.name) + ", filter " + std::to_string(int(filter)) +
                             (runLength ? ", run length" : ""));
                const std::vector<uint8_t> stream = encode(pixels, {filter, {runLength ? 1 : 6, runLength}});
                EXPECT_EQ(pngtest::bitDepthOf(stream), c.bitDepth);
                EXPECT_EQ(pngtest::colourTypeOf(stream), c.colourType);
                const pngtest::Decoded d = pngtest::decodePng(stream);
                ASSERT_TRUE(d.ok) << d.message;
                EXPECT_EQ(d.picture.bytes, pixels.rgb());
            }
    }
}

TEST(PngFilters, TheKeptCompressorGivesTheSameStreamAfterOtherSettings) {
    const Pixels pixels = chartLike(120, 90, 12, 3);
    const Compression up{RowFilter::Up, {1, true}}, paeth{RowFilter::Paeth, {9, false}};
    const std::vector<uint8_t> first = encode(pixels, up);
    const std::vector<uint8_t> other = encode(chartLike(64, 64, 9000, 4), paeth);
    EXPECT_TRUE(pngtest::decodePng(other).ok);
    EXPECT_EQ(encode(pixels, up), first);
    EXPECT_EQ(encode(pixels, up), first);
}

}  // namespace
}  // namespace kelvane::png
