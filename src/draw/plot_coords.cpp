// Plot coordinates. The products are single-precision (x times the plot width, then divided by
// 100; the value less the axis start, then times the scale); the sums with the plot origin are
// double-precision.
#include "draw/plot_coords.h"

namespace kelvane {

double CanvasX(const PlotFrame& frame, float x, int16_t startPointMode) {
    if (startPointMode != kPlotCoordinates) return x;
    const float share = (x * frame.plotWidth) / 100.0f;
    return double(frame.plotLeft) + double(share);
}

double CanvasY(const PlotFrame& frame, float y, int16_t startPointMode) {
    if (startPointMode != kPlotCoordinates) return y;
    const float height = (y - frame.axisStartValue) * frame.valueScale;
    return double(frame.plotBottom) - double(height);
}

}  // namespace kelvane
