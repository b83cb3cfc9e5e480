// DrawCurve draws pixel for pixel what LineTo to every point of the wave's listed path draws,
// and fails where listing the path fails, for curves on and off the canvas, flat ones on the
// edges of pixels, steep ones, and random ones with every kind of curve pen.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "draw/wave_curve.h"
#include "error_raised.h"
#include "kelvane/cChart.h"
#include "raster/objects.h"
#include "wave_chart.h"

namespace kelvane {
namespace {

using namespace gdi;
using test::errorRaisedBy;

struct Curve {
    std::vector<CurvePoint> points;
    std::string width;
    float tension;
    int32_t precision;
    int16_t mode;
};

std::vector<uint8_t> pixels(const cChart& c) {
    const Surface* s = surfaceOf(c.canvasDC());
    return std::vector<uint8_t>(s->bits(), s->bits() + s->byteSize());
}

std::string text(float v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.9g", double(v));
    return buf;
}

// The curve drawn by DrawCurve, and by LineTo to every listed point on a second chart; the
// description of the first difference, or empty.
std::string difference(const Curve& k, int width = 400, int height = 300) {
    cChart walked, listed;
    test::waveFrame(walked, width, height);
    test::waveFrame(listed, width, height);
    Variant::Array points;
    for (const CurvePoint& p : k.points) points.push_back(Variant(text(p.x) + "," + text(p.y)));
    const int32_t walkError = errorRaisedBy([&] {
        walked.DrawCurve(Variant(points), k.width, 0x3300CC, k.tension, k.precision, k.mode);
    });
    const int32_t listError = errorRaisedBy([&] {
        const std::vector<POINT> path = WavePath(k.points, listed.plotFrame(), k.tension, CInt(k.precision), k.mode);
        const HDC dc = listed.canvasDC();
        const HPEN pen = CreatePen(PS_SOLID, CLng(TextToNumber(k.width)), 0x3300CC);
        const HGDIOBJ old = SelectObject(dc, pen);
        MoveToEx(dc, path[0].x, path[0].y, nullptr);
        for (size_t i = 1; i < path.size(); ++i) LineTo(dc, path[i].x, path[i].y);
        SelectObject(dc, old);
        DeleteObject(pen);
    });
    if (walkError != listError) return "error " + std::to_string(walkError) + " against " + std::to_string(listError);
    if (pixels(walked) != pixels(listed)) return "pixels differ";
    return "";
}

std::vector<CurvePoint> overBars(int count, float shift) {
    std::vector<CurvePoint> points;
    for (int i = 0; i < count; ++i) points.push_back({float(i % 100) + shift, float(37 * i % 100)});
    return points;
}

TEST(WaveWalk, DrawsWhatTheListedPathDraws) {
    const struct {
        const char* name;
        Curve curve;
    } cases[] = {
        {"over a bar chart", {overBars(40, 0), "1", 0.5f, 32767, 2}},
        {"wide pen over a bar chart", {overBars(12, 0), "3", 0.5f, 3000, 2}},
        {"off the canvas", {overBars(40, 250), "1", 0.5f, 32767, 2}},
        {"below and above it", {{{10, -400}, {60, -300}, {90, 900}, {20, 700}}, "1", 2, 32767, 2}},
        {"flat on pixel edges", {{{3, 150.5f}, {250, 150.5f}, {390, 150.5f}, {100, 20.5f}}, "1", 1, 32767, 1}},
        {"hardly rising on a pixel edge", {{{3, 150.5f}, {300, 150.50002f}, {50, 150.5f}}, "1", 1, 32767, 1}},
        {"no tension", {{{3, 10}, {390, 290}, {5, 11}}, "2", 0, 32767, 1}},
        {"steep", {{{0, 0}, {30, 300}, {60, -5}, {399, 299}}, "1", 40, 20000, 1}},
        {"one sample a segment", {overBars(30, 0), "5", 0.5f, 1, 2}},
        {"no samples", {overBars(30, 0), "1", 0.5f, -3, 2}},
        {"a single point", {{{50, 50}}, "9", 0.5f, 32767, 2}},
        {"one pixel wide pen of width 0", {overBars(20, 0), "0", 3, 32767, 2}},
        {"beyond 32 bits", {{{0, 0}, {50, 1e9f}}, "1", 3, 32767, 1}},
        {"a tension beyond 32 bits", {{{0, 0}, {50, 10}}, "1", 1e9f, 32767, 1}},
    };
    for (const auto& k : cases) EXPECT_EQ(difference(k.curve), "") << k.name;
}

TEST(WaveWalk, DrawsWhatTheListedPathDrawsForRandomCurves) {
    std::mt19937 rng(2026);
    const float tensions[] = {0, 0.5f, 1, -2, 7, 1e-4f, 60};
    const int32_t precisions[] = {2, 17, 100, 1000, 9999, 32767};
    const char* widths[] = {"1", "0", "2", "5", "-4", "70"};
    std::uniform_real_distribution<float> unit(0, 1);
    for (int n = 0; n < 100; ++n) {
        Curve k;
        k.mode = rng() % 3 ? 2 : 1;
        k.tension = tensions[rng() % 7];
        k.width = widths[rng() % 6];
        // Wide pens draw every listed line slowly: fewer samples for them.
        k.precision = precisions[rng() % (k.width == std::string("1") || k.width == std::string("0") ? 6 : 4)];
        const float span = k.mode == 2 ? 100 : 300;
        for (int i = 1 + int(rng() % 6); i > 0; --i) {
            // Mostly on the canvas, some way off it.
            const float out = rng() % 4 ? 1 : 3;
            float x = (unit(rng) * out - (out - 1) / 2) * span, y = (unit(rng) * out - (out - 1) / 2) * span;
            if (rng() % 4 == 0) y = std::round(y) + 0.5f;
            if (rng() % 5 == 0 && !k.points.empty()) y = k.points.back().y;
            k.points.push_back({x, y});
        }
        EXPECT_EQ(difference(k, 100 + int(rng() % 300), 80 + int(rng() % 200)), "") << "case " << n;
    }
}

}  // namespace
}  // namespace kelvane
