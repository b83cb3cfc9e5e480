// What one AddBarData call placed, as the value label and the legend entry need it.
#pragma once

#include <cstdint>
#include <string>

#include "chart/chart_state.h"
#include "draw/drawing_scope.h"
#include "raster/std_picture.h"

namespace kelvane {

struct BarItem {
    iDrawBarMode mode;
    int16_t bIndex, sIndex;
    float x;        // left edge of the bar, or x of the point
    float h;        // height above plot bottom (negative below)
    float below;    // stacked bars: height of the segments beneath
    std::string name;
    std::string label;  // the value text followed by MValuebStr
};


// Where an item's value label of the given extent starts: centred on the point or bar, its
// bottom MValueOffset above the top; in a stacked segment, centred in the segment.
gdi::POINT ValueLabelOrigin(const BarItem& item, const PlotFrame& frame, const ChartSettings& settings,
                            gdi::SIZE extent);

// The value label of an item (only when MValueVisible is true): text above the bar or point, or
// centred in a stacked segment, optionally on a tinted box with a frame.
void DrawValueLabel(ChartState& chart, DrawingScope& scope, const BarItem& item);

// The legend entry of an item's series (for the first bar position only): icon and name.
void DrawLegendEntry(ChartState& chart, DrawingScope& scope, const BarItem& item);

}  // namespace kelvane
