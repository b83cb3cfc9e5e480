// Wave curve geometry, in the single- and double-precision steps the curves were defined with.
#include "draw/wave_curve.h"

#include <cmath>

#include "draw/plot_coords.h"

namespace kelvane {

namespace {

// Slightly less than 2 pi, so the last wave point lies a hair off the straight line.
constexpr double kWaveTurn = 6.2831852;

}  // namespace

gdi::POINT WaveSegment::point(int32_t j, double sine) const {
    return gdi::POINT{Pixel(x(j)), Pixel(y(straight(j), sine))};
}

double WaveSine(int32_t j, int16_t precision) { return std::sin(double(j) / double(precision) * kWaveTurn); }

double WaveSlope(int32_t j, int16_t precision) {
    return std::cos(double(j) / double(precision) * kWaveTurn) * kWaveTurn / double(precision);
}

double WaveBend(int32_t j, int16_t precision) {
    const double turn = kWaveTurn / double(precision);
    return -WaveSine(j, precision) * turn * turn / 2;
}

// In plot coordinates a point is an offset from the plot origin (x along the plot width, y a
// height above the plot bottom). Other modes are canvas pixels throughout: the same construction
// about the canvas origin, with heights measured upwards.
WaveGeometry::WaveGeometry(const std::vector<CurvePoint>& raw, const PlotFrame& f, float tension, int16_t precision,
                           int16_t startPointMode)
    : m_raw(raw), m_mx(raw.size()), m_my(raw.size()), m_tension(tension), m_precision(precision) {
    const bool plot = startPointMode == kPlotCoordinates;
    m_originX = plot ? f.plotLeft : 0.0;
    m_originY = plot ? f.plotBottom : 0.0f;
    m_scale = plot ? f.valueScale : 1.0f;
    m_runScale = plot ? f.plotWidth : 100.0f;
    m_riseSign = plot ? 1.0f : -1.0f;
    for (size_t i = 0; i < raw.size(); ++i) {
        m_mx[i] = plot ? (raw[i].x * f.plotWidth) / 100.0f : raw[i].x;
        m_my[i] = plot ? (raw[i].y - f.axisStartValue) * f.valueScale : -raw[i].y;
    }
}

gdi::POINT WaveGeometry::corner(size_t i) const {
    return gdi::POINT{Pixel(m_originX + m_mx[i]), Pixel(double(m_originY) - m_my[i])};
}

WaveSegment WaveGeometry::segment(size_t i) const {
    WaveSegment s;
    s.startX = m_originX + m_mx[i - 1];
    s.startY = m_originY - m_my[i - 1];
    s.rise = m_riseSign * (m_raw[i].y - m_raw[i - 1].y) * m_scale;
    s.amplitude = s.rise != 0 ? s.rise * m_tension : 0.0f;
    s.run = ((m_raw[i].x - m_raw[i - 1].x) * m_runScale) / 100.0f;
    s.precision = m_precision;
    return s;
}

std::vector<gdi::POINT> WavePath(const std::vector<CurvePoint>& raw, const PlotFrame& f, float tension,
                                 int16_t p, int16_t startPointMode) {
    std::vector<gdi::POINT> path;
    if (raw.empty()) return path;
    const WaveGeometry geometry(raw, f, tension, p, startPointMode);
    path.push_back(geometry.corner(0));
    for (size_t i = 1; i < raw.size(); ++i) {
        const WaveSegment s = geometry.segment(i);
        for (int32_t j = 1; j <= p; ++j) path.push_back(s.point(j, WaveSine(j, p)));
        path.push_back(geometry.corner(i));
    }
    return path;
}

}  // namespace kelvane
