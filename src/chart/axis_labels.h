// Tick labels of the value axes: the value in the axis pattern followed by the unit text, with
// a bare "0" at zero whatever the pattern. The unit is the same on every tick and may be long,
// and so may the run of decimals: both are measured once per axis (gdi::TextTail) and only the
// value's own digits are made for each tick.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "raster/text_tail.h"

namespace kelvane {

struct ChartSettings;

// The height the value axes divide into steps: the canvas height less the border offset at top
// and bottom, the axis overhang and the top and bottom margins (checked 32-bit arithmetic).
int32_t AxisPlotHeight(const ChartSettings& s);

// The labels of one axis: values in a pattern "0" or "0.00…" followed by the unit text.
//
// A single's exact value is a whole multiple of 2^-149, so it has at most 149 decimals: beyond
// that many every further decimal of a label is 0 and no rounding reaches back from them. A label
// is therefore its value to at most 149 decimals (the head, made for each tick), then the same
// zeros and the unit (the tail, decoded and measured once). Head and tail together are, byte for
// byte, the value formatted with all the decimals followed by the unit.
class AxisLabels {
public:
    AxisLabels(std::string_view pattern, std::string_view unit);

    struct Label {
        std::string head;
        gdi::TextTail& tail;
        const std::string& tailText;
        int64_t tailBytes;  // the tail's length in the system's 8-bit code page

        // The whole label's length in the system's 8-bit code page.
        int64_t bytes() const;
    };
    Label operator()(float value);

private:
    std::string m_pattern;
    std::string m_unitText, m_zerosText;  // unit; the surplus zeros and the unit
    int64_t m_unitBytes, m_zerosBytes;
    gdi::TextTail m_unit, m_zeros;
};

}  // namespace kelvane
