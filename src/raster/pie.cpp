// Pie wedges: the arc closed through the box's integer centre, its polygon filled with the brush
// and outlined with the pen.
#include "raster/arc.h"

namespace kelvane::gdi {

BOOL Pie(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
         int yEnd) {
    return drawArcShape(dc, ArcShape::Pie, left, top, right, bottom, xStart, yStart, xEnd, yEnd);
}

}  // namespace kelvane::gdi
