// Paints spans with a brush as a context holds it: solid colour, hatch (gaps in the background
// colour when the background mode is opaque) or DIB pattern aligned to the brush origin.
#pragma once

#include "raster/objects.h"
#include "raster/region.h"

namespace kelvane::gdi {

class BrushPainter {
public:
    BrushPainter(const DeviceContext& dc, const BrushObject* brush);
    // False for the null brush (or none): nothing would be painted.
    bool visible() const { return m_brush && m_brush->style != BS_NULL; }
    // Paints [x0, x1) of row y; the span must lie inside the surface.
    void span(Surface& s, long y, long x0, long x1) const;
    void box(Surface& s, long left, long top, long right, long bottom) const;
    void region(Surface& s, const Region& r) const;

private:
    const BrushObject* m_brush;
    POINT m_origin;
    bool m_opaque;
    COLORREF m_background;
};

}  // namespace kelvane::gdi
