// Filling figures (closed polygons, several at once) the way the platform fills paths and pies:
// a pixel is inside when its top-left corner is, under the fill mode.
#pragma once

#include <vector>

#include "kelvane/gdi.h"
#include "raster/brush_paint.h"

namespace kelvane::gdi {

// The figures are consecutive runs of `points`, counts[i] points each, every one closed back to
// its first point. Only rows and columns of the surface are visited.
void fillFigures(Surface& s, const BrushPainter& painter, const std::vector<POINT>& points,
                 const std::vector<int>& counts, int fillMode);

}  // namespace kelvane::gdi
