// Tick labels of the value axes: the value in the axis pattern followed by the unit text, with
// a bare "0" at zero whatever the pattern.
#pragma once

#include <string>

namespace kelvane {

std::string AxisLabel(float value, const std::string& pattern, const std::string& unit);

}  // namespace kelvane
