// Painting put off and done last-step-first: for drawings of many overlapping shapes (a pie of
// thousands of slices, each too thin for its arc and so filled as a whole disc) most of what each
// shape paints is painted again by a later one.
//
// While a DeferredPainting session is open on a context, Pie, ArcTo, LineTo and the filling and
// stroking of paths record what they would paint instead of painting it: each paint step is one
// colour and the exact edges the step would fill (even-odd, over exact crossings, as
// figure_fill.cpp fills) or stroke (one-pixel lines without their end points, as line.cpp draws
// them). Calls whose pixels depend on more than that (patterned brushes, styled or wide pens, the
// winding fill mode) and Arc paint everything recorded so far and then themselves, in call order.
// No other call knows of the session: one that paints (text, rectangles, blits) would paint ahead
// of what is recorded, so a session covers drawing made of the calls above only.
//
// When the session ends the steps are painted from the last to the first, each onto the pixels no
// later step has painted. Every pixel therefore ends up with the colour of the last step in call
// order that paints it, which is what painting them one after the other leaves: the same picture,
// with every pixel written once. A step whose edges are exactly those of a later step paints
// nothing the later one does not, and is dropped when that later step is recorded.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "kelvane/gdi.h"
#include "raster/arc.h"
#include "raster/ellipse_outline.h"
#include "raster/surface.h"

namespace kelvane::gdi {

class DeferredPaint {
public:
    explicit DeferredPaint(Surface& surface);
    ~DeferredPaint();
    DeferredPaint(const DeferredPaint&) = delete;
    DeferredPaint& operator=(const DeferredPaint&) = delete;

    Surface& surface() const { return m_surface; }

    // The outline of an ellipse box, numbered; the steps refer to its vertices by index.
    uint32_t outline(const EllipseBox& box, const RECT& window);
    // The vertices an arc of that outline draws through (as arcVertices chooses them).
    ArcSpan arcSpan(uint32_t outline, POINT start, POINT end, bool counterClockwise);
    // The k-th vertex of an arc span.
    POINT vertex(uint32_t outline, ArcSpan span, size_t k, bool counterClockwise);

    // arcBeziers, remembered for the arcs asked for again.
    const std::vector<POINT>& beziers(const EllipseBox& box, POINT start, POINT end, bool counterClockwise);

    // Recording one step: its colour, then its edges, then end().
    void beginFill(COLORREF colour) { begin(StepKind::Fill, colour); }
    void beginStroke(COLORREF colour) { begin(StepKind::Stroke, colour); }
    void segment(POINT from, POINT to);
    // The edges between the consecutive vertices of an arc span.
    void arc(uint32_t outline, ArcSpan span, bool counterClockwise);
    // A cubic Bézier piece, as a path flattens it from p0.
    void curve(POINT p0, POINT c1, POINT c2, POINT p3);
    void end();

    // Paints every step recorded so far and forgets them.
    void flush();

private:
    enum class StepKind : uint8_t { Fill, Stroke };
    enum class RunKind : uint8_t { Segment, Arc, Curve };

    // A run of edges: one segment (p[0] to p[1]), the edges of an arc span, or a flattened
    // curve (p[0] .. p[3]).
    struct ArcRef {
        uint32_t outline, first, count;
    };
    struct Run {
        RunKind kind;
        bool counterClockwise;  // arcs
        union {
            POINT p[4];
            ArcRef arc;
        };
        bool operator==(const Run& o) const;
    };
    struct Step {
        StepKind kind;
        bool dead;
        COLORREF colour;
        uint32_t runBegin, runEnd;
        uint64_t hash;
    };
    struct RowTable;
    struct OutlineEntry;
    struct CurveEntry;
    struct ArcKey {
        long left, top, right, bottom;
        LONG x0, y0, x1, y1;
        bool counterClockwise;
        bool operator==(const ArcKey&) const = default;
    };
    struct ArcHash {
        size_t operator()(const ArcKey& k) const;
    };
    struct SegmentKey {
        uint64_t from, to;
        bool operator==(const SegmentKey&) const = default;
    };
    struct SegmentHash {
        size_t operator()(const SegmentKey& k) const { return size_t(k.from * 0x9E3779B97F4A7C15ull ^ k.to); }
    };
    // A crossing of row `row` at the first pixel column ceil(x), held within [0, width].
    struct Crossing {
        int32_t row, column;
    };

    void begin(StepKind kind, COLORREF colour);
    bool sameRuns(const Step& a, const Step& b) const;
    void compact();
    std::pair<uint64_t, uint32_t>& latest(uint64_t hash);
    OutlineEntry& entry(uint32_t outline);
    const EllipseOutline& points(OutlineEntry& e);
    CurveEntry& flattened(const Run& run);

