// cDIBTile: fills rectangles with a picture repeated as a pattern, anchored at the rectangle's
// top-left corner. A pattern serves one fill: Tile releases it.
#pragma once

#include <cstdint>

#include "kelvane/gdi.h"
#include "raster/gdi_handles.h"
#include "raster/std_picture.h"

namespace kelvane {

class cDIBTile {
public:
    cDIBTile() = default;
    cDIBTile(const cDIBTile&) = delete;
    cDIBTile& operator=(const cDIBTile&) = delete;

    // Makes the pattern from the picture's bitmap; a picture without one leaves the current
    // pattern as it is. True when a pattern exists afterwards.
    bool SetPattern(const StdPicture& picture);
    // Fills [x1, x2) x [y1, y2) of dc with the pattern, its origin moved to (x1, y1) (and left
    // there); then releases the pattern, so a second Tile fills nothing.
    void Tile(gdi::HDC dc, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    void DestroyPattern();

    // The pattern brush SetPattern makes from the picture (null when it has no bitmap), and the
    // fill Tile makes with a brush, for patterns kept and used for many fills.
    static gdi::Owned<gdi::HBRUSH> MakePattern(const StdPicture& picture);
    static void TileWith(gdi::HDC dc, gdi::HBRUSH pattern, int32_t x1, int32_t y1, int32_t x2, int32_t y2);

private:
    gdi::Owned<gdi::HBRUSH> m_brush;
};

}  // namespace kelvane
