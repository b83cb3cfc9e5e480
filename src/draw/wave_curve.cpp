// Wave curve geometry, in the single- and double-precision steps the curves were defined with.
#include "draw/wave_curve.h"

#include <cmath>

#include "draw/plot_coords.h"

namespace kelvane {

namespace {

// Slightly less than 2 pi, so the last wave point lies a hair off the straight line.
constexpr double kWaveTurn = 6.2831852;

}  // namespace

std::vector<gdi::POINT> WavePath(const std::vector<CurvePoint>& raw, const PlotFrame& f, float tension,
                                 int16_t p, int16_t startPointMode) {
    std::vector<gdi::POINT> path;
    if (raw.empty()) return path;
    // In plot coordinates a point is an offset from the plot origin (x along the plot width, y a
    // height above the plot bottom). Other modes are canvas pixels throughout: the same
    // construction about the canvas origin, with heights measured upwards.
    const bool plot = startPointMode == kPlotCoordinates;
    const double originX = plot ? f.plotLeft : 0.0;
    const float originY = plot ? f.plotBottom : 0.0f;
    const float scale = plot ? f.valueScale : 1.0f;
    const float runScale = plot ? f.plotWidth : 100.0f;
    const float riseSign = plot ? 1.0f : -1.0f;
    std::vector<float> mx(raw.size()), my(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        mx[i] = plot ? (raw[i].x * f.plotWidth) / 100.0f : raw[i].x;
        my[i] = plot ? (raw[i].y - f.axisStartValue) * f.valueScale : -raw[i].y;
    }
    path.push_back(gdi::POINT{Pixel(originX + mx[0]), Pixel(double(originY) - my[0])});
    for (size_t i = 1; i < raw.size(); ++i) {
        const double sx = originX + mx[i - 1];
        const float sy = originY - my[i - 1];
        const float d = riseSign * (raw[i].y - raw[i - 1].y) * scale;
        const float amplitude = d != 0 ? d * tension : 0.0f;
        const float w = ((raw[i].x - raw[i - 1].x) * runScale) / 100.0f;
        for (int32_t j = 1; j <= p; ++j) {
            const float x = float(sx + double((float(j) * w) / float(p)));
            const float straight = sy - (float(j) * d) / float(p);
            const float wave = float(double(amplitude) * std::sin(double(j) / double(p) * kWaveTurn));
            path.push_back(gdi::POINT{Pixel(x), Pixel(double(straight) + double(wave))});
        }
        path.push_back(gdi::POINT{Pixel(originX + mx[i]), Pixel(double(originY) - my[i])});
    }
    return path;
}

}  // namespace kelvane
