// One-pixel lines. The pixel on the minor axis is the nearest to the ideal line; where two are
// equally near, the platform takes the one with the smaller coordinate, whatever the direction.
// Each pixel is computed from its step index, so only the visible steps are visited. Also the
// calls that draw lines from the current position: MoveToEx, LineTo, Polyline, PolylineTo.
#include "raster/line.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

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

// Calls skip(k) for runs of steps whose major coordinate is off the surface and visit(x, y)
// for the others, in drawing order; returns without a call for a line of no length.
template <class Skip, class Visit>
void walkLine(const Surface& s, long x0, long y0, long x1, long y1, Skip&& skip, Visit&& visit) {
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
    if (first > last) {
        skip(n);
        return;
    }
    skip(first);
    for (long i = first; i <= last; ++i) {
        const long major = major0 + i * step;
        const long minor = minor0 + minorOffset(i, minorDelta, n);
        if (xMajor) visit(major, minor);
        else visit(minor, major);
    }
    skip(n - 1 - last);
}

}  // namespace

void drawCosmeticLine(Surface& s, long x0, long y0, long x1, long y1, COLORREF c) {
    walkLine(s, x0, y0, x1, y1, [](long) {}, [&](long x, long y) { plot(s, x, y, c); });
}

void drawStyledLine(Surface& s, long x0, long y0, long x1, long y1, StyledPixels& pen) {
    PixelDash& dash = pen.dash();
    walkLine(
        s, x0, y0, x1, y1, [&](long n) { dash.skip(uint64_t(n)); },
        [&](long x, long y) {
            COLORREF c;
            if (pen.colourNow(c)) plot(s, x, y, c);
            dash.step();
        });
}

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous) {
    if (!dc) return 0;
    if (Trace* t = traceOf(dc)) t->line("moveto %d %d", x, y);
    if (previous) *previous = dc->position;
    if (recordingPath(dc)) pathMoveTo(dc);
    dc->position = POINT{x, y};
    return 1;
}

BOOL LineTo(HDC dc, int x, int y) {
    if (!dc) return 0;
    if (Trace* t = traceOf(dc)) t->line("lineto %d %d", x, y);
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

BOOL Polyline(HDC dc, const POINT* points, int count) {
    if (!dc || !points || count < 2) return 0;
    if (Trace* t = traceOf(dc)) t->points("polyline", points, count);
    if (recordingPath(dc)) {
        // A figure of its own, from the first point; the current position stays where it was,
        // and the next line starts a figure there.
        pathStartFigure(dc, points[0]);
        for (int i = 1; i < count; ++i) pathLineTo(dc, points[i]);
        pathMoveTo(dc);
        return 1;
    }
    strokePolyline(dc, points, count, false);
    return 1;
}

BOOL PolylineTo(HDC dc, const POINT* points, int count) {
    if (!dc || !points || count < 1) return 0;
    if (Trace* t = traceOf(dc)) t->points("polylineto", points, count);
    if (recordingPath(dc)) {
        for (int i = 0; i < count; ++i) {
            pathLineTo(dc, points[i]);
            dc->position = points[i];
        }
        return 1;
    }
    // One outline from the current position: joins at every point and one run of the pattern.
    std::vector<POINT> outline;
    outline.reserve(size_t(count) + 1);
    outline.push_back(dc->position);
    outline.insert(outline.end(), points, points + count);
    strokePolyline(dc, outline.data(), int(outline.size()), false);
    dc->position = points[count - 1];
    return 1;
}

}  // namespace kelvane::gdi
