// Free drawing: wave geometry, the gradient tint, line-mode pens and the failure rules of the
// drawing methods.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "bmp_file.h"
#include "draw/gradient.h"
#include "draw/wave_curve.h"
#include "error_raised.h"
#include "kelvane/cChart.h"
#include "raster/gdi_handles.h"
#include "trace_capture.h"

namespace kelvane {
namespace {

using namespace gdi;
using test::errorRaisedBy;

std::vector<POINT> wave(std::vector<CurvePoint> points, float tension, int16_t precision) {
    PlotFrame f;
    f.plotLeft = 10;
    f.plotBottom = 100;
    f.plotWidth = 200;
    f.valueScale = 2;
    return WavePath(points, f, tension, precision, 2);
}

TEST(WaveCurve, RisingSegmentDipsThenOvershootsAndEndsOnThePoint) {
    const std::vector<POINT> path = wave({{0, 0}, {50, 10}}, 0.5f, 4);
    const std::vector<std::pair<int, int>> offsets = {{0, 0}, {25, 5}, {50, -10}, {75, -25}, {100, -20}, {100, -20}};
    ASSERT_EQ(path.size(), offsets.size());
    for (size_t i = 0; i < path.size(); ++i) {
        EXPECT_EQ(path[i].x - 10, offsets[i].first) << i;
        EXPECT_EQ(path[i].y - 100, offsets[i].second) << i;
    }
}

TEST(WaveCurve, FlatSegmentStaysStraightWhateverTheTension) {
    for (float tension : {0.0f, 0.5f, 1.0f, 7.0f}) {
        const std::vector<POINT> path = wave({{0, 0}, {100, 0}}, tension, 10);
        for (const POINT& p : path) EXPECT_EQ(p.y, 100);
        EXPECT_EQ(path.back().x, 210);
    }
}

TEST(WaveCurve, OneStepPerSegmentLandsOnTheEndPointAndNoStepsDrawTheCorner) {
    const std::vector<POINT> one = wave({{0, 0}, {50, 10}}, 1.0f, 1);
    ASSERT_EQ(one.size(), 3u);
    EXPECT_EQ(one[1].x, one[2].x);
    EXPECT_EQ(one[1].y, one[2].y);
    EXPECT_EQ(wave({{0, 0}, {50, 10}}, 1.0f, 0).size(), 2u);
    EXPECT_EQ(wave({{0, 0}, {50, 10}}, 1.0f, -3).size(), 2u);
}

TEST(WaveCurve, CanvasModeBendsTheSameWayAboutTheCanvasOrigin) {
    PlotFrame f;
    const std::vector<POINT> path = WavePath({{10, 100}, {60, 80}}, f, 0.5f, 4, 1);
    // The segment rises 20 pixels: the first quarter dips below the straight line.
    ASSERT_EQ(path.size(), 6u);
    EXPECT_EQ(path[0].x, 10);
    EXPECT_EQ(path[0].y, 100);
    EXPECT_EQ(path[1].x, 22);  // 22.5 rounds to even
    EXPECT_EQ(path[1].y, 105);
    EXPECT_EQ(path[5].y, 80);
}

class Gradient : public ::testing::Test {
protected:
    void fill(int w, int h, COLORREF c) { ASSERT_TRUE(box.Create(w, h, Colour(c))); }
    const uint8_t* px(int x, int y) { return box.DIBitsPtr() + (size_t(y) * box.Width() + x) * 4; }
    cDIB32 box;
};

TEST_F(Gradient, EqualColoursTintUniformly) {
    fill(5, 3, RGB(255, 255, 255));
    mGradient::BlendGradient(box, -100, -100, 300, 500, 0x0000FF, 0x0000FF, 60, 1);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(px(x, y)[0], 102);  // blue
            EXPECT_EQ(px(x, y)[1], 102);  // green
            EXPECT_EQ(px(x, y)[2], 255);  // red
        }
}

TEST_F(Gradient, HorizontalBlackToWhiteRampsAcrossTheSurface) {
    fill(11, 2, RGB(9, 9, 9));
    mGradient::BlendGradient(box, 0, 0, 10, 0, 0x000000, 0xFFFFFF, 100, 1);
    for (int x = 0; x <= 10; ++x) {
        // Single-precision steps: the odd columns (x 25.5 is a half) may round either way.
        EXPECT_NEAR(px(x, 1)[0], x * 25.5, 0.5) << x;
        if (x % 2 == 0) {
            EXPECT_EQ(px(x, 1)[0], x * 51 / 2) << x;
        }
    }
    fill(11, 1, RGB(9, 9, 9));
    mGradient::BlendGradient(box, 3, 0, 7, 0, 0x000000, 0xFFFFFF, 100, 1);
    EXPECT_EQ(px(0, 0)[1], 0);    // behind the start: colour1
    EXPECT_EQ(px(10, 0)[1], 255); // beyond the end: colour2
}

TEST_F(Gradient, ZeroOpacityOrLengthLeavesThePixelsAndBandsLightenTheMiddle) {
    fill(4, 4, RGB(10, 20, 30));
    mGradient::BlendGradient(box, 0, 0, 3, 3, 0xFFFFFF, 0, 0, 1);
    mGradient::BlendGradient(box, 2, 2, 2, 2, 0xFFFFFF, 0, 100, 1);
    EXPECT_EQ(px(1, 1)[2], 10);
    EXPECT_EQ(px(1, 1)[0], 30);
    fill(21, 1, 0);
    mGradient::BlendGradient(box, 0, 0, 20, 0, 0x000000, 0xFFFFFF, 100, 2);
    EXPECT_LT(px(0, 0)[0], 5);
    EXPECT_GT(px(10, 0)[0], 250);
    EXPECT_LT(px(20, 0)[0], 5);
}

TEST_F(Gradient, OpacityBeyondHundredOverflows) {
    fill(2, 2, RGB(0, 0, 0));
    EXPECT_EQ(errorRaisedBy([&] { mGradient::BlendGradient(box, 0, 0, 1, 1, 0xFFFFFF, 0xFFFFFF, 150, 1); }),
              kErrOverflow);
}

cChart& canvasChart(cChart& chart) {
    chart.Width(100);
    chart.Height(80);
    chart.InitChart();
    return chart;
}

TEST(FreeDrawing, LineWidthTextRoundsHalvesToEven) {
    cChart chart;
    canvasChart(chart);
    EXPECT_NE(test::traced(chart, [&] { chart.DrawLine(0, "2.5", 0x0000FF, 1, 1, 50, 1); })
                  .find("extpen 0x00011207 2 0x0000FF 4 1 0 0 0"),
              std::string::npos);
    EXPECT_NE(test::traced(chart, [&] { chart.DrawLine(5, " 3.5 ", 0, 1, 1, 50, 1); })
                  .find("extpen 0x00011207 4 0x000000 4 16 8 4 8"),
              std::string::npos);
}

TEST(FreeDrawing, FailuresLeaveNoPenOrBrushSelected) {
    cChart chart;
    canvasChart(chart);
    const HDC dc = chart.canvasDC();
    const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN), brush = GetCurrentObject(dc, OBJ_BRUSH);
    EXPECT_EQ(errorRaisedBy([&] { chart.DrawLine(6, "1", 0, 0, 0, 5, 5); }), kErrSubscript);
    EXPECT_EQ(errorRaisedBy([&] { chart.DrawLine(-1, "1", 0, 0, 0, 5, 5); }), kErrSubscript);
    EXPECT_EQ(errorRaisedBy([&] { chart.DrawLine(0, "wide", 0, 0, 0, 5, 5); }), kErrTypeMismatch);
    EXPECT_EQ(errorRaisedBy([&] { chart.DrawRect(9, 1, 0, 0xFF, 0, 0, 5, 5); }), kErrSubscript);
    EXPECT_EQ(errorRaisedBy([&] { chart.DrawCircle(5, 7, 1, 0, 20, 20, 1, 0xFF); }), kErrSubscript);
    EXPECT_EQ(errorRaisedBy([&] { chart.DrawCurve(Variant::Array{"1,2", "3"}, "1", 0, 0, 4); }), kErrSubscript);
    EXPECT_EQ(errorRaisedBy([&] { chart.DrawCurve(Variant::Array{"1,2", "x,3"}, "1", 0, 0, 4); }), kErrTypeMismatch);
    EXPECT_EQ(errorRaisedBy([&] { chart.DrawCurve(Variant::Array{}, "1", 0, 0, 4); }), kErrSubscript);
    EXPECT_EQ(errorRaisedBy([&] { chart.DrawCurve(Variant::Array{"1,2"}, "1", 0, 0, 40000); }), kErrOverflow);
    EXPECT_EQ(errorRaisedBy([&] { chart.DrawCurve(Variant("1,2"), "1", 0, 0, 4); }), kErrTypeMismatch);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
}

