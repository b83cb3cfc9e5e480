// Axis tick labels and the number patterns they use.
#include "chart/axis_labels.h"

#include <algorithm>

#include "kelvane/cChart.h"

namespace kelvane {

namespace {

// "0." and the decimals a single can have.
constexpr size_t kSinglePattern = 2 + 149;

int64_t byteLength(const std::string& text) { return gdi::CodePageByteCount(text.data(), int(text.size())); }

}  // namespace

AxisLabels::AxisLabels(std::string_view pattern, std::string_view unit)
    : m_pattern(pattern.substr(0, kSinglePattern)),
      m_unitText(unit),
      m_zerosText(std::string(pattern.substr(std::min(pattern.size(), kSinglePattern))).append(unit)),
      m_unitBytes(byteLength(m_unitText)),
      m_zerosBytes(byteLength(m_zerosText)),
      m_unit(m_unitText),
      m_zeros(m_zerosText) {}

AxisLabels::Label AxisLabels::operator()(float value) {
    if (value == 0) return Label{"0", m_unit, m_unitText, m_unitBytes};
    return Label{FormatPattern(value, m_pattern), m_zeros, m_zerosText, m_zerosBytes};
}

int64_t AxisLabels::Label::bytes() const { return byteLength(head) + tailBytes; }

int32_t AxisPlotHeight(const ChartSettings& s) {
    return SubLng(
        SubLng(SubLng(SubLng(s.Height, MulLng(2, s.BorderOffset)), s.AxisYoutValue), s.MarginTop), s.MarginBottom);
}

std::string cChart::BuildNumberFormat(int16_t decimals) {
    if (decimals < 1) return "0";
    return "0." + std::string(size_t(decimals), '0');
}

}  // namespace kelvane
