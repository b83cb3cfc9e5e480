// 2 x 2 averaging of a canvas rectangle, rounded as the halftone stretch rounds: (sum + 2) / 4
// for each byte.
#include "output/jpeg_halving.h"

#include "raster/objects.h"

namespace kelvane::jpeg {

const gdi::Surface* halvableSource(gdi::HDC source, int32_t left, int32_t top, int64_t width, int64_t height) {
    const gdi::Surface* surface = gdi::surfaceOf(source);
    if (!surface || (surface->bpp() != 24 && surface->bpp() != 32)) return nullptr;
    if (width <= 0 || height <= 0 || left < 0 || top < 0) return nullptr;
    if (left + 2 * width > surface->width() || top + 2 * height > surface->height()) return nullptr;
    return surface;
}

PixelView copyableView(gdi::HDC source, int32_t left, int32_t top, int32_t width, int32_t height) {
    const gdi::Surface* surface = gdi::surfaceOf(source);
    if (!surface || surface->bpp() != 24 || width <= 0 || height <= 0 || left < 0 || top < 0) return {};
    if (int64_t{left} + width > surface->width() || int64_t{top} + height > surface->height()) return {};
    const ptrdiff_t stride = surface->topDown() ? surface->stride() : -ptrdiff_t(surface->stride());
    return {surface->row(top) + size_t(left) * 3, stride, width, height};
}

void halveRows(const gdi::Surface& source, int32_t left, int32_t top, int32_t width, int32_t firstRow,
               int32_t rows, uint8_t* out) {
    const size_t step = size_t(source.bpp() / 8);
    const size_t rowBytes = size_t(width) * 3;
    for (int32_t y = firstRow; y < firstRow + rows; ++y) {
        const uint8_t* a = source.row(top + 2 * y) + size_t(left) * step;
        const uint8_t* b = source.row(top + 2 * y + 1) + size_t(left) * step;
        uint8_t* to = out + size_t(y - firstRow) * rowBytes;
        for (int32_t x = 0; x < width; ++x, a += 2 * step, b += 2 * step, to += 3)
            for (size_t k = 0; k < 3; ++k)
                to[k] = uint8_t((unsigned(a[k]) + a[step + k] + b[k] + b[step + k] + 2) / 4);
    }
}

spare::Block halvePixels(const gdi::Surface& source, int32_t left, int32_t top, int32_t width,
                         int32_t height) {
    spare::Block out(spare::take(size_t(width) * 3 * size_t(height), false));  // every byte is written
    if (out) halveRows(source, left, top, width, 0, height, out.get());
    return out;
}

}  // namespace kelvane::jpeg
