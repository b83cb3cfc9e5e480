// The debug trace of fills: rectangles, polygons, FillRect, FrameRect and FillRgn with every kind
// of brush are written so that replaying the script draws the same picture again.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "bmp_file.h"
#include "raster_fill_canvas.h"
#include "replay.h"

namespace kelvane {
namespace {

using namespace gdi;
namespace fs = std::filesystem;

TEST(FillTrace, ReplayingTheTraceOfEveryFillCallDrawsTheSamePicture) {
    const fs::path root = test::tempDir();
    const fs::path dir = root / "fill_trace";
    fs::create_directories(dir);
    const std::string script = (dir / "fills.txt").string();

    test::FillCanvas c(64, 48, RGB(240, 240, 240));
    HDC dc = c.dc();
    ASSERT_TRUE(StartTrace(dc, script.c_str()));

    // A 3x2 24-bit pattern tile, rows bottom-up.
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = 3;
    h.biHeight = 2;
    h.biPlanes = 1;
    h.biBitCount = 24;
    std::vector<uint8_t> dib(sizeof h);
    std::memcpy(dib.data(), &h, sizeof h);
    const uint8_t rows[2][12] = {{10, 20, 30, 40, 50, 60, 70, 80, 90, 0, 0, 0},
                                 {200, 0, 0, 0, 200, 0, 0, 0, 200, 0, 0, 0}};
    for (const auto& row : rows) dib.insert(dib.end(), row, row + 12);
    HBRUSH pattern = CreateDIBPatternBrushPt(dib.data(), DIB_RGB_COLORS);
    HBRUSH hatch = CreateHatchBrush(HS_DIAGCROSS, RGB(0, 0, 128));
    HBRUSH solid = CreateSolidBrush(RGB(200, 40, 40));
    HPEN wide = CreatePen(PS_INSIDEFRAME, 3, RGB(0, 120, 0));

    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(255, 255, 0));
    SelectObject(dc, hatch);
    Rectangle(dc, 2, 2, 20, 16);
    const POINT star[5] = {{40, 2}, {46, 20}, {30, 8}, {50, 8}, {34, 20}};
    SetPolyFillMode(dc, WINDING);
    Polygon(dc, star, 5);
    SelectObject(dc, wide);
    SetBrushOrgEx(dc, 1, 2, nullptr);
    SelectObject(dc, pattern);
    Rectangle(dc, 22, 24, 44, 40);
    const RECT box{2, 20, 18, 30}, reversed{60, 46, 50, 36};
    FillRect(dc, &box, hatch);       // a brush that is not selected
    FillRect(dc, &reversed, solid);  // a solid colour
    FillRect(dc, &box, pattern);     // the selected brush
    const RECT frame{4, 32, 16, 46};
    FrameRect(dc, &frame, solid);
    FrameRect(dc, &box, hatch);
    const POINT face[4] = {{46, 30}, {56, 22}, {62, 30}, {52, 40}};
    HRGN region = CreatePolygonRgn(face, 4, ALTERNATE);
    FillRgn(dc, region, hatch);
    FillRgn(dc, region, solid);
    ASSERT_TRUE(StopTrace(dc));

    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    SelectObject(dc, GetStockObject(BLACK_PEN));
    for (HGDIOBJ o : {HGDIOBJ(pattern), hatch, solid, wide, region}) DeleteObject(o);

    std::map<std::string, std::vector<uint8_t>> saved;
    std::ostringstream err;
    replay::Options options;
    options.captured = &saved;
    options.err = &err;
    options.baseDir = dir.string();
    ASSERT_EQ(replay::runScripts({script}, options), 0) << err.str();
    ASSERT_EQ(saved.size(), 1u);
    test::Picture replayed;
    ASSERT_TRUE(test::decodeBmp24(saved.begin()->second, replayed));
    ASSERT_EQ(replayed.width, 64);
    ASSERT_EQ(replayed.height, 48);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            const COLORREF ours = c.at(x, y);
            const uint32_t rgb = uint32_t(GetRValue(ours)) << 16 | uint32_t(GetGValue(ours)) << 8 | GetBValue(ours);
            ASSERT_EQ(replayed.at(x, y), rgb) << x << "," << y;
        }
    fs::remove_all(dir);
    std::error_code ignored;
    fs::remove(root, ignored);  // only when empty
}

}  // namespace
}  // namespace kelvane
