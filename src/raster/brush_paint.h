// Paints spans with a brush as a context holds it: solid colour, hatch (gaps in the background
// colour when the background mode is opaque) or DIB pattern aligned to the brush origin.
#pragma once

#include "raster/objects.h"
#include "raster/region.h"

namespace kelvane::gdi {

class BrushPainter {
public:
    // The context's selected brush keeps the background mode and colour it was first painted
    // with after its selection (the platform realises a brush once per selection); any other
    // brush, and the selected one after forgetRealizedBrush, takes the context's current ones.
    BrushPainter(const DeviceContext& dc, const BrushObject* brush);
    // False for the null brush (or none): nothing would be painted.
    bool visible() const { return m_brush && m_brush->style != BS_NULL; }
    // Paints [x0, x1) of row y; the span must lie inside the surface.
    void span(Surface& s, long y, long x0, long x1) const;
    // Paints the part of the box (right and bottom exclusive) that lies on the surface.
    void box(Surface& s, long left, long top, long right, long bottom) const;
    void region(Surface& s, const Region& r) const;

private:
    const BrushObject* m_brush;
    POINT m_origin;
    bool m_opaque;
    COLORREF m_background;
};

// Writes boxes painted with the brush to the context's trace, if it keeps one, in the reference
// renderer's script language: fillrect for a solid colour, otherwise fillrectcur with the brush
// selected for the moment.
void traceBrushBoxes(const DeviceContext& dc, const BrushObject* brush, const RECT* boxes, size_t count);

// Calls that paint with a brush of their own (FillRect, FillRgn, FrameRect) select it and then
// the previous brush again on the platform, so the selected brush is realised afresh afterwards.
inline void forgetRealizedBrush(const DeviceContext& dc) { dc.realizedBrush.brush = nullptr; }

}  // namespace kelvane::gdi
