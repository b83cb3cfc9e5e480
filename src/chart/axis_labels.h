// Tick labels of the value axes: the value in the axis pattern followed by the unit text, with
// a bare "0" at zero whatever the pattern.
#pragma once

#include <cstdint>
#include <string>

namespace kelvane {

struct ChartSettings;

// The height the value axes divide into steps: the canvas height less the border offset at top
// and bottom, the axis overhang and the top and bottom margins (checked 32-bit arithmetic).
int32_t AxisPlotHeight(const ChartSettings& s);

std::string AxisLabel(float value, const std::string& pattern, const std::string& unit);

}  // namespace kelvane
