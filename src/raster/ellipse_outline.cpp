// Ellipse outlines: one quarter walked pixel by pixel with an integer midpoint walk, mirrored
// into the other three, the vertices joined in order; everything elliptic is built from them.
#include "raster/ellipse_outline.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>
#include <utility>

namespace kelvane::gdi {

EllipseBox EllipseBox::ordered(long l, long t, long r, long b) {
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    return EllipseBox{l, t, r, b};
}

namespace {

// The lower right quarter of a width x height ellipse, relative to the box's top-left pixel: from
// (width - 1, height / 2) to the middle column. The error term is the ellipse equation evaluated
// between candidate pixels, kept exact in integers; both steps may happen in one iteration.
// Sides are at most kMaxWalkedSide, so every term fits in 64 bits.
template <class Visit>
void walkQuarter(long width, long height, Visit&& visit) {
    const int64_t a = width - 1, b = height - 1, odd = b % 2;
    const int64_t xStep = 8 * b * b, yStep = 8 * a * a;
    int64_t dx = 4 * b * b * (1 - a), dy = 4 * a * a * (1 + odd);
    int64_t err = dx + dy + a * a * odd;
    long x = long(a), y = height / 2;
    // The walk ends within width + height steps; the bound only guards against a broken invariant.
    for (long steps = 0; x >= width / 2 && steps <= width + height + 2; ++steps) {
        visit(x, y);
        const int64_t e2 = 2 * err;
        if (e2 >= dx) {
            --x;
            dx += xStep;
            err += dx;
        }
        if (e2 <= dy) {
            ++y;
            dy += yStep;
            err += dy;
        }
    }
}

void buildWalked(const EllipseBox& box, EllipseOutline& out) {
    const long w = box.width(), h = box.height();
    std::vector<POINT> quarter;
    quarter.reserve(size_t(w / 2 + h / 2 + 2));
    walkQuarter(w, h, [&](long x, long y) { quarter.push_back(POINT{LONG(x), LONG(y)}); });
    const size_t n = quarter.size();
    out.points.reserve(4 * n);
    out.quarters.reserve(4 * n);
    auto add = [&](long x, long y, Quarter q) {
        out.points.push_back(POINT{LONG(box.left + x), LONG(box.top + y)});
        out.quarters.push_back(q);
    };
    // Mirror images of the walked quarter, each run in drawing order.
    for (size_t i = 0; i < n; ++i) add(quarter[i].x, quarter[i].y, Quarter::BottomRight);
    for (size_t i = n; i-- > 0;) add(w - 1 - quarter[i].x, quarter[i].y, Quarter::BottomLeft);
    for (size_t i = 0; i < n; ++i) add(w - 1 - quarter[i].x, h - 1 - quarter[i].y, Quarter::TopLeft);
    for (size_t i = n; i-- > 0;) add(quarter[i].x, h - 1 - quarter[i].y, Quarter::TopRight);
}

// Boxes too big to walk: points of the ideal ellipse through the pixel centres of the box's
// extremes, a pixel or two apart wherever the curve can reach the window (as the walked
// vertices are, so that pies and arcs end near their radials); elsewhere one chord per piece.
class Sampler {
public:
    Sampler(const EllipseBox& box, const RECT& window, EllipseOutline& out)
        : m_box(box), m_window(window), m_out(out) {
        m_cx = (double(box.left) + double(box.right - 1)) / 2;
        m_cy = (double(box.top) + double(box.bottom - 1)) / 2;
        m_rx = double(box.width() - 1) / 2;
        m_ry = double(box.height() - 1) / 2;
    }

    void run() {
        const double quarterTurn = std::numbers::pi / 2;
        for (int q = 0; q < 4; ++q) {
            const double a0 = q * quarterTurn, a1 = (q + 1) * quarterTurn;
            emit(a0, Quarter(q));
            subdivide(a0, a1, 0, Quarter(q));
        }
    }

private:
    POINT at(double angle) const {
        const double x = std::floor(m_cx + m_rx * std::cos(angle) + 0.5);
        const double y = std::floor(m_cy + m_ry * std::sin(angle) + 0.5);
        return POINT{LONG(std::clamp(x, double(m_box.left), double(m_box.right - 1))),
                     LONG(std::clamp(y, double(m_box.top), double(m_box.bottom - 1)))};
    }

    void emit(double angle, Quarter q) {
        m_out.points.push_back(at(angle));
        m_out.quarters.push_back(q);
    }

    void subdivide(double a0, double a1, int depth, Quarter q) {
        const POINT p0 = at(a0), p1 = at(a1);
        const double s = std::sin((a1 - a0) / 4);
        const double sagitta = std::max(m_rx, m_ry) * 2 * s * s + 1;
        const bool seen = std::min<double>(p0.x, p1.x) - sagitta <= m_window.right &&
                          std::max<double>(p0.x, p1.x) + sagitta >= m_window.left &&
                          std::min<double>(p0.y, p1.y) - sagitta <= m_window.bottom &&
                          std::max<double>(p0.y, p1.y) + sagitta >= m_window.top;
        const long span = std::max(std::labs(long(p1.x) - p0.x), std::labs(long(p1.y) - p0.y));
        if (!seen || (span <= 2 && sagitta < 1.25) || depth >= 60) {
            emit(a1, q);
            return;
        }
        const double mid = (a0 + a1) / 2;
        subdivide(a0, mid, depth + 1, q);
        subdivide(mid, a1, depth + 1, q);
    }

    EllipseBox m_box;
    RECT m_window;
    EllipseOutline& m_out;
    double m_cx, m_cy, m_rx, m_ry;
};

}  // namespace

void buildEllipseOutline(const EllipseBox& box, const RECT& window, EllipseOutline& out) {
    out.points.clear();
    out.quarters.clear();
    out.exact = box.width() <= kMaxWalkedSide && box.height() <= kMaxWalkedSide;
    if (box.width() < 1 || box.height() < 1) return;
    if (out.exact) buildWalked(box, out);
    else Sampler(box, window, out).run();
}

void outlineRowSpans(const EllipseOutline& outline, long rowFrom, long rowTo,
                     std::vector<RowSpan>& spans) {
    spans.assign(size_t(std::max(0L, rowTo - rowFrom)), RowSpan{LONG_MAX, LONG_MIN});
    for (const POINT& p : outline.points) {
        if (p.y < rowFrom || p.y >= rowTo) continue;
        RowSpan& s = spans[size_t(p.y - rowFrom)];
        s.x0 = std::min<long>(s.x0, p.x);
        s.x1 = std::max<long>(s.x1, p.x);
    }
}

}  // namespace kelvane::gdi
