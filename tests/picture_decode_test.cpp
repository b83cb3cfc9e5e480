// Picture files in every format we read come back with exactly their pixels (JPEG: within its
// loss), and damaged or hostile files give no picture without crashing.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <random>

#include "picture/decode_picture.h"
#include "picture/image_from.h"
#include "output/bmp/bmp.h"
#include "picture_helpers.h"

namespace kelvane {
namespace {

using namespace gdi;
using test::Pixels;

// The sample pictures' content, as tests/data/pictures/make_pictures.py wrote it.
COLORREF sampleRgb(int x, int y) { return RGB(BYTE(30 * x + 10), BYTE(50 * y + 5), BYTE(255 - 20 * (x + y))); }
int sampleIndex(int x, int y) { return (3 * x + 5 * y) % 16; }
COLORREF samplePalette(int i) { return RGB(BYTE(37 * i), BYTE(91 * i + 20), BYTE(255 - 13 * i)); }
bool sampleF(int x, int y) { return x == 1 || (y == 0 && x >= 1 && x <= 5) || (y == 2 && x >= 1 && x <= 3); }

Pixels decoded(const std::string& name) {
    return test::pixelsOf(mImageFrom::PictureFromBytes(test::samplePicture(name)));
}

void expectPixels(const Pixels& p, int w, int h, COLORREF (*expected)(int, int), const std::string& name) {
    ASSERT_EQ(p.width, w) << name;
    ASSERT_EQ(p.height, h) << name;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) EXPECT_EQ(p.at(x, y), expected(x, y)) << name << " at " << x << "," << y;
}

COLORREF indexed(int x, int y) { return samplePalette(sampleIndex(x, y)); }

int channelDistance(COLORREF a, COLORREF b) {
    return std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                     std::abs(GetBValue(a) - GetBValue(b))});
}

TEST(PictureDecoding, TrueColourBmpsKeepEveryPixelInEveryRowOrderAndLayout) {
    for (const char* name : {"rgb24.bmp", "rgb24_topdown.bmp", "rgb32.bmp", "rgb32_v5_bitfields.bmp"})
        expectPixels(decoded(name), 7, 5, sampleRgb, name);
}

TEST(PictureDecoding, PaletteBmpsLookUpTheirColourTables) {
    for (const char* name : {"pal4.bmp", "pal8.bmp", "pal8_core.bmp", "rle8.bmp", "rle4.bmp"})
        expectPixels(decoded(name), 7, 5, indexed, name);
    expectPixels(
        decoded("pal1.bmp"), 7, 5,
        [](int x, int y) { return sampleF(x, y) ? RGB(20, 40, 160) : RGB(250, 240, 230); }, "pal1.bmp");
}

TEST(PictureDecoding, SixteenBitPixelsWidenEachChannelByRepeatingItsBits) {
    const Pixels p555 = decoded("rgb16_555.bmp");
    ASSERT_EQ(p555.width, 4);
    ASSERT_EQ(p555.height, 2);
    const COLORREF top[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(132, 132, 132)};
    const COLORREF bottom[] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(8, 8, 8), RGB(165, 165, 165)};
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(p555.at(x, 0), top[x]) << x;
        EXPECT_EQ(p555.at(x, 1), bottom[x]) << x;
    }
    const Pixels p565 = decoded("rgb16_565.bmp");
    ASSERT_EQ(p565.width, 4);
    const COLORREF row[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 4, 0), RGB(132, 130, 132)};
    for (int x = 0; x < 4; ++x) EXPECT_EQ(p565.at(x, 0), row[x]) << x;
}

TEST(PictureDecoding, RlePixelsSkippedByADeltaOrLineEndStayBlack) {
    const Pixels p = decoded("rle8_delta.bmp");
    ASSERT_EQ(p.width, 4);
    ASSERT_EQ(p.height, 3);
    const COLORREF k = RGB(0, 0, 0), red = RGB(200, 0, 0), green = RGB(0, 200, 0);
    const COLORREF expected[3][4] = {{green, red, green, k}, {k, k, k, green}, {red, red, k, k}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(p.at(x, y), expected[y][x]) << x << "," << y;
}

TEST(PictureDecoding, GifFirstFrameKeepsItsPixelsWhetherInterlacedOrNot) {
    expectPixels(decoded("basic.gif"), 7, 5, indexed, "basic.gif");
    expectPixels(decoded("interlaced.gif"), 7, 5, indexed, "interlaced.gif");
}

TEST(PictureDecoding, GifFrameIsDrawnAtItsOffsetOnTheBackgroundInItsOwnPaletteIgnoringTransparency) {
    const Pixels p = decoded("offset.gif");
    ASSERT_EQ(p.width, 10);
    ASSERT_EQ(p.height, 8);
    const COLORREF local[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0)};
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 10; ++x) {
            const bool inFrame = x >= 5 && x < 9 && y >= 4 && y < 7;
            const COLORREF expected = inFrame ? local[(x - 5 + y - 4) % 4] : samplePalette(3);
            EXPECT_EQ(p.at(x, y), expected) << x << "," << y;
        }
    }
}

