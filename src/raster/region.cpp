// Region set operations. Both operands are cut at every band edge of either; within a band the
// spans combine by the operation, and bands whose spans match the band above merge with it.
#include "raster/region.h"

#include <algorithm>
#include <utility>

namespace kelvane::gdi {

namespace {

using Span = std::pair<long, long>;

// The spans of a region in the band that starts at y (rectangles of one band share top/bottom).
std::vector<Span> spansAt(const std::vector<RECT>& rects, long y) {
    std::vector<Span> spans;
    for (const RECT& r : rects)
        if (r.top <= y && y < r.bottom) spans.emplace_back(r.left, r.right);
    return spans;
}

template <class Op>
std::vector<Span> combine(const std::vector<Span>& a, const std::vector<Span>& b, Op inside) {
    std::vector<long> edges;
    for (const Span& s : a) edges.insert(edges.end(), {s.first, s.second});
    for (const Span& s : b) edges.insert(edges.end(), {s.first, s.second});
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    auto covers = [](const std::vector<Span>& spans, long x) {
        for (const Span& s : spans)
            if (s.first <= x && x < s.second) return true;
        return false;
    };
    std::vector<Span> out;
    for (size_t i = 0; i + 1 < edges.size(); ++i) {
        if (!inside(covers(a, edges[i]), covers(b, edges[i]))) continue;
        if (!out.empty() && out.back().second == edges[i]) out.back().second = edges[i + 1];
        else out.emplace_back(edges[i], edges[i + 1]);
    }
    return out;
}

template <class Op>
std::vector<RECT> combineRegions(const std::vector<RECT>& a, const std::vector<RECT>& b, Op inside) {
    std::vector<long> ys;
    for (const auto* rs : {&a, &b})
        for (const RECT& r : *rs) ys.insert(ys.end(), {r.top, r.bottom});
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    std::vector<RECT> out;
    std::vector<Span> previous;
    long previousBottom = 0;
    size_t previousStart = 0;
    for (size_t i = 0; i + 1 < ys.size(); ++i) {
        const std::vector<Span> spans = combine(spansAt(a, ys[i]), spansAt(b, ys[i]), inside);
        if (spans.empty()) {
            previous.clear();
            continue;
        }
        if (!previous.empty() && previousBottom == ys[i] && spans == previous) {
            for (size_t k = previousStart; k < out.size(); ++k) out[k].bottom = LONG(ys[i + 1]);
        } else {
            previousStart = out.size();
            for (const Span& s : spans) out.push_back(RECT{LONG(s.first), LONG(ys[i]), LONG(s.second), LONG(ys[i + 1])});
            previous = spans;
        }
        previousBottom = ys[i + 1];
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
    m_rects = combineRegions(m_rects, other.m_rects, [](bool a, bool b) { return a || b; });
}
void Region::intersect(const Region& other) {
    m_rects = combineRegions(m_rects, other.m_rects, [](bool a, bool b) { return a && b; });
}
void Region::subtract(const Region& other) {
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
    for (const RECT& r : m_rects)
        if (r.left <= x && x < r.right && r.top <= y && y < r.bottom) return true;
    return false;
}

}  // namespace kelvane::gdi
