// The bounded walk over a wave curve's samples.
//
// A stretch of samples a..b of one segment is bounded without visiting its inner samples:
//   - x(j) only moves one way as j grows (each rounding step keeps the order), so the stretch's
//     x lie between those of its ends;
//   - straight(j) likewise, and wave(sine) is ordered with the sine, so y lies between the sums
//     of the straight parts of the ends and the waves at the stretch's least and greatest sine
//     (tables per call: the sines depend on j and the precision only);
//   - near the chord: y differs from the real curve f(t) = sy - t d / p + A sin(t c / p) by a
//     few single-precision units of |sy| + |d| + |A| at most, and f strays from the straight
//     line through its ends by at most |f''| t (b - a - t) / 2 at t samples from a, with
//     |f''| <= |A| (c / p)^2.
// Rounding to pixels keeps the order too, so the pixels of every sample of the stretch lie in
// the box the bounds round to. A stretch whose box is one pixel draws nothing new (LineTo to the
// pixel the run is on); one whose box lies beyond an edge of the pen's reach draws nothing at
// all. The walk steps from sample to sample, and where the curve's slope and bend tell that the
// next stretch stays on its pixel or beyond an edge, it proves that with the box and jumps over
// it; so the samples it visits are about those where the pixel changes.
#include "draw/wave_walk.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

#include "draw/plot_coords.h"

namespace kelvane {

namespace {

// The relative rounding of a single, 2^-24.
constexpr double kSingleUnit = 1.0 / 16777216.0;
// A little more than the constant of the wave's turn (6.2831852).
constexpr double kTurnAbove = 6.2832;

// The nearest whole number, ties to even, as std::nearbyint gives it, without a call: adding
// 1.5 * 2^52 leaves no fraction (and keeps the parity), subtracting it again is exact.
double nearest(double v) {
    constexpr double kShift = 6755399441055744.0;
    return std::fabs(v) < 0x1p51 ? (v + kShift) - kShift : std::nearbyint(v);
}

// Pixel(v), with the error only where it is due.
int32_t pixelOf(double v) {
    const double r = nearest(v);
    return r >= std::numeric_limits<int32_t>::min() && r <= std::numeric_limits<int32_t>::max() ? int32_t(r) : Pixel(v);
}

bool within32(double least, double most) {
    return least >= std::numeric_limits<int32_t>::min() && most <= std::numeric_limits<int32_t>::max();
}

// The largest k >= 0 with rate * k + bend * k^2 + margin < room (infinity when every k is).
double largestStep(double rate, double bend, double margin, double room) {
    room -= margin;
    if (!(room > 0)) return 0;
    if (bend == 0) return rate > 0 ? room / rate : std::numeric_limits<double>::infinity();
    return (std::sqrt(rate * rate + 4 * bend * room) - rate) / (2 * bend);
}

}  // namespace

struct WaveWalk::Sample {
    float x, straight;
    double y;
    gdi::POINT pixel;
};

// Pixel bounds of a stretch's samples.
struct WaveWalk::Box {
    double left, right, top, bottom;
};

class WaveWalk::Segment {
public:
    Segment(const WaveWalk& walk, const WaveSegment& s) : m_walk(walk), m_s(s) {
        const double p = s.precision;
        const double height = std::fabs(double(s.startY)) + std::fabs(double(s.rise)) + std::fabs(double(s.amplitude));
        // A sample's y lies within about 3.1 single units of `height` of the real curve (the
        // roundings of j d, of / p, of sy -, of the wave's product and the sum; the sine's are
        // far smaller): the slack allows for that at both ends of a stretch, twice over.
        m_slack = 16 * kSingleUnit * height + 1e-30;
        const double turn = kTurnAbove / p;
        m_curvature = std::fabs(double(s.amplitude)) * turn * turn * 1.001;
        m_runRate = double(s.run) / p;
        m_xSlack = 8 * kSingleUnit * (std::fabs(s.startX) + std::fabs(double(s.run))) + 1e-30;
        m_bounded = std::isfinite(s.startX) && std::isfinite(s.startY) && std::isfinite(s.rise) &&
                    std::isfinite(s.amplitude) && std::isfinite(s.run);
    }

