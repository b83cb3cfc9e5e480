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

// Discs wider than this are not built from the ellipse region (its rows are all visited):
// they are computed row by row, for the visible rows only.
constexpr int64_t kLargestTabledDisc = 2048;

// The rows [from, to) in which a polygon can paint a pixel of the surface. A pixel x of row y is
// painted only when a point of the polygon on that row lies within a pixel of it, so the rows
// are those where the polygon meets the band -2 <= x <= width + 2, widened by a row each way.
// Where a filled region meets the band, its highest and lowest points are vertices inside the
// band or points where edges cross the band's sides.
void bandRows(const P64* points, int count, int64_t width, int64_t& from, int64_t& to) {
    const double left = -2, right = double(width) + 2;
    double top = 0, bottom = 0;
    bool any = false;
    auto take = [&](double y) {
        top = any ? std::min(top, y) : y;
        bottom = any ? std::max(bottom, y) : y;
        any = true;
    };
    for (int i = 0; i < count; ++i) {
        const P64& a = points[i];
        const P64& b = points[(i + 1) % count];
        const double ax = double(a.x), ay = double(a.y), bx = double(b.x), by = double(b.y);
        if (ax >= left && ax <= right) take(ay);
        for (double side : {left, right})
            if ((ax < side) != (bx < side)) take(ay + (by - ay) * ((side - ax) / (bx - ax)));
    }
    if (!any) {
        from = to = 0;
        return;
    }
    from = int64_t(std::floor(top)) - 1;
    to = int64_t(std::ceil(bottom)) + 2;
}

}  // namespace

void paintPolygon(StrokeCanvas& s, const P64* points, int count) {
    if (count < 3 || count > 8) return;
    int64_t top = points[0].y, bottom = points[0].y;
    for (int i = 1; i < count; ++i) {
        top = std::min(top, points[i].y);
        bottom = std::max(bottom, points[i].y);
    }
    int64_t bandFrom, bandTo;
    bandRows(points, count, s.width(), bandFrom, bandTo);
    const int64_t y0 = std::max({top, bandFrom, int64_t{0}}), y1 = std::min({bottom, bandTo, s.height()});
    int64_t crossings[8];
    for (int64_t y = s.openRow(y0); y < y1; y = s.openRow(y + 1)) {
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
        for (int k = 0; k + 1 < n; k += 2) s.fill(y, crossings[k], crossings[k + 1]);
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

void Disc::paint(StrokeCanvas& s, int64_t x, int64_t y) const {
    const int64_t left = x - m_width / 2, top = y - m_width / 2;
    if (left >= s.width() || left + m_width <= 0) return;
    int64_t j0 = std::max<int64_t>(0, -top), j1 = std::min<int64_t>(m_width, s.height() - top);
    // A centre beside the surface: only the rows where the circle is wide enough to reach it
    // (with three pixels to spare for the rounding of the platform's circles).
    const double r = double(m_width) / 2, centre = double(left) + r;
    const double beside = centre < 0 ? -centre : centre > double(s.width()) ? centre - double(s.width()) : 0;
    const double reach = beside - 3;
    if (reach > 0) {
        const double half = std::sqrt(std::max(0.0, r * r - reach * reach));
        j0 = std::max(j0, int64_t(std::floor(r - half)) - 2);
        j1 = std::min(j1, int64_t(std::ceil(r + half)) + 2);
    }
    for (int64_t j = s.openRow(top + j0) - top; j < j1; j = s.openRow(top + j + 1) - top) {
        if (!m_rows.empty()) {
            const auto& row = m_rows[size_t(j)];
            s.fill(top + j, left + row.first, left + row.second);
            continue;
        }
        // Very wide pens: pixel centres inside the circle.
        const double dy = double(j) + 0.5 - r;
        const double half = std::sqrt(std::max(0.0, r * r - dy * dy));
        const int64_t a = int64_t(std::ceil(r - half - 0.5)), b = int64_t(std::floor(r + half - 0.5)) + 1;
        s.fill(top + j, left + a, left + b);
    }
}

}  // namespace kelvane::gdi
