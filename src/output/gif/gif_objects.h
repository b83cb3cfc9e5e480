// mGlobal: the objects of one GIF output, from the canvas picture to the 8-bit picture and its
// palette that the GIF writers take.
#pragma once

#include <cstdint>

#include "kelvane/runtime.h"
#include "output/palette/pal8bpp.h"
#include "raster/cdib.h"

namespace kelvane::mGlobal {

struct GifObjects {
    cDIB source;  // the canvas picture, 32 bits per pixel
    cDIB dib8;    // its reduction to 8 bits per pixel
    cPal8bpp palette;
    // Nothing asks for a transparent colour; the writers get -1 unless this is set.
    VBBool transparent = kFalse;
    uint8_t transparentIndex = 0;

    int16_t writerTransparentIndex() const { return transparent != kFalse ? transparentIndex : -1; }
};

// Reduces the source to the 8-bit picture and palette by this thread's modes; false when the
// source holds no 32-bit picture or memory is short (the 8-bit picture then stays empty).
bool PrepareGifDIB(GifObjects& objects);

// Drops the pictures and empties the palette.
void ReleaseGifObjects(GifObjects& objects);

}  // namespace kelvane::mGlobal