    void check() const {
        const int32_t p = m_s.precision;
        if (p < 1) return;
        if (!m_bounded) {
            for (int32_t j = 1; j <= p; ++j) at(j);
            return;
        }
        const Sample first = at(1);
        if (p > 1) check(1, first, p, at(p));
    }

    void draw(gdi::LineRun& run) const {
        const int32_t p = m_s.precision;
        if (p < 1) return;
        if (!m_bounded || !run.merges()) {
            for (int32_t j = 1; j <= p; ++j) run.lineTo(at(j).pixel);
            return;
        }
        int32_t j = 1, quiet = 0;
        Sample here = at(1);
        run.lineTo(here.pixel);
        while (j < p) {
            // A jump ends where the proof ran out, mostly just before the pixel changes: the
            // sample after it is taken as it is.
            if (jump(run, j, here, quiet) && j == p) break;
            const gdi::POINT was = here.pixel;
            here = at(++j);
            run.lineTo(here.pixel);
            quiet = here.pixel.x == was.x && here.pixel.y == was.y ? quiet + 1 : 0;
        }
    }

private:
    Sample at(int32_t j) const {
        Sample r;
        r.x = m_s.x(j);
        r.straight = m_s.straight(j);
        r.y = m_s.y(r.straight, m_walk.m_sine[size_t(j)]);
        r.pixel = gdi::POINT{pixelOf(r.x), pixelOf(r.y)};
        return r;
    }

    // The bounds of the samples a..b; near the chord only, or with the ordered parts as well.
    Box box(int32_t a, const Sample& A, int32_t b, const Sample& B, bool ordered) const {
        // Between the ends the real curve keeps within |f''| t (K - t) / 2 of its chord, at t
        // samples from a and K = b - a: a parabola through both ends that sags by C / 4 at most,
        // C = |f''| K^2 / 2, and reaches beyond the nearer end only when the chord rises or
        // falls by less than C.
        const double steps = double(b - a), sag = m_curvature * steps * steps / 2, rise = B.y - A.y;
        double top = std::min(A.y, B.y), bottom = std::max(A.y, B.y);
        if (sag > std::fabs(rise)) {
            top = A.y - (sag - rise) * (sag - rise) / (4 * sag);
            bottom = A.y + (sag + rise) * (sag + rise) / (4 * sag);
        }
        top -= m_slack;
        bottom += m_slack;
        if (ordered) {
            double least, most;
            m_walk.sineRange(a, b, least, most);
            const float waveA = m_s.wave(least), waveB = m_s.wave(most);
            top = std::max(top, double(std::min(A.straight, B.straight)) + double(std::min(waveA, waveB)));
            bottom = std::min(bottom, double(std::max(A.straight, B.straight)) + double(std::max(waveA, waveB)));
        }
        return Box{nearest(double(std::min(A.x, B.x))), nearest(double(std::max(A.x, B.x))), nearest(top),
                   nearest(bottom)};
    }

    // Raises error 6 when a sample of a..b lies beyond 32 bits (those at a and b are made).
    void check(int32_t a, const Sample& A, int32_t b, const Sample& B) const {
        if (b - a < 2) return;
        const Box k = box(a, A, b, B, true);
        if (within32(k.left, k.right) && within32(k.top, k.bottom)) return;
        const int32_t m = a + (b - a) / 2;
        const Sample M = at(m);
        check(a, A, m, M);
        check(m, M, b, B);
    }