    void paintFill(const Step& step);
    void paintStroke(const Step& step);
    void crossing(int32_t row, int32_t column);
    void store(int32_t row, int32_t column);
    void fillRow(int32_t row, uint32_t n, std::vector<Crossing>::const_iterator& overflow, COLORREF colour);
    void gatherEdge(POINT a, POINT b);
    void gatherArc(uint32_t outline, uint32_t lo, uint32_t len);
    struct FillItem {
        RunKind kind;
        uint32_t outline, lo, len;
        POINT p[4];
        bool operator<(const FillItem& o) const;
    };
    void fillItems(const Step& step, std::vector<FillItem>& items);
    void reduceFill(std::vector<FillItem>& items);
    static uint64_t itemCost(const FillItem& item);
    static uint64_t fillCost(const std::vector<FillItem>& items);
    static std::optional<uint64_t> deltaCost(const std::vector<FillItem>& a, const std::vector<FillItem>& b);
    void walkEdge(POINT a, POINT b, COLORREF colour);
    // Whether every pixel of the line from a to b on the surface is known to be covered.
    bool edgeCovered(POINT a, POINT b) const;
    // Coverage: per row, the first column at or after x that no step has painted yet.
    int32_t uncovered(int32_t row, int32_t x);
    void paintSpan(int32_t row, int32_t x0, int32_t x1, COLORREF colour);

    Surface& m_surface;
    // Deques: they grow a block at a time, without a copy at twice the size.
    std::deque<Step> m_steps;
    std::deque<Run> m_runs;
    size_t m_dead = 0;
    bool m_plain = false;  // painting in call order without coverage (no memory for it)
    // Step hash -> the latest step recorded with it, open addressing (key 0: empty); an entry may
    // outlive its step and is checked against the step it names.
    std::vector<std::pair<uint64_t, uint32_t>> m_latest;
    size_t m_latestUsed = 0;
    std::vector<std::unique_ptr<OutlineEntry>> m_outlines;
    std::unordered_map<uint64_t, uint32_t> m_outlineIds;
    size_t m_outlineBytes = 0;
    std::unordered_map<uint64_t, std::unique_ptr<CurveEntry>> m_curves;
    size_t m_curveBytes = 0;
    std::unordered_map<ArcKey, std::vector<POINT>, ArcHash> m_beziers;
    size_t m_bezierBytes = 0;
    // While painting: the coverage, the edges already walked and the crossings of one step.
    std::vector<int32_t> m_next;
    // Per row, one run [lo, hi) known to be covered, checked before the coverage itself: most
    // spans of a pie fall inside the first disc painted over them.
    struct Known {
        int32_t lo = 0, hi = 0;
        void add(int32_t x0, int32_t x1) {
            if (hi <= lo || x0 > hi || x1 < lo) {
                if (x1 - x0 > hi - lo) lo = x0, hi = x1;
            } else {
                lo = std::min(lo, x0), hi = std::max(hi, x1);
            }
        }
    };
    std::vector<Known> m_known;
    std::unordered_set<SegmentKey, SegmentHash> m_walkedSegments;
    // The crossings of the step being painted: the first few of each row in its slots, the rest
    // aside.
    static constexpr size_t kRowSlots = 8;
    std::vector<uint32_t> m_rowCount, m_rowInside;
    std::vector<std::pair<int32_t, int32_t>> m_rowRuns;  // rows [from, to) the coverage does not settle
    std::vector<int32_t> m_rowSlots;
    std::vector<Crossing> m_overflow;
    std::vector<int32_t> m_rowColumns;
    int32_t m_rowFrom = 0, m_rowTo = 0;
    // The edges of the last few fill steps painted, latest first, and working lists.
    static constexpr size_t kPreviousFills = 4;
    std::vector<FillItem> m_previousFill[kPreviousFills], m_items, m_delta, m_arcs;
    size_t m_previousFills = 0;
    std::vector<uint32_t> m_bounds;
};

// Whether the context's calls are being traced: drawing that could leave calls out (nothing of
// them showing in the end) makes them all instead, so that the trace shows them.
bool CallsTraced(HDC dc);

// The painter of a context whose painting is being put off onto `s`, or null.
DeferredPaint* deferredPaintOf(const DeviceContext* dc, const Surface* s);
// Whether the context's pen strokes can be put off (no stroke at all counts), and its brush fills.
bool deferrableStroke(const DeviceContext& dc);
bool deferrableFill(const DeviceContext& dc);
// The colour the context's pen strokes with, if it strokes at all.
std::optional<COLORREF> strokeColour(const DeviceContext& dc);

// Puts off the painting of the supported calls on a context until it ends. Nothing is put off
// on a context whose calls are traced (the trace then shows every call as it is made), without a
// surface, or inside another session.
class DeferredPainting {
public:
    explicit DeferredPainting(HDC dc);
    ~DeferredPainting();
    DeferredPainting(const DeferredPainting&) = delete;
    DeferredPainting& operator=(const DeferredPainting&) = delete;

private:
    HDC m_dc;
    std::unique_ptr<DeferredPaint> m_paint;
};

}  // namespace kelvane::gdi
