// One-pixel lines. The pixel on the minor axis is the nearest to the ideal line; where two are
// equally near, the platform takes the one with the smaller coordinate, whatever the direction.
// Each pixel is computed from its step index, so only the visible steps are visited.
#include "raster/line.h"

#include <algorithm>
#include <cstdlib>

#include "kelvane/gdi.h"
#include "raster/objects.h"
#include "raster/paint.h"
#include "raster/path.h"
#include "raster/stroke.h"

namespace kelvane::gdi {

namespace {

// ceil(a / b) for b > 0.
__int128 ceilDiv(__int128 a, __int128 b) { return a >= 0 ? (a + b - 1) / b : -((-a) / b); }

// Minor-axis offset at step i: nearest to i * d / n, ties to the smaller value.
long minorOffset(long i, long d, long n) {
    return long(ceilDiv(__int128(2) * i * d - n, __int128(2) * n));
}

}  // namespace

void drawCosmeticLine(Surface& s, long x0, long y0, long x1, long y1, COLORREF c) {
    const long dx = x1 - x0, dy = y1 - y0;
    if (dx == 0 && dy == 0) return;
    const bool xMajor = std::labs(dx) >= std::labs(dy);
    const long n = xMajor ? std::labs(dx) : std::labs(dy);
    const long step = (xMajor ? dx : dy) > 0 ? 1 : -1;
    const long major0 = xMajor ? x0 : y0;
    const long minor0 = xMajor ? y0 : x0;
    const long minorDelta = xMajor ? dy : dx;
    const long majorLimit = xMajor ? s.width() : s.height();
    // Steps whose major coordinate lies on the surface: major0 + i * step in [0, majorLimit).
    long first, last;
    if (step > 0) {
        first = std::max(0L, -major0);
        last = std::min(n - 1, majorLimit - 1 - major0);
    } else {
        first = std::max(0L, major0 - (majorLimit - 1));
        last = std::min(n - 1, major0);
    }
    for (long i = first; i <= last; ++i) {
        const long major = major0 + i * step;
        const long minor = minor0 + minorOffset(i, minorDelta, n);
        if (xMajor) plot(s, major, minor, c);
        else plot(s, minor, major, c);
    }
}

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous) {
    if (!dc) return 0;
    if (previous) *previous = dc->position;
    if (recordingPath(dc)) pathMoveTo(dc);
    dc->position = POINT{x, y};
    return 1;
}

BOOL LineTo(HDC dc, int x, int y) {
    if (!dc) return 0;
    if (recordingPath(dc)) {
        pathLineTo(dc, POINT{x, y});
        dc->position = POINT{x, y};
        return 1;
    }
    const POINT segment[2] = {dc->position, POINT{x, y}};
    strokePolyline(dc, segment, 2, false);
    dc->position = POINT{x, y};
    return 1;
}

}  // namespace kelvane::gdi