    // How many samples after j the curve's slope and bend promise to keep on the pixel of
    // sample j, or beyond the edge of the pen's reach that it is beyond, by the chord bounds of
    // box: x moves at an even rate (and only one way); y at the slope of the real curve, which
    // changes by at most the curvature per sample, and the bounds allow for the bend on either
    // side.
    double promise(int32_t j, const Sample& here, const gdi::LineRun& run) const {
        const double inf = std::numeric_limits<double>::infinity();
        const double x = here.x, px = here.pixel.x;
        const double left = double(run.left()), right = double(run.right());
        double xSame = inf, xBeyond = px < left || px > right ? inf : 0;
        if (m_runRate > 0) {
            xSame = largestStep(m_runRate, 0, m_xSlack, px + 0.5 - x);
            if (px < left) xBeyond = largestStep(m_runRate, 0, m_xSlack, left - 0.5 - x);
        } else if (m_runRate < 0) {
            xSame = largestStep(-m_runRate, 0, m_xSlack, x - (px - 0.5));
            if (px > right) xBeyond = largestStep(-m_runRate, 0, m_xSlack, x - (right + 0.5));
        }
        const double y = here.y, py = here.pixel.y;
        const double top = double(run.top()), bottom = double(run.bottom());
        double ySame = inf, yBeyond = py < top || py > bottom ? inf : 0;
        if (m_s.rise != 0) {
            const double slope = m_walk.m_slope[size_t(j)] * double(m_s.amplitude) - double(m_s.rise) / double(m_s.precision);
            const double bend = m_curvature, margin = 2 * m_slack;
            const double down = std::max(slope, 0.0), up = std::max(-slope, 0.0);
            ySame = std::min(largestStep(down, bend, margin, py + 0.5 - y), largestStep(up, bend, margin, y - (py - 0.5)));
            if (py < top) yBeyond = largestStep(down, bend, margin, top - 0.5 - y);
            if (py > bottom) yBeyond = largestStep(up, bend, margin, y - (bottom + 0.5));
        }
        return std::max(std::min(xSame, ySame), std::max(xBeyond, yBeyond));
    }

    bool beyond(const Box& k, const gdi::LineRun& run) const {
        return k.right < double(run.left()) || k.left > double(run.right()) || k.bottom < double(run.top()) ||
               k.top > double(run.bottom());
    }

    // Where x or y leave the pixel of sample j, by their rates and the bend of y there: mostly
    // just after the sample where the pixel changes.
    double guess(int32_t j, const Sample& here) const {
        const double inf = std::numeric_limits<double>::infinity();
        const double x = here.x, px = here.pixel.x, y = here.y, py = here.pixel.y;
        double steps = m_runRate > 0 ? (px + 0.5 - x) / m_runRate : m_runRate < 0 ? (x - (px - 0.5)) / -m_runRate : inf;
        if (m_s.rise == 0) return steps;
        const double slope = m_walk.m_slope[size_t(j)] * double(m_s.amplitude) - double(m_s.rise) / double(m_s.precision);
        if (slope == 0) return 0;
        // One Newton step on y + slope t + bend t^2 from where the slope alone leaves.
        const double edge = slope > 0 ? py + 0.5 : py - 0.5;
        const double bend = m_walk.m_bend[size_t(j)] * double(m_s.amplitude);
        const double t = (edge - y) / slope, rate = slope + 2 * bend * t;
        if (slope > 0 ? !(rate > 0) : !(rate < 0)) return 0;  // it turns before: no guess
        return std::min(steps, t - bend * t * t / rate);
    }

    // Jumps to sample b when the samples j..b stay on sample j's pixel or beyond an edge.
    bool settle(gdi::LineRun& run, int32_t& j, Sample& here, int32_t b) const {
        const Sample B = at(b);
        Box k = box(j, here, b, B, false);
        bool same = k.left == k.right && k.top == k.bottom;
        if (!same && !beyond(k, run)) {
            // A curve that hardly moves, or sits on a pixel's edge: the ordered bounds are exact.
            k = box(j, here, b, B, true);
            same = k.left == k.right && k.top == k.bottom;
            if (!same && !beyond(k, run)) return false;
        }
        if (!same) run.skipTo(B.pixel);
        j = b;
        here = B;
        return true;
    }

