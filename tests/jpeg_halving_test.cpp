// The chroma halving taken straight from the canvas must give the pixels of the halftone StretchBlt
// it stands for, byte for byte, and must only be taken where that stretch is an exact 2 x 2 mean.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "output/jpeg/jpeg_encoder.h"
#include "output/jpeg/jpeg_halving.h"
#include "output/jpeg/jpeg_tables.h"
#include "raster/dib_section.h"
#include "vector_isas.h"

namespace kelvane::jpeg {
namespace {

using namespace gdi;

BITMAPINFO sectionInfo(int width, int height, int bpp) {
    BITMAPINFO info{};
    // BITMAPINFO holds one colour entry; a palette picture says so, or its table is read past it.
    const DWORD colours = bpp <= 8 ? 1 : 0;
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, WORD(bpp), 0, 0, 0, 0, colours, 0};
    return info;
}

// A section of random pixels; a negative height makes it top-down. Palette depths get a table of
// 256 entries (all black) to read.
void randomSection(DibSection& section, int width, int height, int bpp, std::mt19937& random) {
    struct {
        BITMAPINFO info;
        RGBQUAD rest[255];
    } table{sectionInfo(width, height, bpp), {}};
    ASSERT_TRUE(section.create(&table.info));
    const int rows = height < 0 ? -height : height;
    const size_t stride = size_t((width * bpp + 31) / 32 * 4);
    for (size_t i = 0; i < stride * size_t(rows); ++i) section.bits()[i] = uint8_t(random());
}

// Flat patches laid over a random section, so that its blocks are both flat and busy.
void flatPatches(DibSection& section, int width, int height, int bpp) {
    const int rows = height < 0 ? -height : height;
    const size_t stride = size_t((width * bpp + 31) / 32 * 4), step = size_t(bpp / 8);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < width; ++x)
            if ((x / 13 + y / 11) % 3)
                std::memset(section.bits() + size_t(y) * stride + size_t(x) * step, 40 * ((x / 13) % 5), step);
}

