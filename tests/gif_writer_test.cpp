// The GIF writers on hand-made 8-bit pictures: the stream's layout byte by byte, what giflib
// reads back, the refusals, interlacing, the optional extensions and the code table's limits.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

#include "error_raised.h"
#include "file_output_support.h"
#include "gif_test_support.h"
#include "output/gif/gif_writers.h"
#include "output/palette/pal8bpp.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

class GifWriter : public test::TempFolderTest {};

// A palette of n distinct colours.
cPal8bpp paletteOf(int n) {
    cPal8bpp p;
    p.Initialize(int16_t(n));
    for (int i = 0; i < n; ++i) {
        p.rgbR(i, uint8_t(255 - i));
        p.rgbG(i, uint8_t(i * 7));
        p.rgbB(i, uint8_t(i * 13 + 1));
    }
    return p;
}

std::vector<uint8_t> gifBytes(const cDIB& dib, const cPal8bpp& palette, int16_t transparent = -1,
                              VBBool interlace = kFalse, const std::string& comment = "") {
    const Variant v = mGIFBinary::SaveGIFBinary(dib, palette, transparent, interlace, comment);
    return v.isBytes() ? v.bytes() : std::vector<uint8_t>{};
}

// Pixels decoded by giflib are the picture's indices, colours the palette's.
void expectDecodesTo(const std::vector<uint8_t>& stream, const cDIB& dib, const cPal8bpp& palette) {
    const giftest::Decoded d = giftest::decodeGif(stream);
    ASSERT_TRUE(d.ok) << d.message;
    ASSERT_EQ(d.width, dib.Width());
    ASSERT_EQ(d.height, dib.Height());
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x)
            ASSERT_EQ(d.indices[size_t(y * d.width + x)], dib.lpBits()[size_t(y) * size_t(dib.BytesPerScanLine()) + size_t(x)])
                << x << "," << y;
    for (int i = 0; i < palette.Entries(); ++i)
        EXPECT_EQ(d.colours[size_t(i)], (std::array<uint8_t, 3>{palette.rgbR(i), palette.rgbG(i), palette.rgbB(i)}));
}

TEST_F(GifWriter, ColourTableAndCodeSizeFollowThePaletteSize) {
    struct Case {
        int entries;
        uint8_t packed;
        int tableEntries;
        uint8_t minimumCodeSize;
    };
    const Case cases[] = {{2, 0xF0, 2, 2},  {3, 0xF1, 4, 2},  {4, 0xF1, 4, 2},     {5, 0xF2, 8, 3},
                          {16, 0xF3, 16, 4}, {17, 0xF4, 32, 5}, {255, 0xF7, 256, 8}, {256, 0xF7, 256, 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entries);
        const cPal8bpp palette = paletteOf(c.entries);
        cDIB dib;
        giftest::fill8(dib, 13, 7, [&](int x, int y) { return uint8_t((x * 3 + y * 5) % c.entries); });
        const std::vector<uint8_t> s = gifBytes(dib, palette);
        ASSERT_GT(s.size(), 20u);
        EXPECT_EQ(std::string(s.begin(), s.begin() + 6), "GIF87a");
        EXPECT_EQ(s[6] | s[7] << 8, 13);
        EXPECT_EQ(s[8] | s[9] << 8, 7);
        EXPECT_EQ(s[10], c.packed);
        EXPECT_EQ(s[11], 0);
        EXPECT_EQ(s[12], 0);
        const giftest::Layout l = giftest::layoutOf(s);
        ASSERT_TRUE(l.ok);
        EXPECT_EQ(l.tableBytes, size_t(c.tableEntries) * 3);
        for (size_t i = 13 + size_t(c.entries) * 3; i < 13 + l.tableBytes; ++i) EXPECT_EQ(s[i], 0) << "padding is black";
        EXPECT_EQ(l.descriptor, uint8_t(c.packed & 7));
        EXPECT_EQ(l.minimumCodeSize, c.minimumCodeSize);
        EXPECT_TRUE(l.terminated);
        expectDecodesTo(s, dib, palette);
    }
}

TEST_F(GifWriter, RefusesAOneEntryPaletteAndOtherDepths) {
    const std::string path = dir + "/refused.gif";
    { std::ofstream(path) << "old"; }
    cDIB eight;
    giftest::fill8(eight, 4, 4, [](int, int) { return uint8_t(0); });
    cDIB twentyFour;
    twentyFour.Create(4, 4, 24);
    const cPal8bpp one = paletteOf(1), two = paletteOf(2);
    const cDIB empty;
    struct Case {
        const char* what;
        const cDIB& dib;
        const cPal8bpp& palette;
    } cases[] = {{"one entry", eight, one}, {"24 bits", twentyFour, two}, {"no picture", empty, two}};
    for (const Case& c : cases) {
        EXPECT_TRUE(mGIFBinary::SaveGIFBinary(c.dib, c.palette, -1, kFalse, "").isEmpty()) << c.what;
        EXPECT_FALSE(mGIFSave::SaveGIF(path, c.dib, c.palette, -1, kFalse, "")) << c.what;
        EXPECT_EQ(test::firstWordOf(path), "old") << c.what << ": no file is touched";
    }
}