    // Jumps over the samples after j that stay on sample j's pixel or beyond an edge, when
    // there are at least two of them; `here` is then the last of them. First to the sample
    // before the guessed change of pixel, which mostly holds; then as far as slope and bend
    // promise, halved while that cannot be proved; and where the samples taken one by one have
    // kept to their pixel for a while (a curve on a pixel's edge, which slopes cannot tell), over
    // as many again, and twice that after each jump.
    bool jump(gdi::LineRun& run, int32_t& j, Sample& here, int32_t& quiet) const {
        const double left = double(m_s.precision - j);
        const gdi::POINT p = here.pixel;
        if (p.x >= run.left() && p.x <= run.right() && p.y >= run.top() && p.y <= run.bottom()) {
            const double guessed = std::min(guess(j, here), left);
            if (guessed >= 2 && settle(run, j, here, j + int32_t(guessed))) return true;
            if (guessed >= 3 && settle(run, j, here, j + int32_t(guessed) - 1)) return true;
        }
        const double promised = std::min(promise(j, here, run), left);
        for (int32_t steps = promised >= 2 ? int32_t(promised) : 0; steps >= 2; steps /= 2)
            if (settle(run, j, here, j + steps)) return true;
        if (quiet < 8) return false;
        const int32_t steps = int32_t(std::min(double(quiet), left));
        if (steps < 2 || !settle(run, j, here, j + steps)) return false;
        quiet = 2 * steps;
        return true;
    }

    const WaveWalk& m_walk;
    WaveSegment m_s;
    double m_slack = 0, m_curvature = 0, m_runRate = 0, m_xSlack = 0;
    bool m_bounded = false;
};

WaveWalk::WaveWalk(const WaveGeometry& geometry) : m_geometry(geometry), m_precision(geometry.precision()) {
    const int32_t p = m_precision;
    if (p < 1) return;
    const size_t n = size_t(p) + 1;
    m_sine.resize(n);
    m_slope.resize(n);
    m_bend.resize(n);
    for (int32_t j = 1; j <= p; ++j) {
        m_sine[size_t(j)] = WaveSine(j, m_precision);
        m_slope[size_t(j)] = WaveSlope(j, m_precision);
        m_bend[size_t(j)] = WaveBend(j, m_precision);
    }
    // Level k holds the least and greatest sine of samples j..j + 2^k - 1.
    const int levels = std::bit_width(uint32_t(p));
    m_least.resize(size_t(levels) * n);
    m_most.resize(size_t(levels) * n);
    std::copy(m_sine.begin(), m_sine.end(), m_least.begin());
    std::copy(m_sine.begin(), m_sine.end(), m_most.begin());
    for (int k = 1; k < levels; ++k) {
        const size_t half = size_t(1) << (k - 1), row = size_t(k) * n, below = row - n;
        for (size_t j = 1; j + 2 * half <= n; ++j) {
            m_least[row + j] = std::min(m_least[below + j], m_least[below + j + half]);
            m_most[row + j] = std::max(m_most[below + j], m_most[below + j + half]);
        }
    }
}

void WaveWalk::sineRange(int32_t a, int32_t b, double& least, double& most) const {
    const size_t n = size_t(m_precision) + 1;
    const int k = std::bit_width(uint32_t(b - a + 1)) - 1;
    const size_t row = size_t(k) * n, second = size_t(b) + 1 - (size_t(1) << k);
    least = std::min(m_least[row + size_t(a)], m_least[row + second]);
    most = std::max(m_most[row + size_t(a)], m_most[row + second]);
}

void WaveWalk::check() const {
    if (m_geometry.size() == 0) return;
    m_geometry.corner(0);
    for (size_t i = 1; i < m_geometry.size(); ++i) {
        Segment(*this, m_geometry.segment(i)).check();
        m_geometry.corner(i);
    }
}

void WaveWalk::draw(gdi::LineRun& run) const {
    for (size_t i = 1; i < m_geometry.size(); ++i) {
        Segment(*this, m_geometry.segment(i)).draw(run);
        run.lineTo(m_geometry.corner(i));
    }
}

}  // namespace kelvane
