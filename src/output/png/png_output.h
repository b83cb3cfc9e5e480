// The PNG paths of the output methods: the canvas pixels, exactly, as a palette PNG when they
// hold at most 256 colours, else as a 24-bit PNG. Both leave the canvas for more drawing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kelvane/gdi.h"
#include "kelvane/variant.h"

namespace kelvane {

class Canvas;

// The PNG stream of the canvas bitmap (a 24-bit bottom-up DIB section) as a whole; empty, with
// the reason in `why`, when it could not be made.
std::vector<uint8_t> CanvasPng(gdi::HBITMAP bitmap, std::string& why);

// Writes the canvas to fileName whole or not at all; a failure appends a line to errorText, and
// the system's reason for a file that could not be written goes to *why as well.
void WritePngFile(const Canvas& canvas, const std::string& fileName, std::string& errorText,
                  std::string* why = nullptr);

// The canvas as a PNG byte array; empty, with a line appended to errorText, when none was made.
Variant PngByteArray(const Canvas& canvas, std::string& errorText);

}  // namespace kelvane
