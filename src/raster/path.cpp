// Path recording and its use: lines and curves recorded between BeginPath and EndPath become
// figures, which FillPath fills as polygons (every figure closed), StrokePath strokes as they are
// and StrokeAndFillPath fills and then strokes with every figure closed.
#include "raster/path.h"

#include "raster/bezier.h"
#include "raster/brush_paint.h"
#include "raster/deferred_paint.h"
#include "raster/figure_fill.h"
#include "raster/objects.h"
#include "raster/stroke.h"

namespace kelvane::gdi {

BOOL BeginPath(HDC dc) {
    if (!dc) return 0;
    if (Trace* t = traceOf(dc)) t->line("beginpath");
    dc->path.clear();
    dc->path.state = PathState::Open;
    return 1;
}

BOOL EndPath(HDC dc) {
    if (Trace* t = traceOf(dc)) t->line("endpath");
    if (!dc || dc->path.state != PathState::Open) return 0;
    dc->path.state = PathState::Closed;
    return 1;
}

BOOL AbortPath(HDC dc) {
    if (!dc) return 0;
    if (Trace* t = traceOf(dc)) t->line("abortpath");
    dc->path.clear();
    return 1;
}

BOOL CloseFigure(HDC dc) {
    if (Trace* t = traceOf(dc)) t->line("closefigure");
    if (!dc || dc->path.state != PathState::Open || dc->path.types.empty()) return 0;
    dc->path.types.back() |= PT_CLOSEFIGURE;
    dc->path.newFigure = true;
    // The next figure starts where this one's last point is, not at its first point and not at
    // the current position (which an ArcTo leaves on the ideal ellipse).
    dc->path.startAtLastPoint = true;
    return 1;
}

namespace {

enum class PathUse { Fill, Stroke, StrokeAndFill };

// The figures of a path as flattenPath makes them, each Bézier piece kept whole: calls
// line(from, to) and curve(p0, c1, c2, p3) in order, and done(first, last, points, closed) at the
// end of each figure; `points` is the number flattenPath gives the figure when that is below 2,
// else 2 or more (a figure with a line or a curve has at least two).
template <class Line, class Curve, class Done>
void eachDeferredFigure(const PathData& path, Line&& line, Curve&& curve, Done&& done) {
    const size_t n = path.points.size();
    POINT first{}, last{};
    int points = 0;
    bool closed = false, open = false;
    for (size_t i = 0; i < n; ++i) {
        const uint8_t kind = path.types[i] & uint8_t(~PT_CLOSEFIGURE);
        if (kind == PT_MOVETO || !open) {
            if (open) done(first, last, points, closed);
            open = true;
            points = 0;
            closed = false;
        }
        if (kind == PT_BEZIERTO && i + 2 < n && points > 0) {
            curve(last, path.points[i], path.points[i + 1], path.points[i + 2]);
            last = path.points[i + 2];  // where the flattened piece ends
            ++points;
            i += 2;
        } else {
            if (points == 0) first = path.points[i];
            else line(last, path.points[i]);
            last = path.points[i];
            ++points;
        }
        if (path.types[i] & PT_CLOSEFIGURE) closed = true;
    }
    if (open) done(first, last, points, closed);
}

// FillPath, StrokePath and StrokeAndFillPath with their painting put off.
void deferPath(DeferredPaint& d, DeviceContext& dc, PathUse use) {
    auto line = [&](POINT a, POINT b) { d.segment(a, b); };
    auto curve = [&](POINT p0, POINT c1, POINT c2, POINT p3) { d.curve(p0, c1, c2, p3); };
    if (use != PathUse::Stroke && BrushPainter(dc, dc.brush).visible()) {
        // Every figure is closed; one of a single point has no edge at all.
        d.beginFill(dc.brush->colour);
        eachDeferredFigure(dc.path, line, curve, [&](POINT first, POINT last, int, bool) { d.segment(last, first); });
        d.end();
    }
    const std::optional<COLORREF> pen = strokeColour(dc);
    if (use != PathUse::Fill && pen) {
        d.beginStroke(*pen);
        eachDeferredFigure(dc.path, line, curve, [&](POINT first, POINT last, int points, bool closed) {
            if ((use == PathUse::StrokeAndFill || closed) && points > 1) d.segment(last, first);
        });
        d.end();
    }
}

BOOL usePath(HDC dc, PathUse use) {
    if (Trace* t = traceOf(dc)) {
        t->line("%s", use == PathUse::Fill ? "fillpath" : use == PathUse::Stroke ? "strokepath" : "strokeandfillpath");
    }
    if (!dc || dc->path.state != PathState::Closed) return 0;
    if (DeferredPaint* d = deferredPaintOf(dc, surfaceOf(dc))) {
        if ((use == PathUse::Stroke || (deferrableFill(*dc) && dc->polyFillMode == ALTERNATE)) &&
            (use == PathUse::Fill || deferrableStroke(*dc))) {
            deferPath(*d, *dc, use);
            dc->path.clear();
            return 1;
        }
        d->flush();
    }
    PathFigures figures;
    flattenPath(dc->path, figures);
    dc->path.clear();
    if (use != PathUse::Stroke) {
        if (Surface* s = surfaceOf(dc))
            fillFigures(*s, BrushPainter(*dc, dc->brush), figures.points, figures.counts,
                        dc->polyFillMode);
    }
    if (use != PathUse::Fill) {
        size_t start = 0;
        for (size_t i = 0; i < figures.counts.size(); ++i) {
            strokePolyline(dc, figures.points.data() + start, figures.counts[i],
                           use == PathUse::StrokeAndFill || figures.closed[i]);
            start += size_t(figures.counts[i]);
        }
    }
    return 1;
}

}  // namespace

BOOL FillPath(HDC dc) { return usePath(dc, PathUse::Fill); }
BOOL StrokePath(HDC dc) { return usePath(dc, PathUse::Stroke); }
BOOL StrokeAndFillPath(HDC dc) { return usePath(dc, PathUse::StrokeAndFill); }

bool recordingPath(const DeviceContext* dc) { return dc && dc->path.state == PathState::Open; }

namespace {

void startFigureIfNeeded(DeviceContext* dc) {
    PathData& path = dc->path;
    if (!path.newFigure) return;
    const POINT start = path.startAtLastPoint && !path.points.empty() ? path.points.back() : dc->position;
    path.points.push_back(start);
    path.types.push_back(PT_MOVETO);
    path.newFigure = false;
    path.startAtLastPoint = false;
}

}  // namespace

void pathLineTo(DeviceContext* dc, POINT p) {
    startFigureIfNeeded(dc);
    dc->path.points.push_back(p);
    dc->path.types.push_back(PT_LINETO);
}

void pathBezierTo(DeviceContext* dc, const POINT* points, int count) {
    startFigureIfNeeded(dc);
    for (int i = 0; i + 2 < count; i += 3) {
        for (int k = 0; k < 3; ++k) {
            dc->path.points.push_back(points[i + k]);
            dc->path.types.push_back(PT_BEZIERTO);
        }
    }
}

void pathStartFigure(DeviceContext* dc, POINT p) {
    dc->path.points.push_back(p);
    dc->path.types.push_back(PT_MOVETO);
    dc->path.newFigure = false;
    dc->path.startAtLastPoint = false;
}

void pathMoveTo(DeviceContext* dc) {
    dc->path.newFigure = true;
    dc->path.startAtLastPoint = false;
}

void flattenPath(const PathData& path, PathFigures& figures) {
    figures.points.clear();
    figures.counts.clear();
    figures.closed.clear();
    const size_t n = path.points.size();
    for (size_t i = 0; i < n; ++i) {
        const uint8_t kind = path.types[i] & uint8_t(~PT_CLOSEFIGURE);
        if (kind == PT_MOVETO || figures.counts.empty()) {
            figures.counts.push_back(0);
            figures.closed.push_back(false);
        }
        if (kind == PT_BEZIERTO && i + 2 < n && figures.counts.back() > 0) {
            const size_t before = figures.points.size();
            flattenBezier(figures.points.back(), path.points[i], path.points[i + 1],
                          path.points[i + 2], figures.points);
            figures.counts.back() += int(figures.points.size() - before);
            i += 2;
        } else {
            figures.points.push_back(path.points[i]);
            ++figures.counts.back();
        }
        if (path.types[i] & PT_CLOSEFIGURE) figures.closed.back() = true;
    }
}

}  // namespace kelvane::gdi
