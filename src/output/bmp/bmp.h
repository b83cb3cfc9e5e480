// The 24-bit BMP layouts: the in-memory image (pixels at 58, image-size field 0) and the file
// (pixels at 54, image-size field filled in).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "kelvane/gdi.h"

namespace kelvane {

inline constexpr int32_t kBmpFileHeaderSize = 14;
inline constexpr int32_t kBmpInfoHeaderSize = 40;
inline constexpr int32_t kBmpFilePixelOffset = kBmpFileHeaderSize + kBmpInfoHeaderSize;  // 54
inline constexpr int32_t kBmpImagePixelOffset = kBmpFilePixelOffset + 4;  // one unused colour entry

// Bytes of one 24-bit row, padded to 4: ((3 x width + 3) \ 4) x 4; overflow raises error 6.
int32_t BmpStride24(int32_t width);

std::array<uint8_t, kBmpFileHeaderSize> BmpFileHeader(int32_t fileSize, int32_t pixelOffset);
gdi::BITMAPINFOHEADER BmpInfoHeader24(int32_t width, int32_t height, int32_t imageSize);
std::array<uint8_t, kBmpInfoHeaderSize> SerializeInfoHeader(const gdi::BITMAPINFOHEADER& h);

// The canvas as an in-memory BMP image. Deletes the canvas bitmap and context, as the output
// paths that use it expect, and clears both handles.
std::vector<uint8_t> BuildBmpImage(gdi::HDC& canvasDC, gdi::HBITMAP& canvasBitmap);

}  // namespace kelvane
