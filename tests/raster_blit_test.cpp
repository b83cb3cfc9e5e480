// Blits and DIB transfers: BitBlt between sections of every depth, StretchBlt and StretchDIBits in
// each stretch mode, GetDIBits and SetDIBitsToDevice with bands and both row orders,
// CreateCompatibleBitmap, and bad input (null contexts, huge or degenerate rectangles).
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstring>
#include <vector>

#include "kelvane/gdi.h"

namespace kelvane {
namespace {

using namespace gdi;

// BITMAPINFO with room for a full colour table.
struct Info {
    BITMAPINFOHEADER header{};
    RGBQUAD table[256]{};
    BITMAPINFO* get() { return reinterpret_cast<BITMAPINFO*>(this); }
    const BITMAPINFO* get() const { return reinterpret_cast<const BITMAPINFO*>(this); }
};

Info infoFor(int w, int h, int bpp, bool topDown, std::vector<COLORREF> table = {}) {
    Info i;
    i.header.biSize = sizeof(BITMAPINFOHEADER);
    i.header.biWidth = w;
    i.header.biHeight = topDown ? -h : h;
    i.header.biPlanes = 1;
    i.header.biBitCount = WORD(bpp);
    i.header.biCompression = BI_RGB;
    for (size_t k = 0; k < table.size(); ++k)
        i.table[k] = RGBQUAD{GetBValue(table[k]), GetGValue(table[k]), GetRValue(table[k]), 0};
    return i;
}

// A memory context with a DIB section of the given format selected.
class Section {
public:
    Section(int w, int h, int bpp, bool topDown = false, std::vector<COLORREF> table = {})
        : m_w(w), m_h(h), m_bpp(bpp), m_topDown(topDown) {
        m_dc = CreateCompatibleDC(nullptr);
        const Info info = infoFor(w, h, bpp, topDown, std::move(table));
        m_bitmap = CreateDIBSection(m_dc, info.get(), DIB_RGB_COLORS, &m_bits, nullptr, 0);
        m_old = SelectObject(m_dc, m_bitmap);
    }
    ~Section() {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    Section(const Section&) = delete;
    Section& operator=(const Section&) = delete;

    HDC dc() const { return m_dc; }
    HBITMAP bitmap() const { return m_bitmap; }
    int stride() const { return ((m_w * m_bpp + 31) / 32) * 4; }
    // Bytes of row y counted from the top of the picture.
    uint8_t* row(int y) const {
        return static_cast<uint8_t*>(m_bits) + size_t(m_topDown ? y : m_h - 1 - y) * size_t(stride());
    }
    int index(int x, int y) const {
        const uint8_t* r = row(y);
        if (m_bpp == 8) return r[x];
        if (m_bpp == 4) return (r[x / 2] >> ((x & 1) ? 0 : 4)) & 15;
        return (r[x / 8] >> (7 - (x & 7))) & 1;
    }
    void setIndex(int x, int y, int v) {
        uint8_t* r = row(y);
        if (m_bpp == 8) r[x] = uint8_t(v);
        else if (m_bpp == 4) r[x / 2] = (x & 1) ? uint8_t((r[x / 2] & 0xF0) | v) : uint8_t((r[x / 2] & 0x0F) | v << 4);
        else r[x / 8] = v ? uint8_t(r[x / 8] | 0x80 >> (x & 7)) : uint8_t(r[x / 8] & ~(0x80 >> (x & 7)));
    }
    COLORREF at(int x, int y) const { return GetPixel(m_dc, x, y); }
    void set(int x, int y, COLORREF c) { SetPixel(m_dc, x, y, c); }
    void fill(COLORREF c) {
        for (int y = 0; y < m_h; ++y)
            for (int x = 0; x < m_w; ++x) set(x, y, c);
    }
    int count(COLORREF c) const {
        int n = 0;
        for (int y = 0; y < m_h; ++y)
            for (int x = 0; x < m_w; ++x) n += at(x, y) == c;
        return n;
    }

private:
    int m_w, m_h, m_bpp;
    bool m_topDown;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    void* m_bits = nullptr;
};

// A distinct colour for every position, so that a copy one pixel off shows.
COLORREF tone(int x, int y) { return RGB(BYTE(10 + 20 * x), BYTE(15 + 30 * y), BYTE(200 - 7 * x - 3 * y)); }

void paintTones(Section& s, int w, int h) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) s.set(x, y, tone(x, y));
}

constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = 0, kRed = RGB(255, 0, 0),
                   kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);

// ---------------------------------------------------------------- BitBlt across depths

