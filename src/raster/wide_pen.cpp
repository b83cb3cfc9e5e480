// Wide pens (geometric pens, and CreatePen's pens wider than one pixel). An outline is walked
// segment by segment; solid pens make one dash of the whole outline. A dash is painted piece by
// piece: one body per segment it covers, a join where it turns, a cap where it begins and ends.
// Dash positions are measured along each segment in exact lengths, but the pattern carried to
// the next segment advances by the segment length rounded down, and a dash runs on through a
// corner only when the next segment starts inside a dash: both as the platform does. Pieces
// whose caps and joins cannot be told yet (a dash reaching a corner, the first dash of a closed
// figure) wait until they can.
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "raster/dash.h"
#include "raster/objects.h"
#include "raster/stroke.h"
#include "raster/wide_segment.h"

namespace kelvane::gdi {

namespace {

struct Piece {
    int segment = 0;
    P64 s{0, 0}, e{0, 0};
    bool startCap = false, endCap = false;
    bool startKnown = false, endKnown = false;
};

// More dash entries than this in one segment's visible stretch (absurdly wide pens over short
// patterns) are drawn as one dash.
constexpr double kMostEntriesPerSegment = 1 << 22;

class WideStroker {
public:
    // Nothing of the stroke is painted outside rows [rowFrom, rowTo).
    WideStroker(Surface& s, const PenObject& pen, int64_t rowFrom, int64_t rowTo)
        : m_canvas(s, pen.colour, pen.width, rowFrom, rowTo),
          m_width(pen.width),
          m_pattern(pen.kind == OBJ_PEN ? DashPattern() : geometricPattern(pen)) {
        // CreatePen's wide pens are solid with round ends and joins.
        const DWORD cap = pen.kind == OBJ_PEN ? PS_ENDCAP_ROUND : pen.endCap;
        const DWORD join = pen.kind == OBJ_PEN ? PS_JOIN_ROUND : pen.join;
        m_squareCaps = cap == PS_ENDCAP_SQUARE;
        m_roundCaps = cap == PS_ENDCAP_ROUND;
        m_join = join == PS_JOIN_BEVEL ? JoinKind::Bevel : join == PS_JOIN_MITER ? JoinKind::Miter : JoinKind::Round;
        if (m_roundCaps || m_join == JoinKind::Round) m_disc.emplace(m_width);
        // A pattern without any dash length and with a single gap: one dot a period.
        int dashes = 0, gaps = 0;
        for (int i = 0; i < m_pattern.count; ++i) (i % 2 ? gaps : dashes) += m_pattern.entries[size_t(i)] > 0;
        m_singleDot = dashes == 0 && gaps == 1;
        m_reach = double(wideStrokeReach(m_width));
    }

    void run(const std::vector<P64>& points, bool closed);

private:
    void paintSampledPieces();
    void segment(int i, bool closed);
    void visibleRange(const WideSegment& seg, double& from, double& to) const;
    bool onAtEnd(uint64_t offset, double length) const;

    void startPiece(int i, P64 s, P64 e, bool startsDash, bool mayMerge);
    void endPiece(bool cap);
    void decideStart(Piece& p, bool cap);
    void paint(const Piece& p);
    void paintZeroDash(int i, P64 at);

    StrokeCanvas m_canvas;
    int64_t m_width;
    DashPattern m_pattern;
    bool m_squareCaps = false, m_roundCaps = false, m_singleDot = false;
    JoinKind m_join = JoinKind::Round;
    std::optional<Disc> m_disc;
    double m_reach = 0;

