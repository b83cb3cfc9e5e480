// Brushes: hatch patterns and their alignment to the brush origin, transparent and opaque gaps,
// the background taken once per selection, DIB pattern tiling, null brushes and bad input.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "raster_fill_canvas.h"

namespace kelvane {
namespace {

using namespace gdi;
using test::FillCanvas;
using test::Selected;
using test::Stopwatch;

constexpr COLORREF kInk = RGB(0, 0, 128);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

// The 8x8 cell of a hatch style painted with the given origin, '#' for the hatch colour.
std::string hatchCell(int style, int ox = 0, int oy = 0) {
    FillCanvas c(8, 8);
    Selected brush(c.dc(), CreateHatchBrush(style, kInk));
    SetBrushOrgEx(c.dc(), ox, oy, nullptr);
    const RECT all{0, 0, 8, 8};
    FillRect(c.dc(), &all, GetCurrentObject(c.dc(), OBJ_BRUSH));
    return c.map();
}

TEST(HatchBrush, EveryStyleHasThePlatformsCellAtOriginZero) {
    EXPECT_EQ(hatchCell(HS_HORIZONTAL), "........\n........\n........\n########\n........\n........\n........\n........\n");
    EXPECT_EQ(hatchCell(HS_VERTICAL), "....#...\n....#...\n....#...\n....#...\n....#...\n....#...\n....#...\n....#...\n");
    EXPECT_EQ(hatchCell(HS_FDIAGONAL), "#.......\n.#......\n..#.....\n...#....\n....#...\n.....#..\n......#.\n.......#\n");
    EXPECT_EQ(hatchCell(HS_BDIAGONAL), ".......#\n......#.\n.....#..\n....#...\n...#....\n..#.....\n.#......\n#.......\n");
    EXPECT_EQ(hatchCell(HS_CROSS), "....#...\n....#...\n....#...\n########\n....#...\n....#...\n....#...\n....#...\n");
    EXPECT_EQ(hatchCell(HS_DIAGCROSS), "#......#\n.#....#.\n..#..#..\n...##...\n...##...\n..#..#..\n.#....#.\n#......#\n");
}

TEST(HatchBrush, TheBrushOriginShiftsTheCellForAnySign) {
    EXPECT_EQ(hatchCell(HS_CROSS, 2, 1), hatchCell(HS_CROSS, 10, -7));
    EXPECT_EQ(hatchCell(HS_HORIZONTAL, 0, 2),
              "........\n........\n........\n........\n........\n########\n........\n........\n");
    EXPECT_EQ(hatchCell(HS_VERTICAL, -1, 0),
              "...#....\n...#....\n...#....\n...#....\n...#....\n...#....\n...#....\n...#....\n");
}

TEST(HatchBrush, GapsKeepTheCanvasWhenTransparentAndTakeTheBackgroundWhenOpaque) {
    FillCanvas c(16, 8);
    Selected brush(c.dc(), CreateHatchBrush(HS_VERTICAL, kInk));
    SelectObject(c.dc(), GetStockObject(NULL_PEN));
    SetBkColor(c.dc(), kYellow);
    SetBkMode(c.dc(), TRANSPARENT);
    Rectangle(c.dc(), 0, 0, 9, 9);
    EXPECT_EQ(c.at(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(c.at(4, 0), kInk);
    SetBkMode(c.dc(), OPAQUE);
    const RECT right{8, 0, 16, 8};
    FillRect(c.dc(), &right, GetCurrentObject(c.dc(), OBJ_BRUSH));
    EXPECT_EQ(c.at(8, 0), kYellow);
    EXPECT_EQ(c.at(12, 0), kInk);
}

TEST(HatchBrush, KeepsTheBackgroundOfItsFirstPaintUntilSelectedAgain) {
    FillCanvas c(24, 8);
    Selected brush(c.dc(), CreateHatchBrush(HS_CROSS, kInk));
    SelectObject(c.dc(), GetStockObject(NULL_PEN));
    SetBkMode(c.dc(), OPAQUE);
    SetBkColor(c.dc(), kYellow);
    Rectangle(c.dc(), 0, 0, 9, 9);  // realised now, with yellow gaps
    SetBkColor(c.dc(), kMagenta);
    Rectangle(c.dc(), 8, 0, 17, 9);
    EXPECT_EQ(c.at(9, 0), kYellow);
    // FillRect selects its brush and the previous one again: the next paint takes magenta.
    const RECT dot{23, 7, 24, 8};
    FillRect(c.dc(), &dot, GetCurrentObject(c.dc(), OBJ_BRUSH));
    Rectangle(c.dc(), 16, 0, 25, 9);
    EXPECT_EQ(c.at(17, 0), kMagenta);
}

// A packed DIB: header, colour table, rows (bottom-up).
std::vector<uint8_t> packedDib(int w, int h, int bpp, const std::vector<RGBQUAD>& table,
                               const std::vector<uint8_t>& rows) {
    BITMAPINFOHEADER hdr{};
    hdr.biSize = sizeof hdr;
    hdr.biWidth = w;
    hdr.biHeight = h;
    hdr.biPlanes = 1;
    hdr.biBitCount = WORD(bpp);
    hdr.biClrUsed = DWORD(table.size());
    std::vector<uint8_t> d(sizeof hdr + table.size() * sizeof(RGBQUAD));
    std::memcpy(d.data(), &hdr, sizeof hdr);
    if (!table.empty()) std::memcpy(d.data() + sizeof hdr, table.data(), table.size() * sizeof(RGBQUAD));
    d.insert(d.end(), rows.begin(), rows.end());
    return d;
}

TEST(PatternBrush, TilesFromTheBrushOriginInBothDirections) {
    // A 3x2 8-bit tile: top row colours 1 2 3, bottom row 4 5 6 (rows stored bottom-up).
    std::vector<RGBQUAD> table(7);
    for (int i = 0; i < 7; ++i) table[size_t(i)] = RGBQUAD{BYTE(i * 30), BYTE(i), 0, 0};
    const std::vector<uint8_t> rows = {4, 5, 6, 0, 1, 2, 3, 0};
    const auto dib = packedDib(3, 2, 8, table, rows);
    FillCanvas c(12, 6);
    Selected brush(c.dc(), CreateDIBPatternBrushPt(dib.data(), DIB_RGB_COLORS));
    SetBrushOrgEx(c.dc(), -4, 1, nullptr);
    const RECT all{0, 0, 12, 6};
    ASSERT_TRUE(FillRect(c.dc(), &all, GetCurrentObject(c.dc(), OBJ_BRUSH)));
    auto colour = [&](int index) { return RGB(0, BYTE(index), BYTE(index * 30)); };
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 12; ++x) {
            const int tx = ((x + 4) % 3 + 3) % 3, ty = ((y - 1) % 2 + 2) % 2;
            ASSERT_EQ(c.at(x, y), colour(1 + tx + 3 * ty)) << x << "," << y;
        }
}

TEST(PatternBrush, ABadDibMakesNoBrush) {
    EXPECT_EQ(CreateDIBPatternBrushPt(nullptr, DIB_RGB_COLORS), nullptr);
    const auto empty = packedDib(0, 0, 24, {}, {});
    EXPECT_EQ(CreateDIBPatternBrushPt(empty.data(), DIB_RGB_COLORS), nullptr);
}

TEST(Brushes, TheNullBrushPaintsNothingAndBadStylesAreRefused) {
    FillCanvas c(10, 10);
    SelectObject(c.dc(), GetStockObject(NULL_BRUSH));
    SelectObject(c.dc(), GetStockObject(NULL_PEN));
    const POINT p[3] = {{0, 0}, {9, 0}, {0, 9}};
    EXPECT_TRUE(Polygon(c.dc(), p, 3));
    EXPECT_TRUE(Rectangle(c.dc(), 0, 0, 10, 10));
    const RECT all{0, 0, 10, 10};
    EXPECT_TRUE(FillRect(c.dc(), &all, GetStockObject(NULL_BRUSH)));
    EXPECT_EQ(c.count(RGB(255, 255, 255)), 100);
    EXPECT_EQ(CreateHatchBrush(-1, 0), nullptr);
    EXPECT_EQ(CreateHatchBrush(6, 0), nullptr);
}

TEST(Brushes, HatchAndPatternFillsOfHugeBoxesOnlyVisitTheCanvas) {
    FillCanvas c(40, 40);
    Selected brush(c.dc(), CreateHatchBrush(HS_DIAGCROSS, kInk));
    SetBkMode(c.dc(), OPAQUE);
    SetBrushOrgEx(c.dc(), INT_MAX, INT_MIN, nullptr);
    const RECT huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    Stopwatch t;
    EXPECT_TRUE(FillRect(c.dc(), &huge, GetCurrentObject(c.dc(), OBJ_BRUSH)));
    EXPECT_TRUE(Rectangle(c.dc(), INT_MIN, INT_MIN, INT_MAX, INT_MAX));
    EXPECT_LT(t.ms(), 1000.0);
    EXPECT_EQ(c.count(kInk) + c.count(RGB(255, 255, 255)), 40 * 40);
    EXPECT_GT(c.count(kInk), 0);
}

}  // namespace
}  // namespace kelvane
