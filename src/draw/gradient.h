// mGradient: a two-colour gradient laid over every pixel of a 32-bit surface, mixed with what is
// there by an opacity. The chart's label boxes use it with equal colours, as a uniform tint.
#pragma once

#include <cstdint>

#include "kelvane/runtime.h"
#include "raster/cdib.h"

namespace kelvane::mGradient {

// Blends the gradient from colour1 at (x1, y1) to colour2 at (x2, y2) (surface pixels, may lie
// outside it) into the surface with `opacity` percent; bands > 1 makes bands - 1 colour waves.
// A channel leaving 0..255 (opacity outside 0..100) raises error 6.
void BlendGradient(cDIB32& surface, int32_t x1, int32_t y1, int32_t x2, int32_t y2, Colour colour1,
                   Colour colour2, int32_t opacity, int32_t bands);

}  // namespace kelvane::mGradient