TEST(PictureDecoding, GifFrameReachingPastItsScreenEnlargesThePicture) {
    const Pixels p = decoded("oversized_frame.gif");
    ASSERT_EQ(p.width, 7);
    ASSERT_EQ(p.height, 5);
    EXPECT_EQ(p.at(0, 0), samplePalette(1));
    EXPECT_EQ(p.at(1, 3), samplePalette(0));
    EXPECT_EQ(p.at(6, 4), samplePalette((5 + 2) % 16));
}

TEST(PictureDecoding, JpegBlocksComeBackCloseToTheirColours) {
    const COLORREF blocks[2][2] = {{RGB(200, 30, 40), RGB(30, 180, 60)}, {RGB(40, 50, 210), RGB(128, 128, 128)}};
    for (const char* name : {"blocks.jpg", "blocks_progressive.jpg"}) {
        const Pixels p = decoded(name);
        ASSERT_EQ(p.width, 16) << name;
        ASSERT_EQ(p.height, 16) << name;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                EXPECT_LE(channelDistance(p.at(x, y), blocks[y / 8][x / 8]), 6) << name << " at " << x << "," << y;
    }
}

TEST(PictureDecoding, GreyJpegBecomesGreyPixelsOfEachBlocksLuminance) {
    const Pixels p = decoded("blocks_grey.jpg");
    ASSERT_EQ(p.width, 16);
    const int luminance[2][2] = {{82, 121}, {65, 128}};  // 0.299 R + 0.587 G + 0.114 B
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const COLORREF c = p.at(x, y);
            EXPECT_EQ(GetRValue(c), GetGValue(c));
            EXPECT_EQ(GetRValue(c), GetBValue(c));
            EXPECT_NEAR(GetRValue(c), luminance[y / 8][x / 8], 4) << x << "," << y;
        }
    }
}

TEST(PictureDecoding, TheCanvasImageOfTheOutputLoadsBackPixelForPixel) {
    // The GIF output turns the canvas into an in-memory BMP image (pixels after a spare colour
    // entry) and loads it back as a picture.
    BITMAPINFO info{};
    info.bmiHeader = BmpInfoHeader24(7, 5, 0);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, bitmap);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) SetPixel(dc, x, y, sampleRgb(x, y));
    const std::vector<uint8_t> image = BuildBmpImage(dc, bitmap);
    expectPixels(test::pixelsOf(mImageFrom::PictureFromBytes(image)), 7, 5, sampleRgb, "canvas image");
}

const char* const kSamples[] = {"rgb24.bmp", "rgb24_topdown.bmp", "rgb32.bmp", "rgb32_v5_bitfields.bmp",
                                "rgb16_555.bmp", "rgb16_565.bmp", "pal1.bmp", "pal4.bmp", "pal8.bmp",
                                "pal8_core.bmp", "rle8.bmp", "rle4.bmp", "rle8_delta.bmp", "basic.gif",
                                "interlaced.gif", "offset.gif", "oversized_frame.gif", "blocks.jpg",
                                "blocks_progressive.jpg", "blocks_grey.jpg"};

TEST(DamagedPictures, EveryTruncationIsDecodedOrRefusedAndAHalfFileIsRefused) {
    for (const char* name : kSamples) {
        const std::vector<uint8_t> whole = test::samplePicture(name);
        ASSERT_FALSE(whole.empty()) << name;
        for (size_t n = 0; n < whole.size(); ++n) {
            const std::vector<uint8_t> cut(whole.begin(), whole.begin() + std::ptrdiff_t(n));
            (void)decode::DecodePicture(cut);
        }
        const std::vector<uint8_t> half(whole.begin(), whole.begin() + std::ptrdiff_t(whole.size() / 2));
        EXPECT_FALSE(decode::DecodePicture(half)) << name;
    }
}

TEST(DamagedPictures, RandomByteDamageNeverCrashes) {
    std::mt19937 random(20240607);
    for (const char* name : kSamples) {
        const std::vector<uint8_t> whole = test::samplePicture(name);
        for (int round = 0; round < 200; ++round) {
            std::vector<uint8_t> damaged = whole;
            const int hits = 1 + int(random() % 4);
            for (int i = 0; i < hits; ++i) damaged[random() % damaged.size()] = uint8_t(random());
            (void)decode::DecodePicture(damaged);
        }
    }
}

