// The chart's canvas: a memory context holding a 24-bit bottom-up DIB section.
#pragma once

#include <cstdint>

#include "kelvane/gdi.h"
#include "raster/dib_section.h"

namespace kelvane {

// The canvas template is a 21 x 21, 24-bit white bitmap; a requested side of 0 keeps its size.
inline constexpr int32_t kTemplateSide = 21;

class Canvas {
public:
    bool exists() const { return m_section.exists(); }
    gdi::HDC dc() const { return m_section.dc(); }
    gdi::HBITMAP bitmap() const { return m_section.bitmap(); }

    // A canvas of width x height; a side of 0 takes the template size. False (and no canvas)
    // when the size is negative, too large or memory is short. `paintedOver`: the caller covers
    // every pixel with opaque paint straight after, so the template's white is not laid.
    bool create(int32_t width, int32_t height, bool paintedOver = false);
    // Deletes the context and the section; safe to call on a released canvas.
    void release() { m_section.release(); }
    // Gives the context and section to an output that deletes them; the chart has no canvas after.
    void handOver(gdi::HDC& dc, gdi::HBITMAP& bitmap) { m_section.handOver(dc, bitmap); }

private:
    gdi::DibSection m_section;
};

}  // namespace kelvane
