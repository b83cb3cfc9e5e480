// Polygon: the brush fills the interior under the context's fill mode, then the pen strokes the
// closed outline; inside a path the outline is recorded as one closed figure instead.
#include "raster/polygon.h"

#include "raster/brush_paint.h"
#include "raster/objects.h"
#include "raster/path.h"
#include "raster/stroke.h"
#include "raster/trace.h"

namespace kelvane::gdi {

void recordClosedFigure(DeviceContext& dc, const POINT* points, int count) {
    if (count < 1) return;
    PathData& path = dc.path;
    for (int i = 0; i < count; ++i) {
        path.points.push_back(points[i]);
        path.types.push_back(i == 0 ? PT_MOVETO : PT_LINETO);
    }
    path.types.back() |= PT_CLOSEFIGURE;
    // Unlike after CloseFigure, a line added next starts at the current position.
    path.newFigure = true;
    path.startAtLastPoint = false;
}

BOOL Polygon(HDC dc, const POINT* points, int count) {
    // One point is no polygon to the platform either; two draw the line there and back.
    if (!dc || !points || count < 2) return 0;
    if (Trace* t = traceOf(dc)) t->points("polygon", points, count);
    if (recordingPath(dc)) {
        recordClosedFigure(*dc, points, count);
        return 1;
    }
    Surface* s = surfaceOf(dc);
    if (!s) return 1;
    const BrushPainter brush(*dc, dc->brush);
    if (brush.visible()) {
        const RECT surfaceBox{0, 0, s->width(), s->height()};
        brush.region(*s, Region::fromPolygon(points, count, dc->polyFillMode, surfaceBox));
    }
    strokePolyline(dc, points, count, true);
    return 1;
}

}  // namespace kelvane::gdi
