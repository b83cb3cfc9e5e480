// PNG streams through libpng: a palette picture or 24-bit rows, with no chunk beyond IHDR, PLTE,
// IDAT and IEND.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "output/png_colours.h"

namespace kelvane::png {

enum class RowFilter { None, Sub, Up, Paeth, Adaptive };

// How rows are filtered and compressed. The defaults are the ones chart pictures came out
// smallest with for their time: palette rows unfiltered, 24-bit rows filtered row by row.
struct EncodeSettings {
    RowFilter paletteFilter = RowFilter::None;
    RowFilter rgbFilter = RowFilter::Adaptive;
    int level = 6;          // zlib's 0 to 9
    bool runLength = false;  // zlib's run-length-only strategy
};

// Appends the stream to `out`; empty when it was written, else libpng's reason.
std::string EncodeIndexed(const IndexedPicture& picture, int32_t width, int32_t height,
                          const EncodeSettings& settings, std::vector<uint8_t>& out);
std::string EncodeRgb(const BgrRows& pixels, const EncodeSettings& settings, std::vector<uint8_t>& out);

// The whole picture: indexed when it has at most 256 colours, else 24-bit.
std::string EncodePicture(const BgrRows& pixels, const EncodeSettings& settings, std::vector<uint8_t>& out);

}  // namespace kelvane::png
