// DIB sections, compatible bitmaps, colour tables, and rows in DIB layout: GetDIBits,
// SetDIBitsToDevice and StretchDIBits.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "raster/objects.h"
#include "raster/pixel_copy.h"
#include "raster/stretch.h"
#include "raster/trace.h"

namespace kelvane::gdi {

namespace {

bool supportedDepth(int bpp) { return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24 || bpp == 32; }

// Number of colour-table entries that follow a header.
size_t tableEntries(const BITMAPINFOHEADER& h) {
    if (h.biBitCount > 8) return 0;
    const size_t full = size_t{1} << h.biBitCount;
    return h.biClrUsed && h.biClrUsed < full ? h.biClrUsed : full;
}

bool validHeader(const BITMAPINFOHEADER& h) {
    return h.biSize >= sizeof(BITMAPINFOHEADER) && h.biCompression == BI_RGB && h.biWidth > 0 &&
           h.biHeight != 0 && h.biHeight != INT32_MIN && supportedDepth(h.biBitCount);
}

int heightOf(const BITMAPINFOHEADER& h) { return h.biHeight < 0 ? -h.biHeight : h.biHeight; }

// The colour table that follows a header (which may be longer than BITMAPINFOHEADER).
const RGBQUAD* tableOf(const BITMAPINFO* info) {
    return reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const uint8_t*>(info) +
                                            info->bmiHeader.biSize);
}
RGBQUAD* tableOf(BITMAPINFO* info) {
    return reinterpret_cast<RGBQUAD*>(reinterpret_cast<uint8_t*>(info) + info->bmiHeader.biSize);
}

// A surface over `rows` rows of the caller's pixels in the header's format and orientation.
bool viewOf(const BITMAPINFO* info, const void* bits, int rows, Surface& view) {
    if (!info || !bits || !validHeader(info->bmiHeader)) return false;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (!view.wrap(const_cast<void*>(bits), h.biWidth, rows, h.biBitCount, h.biHeight < 0)) return false;
    const size_t n = tableEntries(h);
    std::copy_n(tableOf(info), n, view.colours().begin());
    return true;
}

}  // namespace

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, void* section,
                         DWORD) {
    if (bits) *bits = nullptr;
    if (!info || section || usage != DIB_RGB_COLORS) return nullptr;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (!validHeader(h) || h.biPlanes != 1) return nullptr;
    auto* bitmap = new BitmapObject();
    bitmap->dibSection = true;
    if (!bitmap->surface.allocate(h.biWidth, heightOf(h), h.biBitCount, h.biHeight < 0)) {
        delete bitmap;
        return nullptr;
    }
    std::copy_n(tableOf(info), tableEntries(h), bitmap->surface.colours().begin());
    if (bits) *bits = bitmap->surface.bits();
    return bitmap;
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    if (width < 0 || height < 0) return nullptr;
    // An empty size gives the 1 x 1 monochrome bitmap, as on the platform.
    if (width == 0 || height == 0) return stockObject(DEFAULT_BITMAP);
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

// Scan lines are numbered in the caller's row order: from the bottom of the picture for
// bottom-up layouts, from the top for top-down ones. The buffer holds `lines` rows starting with
// scan line `start`. Palette layouts are served for the bitmap's own depth, with its table.
int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info,
              UINT usage) {
    if (!dc || !bitmap || !info || usage != DIB_RGB_COLORS) return 0;
    BitmapObject* object = asBitmap(bitmap);
    if (!object || object->surface.empty()) return 0;
    const Surface& src = object->surface;
    BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER)) return 0;
    if (h.biBitCount == 0) {
        if (bits) return 0;
        // Query: describe the bitmap in the caller's header.
        h.biWidth = src.width();
        h.biHeight = src.height();
        h.biPlanes = 1;
        h.biBitCount = WORD(src.bpp());
        h.biCompression = BI_RGB;
        h.biSizeImage = DWORD(src.byteSize());
        return 1;
    }
    if (!validHeader(h)) return 0;
    if (h.biBitCount <= 8) {
        if (h.biBitCount != src.bpp()) return 0;
        std::copy(src.colours().begin(), src.colours().end(), tableOf(info));
    }
    const int64_t height = src.height();
    if (!bits) {
        h.biSizeImage = DWORD(size_t(Surface::strideFor(h.biWidth, h.biBitCount)) * size_t(heightOf(h)));
        return 1;
    }
    const int64_t first = start, last = std::min<int64_t>(int64_t(start) + lines, height);
    if (first >= last) return 0;
    const int count = int(last - first);
    Surface band;
    if (!viewOf(info, bits, count, band)) return 0;
    if (h.biBitCount <= 8) band.colours() = src.colours();
    // Scan line k of the caller is bitmap row k (top-down) or height - 1 - k (bottom-up); the band
    // view counts its rows from its own top, so the band is one block of the bitmap either way.
    const bool bottomUp = h.biHeight > 0;
    const int firstRow = int(bottomUp ? height - first - count : first);
    copyPixels(src, 0, firstRow, band, 0, 0, std::min(src.width(), band.width()), count);
    return count;
}

