// The PNG container around rows that are already filtered: the signature, IHDR, PLTE where there
// is a palette, one IDAT holding the whole zlib stream, IEND. Nothing else: no ancillary chunk.
#pragma once

#include <cstdint>
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

// Appends the stream to `out`. `filtered` holds every row led by its filter type byte. Empty when
// written, else the reason.
std::string WriteStream(const StreamHeader& header, std::span<const PaletteColour> palette,
                        std::span<const uint8_t> filtered, const Deflate& deflate, std::vector<uint8_t>& out);

}  // namespace kelvane::png
