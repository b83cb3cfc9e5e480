// The size of what a device context draws into, for drawing code that clips its work to it.
#pragma once

#include <cstdint>

#include "kelvane/gdi.h"

namespace kelvane {

// The size of the bitmap selected into the context; false when it has none.
inline bool DrawingArea(gdi::HDC dc, int32_t& width, int32_t& height) {
    const gdi::HGDIOBJ bitmap = gdi::GetCurrentObject(dc, gdi::OBJ_BITMAP);
    gdi::BITMAP bm{};
    if (!bitmap || gdi::GetObjectA(bitmap, sizeof bm, &bm) != int(sizeof bm)) return false;
    width = bm.bmWidth;
    height = bm.bmHeight;
    return true;
}

}  // namespace kelvane