TEST_F(GifWriter, SubBlocksHold254BytesButTheLast) {
    const cPal8bpp palette = paletteOf(256);
    std::mt19937 random(1);
    cDIB dib;
    giftest::fill8(dib, 97, 61, [&](int, int) { return uint8_t(random()); });
    const std::vector<uint8_t> s = gifBytes(dib, palette);
    const giftest::Layout l = giftest::layoutOf(s);
    ASSERT_TRUE(l.ok && l.terminated);
    ASSERT_GT(l.subBlocks.size(), 3u);
    for (size_t i = 0; i + 1 < l.subBlocks.size(); ++i) EXPECT_EQ(l.subBlocks[i], 254u) << i;
    EXPECT_GE(l.subBlocks.back(), 1u);
    EXPECT_LE(l.subBlocks.back(), 254u);
    expectDecodesTo(s, dib, palette);
}

// Noise fills the 4096-entry table again and again; small palettes and flat areas too.
TEST_F(GifWriter, TheCodeTableIsClearedWhenFullAndCodesStayWithin12Bits) {
    struct Case {
        const char* what;
        int entries, width, height;
        bool fillsTheTable;
        std::function<uint8_t(std::mt19937&, int, int)> index;
    };
    const Case cases[] = {
        {"noise of 256 colours", 256, 300, 300, true, [](std::mt19937& r, int, int) { return uint8_t(r()); }},
        {"noise of 2 colours", 2, 700, 500, true, [](std::mt19937& r, int, int) { return uint8_t(r() & 1); }},
        {"noisy stripes", 16, 640, 480, true, [](std::mt19937& r, int x, int) { return uint8_t((x / 7 + (r() % 5 == 0)) % 16); }},
        {"one colour", 4, 2000, 2000, false, [](std::mt19937&, int, int) { return uint8_t(3); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::mt19937 random(5);
        const cPal8bpp palette = paletteOf(c.entries);
        cDIB dib;
        giftest::fill8(dib, c.width, c.height, [&](int x, int y) { return c.index(random, x, y); });
        const std::vector<uint8_t> s = gifBytes(dib, palette);
        const giftest::Layout l = giftest::layoutOf(s);
        ASSERT_TRUE(l.ok && l.terminated);
        const giftest::CodeStats st = giftest::codeStats(l.data, l.minimumCodeSize);
        EXPECT_TRUE(st.endsWithEndCode);
        EXPECT_LE(st.widest, 12);
        EXPECT_TRUE(st.clearsOnlyWhenFull);
        if (c.fillsTheTable) EXPECT_GE(st.laterClears, 1);
        else EXPECT_EQ(st.laterClears, 0);
        expectDecodesTo(s, dib, palette);
    }
}

TEST_F(GifWriter, InterlacingAppliesAboveFourRows) {
    const cPal8bpp palette = paletteOf(40);
    for (int height : {1, 2, 3, 4, 5, 8, 9, 17, 40}) {
        SCOPED_TRACE(height);
        cDIB dib;
        giftest::fill8(dib, 6, height, [](int x, int y) { return uint8_t(y % 40 == x ? 0 : y % 40); });
        const std::vector<uint8_t> s = gifBytes(dib, palette, -1, kTrue);
        const giftest::Layout l = giftest::layoutOf(s);
        ASSERT_TRUE(l.ok);
        EXPECT_EQ((l.descriptor & 0x40) != 0, height > 4);
        expectDecodesTo(s, dib, palette);
    }
}

TEST_F(GifWriter, ACommentOrTransparentIndexMakesAGif89a) {
    const cPal8bpp palette = paletteOf(4);
    cDIB dib;
    giftest::fill8(dib, 5, 5, [](int x, int y) { return uint8_t((x + y) % 4); });
    const std::vector<uint8_t> commented = gifBytes(dib, palette, -1, kFalse, "chart");
    EXPECT_EQ(std::string(commented.begin(), commented.begin() + 6), "GIF89a");
    const std::vector<uint8_t> comment{0x21, 0xFE, 5, 'c', 'h', 'a', 'r', 't', 0};
    EXPECT_TRUE(std::search(commented.begin(), commented.end(), comment.begin(), comment.end()) != commented.end());
    expectDecodesTo(commented, dib, palette);

    const std::vector<uint8_t> transparent = gifBytes(dib, palette, 2);
    EXPECT_EQ(std::string(transparent.begin(), transparent.begin() + 6), "GIF89a");
    const std::vector<uint8_t> control{0x21, 0xF9, 4, 1, 0, 0, 2, 0, 0x2C};
    EXPECT_TRUE(std::search(transparent.begin(), transparent.end(), control.begin(), control.end()) != transparent.end());
    expectDecodesTo(transparent, dib, palette);
}

TEST_F(GifWriter, ValuesBeyondTheirFieldsFailTheWriters) {
    const cPal8bpp palette = paletteOf(4);
    cDIB dib;
    giftest::fill8(dib, 3, 3, [](int, int) { return uint8_t(1); });
    const std::string longComment(256, 'x');
    EXPECT_EQ(test::errorRaisedBy([&] { mGIFBinary::SaveGIFBinary(dib, palette, -1, kFalse, longComment); }), 6);
    EXPECT_EQ(test::errorRaisedBy([&] { mGIFBinary::SaveGIFBinary(dib, palette, 256, kFalse, ""); }), 6);
    GifWriteError error;
    EXPECT_FALSE(mGIFSave::SaveGIF(dir + "/x.gif", dib, palette, -1, kFalse, longComment, &error));
    EXPECT_EQ(error.number, 6);
    EXPECT_EQ(error.description, "Overflow");
    EXPECT_FALSE(fs::exists(dir + "/x.gif"));
}

}  // namespace
}  // namespace kelvane
