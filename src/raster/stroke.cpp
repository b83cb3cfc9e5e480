// Chooses the stroke for the selected pen: nothing for the null pen, one-pixel lines for
// cosmetic pens, filled outlines for wide pens.
#include "raster/stroke.h"

#include "raster/line.h"
#include "raster/objects.h"

namespace kelvane::gdi {

void strokePolyline(HDC dc, const POINT* points, int count, bool closed) {
    Surface* s = surfaceOf(dc);
    const PenObject* pen = dc ? dc->pen : nullptr;
    if (!s || !pen || pen->style == PS_NULL || count < 2) return;
    if (pen->width > 1) {
        strokeWidePolyline(*s, points, count, closed, pen->width, pen->colour);
        return;
    }
    for (int i = 0; i + 1 < count; ++i)
        drawCosmeticLine(*s, points[i].x, points[i].y, points[i + 1].x, points[i + 1].y, pen->colour);
    if (closed)
        drawCosmeticLine(*s, points[count - 1].x, points[count - 1].y, points[0].x, points[0].y,
                         pen->colour);
}

}  // namespace kelvane::gdi
