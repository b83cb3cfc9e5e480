// mDither8bpp: reduces a 32-bit picture to an 8-bit picture and its palette, by the colour cube
// or an optimal palette, with or without a 4x4 ordered dither. The chosen modes are kept per
// thread and persist from one output to the next.
#pragma once

#include <cstdint>

namespace kelvane {

class cDIB;
class cPal8bpp;

namespace mDither8bpp {

enum PaletteMode : int32_t {
    kPaletteCube = 0,     // the 216-colour halftone cube
    kPaletteOptimal = 1,  // an octree palette of the picture
};

enum DitherMode : int32_t {
    kDitherNone = 0,
    kDitherOrdered = 1,  // 4x4 ordered dither
};

// Store the mode for this thread's later reductions; a mode not listed above raises error 5.
void SetPaletteMode(int32_t mode);
void SetDitherMode(int32_t mode);
int32_t PaletteMode();
int32_t DitherMode();

// The level of a channel value on the six-step (0, 51, ... 255) and sixteen-step (0, 17, ...
// 255) scales: the nearest step, values beyond either end taking the end level.
// (An odd step never puts a whole value half-way between two steps.)
constexpr int CubeLevel(int v) { return v <= 0 ? 0 : v >= 255 ? 5 : (2 * v + 51) / 102; }
constexpr int FineLevel(int v) { return v <= 0 ? 0 : v >= 255 ? 15 : (2 * v + 17) / 34; }

// Fills the palette by the palette mode and makes destination an 8-bit picture of the source's
// size whose pixels index it, mapped by the dither mode. False, and nothing made, when the
// source is not a 32-bit picture or the destination cannot be created.
bool ReduceTo8bpp(const cDIB& source, cDIB& destination, cPal8bpp& palette);

// Shrinks the palette to the entries the 8-bit picture uses, in their order, and renumbers the
// pixels; a picture of one colour keeps a two-entry palette.
void RemoveUnusedColours(cDIB& picture, cPal8bpp& palette);

}  // namespace mDither8bpp

}  // namespace kelvane
