// The GIF byte container around the LZW data: header, logical screen, global colour table,
// the optional comment and transparency extensions, one image and the trailer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kelvane/runtime.h"

namespace kelvane {

class cDIB;
class cPal8bpp;

namespace gif {

// Whether the writers take the picture: 8 bits per pixel, pixels present, and a palette of at
// least two entries (a GIF colour table has two entries or more).
bool Writable(const cDIB& picture, const cPal8bpp& palette);

// The whole stream of a Writable picture. A transparent index of 0 or more (up to 255) or a
// comment makes it a GIF89a. The interlace flag takes effect above 4 rows; a lower picture is
// written in plain row order and says so. A side above 32767, a comment beyond 255 bytes in the
// system code page or a transparent index above 255 raise error 6.
std::vector<uint8_t> EncodeGif(const cDIB& picture, const cPal8bpp& palette, int16_t transparentIndex,
                               VBBool interlace, const std::string& comment);

}  // namespace gif

}  // namespace kelvane
