// Figure filling by scanlines over the surface's rows, with an active edge list.
#include "raster/figure_fill.h"

#include <algorithm>

namespace kelvane::gdi {

namespace {

struct Edge {
    long x0, y0, x1, y1;  // y0 < y1
    int direction;        // +1 downwards in drawing order, -1 upwards
};

struct Crossing {
    __int128 num;  // x = num / den, den > 0
    long den;
    int direction;
};

bool before(const Crossing& a, const Crossing& b) { return a.num * b.den < b.num * a.den; }

long ceilOf(const Crossing& c) {
    const __int128 q = c.num / c.den, r = c.num % c.den;
    return long(r > 0 ? q + 1 : q);
}

}  // namespace

// Row y crosses an edge when the edge spans [top, bottom) vertically; the crossing is kept as an
// exact fraction so that coordinates up to the 32-bit limits neither overflow nor round the wrong
// way. Row y is filled from ceil(x_k) up to ceil(x_k+1) for the crossing pairs the fill mode
// puts inside.
void fillFigures(Surface& s, const BrushPainter& painter, const std::vector<POINT>& points,
                 const std::vector<int>& counts, int fillMode) {
    if (!painter.visible()) return;
    std::vector<Edge> edges;
    size_t start = 0;
    for (int count : counts) {
        for (int i = 0; i < count && count >= 2; ++i) {
            const POINT& a = points[start + size_t(i)];
            const POINT& b = points[start + size_t((i + 1) % count)];
            if (a.y == b.y) continue;
            if (a.y < b.y) edges.push_back(Edge{a.x, a.y, b.x, b.y, 1});
            else edges.push_back(Edge{b.x, b.y, a.x, a.y, -1});
        }
        start += size_t(std::max(count, 0));
    }
    if (edges.empty()) return;
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.y0 < b.y0; });
    long yEnd = 0;
    for (const Edge& e : edges) yEnd = std::max(yEnd, e.y1);
    yEnd = std::min(yEnd, long(s.height()));
    const long width = s.width();
    std::vector<size_t> active;
    std::vector<Crossing> crossings;
    size_t next = 0;
    for (long y = std::max(0L, edges.front().y0); y < yEnd; ++y) {
        while (next < edges.size() && edges[next].y0 <= y) {
            if (edges[next].y1 > y) active.push_back(next);
            ++next;
        }
        active.erase(std::remove_if(active.begin(), active.end(),
                                    [&](size_t i) { return edges[i].y1 <= y; }),
                     active.end());
        if (active.empty()) {
            if (next >= edges.size()) break;
            y = std::max(y, edges[next].y0 - 1);  // skip the empty rows up to the next edge
            continue;
        }
        crossings.clear();
        for (size_t i : active) {
            const Edge& e = edges[i];
            const long den = e.y1 - e.y0;
            crossings.push_back(Crossing{__int128(e.x0) * den + __int128(y - e.y0) * (e.x1 - e.x0),
                                         den, e.direction});
        }
        std::sort(crossings.begin(), crossings.end(), before);
        int winding = 0;
        for (size_t k = 0; k + 1 < crossings.size(); ++k) {
            winding += crossings[k].direction;
            const bool inside = fillMode == WINDING ? winding != 0 : k % 2 == 0;
            if (!inside) continue;
            const long x0 = std::max(0L, ceilOf(crossings[k]));
            const long x1 = std::min(width, ceilOf(crossings[k + 1]));
            if (x0 < x1) painter.span(s, y, x0, x1);
        }
    }
}

}  // namespace kelvane::gdi
