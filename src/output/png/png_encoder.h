// PNG streams of 24-bit pixels: a palette picture when they hold at most 256 colours, else
// 24-bit rows; filtered here, then deflated by zlib and framed by png_stream.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "output/png/png_colours.h"
#include "output/png/png_filters.h"
#include "output/png/png_stream.h"

namespace kelvane::png {

// How rows are filtered and compressed.
struct Compression {
    RowFilter filter;
    Deflate deflate;
};

// The defaults, measured on the example charts and on 400 x 300 and 1920 x 1080 bar charts and a
// 1920 x 1080 noisy picture. Palette rows: unfiltered at zlib level 3. The "up" filter with
// run-length coding makes the benchmark charts a third smaller, 1920 x 1080 to half, but 13 of 32
// example charts grew (the filter type byte breaks every run) by up to three quarters; levels 4 to
// 6 save up to a third more but take twice as long. 24-bit rows, mostly pictures: the Paeth filter
// with run-length coding, within 1% of the size of libpng's row-by-row choice at level 6 and five
// times as fast.
struct EncodeSettings {
    Compression palette{RowFilter::None, {3, false}};
    Compression rgb{RowFilter::Paeth, {6, true}};
};

// Appends the stream to `out`; empty when it was written, else the reason.
std::string EncodeIndexed(IndexedPicture& picture, int32_t width, int32_t height, const EncodeSettings& settings,
                          std::vector<uint8_t>& out);
std::string EncodeRgb(const BgrRows& pixels, const EncodeSettings& settings, std::vector<uint8_t>& out);

// The whole picture: indexed when it has at most 256 colours, else 24-bit.
std::string EncodePicture(const BgrRows& pixels, const EncodeSettings& settings, std::vector<uint8_t>& out);

}  // namespace kelvane::png
