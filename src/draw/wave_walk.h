// Drawing a wave curve without listing its samples. A segment has up to 32767 samples, most of
// them on the pixel of the one before or far off the canvas; the walk proves such stretches
// from bounds on the samples' values and hands the line run only the samples that matter, so
// the work follows the pixels the curve crosses, not its precision.
#pragma once

#include <cstdint>
#include <vector>

#include "draw/wave_curve.h"
#include "raster/line_run.h"

namespace kelvane {

class WaveWalk {
public:
    explicit WaveWalk(const WaveGeometry& geometry);

    // Raises error 6 when any point of the curve's pixel path (WavePath) lies beyond 32 bits, as
    // listing the path would.
    void check() const;
    // Draws the pixel path after its first point, where the run must start: pixel for pixel
    // what LineTo to every later point of WavePath draws.
    void draw(gdi::LineRun& run) const;

private:
    struct Sample;
    struct Box;
    class Segment;

    // The least and greatest sine of samples a..b.
    void sineRange(int32_t a, int32_t b, double& least, double& most) const;

    const WaveGeometry& m_geometry;
    int16_t m_precision;
    // Per sample j: its sine, the wave's slope and half its second derivative there, in
    // amplitudes per sample; and the least and greatest sine of the 2^k samples from j, level k
    // after level k - 1.
    std::vector<double> m_sine, m_slope, m_bend, m_least, m_most;
};

}  // namespace kelvane
