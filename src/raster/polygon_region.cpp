// Polygon regions: pixel (x, y) is inside when the point (x, y) lies inside the polygon under
// the fill mode.
#include <algorithm>
#include <cmath>
#include <vector>

#include "raster/region.h"

namespace kelvane::gdi {

Region Region::fromPolygon(const POINT* points, int count, int fillMode) {
    Region result;
    if (!points || count < 3) return result;
    long top = points[0].y, bottom = points[0].y;
    for (int i = 1; i < count; ++i) {
        top = std::min<long>(top, points[i].y);
        bottom = std::max<long>(bottom, points[i].y);
    }
    std::vector<RECT> rows;
    std::vector<std::pair<double, int>> crossings;
    for (long y = top; y < bottom; ++y) {
        crossings.clear();
        for (int i = 0; i < count; ++i) {
            const POINT& a = points[i];
            const POINT& b = points[(i + 1) % count];
            if (a.y == b.y) continue;
            const bool down = a.y < b.y;
            const POINT& lo = down ? a : b;
            const POINT& hi = down ? b : a;
            if (y < lo.y || y >= hi.y) continue;
            const double x = lo.x + double(y - lo.y) * (hi.x - lo.x) / double(hi.y - lo.y);
            crossings.emplace_back(x, down ? 1 : -1);
        }
        std::sort(crossings.begin(), crossings.end());
        int winding = 0;
        for (size_t k = 0; k + 1 < crossings.size(); ++k) {
            winding += crossings[k].second;
            const bool inside = fillMode == WINDING ? winding != 0 : (k % 2) == 0;
            if (!inside) continue;
            const long x0 = long(std::ceil(crossings[k].first));
            const long x1 = long(std::ceil(crossings[k + 1].first));
            if (x0 < x1) rows.push_back(RECT{LONG(x0), LONG(y), LONG(x1), LONG(y + 1)});
        }
    }
    for (const RECT& r : rows) result.unite(Region(std::vector<RECT>{r}));
    return result;
}

}  // namespace kelvane::gdi