TEST(FreeDrawing, SwappedRectangleCornersDrawTheSameRectangle) {
    auto draw = [](float x1, float y1, float x2, float y2) {
        cChart chart;
        canvasChart(chart);
        chart.DrawRect(0, 1, 0x0000FF, 0x00FF00, x1, y1, x2, y2);
        test::Picture p;
        test::decodeBmp24(chart.SaveBinary("bmp").bytes(), p);
        return p;
    };
    const test::Picture straight = draw(10, 10, 60, 50);
    EXPECT_EQ(test::comparePictures(straight, draw(60, 50, 10, 10)), "");
    EXPECT_EQ(test::comparePictures(straight, draw(10, 50, 60, 10)), "");
    EXPECT_EQ(straight.at(30, 30), 0x00FF00u);
}

TEST(FreeDrawing, BlackOrNegativeFillLeavesTheInteriorWhite) {
    for (Colour fill : {0, -5}) {
        cChart chart;
        canvasChart(chart);
        chart.BackgroundColor(0x0000FF);
        chart.DrawRect(0, 1, 0, fill, 10, 10, 60, 50);
        test::Picture p;
        test::decodeBmp24(chart.SaveBinary("bmp").bytes(), p);
        EXPECT_EQ(p.at(30, 30), 0xFFFFFFu);
    }
}

