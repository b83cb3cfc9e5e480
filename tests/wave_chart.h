// Test helper: the chart the wave-curve tests draw over, a canvas with a bar chart's frame of
// four bar positions on a 0 to 100 axis (plot coordinates then map onto the plot).
#pragma once

#include <cstdint>

#include "kelvane/cChart.h"

namespace kelvane::test {

inline void waveFrame(cChart& c, int32_t width, int32_t height) {
    c.Width(width);
    c.Height(height);
    c.SerialBars(4);
    c.SerialItems(1);
    c.BarSpaceRate(0.8f);
    c.DrawBarMode(kvSingleColor);
    c.InitChart();
    c.DrawBarChart(100, 5, 0);
}

}  // namespace kelvane::test
