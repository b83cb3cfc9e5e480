// The GIF paths of the output methods: the canvas goes through an in-memory BMP and a picture
// to a 32-bit surface, is reduced to 8 bits by this thread's palette and dither modes and
// written as a file or returned as a byte array. Both delete the canvas.
#pragma once

#include <string>

#include "kelvane/runtime.h"
#include "kelvane/variant.h"

namespace kelvane {

class Canvas;
struct CubeShiftReport;

// A chart that holds a picture (pictureFlag) switches the thread to the optimal palette and the
// ordered dither; any other keeps the thread's dither mode with the colour cube. Problems are
// appended to errorText; a file that cannot be created raises error 75. The system's reason for
// a file that could not be written goes to *why, also when the error is raised. With colourCheck,
// a GIF in the colour cube also reports there the colours the cube changes visibly (the GIF
// itself is the same either way).
void WriteGifFile(Canvas& canvas, VBBool pictureFlag, const std::string& fileName,
                  std::string& errorText, std::string* why = nullptr, CubeShiftReport* colourCheck = nullptr);

// The same picture, its palette cut to the colours used, as a byte array; empty when no GIF
// could be made.
Variant GifByteArray(Canvas& canvas, VBBool pictureFlag, std::string& errorText,
                     CubeShiftReport* colourCheck = nullptr);

}  // namespace kelvane
