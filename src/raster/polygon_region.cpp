// Polygon scan conversion by an edge table: pixel (x, y) is inside when the point (x, y) lies
// inside the polygon under the fill mode. An edge crosses the rows from its upper end (included)
// to its lower end (excluded); a pixel exactly on a crossing lies after it.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "raster/region.h"

namespace kelvane::gdi {

namespace {

// floor(a / b) for b > 0.
__int128 floorDiv(__int128 a, __int128 b) {
    const __int128 q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

// A non-horizontal edge, walked one row at a time. On row y it crosses at x = q + r / dy with
// 0 <= r < dy, kept exactly, so no rounding ever moves a crossing across a pixel.
struct Edge {
    int64_t top, bottom;  // rows [top, bottom) that the edge crosses
    int64_t q, r;         // crossing on the current row
    int64_t dy;           // rows the edge spans (> 0)
    int64_t stepQ, stepR; // change of the crossing per row: stepQ + stepR / dy, 0 <= stepR < dy
    int winding;          // +1 downwards, -1 upwards

    // The pixel column where the edge starts to cover: the first x >= the crossing.
    int64_t column() const { return q + (r != 0); }
    void advance() {
        q += stepQ;
        r += stepR;
        if (r >= dy) {
            r -= dy;
            ++q;
        }
    }
    // Places the crossing on row y (top <= y < bottom).
    void startAt(int64_t y, int64_t x0, int64_t y0, int64_t dx) {
        const __int128 numerator = __int128(x0) * dy + __int128(y - y0) * dx;
        const __int128 whole = floorDiv(numerator, dy);
        q = int64_t(whole);
        r = int64_t(numerator - whole * dy);
    }
};

struct Crossing {
    int64_t x;
    int winding;
};

}  // namespace

Region Region::fromPolygon(const POINT* points, int count, int fillMode) {
    // Nothing outside this window can reach a surface (at most 32767 pixels a side), and keeping
    // to it bounds the work and the memory for polygons with huge coordinates.
    constexpr LONG kReach = LONG(1) << 16;
    return fromPolygon(points, count, fillMode, RECT{-kReach, -kReach, kReach, kReach});
}

Region Region::fromPolygon(const POINT* points, int count, int fillMode, const RECT& clip) {
    if (!points || count < 3 || clip.left >= clip.right || clip.top >= clip.bottom) return Region();

    std::vector<Edge> edges;
    edges.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        const POINT& a = points[i];
        const POINT& b = points[i + 1 < count ? i + 1 : 0];
        if (a.y == b.y) continue;
        const bool down = a.y < b.y;
        const POINT& lo = down ? a : b;
        const POINT& hi = down ? b : a;
        const int64_t top = std::max<int64_t>(lo.y, clip.top);
        const int64_t bottom = std::min<int64_t>(hi.y, clip.bottom);
        if (top >= bottom) continue;
        Edge e{};
        e.top = top;
        e.bottom = bottom;
        e.dy = int64_t(hi.y) - lo.y;
        const int64_t dx = int64_t(hi.x) - lo.x;
        const int64_t wholeStep = int64_t(floorDiv(dx, e.dy));
        e.stepQ = wholeStep;
        e.stepR = dx - wholeStep * e.dy;
        e.winding = down ? 1 : -1;
        e.startAt(top, lo.x, lo.y, dx);
        edges.push_back(e);
    }
    if (edges.empty()) return Region();
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.top < b.top; });

    std::vector<RECT> rects;
    std::vector<size_t> active;  // indices into edges
    std::vector<Crossing> crossings;
    std::vector<std::pair<int64_t, int64_t>> spans, previous;
    size_t previousStart = 0;   // first rectangle of the band that `previous` describes
    int64_t previousBottom = 0; // row below that band
    size_t next = 0;
    const int64_t left = clip.left, right = clip.right;

    int64_t y = edges.front().top;
    while (true) {
        // Drop finished edges, take in the ones that start here.
        active.erase(std::remove_if(active.begin(), active.end(),
                                    [&](size_t k) { return edges[k].bottom <= y; }),
                     active.end());
        if (active.empty()) {
            if (next == edges.size()) break;
            y = std::max(y, edges[next].top);
        }
        while (next < edges.size() && edges[next].top <= y) active.push_back(next++);

        // Crossings in column order; crossings in the same column may come in any order, as
        // the spans between them are empty.
        crossings.clear();
        for (size_t k : active)
            crossings.push_back(Crossing{std::clamp(edges[k].column(), left, right), edges[k].winding});
        std::sort(crossings.begin(), crossings.end(),
                  [](const Crossing& a, const Crossing& b) { return a.x < b.x; });

        spans.clear();
        auto addSpan = [&](int64_t x0, int64_t x1) {
            if (x0 >= x1) return;
            if (!spans.empty() && spans.back().second >= x0) spans.back().second = std::max(spans.back().second, x1);
            else spans.emplace_back(x0, x1);
        };
        if (fillMode == WINDING) {
            int winding = 0;
            for (size_t k = 0; k + 1 < crossings.size(); ++k) {
                winding += crossings[k].winding;
                if (winding != 0) addSpan(crossings[k].x, crossings[k + 1].x);
            }
        } else {
            for (size_t k = 0; k + 1 < crossings.size(); k += 2) addSpan(crossings[k].x, crossings[k + 1].x);
        }

        // Rows with the same spans as the row above extend its band.
        if (!spans.empty()) {
            if (previousBottom == y && spans == previous && !previous.empty()) {
                for (size_t k = previousStart; k < rects.size(); ++k) rects[k].bottom = LONG(y + 1);
            } else {
                previousStart = rects.size();
                for (const auto& s : spans) rects.push_back(RECT{LONG(s.first), LONG(y), LONG(s.second), LONG(y + 1)});
                previous.swap(spans);
            }
            previousBottom = y + 1;
        }

        for (size_t k : active) edges[k].advance();
        ++y;
    }
    return Region(std::move(rects));
}

}  // namespace kelvane::gdi
