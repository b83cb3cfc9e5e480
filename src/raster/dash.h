// Dash patterns of styled pens: the on/off lengths a pen repeats along an outline, and the
// cursor that walks them pixel by pixel for one-pixel lines.
#pragma once

#include <array>
#include <cstdint>

#include "raster/objects.h"

namespace kelvane::gdi {

// Lengths alternate on, off, on, off... and always come in pairs: an odd user pattern is
// repeated once, so that its second pass swaps dashes and gaps, as the platform does.
struct DashPattern {
    std::array<uint32_t, 32> entries{};
    int count = 0;         // 0 for a solid pen
    uint64_t period = 0;   // sum of the entries

    bool solid() const { return count == 0; }
    bool isOn(int entry) const { return entry % 2 == 0; }
    // The entry holding position x of the period (0 <= x < period) and the length left in it.
    // Entries of no length hold no position, so they are never returned.
    void locate(uint64_t x, int& entry, uint64_t& left) const;
};

// The pattern of a one-pixel pen: CreatePen's dash, dot, dash-dot and dash-dot-dot, the
// alternate style, or a user style (whose units are three pixels for cosmetic pens).
DashPattern cosmeticPattern(const PenObject& pen);
// The pattern of a geometric pen: the standard styles scale with the width (a dash is three
// widths, a gap one), user styles are taken as given.
DashPattern geometricPattern(const PenObject& pen);

// A position in a pattern, advanced one pixel at a time (or many at once, for pixels clipped
// away).
class PixelDash {
public:
    explicit PixelDash(const DashPattern& pattern);
    bool on() const { return m_on; }
    void step() {
        if (m_pattern->solid() || --m_left > 0) return;
        next();
    }
    void skip(uint64_t pixels);

private:
    void next();
    const DashPattern* m_pattern;
    int m_entry = 0;
    uint64_t m_left = 0;
    bool m_on = true;
};

// Paints the pixels of a one-pixel outline with a pen: dashes in the pen colour, gaps left alone
// or, for CreatePen's styles under the opaque background mode, painted in the background colour.
// The lines of one outline share it, so that the pattern runs on from each line to the next.
class StyledPixels {
public:
    StyledPixels(const DeviceContext& dc, const PenObject& pen, const DashPattern& pattern);
    StyledPixels(const StyledPixels&) = delete;  // the cursor points into the pattern it holds
    StyledPixels& operator=(const StyledPixels&) = delete;
    bool solid() const { return m_pattern.solid(); }
    COLORREF colour() const { return m_colour; }
    PixelDash& dash() { return m_dash; }
    // The colour for the pixel at the cursor, or false when it is left alone.
    bool colourNow(COLORREF& c) const {
        if (m_dash.on()) return c = m_colour, true;
        if (m_gapFilled) return c = m_gap, true;
        return false;
    }

private:
    DashPattern m_pattern;
    PixelDash m_dash;
    COLORREF m_colour;
    COLORREF m_gap;
    bool m_gapFilled;
};

}  // namespace kelvane::gdi
