// The line-mode pens of the chart: geometric pens with flat caps, bevel joins and one of six
// dash patterns, selected into the canvas for the length of one drawing call.
#pragma once

#include <cstdint>

#include "kelvane/gdi.h"
#include "kelvane/runtime.h"

namespace kelvane {

// Dash, gap, dash, gap lengths in canvas pixels, whatever the pen width, by line mode 0..5.
inline constexpr gdi::DWORD kLineModePatterns[6][4] = {
    {1, 0, 0, 0},    // 0 continuous
    {2, 4, 2, 4},    // 1 dotted
    {8, 8, 8, 8},    // 2 evenly dashed
    {8, 4, 2, 4},    // 3 dash-dot
    {8, 4, 4, 4},    // 4 dash, short dash
    {16, 8, 4, 8},   // 5 long dash, short dash
};

// Geometric, bevel joins, flat caps, user style.
inline constexpr gdi::DWORD kLinePenStyle = 0x00011207;

// The pen of a line mode; a mode outside 0..5 raises error 9 before anything is created.
gdi::HPEN CreateLinePen(int32_t width, Colour colour, int16_t mode);

// Creates and selects the pen; a mode outside 0..5 raises error 9 before anything is created.
// The displaced pen is selected back and the pen deleted when the object goes out of scope.
class LinePen {
public:
    LinePen(gdi::HDC dc, int32_t width, Colour colour, int16_t mode);
    ~LinePen();
    LinePen(const LinePen&) = delete;
    LinePen& operator=(const LinePen&) = delete;

private:
    gdi::HDC m_dc;
    gdi::HPEN m_pen = nullptr;
    gdi::HGDIOBJ m_previous = nullptr;
};

}  // namespace kelvane
