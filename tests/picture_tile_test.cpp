// Pattern tiles: a picture repeated over a rectangle from its top-left corner, one fill per
// pattern.
#include <gtest/gtest.h>

#include <chrono>
#include <climits>

#include "draw/dib_tile.h"
#include "picture/image_from.h"
#include "picture_helpers.h"

namespace kelvane {
namespace {

using namespace gdi;

constexpr COLORREF kBack = RGB(1, 2, 3);

// Every pixel of the 10 x 10 picture is different, so a shifted or flipped tile shows.
COLORREF tilePixel(int x, int y) { return RGB(BYTE(20 * x + 5), BYTE(20 * y + 7), BYTE(100 + x + 10 * y)); }

StdPicture tenByTen() {
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) pixels.push_back(tilePixel(x, y));
    return mImageFrom::PictureFromBytes(test::bmpFile(10, 10, pixels));
}

TEST(PatternTile, PictureRepeatsFromTheRectanglesTopLeftCorner) {
    test::TestCanvas canvas(40, 30, kBack);
    cDIBTile tile;
    ASSERT_TRUE(tile.SetPattern(tenByTen()));
    tile.Tile(canvas.dc(), 3, 4, 28, 19);  // 25 x 15: two and a half copies across, one and a half down
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            const bool inside = x >= 3 && x < 28 && y >= 4 && y < 19;
            const COLORREF expected = inside ? tilePixel((x - 3) % 10, (y - 4) % 10) : kBack;
            ASSERT_EQ(GetPixel(canvas.dc(), x, y), expected) << x << "," << y;
        }
    }
    POINT origin{};
    SetBrushOrgEx(canvas.dc(), 0, 0, &origin);
    EXPECT_EQ(origin.x, 3);
    EXPECT_EQ(origin.y, 4);
}

TEST(PatternTile, ASecondTileWithoutANewPatternFillsNothing) {
    test::TestCanvas canvas(40, 30, kBack);
    cDIBTile tile;
    ASSERT_TRUE(tile.SetPattern(tenByTen()));
    tile.Tile(canvas.dc(), 0, 0, 5, 5);
    tile.Tile(canvas.dc(), 10, 10, 30, 30);
    EXPECT_EQ(GetPixel(canvas.dc(), 0, 0), tilePixel(0, 0));
    for (int y = 10; y < 30; ++y)
        for (int x = 10; x < 40; ++x) ASSERT_EQ(GetPixel(canvas.dc(), x, y), kBack) << x << "," << y;
}

TEST(PatternTile, TileWithoutAnyPatternFillsNothing) {
    test::TestCanvas canvas(12, 12, kBack);
    cDIBTile tile;
    tile.Tile(canvas.dc(), 0, 0, 12, 12);
    EXPECT_EQ(GetPixel(canvas.dc(), 5, 5), kBack);
}

TEST(PatternTile, APictureWithoutABitmapKeepsTheCurrentPattern) {
    cDIBTile tile;
    EXPECT_FALSE(tile.SetPattern(StdPicture()));
    ASSERT_TRUE(tile.SetPattern(tenByTen()));
    EXPECT_TRUE(tile.SetPattern(StdPicture()));
    test::TestCanvas canvas(12, 12, kBack);
    tile.Tile(canvas.dc(), 0, 0, 12, 12);
    EXPECT_EQ(GetPixel(canvas.dc(), 11, 11), tilePixel(1, 1));
}

TEST(PatternTile, HugeAndInvertedRectanglesAndNullContextsAreSafe) {
    test::TestCanvas canvas(16, 16, kBack);
    cDIBTile tile;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(tile.SetPattern(tenByTen()));
    tile.Tile(canvas.dc(), INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    // The origin sits at INT_MIN, which is 2^31 = 8 mod 10 pixels before column 0.
    EXPECT_EQ(GetPixel(canvas.dc(), 0, 0), tilePixel(8, 8));
    ASSERT_TRUE(tile.SetPattern(tenByTen()));
    tile.Tile(canvas.dc(), 12, 12, 2, 2);
    ASSERT_TRUE(tile.SetPattern(tenByTen()));
    tile.Tile(nullptr, 0, 0, 10, 10);
    tile.Tile(canvas.dc(), 0, 0, 10, 10);  // the null fill used the pattern up
    EXPECT_EQ(GetPixel(canvas.dc(), 0, 0), tilePixel(8, 8));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

}  // namespace
}  // namespace kelvane
