// Closed figures recorded into a context's path, as Polygon and Rectangle record them.
#pragma once

#include "raster/objects.h"

namespace kelvane::gdi {

// Adds the points as one closed figure; the current position stays where it was and a line added
// next starts a new figure there.
void recordClosedFigure(DeviceContext& dc, const POINT* points, int count);

}  // namespace kelvane::gdi
