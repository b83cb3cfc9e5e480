// Arcs, ArcTo and the arc backend they share with Pie: the outline vertices two radials select,
// drawn as a polyline or, in a path, recorded as Bézier pieces of at most a quarter turn.
#include "raster/arc.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "raster/brush_paint.h"
#include "raster/deferred_paint.h"
#include "raster/figure_fill.h"
#include "raster/objects.h"
#include "raster/path.h"
#include "raster/stroke.h"

namespace kelvane::gdi {

namespace {

// Directions from a centre, y up. Within the 30-bit coordinates of any usual box their cross
// products fit 64 bits; beyond that they are worked out in 128.
template <class Int>
struct Vec {
    Int x, y;
};

template <class Int>
Int cross(Vec<Int> a, Vec<Int> b) { return a.x * b.y - a.y * b.x; }

// Where a vertex lies seen from the radial, measured in the arc's direction: in line with it
// (a tie; a vertex on its quarter's centre counts as in line with anything), somewhere in the half
// turn ahead, or behind.
enum class Ahead { Tie, Inside, Behind };

// A radial selects the first outline vertex at or after its direction. Its quarter is decided
// around the box's integer centre, and its direction is compared with that quarter's vertices
// seen from the quarter's own mirror centre; an exact tie counts as reached in the upper quarters
// going counter-clockwise and in the lower ones going clockwise. The arc then runs from the start
// radial's vertex to the vertex before the end radial's one. These are the reference renderer's
// choices, down to the ties, which decide single pixels at the ends of every arc.
class RadialSelector {
public:
    RadialSelector(const EllipseBox& box, const EllipseOutline& outline, bool ccw)
        : m_outline(outline), m_ccw(ccw) {
        m_cx = (box.left + box.right) >> 1;
        m_cy = (box.top + box.bottom) >> 1;
        const long mx = box.left + box.right - 1 - m_cx, my = box.top + box.bottom - 1 - m_cy;
        m_qx[0] = m_cx, m_qy[0] = m_cy;  // bottom right
        m_qx[1] = mx, m_qy[1] = m_cy;    // bottom left
        m_qx[2] = mx, m_qy[2] = my;      // top left
        m_qx[3] = m_cx, m_qy[3] = my;    // top right
        m_narrow = narrow(box.left) && narrow(box.top) && narrow(box.right) && narrow(box.bottom);
    }

    // Index of the first vertex at or after the radial through p. `wrapped` tells whether the
    // radial lay past the last vertex of its quarter and the search went on across the
    // polygon's starting vertex.
    size_t select(POINT p, bool& wrapped) const {
        wrapped = false;
        const bool right = p.x >= m_cx;
        const bool up = p.y < m_cy || (p.y == m_cy && m_ccw);
        const int q = right ? (up ? 3 : 0) : (up ? 2 : 1);
        // The outline lists its quarters one after the other, in drawing order.
        const auto block = std::equal_range(m_outline.quarters.begin(), m_outline.quarters.end(), Quarter(q));
        const size_t from = size_t(block.first - m_outline.quarters.begin());
        const size_t to = size_t(block.second - m_outline.quarters.begin());
        size_t best = 0;
        const bool found = m_narrow && narrow(p.x) && narrow(p.y) ? search<int64_t>(p, q, up, from, to, best)
                                                                   : search<__int128>(p, q, up, from, to, best);
        if (found) return best;
        // Past every vertex of its quarter: the first vertex of the next quarter.
        wrapped = m_ccw ? q == 0 : q == 3;
        const size_t n = m_outline.size();
        if (from == to) return 0;
        const size_t j = m_ccw ? (from + n - 1) % n : to % n;
        return int(m_outline.quarters[j]) != q ? j : 0;
    }

private:
    static bool narrow(long v) { return v > -(long{1} << 30) && v < (long{1} << 30); }

    // The best vertex of quarter q's block [from, to), visited in the arc's direction.
    template <class Int>
    bool search(POINT p, int q, bool up, size_t from, size_t to, size_t& best) const {
        const bool tieReaches = m_ccw ? up : !up;
        Vec<Int> v{Int(p.x) - m_cx, Int(m_cy) - p.y};
        if (v.x == 0 && v.y == 0) v.x = 1;
        bool found = false;
        Ahead bestAhead = Ahead::Behind;
        Vec<Int> bestU{0, 0};
        for (size_t k = from; k < to; ++k) {
            const size_t i = m_ccw ? from + to - 1 - k : k;
            const POINT& pt = m_outline.points[i];
            const Vec<Int> u{Int(pt.x) - m_qx[q], Int(m_qy[q]) - pt.y};
            const Ahead a = classify(v, u, tieReaches);
            if (a == Ahead::Behind) continue;
            if (!found || earlier(a, u, bestAhead, bestU)) {
                found = true;
                best = i;
                bestAhead = a;
                bestU = u;
            }
        }
        return found;
    }

