// Building the dash pattern of a pen and walking it pixel by pixel.
#include "raster/dash.h"

#include <algorithm>
#include <initializer_list>

namespace kelvane::gdi {

namespace {

DashPattern make(std::initializer_list<uint64_t> lengths, uint64_t scale) {
    DashPattern p;
    for (uint64_t l : lengths) p.entries[size_t(p.count++)] = uint32_t(std::min<uint64_t>(l * scale, 0xFFFFFFFFu));
    return p;
}

// Repeats an odd pattern once, then totals it. A pattern without any length draws as solid.
DashPattern finish(DashPattern p) {
    if (p.count % 2) {
        for (int i = 0; i < p.count; ++i) p.entries[size_t(p.count + i)] = p.entries[size_t(i)];
        p.count *= 2;
    }
    p.period = 0;
    for (int i = 0; i < p.count; ++i) p.period += p.entries[size_t(i)];
    if (p.period == 0) p.count = 0;
    return p;
}

DashPattern userPattern(const PenObject& pen, uint64_t scale) {
    DashPattern p;
    for (DWORD d : pen.userStyle) {
        if (p.count == 16) break;
        p.entries[size_t(p.count++)] = uint32_t(std::min<uint64_t>(uint64_t(d) * scale, 0xFFFFFFFFu));
    }
    return p;
}

}  // namespace

void DashPattern::locate(uint64_t x, int& entry, uint64_t& left) const {
    uint64_t start = 0;
    for (int i = 0; i < count; ++i) {
        const uint64_t end = start + entries[size_t(i)];
        if (x < end) {
            entry = i;
            left = end - x;
            return;
        }
        start = end;
    }
    entry = 0;  // x outside the period: callers reduce it first
    left = entries[0];
}

DashPattern cosmeticPattern(const PenObject& pen) {
    switch (pen.style) {
    case PS_DASH: return finish(make({18, 6}, 1));
    case PS_DOT: return finish(make({3, 3}, 1));
    case PS_DASHDOT: return finish(make({9, 6, 3, 6}, 1));
    case PS_DASHDOTDOT: return finish(make({9, 3, 3, 3, 3, 3}, 1));
    case PS_ALTERNATE: return finish(make({1, 1}, 1));
    case PS_USERSTYLE: return finish(userPattern(pen, 3));
    default: return DashPattern();
    }
}

DashPattern geometricPattern(const PenObject& pen) {
    const uint64_t w = uint64_t(std::max(pen.width, 1));
    DashPattern p;
    switch (pen.style) {
    case PS_DASH: p = make({3, 1}, w); break;
    case PS_DOT: p = make({1, 1}, w); break;
    case PS_DASHDOT: p = make({3, 1, 1, 1}, w); break;
    case PS_DASHDOTDOT: p = make({3, 1, 1, 1, 1, 1}, w); break;
    case PS_USERSTYLE: return finish(userPattern(pen, 1));
    default: return DashPattern();
    }
    // Round and square caps reach half a width past each end of a wide dash: the standard
    // styles give that width back to the gaps, so that dots become caps alone.
    if (pen.width > 1 && pen.endCap != PS_ENDCAP_FLAT)
        for (int i = 0; i < p.count; ++i) {
            const uint64_t e = p.entries[size_t(i)];
            p.entries[size_t(i)] = uint32_t(i % 2 ? std::min<uint64_t>(e + w, 0xFFFFFFFFu) : (e > w ? e - w : 0));
        }
    return finish(p);
}

PixelDash::PixelDash(const DashPattern& pattern) : m_pattern(&pattern) {
    if (pattern.solid()) return;
    pattern.locate(0, m_entry, m_left);
    m_on = pattern.isOn(m_entry);
}

void PixelDash::next() {
    // Entries of no length are passed over: they neither draw nor leave a gap.
    do {
        m_entry = (m_entry + 1) % m_pattern->count;
        m_left = m_pattern->entries[size_t(m_entry)];
    } while (m_left == 0);
    m_on = m_pattern->isOn(m_entry);
}

void PixelDash::skip(uint64_t pixels) {
    if (m_pattern->solid() || pixels == 0) return;
    if (pixels < m_left) {
        m_left -= pixels;
        return;
    }
    // Position within the period, then the entry holding it.
    const uint64_t used = m_pattern->entries[size_t(m_entry)] - m_left;
    uint64_t start = 0;
    for (int i = 0; i < m_entry; ++i) start += m_pattern->entries[size_t(i)];
    const uint64_t x = (start + used + pixels % m_pattern->period) % m_pattern->period;
    m_pattern->locate(x, m_entry, m_left);
    m_on = m_pattern->isOn(m_entry);
}

StyledPixels::StyledPixels(const DeviceContext& dc, const PenObject& pen, const DashPattern& pattern)
    : m_pattern(pattern),
      m_dash(m_pattern),
      m_colour(pen.colour),
      m_gap(dc.bkColour),
      // Only CreatePen's own styles fill their gaps; ExtCreatePen's never do.
      m_gapFilled(pen.kind == OBJ_PEN && dc.bkMode == OPAQUE && !pattern.solid()) {}

}  // namespace kelvane::gdi
