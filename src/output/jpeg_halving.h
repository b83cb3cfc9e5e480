// The half-size chrominance picture of the default sampling, averaged straight from the canvas:
// the same pixels as a halftone StretchBlt of the rectangle to half its size, without the stretch's
// general machinery.
#pragma once

#include <cstdint>

#include "kelvane/gdi.h"
#include "raster/surface.h"
#include "runtime/spare_blocks.h"

namespace kelvane::jpeg {

// The pixels a source context draws from, when a halftone stretch of its (left, top, 2 width,
// 2 height) rectangle to width x height is an exact 2 x 2 average: the rectangle lies inside a
// 24- or 32-bit surface. Null otherwise.
const gdi::Surface* halvableSource(gdi::HDC source, int32_t left, int32_t top, int64_t width, int64_t height);

// The width x height picture (24-bit, blue, green, red, rows from the top, no padding) whose
// pixels are the rounded means of the 2 x 2 source pixels at (left + 2x, top + 2y); null when
// memory is short.
spare::Block halvePixels(const gdi::Surface& source, int32_t left, int32_t top, int32_t width,
                                 int32_t height);

}  // namespace kelvane::jpeg
