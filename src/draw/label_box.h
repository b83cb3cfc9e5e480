// The box behind a value or percentage label: a surface of the colour assumed to lie beneath the
// text, tinted with a colour at an opacity and painted over the canvas, and its one-pixel frame.
#pragma once

#include <cstdint>

#include "kelvane/gdi.h"
#include "kelvane/runtime.h"

namespace kelvane {

// Each of red, green and blue lowered by 50, floored at 0: the shade of sides and walls.
Colour Darkened(Colour c);

// Paints the box around the text extent (left, top)..(right, bottom) grown by bx and by on each
// side: `beneath` tinted by `tint` at `opacity` percent. A box that cannot be made (an empty or
// negative side, or beyond the largest surface) leaves the canvas unchanged; only its part on the
// canvas is made, so that the work follows what can be seen, not the text's size.
void PaintLabelBox(gdi::HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t bx, int32_t by,
                   Colour beneath, Colour tint, int32_t opacity);

// Outlines the same box with the current pen, down the left side, along the bottom, up the right
// side and back along the top.
void FrameLabelBox(gdi::HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t bx, int32_t by);

}  // namespace kelvane
