// Painting the polygons and discs wide pens are made of, clipped to the surface before any row
// is visited, so that pieces far outside cost nothing and huge coordinates cannot overflow.
#include "raster/pen_shapes.h"

#include <algorithm>
#include <cmath>

#include "raster/region.h"

namespace kelvane::gdi {

namespace {

// ceil(a / b) for b > 0.
__int128 ceilDiv(__int128 a, __int128 b) { return a >= 0 ? (a + b - 1) / b : -((-a) / b); }

void fillClipped(Surface& s, int64_t y, int64_t x0, int64_t x1, COLORREF c) {
    x0 = std::max<int64_t>(x0, 0);
    x1 = std::min<int64_t>(x1, s.width());
    if (x0 < x1) s.fillSpan(int(y), int(x0), int(x1), c);
}

// Discs wider than this are not built from the ellipse region (its rows are all visited):
// they are computed row by row, for the visible rows only.
constexpr int64_t kLargestTabledDisc = 2048;

}  // namespace

void paintPolygon(Surface& s, const P64* points, int count, COLORREF c) {
    if (count < 3 || count > 8) return;
    int64_t top = points[0].y, bottom = points[0].y, left = points[0].x, right = points[0].x;
    for (int i = 1; i < count; ++i) {
        top = std::min(top, points[i].y);
        bottom = std::max(bottom, points[i].y);
        left = std::min(left, points[i].x);
        right = std::max(right, points[i].x);
    }
    if (right < 0 || left > s.width()) return;  // every crossing rounds up outside
    const int64_t y0 = std::max<int64_t>(top, 0), y1 = std::min<int64_t>(bottom, s.height());
    int64_t crossings[8];
    for (int64_t y = y0; y < y1; ++y) {
        int n = 0;
        for (int i = 0; i < count; ++i) {
            const P64& a = points[i];
            const P64& b = points[(i + 1) % count];
            if (a.y == b.y) continue;
            const P64& lo = a.y < b.y ? a : b;
            const P64& hi = a.y < b.y ? b : a;
            if (y < lo.y || y >= hi.y) continue;
            const __int128 dy = hi.y - lo.y;
            crossings[n++] = int64_t(ceilDiv(__int128(lo.x) * dy + __int128(y - lo.y) * (hi.x - lo.x), dy));
        }
        for (int k = 1; k < n; ++k)  // a handful of crossings: insertion sort
            for (int j = k; j > 0 && crossings[j - 1] > crossings[j]; --j) std::swap(crossings[j - 1], crossings[j]);
        for (int k = 0; k + 1 < n; k += 2) fillClipped(s, y, crossings[k], crossings[k + 1], c);
    }
}

Disc::Disc(int64_t width) : m_width(width) {
    if (width < 1 || width > kLargestTabledDisc) return;
    m_rows.assign(size_t(width), {0, 0});
    if (width <= 2) {
        // The platform's ellipses this small are their whole box.
        for (auto& row : m_rows) row = {0, width};
        return;
    }
    const Region r = Region::fromEllipse(0, 0, long(width), long(width));
    for (const RECT& rc : r.rects())
        for (long y = std::max<long>(rc.top, 0); y < std::min<long>(rc.bottom, long(width)); ++y) {
            auto& row = m_rows[size_t(y)];
            if (row.first == row.second) row = {rc.left, rc.right};
            else row = {std::min<int64_t>(row.first, rc.left), std::max<int64_t>(row.second, rc.right)};
        }
}

void Disc::paint(Surface& s, int64_t x, int64_t y, COLORREF c) const {
    const int64_t left = x - m_width / 2, top = y - m_width / 2;
    const int64_t j0 = std::max<int64_t>(0, -top), j1 = std::min<int64_t>(m_width, s.height() - top);
    if (!m_rows.empty()) {
        for (int64_t j = j0; j < j1; ++j) {
            const auto& row = m_rows[size_t(j)];
            fillClipped(s, top + j, left + row.first, left + row.second, c);
        }
        return;
    }
    // Very wide pens: pixel centres inside the circle.
    const double r = double(m_width) / 2;
    for (int64_t j = j0; j < j1; ++j) {
        const double dy = double(j) + 0.5 - r;
        const double half = std::sqrt(std::max(0.0, r * r - dy * dy));
        const int64_t a = int64_t(std::ceil(r - half - 0.5)), b = int64_t(std::floor(r + half - 0.5)) + 1;
        fillClipped(s, top + j, left + a, left + b, c);
    }
}

}  // namespace kelvane::gdi
