// Brush painting for every brush style: hatch patterns and their alignment to the brush origin,
// DIB patterns tiled from the brush origin, and the background of hatch gaps.
#include "raster/brush_paint.h"

#include <algorithm>

#include "raster/trace.h"

namespace kelvane::gdi {

namespace {

// Hatch patterns, 8 x 8, one byte a row, most significant bit leftmost; a set bit is the
// hatch colour. With the brush origin at 0, 0, row 0 and column 0 land on multiples of 8.
constexpr uint8_t kHatches[6][8] = {
    {0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00},  // HS_HORIZONTAL
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // HS_VERTICAL
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // HS_FDIAGONAL
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // HS_BDIAGONAL
    {0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08, 0x08},  // HS_CROSS
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // HS_DIAGCROSS
};

// x mod m for any sign.
long wrap(long x, long m) {
    const long r = x % m;
    return r < 0 ? r + m : r;
}

// The background mode and colour the brush paints its gaps with.
DeviceContext::RealizedBrush realize(const DeviceContext& dc, const BrushObject* brush) {
    if (!brush || brush != dc.brush) return {brush, dc.bkMode, dc.bkColour};
    if (dc.realizedBrush.brush != brush) dc.realizedBrush = {brush, dc.bkMode, dc.bkColour};
    return dc.realizedBrush;
}

}  // namespace

BrushPainter::BrushPainter(const DeviceContext& dc, const BrushObject* brush)
    : m_brush(brush), m_origin(dc.brushOrigin) {
    const DeviceContext::RealizedBrush r = realize(dc, brush);
    m_opaque = r.bkMode == OPAQUE;
    m_background = r.bkColour;
}

void BrushPainter::span(Surface& s, long y, long x0, long x1) const {
    if (!visible() || x0 >= x1) return;
    switch (m_brush->style) {
    case BS_SOLID:
        s.fillSpan(int(y), int(x0), int(x1), m_brush->colour);
        return;
    case BS_HATCHED: {
        const uint8_t row = kHatches[std::clamp(m_brush->hatch, 0, 5)][wrap(y - m_origin.y, 8)];
        // Runs of equal bits become one fill each: whole rows of the horizontal hatch, the
        // gaps between the lines of the others.
        long x = x0;
        long bit = wrap(x - m_origin.x, 8);
        while (x < x1) {
            const bool set = (row >> (7 - bit)) & 1;
            long end = x + 1;
            long b = (bit + 1) & 7;
            while (end < x1 && bool((row >> (7 - b)) & 1) == set) {
                ++end;
                b = (b + 1) & 7;
                if (b == bit && end - x >= 8) {  // a uniform row: the rest of the span is the same
                    end = x1;
                    break;
                }
            }
            if (set) s.fillSpan(int(y), int(x), int(end), m_brush->colour);
            else if (m_opaque) s.fillSpan(int(y), int(x), int(end), m_background);
            x = end;
            bit = b;
        }
        return;
    }
    case BS_DIBPATTERNPT: {
        const Surface& p = m_brush->pattern;
        if (p.empty()) return;
        const int py = int(wrap(y - m_origin.y, p.height()));
        int px = int(wrap(x0 - m_origin.x, p.width()));
        for (long x = x0; x < x1; ++x) {
            s.setPixel(int(x), int(y), p.pixel(px, py));
            if (++px == p.width()) px = 0;
        }
        return;
    }
    default:
        return;
    }
}

void BrushPainter::box(Surface& s, long left, long top, long right, long bottom) const {
    if (!visible()) return;
    const long l = std::max(left, 0L), r = std::min(right, long(s.width()));
    const long t = std::max(top, 0L), b = std::min(bottom, long(s.height()));
    if (l >= r) return;
    for (long y = t; y < b; ++y) span(s, y, l, r);
}

void BrushPainter::region(Surface& s, const Region& r) const {
    if (!visible()) return;
    r.forEachSpan(s.width(), s.height(), [&](long y, long x0, long x1) { span(s, y, x0, x1); });
}

void traceBrushBoxes(const DeviceContext& dc, const BrushObject* brush, const RECT* boxes, size_t count) {
    Trace* t = traceOf(&dc);
    if (!t || !brush || brush->style == BS_NULL) return;
    const bool selected = brush == dc.brush;
    if (!selected && brush->style == BS_SOLID) {
        for (size_t i = 0; i < count; ++i)
            t->line("fillrect %d %d %d %d 0x%06X", int(boxes[i].left), int(boxes[i].top), int(boxes[i].right),
                    int(boxes[i].bottom), unsigned(brush->colour & 0x00FFFFFF));
        return;
    }
    if (!selected) t->brush(brush);
    for (size_t i = 0; i < count; ++i)
        t->line("fillrectcur %d %d %d %d", int(boxes[i].left), int(boxes[i].top), int(boxes[i].right),
                int(boxes[i].bottom));
    if (!selected) t->brush(dc.brush);
}

}  // namespace kelvane::gdi
