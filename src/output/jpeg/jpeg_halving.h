// The half-size chrominance picture of the default sampling, averaged straight from the canvas:
// the same pixels as a halftone StretchBlt of the rectangle to half its size, without the stretch's
// general machinery.
#pragma once

#include <cstdint>

#include <span>

#include "kelvane/gdi.h"
#include "output/jpeg/jpeg_blocks.h"
#include "raster/surface.h"
#include "runtime/spare_blocks.h"

namespace kelvane::jpeg {

// The pixels a source context draws from, when a halftone stretch of its (left, top, 2 width,
// 2 height) rectangle to width x height is an exact 2 x 2 average: the rectangle lies inside a
// 24- or 32-bit surface. Null otherwise.
const gdi::Surface* halvableSource(gdi::HDC source, int32_t left, int32_t top, int64_t width, int64_t height);

// The rectangle's pixels in place, when a copy of it into a 24-bit bitmap would give the same bytes:
// the rectangle lies inside a 24-bit surface. An empty view (no rows) otherwise.
PixelView copyableView(gdi::HDC source, int32_t left, int32_t top, int32_t width, int32_t height);

// The width x height picture (24-bit, blue, green, red, rows from the top, no padding) whose
// pixels are the rounded means of the 2 x 2 source pixels at (left + 2x, top + 2y); null when
// memory is short.
spare::Block halvePixels(const gdi::Surface& source, int32_t left, int32_t top, int32_t width,
                         int32_t height);

// Rows [firstRow, firstRow + rows) of that picture, written rowBytes = 3 width apart from `out`.
void halveRows(const gdi::Surface& source, int32_t left, int32_t top, int32_t width, int32_t firstRow,
               int32_t rows, uint8_t* out);

// How many rows of the half-size picture are averaged and transformed at a time: a band that stays
// in cache between the two steps (a multiple of 8).
int32_t halvedBandRows(int32_t width);

// The planes transformPlanes makes of the half-size picture, made band by band (bandRows, a
// multiple of 8, at a time) so that the whole half-size picture is never held. False when memory
// is short.
bool transformHalved(const gdi::Surface& source, int32_t left, int32_t top, int32_t width, int32_t height,
                     int32_t paddedWidth, int32_t paddedHeight, std::span<const PlaneJob> jobs,
                     int32_t bandRows);

}  // namespace kelvane::jpeg
