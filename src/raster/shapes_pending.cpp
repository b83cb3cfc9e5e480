// Shapes whose platform-exact versions live in their own files; these first versions keep the
// interface complete.
#include <cmath>

#include "raster/brush_paint.h"
#include "raster/objects.h"
#include "raster/stroke.h"

namespace kelvane::gdi {

BOOL Polyline(HDC dc, const POINT* points, int count) {
    if (!dc || !points || count < 2) return 0;
    strokePolyline(dc, points, count, false);
    return 1;
}

BOOL PolylineTo(HDC dc, const POINT* points, int count) {
    if (!dc || !points || count < 1) return 0;
    for (int i = 0; i < count; ++i) LineTo(dc, points[i].x, points[i].y);
    return 1;
}

BOOL Polygon(HDC dc, const POINT* points, int count) {
    if (!dc || !points || count < 2) return 0;
    if (Surface* s = surfaceOf(dc))
        BrushPainter(*dc, dc->brush).region(*s, Region::fromPolygon(points, count, dc->polyFillMode));
    strokePolyline(dc, points, count, true);
    return 1;
}

BOOL Ellipse(HDC dc, int left, int top, int right, int bottom) {
    if (!dc) return 0;
    if (Surface* s = surfaceOf(dc))
        BrushPainter(*dc, dc->brush).region(*s, Region::fromEllipse(left, top, right, bottom));
    return 1;
}

BOOL Arc(HDC dc, int, int, int, int, int, int, int, int) { return dc ? 1 : 0; }
BOOL ArcTo(HDC dc, int, int, int, int, int, int, int xEnd, int yEnd) {
    if (!dc) return 0;
    dc->position = POINT{xEnd, yEnd};
    return 1;
}
BOOL Pie(HDC dc, int, int, int, int, int, int, int, int) { return dc ? 1 : 0; }

int StretchDIBits(HDC dc, int, int, int, int, int, int, int, int, const void*, const BITMAPINFO*,
                  UINT, DWORD) {
    return dc ? 0 : 0;
}

}  // namespace kelvane::gdi
