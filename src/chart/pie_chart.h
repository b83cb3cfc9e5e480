// The pie renderer, run by every output method of a pie chart: shares, geometry and slice points,
// flat slices or the solid pie, percentage labels, legend. All of it is decided at output time
// from the pie list and the settings current then.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "chart/chart_state.h"

namespace kelvane {

// Angles are in degrees, 0 at three o'clock, growing clockwise on the canvas (y grows down).
inline constexpr double kPieDegreesToRadians = 3.1415926 / 180;

// A y value of the solid pie seen at its tilt: moved towards the centre line by (1 - cos A).
inline double PieTilted(double y, double cy, double cosA) { return y - (y - cy) * (1 - cosA); }

// Where one slice lies. S and E are where its arc begins and ends, pulled out with the slice;
// B0 and B1 are the same points with the pull taken off again.
struct PieSlice {
    float endAngle = 0, midAngle = 0;
    float ox = 0, oy = 0;  // how far the slice is pulled out (0, 0 when it is not)
    gdi::POINT S{}, E{};
    double b0x = 0, b0y = 0, b1x = 0, b1y = 0;
    // Solid pies: S and E with their y seen at the tilt, and the pull as seen at the tilt.
    double sy = 0, ey = 0;
    float oyTilted = 0;
};

struct PieLayout {
    float cx = 0, cy = 0, r = 0;
    std::string labelPattern;  // "0" or "0.00..." for PercentDigits
    std::vector<PieSlice> slices;
};

// The end angle after a slice of `share` that starts at `start`, and the angle halfway through it.
float PieEndAngle(float start, float share);
float PieMidAngle(float end, float share);

// Shares (written into the items), the legend reserve, size rate, centre, radius and the points of
// every slice; draws nothing. Raises as RenderPie does.
PieLayout LayOutPie(ChartState& chart);

// The order in which an exchange sort leaves the keys, ascending: for each position, every later
// key smaller than the one there is swapped in. Equal keys are never swapped, but the sort is not
// stable (keys 2, 2, 1 come out as 1, the second 2, the first 2). The keys are finite (the layout
// raises for anything else).
std::vector<int32_t> ExchangeSortOrder(const std::vector<double>& keys);

// Draws the whole pie chart onto the canvas. Raises 9 without a pie list, 6 for more than 32767
// slices or a geometry beyond 32 bits, 11 or 6 when the values sum to 0; what was drawn until
// then stays, and no pen, brush, font or surface outlives the call.
void RenderPie(ChartState& chart);

// The solid pie in painter's order: bottom faces, radial faces back to front, outer walls, tops.
void DrawSolidPie(gdi::HDC dc, const ChartState& chart, const PieLayout& pie);

// A percentage on every visible slice when MValueVisible is true.
void DrawPieLabels(gdi::HDC dc, ChartState& chart, const PieLayout& pie);

// The legend box of the visible slices when LegendVisible is true.
void DrawPieLegend(gdi::HDC dc, ChartState& chart);

}  // namespace kelvane
