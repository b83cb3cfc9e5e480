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

// The defaults came out smallest for their time on chart pictures. Palette rows: unfiltered,
// zlib level 6 (level 9 saves a seventh and takes three times as long; any filter makes most
// charts larger). 24-bit rows, mostly pictures: the Paeth filter with run-length coding, as small
// as libpng's row-by-row choice at level 6 within 1% and five times as fast.
struct EncodeSettings {
    Compression palette{RowFilter::None, 6, false};
    Compression rgb{RowFilter::Paeth, 6, true};
};

// Appends the stream to `out`; empty when it was written, else libpng's reason.
std::string EncodeIndexed(const IndexedPicture& picture, int32_t width, int32_t height,
                          const EncodeSettings& settings, std::vector<uint8_t>& out);
std::string EncodeRgb(const BgrRows& pixels, const EncodeSettings& settings, std::vector<uint8_t>& out);

// The whole picture: indexed when it has at most 256 colours, else 24-bit.
std::string EncodePicture(const BgrRows& pixels, const EncodeSettings& settings, std::vector<uint8_t>& out);

}  // namespace kelvane::png