TEST(FreeDrawing, AreaTextRefusesANeverEndingStepAndChecksItsArray) {
    cChart chart;
    canvasChart(chart);
    EXPECT_EQ(errorRaisedBy([&] { chart.DrawAreaText(Variant::Array{"a"}, -1); }), kErrInvalidCall);
    EXPECT_EQ(errorRaisedBy([&] { chart.DrawAreaText(Variant("a")); }), kErrTypeMismatch);
    EXPECT_EQ(errorRaisedBy([&] { chart.DrawAreaText(Variant::Array{"a"}, 32767); }), kErrOverflow);
    EXPECT_EQ(chart.DrawAreaText(Variant::Array{}), 1);
    EXPECT_EQ(chart.DrawAreaText(Variant::Array{"only"}, -5), 1);
    EXPECT_EQ(chart.DrawAreaText(Variant::Array{"a", "b"}, -5), 1);
    EXPECT_EQ(errorRaisedBy([&] { chart.DrawAreaText(Variant::Array{}, -5); }), kErrSubscript);
    EXPECT_EQ(GetCurrentObject(chart.canvasDC(), OBJ_FONT), GetStockObject(SYSTEM_FONT));
}

TEST(FreeDrawing, MethodsWithoutACanvasStillCheckTheirArguments) {
    cChart chart;
    EXPECT_EQ(chart.DrawLine(0, "1", 0, 0, 0, 5, 5), 1);
    EXPECT_EQ(chart.DrawText("x"), 1);
    EXPECT_EQ(errorRaisedBy([&] { chart.DrawLine(8, "1", 0, 0, 0, 5, 5); }), kErrSubscript);
}

}  // namespace
}  // namespace kelvane

namespace kelvane {
namespace {

TEST(FreeDrawing, LongDashShortDashModeRepeats16_8_4_8AtEveryWidth) {
    for (int width = 1; width <= 5; ++width) {
        cChart chart;
        chart.Width(200);
        chart.Height(20);
        chart.InitChart();
        chart.DrawLine(5, std::to_string(width), 0x000000, 10, 10, 190, 10);
        test::Picture p;
        ASSERT_TRUE(test::decodeBmp24(chart.SaveBinary("bmp").bytes(), p));
        // Runs of ink and gaps along the line's middle row.
        std::vector<int> runs;
        bool ink = true;
        int length = 0;
        for (int x = 10; x < 190; ++x) {
            const bool here = p.at(x, 10) == 0;
            if (here == ink) {
                ++length;
                continue;
            }
            runs.push_back(length);
            ink = here;
            length = 1;
        }
        ASSERT_GE(runs.size(), 8u) << width;
        const std::vector<int> pattern(runs.begin(), runs.begin() + 8);
        EXPECT_EQ(pattern, (std::vector<int>{16, 8, 4, 8, 16, 8, 4, 8})) << "width " << width;
    }
}

}  // namespace
}  // namespace kelvane
