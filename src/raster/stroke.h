// Pen strokes: the selected pen decides how an outline becomes pixels.
#pragma once

#include "kelvane/gdi.h"
#include "raster/objects.h"
#include "raster/surface.h"

namespace kelvane::gdi {

// Strokes the polyline through the points with the context's pen (closing it when asked). The
// pen's pattern starts afresh at the first point and runs on through the whole outline.
void strokePolyline(HDC dc, const POINT* points, int count, bool closed);

// Pens wider than one pixel: segment bodies, joins and caps, dashed or solid.
void strokeWidePolyline(Surface& s, const PenObject& pen, const POINT* points, int count, bool closed);

// How far from its outline a wide pen's stroke can paint (miter joins reach five widths): parts
// of the outline further than this beyond an edge of the surface are not painted at all.
int64_t wideStrokeReach(int64_t width);

}  // namespace kelvane::gdi
