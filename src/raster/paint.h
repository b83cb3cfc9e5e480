// Clipped pixel writes shared by the primitives: every shape ends up as spans and points here.
#pragma once

#include <algorithm>

#include "raster/surface.h"

namespace kelvane::gdi {

// Fills [left, right) x [top, bottom), clipped to the surface.
inline void fillBox(Surface& s, long left, long top, long right, long bottom, COLORREF c) {
    const long l = std::max(left, 0L), r = std::min(right, long(s.width()));
    const long t = std::max(top, 0L), b = std::min(bottom, long(s.height()));
    if (l >= r) return;
    for (long y = t; y < b; ++y) s.fillSpan(int(y), int(l), int(r), c);
}

inline void plot(Surface& s, long x, long y, COLORREF c) {
    if (x >= 0 && y >= 0 && x < s.width() && y < s.height()) s.setPixel(int(x), int(y), c);
}

}  // namespace kelvane::gdi
