// Bit copies between contexts: BitBlt and StretchBlt with source copy, in every stretch mode.
#include "raster/objects.h"
#include "raster/stretch.h"
#include "raster/trace.h"

namespace kelvane::gdi {

namespace {

void traceCopy(HDC dest, const Surface& from, int x, int y, int width, int height, int xSrc,
               int ySrc, int srcWidth, int srcHeight) {
    Trace* t = traceOf(dest);
    if (!t) return;
    // The source goes into the script as a picture of its own; its coordinates stay the same.
    const std::string file = t->asset(from, 0, 0, from.width(), from.height());
    t->line("stretch_from %s %d %d %d %d %d %d %d %d", file.c_str(), x, y, width, height, xSrc, ySrc,
            srcWidth, srcHeight);
}

}  // namespace

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc,
                int srcWidth, int srcHeight, DWORD rop) {
    if (rop != SRCCOPY || !dest || !src) return 0;
    Surface* to = surfaceOf(dest);
    const Surface* from = surfaceOf(src);
    if (!to || !from) return 1;
    traceCopy(dest, *from, x, y, width, height, xSrc, ySrc, srcWidth, srcHeight);
    StretchRequest rq;
    rq.src = from;
    rq.dst = to;
    rq.mode = dest->stretchMode;
    rq.singlePixelDropsLast = true;
    // Copies that miss the source or the destination draw nothing and still succeed.
    if (!planAxis(x, width, xSrc, srcWidth, from->width(), to->width(), rq.x) ||
        !planAxis(y, height, ySrc, srcHeight, from->height(), to->height(), rq.y))
        return 1;
    stretchPixels(rq);
    return 1;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop) {
    // A copy of equal extents; negative extents select the same pixels without mirroring.
    return StretchBlt(dest, x, y, width, height, src, xSrc, ySrc, width, height, rop);
}

}  // namespace kelvane::gdi
