// InitChart paints the canvas and its frame; Destroy and repeated InitChart release it; a canvas
// that cannot exist is reported and every later call stays safe.
#include <gtest/gtest.h>
#include <malloc.h>

#include <filesystem>

#include "bmp_file.h"
#include "chart/canvas.h"
#include "kelvane/cChart.h"
#include "raster/gdi_handles.h"

namespace kelvane {
namespace {

test::Picture canvasOf(cChart& chart) {
    // SaveBinary draws the axis line first; with no DrawBarChart it lies above the canvas.
    const Variant image = chart.SaveBinary("bmp");
    test::Picture p;
    EXPECT_TRUE(image.isBytes());
    if (image.isBytes()) {
        EXPECT_TRUE(test::decodeBmp24(image.bytes(), p));
    }
    return p;
}

test::Picture reference(const char* name) {
    test::Picture p;
    EXPECT_TRUE(test::loadBmp24(std::string(KELVANE_TEST_DATA) + "/oracle/" + name, p)) << name;
    return p;
}

TEST(ChartCanvas, DefaultCanvasIsWhiteWithAOnePixelBlackFrame) {
    cChart chart;
    chart.Width(400);
    chart.Height(300);
    EXPECT_EQ(chart.InitChart(), 0);
    const test::Picture p = canvasOf(chart);
    ASSERT_EQ(p.width, 400);
    ASSERT_EQ(p.height, 300);
    for (int x : {0, 200, 399}) {
        EXPECT_EQ(p.at(x, 0), 0u);
        EXPECT_EQ(p.at(x, 299), 0u);
    }
    for (int y : {0, 150, 299}) {
        EXPECT_EQ(p.at(0, y), 0u);
        EXPECT_EQ(p.at(399, y), 0u);
    }
    EXPECT_EQ(p.at(1, 1), 0xFFFFFFu);
    EXPECT_EQ(p.at(398, 298), 0xFFFFFFu);
    EXPECT_EQ(p.at(200, 150), 0xFFFFFFu);
    EXPECT_EQ(chart.ErrorInfo(), "");
}

TEST(ChartCanvas, FramesMatchTheReferenceRenderer) {
    struct Case {
        const char* file;
        int16_t width;
        Colour border, background;
    };
    for (const Case& c : {Case{"border3.bmp", 3, 0x0000FF, 0xFFFFFF},
                          Case{"border_default.bmp", 0, 0x0000FF, 0xFFFFFF},
                          Case{"border8.bmp", 8, 0x00FF00, 0xCCFFFF}}) {
        SCOPED_TRACE(c.file);
        cChart chart;
        chart.Width(40);
        chart.Height(30);
        chart.BorderWidth(c.width);
        chart.BorderColor(c.border);
        chart.BackgroundColor(c.background);
        chart.InitChart();
        EXPECT_EQ(test::comparePictures(reference(c.file), canvasOf(chart)), "");
    }
}

// The canvas rows after painting InitChart's background rectangle on a canvas with or without
// the template's white.
std::vector<uint8_t> backgroundPainted(int w, int h, int border, gdi::COLORREF pen,
                                       gdi::COLORREF fill, bool paintedOver) {
    using namespace gdi;
    Canvas canvas;
    EXPECT_TRUE(canvas.create(w, h, paintedOver));
    Owned<HBRUSH> brush(CreateSolidBrush(fill));
    Selection selectBrush(canvas.dc(), brush.get());
    Owned<HPEN> ownPen(border >= 1 ? CreatePen(PS_SOLID, border, pen) : nullptr);
    Selection selectPen(canvas.dc(), ownPen.get() ? HGDIOBJ(ownPen.get()) : GetStockObject(BLACK_PEN));
    Rectangle(canvas.dc(), 0, 0, w, h);
    BITMAP bm{};
    EXPECT_NE(GetObjectA(canvas.bitmap(), sizeof bm, &bm), 0);
    const uint8_t* bits = static_cast<const uint8_t*>(bm.bmBits);
    std::vector<uint8_t> rows(bits, bits + size_t(bm.bmWidthBytes) * size_t(bm.bmHeight));
    return rows;
}

// InitChart lays no white at all on a canvas of two pixels or more a side: the rectangle's pen
// and brush cover all of it (a 1 x 1 rectangle draws nothing).
TEST(ChartCanvas, NoWhiteUnderTheBackgroundGivesTheSamePixelsAsAWhiteCanvas) {
    for (int w : {2, 3, 7, 40}) {
        for (int h : {2, 5, 33}) {
            for (int border : {0, 1, 2, 3, 6, 25}) {
                for (gdi::COLORREF fill : {0xFFFFFFu, 0x0000FFu, 0x808080u, 0x1CCFFFFu}) {
                    SCOPED_TRACE(testing::Message() << w << "x" << h << " border " << border
                                                    << " fill " << std::hex << fill);
                    EXPECT_EQ(backgroundPainted(w, h, border, 0x00FF00, fill, true),
                              backgroundPainted(w, h, border, 0x00FF00, fill, false));
                }
            }
        }
    }
}

TEST(ChartCanvas, OneByOneKeepsTheTemplatesWhite) {
    // The background rectangle of a 1 x 1 canvas draws nothing, so the template's white must be laid.
    cChart chart;
    chart.Width(1);
    chart.Height(1);
    chart.BackgroundColor(0x0000FF);
    chart.InitChart();
    EXPECT_EQ(canvasOf(chart).pixels, std::vector<uint32_t>{0xFFFFFFu});
}

TEST(ChartCanvas, ZeroSizeTakesTheTemplateSizeAndKeepsItsWhitePixels) {
    cChart chart;
    chart.Height(50);
    chart.BackgroundColor(0x0000FF);
    chart.InitChart();
    const test::Picture p = canvasOf(chart);
    ASSERT_EQ(p.width, 21);
    ASSERT_EQ(p.height, 50);
    for (uint32_t px : p.pixels) ASSERT_EQ(px, 0xFFFFFFu);
}

TEST(ChartCanvas, LineModeOnBoundariesUsesOneSlotFewerOnEveryInit) {
    cChart chart;
    chart.Width(10);
    chart.Height(10);
    chart.HValueAlignMode(1);
    chart.DrawBarMode(kvline);
    chart.SerialBars(10);
    chart.InitChart();
    EXPECT_EQ(chart.settings().SerialBars, 9);
    chart.InitChart();
    EXPECT_EQ(chart.settings().SerialBars, 8);
    chart.SerialBars(INT32_MIN);
    EXPECT_THROW(chart.InitChart(), AutomationError);
}

TEST(ChartCanvas, ChangingWidthAfterInitKeepsTheCanvasSize) {
    cChart chart;
    chart.Width(30);
    chart.Height(20);
    chart.InitChart();
    chart.Width(60);
    EXPECT_EQ(canvasOf(chart).width, 30);
}

TEST(ChartCanvas, RepeatedInitAndDestroyDoNotGrowMemory) {
    auto heapInUse = [] { return mallinfo2().uordblks; };
    // Measured after a settling round (one-time setup, allocator caches); a leaked canvas would
    // grow the heap on every one of the following rounds.
    size_t before = 0;
    for (int i = 0; i < 11000; ++i) {
        if (i == 1000) before = heapInUse();
        cChart chart;
        chart.Width(64);
        chart.Height(48);
        chart.InitChart();
        chart.InitChart();  // the second canvas replaces the first
        chart.Destroy();
        chart.Destroy();  // nothing left to release
    }
    EXPECT_LE(heapInUse(), before + 4096);
}

TEST(ChartCanvas, OversizedCanvasIsReportedAndLaterCallsAreHarmless) {
    for (auto [w, h] : {std::pair{40000, 10}, std::pair{20000, 20000}, std::pair{-5, 10}, std::pair{INT32_MIN, 10},
                        std::pair{10, INT32_MIN}}) {
        cChart chart;
        chart.Width(w);
        chart.Height(h);
        EXPECT_EQ(chart.InitChart(), 0);
        EXPECT_EQ(chart.ErrorInfo(), "Canvas could not be created\r\n");
        EXPECT_EQ(chart.canvasDC(), nullptr);
        EXPECT_TRUE(chart.SaveBinary("bmp").isEmpty());
        const std::string dir = test::tempDir();
        EXPECT_EQ(chart.makeChart(dir + "/x.bmp"), 0);
        EXPECT_FALSE(std::filesystem::exists(dir + "/x.bmp"));
        EXPECT_EQ(chart.ErrorInfo(),
                  "Canvas could not be created\r\nUnexpected error Saving BMP file\r\n");
        EXPECT_EQ(chart.ExportToDC(nullptr), 0);
        std::filesystem::remove_all(dir);
    }
}

TEST(ChartCanvas, ExportCopiesTheCanvasOntoTheHostsContext) {
    using namespace gdi;
    cChart chart;
    chart.Width(20);
    chart.Height(10);
    chart.BorderWidth(1);
    chart.BorderColor(0x00FF00);
    chart.InitChart();

    OwnedDC host(CreateCompatibleDC(nullptr));
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 30, 30, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    Owned<HBITMAP> target(CreateDIBSection(host.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    Selection select(host.get(), target.get());
    EXPECT_EQ(chart.ExportToDC(host.get()), 0);
    EXPECT_EQ(GetPixel(host.get(), 0, 0), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(host.get(), 5, 5), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(host.get(), 19, 9), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(host.get(), 20, 5), RGB(0, 0, 0));  // outside the copy

    // After SaveBinary("bmp") the canvas is gone: the export copies nothing and still succeeds.
    chart.SaveBinary("bmp");
    RECT all{0, 0, 30, 30};
    Owned<HBRUSH> blue(CreateSolidBrush(RGB(0, 0, 255)));
    FillRect(host.get(), &all, blue.get());
    EXPECT_EQ(chart.ExportToDC(host.get()), 0);
    EXPECT_EQ(GetPixel(host.get(), 0, 0), RGB(0, 0, 255));
}

}  // namespace
}  // namespace kelvane
