// The PNG container around rows that are already filtered: the signature, IHDR, PLTE where there
// is a palette, IDAT chunks holding the zlib stream, IEND. Nothing else: no ancillary chunk.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "output/png/png_colours.h"

namespace kelvane::png {

struct StreamHeader {
    uint32_t width, height;
    uint8_t bitDepth;
    uint8_t colourType;  // 2: red, green, blue; 3: palette indices
};

// How the rows are deflated.
struct Deflate {
    int level;       // zlib's 1 to 9
    bool runLength;  // zlib's run-length-only strategy instead of the default one
};

// The most zlib stream bytes one IDAT chunk holds: a chunk's length must stay below 2^31.
inline constexpr size_t kMaxIdatBytes = size_t{1} << 30;

// The next filtered rows, each led by its filter type byte, in order; they need to stay as they
// are only until the next call.
using RowSource = std::function<std::span<const uint8_t>()>;

// Appends the stream to `out`, compressing the rows as `next` gives them, `filteredBytes` in
// all; the stream goes into IDAT chunks of `maxIdatBytes` each but the last. Empty when written,
// else the reason, and `out` as it was.
std::string WriteStream(const StreamHeader& header, std::span<const PaletteColour> palette, size_t filteredBytes,
                        const RowSource& next, const Deflate& deflate, std::vector<uint8_t>& out,
                        size_t maxIdatBytes = kMaxIdatBytes);

// The same for rows that are all in `filtered`.
std::string WriteStream(const StreamHeader& header, std::span<const PaletteColour> palette,
                        std::span<const uint8_t> filtered, const Deflate& deflate, std::vector<uint8_t>& out);

}  // namespace kelvane::png
