// cJpeg::SampleHDC: reads a rectangle of a device context, at each component's size, into a
// working 24-bit bitmap through the raster API and hands its rows to the block transform.
#include <algorithm>
#include <climits>

#include "output/jpeg_encoder.h"
#include "raster/gdi_handles.h"

namespace kelvane {

using namespace gdi;
using namespace jpeg;

namespace {

int64_t roundUp8(int64_t v) { return (v + 7) / 8 * 8; }
int64_t ceilDiv(int64_t a, int64_t b) { return (a + b - 1) / b; }

// True when the rectangle lies inside the bitmap selected into the context, so that a copy of it
// writes every destination pixel.
bool insideSource(HDC source, int64_t left, int64_t top, int64_t width, int64_t height) {
    BITMAP bm{};
    const HGDIOBJ bitmap = source ? GetCurrentObject(source, OBJ_BITMAP) : nullptr;
    if (!bitmap || GetObjectA(bitmap, sizeof bm, &bm) == 0) return false;
    return left >= 0 && top >= 0 && left + width <= bm.bmWidth && top + height <= bm.bmHeight;
}

}  // namespace

int32_t cJpeg::SampleHDC(HDC source, int32_t Width, int32_t Height, int32_t SourceLeft, int32_t SourceTop) {
    m_precision = 8;
    // A failed sampling leaves no picture (an empty frame), never planes of some older picture.
    clearPicture();
    if (Width <= 0 || Height <= 0) return 1;
    const int64_t width8 = roundUp8(Width), height8 = roundUp8(Height);
    if (width8 > INT32_MAX || height8 > INT32_MAX) return 1;

    // The working bitmap, bottom-up: a picture drawn at its bottom-left keeps its rows first in
    // memory. Its pages are only touched where something is drawn.
    OwnedDC dc(CreateCompatibleDC(nullptr));
    if (!dc) return 1;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = int32_t(width8);
    info.bmiHeader.biHeight = int32_t(height8);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    Owned<HBITMAP> bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return 1;
    Selection selection(dc.get(), bitmap.get());
    if (!SetStretchBltMode(dc.get(), HALFTONE)) SetStretchBltMode(dc.get(), COLORONCOLOR);
    const ptrdiff_t stride = ptrdiff_t((width8 * 24 + 31) / 32 * 4);
    const int32_t bottom = int32_t(height8);
    // Row y of the bitmap (counted from the top) in memory.
    const auto row = [&](int32_t y) { return static_cast<uint8_t*>(bits) + ptrdiff_t(bottom - 1 - y) * stride; };
    const bool wholeSource = insideSource(source, SourceLeft, SourceTop, Width, Height);

    int32_t drawnWidth = -1, drawnHeight = -1;  // padded size of the current drawing
    BlockRowSource rows;
    int32_t rowWidth = 0;
    for (size_t i = 0; i < m_components.size(); ++i) {
        Component& c = m_components[i];
        const int64_t w = ceilDiv(int64_t{c.h} * Width, m_hmax);
        const int64_t h = ceilDiv(int64_t{c.v} * Height, m_vmax);
        const int32_t paddedWidth = int32_t(roundUp8(w)), paddedHeight = int32_t(roundUp8(h));
        // Components of the same padded size share one drawing (the two chrominance components).
        if (paddedWidth != drawnWidth || paddedHeight != drawnHeight) {
            drawnWidth = paddedWidth;
            drawnHeight = paddedHeight;
            const int32_t top = bottom - paddedHeight;
            if (w == Width && h == Height && wholeSource) {
                // A plain copy of pixels that all exist: eight rows at a time into the bottom rows
                // of the working bitmap, where they stay in cache while their blocks are
                // transformed. The transform repeats the last column and row into the padding.
                rowWidth = Width;
                rows = [&, h](int32_t blockRow, const uint8_t* out[8]) {
                    const int32_t first = blockRow * 8;
                    const int32_t count = int32_t(std::min<int64_t>(8, h - first));
                    BitBlt(dc.get(), 0, bottom - 8, Width, count, source, SourceLeft, SourceTop + first, SRCCOPY);
                    for (int r = 0; r < 8; ++r) out[r] = row(bottom - 8 + std::min(r, count - 1));
                };
            } else {
                // The whole drawing at the bottom-left: copied, or stretched with halftone. Where
                // the source rectangle leaves the source, nothing is drawn and what the bitmap
                // held before shows through, so the padding is drawn into the bitmap as well.
                if (w == Width && h == Height)
                    BitBlt(dc.get(), 0, top, Width, Height, source, SourceLeft, SourceTop, SRCCOPY);
                else
                    StretchBlt(dc.get(), 0, top, int(w), int(h), source, SourceLeft, SourceTop, Width, Height, SRCCOPY);
                for (int32_t x = int32_t(w); x < paddedWidth; ++x)
                    BitBlt(dc.get(), x, top, 1, int(h), dc.get(), x - 1, top, SRCCOPY);
                for (int32_t y = top + int32_t(h); y < bottom; ++y)
                    BitBlt(dc.get(), 0, y, paddedWidth, 1, dc.get(), 0, y - 1, SRCCOPY);
                rowWidth = paddedWidth;
                rows = [&, top](int32_t blockRow, const uint8_t* out[8]) {
                    for (int r = 0; r < 8; ++r) out[r] = row(top + blockRow * 8 + r);
                };
            }
        }
        const ColourComponent colour = i == 0 ? ColourComponent::Luminance
                                       : i == 1 ? ColourComponent::BlueDifference
                                                : ColourComponent::RedDifference;
        transformRows(rows, rowWidth, paddedWidth, paddedHeight, colour, m_tables[i == 0 ? 0 : 1], c.plane);
    }
    m_width = Width;
    m_height = Height;
    return 0;
}

}  // namespace kelvane
