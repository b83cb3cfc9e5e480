// Rectangles: the brush fills the interior, the pen strokes the outline through the corners
// (left, top) and (right - 1, bottom - 1); right and bottom edges are exclusive. Without a pen the
// filled area is one pixel smaller on the right and bottom, as on the platform.
#include <utility>

#include "raster/brush_paint.h"
#include "raster/objects.h"
#include "raster/paint.h"
#include "raster/stroke.h"

namespace kelvane::gdi {

namespace {

void fillWithBrush(Surface& s, const DeviceContext& dc, const BrushObject* brush, long l, long t,
                   long r, long b) {
    BrushPainter(dc, brush).box(s, l, t, r, b);
}

}  // namespace

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
    if (!dc) return 0;
    long l = left, t = top, r = right, b = bottom;
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    Surface* s = surfaceOf(dc);
    if (!s || l == r || t == b) return 1;
    const PenObject* pen = dc->pen;
    if (!pen || pen->style == PS_NULL) {
        fillWithBrush(*s, *dc, dc->brush, l, t, r - 1, b - 1);
        return 1;
    }
    fillWithBrush(*s, *dc, dc->brush, l + 1, t + 1, r - 1, b - 1);
    const POINT outline[4] = {{int(l), int(t)}, {int(r - 1), int(t)}, {int(r - 1), int(b - 1)},
                              {int(l), int(b - 1)}};
    strokePolyline(dc, outline, 4, true);
    return 1;
}

BOOL FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    if (!dc || !rect || !brush) return 0;
    const BrushObject* b = asBrush(brush);
    if (!b) return 0;
    if (Surface* s = surfaceOf(dc)) fillWithBrush(*s, *dc, b, rect->left, rect->top, rect->right, rect->bottom);
    return 1;
}

int FrameRect(HDC dc, const RECT* rect, HBRUSH brush) {
    if (!dc || !rect) return 0;
    const BrushObject* b = asBrush(brush);
    if (!b) return 0;
    Surface* s = surfaceOf(dc);
    if (!s || rect->left >= rect->right || rect->top >= rect->bottom) return 1;
    const long l = rect->left, t = rect->top, r = rect->right, bt = rect->bottom;
    fillWithBrush(*s, *dc, b, l, t, r, t + 1);
    fillWithBrush(*s, *dc, b, l, bt - 1, r, bt);
    fillWithBrush(*s, *dc, b, l, t, l + 1, bt);
    fillWithBrush(*s, *dc, b, r - 1, t, r, bt);
    return 1;
}

BOOL SetRect(RECT* rect, int left, int top, int right, int bottom) {
    if (!rect) return 0;
    *rect = RECT{left, top, right, bottom};
    return 1;
}

}  // namespace kelvane::gdi
