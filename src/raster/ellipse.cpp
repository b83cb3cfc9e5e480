// Ellipses: the brush fills each row between the outline's leftmost and rightmost pixels (the
// outline itself included, so dash gaps show the brush), then the pen strokes the outline polygon.
// Boxes two pixels wide or high or less are drawn as rectangles, as the platform does.
#include <algorithm>
#include <numbers>
#include <vector>

#include "raster/arc.h"
#include "raster/brush_paint.h"
#include "raster/ellipse_outline.h"
#include "raster/figure_fill.h"
#include "raster/objects.h"
#include "raster/path.h"
#include "raster/stroke.h"

namespace kelvane::gdi {

namespace {

void fillOutline(Surface& s, const BrushPainter& painter, const EllipseOutline& outline,
                 const EllipseBox& box) {
    if (!painter.visible()) return;
    if (!outline.exact) {
        fillFigures(s, painter, outline.points, std::vector<int>{int(outline.size())}, ALTERNATE);
        return;
    }
    const long rowFrom = std::max(box.top, 0L), rowTo = std::min(box.bottom, long(s.height()));
    std::vector<RowSpan> spans;
    outlineRowSpans(outline, rowFrom, rowTo, spans);
    for (long y = rowFrom; y < rowTo; ++y) {
        const RowSpan& r = spans[size_t(y - rowFrom)];
        const long x0 = std::max(r.x0, 0L), x1 = std::min(r.x1 + 1, long(s.width()));
        if (x0 < x1) painter.span(s, y, x0, x1);
    }
}

// The outline's vertices without repeats, as the pen strokes them: backwards from the last one
// (the right end of the middle row, going up), which is where a styled pen's pattern starts.
void strokeOutline(HDC dc, const EllipseOutline& outline) {
    std::vector<POINT> points;
    points.reserve(outline.size());
    for (size_t i = outline.size(); i-- > 0;) {
        const POINT& p = outline.points[i];
        if (points.empty() || points.back().x != p.x || points.back().y != p.y) points.push_back(p);
    }
    while (points.size() > 1 && points.back().x == points.front().x &&
           points.back().y == points.front().y)
        points.pop_back();
    strokePolyline(dc, points.data(), int(points.size()), true);
}

}  // namespace

BOOL Ellipse(HDC dc, int left, int top, int right, int bottom) {
    if (!dc) return 0;
    if (Trace* t = traceOf(dc)) t->line("ellipse %d %d %d %d", left, top, right, bottom);
    EllipseBox box = EllipseBox::ordered(left, top, right, bottom);
    if (recordingPath(dc)) {
        // A closed figure of four quarter-turn Bézier pieces from the left end, in the arc
        // direction. (The reference renderer's curves differ by a pixel here and there.)
        if (box.width() < 1 || box.height() < 1) return 1;
        const bool ccw = dc->arcDirection != AD_CLOCKWISE;
        const double a0 = std::numbers::pi, a1 = ccw ? a0 - 2 * std::numbers::pi : a0 + 2 * std::numbers::pi;
        std::vector<POINT> curve;
        arcBeziersBetween(box, a0, a1, ccw, curve);
        pathStartFigure(dc, curve[0]);
        pathBezierTo(dc, curve.data() + 1, int(curve.size()) - 1);
        CloseFigure(dc);
        pathMoveTo(dc);
        return 1;
    }
    const PenObject* pen = dc->pen;
    if (pen && pen->style == PS_INSIDEFRAME && pen->width > 1) {
        // The pen's whole width stays inside the box.
        box.left += pen->width / 2;
        box.top += pen->width / 2;
        box.right -= (pen->width - 1) / 2;
        box.bottom -= (pen->width - 1) / 2;
    }
    // Too thin for a curve (after pulling an inside-frame pen in): the rectangle's pixels.
    if (box.width() <= 2 || box.height() <= 2) return Rectangle(dc, left, top, right, bottom);
    Surface* s = surfaceOf(dc);
    if (!s) return 1;
    const long margin = long(pen && pen->style != PS_NULL ? std::max(pen->width, 1) : 0) + 2;
    const RECT window{LONG(-margin), LONG(-margin), LONG(s->width() + margin),
                      LONG(s->height() + margin)};
    EllipseOutline outline;
    buildEllipseOutline(box, window, outline);
    fillOutline(*s, BrushPainter(*dc, dc->brush), outline, box);
    strokeOutline(dc, outline);
    return 1;
}

}  // namespace kelvane::gdi
