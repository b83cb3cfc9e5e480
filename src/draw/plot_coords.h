// Points of the free-drawing methods: canvas pixels, or with StartPointMode 2 plot coordinates
// (x in percent of the plot width from the value axis, y a value of the left axis).
#pragma once

#include <cstdint>

#include "kelvane/cChart.h"

namespace kelvane {

inline constexpr int16_t kPlotCoordinates = 2;

// The canvas position of a point, before rounding to a pixel.
double CanvasX(const PlotFrame& frame, float x, int16_t startPointMode);
double CanvasY(const PlotFrame& frame, float y, int16_t startPointMode);

// The nearest pixel, ties to even; beyond 32 bits raises error 6.
inline int32_t Pixel(double v) { return CLng(v); }

}  // namespace kelvane
