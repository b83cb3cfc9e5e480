// Tick labels of the value axes: the value in the axis pattern followed by the unit text, with
// a bare "0" at zero whatever the pattern. The unit is the same on every tick and may be long:
// it is measured once per axis (gdi::TextTail) and only the value is made for each tick.
#pragma once

#include <cstdint>
#include <string>

namespace kelvane {

struct ChartSettings;

// The height the value axes divide into steps: the canvas height less the border offset at top
// and bottom, the axis overhang and the top and bottom margins (checked 32-bit arithmetic).
int32_t AxisPlotHeight(const ChartSettings& s);

// The value part of a tick label; the unit follows it.
std::string AxisLabel(float value, const std::string& pattern);

}  // namespace kelvane
