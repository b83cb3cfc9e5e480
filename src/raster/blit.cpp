// Bit copies between contexts: BitBlt and StretchBlt with source copy.
#include <algorithm>
#include <cmath>
#include <vector>

#include "raster/objects.h"
#include "raster/pixel_copy.h"

namespace kelvane::gdi {

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop) {
    if (rop != SRCCOPY || !dest || !src) return 0;
    Surface* to = surfaceOf(dest);
    const Surface* from = surfaceOf(src);
    if (!to || !from) return to != nullptr || dest->bitmap != nullptr;
    int dx = x, dy = y, sx = xSrc, sy = ySrc, w = width, h = height;
    if (clipCopy(dx, dy, sx, sy, w, h, from->width(), from->height(), to->width(), to->height()))
        copyPixels(*from, sx, sy, *to, dx, dy, w, h);
    return 1;
}

namespace {

struct Axis {
    int destStart, destLength;  // destination pixels, in drawing order
    int srcStart, srcLength;    // source pixels; a negative length mirrors
};

// Source pixel sampled for destination index i along one axis (nearest neighbour).
int nearestSource(const Axis& a, int i) {
    const long long span = std::llabs(a.srcLength);
    const long long offset = (2LL * i + 1) * span / (2LL * a.destLength);
    return a.srcLength >= 0 ? int(a.srcStart + offset) : int(a.srcStart - 1 - offset);
}

// The colour covering the source area that maps onto one destination pixel, averaged by area.
COLORREF averageArea(const Surface& src, double x0, double x1, double y0, double y1) {
    if (x0 > x1) std::swap(x0, x1);
    if (y0 > y1) std::swap(y0, y1);
    double r = 0, g = 0, b = 0, total = 0;
    for (int sy = int(std::floor(y0)); sy < int(std::ceil(y1)); ++sy) {
        const double wy = std::min(y1, sy + 1.0) - std::max(y0, double(sy));
        if (wy <= 0 || sy < 0 || sy >= src.height()) continue;
        for (int sx = int(std::floor(x0)); sx < int(std::ceil(x1)); ++sx) {
            const double wx = std::min(x1, sx + 1.0) - std::max(x0, double(sx));
            if (wx <= 0 || sx < 0 || sx >= src.width()) continue;
            const COLORREF c = src.pixel(sx, sy);
            const double weight = wx * wy;
            r += weight * GetRValue(c);
            g += weight * GetGValue(c);
            b += weight * GetBValue(c);
            total += weight;
        }
    }
    if (total <= 0) return 0;
    auto channel = [&](double v) { return BYTE(std::lround(std::clamp(v / total, 0.0, 255.0))); };
    return RGB(channel(r), channel(g), channel(b));
}

}  // namespace

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc,
                int srcWidth, int srcHeight, DWORD rop) {
    if (rop != SRCCOPY || !dest || !src) return 0;
    Surface* to = surfaceOf(dest);
    const Surface* from = surfaceOf(src);
    if (!to || !from) return 1;
    if (width == 0 || height == 0 || srcWidth == 0 || srcHeight == 0) return 0;
    if (width == srcWidth && height == srcHeight && width > 0 && height > 0)
        return BitBlt(dest, x, y, width, height, src, xSrc, ySrc, rop);
    // A negative destination size mirrors just like a negative source size; fold it into the
    // source so that destination pixels always run left to right, top to bottom.
    Axis ax{x, width, xSrc, srcWidth}, ay{y, height, ySrc, srcHeight};
    for (Axis* a : {&ax, &ay}) {
        if (a->destLength < 0) {
            a->destStart += a->destLength;
            a->destLength = -a->destLength;
            a->srcStart += a->srcLength;
            a->srcLength = -a->srcLength;
        }
    }
    const bool halftone = dest->stretchMode == HALFTONE;
    const int i0 = std::max(0, -ax.destStart), i1 = std::min(ax.destLength, to->width() - ax.destStart);
    const int j0 = std::max(0, -ay.destStart), j1 = std::min(ay.destLength, to->height() - ay.destStart);
    if (i0 >= i1 || j0 >= j1) return 1;
    std::vector<int> columns(size_t(i1 - i0));
    for (int i = i0; i < i1; ++i) columns[size_t(i - i0)] = nearestSource(ax, i);
    const double sxScale = double(ax.srcLength) / ax.destLength;
    const double syScale = double(ay.srcLength) / ay.destLength;
    for (int j = j0; j < j1; ++j) {
        const int dy = ay.destStart + j;
        const int sy = nearestSource(ay, j);
        for (int i = i0; i < i1; ++i) {
            const int dx = ax.destStart + i;
            if (halftone) {
                const double fx0 = ax.srcStart + i * sxScale, fx1 = ax.srcStart + (i + 1) * sxScale;
                const double fy0 = ay.srcStart + j * syScale, fy1 = ay.srcStart + (j + 1) * syScale;
                to->setPixel(dx, dy, averageArea(*from, fx0, fx1, fy0, fy1));
                continue;
            }
            const int sx = columns[size_t(i - i0)];
            if (from->contains(sx, sy)) to->setPixel(dx, dy, from->pixel(sx, sy));
        }
    }
    return 1;
}

}  // namespace kelvane::gdi