// The source rectangle's y counts from the bottom of a bottom-up picture (its lower-left corner
// is the origin) and from the top of a top-down one; the buffer holds `lines` scan lines from
// `startScan`, numbered the same way. The picture lands upright at (xDest, yDest).
int SetDIBitsToDevice(HDC dc, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc,
                      UINT startScan, UINT lines, const void* bits, const BITMAPINFO* info,
                      UINT usage) {
    if (!dc || usage != DIB_RGB_COLORS || !info || !bits || !validHeader(info->bmiHeader)) return 0;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    const int64_t fullHeight = heightOf(h);
    const int64_t first = startScan, last = std::min<int64_t>(int64_t(startScan) + lines, fullHeight);
    if (first >= last) return 0;
    const int count = int(last - first);
    Surface* dst = surfaceOf(dc);
    if (!dst) return count;
    Surface band;
    if (!viewOf(info, bits, count, band)) return 0;
    const bool bottomUp = h.biHeight > 0;
    const int64_t w = width, hgt = height;
    // Source scan lines [s0, s1) that are in the rectangle, the buffer and the picture.
    const int64_t s0 = std::max<int64_t>({int64_t(ySrc), first, 0});
    const int64_t s1 = std::min<int64_t>({int64_t(ySrc) + hgt, last, fullHeight});
    // Source columns [c0, c1) likewise, then both trimmed to the destination.
    int64_t c0 = std::max<int64_t>(xSrc, 0), c1 = std::min<int64_t>(int64_t(xSrc) + w, h.biWidth);
    const int64_t dxOffset = int64_t(xDest) - xSrc;
    c0 = std::max(c0, -dxOffset);
    c1 = std::min(c1, int64_t(dst->width()) - dxOffset);
    if (c0 >= c1 || s0 >= s1) return count;
    // Destination row of scan line k is bandRow(k) + offset, where the band view counts its rows
    // from its own top: one block copy.
    const int64_t offset = bottomUp ? int64_t(yDest) + ySrc + hgt - count - first
                                    : int64_t(yDest) + first - ySrc;
    auto bandRow = [&](int64_t k) { return bottomUp ? count - 1 - (k - first) : k - first; };
    int64_t r0 = std::min(bandRow(s0), bandRow(s1 - 1)), r1 = std::max(bandRow(s0), bandRow(s1 - 1)) + 1;
    r0 = std::max(r0, -offset);
    r1 = std::min(r1, int64_t(dst->height()) - offset);
    if (r0 < r1) {
        const int x = int(c0 + dxOffset), y = int(r0 + offset), cw = int(c1 - c0), ch = int(r1 - r0);
        copyPixels(band, int(c0), int(r0), *dst, x, y, cw, ch);
        // Traced as its effect: the rectangle it wrote, copied in from a picture.
        if (Trace* t = traceOf(dc)) {
            t->line("stretchmode %d", COLORONCOLOR);
            t->line("stretch_from %s %d %d %d %d", t->asset(*dst, x, y, cw, ch).c_str(), x, y, cw, ch);
            t->line("stretchmode %d", dc->stretchMode);
        }
    }
    return count;
}

int StretchDIBits(HDC dc, int x, int y, int width, int height, int xSrc, int ySrc, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop) {
    if (!dc || rop != SRCCOPY || usage != DIB_RGB_COLORS || !info || !bits ||
        !validHeader(info->bmiHeader))
        return 0;
    if (srcWidth == 0 || srcHeight == 0) return 0;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    const int64_t pictureHeight = heightOf(h);
    Surface src;
    if (!viewOf(info, bits, int(pictureHeight), src)) return 0;
    // The number of source rows; INT_MIN has no negation in int, so it counts as INT_MAX.
    const int result = int(std::min<int64_t>(std::llabs(int64_t(srcHeight)), INT32_MAX));
    // The source y counts from the bottom of the picture, for top-down pictures too; only a
    // straight copy (equal extents) of a top-down picture from its origin counts from the top,
    // as the reference renderer does.
    const bool straight = width == srcWidth && height == srcHeight;
    const bool fromTop = straight && src.topDown() && xSrc == 0 && ySrc == 0;
    int64_t sy = ySrc;
    if (!fromTop) {
        sy = pictureHeight - ySrc - srcHeight;
        if (srcHeight < 0 && sy > 0) {
            // A mirrored source hanging over an edge of the picture is moved back inside (unless
            // its origin row is at or below the bottom edge).
            const int64_t low = sy + srcHeight + 1, high = sy + 1;
            if (high > pictureHeight && low < pictureHeight) sy -= high - pictureHeight;
            else if (low < 0 && high > 0) sy -= low;
        }
    }
    // A source entirely outside the picture is an error; an empty destination is not.
    const int64_t sxLow = srcWidth > 0 ? xSrc : int64_t(xSrc) + srcWidth + 1;
    const int64_t syLow = srcHeight > 0 ? sy : sy + srcHeight + 1;
    const int64_t sw = srcWidth < 0 ? -int64_t(srcWidth) : srcWidth;
    const int64_t sh = srcHeight < 0 ? -int64_t(srcHeight) : srcHeight;
    if (sxLow >= src.width() || sxLow + sw <= 0 || syLow >= pictureHeight || syLow + sh <= 0) return 0;
    Surface* to = surfaceOf(dc);
    if (!to) return result;
    if (Trace* t = traceOf(dc)) {
        const std::string file = t->asset(src, 0, 0, src.width(), src.height());
        // The picture is written bottom-up, where the source y always counts from the bottom.
        t->line("stretchdib_from %s %d %d %d %d %d %d %d %d", file.c_str(), x, y, width, height, xSrc,
                fromTop ? int(pictureHeight - srcHeight) : ySrc, srcWidth,
                srcHeight);
    }
    StretchRequest rq;
    rq.src = &src;
    rq.dst = to;
    rq.mode = dc->stretchMode;
    if (!planAxis(x, width, xSrc, srcWidth, src.width(), to->width(), rq.x) ||
        !planAxis(y, height, sy, srcHeight, src.height(), to->height(), rq.y))
        return result;
    stretchPixels(rq);
    return result;
}

}  // namespace kelvane::gdi
