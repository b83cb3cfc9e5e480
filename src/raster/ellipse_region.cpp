// Elliptic regions: the pixels whose centres lie inside the ellipse inscribed in the box.
#include <algorithm>
#include <cmath>
#include <vector>

#include "raster/region.h"

namespace kelvane::gdi {

Region Region::fromEllipse(long left, long top, long right, long bottom) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    Region result;
    if (right - left < 1 || bottom - top < 1) return result;
    const double cx = (left + right) / 2.0, cy = (top + bottom) / 2.0;
    const double rx = (right - left) / 2.0, ry = (bottom - top) / 2.0;
    for (long y = top; y < bottom; ++y) {
        const double dy = (y + 0.5 - cy) / ry;
        if (dy * dy > 1) continue;
        const double half = rx * std::sqrt(1 - dy * dy);
        const long x0 = long(std::ceil(cx - half - 0.5)), x1 = long(std::floor(cx + half - 0.5)) + 1;
        if (x0 < x1) result.unite(Region::fromRect(x0, y, x1, y + 1));
    }
    return result;
}

}  // namespace kelvane::gdi