TEST(JpegHalving, EveryKernelMatchesTheHalftoneStretchOnRandomCanvases) {
    for (VectorIsa isa : test::vectorIsasHere()) {
        const VectorIsaLimit limit(isa);
        struct Case {
            int width, height, bpp, left, top, halfWidth, halfHeight;
        };
        std::mt19937 random(11);
        for (const Case& c : {Case{2, 2, 24, 0, 0, 1, 1}, Case{400, 300, 24, 0, 0, 200, 150},
                              Case{37, 29, 24, 3, 5, 17, 12}, Case{64, -48, 24, 0, 0, 32, 24},
                              Case{50, 40, 32, 1, 2, 24, 19}, Case{33, -21, 32, 5, 1, 14, 10},
                              // Rows read to their last byte, at the end of the pixel memory.
                              Case{41, 7, 24, 0, 1, 20, 3}, Case{26, 6, 24, 2, 0, 12, 3},
                              Case{13, 4, 24, 1, 0, 6, 2}}) {
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
                    << test::isaName(isa) << " " << c.width << "x" << c.height << " at " << c.bpp << " bits, row " << y;
            }
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

// Both chrominance planes of a canvas of flat patches and noise, made band by band, must be the
// planes of the whole half-size picture: the same blocks, values and symbol counts.
TEST(JpegHalving, BandsMakeThePlanesOfTheWholePicture) {
    struct Case {
        int width, height, bpp, left, top, halfWidth, halfHeight, bandRows;
    };
    QuantTable table;
    table.values = scaleTable(baseTable(1), qualityScale(75));
    computeDivisors(table, 8);
    std::mt19937 random(3);
    for (const Case& c : {Case{130, 98, 24, 0, 0, 65, 49, 8}, Case{130, 98, 24, 0, 0, 65, 49, 16},
                          Case{131, -99, 32, 1, 1, 61, 47, 24}, Case{64, 64, 24, 0, 0, 32, 32, 8},
                          Case{64, 64, 24, 0, 0, 32, 32, 64}, Case{18, 20, 24, 2, 0, 7, 9, 8}}) {
        DibSection canvas;
        randomSection(canvas, c.width, c.height, c.bpp, random);
        flatPatches(canvas, c.width, c.height, c.bpp);
        const Surface* surface = halvableSource(canvas.dc(), c.left, c.top, c.halfWidth, c.halfHeight);
        ASSERT_NE(surface, nullptr);
        const int32_t paddedWidth = (c.halfWidth + 7) / 8 * 8, paddedHeight = (c.halfHeight + 7) / 8 * 8;

        Plane whole[2], banded[2];
        const PlaneJob wholeJobs[2] = {{ColourComponent::BlueDifference, &table, &whole[0]},
                                       {ColourComponent::RedDifference, &table, &whole[1]}};
        const PlaneJob bandJobs[2] = {{ColourComponent::BlueDifference, &table, &banded[0]},
                                      {ColourComponent::RedDifference, &table, &banded[1]}};
        const spare::Block pixels = halvePixels(*surface, c.left, c.top, c.halfWidth, c.halfHeight);
        transformPlanes({pixels.get(), ptrdiff_t(c.halfWidth) * 3, c.halfWidth, c.halfHeight}, paddedWidth,
                        paddedHeight, wholeJobs);
        ASSERT_TRUE(transformHalved(*surface, c.left, c.top, c.halfWidth, c.halfHeight, paddedWidth, paddedHeight,
                                    bandJobs, c.bandRows));
        for (int k = 0; k < 2; ++k) {
            const Plane &a = whole[k], &b = banded[k];
            const std::string where = std::to_string(c.width) + "x" + std::to_string(c.height) + " bands of " +
                                      std::to_string(c.bandRows) + ", plane " + std::to_string(k);
            EXPECT_EQ(b.blocksWide, a.blocksWide) << where;
            EXPECT_EQ(b.blocksHigh, a.blocksHigh) << where;
            ASSERT_EQ(b.blocks.size(), a.blocks.size()) << where;
            for (size_t i = 0; i < a.blocks.size(); ++i) {
                EXPECT_EQ(b.blocks[i].dc, a.blocks[i].dc) << where << " block " << i;
                EXPECT_EQ(b.blocks[i].acMask, a.blocks[i].acMask) << where << " block " << i;
                EXPECT_EQ(b.blocks[i].values, a.blocks[i].values) << where << " block " << i;
            }
            EXPECT_TRUE(b.values == a.values) << where;
            EXPECT_EQ(b.acSymbols, a.acSymbols) << where;
        }
    }
}

// A 24-bit canvas is read in place where a copy would give the same bytes; the stream must be that
// of a 32-bit canvas of the same pixels, which is copied, whatever the orientation and rectangle.
TEST(JpegHalving, ReadingA24BitCanvasInPlaceGivesTheStreamOfACopy) {
    struct Case {
        int left, top, width, height;
    };
    constexpr int kWidth = 61, kHeight = 47;
    DibSection source;
    std::mt19937 random(9);
    randomSection(source, kWidth, -kHeight, 24, random);
    flatPatches(source, kWidth, -kHeight, 24);
    const auto canvasOf = [&source](DibSection& canvas, int height, int bpp) {
        const BITMAPINFO info = sectionInfo(kWidth, height, bpp);
        ASSERT_TRUE(canvas.create(&info));
        BitBlt(canvas.dc(), 0, 0, kWidth, kHeight, source.dc(), 0, 0, SRCCOPY);
    };
    DibSection bottomUp, topDown, copied;
    canvasOf(bottomUp, kHeight, 24);
    canvasOf(topDown, -kHeight, 24);
    canvasOf(copied, kHeight, 32);
    const auto streamOf = [](const DibSection& canvas, const Case& c) {
        cJpeg jpeg;
        EXPECT_EQ(jpeg.SampleHDC(canvas.dc(), c.width, c.height, c.left, c.top), 0);
        return jpeg.SaveBinary().bytes();
    };
    for (const Case& c : {Case{0, 0, kWidth, kHeight}, Case{3, 5, 40, 33}, Case{1, 0, 17, 9}, Case{0, 2, 8, 8}}) {
        EXPECT_GT(copyableView(bottomUp.dc(), c.left, c.top, c.width, c.height).height, 0);
        EXPECT_EQ(copyableView(copied.dc(), c.left, c.top, c.width, c.height).height, 0);
        const auto expected = streamOf(copied, c);
        EXPECT_TRUE(streamOf(bottomUp, c) == expected) << c.left << "," << c.top << " " << c.width << "x" << c.height;
        EXPECT_TRUE(streamOf(topDown, c) == expected) << c.left << "," << c.top << " " << c.width << "x" << c.height;
    }
}

}  // namespace
}  // namespace kelvane::jpeg
