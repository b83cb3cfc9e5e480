// Chooses the stroke for the selected pen once per outline: nothing for the null pen, one-pixel
// lines for cosmetic pens and for geometric pens at most one pixel wide, filled pieces for wider
// pens.
#include "raster/stroke.h"

#include "raster/dash.h"
#include "raster/line.h"
#include "raster/paint.h"

namespace kelvane::gdi {

namespace {

template <class Draw>
void eachLine(const POINT* points, int count, bool closed, Draw&& draw) {
    for (int i = 0; i + 1 < count; ++i) draw(points[i], points[i + 1]);
    if (closed && count > 1) draw(points[count - 1], points[0]);
}

// Geometric pens of width 0 or 1 draw the one-pixel line too. A solid one also covers the last
// point when the outline ends on a slanted line; a styled one walks its pattern pixel by pixel
// and never fills its gaps.
void strokeThinPolyline(Surface& s, const DeviceContext& dc, const PenObject& pen, const POINT* points,
                        int count, bool closed) {
    const DashPattern pattern = geometricPattern(pen);
    if (pattern.solid()) {
        eachLine(points, count, closed, [&](POINT a, POINT b) { drawCosmeticLine(s, a.x, a.y, b.x, b.y, pen.colour); });
        // The last line that has a length decides.
        POINT a{0, 0}, b{0, 0};
        bool found = false;
        auto consider = [&](POINT p, POINT q) {
            if (p.x != q.x || p.y != q.y) a = p, b = q, found = true;
        };
        eachLine(points, count, closed, consider);
        if (found && a.x != b.x && a.y != b.y) plot(s, b.x, b.y, pen.colour);
        return;
    }
    StyledPixels styled(dc, pen, pattern);
    eachLine(points, count, closed, [&](POINT a, POINT b) { drawStyledLine(s, a.x, a.y, b.x, b.y, styled); });
}

void strokeCosmeticPolyline(Surface& s, const DeviceContext& dc, const PenObject& pen, const POINT* points,
                            int count, bool closed) {
    const DashPattern pattern = cosmeticPattern(pen);
    if (pattern.solid()) {
        eachLine(points, count, closed, [&](POINT a, POINT b) { drawCosmeticLine(s, a.x, a.y, b.x, b.y, pen.colour); });
        return;
    }
    StyledPixels styled(dc, pen, pattern);
    eachLine(points, count, closed, [&](POINT a, POINT b) { drawStyledLine(s, a.x, a.y, b.x, b.y, styled); });
}

}  // namespace

void strokePolyline(HDC dc, const POINT* points, int count, bool closed) {
    Surface* s = surfaceOf(dc);
    const PenObject* pen = dc ? dc->pen : nullptr;
    if (!s || !pen || pen->style == PS_NULL || !points || count < 1) return;
    if (pen->width > 1) strokeWidePolyline(*s, *pen, points, count, closed);
    else if (pen->geometric) strokeThinPolyline(*s, *dc, *pen, points, count, closed);
    else strokeCosmeticPolyline(*s, *dc, *pen, points, count, closed);
}

}  // namespace kelvane::gdi
