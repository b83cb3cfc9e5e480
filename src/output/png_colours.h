// The colours of a picture for PNG output: a picture of at most 256 colours becomes palette
// indices packed at the smallest bit depth that holds them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace kelvane::png {

inline constexpr size_t kMaxPaletteColours = 256;

// Rows of 24-bit pixels, blue, green, red: the top row, and the step from each row to the one
// below it (negative for a bottom-up bitmap).
struct BgrRows {
    const uint8_t* top = nullptr;
    ptrdiff_t stride = 0;
    int32_t width = 0;
    int32_t height = 0;
};

struct PaletteColour {
    uint8_t red, green, blue;
};

// A palette picture: `rows` holds `height` rows of `stride` bytes, each pixel `bitDepth` bits,
// the leftmost in the highest bits of its byte.
struct IndexedPicture {
    std::vector<PaletteColour> palette;  // in the order the colours first appear
    int bitDepth = 8;
    size_t stride = 0;
    std::vector<uint8_t> rows;
};

// 1, 2, 4 or 8: the fewest bits a palette index of that many colours needs.
int IndexBitDepth(size_t colours);

// The picture as palette indices; nothing when it has more than 256 colours.
std::optional<IndexedPicture> IndexColours(const BgrRows& pixels);

}  // namespace kelvane::png
