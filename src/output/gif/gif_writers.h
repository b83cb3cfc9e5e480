// mGIFSave and mGIFBinary: an 8-bit picture and its palette as a GIF file or a GIF byte array.
// Both build the same stream; they differ only in where it goes.
#pragma once

#include <cstdint>
#include <string>

#include "kelvane/runtime.h"
#include "kelvane/variant.h"

namespace kelvane {

class cDIB;
class cPal8bpp;

// An error a writer met, kept for the error text.
struct GifWriteError {
    int32_t number = 0;
    std::string description;
    // The system's reason when the file could not be written, also when error 75 is raised.
    std::string fileReason;
};

namespace mGIFSave {

// Writes the GIF file whole, replacing an existing file of that name only once the new one is
// complete. Refused input (not 8 bits per pixel, fewer than two palette entries) touches no
// file and returns false. A file that cannot be created raises error 75; an error while
// encoding or writing returns false, with the error in *error when given (which also receives
// the reason of a file that could not be written, before error 75 is raised).
bool SaveGIF(const std::string& FileName, const cDIB& dib, const cPal8bpp& palette,
             int16_t transparentIndex, VBBool interlace, const std::string& comment,
             GifWriteError* error = nullptr);

}  // namespace mGIFSave

namespace mGIFBinary {

// The GIF stream as a byte array; empty for refused input. Errors while encoding are raised.
Variant SaveGIFBinary(const cDIB& dib, const cPal8bpp& palette, int16_t transparentIndex,
                      VBBool interlace, const std::string& comment);

}  // namespace mGIFBinary

}  // namespace kelvane
