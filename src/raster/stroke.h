// Pen strokes: the selected pen decides how a polyline becomes pixels.
#pragma once

#include "kelvane/gdi.h"
#include "raster/surface.h"

namespace kelvane::gdi {

// Strokes the polyline through the points with the context's pen (closing it when asked).
void strokePolyline(HDC dc, const POINT* points, int count, bool closed);

// A solid pen wider than one pixel: round caps and joins, each segment as wide as the pen.
void strokeWidePolyline(Surface& s, const POINT* points, int count, bool closed, int width,
                        COLORREF c);

}  // namespace kelvane::gdi
