// Value axes of the most steps and the most decimals: the work follows the canvas and the number
// of ticks, not the decimals of each label. Each case runs in a child process on a fresh chart
// and prints its figures; the bounds hold for optimised builds, and ten times over (at least a
// second) for sanitizer and unoptimised ones.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "canvas_work_bounds.h"
#include "kelvane/cChart.h"

namespace kelvane {
namespace {

// A canvas with room for a right axis.
void canvas(cChart& c, int32_t width, int32_t height) {
    c.Width(width);
    c.Height(height);
    c.SerialBars(4);
    c.SerialItems(1);
    c.RightAxisVisible(kTrue);
    c.InitChart();
}

TEST(ResourceBoundsAxis, StepsAndDecimalsStayWithinBounds) {
    const std::vector<test::CanvasWork> cases = {
        {"32768 left labels of 32767 decimals", 400, 300, 0.2,
         [](cChart& c) { c.DrawBarChart(100, 32767, 0, 32767); }},
        {"the same on 2000 x 2000", 2000, 2000, 1.0, [](cChart& c) { c.DrawBarChart(100, 32767, 0, 32767); }},
        // The grid's 32768 dotted lines across the plot take most of this one.
        {"the same with a unit, 3D walls and the grid", 400, 300, 0.5,
         [](cChart& c) {
             c.Chart_3D(kTrue);
             c.BackGrid(kTrue);
             c.DrawBarChart(-3e38f, 32767, 1.4e-45f, 32767, "\xE5\x85\x83/kg");
         }},
        {"32768 right labels of 32767 decimals", 400, 300, 0.2,
         [](cChart& c) {
             c.DrawBarChart(100, 5, 0);
             c.DrawRightAxis(100, 32767, 0, 32767);
         }},
        {"the same on 2000 x 2000", 2000, 2000, 1.0,
         [](cChart& c) {
             c.DrawBarChart(100, 5, 0);
             c.DrawRightAxis(100, 32767, 0, 32767);
         }},
        // Two axes, then the warnings measure the first 4096 labels of each.
        {"both axes with their warnings", 400, 300, 0.6,
         [](cChart& c) {
             c.Warnings();
             c.DrawBarChart(100, 32767, 0, 32767);
             c.DrawRightAxis(100, 32767, 0, 32767);
             c.Warnings();
         }},
    };
    test::ExpectWithinBounds(cases, canvas);
}

}  // namespace
}  // namespace kelvane
