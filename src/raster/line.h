// Cosmetic (one-pixel) lines with the platform's pixel choice and end-point exclusion.
#pragma once

#include "raster/surface.h"

namespace kelvane::gdi {

// Draws the pixels of the line from (x0, y0) towards (x1, y1), the end point excluded.
void drawCosmeticLine(Surface& s, long x0, long y0, long x1, long y1, COLORREF c);

}  // namespace kelvane::gdi
