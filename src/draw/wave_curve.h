// The points of a wave curve: every segment between two given points is bent by one sine wave
// whose height is the segment's rise times the tension.
#pragma once

#include <cstdint>
#include <vector>

#include "kelvane/cChart.h"
#include "kelvane/gdi.h"

namespace kelvane {

struct CurvePoint {
    float x, y;
};

// One segment's wave in the single- and double-precision steps the curves were defined with.
// Sample j (1 to precision) lies at x(j) and y(straight(j), sine), where sine is
// WaveSine(j, precision).
struct WaveSegment {
    double startX = 0;
    float startY = 0;
    float rise = 0;  // measured down the canvas
    float amplitude = 0;
    float run = 0;
    int16_t precision = 0;

    float x(int32_t j) const { return float(startX + double((float(j) * run) / float(precision))); }
    float straight(int32_t j) const { return startY - (float(j) * rise) / float(precision); }
    float wave(double sine) const { return float(double(amplitude) * sine); }
    double y(float straightPart, double sine) const { return double(straightPart) + double(wave(sine)); }
    // The pixel of sample j (error 6 beyond 32 bits).
    gdi::POINT point(int32_t j, double sine) const;
};

// The sine of sample j's share of the (slightly short of a) full turn.
double WaveSine(int32_t j, int16_t precision);
// How fast the wave rises at sample j, in amplitudes per sample, and half how fast that changes.
double WaveSlope(int32_t j, int16_t precision);
double WaveBend(int32_t j, int16_t precision);

// The given points placed on the canvas and the segments between them. In plot coordinates
// (StartPointMode 2) x is a percentage of the plot width and y a value of the left axis;
// otherwise both are canvas pixels.
class WaveGeometry {
public:
    WaveGeometry(const std::vector<CurvePoint>& points, const PlotFrame& frame, float tension, int16_t precision,
                 int16_t startPointMode);

    size_t size() const { return m_raw.size(); }
    int16_t precision() const { return m_precision; }
    // The pixel of given point i, where segment i ends (error 6 beyond 32 bits).
    gdi::POINT corner(size_t i) const;
    // The segment from point i - 1 to point i (1 <= i < size()).
    WaveSegment segment(size_t i) const;

private:
    std::vector<CurvePoint> m_raw;
    std::vector<float> m_mx, m_my;
    double m_originX;
    float m_originY, m_scale, m_runScale, m_riseSign, m_tension;
    int16_t m_precision;
};

// The pixel path: the first point is where the curve starts (a move), every later one a line
// end. Every sample is listed; drawing uses the bounded walk of wave_walk.h instead.
std::vector<gdi::POINT> WavePath(const std::vector<CurvePoint>& points, const PlotFrame& frame,
                                 float tension, int16_t precision, int16_t startPointMode);

}  // namespace kelvane
