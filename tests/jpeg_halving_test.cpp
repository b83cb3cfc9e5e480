// The chroma halving taken straight from the canvas must give the pixels of the halftone StretchBlt
// it stands for, byte for byte, and must only be taken where that stretch is an exact 2 x 2 mean.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "output/jpeg_halving.h"
#include "raster/dib_section.h"

namespace kelvane::jpeg {
namespace {

using namespace gdi;

BITMAPINFO sectionInfo(int width, int height, int bpp) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, WORD(bpp), 0, 0, 0, 0, 0, 0};
    return info;
}

// A section of random pixels; a negative height makes it top-down.
void randomSection(DibSection& section, int width, int height, int bpp, std::mt19937& random) {
    const BITMAPINFO info = sectionInfo(width, height, bpp);
    ASSERT_TRUE(section.create(&info));
    const int rows = height < 0 ? -height : height;
    const size_t stride = size_t((width * bpp + 31) / 32 * 4);
    for (size_t i = 0; i < stride * size_t(rows); ++i) section.bits()[i] = uint8_t(random());
}

TEST(JpegHalving, MatchesTheHalftoneStretchOnRandomCanvases) {
    struct Case {
        int width, height, bpp, left, top, halfWidth, halfHeight;
    };
    std::mt19937 random(11);
    for (const Case& c : {Case{2, 2, 24, 0, 0, 1, 1}, Case{400, 300, 24, 0, 0, 200, 150},
                          Case{37, 29, 24, 3, 5, 17, 12}, Case{64, -48, 24, 0, 0, 32, 24},
                          Case{50, 40, 32, 1, 2, 24, 19}, Case{33, -21, 32, 5, 1, 14, 10}}) {
        DibSection canvas;
        randomSection(canvas, c.width, c.height, c.bpp, random);
        const Surface* surface = halvableSource(canvas.dc(), c.left, c.top, c.halfWidth, c.halfHeight);
        ASSERT_NE(surface, nullptr) << c.width << "x" << c.height;
        const spare::Block fast = halvePixels(*surface, c.left, c.top, c.halfWidth, c.halfHeight);

        DibSection literal;
        const BITMAPINFO info = sectionInfo(c.halfWidth, c.halfHeight, 24);
        ASSERT_TRUE(literal.create(&info));
        SetStretchBltMode(literal.dc(), HALFTONE);
        StretchBlt(literal.dc(), 0, 0, c.halfWidth, c.halfHeight, canvas.dc(), c.left, c.top, 2 * c.halfWidth,
                   2 * c.halfHeight, SRCCOPY);
        const size_t stride = size_t((c.halfWidth * 24 + 31) / 32 * 4), rowBytes = size_t(c.halfWidth) * 3;
        for (int y = 0; y < c.halfHeight; ++y) {
            const uint8_t* expected = literal.bits() + size_t(c.halfHeight - 1 - y) * stride;  // bottom-up
            EXPECT_EQ(std::memcmp(fast.get() + size_t(y) * rowBytes, expected, rowBytes), 0)
                << c.width << "x" << c.height << " at " << c.bpp << " bits, row " << y;
        }
    }
}

TEST(JpegHalving, TakenOnlyForWholeRectanglesOfTrueColourCanvases) {
    struct Case {
        int bpp, left, top, halfWidth, halfHeight;
        bool taken;
    };
    std::mt19937 random(5);
    for (const Case& c : {Case{24, 0, 0, 20, 15, true}, Case{32, 0, 0, 20, 15, true}, Case{8, 0, 0, 20, 15, false},
                          Case{24, 1, 0, 20, 15, false}, Case{24, 0, 1, 20, 15, false},
                          Case{24, -1, 0, 10, 10, false}, Case{24, 0, 0, 0, 10, false}}) {
        DibSection canvas;
        randomSection(canvas, 40, 30, c.bpp, random);
        EXPECT_EQ(halvableSource(canvas.dc(), c.left, c.top, c.halfWidth, c.halfHeight) != nullptr, c.taken)
            << c.bpp << " bits at " << c.left << "," << c.top << " size " << c.halfWidth << "x" << c.halfHeight;
    }
    EXPECT_EQ(halvableSource(nullptr, 0, 0, 1, 1), nullptr);
}

}  // namespace
}  // namespace kelvane::jpeg