// A BMP info header with chosen fields, followed by `extra` zero bytes.
std::vector<uint8_t> bmpHeader(int32_t w, int32_t h, uint16_t bpp, uint32_t compression = 0,
                               uint32_t coloursUsed = 0, size_t extra = 64, uint16_t planes = 1) {
    std::vector<uint8_t> b(54 + extra, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, uint32_t(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(w));
    put32(22, uint32_t(h));
    b[26] = uint8_t(planes);
    b[28] = uint8_t(bpp);
    put32(30, compression);
    put32(46, coloursUsed);
    return b;
}

TEST(DamagedPictures, BmpHeadersWithImpossibleFieldsGiveNoPicture) {
    const std::vector<std::vector<uint8_t>> bad = {
        bmpHeader(0, 5, 24),                       // no width
        bmpHeader(-7, 5, 24),                      // negative width
        bmpHeader(7, 0, 24),                       // no height
        bmpHeader(7, INT32_MIN, 24),               // height without a magnitude
        bmpHeader(7, 5, 7),                        // no such depth
        bmpHeader(7, 5, 24, 0, 0, 64, 2),          // two planes
        bmpHeader(7, 5, 24, 5),                    // PNG inside a BMP
        bmpHeader(7, -5, 8, 1),                    // top-down RLE
        bmpHeader(7, 5, 24, 1),                    // RLE8 of 24-bit pixels
        bmpHeader(7, 5, 24),                       // pixels missing (64 bytes for 120)
        bmpHeader(0x7FFFFFFF, 0x7FFFFFFF, 32),     // 2^31 a side, a few bytes of pixels
        bmpHeader(40000, 40000, 8, 1, 0, 1100),    // RLE beyond 32767 a side
        bmpHeader(32767, 32767, 8, 1, 0, 1100),    // RLE beyond 1 GiB of pixels
    };
    for (size_t i = 0; i < bad.size(); ++i) EXPECT_FALSE(decode::DecodeBmp(bad[i])) << i;
}

TEST(DamagedPictures, AnOversizedColourCountIsCappedToTheDepth) {
    std::vector<uint8_t> file = test::samplePicture("pal8.bmp");
    file[46] = file[47] = file[48] = file[49] = 0xFF;  // colours used: 2^32 - 1
    // The table still has 16 entries before the pixels begin; the picture reads as before.
    expectPixels(test::pixelsOf(mImageFrom::PictureFromBytes(file)), 7, 5, indexed, "pal8 with huge count");
}

TEST(DamagedPictures, LimitsRefusePicturesBeforeAnythingIsMade) {
    const decode::DecodeLimits small{6, 1024};
    for (const char* name : {"rgb24.bmp", "basic.gif", "blocks.jpg"})
        EXPECT_FALSE(decode::DecodePicture(test::samplePicture(name), small)) << name;
}

TEST(DamagedPictures, CorruptJpegAndGifHeadersGiveNoPicture) {
    std::vector<uint8_t> jpeg = test::samplePicture("blocks.jpg");
    // The frame header's height and width (after the SOF0 marker FF C0, length and precision).
    for (size_t i = 0; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            jpeg[i + 5] = jpeg[i + 6] = jpeg[i + 7] = jpeg[i + 8] = 0;
            break;
        }
    }
    EXPECT_FALSE(decode::DecodePicture(jpeg));
    std::vector<uint8_t> gif = test::samplePicture("basic.gif");
    gif[13 + 48 + 10] = 12;  // the first frame's LZW code size: beyond 8 bits
    EXPECT_FALSE(decode::DecodePicture(gif));
    const std::vector<uint8_t> junk = {0xFF, 0xD8, 0xFF, 0x00, 'n', 'o', 't', ' ', 'j', 'p', 'e', 'g'};
    EXPECT_FALSE(decode::DecodePicture(junk));
}

TEST(DamagedPictures, UnknownSignaturesAreNotPictures) {
    const std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13};
    const std::vector<uint8_t> text = {'h', 'e', 'l', 'l', 'o'};
    EXPECT_FALSE(decode::DecodePicture(png));
    EXPECT_FALSE(decode::DecodePicture(text));
    EXPECT_FALSE(decode::DecodePicture(std::vector<uint8_t>{'B'}));
}

TEST(DamagedPictures, HugeDeclaredSizesAreRefusedQuickly) {
    // A GIF screen of 65535 x 65535 and a JPEG frame of 65500 x 65500, both without pixel data.
    std::vector<uint8_t> gif = test::samplePicture("basic.gif");
    gif[6] = gif[7] = gif[8] = gif[9] = 0xFF;
    std::vector<uint8_t> jpeg = test::samplePicture("blocks.jpg");
    for (size_t i = 0; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            jpeg[i + 5] = jpeg[i + 7] = 0xFF;
            jpeg[i + 6] = jpeg[i + 8] = 0xDC;
            break;
        }
    }
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(decode::DecodePicture(gif));
    EXPECT_FALSE(decode::DecodePicture(jpeg));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

}  // namespace
}  // namespace kelvane
