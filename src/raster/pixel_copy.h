// Copies rectangles of pixels between surfaces of any depth, converting through RGB.
#pragma once

#include "raster/surface.h"

namespace kelvane::gdi {

// Copies the w x h block at (sx, sy) of src to (dx, dy) of dst. Both rectangles must already lie
// inside their surfaces. Equal formats copy bytes; others convert each pixel.
void copyPixels(const Surface& src, int sx, int sy, Surface& dst, int dx, int dy, int w, int h);

// Clips a copy of w x h from (sx, sy) in a source of sw x sh to (dx, dy) in a destination of
// dw x dh; false when nothing is left.
bool clipCopy(int& dx, int& dy, int& sx, int& sy, int& w, int& h, int sw, int sh, int dw, int dh);

}  // namespace kelvane::gdi
