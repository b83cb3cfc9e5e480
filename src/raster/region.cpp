// Region set operations. Both operands are walked band by band, cut at every band edge of either;
// within a band the two span lists merge in one pass, and a band whose spans match the band just
// above it grows that band instead of starting a new one.
#include "raster/region.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace kelvane::gdi {

namespace {

// One band of a region: rectangles [begin, end) sharing top and bottom.
struct Band {
    long top, bottom;
    size_t begin, end;
};

std::vector<Band> bandsOf(const std::vector<RECT>& rects) {
    std::vector<Band> bands;
    for (size_t i = 0; i < rects.size();) {
        size_t j = i + 1;
        while (j < rects.size() && rects[j].top == rects[i].top) ++j;
        bands.push_back(Band{rects[i].top, rects[i].bottom, i, j});
        i = j;
    }
    return bands;
}

// Appends rectangles for one band, growing the band above when it has the same spans.
class BandWriter {
public:
    explicit BandWriter(std::vector<RECT>& out) : m_out(out) {}

    void begin(long top, long bottom) {
        m_top = top;
        m_bottom = bottom;
        m_start = m_out.size();
    }
    void span(long left, long right) {
        if (left >= right) return;
        if (m_out.size() > m_start && m_out.back().right >= left) {
            m_out.back().right = LONG(std::max<long>(m_out.back().right, right));
            return;
        }
        m_out.push_back(RECT{LONG(left), LONG(m_top), LONG(right), LONG(m_bottom)});
    }
    void end() {
        const size_t count = m_out.size() - m_start;
        if (count == 0) return;
        if (m_previousBottom == m_top && m_previousCount == count &&
            std::equal(m_out.begin() + long(m_previousStart), m_out.begin() + long(m_start),
                       m_out.begin() + long(m_start),
                       [](const RECT& a, const RECT& b) { return a.left == b.left && a.right == b.right; })) {
            m_out.resize(m_start);
            for (size_t k = m_previousStart; k < m_start; ++k) m_out[k].bottom = LONG(m_bottom);
        } else {
            m_previousStart = m_start;
            m_previousCount = count;
        }
        m_previousBottom = m_bottom;
    }

private:
    std::vector<RECT>& m_out;
    long m_top = 0, m_bottom = 0;
    size_t m_start = 0;
    size_t m_previousStart = 0, m_previousCount = 0;
    long m_previousBottom = std::numeric_limits<long>::min();
};

// Writes the spans where inside(in a, in b) holds, from the sorted disjoint spans of a and b.
template <class Op>
void combineSpans(const RECT* a, size_t na, const RECT* b, size_t nb, Op inside, BandWriter& out) {
    constexpr long kEnd = std::numeric_limits<long>::max();
    size_t ia = 0, ib = 0;
    bool inA = false, inB = false, was = inside(false, false);
    long start = 0;
    while (ia < na || ib < nb) {
        const long xa = ia < na ? (inA ? a[ia].right : a[ia].left) : kEnd;
        const long xb = ib < nb ? (inB ? b[ib].right : b[ib].left) : kEnd;
        const long x = std::min(xa, xb);
        if (xa == x) {
            if (inA) ++ia;
            inA = !inA;
        }
        if (xb == x) {
            if (inB) ++ib;
            inB = !inB;
        }
        const bool now = inside(inA, inB);
        if (now && !was) start = x;
        if (!now && was) out.span(start, x);
        was = now;
    }
}

template <class Op>
std::vector<RECT> combineRegions(const std::vector<RECT>& a, const std::vector<RECT>& b, Op inside) {
    const std::vector<Band> bandsA = bandsOf(a), bandsB = bandsOf(b);
    std::vector<RECT> out;
    out.reserve(a.size() + b.size());
    BandWriter writer(out);
    constexpr long kEnd = std::numeric_limits<long>::max();
    size_t i = 0, j = 0;
    long y = std::min(bandsA.empty() ? kEnd : bandsA.front().top, bandsB.empty() ? kEnd : bandsB.front().top);
    while (i < bandsA.size() || j < bandsB.size()) {
        const bool inA = i < bandsA.size() && bandsA[i].top <= y;
        const bool inB = j < bandsB.size() && bandsB[j].top <= y;
        const long nextA = i < bandsA.size() ? (inA ? bandsA[i].bottom : bandsA[i].top) : kEnd;
        const long nextB = j < bandsB.size() ? (inB ? bandsB[j].bottom : bandsB[j].top) : kEnd;
        const long next = std::min(nextA, nextB);
        if (inA || inB) {
            writer.begin(y, next);
            const RECT* ra = inA ? a.data() + bandsA[i].begin : nullptr;
            const RECT* rb = inB ? b.data() + bandsB[j].begin : nullptr;
            combineSpans(ra, inA ? bandsA[i].end - bandsA[i].begin : 0, rb,
                         inB ? bandsB[j].end - bandsB[j].begin : 0, inside, writer);
            writer.end();
        }
        y = next;
        if (i < bandsA.size() && bandsA[i].bottom <= y) ++i;
        if (j < bandsB.size() && bandsB[j].bottom <= y) ++j;
    }
    return out;
}

}  // namespace

Region Region::fromRect(long left, long top, long right, long bottom) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    if (left == right || top == bottom) return Region();
    return Region(std::vector<RECT>{RECT{LONG(left), LONG(top), LONG(right), LONG(bottom)}});
}

void Region::unite(const Region& other) {
    if (other.m_rects.empty()) return;
    if (m_rects.empty()) {
        m_rects = other.m_rects;
        return;
    }
    m_rects = combineRegions(m_rects, other.m_rects, [](bool a, bool b) { return a || b; });
}
void Region::intersect(const Region& other) {
    if (m_rects.empty() || other.m_rects.empty()) {
        m_rects.clear();
        return;
    }
    m_rects = combineRegions(m_rects, other.m_rects, [](bool a, bool b) { return a && b; });
}
void Region::subtract(const Region& other) {
    if (m_rects.empty() || other.m_rects.empty()) return;
    m_rects = combineRegions(m_rects, other.m_rects, [](bool a, bool b) { return a && !b; });
}
void Region::exclusiveOr(const Region& other) {
    m_rects = combineRegions(m_rects, other.m_rects, [](bool a, bool b) { return a != b; });
}

void Region::offset(long dx, long dy) {
    for (RECT& r : m_rects) {
        r.left = LONG(r.left + dx);
        r.right = LONG(r.right + dx);
        r.top = LONG(r.top + dy);
        r.bottom = LONG(r.bottom + dy);
    }
}

RECT Region::bounds() const {
    if (m_rects.empty()) return RECT{0, 0, 0, 0};
    RECT b = m_rects.front();
    for (const RECT& r : m_rects) {
        b.left = std::min(b.left, r.left);
        b.right = std::max(b.right, r.right);
        b.top = std::min(b.top, r.top);
        b.bottom = std::max(b.bottom, r.bottom);
    }
    return b;
}

bool Region::contains(long x, long y) const {
    for (const RECT& r : m_rects) {
        if (r.top > y) break;  // bands are sorted by top
        if (r.left <= x && x < r.right && y < r.bottom) return true;
    }
    return false;
}

}  // namespace kelvane::gdi