    template <class Int>
    Ahead classify(Vec<Int> v, Vec<Int> u, bool tieReaches) const {
        const Int c = cross(v, u);
        if (c == 0) return tieReaches ? Ahead::Tie : Ahead::Behind;
        return (c > 0) == m_ccw ? Ahead::Inside : Ahead::Behind;
    }

    // Whether a vertex in direction u (class a) comes strictly before the best one so far.
    template <class Int>
    bool earlier(Ahead a, Vec<Int> u, Ahead bestAhead, Vec<Int> bestU) const {
        if (a != bestAhead) return int(a) < int(bestAhead);
        if (a != Ahead::Inside) return false;
        const Int c = cross(u, bestU);
        return m_ccw ? c > 0 : c < 0;
    }

    const EllipseOutline& m_outline;
    bool m_ccw;
    long m_cx, m_cy;
    long m_qx[4], m_qy[4];
    bool m_narrow;
};

// A rounded coordinate as the platform's conversion gives it: values that are not numbers or do
// not fit become the most negative integer.
LONG toCoordinate(double rounded) {
    if (!(rounded >= -2147483648.0 && rounded < 2147483648.0)) return std::numeric_limits<LONG>::min();
    return LONG(rounded);
}

// Bézier points beyond the coordinate range (boxes near the 32-bit limits) are held at its edge.
LONG clampCoordinate(double rounded) {
    if (std::isnan(rounded)) return 0;
    return LONG(std::clamp(rounded, -2147483648.0, 2147483647.0));
}

// The point where the radial through (x, y) meets the ideal ellipse of the box, rounded: where
// ArcTo leaves the current position. A box without width (or height) gives its centre, unless
// the radial is parallel to the missing side, which gives no number at all.
POINT idealPoint(int left, int top, int right, int bottom, int x, int y) {
    const double cx = (double(left) + right) / 2, cy = (double(top) + bottom) / 2;
    const double rx = std::fabs(double(right) - left) / 2, ry = std::fabs(double(bottom) - top) / 2;
    const double dx = x - cx, dy = y - cy;
    const double nx = dx / rx, ny = dy / ry;
    const double k = 1 / std::sqrt(nx * nx + ny * ny);
    return POINT{toCoordinate(std::floor(cx + k * dx + 0.5)), toCoordinate(std::floor(cy + k * dy + 0.5))};
}

}  // namespace

// The arc as Bézier pieces: the start point, then three points per piece. Angles are taken
// from the radials on the box's own ellipse; the points are placed on the ellipse one pixel
// smaller on the right and bottom (the one the outline polygon follows).
void arcBeziers(const EllipseBox& box, POINT start, POINT end, bool ccw, std::vector<POINT>& out) {
    out.clear();
    const double acx = (double(box.left) + box.right) / 2, acy = (double(box.top) + box.bottom) / 2;
    const double arx = double(box.width()) / 2, ary = double(box.height()) / 2;
    auto angleOf = [&](POINT p) { return std::atan2((p.y - acy) / ary, (p.x - acx) / arx); };
    const double a0 = angleOf(start);
    double a1 = angleOf(end);
    if (!std::isfinite(a0) || !std::isfinite(a1)) return;
    const double turn = 2 * std::numbers::pi;
    if (ccw) {
        if (a1 >= a0) a1 -= turn;
    } else if (a1 <= a0) {
        a1 += turn;
    }
    arcBeziersBetween(box, a0, a1, ccw, out);
}

void arcBeziersBetween(const EllipseBox& box, double a0, double a1, bool ccw, std::vector<POINT>& out) {
    out.clear();
    const double quarter = std::numbers::pi / 2;
    const double l = double(box.left), t = double(box.top);
    const double w = double(box.width() - 1), h = double(box.height() - 1);
    auto place = [&](double u, double v) {
        return POINT{clampCoordinate(std::floor(l + w * (u + 1) / 2 + 0.5)),
                     clampCoordinate(std::floor(t + h * (v + 1) / 2 + 0.5))};
    };
    out.push_back(place(std::cos(a0), std::sin(a0)));
    double from = a0;
    for (int piece = 0; piece < 6; ++piece) {
        double to;
        if (ccw) {
            const double edge = (std::ceil(from / quarter) - 1) * quarter;
            to = edge > a1 ? edge : a1;
        } else {
            const double edge = (std::floor(from / quarter) + 1) * quarter;
            to = edge < a1 ? edge : a1;
        }
        const double handle = 4.0 / 3.0 * std::tan((to - from) / 4);
        const double x0 = std::cos(from), y0 = std::sin(from);
        const double x3 = std::cos(to), y3 = std::sin(to);
        out.push_back(place(x0 - handle * y0, y0 + handle * x0));
        out.push_back(place(x3 + handle * y3, y3 - handle * x3));
        out.push_back(place(x3, y3));
        from = to;
        if (from == a1) break;
    }
}

namespace {

void recordArc(HDC dc, ArcShape shape, const EllipseBox& box, POINT start, POINT end, bool ccw) {
    std::vector<POINT> own;
    const std::vector<POINT>* pieces = &own;
    if (box.width() > 0 && box.height() > 0) {
        // While painting is put off, arcs come by the thousand and mostly again and again.
        if (DeferredPaint* d = deferredPaintOf(dc, surfaceOf(dc))) pieces = &d->beziers(box, start, end, ccw);
        else arcBeziers(box, start, end, ccw, own);
    }
    const std::vector<POINT>& curve = *pieces;
    if (curve.empty()) return;
    if (shape == ArcShape::ArcTo) {
        pathLineTo(dc, curve[0]);
        pathBezierTo(dc, curve.data() + 1, int(curve.size()) - 1);
        return;
    }
    // Arc and Pie make figures of their own; the next line starts a new one at the current
    // position, which they leave alone. A pie's wedge closes through the centre of the box
    // without its right column and bottom row, rounded down.
    if (shape == ArcShape::Pie) {
        pathStartFigure(dc, POINT{LONG((box.left + box.right - 1) / 2), LONG((box.top + box.bottom - 1) / 2)});
        pathLineTo(dc, curve[0]);
    } else {
        pathStartFigure(dc, curve[0]);
    }
    pathBezierTo(dc, curve.data() + 1, int(curve.size()) - 1);
    if (shape == ArcShape::Pie) CloseFigure(dc);
    pathMoveTo(dc);
}

}  // namespace

POINT pieCentre(const EllipseBox& box) {
    return POINT{LONG((box.left + box.right) >> 1), LONG((box.top + box.bottom) >> 1)};
}

RadialVertex arcRadialVertex(const EllipseBox& box, const EllipseOutline& outline, POINT p,
                             bool counterClockwise) {
    RadialVertex v;
    if (outline.size() > 0) v.index = RadialSelector(box, outline, counterClockwise).select(p, v.wrapped);
    return v;
}

ArcSpan arcSpanBetween(size_t n, RadialVertex start, RadialVertex end, bool counterClockwise) {
    if (n == 0) return {};
    // Both radials on one vertex make the whole outline, except when only the start got there by
    // going round past the polygon's first vertex: the platform then counts no vertex at all.
    if (start.index == end.index && start.wrapped && !end.wrapped) return {};
    const size_t steps = counterClockwise ? (start.index + n - end.index) % n : (end.index + n - start.index) % n;
    return ArcSpan{start.index, steps == 0 ? n : steps};
}

void arcVertices(const EllipseBox& box, const EllipseOutline& outline, POINT start, POINT end,
                 bool counterClockwise, std::vector<POINT>& out) {
    out.clear();
    const size_t n = outline.size();
    if (n == 0) return;
    const RadialSelector selector(box, outline, counterClockwise);
    RadialVertex from, to;
    from.index = selector.select(start, from.wrapped);
    to.index = selector.select(end, to.wrapped);
    const ArcSpan span = arcSpanBetween(n, from, to, counterClockwise);
    // Repeated vertices (where quarters meet) stay: an arc of one point said twice is a dot for a
    // wide pen, an arc of one point said once is nothing.
    out.reserve(span.count);
    for (size_t k = 0, i = span.first; k < span.count; ++k)
        out.push_back(outline.points[i]), i = counterClockwise ? (i + n - 1) % n : (i + 1) % n;
}

namespace {

// Pie and ArcTo with their painting put off: the same vertices and edges, recorded.
void deferArcShape(DeferredPaint& d, DeviceContext& dc, ArcShape shape, const EllipseBox& box,
                   const RECT& window, POINT start, POINT end, bool ccw) {
    const uint32_t outline = d.outline(box, window);
    const ArcSpan span = d.arcSpan(outline, start, end, ccw);
    if (span.count == 0) return;
    const POINT first = d.vertex(outline, span, 0, ccw), last = d.vertex(outline, span, span.count - 1, ccw);
    const std::optional<COLORREF> pen = strokeColour(dc);
    if (shape == ArcShape::ArcTo) {
        if (!pen) return;
        d.beginStroke(*pen);
        d.segment(dc.position, first);
        d.arc(outline, span, ccw);
        d.end();
        return;
    }
    const POINT centre = pieCentre(box);
    auto edges = [&] {
        d.arc(outline, span, ccw);
        d.segment(last, centre);
        d.segment(centre, first);
        d.end();
    };
    if (BrushPainter(dc, dc.brush).visible()) {
        d.beginFill(dc.brush->colour);
        edges();
    }
    if (pen) {
        d.beginStroke(*pen);
        edges();
    }
}

}  // namespace

BOOL drawArcShape(HDC dc, ArcShape shape, int left, int top, int right, int bottom, int xStart,
                  int yStart, int xEnd, int yEnd) {
    if (!dc) return 0;
    if (Trace* t = traceOf(dc)) {
        static const char* const names[] = {"arc", "arcto", "pie"};
        t->line("%s %d %d %d %d %d %d %d %d", names[int(shape)], left, top, right, bottom, xStart, yStart, xEnd, yEnd);
    }
    const bool ccw = dc->arcDirection != AD_CLOCKWISE;
    const POINT start{xStart, yStart}, end{xEnd, yEnd};
    EllipseBox box = EllipseBox::ordered(left, top, right, bottom);
    const POINT endPosition = idealPoint(left, top, right, bottom, xEnd, yEnd);
    if (recordingPath(dc)) {
        recordArc(dc, shape, box, start, end, ccw);
        if (shape == ArcShape::ArcTo) dc->position = endPosition;
        return 1;
    }
    const PenObject* pen = dc->pen;
    const int penWidth = pen && pen->style != PS_NULL ? std::max(pen->width, 1) : 0;
    if (pen && pen->style == PS_INSIDEFRAME && pen->width > 1) {
        // The pen's whole width stays inside the box.
        box.left += pen->width / 2;
        box.top += pen->width / 2;
        box.right -= (pen->width - 1) / 2;
        box.bottom -= (pen->width - 1) / 2;
    }
    Surface* s = surfaceOf(dc);
    if (s && box.width() >= 1 && box.height() >= 1) {
        const long margin = long(penWidth) + 2;
        const RECT window{LONG(-margin), LONG(-margin), LONG(s->width() + margin),
                          LONG(s->height() + margin)};
        if (DeferredPaint* d = deferredPaintOf(dc, s)) {
            if (shape != ArcShape::Arc && deferrableStroke(*dc) && (shape == ArcShape::ArcTo || deferrableFill(*dc))) {
                deferArcShape(*d, *dc, shape, box, window, start, end, ccw);
                if (shape == ArcShape::ArcTo) dc->position = endPosition;
                return 1;
            }
            d->flush();
        }
        EllipseOutline outline;
        buildEllipseOutline(box, window, outline);
        std::vector<POINT> points;
        arcVertices(box, outline, start, end, ccw, points);
        if (points.empty()) {
            if (shape == ArcShape::ArcTo) dc->position = endPosition;
            return 1;
        }
        if (shape == ArcShape::ArcTo) points.insert(points.begin(), dc->position);
        if (shape == ArcShape::Pie) {
            points.push_back(pieCentre(box));
            fillFigures(*s, BrushPainter(*dc, dc->brush), points,
                        std::vector<int>{int(points.size())}, ALTERNATE);
        }
        if (points.size() >= 2)
            strokePolyline(dc, points.data(), int(points.size()), shape == ArcShape::Pie);
    }
    if (shape == ArcShape::ArcTo) dc->position = endPosition;
    return 1;
}

BOOL Arc(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
         int yEnd) {
    return drawArcShape(dc, ArcShape::Arc, left, top, right, bottom, xStart, yStart, xEnd, yEnd);
}

BOOL ArcTo(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
           int yEnd) {
    return drawArcShape(dc, ArcShape::ArcTo, left, top, right, bottom, xStart, yStart, xEnd, yEnd);
}

}  // namespace kelvane::gdi
