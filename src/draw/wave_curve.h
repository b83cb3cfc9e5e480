// The points of a wave curve: every segment between two given points is bent by one sine wave
// whose height is the segment's rise times the tension.
#pragma once

#include <cstdint>
#include <vector>

#include "kelvane/cChart.h"
#include "kelvane/gdi.h"

namespace kelvane {

struct CurvePoint {
    float x, y;
};

// The pixel path: the first point is where the curve starts (a move), every later one a line
// end. In plot coordinates (StartPointMode 2) x is a percentage of the plot width and y a value
// of the left axis; otherwise both are canvas pixels.
std::vector<gdi::POINT> WavePath(const std::vector<CurvePoint>& points, const PlotFrame& frame,
                                 float tension, int16_t precision, int16_t startPointMode);

}  // namespace kelvane
