// A device-independent pixel surface: 1, 4, 8, 24 or 32 bits per pixel, rows padded to 4 bytes,
// bottom-up or top-down, with a colour table for the palette depths.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "kelvane/gdi.h"
#include "runtime/spare_blocks.h"

namespace kelvane::gdi {

// Largest surface we agree to allocate: 32767 pixels a side and 1 GiB of pixels.
inline constexpr int kMaxSurfaceSide = 32767;
inline constexpr size_t kMaxSurfaceBytes = size_t{1} << 30;

class Surface {
public:
    // Zero-filled pixels; false (and an empty surface) when the size is out of range or memory
    // is short.
    bool allocate(int width, int height, int bpp, bool topDown);

    int width() const { return m_width; }
    int height() const { return m_height; }
    int bpp() const { return m_bpp; }
    int stride() const { return m_stride; }
    bool topDown() const { return m_topDown; }
    // A view over pixels owned elsewhere (the caller's DIB rows); false for an invalid format.
    bool wrap(void* bits, int width, int height, int bpp, bool topDown);

    uint8_t* bits() { return m_data; }
    const uint8_t* bits() const { return m_data; }
    size_t byteSize() const { return size_t(m_stride) * size_t(m_height); }
    bool empty() const { return !m_data; }

    std::vector<RGBQUAD>& colours() { return m_colours; }
    const std::vector<RGBQUAD>& colours() const { return m_colours; }

    // Row y counted from the top of the picture.
    uint8_t* row(int y) { return m_data + size_t(m_topDown ? y : m_height - 1 - y) * m_stride; }
    const uint8_t* row(int y) const {
        return m_data + size_t(m_topDown ? y : m_height - 1 - y) * m_stride;
    }

    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }
    COLORREF pixel(int x, int y) const;  // the colour of (x, y); no bounds check
    void setPixel(int x, int y, COLORREF c);
    // Fills [x0, x1) of row y with c; the span must lie inside the surface.
    void fillSpan(int y, int x0, int x1, COLORREF c);
    // The stored value that best represents c (palette index or packed pixel).
    uint32_t encode(COLORREF c) const;

    static int strideFor(int width, int bpp) { return ((width * bpp + 31) / 32) * 4; }

private:
    int m_width = 0, m_height = 0, m_bpp = 0, m_stride = 0;
    bool m_topDown = false;
    uint8_t* m_data = nullptr;
    spare::Block m_owned;  // this thread's spare blocks, reused by later surfaces
    std::vector<RGBQUAD> m_colours;
};

}  // namespace kelvane::gdi
