// BlendBitmap and BlendPixel: both blocks are copied out as 32-bit rows, mixed pixel by pixel
// and written back. Only the part inside the destination is worked on, in bands of rows, so that
// memory stays bounded whatever the picture's size or position.
#include "draw/blend.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "draw/drawing_area.h"
#include "raster/gdi_handles.h"

namespace kelvane {

using namespace gdi;

namespace {

// About 4 MiB in each of the two pixel arrays.
constexpr int64_t kBandPixels = int64_t{1} << 20;

// 32 bits per pixel, bottom-up rows: 0x00RRGGBB values.
BITMAPINFO rgb32Info(int32_t width, int32_t height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

struct Mix {
    uint8_t opacity;
    bool useKey;
    uint32_t keyPixel;  // the key as 0x00RRGGBB
};

// One band: both blocks into bitmaps compatible with the destination, read as 32-bit pixels,
// mixed, and the destination block written back.
void blendBlock(HDC dest, int32_t dx, int32_t dy, int32_t w, int32_t h, HDC src, int32_t sx, int32_t sy,
                const Mix& mix, std::vector<uint32_t>& under, std::vector<uint32_t>& over) {
    const OwnedDC underDC(CreateCompatibleDC(src)), overDC(CreateCompatibleDC(src));
    const Owned<HBITMAP> underBits(CreateCompatibleBitmap(dest, w, h)), overBits(CreateCompatibleBitmap(dest, w, h));
    if (!underDC || !overDC || !underBits || !overBits) return;
    const Selection selectUnder(underDC.get(), underBits.get()), selectOver(overDC.get(), overBits.get());
    BitBlt(underDC.get(), 0, 0, w, h, dest, dx, dy, SRCCOPY);
    BitBlt(overDC.get(), 0, 0, w, h, src, sx, sy, SRCCOPY);
    BITMAPINFO info = rgb32Info(w, h);
    GetDIBits(underDC.get(), underBits.get(), 0, UINT(h), under.data(), &info, DIB_RGB_COLORS);
    info = rgb32Info(w, h);
    GetDIBits(overDC.get(), overBits.get(), 0, UINT(h), over.data(), &info, DIB_RGB_COLORS);
    const size_t n = size_t(w) * size_t(h);
    for (size_t i = 0; i < n; ++i) {
        if (mix.useKey && (over[i] & 0xFFFFFF) == mix.keyPixel) continue;
        under[i] = BlendPixel(under[i], over[i], mix.opacity);
    }
    info = rgb32Info(w, h);
    SetDIBitsToDevice(dest, dx, dy, DWORD(w), DWORD(h), 0, 0, 0, UINT(h), under.data(), &info, DIB_RGB_COLORS);
}

// A source coordinate moved by the clipping. Bitmaps are at most 32767 pixels a side and so is
// the clipped block, so a block starting beyond 2^24 either way lies wholly outside the source
// wherever exactly it starts; pinning it there keeps the copies' arithmetic far from overflow.
int32_t shifted(int32_t v, int64_t by) {
    constexpr int64_t kFar = int64_t{1} << 24;
    return int32_t(std::clamp<int64_t>(int64_t(v) + by, -kFar, kFar));
}

}  // namespace

void BlendBitmap(HDC dest, int32_t dx, int32_t dy, int32_t w, int32_t h, HDC src, int32_t sx, int32_t sy,
                 uint8_t opacity, Colour key, int32_t useKey) {
    if (opacity == 0 || w <= 0 || h <= 0) return;
    int32_t areaW = 0, areaH = 0;
    if (!dest || !DrawingArea(dest, areaW, areaH)) return;
    // Pixels outside the destination are never written back, so they need not be mixed.
    const int64_t x0 = std::max<int64_t>(dx, 0), y0 = std::max<int64_t>(dy, 0);
    const int64_t x1 = std::min<int64_t>(int64_t(dx) + w, areaW), y1 = std::min<int64_t>(int64_t(dy) + h, areaH);
    if (x0 >= x1 || y0 >= y1) return;
    const int32_t cw = int32_t(x1 - x0), ch = int32_t(y1 - y0);
    const int32_t csx = shifted(sx, x0 - dx), csy = shifted(sy, y0 - dy);

    const COLORREF k = COLORREF(key);
    const Mix mix{opacity, useKey != 0, uint32_t(GetRValue(k)) << 16 | uint32_t(GetGValue(k)) << 8 | GetBValue(k)};
    const int32_t band = int32_t(std::clamp<int64_t>(kBandPixels / cw, 1, ch));
    std::vector<uint32_t> under(size_t(cw) * size_t(band)), over(under.size());
    for (int32_t row = 0; row < ch; row += band) {
        const int32_t rows = std::min(band, ch - row);
        blendBlock(dest, int32_t(x0), int32_t(y0) + row, cw, rows, src, csx, csy + row, mix, under, over);
    }
}

uint32_t BlendPixel(uint32_t d, uint32_t s, uint8_t a) {
    if (a == 0) return d;
    if (a == 255) return s;
    const double keep = double(255 - a) / 255, take = double(a) / 255;
    auto inPlace = [&](uint32_t mask) {
        const double v = keep * double(d & mask) + take * double(s & mask);
        return uint32_t(int64_t(std::nearbyint(v))) & mask;
    };
    const double blue = keep * double(d & 0xFF) + take * double(s & 0xFF);
    return inPlace(0xFF0000) | inPlace(0xFF00) | uint32_t(std::nearbyint(blue));
}

}  // namespace kelvane
