// Blending one device context's pixels into another by an opacity, with one source colour left
// out as transparent: how pictures are placed on the canvas.
#pragma once

#include <cstdint>

#include "kelvane/gdi.h"
#include "kelvane/runtime.h"

namespace kelvane {

// Mixes the w x h block at (sx, sy) of src into (dx, dy) of dest. Opacity 255 copies, 0 (or an
// empty block) does nothing. With useKey non-zero, source pixels whose red, green and blue equal
// the key's (a 0x00BBGGRR colour) leave the destination as it is.
void BlendBitmap(gdi::HDC dest, int32_t dx, int32_t dy, int32_t w, int32_t h, gdi::HDC src, int32_t sx,
                 int32_t sy, uint8_t opacity, Colour key, int32_t useKey);

// One 0x00RRGGBB destination pixel d mixed with source pixel s: (255 - a) / 255 of d plus
// a / 255 of s per channel, in doubles. Red and green are rounded while still in place in the
// 32-bit value and then masked, which rounds them down; blue rounds to nearest, ties to even.
uint32_t BlendPixel(uint32_t d, uint32_t s, uint8_t a);

}  // namespace kelvane
