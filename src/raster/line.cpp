// One-pixel lines. The pixel on the minor axis is the nearest to the ideal line; where two are
// equally near, the platform takes the one with the smaller coordinate, whatever the direction.
// Each pixel is computed from its step index, so only the visible steps are visited. Also the
// calls that draw lines from the current position: MoveToEx, LineTo, Polyline, PolylineTo.
#include "raster/line.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "kelvane/gdi.h"
#include "raster/deferred_paint.h"
#include "raster/line_walk.h"
#include "raster/objects.h"
#include "raster/paint.h"
#include "raster/path.h"
#include "raster/stroke.h"

namespace kelvane::gdi {

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
    if (DeferredPaint* d = deferredPaintOf(dc, surfaceOf(dc))) {
        if (deferrableStroke(*dc)) {
            if (const std::optional<COLORREF> pen = strokeColour(*dc)) {
                d->beginStroke(*pen);
                d->segment(segment[0], segment[1]);
                d->end();
            }
            dc->position = POINT{x, y};
            return 1;
        }
        d->flush();
    }
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
