// PNG streams through libpng: a palette picture or 24-bit rows, with no chunk beyond IHDR, PLTE,
// IDAT and IEND.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "output/png_colours.h"

namespace kelvane::png {

enum class RowFilter { None, Sub, Up, Paeth, Adaptive };

// How rows are filtered and compressed.
struct Compression {
    RowFilter filter;
    int level;       // zlib's 0 to 9
    bool runLength;  // zlib's run-length-only strategy instead of the default one
};

// The defaults, measured on the example charts and on 400 x 300 and 1920 x 1080 bar charts.
// Palette rows: unfiltered (a filter made most charts larger) at zlib level 3; levels 4 to 6 save
// up to a third more but take two to four times as long, which would make a large chart slower
// than its JPEG. 24-bit rows, mostly pictures: the Paeth filter with run-length coding, within 1%
// of the size of libpng's row-by-row choice at level 6 and five times as fast.
struct EncodeSettings {
    Compression palette{RowFilter::None, 3, false};
    Compression rgb{RowFilter::Paeth, 6, true};
};

// Appends the stream to `out`; empty when it was written, else libpng's reason.
std::string EncodeIndexed(const IndexedPicture& picture, int32_t width, int32_t height,
                          const EncodeSettings& settings, std::vector<uint8_t>& out);
std::string EncodeRgb(const BgrRows& pixels, const EncodeSettings& settings, std::vector<uint8_t>& out);

// The whole picture: indexed when it has at most 256 colours, else 24-bit.
std::string EncodePicture(const BgrRows& pixels, const EncodeSettings& settings, std::vector<uint8_t>& out);

}  // namespace kelvane::png
