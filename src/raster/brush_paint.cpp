// Brush painting for every brush style.
#include "raster/brush_paint.h"

#include <algorithm>

namespace kelvane::gdi {

namespace {

// Hatch patterns, 8 x 8, one byte a row, most significant bit leftmost; a set bit is the
// hatch colour.
constexpr uint8_t kHatches[6][8] = {
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x00},  // HS_HORIZONTAL
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // HS_VERTICAL
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // HS_FDIAGONAL
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // HS_BDIAGONAL
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0xFF, 0x08},  // HS_CROSS
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // HS_DIAGCROSS
};

// x mod m for any sign.
long wrap(long x, long m) {
    const long r = x % m;
    return r < 0 ? r + m : r;
}

}  // namespace

BrushPainter::BrushPainter(const DeviceContext& dc, const BrushObject* brush)
    : m_brush(brush), m_origin(dc.brushOrigin), m_opaque(dc.bkMode == OPAQUE), m_background(dc.bkColour) {}

void BrushPainter::span(Surface& s, long y, long x0, long x1) const {
    if (!visible() || x0 >= x1) return;
    switch (m_brush->style) {
    case BS_SOLID:
        s.fillSpan(int(y), int(x0), int(x1), m_brush->colour);
        return;
    case BS_HATCHED: {
        const uint8_t row = kHatches[std::clamp(m_brush->hatch, 0, 5)][wrap(y - m_origin.y, 8)];
        for (long x = x0; x < x1; ++x) {
            const bool set = (row >> (7 - wrap(x - m_origin.x, 8))) & 1;
            if (set) s.setPixel(int(x), int(y), m_brush->colour);
            else if (m_opaque) s.setPixel(int(x), int(y), m_background);
        }
        return;
    }
    case BS_DIBPATTERNPT: {
        const Surface& p = m_brush->pattern;
        if (p.empty()) return;
        const int py = int(wrap(y - m_origin.y, p.height()));
        for (long x = x0; x < x1; ++x)
            s.setPixel(int(x), int(y), p.pixel(int(wrap(x - m_origin.x, p.width())), py));
        return;
    }
    default:
        return;
    }
}

void BrushPainter::box(Surface& s, long left, long top, long right, long bottom) const {
    const long l = std::max(left, 0L), r = std::min(right, long(s.width()));
    const long t = std::max(top, 0L), b = std::min(bottom, long(s.height()));
    if (l >= r) return;
    for (long y = t; y < b; ++y) span(s, y, l, r);
}

void BrushPainter::region(Surface& s, const Region& r) const {
    if (!visible()) return;
    r.forEachSpan(s.width(), s.height(), [&](long y, long x0, long x1) { span(s, y, x0, x1); });
}

}  // namespace kelvane::gdi
