// Rectangle copies between surfaces, with byte copies when the formats agree.
#include "raster/pixel_copy.h"

#include <algorithm>
#include <cstring>

namespace kelvane::gdi {

namespace {

bool sameFormat(const Surface& a, const Surface& b) {
    if (a.bpp() != b.bpp()) return false;
    if (a.bpp() > 8) return true;
    if (a.colours().size() != b.colours().size()) return false;
    return std::equal(a.colours().begin(), a.colours().end(), b.colours().begin(),
                      [](const RGBQUAD& p, const RGBQUAD& q) {
                          return p.rgbRed == q.rgbRed && p.rgbGreen == q.rgbGreen &&
                                 p.rgbBlue == q.rgbBlue;
                      });
}

}  // namespace

bool clipCopy(int& dx, int& dy, int& sx, int& sy, int& w, int& h, int sw, int sh, int dw, int dh) {
    // Trim against the source, then the destination, keeping both origins in step.
    auto trim = [&](int& a, int& b, int& len, int limitA, int limitB) {
        if (a < 0) { b -= a; len += a; a = 0; }
        if (b < 0) { a -= b; len += b; b = 0; }
        len = std::min({len, limitA - a, limitB - b});
    };
    if (w <= 0 || h <= 0) return false;
    trim(sx, dx, w, sw, dw);
    trim(sy, dy, h, sh, dh);
    return w > 0 && h > 0;
}

void copyPixels(const Surface& src, int sx, int sy, Surface& dst, int dx, int dy, int w, int h) {
    if (w <= 0 || h <= 0) return;
    if (sameFormat(src, dst) && src.bpp() >= 8) {
        const size_t bytesPerPixel = size_t(src.bpp() / 8);
        // Rows of the same surface may overlap; memmove keeps them intact when copied in order.
        const bool upwards = &src == &dst && dy > sy;
        for (int i = 0; i < h; ++i) {
            const int r = upwards ? h - 1 - i : i;
            std::memmove(dst.row(dy + r) + size_t(dx) * bytesPerPixel,
                         src.row(sy + r) + size_t(sx) * bytesPerPixel, size_t(w) * bytesPerPixel);
        }
        return;
    }
    const bool upwards = &src == &dst && (dy > sy || (dy == sy && dx > sx));
    for (int i = 0; i < h; ++i) {
        const int r = upwards ? h - 1 - i : i;
        for (int j = 0; j < w; ++j) {
            const int c = upwards ? w - 1 - j : j;
            dst.setPixel(dx + c, dy + r, src.pixel(sx + c, sy + r));
        }
    }
}

}  // namespace kelvane::gdi
