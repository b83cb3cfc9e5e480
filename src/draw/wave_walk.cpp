// The bounded walk over a wave curve's samples.
//
// A stretch of samples a..b of one segment is bounded without visiting its inner samples:
//   - x(j) only moves one way as j grows (each rounding step keeps the order), so the stretch's
//     x lie between those of its ends;
//   - straight(j) likewise, and wave(sine) is ordered with the sine, so y lies between the sums
//     of the straight parts of the ends and the waves at the stretch's least and greatest sine
//     (a table per call: the sines depend on j and the precision only);
//   - near the chord: y differs from the real curve sy - t d / p + A sin(t c / p) by a few
//     single-precision units of |sy| + |d| + |A| at most, and the real curve strays from the
//     straight line through its ends by at most |A| (c / p)^2 (b - a)^2 / 8.
// Rounding to pixels keeps the order too, so the pixels of every sample of the stretch lie in
// the box the bounds round to. A stretch whose box is one pixel draws nothing new (LineTo to
// the pixel it is on); one whose box lies beyond an edge of the pen's reach draws nothing at
// all; any other is split in two, down to a few samples, which are listed.
#include "draw/wave_walk.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "draw/plot_coords.h"

namespace kelvane {

namespace {

// Stretches of at most this many steps are listed sample by sample.
constexpr int32_t kShortest = 8;
// The relative rounding of a single, 2^-24.
constexpr double kSingleUnit = 1.0 / 16777216.0;
// A little more than the constant of the wave's turn (6.2831852).
constexpr double kTurnAbove = 6.2832;

bool within32(double least, double most) {
    return least >= std::numeric_limits<int32_t>::min() && most <= std::numeric_limits<int32_t>::max();
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

// Stretch numbering: stretch 1 is samples 1..p; stretch n of samples a..b, when b - a exceeds
// kShortest, has the halves 2n (a..m) and 2n + 1 (m..b) with m = (a + b) / 2.
class WaveWalk::Segment {
public:
    Segment(const WaveWalk& walk, const WaveSegment& s) : m_walk(walk), m_s(s) {
        const double size = std::fabs(double(s.startY)) + std::fabs(double(s.rise)) + std::fabs(double(s.amplitude));
        // Twice the deviation of a sample from the real curve (about four units), twice over.
        m_slack = 16 * kSingleUnit * size + 1e-30;
        const double turn = kTurnAbove / double(s.precision);
        m_bend = std::fabs(double(s.amplitude)) * turn * turn / 8 * 1.001;
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
        if (p > 1) check(1, 1, first, p, at(p));
    }

    void draw(gdi::LineRun& run) const {
        const int32_t p = m_s.precision;
        if (p < 1) return;
        if (!m_bounded || !run.merges()) {
            for (int32_t j = 1; j <= p; ++j) run.lineTo(at(j).pixel);
            return;
        }
        const Sample first = at(1);
        run.lineTo(first.pixel);
        if (p > 1) draw(run, 1, 1, first, p, at(p));
    }

private:
    Sample at(int32_t j) const {
        Sample r;
        r.x = m_s.x(j);
        r.straight = m_s.straight(j);
        r.y = m_s.y(r.straight, m_walk.m_sine[size_t(j)]);
        r.pixel = gdi::POINT{Pixel(r.x), Pixel(r.y)};
        return r;
    }

    Box box(int n, int32_t a, const Sample& A, int32_t b, const Sample& B) const {
        const float waveA = m_s.wave(m_walk.m_least[size_t(n)]), waveB = m_s.wave(m_walk.m_most[size_t(n)]);
        double top = double(std::min(A.straight, B.straight)) + double(std::min(waveA, waveB));
        double bottom = double(std::max(A.straight, B.straight)) + double(std::max(waveA, waveB));
        const double steps = double(b - a);
        const double chord = m_bend * steps * steps + m_slack;
        top = std::max(top, std::min(A.y, B.y) - chord);
        bottom = std::min(bottom, std::max(A.y, B.y) + chord);
        return Box{std::nearbyint(double(std::min(A.x, B.x))), std::nearbyint(double(std::max(A.x, B.x))),
                   std::nearbyint(top), std::nearbyint(bottom)};
    }

    void check(int n, int32_t a, const Sample& A, int32_t b, const Sample& B) const {
        if (b - a <= kShortest) {
            for (int32_t j = a + 1; j < b; ++j) at(j);
            return;
        }
        const Box k = box(n, a, A, b, B);
        if (within32(k.left, k.right) && within32(k.top, k.bottom)) return;
        const int32_t m = (a + b) / 2;
        const Sample M = at(m);
        check(2 * n, a, A, m, M);
        check(2 * n + 1, m, M, b, B);
    }

    // Draws samples a + 1..b; the run is at sample a.
    void draw(gdi::LineRun& run, int n, int32_t a, const Sample& A, int32_t b, const Sample& B) const {
        if (b - a <= kShortest) {
            for (int32_t j = a + 1; j < b; ++j) run.lineTo(at(j).pixel);
            run.lineTo(B.pixel);
            return;
        }
        const Box k = box(n, a, A, b, B);
        if (k.left == k.right && k.top == k.bottom) {
            run.lineTo(B.pixel);  // where the run is: lines of no length
            return;
        }
        if (k.right < double(run.left()) || k.left > double(run.right()) || k.bottom < double(run.top()) ||
            k.top > double(run.bottom())) {
            run.skipTo(B.pixel);
            return;
        }
        const int32_t m = (a + b) / 2;
        const Sample M = at(m);
        draw(run, 2 * n, a, A, m, M);
        draw(run, 2 * n + 1, m, M, b, B);
    }

    const WaveWalk& m_walk;
    WaveSegment m_s;
    double m_slack = 0, m_bend = 0;
    bool m_bounded = false;
};

WaveWalk::WaveWalk(const WaveGeometry& geometry) : m_geometry(geometry), m_precision(geometry.precision()) {
    const int32_t p = m_precision;
    if (p < 1) return;
    m_sine.resize(size_t(p) + 1);
    for (int32_t j = 1; j <= p; ++j) m_sine[size_t(j)] = WaveSine(j, m_precision);
    int depth = 0;
    for (int32_t steps = p - 1; steps > kShortest; steps -= steps / 2) ++depth;
    const size_t stretches = size_t(2) << depth;
    m_least.resize(stretches);
    m_most.resize(stretches);
    // Least and greatest sine of every stretch, halves first.
    auto fill = [&](auto& self, int n, int32_t a, int32_t b) -> void {
        if (b - a <= kShortest) {
            const auto [least, most] = std::minmax_element(m_sine.begin() + a, m_sine.begin() + b + 1);
            m_least[size_t(n)] = *least;
            m_most[size_t(n)] = *most;
            return;
        }
        const int32_t m = (a + b) / 2;
        self(self, 2 * n, a, m);
        self(self, 2 * n + 1, m, b);
        m_least[size_t(n)] = std::min(m_least[size_t(2 * n)], m_least[size_t(2 * n + 1)]);
        m_most[size_t(n)] = std::max(m_most[size_t(2 * n)], m_most[size_t(2 * n + 1)]);
    };
    fill(fill, 1, 1, p);
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
