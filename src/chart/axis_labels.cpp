// Axis tick labels and the number patterns they use.
#include "chart/axis_labels.h"

#include "kelvane/cChart.h"

namespace kelvane {

std::string AxisLabel(float value, const std::string& pattern) {
    if (value == 0) return "0";
    return FormatPattern(value, pattern);
}

int32_t AxisPlotHeight(const ChartSettings& s) {
    return SubLng(
        SubLng(SubLng(SubLng(s.Height, MulLng(2, s.BorderOffset)), s.AxisYoutValue), s.MarginTop), s.MarginBottom);
}

std::string cChart::BuildNumberFormat(int16_t decimals) {
    if (decimals < 1) return "0";
    return "0." + std::string(size_t(decimals), '0');
}

}  // namespace kelvane
