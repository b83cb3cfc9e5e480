// The JPEG paths of the output methods: a new encoder samples the canvas context and writes a
// file or returns a byte array.
#pragma once

#include <cstdint>
#include <string>

#include "kelvane/gdi.h"
#include "kelvane/variant.h"

namespace kelvane {

// Encodes the width x height canvas at the given quality (0 or out of range: 75) with the default
// sampling and writes it to fileName whole or not at all, replacing any file of that name even
// when it is read-only. A file that cannot be written raises error 75, the system's reason first
// put in *why; a working bitmap that cannot be made raises error 1 "Could not create the
// sampling bitmap" (so does JpegByteArray).
void WriteJpegFile(gdi::HDC canvas, int32_t width, int32_t height, int32_t quality,
                   const std::string& fileName, std::string* why = nullptr);

// The canvas as a JPEG byte array (4:2:0 sampling); the canvas is left as it is.
Variant JpegByteArray(gdi::HDC canvas, int32_t width, int32_t height, int32_t quality);

}  // namespace kelvane
