// One-pixel lines with the platform's pixel choice and end-point exclusion, solid or styled.
#pragma once

#include "raster/dash.h"
#include "raster/surface.h"

namespace kelvane::gdi {

// Draws the pixels of the line from (x0, y0) towards (x1, y1), the end point excluded.
void drawCosmeticLine(Surface& s, long x0, long y0, long x1, long y1, COLORREF c);

// The same pixels through a styled pen: its pattern advances one step per pixel of the line,
// clipped pixels included, and goes on into the next line drawn with the same pen.
void drawStyledLine(Surface& s, long x0, long y0, long x1, long y1, StyledPixels& pen);

}  // namespace kelvane::gdi