TEST(Blit, EveryDepthCopiesIntoTrueColourThroughItsColourTable) {
    const std::vector<COLORREF> table = {kRed, kGreen, kBlue, RGB(10, 20, 30)};
    for (int bpp : {1, 4, 8}) {
        Section src(9, 3, bpp, false, table);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 9; ++x) src.setIndex(x, y, (x + y) % (bpp == 1 ? 2 : 4));
        for (int dstBpp : {24, 32}) {
            Section dst(9, 3, dstBpp, true);
            ASSERT_TRUE(BitBlt(dst.dc(), 0, 0, 9, 3, src.dc(), 0, 0, SRCCOPY));
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 9; ++x)
                    ASSERT_EQ(dst.at(x, y), table[size_t((x + y) % (bpp == 1 ? 2 : 4))])
                        << bpp << " to " << dstBpp << " at " << x << "," << y;
        }
    }
}

TEST(Blit, TrueColourDepthsCopyEachOtherExactlyInEitherRowOrder) {
    Section a(7, 5, 24, false);
    paintTones(a, 7, 5);
    Section b(7, 5, 32, true), c(7, 5, 24, true), d(7, 5, 32, false);
    ASSERT_TRUE(BitBlt(b.dc(), 0, 0, 7, 5, a.dc(), 0, 0, SRCCOPY));
    ASSERT_TRUE(BitBlt(c.dc(), 0, 0, 7, 5, b.dc(), 0, 0, SRCCOPY));
    ASSERT_TRUE(BitBlt(d.dc(), 0, 0, 7, 5, c.dc(), 0, 0, SRCCOPY));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            EXPECT_EQ(b.at(x, y), tone(x, y));
            EXPECT_EQ(d.at(x, y), tone(x, y));
        }
    // 32-bit pixels keep their unused byte at zero when written from another depth.
    EXPECT_EQ(b.row(0)[3], 0);
}

