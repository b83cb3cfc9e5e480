// The chart's canvas: a memory context holding a 24-bit bottom-up DIB section.
#pragma once

#include "kelvane/gdi.h"

namespace kelvane {

struct Canvas {
    gdi::HDC dc = nullptr;
    gdi::HBITMAP bitmap = nullptr;
    gdi::HGDIOBJ previousBitmap = nullptr;

    bool exists() const { return dc != nullptr && bitmap != nullptr; }

    // A canvas of width x height; a side of 0 takes the 21-pixel template size. False (and no
    // canvas) when the size is negative, too large or memory is short.
    bool create(int32_t width, int32_t height);
    // Deletes the context and the section; safe to call on a released canvas.
    void release();
};

}  // namespace kelvane