    std::vector<WideSegment> m_segments;
    uint64_t m_offset = 0;        // pattern position at the start of the current segment
    bool m_running = false;       // a dash reaches the current position
    bool m_dashEnded = false;     // some dash has ended (the pattern has not stayed on all along)
    std::optional<Piece> m_last;  // the running dash's piece in the current segment
    std::optional<Piece> m_first; // the first dash of a closed figure, while its start is open
};

void WideStroker::run(const std::vector<P64>& points, bool closed) {
    if (points.size() == 1) {
        // A figure of no length: only round ends show, as a dot.
        if (m_roundCaps) m_disc->paint(m_canvas, points[0].x, points[0].y);
        return;
    }
    m_segments.clear();
    m_segments.reserve(points.size());
    for (size_t i = 0; i + 1 < points.size(); ++i) m_segments.emplace_back(points[i], points[i + 1], m_width);
    if (m_pattern.solid() && m_canvas.tracking()) paintSampledPieces();
    for (int i = 0; i < int(m_segments.size()); ++i) {
        if (m_canvas.full()) return;  // the rest could only paint what is painted
        segment(i, closed);
    }
    if (m_canvas.full()) return;
    // A closed figure's last dash runs on into its first one, unless they are one dash that went
    // all the way round: that one ends at the first point with its caps, as an open figure would.
    const bool mayMerge = closed && (m_pattern.solid() || (m_pattern.entries[0] > 0 && m_dashEnded));
    if (m_running && mayMerge && m_first) {
        // The last dash runs into the first one: one dash, joined at the first point.
        paintJoin(m_canvas, m_segments.back(), m_segments.front(), m_join, m_disc ? &*m_disc : nullptr);
        if (m_last) endPiece(false);
        if (m_first) decideStart(*m_first, false);
    } else if (m_last) {
        endPiece(true);
    }
    if (m_first) decideStart(*m_first, true);
}

// A solid stroke paints a join at every inner point and the plain body of every inner segment
// (with caps added where a neighbour is out of sight). Painted first, a spread of them covers
// most of what the whole stroke covers, so that the walk in order finds most rows painted: with
// a pen much wider than its outline every piece reaches across the surface, and piece after
// piece would visit every row. Pieces are painted here at every 2^k-th point from coarse to a
// sixteenth of them, about an eighth of the stroke's pieces painted twice at most.
void WideStroker::paintSampledPieces() {
    const int count = int(m_segments.size());
    constexpr int kFinestStride = 16;
    int stride = kFinestStride;
    while (stride * 2 < count) stride *= 2;
    const Disc* disc = m_disc ? &*m_disc : nullptr;
    for (bool first = true; stride >= kFinestStride && !m_canvas.full(); stride /= 2, first = false) {
        // Coarser levels painted the even multiples already.
        for (int i = stride; i < count - 1 && !m_canvas.full(); i += first ? stride : 2 * stride) {
            paintJoin(m_canvas, m_segments[size_t(i - 1)], m_segments[size_t(i)], m_join, disc);
            const WideSegment& seg = m_segments[size_t(i)];
            double from, to;
            visibleRange(seg, from, to);
            if (from <= to) seg.paintPiece(m_canvas, seg.a, seg.b, false, false);
        }
    }
}

void WideStroker::segment(int i, bool closed) {
    const WideSegment& seg = m_segments[size_t(i)];
    const bool solid = m_pattern.solid();
    int entry = 0;
    uint64_t left = 0;
    if (!solid) m_pattern.locate(m_offset, entry, left);
    const bool startOn = solid || m_pattern.isOn(entry);
    if (m_running) {
        if (startOn) {
            paintJoin(m_canvas, m_segments[size_t(i - 1)], seg, m_join, m_disc ? &*m_disc : nullptr);
            if (m_last) endPiece(false);
        } else {
            if (m_last) endPiece(true);
            m_running = false;
            m_dashEnded = true;
        }
    }
    const double length = seg.length;
    const uint64_t advance = uint64_t(std::floor(length));
    const bool mayMerge = closed && i == 0;
    double from, to;
    visibleRange(seg, from, to);
    if (from > to) {
        // Out of sight: only the pattern's state at the end matters.
        if (m_last) endPiece(true);
        m_running = solid || onAtEnd(m_offset, length);
        if (!solid) m_offset = (m_offset + advance % m_pattern.period) % m_pattern.period;
        return;
    }
    if (solid) {
        startPiece(i, seg.a, seg.b, !m_running, mayMerge);
        m_running = true;
        return;
    }

    // Start at the beginning of the entry holding the first visible position.
    double pos = 0;
    bool jumped = false;
    if (from > 0) {
        const uint64_t at = uint64_t(std::floor(from));
        int e;
        uint64_t l;
        m_pattern.locate((m_offset + at % m_pattern.period) % m_pattern.period, e, l);
        const uint64_t into = m_pattern.entries[size_t(e)] - l;
        if (at >= into && at - into > 0) {
            pos = double(at - into);
            entry = e;
            left = m_pattern.entries[size_t(e)];
            jumped = true;
            if (m_last) endPiece(true);
            m_running = false;
        }
    }
    bool on = m_pattern.isOn(entry);
    const double stop = std::min(length, to);
    if ((stop - pos) / double(m_pattern.period) * m_pattern.count > kMostEntriesPerSegment) {
        startPiece(i, seg.pointAt(pos), seg.pointAt(stop), !m_running, mayMerge && !jumped);
        m_running = true;
        if (stop < length) {
            endPiece(true);
            m_running = onAtEnd(m_offset, length);
        }
        m_offset = (m_offset + advance % m_pattern.period) % m_pattern.period;
        return;
    }
    // A pattern that starts with an empty dash marks the start of the figure with a dot.
    if (i == 0 && !jumped && m_pattern.entries[0] == 0) paintZeroDash(i, seg.a);
    // One dot a period draws a single dot per segment instead: the first after its start (the dot
    // falls where the period starts).
    const bool dotsOnly = m_singleDot;
    if (dotsOnly && i > 0) {
        const uint64_t first = (m_pattern.period - m_offset) % m_pattern.period;
        if (first > 0 && double(first) < length && double(first) <= to) paintZeroDash(i, seg.pointAt(double(first)));
    }
    while (pos < length && pos <= to && !dotsOnly) {
        const bool endsInside = double(left) > length - pos;  // the segment ends in this entry
        const double next = endsInside ? length : pos + double(left);
        if (on) {
            if (next > pos || m_running) {
                const P64 e = seg.pointAt(next);
                if (!m_running) {
                    startPiece(i, seg.pointAt(pos), e, true, mayMerge && pos == 0);
                    m_running = true;
                } else if (m_last && m_last->segment == i) {
                    m_last->e = e;
                } else {
                    startPiece(i, seg.pointAt(pos), e, false, false);
                }
            } else {
                // An empty dash after a gap still shows its caps.
                const int previous = (entry + m_pattern.count - 1) % m_pattern.count;
                if (m_pattern.entries[size_t(previous)] > 0 && !(i == 0 && pos == 0)) paintZeroDash(i, seg.pointAt(pos));
            }
        }
        pos = next;
        if (endsInside) break;
        if (on && m_running) {
            if (m_last) endPiece(true);
            m_running = false;
            m_dashEnded = true;
        }
        entry = (entry + 1) % m_pattern.count;
        left = m_pattern.entries[size_t(entry)];
        on = !on;
        if (pos >= length) {
            // A dash starting right at the end point is a piece of no length there; it joins the
            // next segment if that one starts inside a dash.
            while (left == 0) {
                const int previous = (entry + m_pattern.count - 1) % m_pattern.count;
                if (on && m_pattern.entries[size_t(previous)] > 0) paintZeroDash(i, seg.b);
                entry = (entry + 1) % m_pattern.count;
                left = m_pattern.entries[size_t(entry)];
                on = !on;
            }
            if (on) {
                startPiece(i, seg.b, seg.b, true, false);
                m_running = true;
            }
        }
    }
    if (pos < length && !dotsOnly) {
        // Stopped short where the rest is out of sight.
        if (m_last) endPiece(true);
        m_running = onAtEnd(m_offset, length);
    }
    if (dotsOnly) m_running = false;
    m_offset = (m_offset + advance % m_pattern.period) % m_pattern.period;
}

// Parameters of the segment whose points lie within reach of the surface.
void WideStroker::visibleRange(const WideSegment& seg, double& from, double& to) const {
    from = 0;
    to = seg.length;
    const double r = m_reach;
    auto clip = [&](double p0, double d, double limit) {
        if (d == 0) {
            if (p0 < -r || p0 > limit + r) from = 1, to = 0;
            return;
        }
        double t1 = (-r - p0) * seg.length / d, t2 = (limit + r - p0) * seg.length / d;
        if (t1 > t2) std::swap(t1, t2);
        from = std::max(from, t1);
        to = std::min(to, t2);
    };
    clip(double(seg.a.x), double(seg.dx), double(m_canvas.width()));
    clip(double(seg.a.y), double(seg.dy), double(m_canvas.height()));
}

// Whether a dash is running where a segment of this length, started at this pattern position,
// ends.
bool WideStroker::onAtEnd(uint64_t offset, double length) const {
    const double whole = std::floor(length);
    double rest = length - whole;
    int entry;
    uint64_t left;
    m_pattern.locate((offset + uint64_t(whole) % m_pattern.period) % m_pattern.period, entry, left);
    while (rest >= double(left)) {
        rest -= double(left);
        do entry = (entry + 1) % m_pattern.count;
        while (m_pattern.entries[size_t(entry)] == 0);
        left = m_pattern.entries[size_t(entry)];
    }
    return m_pattern.isOn(entry);
}

void WideStroker::startPiece(int i, P64 s, P64 e, bool startsDash, bool mayMerge) {
    Piece p;
    p.segment = i;
    p.s = s;
    p.e = e;
    if (!startsDash) {
        p.startKnown = true;
    } else if (!mayMerge || s != m_segments[0].a) {
        p.startKnown = p.startCap = true;
    }
    m_last = p;
}

void WideStroker::endPiece(bool cap) {
    if (cap) m_dashEnded = true;
    Piece p = *m_last;
    m_last.reset();
    p.endCap = cap;
    p.endKnown = true;
    if (!p.startKnown) m_first = p;
    else paint(p);
}

void WideStroker::decideStart(Piece& p, bool cap) {
    p.startCap = cap;
    p.startKnown = true;
    if (p.endKnown) paint(p);
    else m_last = p;  // still running: it is the current piece
    if (&p == &*m_first) m_first.reset();
}

void WideStroker::paint(const Piece& p) {
    const WideSegment& seg = m_segments[size_t(p.segment)];
    seg.paintPiece(m_canvas, p.s, p.e, m_squareCaps && p.startCap, m_squareCaps && p.endCap);
    if (m_roundCaps) {
        if (p.startCap) m_disc->paint(m_canvas, p.s.x, p.s.y);
        if (p.endCap) m_disc->paint(m_canvas, p.e.x, p.e.y);
    }
}

void WideStroker::paintZeroDash(int i, P64 at) {
    Piece p;
    p.segment = i;
    p.s = p.e = at;
    p.startCap = p.endCap = p.startKnown = p.endKnown = true;
    paint(p);
}

}  // namespace

int64_t wideStrokeReach(int64_t width) { return 6 * width + 8; }

void strokeWidePolyline(Surface& s, const PenObject& pen, const POINT* points, int count, bool closed) {
    std::vector<P64> outline;
    outline.reserve(size_t(count) + 1);
    for (int i = 0; i < count; ++i) {
        const P64 p{points[i].x, points[i].y};
        if (outline.empty() || !(outline.back() == p)) outline.push_back(p);
    }
    if (outline.empty()) return;
    if (closed) {
        while (outline.size() > 1 && outline.back() == outline.front()) outline.pop_back();
        if (outline.size() > 1) outline.push_back(outline.front());
    }
    int64_t top = outline[0].y, bottom = outline[0].y;
    for (const P64& p : outline) top = std::min(top, p.y), bottom = std::max(bottom, p.y);
    const int64_t r = wideStrokeReach(std::max(pen.width, 1));
    WideStroker(s, pen, top - r, bottom + r + 1).run(outline, closed && outline.size() > 2);
}

}  // namespace kelvane::gdi
