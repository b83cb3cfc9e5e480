// The deferred painter: recording steps as runs of edges, dropping the ones a later identical step
// repaints, and painting them last-first onto the pixels still uncovered.
#include "raster/deferred_paint.h"

#include <algorithm>
#include <new>

#include "raster/bezier.h"
#include "raster/dash.h"
#include "raster/line_walk.h"
#include "raster/objects.h"

namespace kelvane::gdi {

namespace {

// Beyond these the steps recorded so far are painted before more are recorded: a picture painted
// in a few batches, each composed as a whole, is the same picture.
constexpr size_t kMostRunBytes = size_t{16} << 20;
// Outlines and flattened curves are dropped beyond these and made again when needed.
constexpr size_t kMostOutlineBytes = size_t{16} << 20;
constexpr size_t kMostCurveBytes = size_t{16} << 20;
constexpr size_t kMostBezierBytes = size_t{4} << 20;

uint64_t mix(uint64_t h, uint64_t v) {
    h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
    return h * 0xBF58476D1CE4E5B9ull;
}

uint64_t pointBits(POINT p) { return (uint64_t(uint32_t(p.x)) << 32) | uint32_t(p.y); }

bool same(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }
bool sameControls(const POINT* a, const POINT* b) {
    return same(a[0], b[0]) && same(a[1], b[1]) && same(a[2], b[2]) && same(a[3], b[3]);
}

// The first pixel column at or right of where the edge crosses rows y0 .. y1 - 1 (y0 < y1), as
// figure_fill.cpp computes it: ceil of the exact crossing. `visit(row, column)` for the rows in
// [rowFrom, rowTo).
template <class Visit>
void edgeCrossings(long x0, long y0, long x1, long y1, long rowFrom, long rowTo, Visit&& visit) {
    const long from = std::max(y0, rowFrom), to = std::min(y1, rowTo);
    if (from >= to) return;
    const int64_t den = int64_t(y1) - y0, dx = int64_t(x1) - x0;
    constexpr int64_t kNarrow = int64_t{1} << 31;
    if (den < kNarrow && dx > -kNarrow && dx < kNarrow) {
        // num = x0 * den + (y - y0) * dx, kept as q * den + r with 0 <= r < den, stepped a row at a
        // time; the column is q, plus one when r > 0.
        const int64_t num = int64_t(x0) * den + (int64_t(from) - y0) * dx;
        int64_t q = num / den, r = num % den;
        if (r < 0) r += den, --q;
        int64_t stepQ = dx / den, stepR = dx % den;
        if (stepR < 0) stepR += den, --stepQ;
        for (long y = from; y < to; ++y) {
            visit(y, q + (r > 0 ? 1 : 0));
            q += stepQ;
            r += stepR;
            if (r >= den) r -= den, ++q;
        }
        return;
    }
    for (long y = from; y < to; ++y) {
        const __int128 num = __int128(x0) * den + __int128(y - y0) * dx;
        const __int128 q = num / den, r = num % den;
        visit(y, int64_t(r > 0 ? q + 1 : q));
    }
}

}  // namespace

bool DeferredPaint::Run::operator==(const Run& o) const {
    if (kind != o.kind) return false;
    switch (kind) {
    case RunKind::Segment: return same(p[0], o.p[0]) && same(p[1], o.p[1]);
    case RunKind::Arc:
        return arc.outline == o.arc.outline && arc.first == o.arc.first && arc.count == o.arc.count &&
               counterClockwise == o.counterClockwise;
    case RunKind::Curve: return sameControls(p, o.p);
    }
    return false;
}

// The crossings of an outline's edges, row by row, for arcs that use most of them.
struct DeferredPaint::RowTable {
    long rowFrom = 0;
    std::vector<uint32_t> offsets;  // per row from rowFrom, into edges/columns; one more at the end
    std::vector<uint32_t> edges;
    std::vector<int32_t> columns;
};

struct DeferredPaint::OutlineEntry {
    EllipseBox box;
    RECT window;
    std::optional<EllipseOutline> outline;
    size_t size = 0;
    std::unordered_map<uint64_t, RadialVertex> vertexCcw, vertexCw;
    std::unique_ptr<RowTable> table;
    int largeArcs = 0;
    // While painting, per direction (0: from vertex e to e + 1, 1: back), the first edge at or
    // after e not walked yet (n when none): an arc's edges are skipped a run at a time.
    std::vector<uint32_t> unwalked[2];
    uint32_t nextUnwalked(int direction, uint32_t e) {
        std::vector<uint32_t>& next = unwalked[direction];
        if (next.empty()) {
            next.resize(size + 1);
            for (uint32_t i = 0; i <= size; ++i) next[i] = i;
        }
        while (next[e] != e) {
            next[e] = next[next[e]];
            e = next[e];
        }
        return e;
    }
};

struct DeferredPaint::CurveEntry {
    POINT control[4];
    std::vector<POINT> points;  // from p0, as the path flattens the piece
    std::vector<uint8_t> walked;
};

DeferredPaint::DeferredPaint(Surface& surface) : m_surface(surface) {}
DeferredPaint::~DeferredPaint() = default;

// ---- Outlines ----

uint32_t DeferredPaint::outline(const EllipseBox& box, const RECT& window) {
    // The window only shapes outlines of boxes too big to walk.
    const bool walked = box.width() <= kMaxWalkedSide && box.height() <= kMaxWalkedSide;
    const RECT w = walked ? RECT{0, 0, 0, 0} : window;
    uint64_t key = mix(mix(mix(mix(0, uint64_t(box.left)), uint64_t(box.top)), uint64_t(box.right)),
                       uint64_t(box.bottom));
    key = mix(mix(mix(mix(key, uint64_t(w.left)), uint64_t(w.top)), uint64_t(w.right)), uint64_t(w.bottom));
    const auto found = m_outlineIds.find(key);
    if (found != m_outlineIds.end()) {
        const OutlineEntry& e = *m_outlines[found->second];
        if (e.box.left == box.left && e.box.top == box.top && e.box.right == box.right &&
            e.box.bottom == box.bottom && e.window.left == w.left && e.window.top == w.top &&
            e.window.right == w.right && e.window.bottom == w.bottom)
            return found->second;
    }
    auto e = std::make_unique<OutlineEntry>();
    e->box = box;
    e->window = w;
    const uint32_t id = uint32_t(m_outlines.size());
    m_outlines.push_back(std::move(e));
    // A key shared by two boxes keeps the first; the second is then found by a fresh entry each
    // time, which costs time but never mixes them up.
    m_outlineIds.emplace(key, id);
    m_outlines.back()->size = points(*m_outlines.back()).size();
    return id;
}

DeferredPaint::OutlineEntry& DeferredPaint::entry(uint32_t outline) { return *m_outlines[outline]; }

const EllipseOutline& DeferredPaint::points(OutlineEntry& e) {
    if (!e.outline) {
        if (m_outlineBytes > kMostOutlineBytes) {
            for (auto& other : m_outlines) {
                if (other.get() == &e) continue;
                other->outline.reset();
                other->table.reset();
                other->unwalked[0] = {};
                other->unwalked[1] = {};
            }
            m_outlineBytes = 0;
        }
        e.outline.emplace();
        buildEllipseOutline(e.box, e.window, *e.outline);
        m_outlineBytes += e.outline->size() * (sizeof(POINT) + 1);
    }
    return *e.outline;
}

ArcSpan DeferredPaint::arcSpan(uint32_t outline, POINT start, POINT end, bool counterClockwise) {
    OutlineEntry& e = entry(outline);
    auto& memo = counterClockwise ? e.vertexCcw : e.vertexCw;
    auto select = [&](POINT p) {
        const auto it = memo.find(pointBits(p));
        if (it != memo.end()) return it->second;
        const RadialVertex v = arcRadialVertex(e.box, points(e), p, counterClockwise);
        memo.emplace(pointBits(p), v);
        return v;
    };
    const RadialVertex from = select(start), to = select(end);
    return arcSpanBetween(e.size, from, to, counterClockwise);
}

POINT DeferredPaint::vertex(uint32_t outline, ArcSpan span, size_t k, bool counterClockwise) {
    OutlineEntry& e = entry(outline);
    const size_t n = e.size;
    return points(e).points[counterClockwise ? (span.first + n - k % n) % n : (span.first + k) % n];
}

size_t DeferredPaint::ArcHash::operator()(const ArcKey& k) const {
    uint64_t h = mix(mix(mix(mix(0, uint64_t(k.left)), uint64_t(k.top)), uint64_t(k.right)), uint64_t(k.bottom));
    h = mix(mix(mix(mix(h, uint64_t(k.x0)), uint64_t(k.y0)), uint64_t(k.x1)), uint64_t(k.y1));
    return size_t(mix(h, k.counterClockwise));
}

const std::vector<POINT>& DeferredPaint::beziers(const EllipseBox& box, POINT start, POINT end,
                                                 bool counterClockwise) {
    const ArcKey key{box.left, box.top, box.right, box.bottom, start.x, start.y, end.x, end.y, counterClockwise};
    const auto found = m_beziers.find(key);
    if (found != m_beziers.end()) return found->second;
    if (m_bezierBytes > kMostBezierBytes) {
        m_beziers.clear();
        m_bezierBytes = 0;
    }
    std::vector<POINT>& pieces = m_beziers[key];
    arcBeziers(box, start, end, counterClockwise, pieces);
    m_bezierBytes += pieces.size() * sizeof(POINT) + sizeof(ArcKey) + 64;
    return pieces;
}

// ---- Recording ----

void DeferredPaint::begin(StepKind kind, COLORREF colour) {
    // Recorded runs take at most about as much memory as the surface's pixels, or 16 MiB on
    // small surfaces.
    if (m_runs.size() * sizeof(Run) >= std::max(kMostRunBytes, m_surface.byteSize())) flush();
    m_steps.push_back(Step{kind, false, colour, uint32_t(m_runs.size()), uint32_t(m_runs.size()), 0});
}

void DeferredPaint::segment(POINT from, POINT to) {
    if (same(from, to)) return;  // no crossing and no pixel
    Run r{};
    r.kind = RunKind::Segment;
    r.p[0] = from;
    r.p[1] = to;
    m_runs.push_back(r);
}

void DeferredPaint::arc(uint32_t outline, ArcSpan span, bool counterClockwise) {
    if (span.count < 2) return;
    Run r{};
    r.kind = RunKind::Arc;
    r.counterClockwise = counterClockwise;
    r.arc = ArcRef{outline, uint32_t(span.first), uint32_t(span.count)};
    m_runs.push_back(r);
}

void DeferredPaint::curve(POINT p0, POINT c1, POINT c2, POINT p3) {
    Run r{};
    r.kind = RunKind::Curve;
    r.p[0] = p0;
    r.p[1] = c1;
    r.p[2] = c2;
    r.p[3] = p3;
    m_runs.push_back(r);
}

bool DeferredPaint::sameRuns(const Step& a, const Step& b) const {
    if (a.kind != b.kind || a.runEnd - a.runBegin != b.runEnd - b.runBegin) return false;
    return std::equal(m_runs.begin() + long(a.runBegin), m_runs.begin() + long(a.runEnd),
                      m_runs.begin() + long(b.runBegin));
}

void DeferredPaint::end() {
    Step& step = m_steps.back();
    step.runEnd = uint32_t(m_runs.size());
    if (step.runBegin == step.runEnd) {
        m_steps.pop_back();  // paints nothing
        return;
    }
    uint64_t h = mix(0, uint64_t(step.kind));
    for (uint32_t i = step.runBegin; i < step.runEnd; ++i) {
        const Run& r = m_runs[i];
        h = mix(h, uint64_t(r.kind));
        if (r.kind == RunKind::Arc) {
            h = mix(mix(mix(h, r.arc.outline), (uint64_t(r.arc.first) << 32) | r.arc.count), r.counterClockwise);
        } else {
            for (const POINT& p : r.p) h = mix(h, pointBits(p));
        }
    }
    step.hash = h;
    const uint32_t index = uint32_t(m_steps.size() - 1);
    std::pair<uint64_t, uint32_t>& slot = latest(h);
    if (slot.first != 0 && slot.second < index) {
        Step& earlier = m_steps[slot.second];
        if (!earlier.dead && earlier.hash == h && sameRuns(earlier, step)) {
            // Everything the earlier step paints, this one paints again later.
            earlier.dead = true;
            ++m_dead;
        }
    }
    if (slot.first == 0) ++m_latestUsed;
    slot = {h | 1, index};
    if (m_dead > 4096 && m_dead * 2 > m_steps.size()) compact();
}

std::pair<uint64_t, uint32_t>& DeferredPaint::latest(uint64_t hash) {
    if (m_latestUsed * 2 >= m_latest.size()) {
        std::vector<std::pair<uint64_t, uint32_t>> old = std::move(m_latest);
        m_latest.assign(std::max<size_t>(1024, old.size() * 2), {0, 0});
        m_latestUsed = 0;
        for (const auto& entry : old) {
            if (entry.first == 0) continue;
            latest(entry.first) = entry;
            ++m_latestUsed;
        }
    }
    const uint64_t key = hash | 1;
    const size_t mask = m_latest.size() - 1;
    for (size_t i = size_t(key ^ (key >> 29)) & mask;; i = (i + 1) & mask)
        if (m_latest[i].first == 0 || m_latest[i].first == key) return m_latest[i];
}

void DeferredPaint::compact() {
    // In place: live steps and their runs only ever move towards the front.
    size_t steps = 0, runs = 0;
    for (const Step& s : m_steps) {
        if (s.dead) continue;
        Step t = s;
        t.runBegin = uint32_t(runs);
        std::copy(m_runs.begin() + long(s.runBegin), m_runs.begin() + long(s.runEnd), m_runs.begin() + long(runs));
        runs += s.runEnd - s.runBegin;
        t.runEnd = uint32_t(runs);
        latest(t.hash).second = uint32_t(steps);
        m_steps[steps++] = t;
    }
    m_steps.resize(steps);
    m_runs.resize(runs);
    m_dead = 0;
}

// ---- Painting ----

DeferredPaint::CurveEntry& DeferredPaint::flattened(const Run& run) {
    uint64_t key = 0;
    for (const POINT& p : run.p) key = mix(key, pointBits(p));
    auto it = m_curves.find(key);
    if (it != m_curves.end() && sameControls(run.p, it->second->control)) return *it->second;
    auto e = std::make_unique<CurveEntry>();
    std::copy(run.p, run.p + 4, e->control);
    e->points.push_back(run.p[0]);
    flattenBezier(run.p[0], run.p[1], run.p[2], run.p[3], e->points);
    if (m_curveBytes > kMostCurveBytes) {
        m_curves.clear();
        m_curveBytes = 0;
    }
    m_curveBytes += e->points.size() * sizeof(POINT) * 2;
    // A different curve with the same key is replaced (and made again when needed).
    auto& slot = m_curves[key];
    slot = std::move(e);
    return *slot;
}

void DeferredPaint::crossing(int32_t row, int32_t column) {
    if (!m_plain) {
        // A crossing inside the run known to be covered only counts: see fillRow.
        const Known& known = m_known[size_t(row)];
        if (known.lo <= column && column <= known.hi) {
            ++m_rowInside[size_t(row)];
            return;
        }
    }
    store(row, column);
}

void DeferredPaint::store(int32_t row, int32_t column) {
    uint32_t& n = m_rowCount[size_t(row)];
    if (n < kRowSlots) m_rowSlots[size_t(row) * kRowSlots + n] = column;
    else m_overflow.push_back(Crossing{row, column});
    ++n;
}

void DeferredPaint::gatherEdge(POINT a, POINT b) {
    if (a.y == b.y) return;
    if (a.y > b.y) std::swap(a, b);
    const int32_t height = m_surface.height();
    if (b.y <= 0 || a.y >= height) return;
    m_rowFrom = std::min(m_rowFrom, std::max(a.y, 0));
    m_rowTo = std::max(m_rowTo, std::min(b.y, height));
    const int64_t width = m_surface.width();
    // Only the rows of the step that still need their crossings (runs in order: the first one
    // ending below a.y is found by halving).
    const auto first = std::upper_bound(m_rowRuns.begin(), m_rowRuns.end(), a.y,
                                        [](int32_t y, const std::pair<int32_t, int32_t>& run) { return y < run.second; });
    for (auto run = first; run != m_rowRuns.end() && run->first < b.y; ++run) {
        edgeCrossings(a.x, a.y, b.x, b.y, run->first, run->second, [&](long row, int64_t column) {
            // Inlined crossing(): most crossings fall inside the covered run and are only counted.
            const int32_t c = int32_t(std::clamp<int64_t>(column, 0, width));
            if (!m_plain) {
                const Known& known = m_known[size_t(row)];
                if (known.lo <= c && c <= known.hi) {
                    ++m_rowInside[size_t(row)];
                    return;
                }
            }
            store(int32_t(row), c);
        });
    }
}

void DeferredPaint::gatherArc(uint32_t outline, uint32_t lo, uint32_t len) {
    OutlineEntry& e = entry(outline);
    const std::vector<POINT>& pts = points(e).points;
    const uint32_t n = uint32_t(e.size);
    if (uint64_t(len) * 2 >= n && !e.table && ++e.largeArcs >= 2) {
        // Whole discs come by the thousand: their crossings are looked up, not worked out.
        auto table = std::make_unique<RowTable>();
        std::vector<Crossing> all;
        std::vector<uint32_t> edgeOf;
        const int64_t width = m_surface.width();
        for (uint32_t i = 0; i < n; ++i) {
            POINT a = pts[i], b = pts[(i + 1) % n];
            if (a.y == b.y) continue;
            if (a.y > b.y) std::swap(a, b);
            edgeCrossings(a.x, a.y, b.x, b.y, 0, m_surface.height(), [&](long row, int64_t column) {
                all.push_back(Crossing{int32_t(row), int32_t(std::clamp<int64_t>(column, 0, width))});
                edgeOf.push_back(i);
            });
        }
        long rowFrom = m_surface.height(), rowTo = 0;
        for (const Crossing& c : all) rowFrom = std::min<long>(rowFrom, c.row), rowTo = std::max<long>(rowTo, c.row + 1);
        table->rowFrom = rowFrom;
        table->offsets.assign(size_t(std::max(0L, rowTo - rowFrom)) + 1, 0);
        for (const Crossing& c : all) ++table->offsets[size_t(c.row - rowFrom) + 1];
        for (size_t r = 1; r < table->offsets.size(); ++r) table->offsets[r] += table->offsets[r - 1];
        table->edges.resize(all.size());
        table->columns.resize(all.size());
        std::vector<uint32_t> at(table->offsets.begin(), table->offsets.end() - 1);
        for (size_t k = 0; k < all.size(); ++k) {
            const uint32_t slot = at[size_t(all[k].row - rowFrom)]++;
            table->edges[slot] = edgeOf[k];
            table->columns[slot] = all[k].column;
        }
        e.table = std::move(table);
    }
    if (uint64_t(len) * 2 < n || !e.table) {
        for (uint32_t k = 0; k < len; ++k) {
            const uint32_t i = (lo + k) % n;
            gatherEdge(pts[i], pts[(i + 1) % n]);
        }
        return;
    }
    const RowTable& t = *e.table;
    const bool wraps = uint64_t(lo) + len > n;
    const uint32_t hi = wraps ? lo + len - n : lo + len;
    const long rows = long(t.offsets.size()) - 1;
    for (const auto& [from, to] : m_rowRuns) {
        for (long r = std::max<long>(from - t.rowFrom, 0); r < std::min<long>(to - t.rowFrom, rows); ++r) {
            for (uint32_t k = t.offsets[size_t(r)]; k < t.offsets[size_t(r) + 1]; ++k) {
                const uint32_t edge = t.edges[k];
                if (wraps ? (edge >= lo || edge < hi) : (edge >= lo && edge < hi)) {
                    const int32_t row = int32_t(t.rowFrom + long(r));
                    crossing(row, t.columns[k]);
                    m_rowFrom = std::min(m_rowFrom, row);
                    m_rowTo = std::max(m_rowTo, row + 1);
                }
            }
        }
    }
}

int32_t DeferredPaint::uncovered(int32_t row, int32_t x) {
    int32_t* next = m_next.data() + size_t(row) * size_t(m_surface.width() + 1);
    while (next[x] != x) {
        next[x] = next[next[x]];
        x = next[x];
    }
    return x;
}

void DeferredPaint::paintSpan(int32_t row, int32_t x0, int32_t x1, COLORREF colour) {
    if (x0 >= x1) return;
    if (m_plain) {
        m_surface.fillSpan(row, x0, x1, colour);
        return;
    }
    Known& known = m_known[size_t(row)];
    if (known.lo <= x0 && x1 <= known.hi) return;
    int32_t* next = m_next.data() + size_t(row) * size_t(m_surface.width() + 1);
    for (int32_t x = uncovered(row, x0); x < x1; x = uncovered(row, x)) {
        const int32_t start = x;
        for (; x < x1 && next[x] == x; ++x) next[x] = x + 1;
        m_surface.fillSpan(row, start, x, colour);
    }
    known.add(x0, x1);
}

namespace {

bool before(POINT a, POINT b) { return a.x != b.x ? a.x < b.x : a.y < b.y; }

}  // namespace

bool DeferredPaint::FillItem::operator<(const FillItem& o) const {
    if (kind != o.kind) return kind < o.kind;
    if (kind == RunKind::Arc) {
        if (outline != o.outline) return outline < o.outline;
        return lo != o.lo ? lo < o.lo : len < o.len;
    }
    for (int i = 0; i < 4; ++i)
        if (!same(p[i], o.p[i])) return before(p[i], o.p[i]);
    return false;
}

// The edges a fill step fills over: segments without their direction, curves, and the edges of
// arcs as intervals of outline edges [lo, lo + len).
void DeferredPaint::fillItems(const Step& step, std::vector<FillItem>& items) {
    items.clear();
    for (uint32_t i = step.runBegin; i < step.runEnd; ++i) {
        const Run& r = m_runs[i];
        FillItem item{};
        item.kind = r.kind;
        switch (r.kind) {
        case RunKind::Segment:
            if (r.p[0].y == r.p[1].y) continue;  // crosses no row
            item.p[0] = before(r.p[0], r.p[1]) ? r.p[0] : r.p[1];
            item.p[1] = before(r.p[0], r.p[1]) ? r.p[1] : r.p[0];
            break;
        case RunKind::Curve: std::copy(r.p, r.p + 4, item.p); break;
        case RunKind::Arc: {
            const uint32_t n = uint32_t(entry(r.arc.outline).size), len = r.arc.count - 1;
            item.outline = r.arc.outline;
            item.lo = r.counterClockwise ? (r.arc.first + n - len) % n : r.arc.first;
            item.len = len;
            break;
        }
        }
        items.push_back(item);
    }
}

// The edges filled over an odd number of times, which alone decide the fill: equal items cancel
// in pairs, and so do arcs' edges where their intervals overlap.
void DeferredPaint::reduceFill(std::vector<FillItem>& items) {
    std::sort(items.begin(), items.end());
    // Arcs apart: per outline, the boundaries of all their intervals, of which equal ones cancel;
    // what is left bounds the edges covered an odd number of times.
    std::vector<FillItem>& arcs = m_arcs;
    arcs.clear();
    size_t kept = 0;
    for (size_t i = 0; i < items.size();) {
        size_t j = i + 1;
        if (items[i].kind == RunKind::Arc) {
            arcs.push_back(items[i]);
        } else {
            while (j < items.size() && !(items[i] < items[j])) ++j;
            if ((j - i) % 2 == 1) items[kept++] = items[i];
        }
        i = j;
    }
    items.resize(kept);
    for (size_t i = 0; i < arcs.size();) {
        const uint32_t outline = arcs[i].outline, n = uint32_t(entry(outline).size);
        std::vector<uint32_t>& bounds = m_bounds;
        bounds.clear();
        for (; i < arcs.size() && arcs[i].outline == outline; ++i) {
            const uint32_t lo = arcs[i].lo, hi = lo + arcs[i].len;
            if (hi <= n) {
                bounds.push_back(lo);
                bounds.push_back(hi);
            } else {
                bounds.insert(bounds.end(), {lo, n, 0, hi - n});
            }
        }
        std::sort(bounds.begin(), bounds.end());
        size_t odd = 0;
        for (size_t k = 0; k < bounds.size();) {
            size_t m = k + 1;
            while (m < bounds.size() && bounds[m] == bounds[k]) ++m;
            if ((m - k) % 2 == 1) bounds[odd++] = bounds[k];
            k = m;
        }
        for (size_t k = 0; k + 1 < odd; k += 2) {
            FillItem item{};
            item.kind = RunKind::Arc;
            item.outline = outline;
            item.lo = bounds[k];
            item.len = bounds[k + 1] - bounds[k];
            items.push_back(item);
        }
    }
    std::sort(items.begin(), items.end());
}

// The cost of the edges filled an odd number of times by two reduced lists together, without
// making that list; none when an arc is in either (their intervals would have to be merged).
std::optional<uint64_t> DeferredPaint::deltaCost(const std::vector<FillItem>& a, const std::vector<FillItem>& b) {
    uint64_t cost = 0;
    size_t i = 0, j = 0;
    while (i < a.size() || j < b.size()) {
        const FillItem* next;
        if (j == b.size() || (i < a.size() && a[i] < b[j])) next = &a[i++];
        else if (i == a.size() || b[j] < a[i]) next = &b[j++];
        else {
            ++i, ++j;  // in both: cancels
            continue;
        }
        if (next->kind == RunKind::Arc) return std::nullopt;
        cost += itemCost(*next);
    }
    return cost;
}

// A rough count of the crossings the items make.
uint64_t DeferredPaint::itemCost(const FillItem& item) {
    if (item.kind == RunKind::Arc) return item.len;
    const int n = item.kind == RunKind::Curve ? 4 : 2;
    long top = item.p[0].y, bottom = item.p[0].y;
    for (int k = 1; k < n; ++k) top = std::min<long>(top, item.p[k].y), bottom = std::max<long>(bottom, item.p[k].y);
    return uint64_t(bottom - top);
}

uint64_t DeferredPaint::fillCost(const std::vector<FillItem>& items) {
    uint64_t cost = 0;
    for (const FillItem& item : items) cost += itemCost(item);
    return cost;
}

// Row `row`'s n crossings (the first in its slots, the others next in the overflow list),
// filled between in pairs, in column order.
//
// Crossings that fell inside the run [lo, hi) known to be covered were only counted: they stand
// as that many crossings at hi, which changes nothing outside the run. Left of it, neither they
// nor hi are reached; right of it, both are; and a column right of every crossing is so with
// them as with hi. (Only whether their number is odd, or even and not zero, matters: so one or
// two of them.) Inside the run every pixel is covered anyway.
void DeferredPaint::fillRow(int32_t row, uint32_t n, std::vector<Crossing>::const_iterator& overflow,
                            COLORREF colour) {
    const uint32_t inside = m_rowInside[size_t(row)];
    m_rowInside[size_t(row)] = 0;
    if (n == 0) return;
    int32_t* begin = m_rowSlots.data() + size_t(row) * kRowSlots;
    int32_t* end = begin + std::min<size_t>(n, kRowSlots);
    if (inside > 0 || n > kRowSlots) {
        m_rowColumns.assign(begin, end);
        for (; overflow != m_overflow.cend() && overflow->row == row; ++overflow) m_rowColumns.push_back(overflow->column);
        m_rowColumns.insert(m_rowColumns.end(), inside % 2 == 1 ? 1 : inside > 0 ? 2 : 0, m_known[size_t(row)].hi);
        begin = m_rowColumns.data();
        end = begin + m_rowColumns.size();
        std::sort(begin, end);
    } else {
        for (int32_t* a = begin + 1; a < end; ++a)
            for (int32_t* b = a; b > begin && b[-1] > b[0]; --b) std::swap(b[-1], b[0]);
    }
    for (int32_t* c = begin; c + 1 < end; c += 2) paintSpan(row, c[0], c[1], colour);
}

void DeferredPaint::paintFill(const Step& step) {
    fillItems(step, m_items);
    reduceFill(m_items);
    // The fill of this step differs from that of the fill step painted just before (a later one)
    // only where the edges the two do not share put it: the edges filled over an odd number of
    // times by both together. Every pixel of that earlier fill is covered by now, so the pixels
    // of this fill still uncovered are exactly the uncovered pixels of that difference, which is
    // all there is to paint: for thousands of whole discs and faces differing only near their
    // start, far fewer crossings.
    const std::vector<FillItem>* edges = &m_items;
    uint64_t best = fillCost(m_items);
    if (!m_plain) {
        size_t chosen = m_previousFills;
        for (size_t k = 0; k < m_previousFills; ++k) {
            std::optional<uint64_t> cost = deltaCost(m_items, m_previousFill[k]);
            if (!cost) {
                m_delta = m_items;
                m_delta.insert(m_delta.end(), m_previousFill[k].begin(), m_previousFill[k].end());
                reduceFill(m_delta);
                cost = fillCost(m_delta);
            }
            if (*cost < best) best = *cost, chosen = k;
        }
        if (chosen < m_previousFills) {
            m_delta = m_items;
            m_delta.insert(m_delta.end(), m_previousFill[chosen].begin(), m_previousFill[chosen].end());
            reduceFill(m_delta);
            edges = &m_delta;
        }
    }
    // Rows on which the coverage already holds every column the edges reach need no crossings:
    // whatever the fill there, it lies between them. (A flattened curve stays within a pixel of
    // its control points' box; an arc within its outline's box.)
    int64_t x0 = INT64_MAX, y0 = INT64_MAX, x1 = INT64_MIN, y1 = INT64_MIN;
    auto reach = [&](int64_t x, int64_t y, int64_t margin) {
        x0 = std::min(x0, x - margin), x1 = std::max(x1, x + margin);
        y0 = std::min(y0, y - margin), y1 = std::max(y1, y + margin);
    };
    for (const FillItem& item : *edges) {
        if (item.kind == RunKind::Arc) {
            const EllipseBox& box = entry(item.outline).box;
            reach(box.left, box.top, 0);
            reach(box.right, box.bottom, 0);
        } else {
            for (int k = 0; k < (item.kind == RunKind::Curve ? 4 : 2); ++k) reach(item.p[k].x, item.p[k].y, item.kind == RunKind::Curve);
        }
    }
    const int64_t width = m_surface.width(), height = m_surface.height();
    const int64_t from = std::max<int64_t>(x0, 0), to = std::min<int64_t>(x1, width);
    m_rowRuns.clear();
    for (int64_t y = std::max<int64_t>(y0, 0); y <= std::min<int64_t>(y1, height - 1); ++y) {
        if (!m_plain && m_known[size_t(y)].lo <= from && to <= m_known[size_t(y)].hi) continue;
        if (!m_rowRuns.empty() && m_rowRuns.back().second == y) ++m_rowRuns.back().second;
        else m_rowRuns.emplace_back(int32_t(y), int32_t(y + 1));
    }
    const bool anyRow = !m_rowRuns.empty();
    if (!m_plain) {
        std::rotate(m_previousFill, m_previousFill + kPreviousFills - 1, m_previousFill + kPreviousFills);
        std::swap(m_previousFill[0], m_items);
        m_previousFills = std::min(m_previousFills + 1, kPreviousFills);
    }
    if (!anyRow) return;
    m_rowFrom = m_surface.height();
    m_rowTo = 0;
    m_overflow.clear();
    const std::vector<FillItem>& gathered = edges == &m_items && !m_plain ? m_previousFill[0] : *edges;
    for (const FillItem& item : gathered) {
        switch (item.kind) {
        case RunKind::Segment: gatherEdge(item.p[0], item.p[1]); break;
        case RunKind::Arc: gatherArc(item.outline, item.lo, item.len); break;
        case RunKind::Curve: {
            Run r{};
            r.kind = RunKind::Curve;
            std::copy(item.p, item.p + 4, r.p);
            const std::vector<POINT>& pts = flattened(r).points;
            for (size_t k = 0; k + 1 < pts.size(); ++k) gatherEdge(pts[k], pts[k + 1]);
            break;
        }
        }
    }
    std::sort(m_overflow.begin(), m_overflow.end(),
              [](const Crossing& a, const Crossing& b) { return a.row < b.row; });
    auto overflow = m_overflow.cbegin();
    for (const auto& [runFrom, runTo] : m_rowRuns) {
        for (int32_t row = std::max(runFrom, m_rowFrom); row < std::min(runTo, m_rowTo); ++row) {
            uint32_t& n = m_rowCount[size_t(row)];
            fillRow(row, n, overflow, step.colour);
            n = 0;
        }
    }
}

bool DeferredPaint::edgeCovered(POINT a, POINT b) const {
    // A line's pixels lie within the box of its end points.
    const int32_t left = std::min(a.x, b.x), right = std::max(a.x, b.x);
    const int32_t top = std::max(std::min(a.y, b.y), 0), bottom = std::min(std::max(a.y, b.y), m_surface.height() - 1);
    for (int32_t y = top; y <= bottom; ++y) {
        const Known& known = m_known[size_t(y)];
        if (known.lo > std::max(left, 0) || known.hi <= std::min(right, m_surface.width() - 1)) return false;
    }
    return true;
}

void DeferredPaint::walkEdge(POINT a, POINT b, COLORREF colour) {
    if (!m_plain && edgeCovered(a, b)) return;
    const int32_t width = m_surface.width(), height = m_surface.height();
    walkLine(
        m_surface, a.x, a.y, b.x, b.y, [](long) {},
        [&](long x, long y) {
            if (x < 0 || y < 0 || x >= width || y >= height) return;
            if (m_plain) {
                m_surface.setPixel(int(x), int(y), colour);
                return;
            }
            Known& known = m_known[size_t(y)];
            if (known.lo <= x && x < known.hi) return;
            int32_t* next = m_next.data() + size_t(y) * size_t(width + 1);
            if (next[x] != x) return;
            next[x] = int32_t(x) + 1;
            m_surface.setPixel(int(x), int(y), colour);
            known.add(int32_t(x), int32_t(x) + 1);
        });
}

void DeferredPaint::paintStroke(const Step& step) {
    // An edge walked once has all its pixels covered: walking it again for an earlier step would
    // find nothing to paint.
    for (uint32_t i = step.runBegin; i < step.runEnd; ++i) {
        const Run& r = m_runs[i];
        switch (r.kind) {
        case RunKind::Segment:
            if (m_plain || m_walkedSegments.insert(SegmentKey{pointBits(r.p[0]), pointBits(r.p[1])}).second)
                walkEdge(r.p[0], r.p[1], step.colour);
            break;
        case RunKind::Arc: {
            OutlineEntry& e = entry(r.arc.outline);
            const std::vector<POINT>& pts = points(e).points;
            const uint32_t n = uint32_t(e.size), len = r.arc.count - 1;
            const uint32_t lo = r.counterClockwise ? (r.arc.first + n - len) % n : r.arc.first;
            const int direction = r.counterClockwise ? 1 : 0;
            auto walkRange = [&](uint32_t from, uint32_t to) {  // edges [from, to)
                for (uint32_t edge = m_plain ? from : e.nextUnwalked(direction, from); edge < to;
                     edge = m_plain ? edge + 1 : e.nextUnwalked(direction, edge)) {
                    if (!m_plain) e.unwalked[direction][edge] = edge + 1;
                    const POINT a = pts[edge], b = pts[(edge + 1) % n];
                    if (r.counterClockwise) walkEdge(b, a, step.colour);
                    else walkEdge(a, b, step.colour);
                }
            };
            if (uint64_t(lo) + len <= n) {
                walkRange(lo, lo + len);
            } else {
                walkRange(lo, n);
                walkRange(0, lo + len - n);
            }
            break;
        }
        case RunKind::Curve: {
            CurveEntry& c = flattened(r);
            if (c.walked.empty()) c.walked.assign(c.points.size(), 0);
            for (size_t k = 0; k + 1 < c.points.size(); ++k) {
                if (!m_plain && c.walked[k]) continue;
                c.walked[k] = 1;
                walkEdge(c.points[k], c.points[k + 1], step.colour);
            }
            break;
        }
        }
    }
}

void DeferredPaint::flush() {
    if (m_steps.empty()) return;
    const size_t width = size_t(m_surface.width()) + 1, height = size_t(m_surface.height());
    // The coverage takes four bytes a pixel; without room for it the steps are painted in call
    // order, each over the earlier ones, as they would have been at once.
    m_plain = false;
    try {
        m_next.resize(width * height);
    } catch (const std::bad_alloc&) {
        m_plain = true;
    }
    m_rowCount.assign(height, 0);
    m_rowInside.assign(height, 0);
    m_rowSlots.resize(height * kRowSlots);

    m_previousFills = 0;
    auto paint = [&](const Step& step) {
        if (step.dead) return;
        if (step.kind == StepKind::Fill) paintFill(step);
        else paintStroke(step);
    };
    if (m_plain) {
        for (const Step& step : m_steps) paint(step);
    } else {
        for (size_t y = 0; y < height; ++y)
            for (size_t x = 0; x < width; ++x) m_next[y * width + x] = int32_t(x);
        m_known.assign(height, Known{});
        for (size_t i = m_steps.size(); i-- > 0;) paint(m_steps[i]);
    }
    m_steps.clear();
    m_runs.clear();
    m_dead = 0;
    m_latest = {};
    m_latestUsed = 0;
    m_walkedSegments.clear();
    for (auto& e : m_outlines) e->unwalked[0] = {}, e->unwalked[1] = {};
    for (auto& [key, c] : m_curves) c->walked = {};
    m_next = {};
    m_known = {};
    m_rowCount = {};
    m_rowInside = {};
    m_rowSlots = {};

}

// ---- Contexts ----

bool CallsTraced(HDC dc) { return traceOf(dc) != nullptr; }

DeferredPaint* deferredPaintOf(const DeviceContext* dc, const Surface* s) {
    return dc && dc->deferred && s && &dc->deferred->surface() == s ? dc->deferred : nullptr;
}

bool deferrableStroke(const DeviceContext& dc) {
    const PenObject* pen = dc.pen;
    if (!pen || pen->style == PS_NULL) return true;
    return !pen->geometric && pen->width <= 1 && cosmeticPattern(*pen).solid();
}

bool deferrableFill(const DeviceContext& dc) {
    return !dc.brush || dc.brush->style == BS_NULL || dc.brush->style == BS_SOLID;
}

std::optional<COLORREF> strokeColour(const DeviceContext& dc) {
    if (!dc.pen || dc.pen->style == PS_NULL) return std::nullopt;
    return dc.pen->colour;
}

DeferredPainting::DeferredPainting(HDC dc) : m_dc(dc) {
    Surface* s = surfaceOf(dc);
    if (!s || traceOf(dc) || dc->deferred) return;
    m_paint = std::make_unique<DeferredPaint>(*s);
    dc->deferred = m_paint.get();
}

DeferredPainting::~DeferredPainting() {
    if (!m_paint) return;
    m_dc->deferred = nullptr;
    try {
        m_paint->flush();
    } catch (const std::bad_alloc&) {
        // Only the small working lists of one step can be short of memory here; that step's
        // pixels are then missing, as after any drawing call that ran out of memory.
    }
}

}  // namespace kelvane::gdi
