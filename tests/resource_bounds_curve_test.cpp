// Wave curves of the highest precision and running-total labels of the most decimals: the work
// follows the canvas and the points given, not those numbers. Each case runs in a child process
// on a fresh chart (canvas, bar chart frame, then the call) and prints its figures; the bounds
// hold for optimised builds, and ten times over (at least a second) for sanitizer and
// unoptimised ones.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "canvas_work_bounds.h"
#include "kelvane/cChart.h"
#include "wave_chart.h"

namespace kelvane {
namespace {

// 3000 points in plot coordinates, (i mod 100 + shift, 37 i mod 100).
Variant curvePoints(int shift) {
    Variant::Array points;
    for (int i = 0; i < 3000; ++i)
        points.push_back(Variant(std::to_string(i % 100 + shift) + "," + std::to_string(37 * i % 100)));
    return Variant(points);
}

Variant ones(int count) {
    return Variant(Variant::Array(size_t(count), Variant(1.0)));
}

TEST(ResourceBoundsCurve, HugePrecisionsAndDecimalsStayWithinBounds) {
    const std::vector<test::CanvasWork> cases = {
        {"3000 wave segments of 32767 samples", 400, 300, 0.2,
         [](cChart& c) { c.DrawCurve(curvePoints(0), "1", 0xFF, 0.5f, 32767, 2); }},
        {"the same with every point off the canvas", 400, 300, 0.2,
         [](cChart& c) { c.DrawCurve(curvePoints(200), "1", 0xFF, 0.5f, 32767, 2); }},
        {"the same on 2000 x 2000", 2000, 2000, 1.0,
         [](cChart& c) { c.DrawCurve(curvePoints(0), "1", 0xFF, 0.5f, 32767, 2); }},
        {"the same with a 5-pixel pen", 400, 300, 1.0,
         [](cChart& c) { c.DrawCurve(curvePoints(0), "5", 0xFF, 0.5f, 32767, 2); }},
        {"32767 running totals to 32767 decimals", 400, 300, 0.2,
         [](cChart& c) { c.DrawPolaLine(ones(32767), 32767, 0, "1", 0xFF); }},
        {"the same on 2000 x 2000", 2000, 2000, 1.0,
         [](cChart& c) { c.DrawPolaLine(ones(32767), 32767, 0, "1", 0xFF); }},
        {"the same, every label across the canvas on a box", 400, 300, 1.0,
         [](cChart& c) {
             c.SerialBars(32767);
             c.DrawBarChart(100, 5, 0);
             c.DrawPolaLine(ones(32767), 32767, 0, "1", 0xFF, Variant(0), Variant(0), kTrue, kTrue);
         }},
    };
    test::ExpectWithinBounds(cases, test::waveFrame);
}

}  // namespace
}  // namespace kelvane
