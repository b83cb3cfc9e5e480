// DIB sections, compatible bitmaps, colour tables, and reading/writing rows in DIB layout.
#include <algorithm>
#include <cstring>

#include "raster/objects.h"
#include "raster/pixel_copy.h"

namespace kelvane::gdi {

namespace {

bool supportedDepth(int bpp) { return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24 || bpp == 32; }

// Number of colour-table entries that follow a header.
size_t tableEntries(const BITMAPINFOHEADER& h) {
    if (h.biBitCount > 8) return 0;
    const size_t full = size_t{1} << h.biBitCount;
    return h.biClrUsed && h.biClrUsed < full ? h.biClrUsed : full;
}

// A surface over the caller's rows as the header describes them.
bool viewOf(const BITMAPINFO* info, const void* bits, Surface& view) {
    if (!info || !bits) return false;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biCompression != BI_RGB || h.biWidth <= 0 ||
        h.biHeight == 0 || h.biHeight == INT32_MIN || !supportedDepth(h.biBitCount))
        return false;
    const int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    if (!view.wrap(const_cast<void*>(bits), h.biWidth, height, h.biBitCount, h.biHeight < 0))
        return false;
    const size_t n = tableEntries(h);
    for (size_t i = 0; i < n; ++i) view.colours()[i] = info->bmiColors[i];
    return true;
}

}  // namespace

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, void* section,
                         DWORD) {
    if (bits) *bits = nullptr;
    if (!info || section || usage != DIB_RGB_COLORS) return nullptr;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biCompression != BI_RGB || h.biPlanes != 1 ||
        h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN ||
        !supportedDepth(h.biBitCount))
        return nullptr;
    auto* bitmap = new BitmapObject();
    bitmap->dibSection = true;
    const int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    if (!bitmap->surface.allocate(h.biWidth, height, h.biBitCount, h.biHeight < 0)) {
        delete bitmap;
        return nullptr;
    }
    const size_t n = tableEntries(h);
    for (size_t i = 0; i < n; ++i) bitmap->surface.colours()[i] = info->bmiColors[i];
    if (bits) *bits = bitmap->surface.bits();
    return bitmap;
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    // Without a context the screen decides (32 bits); a fresh memory context still holds the
    // monochrome stock bitmap, so its compatible bitmaps are monochrome, as on the platform.
    int bpp = 32;
    const std::vector<RGBQUAD>* table = nullptr;
    if (dc && dc->bitmap) {
        bpp = dc->bitmap->surface.bpp();
        table = &dc->bitmap->surface.colours();
    }
    auto* bitmap = new BitmapObject();
    if (!bitmap->surface.allocate(width, height, bpp, true)) {
        delete bitmap;
        return nullptr;
    }
    if (table && bpp <= 8) bitmap->surface.colours() = *table;
    return bitmap;
}

UINT GetDIBColorTable(HDC dc, UINT start, UINT count, RGBQUAD* colours) {
    const Surface* s = surfaceOf(dc);
    if (!s || s->bpp() > 8 || !colours || start >= s->colours().size()) return 0;
    const UINT n = std::min<UINT>(count, UINT(s->colours().size()) - start);
    std::copy_n(s->colours().begin() + start, n, colours);
    return n;
}

UINT SetDIBColorTable(HDC dc, UINT start, UINT count, const RGBQUAD* colours) {
    Surface* s = surfaceOf(dc);
    if (!s || s->bpp() > 8 || !colours || start >= s->colours().size()) return 0;
    const UINT n = std::min<UINT>(count, UINT(s->colours().size()) - start);
    std::copy_n(colours, n, s->colours().begin() + start);
    return n;
}

int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info,
              UINT usage) {
    if (!dc || !bitmap || !info || usage != DIB_RGB_COLORS) return 0;
    BitmapObject* object = asBitmap(bitmap);
    if (!object || object->surface.empty()) return 0;
    const Surface& src = object->surface;
    BITMAPINFOHEADER& h = info->bmiHeader;
    if (!bits && h.biBitCount == 0) {
        // Query: describe the bitmap in the caller's header.
        h.biWidth = src.width();
        h.biHeight = src.height();
        h.biPlanes = 1;
        h.biBitCount = WORD(src.bpp());
        h.biCompression = BI_RGB;
        h.biSizeImage = DWORD(src.byteSize());
        return 1;
    }
    if (!bits) return 0;
    Surface dst;
    if (!viewOf(info, bits, dst)) return 0;
    if (dst.bpp() <= 8) {
        // Palette targets receive the bitmap's own table when it has one of the same size.
        if (src.bpp() == dst.bpp()) dst.colours() = src.colours();
        std::copy(dst.colours().begin(), dst.colours().end(), info->bmiColors);
    }
    // Scan lines count from the bottom of the picture.
    const int height = src.height();
    if (start >= UINT(height)) return 0;
    const int count = int(std::min<UINT>(lines, UINT(height) - start));
    const int width = std::min(src.width(), dst.width());
    int copied = 0;
    for (int i = 0; i < count; ++i) {
        const int srcRow = height - 1 - (int(start) + i);
        // The i-th line returned is the i-th row from the bottom of the caller's buffer.
        const int dstRow = dst.height() - 1 - i;
        if (dstRow < 0) break;
        copyPixels(src, 0, srcRow, dst, 0, dstRow, width, 1);
        ++copied;
    }
    return copied;
}

int SetDIBitsToDevice(HDC dc, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc,
                      UINT startScan, UINT lines, const void* bits, const BITMAPINFO* info,
                      UINT usage) {
    Surface* dst = surfaceOf(dc);
    if (!dst || usage != DIB_RGB_COLORS || width > DWORD(kMaxSurfaceSide) ||
        height > DWORD(kMaxSurfaceSide))
        return 0;
    Surface src;
    if (!viewOf(info, bits, src)) return 0;
    const int fullHeight = src.height();
    if (src.topDown()) {
        // Top-down rows: the buffer holds the whole picture and the source y counts from the top.
        int dx = xDest, dy = yDest, sx = xSrc, sy = ySrc, w = int(width), h = int(height);
        if (!clipCopy(dx, dy, sx, sy, w, h, src.width(), fullHeight, dst->width(), dst->height()))
            return 0;
        copyPixels(src, sx, sy, *dst, dx, dy, w, h);
        return fullHeight;
    }
    // Bottom-up rows: the buffer holds scan lines startScan .. startScan + lines - 1 (counted
    // from the bottom), and the source rectangle's y counts from the bottom of the picture.
    const int bufferLines = int(std::min<UINT>(lines, UINT(fullHeight)));
    if (bufferLines <= 0) return 0;
    Surface band;
    band.wrap(const_cast<void*>(bits), src.width(), bufferLines, src.bpp(), false);
    band.colours() = src.colours();
    for (int r = 0; r < int(height); ++r) {
        // Destination row r shows the source scan line counted from the bottom.
        const long scan = long(ySrc) + long(height) - 1 - r;
        const long inBand = scan - long(startScan);
        if (inBand < 0 || inBand >= bufferLines) continue;
        int dx = xDest, dy = yDest + r, sx = xSrc, sy = int(bufferLines - 1 - inBand);
        int w = int(width), h = 1;
        if (!clipCopy(dx, dy, sx, sy, w, h, band.width(), bufferLines, dst->width(), dst->height()))
            continue;
        copyPixels(band, sx, sy, *dst, dx, dy, w, h);
    }
    return bufferLines;
}

}  // namespace kelvane::gdi