TEST(Blit, PaletteTargetsTakeTheNearestTableEntryAndTheFirstOfEqualOnes) {
    Section src(5, 1, 24);
    src.set(0, 0, RGB(250, 10, 10));   // nearest: red
    src.set(1, 0, RGB(10, 10, 200));   // nearest: blue
    src.set(2, 0, RGB(128, 128, 128)); // equally near the two greys: the first wins
    src.set(3, 0, RGB(0, 0, 0));       // black is exact
    src.set(4, 0, RGB(0, 250, 0));     // nearest: green
    Section dst(5, 1, 8, false, {kBlack, kRed, kBlue, RGB(118, 128, 128), RGB(138, 128, 128), kGreen});
    ASSERT_TRUE(BitBlt(dst.dc(), 0, 0, 5, 1, src.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(dst.index(0, 0), 1);
    EXPECT_EQ(dst.index(1, 0), 2);
    EXPECT_EQ(dst.index(2, 0), 3);
    EXPECT_EQ(dst.index(3, 0), 0);
    EXPECT_EQ(dst.index(4, 0), 5);

    Section mono(5, 1, 1, false, {kBlack, kWhite});
    ASSERT_TRUE(BitBlt(mono.dc(), 0, 0, 5, 1, src.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(mono.index(2, 0), 1);  // mid grey is nearer white
    EXPECT_EQ(mono.index(3, 0), 0);
}

TEST(Blit, EqualColourTablesCopyIndicesEvenWhereEntriesRepeat) {
    const std::vector<COLORREF> table = {kRed, kGreen, kRed, kBlue};
    Section src(6, 2, 4, false, table), dst(6, 2, 4, true, table);
    for (int x = 0; x < 6; ++x) src.setIndex(x, 1, x % 4);
    ASSERT_TRUE(BitBlt(dst.dc(), 0, 0, 6, 2, src.dc(), 0, 0, SRCCOPY));
    for (int x = 0; x < 6; ++x) EXPECT_EQ(dst.index(x, 1), x % 4);
    // Another table makes it a colour conversion: index 2 (red) becomes the first red there.
    Section other(6, 2, 4, false, {kBlue, kRed, kGreen});
    ASSERT_TRUE(BitBlt(other.dc(), 0, 0, 6, 2, src.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(other.index(2, 1), 1);
    EXPECT_EQ(other.index(3, 1), 0);
}

TEST(Blit, CopiesAreClippedToBothPicturesWithTheOffsetsKept) {
    Section src(6, 6, 24);
    paintTones(src, 6, 6);
    Section dst(8, 8, 24);
    dst.fill(kWhite);
    // Source starts two pixels outside on the left/top; destination hangs over the right.
    ASSERT_TRUE(BitBlt(dst.dc(), 5, 1, 6, 4, src.dc(), -2, -1, SRCCOPY));
    EXPECT_EQ(dst.at(5, 1), kWhite);   // its source (-2, -1) does not exist
    EXPECT_EQ(dst.at(7, 2), tone(0, 0));
    EXPECT_EQ(dst.at(7, 4), tone(0, 2));
    EXPECT_EQ(dst.count(kWhite), 64 - 3);
}

TEST(Blit, NegativeExtentsSelectTheRectangleBeforeTheOriginWithoutMirroring) {
    Section src(6, 4, 24);
    paintTones(src, 6, 4);
    Section dst(6, 4, 24);
    dst.fill(kWhite);
    // Width -3 from x = 4 covers columns 2..4 of both pictures, in their own order.
    ASSERT_TRUE(BitBlt(dst.dc(), 4, 3, -3, -2, src.dc(), 4, 3, SRCCOPY));
    for (int y = 2; y <= 3; ++y)
        for (int x = 2; x <= 4; ++x) EXPECT_EQ(dst.at(x, y), tone(x, y)) << x << "," << y;
    EXPECT_EQ(dst.count(kWhite), 24 - 6);
}

TEST(Blit, OverlappingCopiesWithinOnePictureReadBeforeTheyWrite) {
    for (int bpp : {4, 24}) {
        Section s(8, 8, bpp, false, {kRed, kGreen, kBlue, kBlack, kWhite});
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) s.set(x, y, (x + 2 * y) % 3 == 0 ? kRed : (x % 2 ? kBlue : kGreen));
        std::vector<COLORREF> before;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) before.push_back(s.at(x, y));
        ASSERT_TRUE(BitBlt(s.dc(), 2, 1, 5, 6, s.dc(), 1, 0, SRCCOPY));  // down and right
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 5; ++x) ASSERT_EQ(s.at(x + 2, y + 1), before[size_t(y * 8 + x + 1)]) << bpp;
        ASSERT_TRUE(StretchBlt(s.dc(), 0, 0, 4, 4, s.dc(), 0, 0, 8, 8, SRCCOPY));  // shrink in place
    }
}

// ---------------------------------------------------------------- StretchBlt

TEST(Stretch, EqualSizeIsAnExactCopyInEveryMode) {
    Section src(11, 7, 32, true);
    paintTones(src, 11, 7);
    for (int mode : {BLACKONWHITE, WHITEONBLACK, COLORONCOLOR, HALFTONE}) {
        Section dst(11, 7, 24);
        dst.fill(kWhite);
        SetStretchBltMode(dst.dc(), mode);
        ASSERT_TRUE(StretchBlt(dst.dc(), 0, 0, 11, 7, src.dc(), 0, 0, 11, 7, SRCCOPY));
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 11; ++x) ASSERT_EQ(dst.at(x, y), tone(x, y)) << "mode " << mode;
    }
}

TEST(Stretch, DoublingRepeatsEveryPixelAndNegativeWidthMirrors) {
    Section src(3, 2, 24);
    paintTones(src, 3, 2);
    Section dst(6, 4, 24);
    SetStretchBltMode(dst.dc(), COLORONCOLOR);
    ASSERT_TRUE(StretchBlt(dst.dc(), 0, 0, 6, 4, src.dc(), 0, 0, 3, 2, SRCCOPY));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(dst.at(x, y), tone(x / 2, y / 2));
    // A negative width runs from x = 5 leftwards: the picture is mirrored.
    ASSERT_TRUE(StretchBlt(dst.dc(), 5, 0, -6, 4, src.dc(), 0, 0, 3, 2, SRCCOPY));
    for (int x = 0; x < 6; ++x) EXPECT_EQ(dst.at(x, 0), tone(2 - x / 2, 0));
}

TEST(Stretch, ShrinkingModesKeepDarkLightOrPickedPixels) {
    Section src(4, 1, 24);
    src.set(0, 0, RGB(200, 100, 50));
    src.set(1, 0, RGB(100, 200, 50));
    src.set(2, 0, RGB(10, 20, 30));
    src.set(3, 0, RGB(250, 240, 230));
    Section dst(2, 1, 24);
    SetStretchBltMode(dst.dc(), BLACKONWHITE);
    ASSERT_TRUE(StretchBlt(dst.dc(), 0, 0, 2, 1, src.dc(), 0, 0, 4, 1, SRCCOPY));
    EXPECT_EQ(dst.at(0, 0), RGB(200 & 100, 100 & 200, 50));
    EXPECT_EQ(dst.at(1, 0), RGB(10 & 250, 20 & 240, 30 & 230));
    SetStretchBltMode(dst.dc(), WHITEONBLACK);
    ASSERT_TRUE(StretchBlt(dst.dc(), 0, 0, 2, 1, src.dc(), 0, 0, 4, 1, SRCCOPY));
    EXPECT_EQ(dst.at(0, 0), RGB(200 | 100, 100 | 200, 50));
    SetStretchBltMode(dst.dc(), COLORONCOLOR);
    ASSERT_TRUE(StretchBlt(dst.dc(), 0, 0, 2, 1, src.dc(), 0, 0, 4, 1, SRCCOPY));
    EXPECT_EQ(dst.at(0, 0), RGB(100, 200, 50));  // the last pixel of each pair
    EXPECT_EQ(dst.at(1, 0), RGB(250, 240, 230));
}

TEST(Stretch, PaletteSourcesCombineTheirColoursNotTheirIndices) {
    // Indices 1 and 2 AND to index 0 (white) but their colours AND to black.
    Section src(2, 1, 8, false, {kWhite, RGB(0xF0, 0x0F, 0x55), RGB(0x0F, 0xF0, 0x33)});
    src.setIndex(0, 0, 1);
    src.setIndex(1, 0, 2);
    Section dst(1, 1, 24);
    SetStretchBltMode(dst.dc(), BLACKONWHITE);
    ASSERT_TRUE(StretchBlt(dst.dc(), 0, 0, 1, 1, src.dc(), 0, 0, 3, 1, SRCCOPY));
    EXPECT_EQ(dst.at(0, 0), RGB(0, 0, 0x11));
}

TEST(Stretch, HalftoneAveragesTheCoveredAreaAndKeepsFlatAreasExact) {
    Section src(8, 6, 24);
    src.fill(RGB(37, 201, 99));
    src.set(0, 0, RGB(100, 0, 0));
    src.set(1, 0, RGB(0, 100, 0));
    src.set(0, 1, RGB(0, 0, 100));
    src.set(1, 1, RGB(101, 101, 101));
    Section dst(4, 3, 32, true);
    SetStretchBltMode(dst.dc(), HALFTONE);
    ASSERT_TRUE(StretchBlt(dst.dc(), 0, 0, 4, 3, src.dc(), 0, 0, 8, 6, SRCCOPY));
    // (100 + 0 + 0 + 101) / 4 = 50.25 and so on, rounded to nearest.
    EXPECT_EQ(dst.at(0, 0), RGB(50, 50, 50));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            if (x == 0 && y == 0) continue;
            EXPECT_EQ(dst.at(x, y), RGB(37, 201, 99)) << x << "," << y;
        }
    // Odd ratios too: a flat picture stays flat whatever the weights.
    Section odd(5, 7, 24);
    SetStretchBltMode(odd.dc(), HALFTONE);
    ASSERT_TRUE(StretchBlt(odd.dc(), 0, 0, 5, 7, src.dc(), 2, 2, 3, 4, SRCCOPY));
    EXPECT_EQ(odd.count(RGB(37, 201, 99)), 35);
}

TEST(Stretch, MirroredCopyTrimmedAtTheSourceEdgeMovesAsTheReferenceRendererDoes) {
    // A destination-mirrored copy whose source hangs four pixels over the right edge is laid out
    // as if it were not mirrored: the trimmed part is missing at the right.
    Section src(16, 1, 24);
    paintTones(src, 16, 1);
    Section dst(16, 1, 24);
    dst.fill(kWhite);
    SetStretchBltMode(dst.dc(), COLORONCOLOR);
    ASSERT_TRUE(StretchBlt(dst.dc(), 15, 0, -16, 1, src.dc(), 4, 0, 16, 1, SRCCOPY));
    for (int x = 0; x < 12; ++x) EXPECT_EQ(dst.at(x, 0), tone(15 - x, 0)) << x;
    EXPECT_EQ(dst.count(kWhite), 4);
}

// ---------------------------------------------------------------- StretchDIBits

TEST(StretchDib, TheSourceRowCountsFromTheBottomOfTheDib) {
    // A 2 x 4 bottom-up DIB: row k from the bottom holds the value 10 + k in every channel.
    const Info info = infoFor(2, 4, 24, false);
    std::vector<uint8_t> bits(8 * 4);
    for (int k = 0; k < 4; ++k) std::memset(&bits[size_t(k) * 8], 10 + k, 6);
    Section dst(2, 2, 24);
    ASSERT_NE(StretchDIBits(dst.dc(), 0, 0, 2, 2, 0, 1, 2, 2, bits.data(), info.get(), DIB_RGB_COLORS,
                            SRCCOPY), 0);
    EXPECT_EQ(dst.at(0, 0), RGB(12, 12, 12));  // the upper of rows 1 and 2
    EXPECT_EQ(dst.at(1, 1), RGB(11, 11, 11));
    // A source entirely outside the DIB is refused.
    EXPECT_EQ(StretchDIBits(dst.dc(), 0, 0, 2, 2, 0, 4, 2, 2, bits.data(), info.get(), DIB_RGB_COLORS,
                            SRCCOPY), 0);
}

TEST(StretchDib, TopDownDibsCopiedStraightFromTheOriginCountFromTheTop) {
    const Info info = infoFor(1, 4, 32, true);
    std::vector<uint32_t> bits = {0x000001, 0x000002, 0x000003, 0x000004};  // blue 1..4, top first
    Section dst(1, 2, 24);
    ASSERT_NE(StretchDIBits(dst.dc(), 0, 0, 1, 2, 0, 0, 1, 2, bits.data(), info.get(), DIB_RGB_COLORS,
                            SRCCOPY), 0);
    EXPECT_EQ(dst.at(0, 0), RGB(0, 0, 1));
    EXPECT_EQ(dst.at(0, 1), RGB(0, 0, 2));
    // Any other source origin counts from the bottom, as the reference renderer does.
    ASSERT_NE(StretchDIBits(dst.dc(), 0, 0, 1, 2, 0, 1, 1, 2, bits.data(), info.get(), DIB_RGB_COLORS,
                            SRCCOPY), 0);
    EXPECT_EQ(dst.at(0, 0), RGB(0, 0, 2));
    EXPECT_EQ(dst.at(0, 1), RGB(0, 0, 3));
}

// ---------------------------------------------------------------- GetDIBits

TEST(GetDibits, TrueColourRowsComeBottomUpOrTopDownAsAsked) {
    Section src(3, 4, 32, true);
    paintTones(src, 3, 4);
    Info up = infoFor(3, 4, 24, false);
    std::vector<uint8_t> rows(12 * 4, 0xEE);
    ASSERT_EQ(GetDIBits(src.dc(), src.bitmap(), 0, 4, rows.data(), up.get(), DIB_RGB_COLORS), 4);
    // The first row in memory is the bottom of the picture; bytes are B, G, R; padding untouched.
    EXPECT_EQ(rows[0], GetBValue(tone(0, 3)));
    EXPECT_EQ(rows[2], GetRValue(tone(0, 3)));
    EXPECT_EQ(rows[9], 0xEE);
    EXPECT_EQ(rows[12 * 3 + 3 * 2 + 1], GetGValue(tone(2, 0)));

    Info down = infoFor(3, 4, 32, true);
    std::vector<uint32_t> px(12, 0);
    ASSERT_EQ(GetDIBits(src.dc(), src.bitmap(), 0, 4, px.data(), down.get(), DIB_RGB_COLORS), 4);
    EXPECT_EQ(px[0], uint32_t(GetRValue(tone(0, 0))) << 16 | GetGValue(tone(0, 0)) << 8 | GetBValue(tone(0, 0)));
    EXPECT_EQ(px[11] & 0xFF, GetBValue(tone(2, 3)));
}

TEST(GetDibits, BandsStartAtTheRequestedScanLine) {
    Section src(2, 5, 24);
    paintTones(src, 2, 5);
    Info up = infoFor(2, 5, 32, false);
    std::vector<uint32_t> band(4, 0);
    // Scan lines 1 and 2 from the bottom: picture rows 3 and 2.
    ASSERT_EQ(GetDIBits(src.dc(), src.bitmap(), 1, 2, band.data(), up.get(), DIB_RGB_COLORS), 2);
    EXPECT_EQ(band[0] & 0xFF, GetBValue(tone(0, 3)));
    EXPECT_EQ(band[2] & 0xFF, GetBValue(tone(0, 2)));
    // Lines past the top are not returned.
    ASSERT_EQ(GetDIBits(src.dc(), src.bitmap(), 4, 9, band.data(), up.get(), DIB_RGB_COLORS), 1);
    EXPECT_EQ(GetDIBits(src.dc(), src.bitmap(), 5, 1, band.data(), up.get(), DIB_RGB_COLORS), 0);
}

TEST(GetDibits, PaletteBitmapsReturnIndicesAndTheirTableAtTheirOwnDepth) {
    Section src(4, 2, 4, false, {kRed, kGreen, kBlue});
    src.setIndex(3, 0, 2);
    Info same = infoFor(4, 2, 4, false);
    std::vector<uint8_t> rows(8, 0);
    ASSERT_EQ(GetDIBits(src.dc(), src.bitmap(), 0, 2, rows.data(), same.get(), DIB_RGB_COLORS), 2);
    EXPECT_EQ(rows[4 + 1] & 0x0F, 2);  // top row is second in memory
    EXPECT_EQ(same.table[2].rgbBlue, 255);
    EXPECT_EQ(same.table[1].rgbGreen, 255);
    // A palette depth the bitmap does not have is refused rather than invented.
    Info other = infoFor(4, 2, 8, false);
    EXPECT_EQ(GetDIBits(src.dc(), src.bitmap(), 0, 2, rows.data(), other.get(), DIB_RGB_COLORS), 0);
}

TEST(GetDibits, AQueryWithoutBitsDescribesTheBitmap) {
    Section src(5, 3, 8, true);
    Info q{};
    q.header.biSize = sizeof(BITMAPINFOHEADER);
    ASSERT_NE(GetDIBits(src.dc(), src.bitmap(), 0, 0, nullptr, q.get(), DIB_RGB_COLORS), 0);
    EXPECT_EQ(q.header.biWidth, 5);
    EXPECT_EQ(q.header.biHeight, 3);
    EXPECT_EQ(q.header.biBitCount, 8);
    EXPECT_EQ(q.header.biSizeImage, 24u);
}

// ---------------------------------------------------------------- SetDIBitsToDevice

TEST(SetDibits, BottomUpRowsLandUprightAtTheOffset) {
    const Info info = infoFor(2, 3, 24, false);
    std::vector<uint8_t> bits(8 * 3, 0);
    for (int k = 0; k < 3; ++k) bits[size_t(k) * 8 + 2] = uint8_t(100 + k);  // red of column 0
    Section dst(5, 5, 24);
    dst.fill(kWhite);
    EXPECT_EQ(SetDIBitsToDevice(dst.dc(), 1, 1, 2, 3, 0, 0, 0, 3, bits.data(), info.get(), DIB_RGB_COLORS), 3);
    EXPECT_EQ(dst.at(1, 1), RGB(102, 0, 0));  // the top row is the last in memory
    EXPECT_EQ(dst.at(1, 3), RGB(100, 0, 0));
    EXPECT_EQ(dst.count(kWhite), 25 - 6);
}

TEST(SetDibits, TopDownThirtyTwoBitRowsLandAtTheOffsetAndClip) {
    const Info info = infoFor(3, 2, 32, true);
    std::vector<uint32_t> bits = {0x010203, 0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F, 0x101112};
    Section dst(4, 3, 24);
    dst.fill(kWhite);
    EXPECT_EQ(SetDIBitsToDevice(dst.dc(), 2, 1, 3, 2, 0, 0, 0, 2, bits.data(), info.get(), DIB_RGB_COLORS), 2);
    EXPECT_EQ(dst.at(2, 1), RGB(1, 2, 3));
    EXPECT_EQ(dst.at(3, 2), RGB(0x0D, 0x0E, 0x0F));
    EXPECT_EQ(dst.count(kWhite), 12 - 4);
}

TEST(SetDibits, BandsOfScanLinesPlaceOnlyTheirRows) {
    // A 1 x 4 bottom-up picture given in two bands of two scan lines each.
    const Info info = infoFor(1, 4, 32, false);
    const std::vector<uint32_t> lower = {0x000010, 0x000011}, upper = {0x000012, 0x000013};
    Section dst(1, 4, 24);
    dst.fill(kWhite);
    EXPECT_EQ(SetDIBitsToDevice(dst.dc(), 0, 0, 1, 4, 0, 0, 0, 2, lower.data(), info.get(), DIB_RGB_COLORS), 2);
    EXPECT_EQ(dst.at(0, 3), RGB(0, 0, 0x10));
    EXPECT_EQ(dst.at(0, 2), RGB(0, 0, 0x11));
    EXPECT_EQ(dst.at(0, 1), kWhite);
    EXPECT_EQ(SetDIBitsToDevice(dst.dc(), 0, 0, 1, 4, 0, 0, 2, 2, upper.data(), info.get(), DIB_RGB_COLORS), 2);
    EXPECT_EQ(dst.at(0, 1), RGB(0, 0, 0x12));
    EXPECT_EQ(dst.at(0, 0), RGB(0, 0, 0x13));
    // A top-down band counts its scan lines from the top.
    const Info down = infoFor(1, 4, 32, true);
    const std::vector<uint32_t> mid = {0x000020, 0x000021};
    EXPECT_EQ(SetDIBitsToDevice(dst.dc(), 0, 0, 1, 4, 0, 0, 1, 2, mid.data(), down.get(), DIB_RGB_COLORS), 2);
    EXPECT_EQ(dst.at(0, 1), RGB(0, 0, 0x20));
    EXPECT_EQ(dst.at(0, 2), RGB(0, 0, 0x21));
    EXPECT_EQ(dst.at(0, 0), RGB(0, 0, 0x13));
}

TEST(SetDibits, PaletteDibsUseTheirTableAndTheSourceRectangleIsClippedToTheDib) {
    const Info info = infoFor(8, 1, 1, false, {kBlue, kRed});
    const uint8_t bits[4] = {0x0F, 0, 0, 0};  // four blue then four red
    Section dst(6, 1, 24);
    dst.fill(kWhite);
    // Source x from 2 for 8 pixels: only six exist; they land from x = 0.
    SetDIBitsToDevice(dst.dc(), 0, 0, 8, 1, 2, 0, 0, 1, bits, info.get(), DIB_RGB_COLORS);
    EXPECT_EQ(dst.at(0, 0), kBlue);
    EXPECT_EQ(dst.at(1, 0), kBlue);
    EXPECT_EQ(dst.at(2, 0), kRed);
    EXPECT_EQ(dst.at(5, 0), kRed);
}

// ---------------------------------------------------------------- CreateCompatibleBitmap

TEST(CompatibleBitmap, FollowsTheContextsBitmapOrTheScreen) {
    auto depthOf = [](HBITMAP b) {
        BITMAP bm{};
        GetObjectA(b, sizeof bm, &bm);
        return int(bm.bmBitsPixel);
    };
    HBITMAP screen = CreateCompatibleBitmap(nullptr, 4, 4);
    EXPECT_EQ(depthOf(screen), 32);
    DeleteObject(screen);

    HDC fresh = CreateCompatibleDC(nullptr);
    HBITMAP mono = CreateCompatibleBitmap(fresh, 4, 4);
    EXPECT_EQ(depthOf(mono), 1);
    DeleteObject(mono);
    DeleteDC(fresh);

    Section pal(2, 2, 8, false, {kRed, kGreen});
    HBITMAP same = CreateCompatibleBitmap(pal.dc(), 3, 3);
    EXPECT_EQ(depthOf(same), 8);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, same);
    RGBQUAD table[2];
    ASSERT_EQ(GetDIBColorTable(dc, 0, 2, table), 2u);
    EXPECT_EQ(table[1].rgbGreen, 255);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(same);

    // An empty size gives the 1 x 1 monochrome bitmap; a negative one nothing.
    HBITMAP empty = CreateCompatibleBitmap(nullptr, 0, 5);
    ASSERT_NE(empty, nullptr);
    BITMAP bm{};
    GetObjectA(empty, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    DeleteObject(empty);
    EXPECT_EQ(CreateCompatibleBitmap(nullptr, -1, 5), nullptr);
}

// ---------------------------------------------------------------- bad input

TEST(BlitBadInput, NullContextsAndWrongArgumentsFailWithoutDrawing) {
    Section s(4, 4, 24);
    s.fill(kWhite);
    const Info info = infoFor(4, 4, 24, false);
    std::vector<uint8_t> bits(48, 0);
    EXPECT_FALSE(BitBlt(nullptr, 0, 0, 4, 4, s.dc(), 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(s.dc(), 0, 0, 4, 4, nullptr, 0, 0, SRCCOPY));
    EXPECT_FALSE(StretchBlt(s.dc(), 0, 0, 4, 4, s.dc(), 0, 0, 2, 2, 0x00660046));  // not SRCCOPY
    EXPECT_EQ(StretchDIBits(nullptr, 0, 0, 4, 4, 0, 0, 4, 4, bits.data(), info.get(), DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_EQ(StretchDIBits(s.dc(), 0, 0, 4, 4, 0, 0, 4, 4, nullptr, info.get(), DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_EQ(StretchDIBits(s.dc(), 0, 0, 4, 4, 0, 0, 4, 4, bits.data(), nullptr, DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_EQ(SetDIBitsToDevice(nullptr, 0, 0, 4, 4, 0, 0, 0, 4, bits.data(), info.get(), DIB_RGB_COLORS), 0);
    EXPECT_EQ(GetDIBits(nullptr, s.bitmap(), 0, 4, bits.data(), const_cast<Info&>(info).get(), DIB_RGB_COLORS), 0);
    EXPECT_EQ(GetDIBits(s.dc(), nullptr, 0, 4, bits.data(), const_cast<Info&>(info).get(), DIB_RGB_COLORS), 0);
    // Formats the layer does not read: 16 bits, compression, empty sizes.
    for (auto change : {+[](Info& i) { i.header.biBitCount = 16; }, +[](Info& i) { i.header.biCompression = 1; },
                        +[](Info& i) { i.header.biWidth = 0; }, +[](Info& i) { i.header.biHeight = 0; },
                        +[](Info& i) { i.header.biHeight = INT32_MIN; }}) {
        Info bad = info;
        change(bad);
        EXPECT_EQ(StretchDIBits(s.dc(), 0, 0, 4, 4, 0, 0, 4, 4, bits.data(), bad.get(), DIB_RGB_COLORS, SRCCOPY), 0);
        EXPECT_EQ(SetDIBitsToDevice(s.dc(), 0, 0, 4, 4, 0, 0, 0, 4, bits.data(), bad.get(), DIB_RGB_COLORS), 0);
        void* out = nullptr;
        EXPECT_EQ(CreateDIBSection(s.dc(), bad.get(), DIB_RGB_COLORS, &out, nullptr, 0), nullptr);
        EXPECT_EQ(out, nullptr);
    }
    EXPECT_EQ(s.count(kWhite), 16);
}

TEST(BlitBadInput, ContextsWithoutAPictureCopyNothingAndStillSucceed) {
    HDC empty = CreateCompatibleDC(nullptr);
    Section s(3, 3, 24);
    s.fill(kWhite);
    EXPECT_TRUE(BitBlt(empty, 0, 0, 3, 3, s.dc(), 0, 0, SRCCOPY));
    EXPECT_TRUE(StretchBlt(s.dc(), 0, 0, 3, 3, empty, 0, 0, 1, 1, SRCCOPY));
    EXPECT_EQ(s.count(kWhite), 9);
    DeleteDC(empty);
}

TEST(BlitBadInput, DegenerateExtentsDrawNothing) {
    Section src(4, 4, 24);
    paintTones(src, 4, 4);
    Section dst(4, 4, 24);
    dst.fill(kWhite);
    const Info info = infoFor(4, 4, 24, false);
    std::vector<uint8_t> bits(48, 7);
    for (int mode : {BLACKONWHITE, COLORONCOLOR, HALFTONE}) {
        SetStretchBltMode(dst.dc(), mode);
        EXPECT_TRUE(StretchBlt(dst.dc(), 0, 0, 0, 4, src.dc(), 0, 0, 4, 4, SRCCOPY));
        EXPECT_TRUE(StretchBlt(dst.dc(), 0, 0, 4, 4, src.dc(), 0, 0, 4, 0, SRCCOPY));
        EXPECT_TRUE(BitBlt(dst.dc(), 0, 0, 0, 0, src.dc(), 0, 0, SRCCOPY));
        EXPECT_EQ(StretchDIBits(dst.dc(), 0, 0, 4, 4, 0, 0, 0, 4, bits.data(), info.get(), DIB_RGB_COLORS, SRCCOPY), 0);
        StretchDIBits(dst.dc(), 0, 0, 4, 0, 0, 0, 4, 4, bits.data(), info.get(), DIB_RGB_COLORS, SRCCOPY);
        // Entirely outside either picture.
        EXPECT_TRUE(StretchBlt(dst.dc(), 4, 0, 3, 3, src.dc(), 0, 0, 4, 4, SRCCOPY));
        EXPECT_TRUE(StretchBlt(dst.dc(), 0, 0, 3, 3, src.dc(), -9, 0, 4, 4, SRCCOPY));
        EXPECT_TRUE(BitBlt(dst.dc(), -4, -4, 4, 4, src.dc(), 0, 0, SRCCOPY));
    }
    EXPECT_EQ(dst.count(kWhite), 16);
}

TEST(BlitBadInput, HugeCoordinatesAndExtentsFinishQuicklyAndStayInside) {
    Section src(16, 16, 24);
    paintTones(src, 16, 16);
    Section dst(32, 32, 24);
    const Info info = infoFor(16, 16, 24, false);
    std::vector<uint8_t> bits(48 * 16, 9);
    const auto start = std::chrono::steady_clock::now();
    const int extremes[] = {INT_MIN, INT_MIN + 1, -1000000000, -1, 0, 1, 1000000000, INT_MAX};
    for (int mode : {BLACKONWHITE, WHITEONBLACK, COLORONCOLOR, HALFTONE}) {
        SetStretchBltMode(dst.dc(), mode);
        for (int a : extremes)
            for (int b : extremes) {
                StretchBlt(dst.dc(), a, 3, b, 9, src.dc(), 0, 0, 16, 16, SRCCOPY);
                StretchBlt(dst.dc(), 3, a, 9, b, src.dc(), 0, 0, 16, 16, SRCCOPY);
                StretchBlt(dst.dc(), 0, 0, 32, 32, src.dc(), a, 0, b, 16, SRCCOPY);
                StretchBlt(dst.dc(), 0, 0, 32, 32, src.dc(), 0, a, 16, b, SRCCOPY);
                BitBlt(dst.dc(), a, b, b, a, src.dc(), b, a, SRCCOPY);
                StretchDIBits(dst.dc(), a, b, 20, 20, 0, 0, 16, 16, bits.data(), info.get(), DIB_RGB_COLORS, SRCCOPY);
                StretchDIBits(dst.dc(), 0, 0, 20, 20, a, b, b, a, bits.data(), info.get(), DIB_RGB_COLORS, SRCCOPY);
                SetDIBitsToDevice(dst.dc(), a, b, DWORD(b), DWORD(a), a, b, 0, 16, bits.data(), info.get(),
                                  DIB_RGB_COLORS);
                SetDIBitsToDevice(dst.dc(), 0, 0, 0xFFFFFFFFu, 0xFFFFFFFFu, a, b, UINT(a), UINT(b), bits.data(),
                                  info.get(), DIB_RGB_COLORS);
            }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 5.0);
    // The source is untouched by all of that.
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_EQ(src.at(x, y), tone(x, y));
}

TEST(BlitBadInput, AHugeShrinkOfTheWholeSourceStillReadsOnlyThePicture) {
    // Source rectangles far larger than the picture read only the picture's pixels.
    Section src(5, 5, 24);
    src.fill(RGB(1, 2, 3));
    Section dst(3, 3, 24);
    dst.fill(kWhite);
    SetStretchBltMode(dst.dc(), HALFTONE);
    ASSERT_TRUE(StretchBlt(dst.dc(), 0, 0, 3, 3, src.dc(), -1000000, -1000000, 2000005, 2000005, SRCCOPY));
    EXPECT_EQ(dst.at(1, 1), RGB(1, 2, 3));  // the middle pixel covers the picture
    EXPECT_EQ(dst.at(0, 0), kWhite);       // the corners cover nothing of it
}

}  // namespace
}  // namespace kelvane
