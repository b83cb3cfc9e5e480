// Stretched and straight copies of pixel rectangles as GDI performs them: which destination
// pixels a copy touches, which source pixels feed each of them, and how several source pixels
// that meet in one destination pixel combine under the context's stretch mode.
#pragma once

#include <cstdint>

#include "raster/surface.h"

namespace kelvane::gdi {

// One axis of a copy. Rectangles are given as origin and signed extent; a negative extent covers
// the pixels from origin + extent + 1 to origin, drawn in mirrored order.
struct AxisPlan {
    int64_t dstLow = 0, dstHigh = 0;  // the destination pixels [dstLow, dstHigh)
    int64_t srcLow = 0, srcHigh = 0;  // the source pixels [srcLow, srcHigh)
    int64_t dstExtent = 0, srcExtent = 0;  // their sizes (positive)
    bool dstMirrored = false, srcMirrored = false;
    // Where the picture lands relative to its own rectangle: non-zero when a mirrored copy is
    // trimmed at the source edge, as the reference renderer shifts such pictures.
    int64_t shift = 0;
    int visibleLow = 0, visibleHigh = 0;  // destination pixels that may be written
    int readLow = 0, readHigh = 0;        // source pixels that may be read

    bool shrinks() const { return dstExtent < srcExtent; }
    // Index (in drawing order) of destination pixel p within its rectangle; may fall outside
    // [0, dstExtent) for pixels that have no source.
    int64_t destIndex(int64_t p) const;
    // Source pixel of the index-th source position in drawing order.
    int64_t sourceAt(int64_t index) const { return srcMirrored ? srcHigh - 1 - index : srcLow + index; }
};

// Works out one axis of a copy from (dst, dstExtent) to a destination of dstLimit pixels, reading
// (src, srcExtent) from a source of srcLimit pixels. False when nothing can be drawn.
bool planAxis(int64_t dst, int64_t dstExtent, int64_t src, int64_t srcExtent, int srcLimit,
              int dstLimit, AxisPlan& plan);

struct StretchRequest {
    const Surface* src = nullptr;
    Surface* dst = nullptr;
    AxisPlan x, y;
    int mode = 1;  // BLACKONWHITE, WHITEONBLACK, COLORONCOLOR or HALFTONE
    // StretchBlt (not StretchDIBits) leaves out the last source pixel when a whole unmirrored
    // run shrinks into a single destination pixel.
    bool singlePixelDropsLast = false;
};

// Draws a planned copy. src and dst may be the same surface.
void stretchPixels(const StretchRequest& request);

// The area-averaging filter of HALFTONE mode: every destination pixel gets the mean colour of
// the source area it covers, weighted by coverage.
void halftonePixels(const Surface& src, Surface& dst, const AxisPlan& x, const AxisPlan& y);

}  // namespace kelvane::gdi
