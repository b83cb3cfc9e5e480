// The colours of a picture for PNG output: a picture of at most 256 colours becomes palette
// indices packed at the smallest bit depth that holds them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "runtime/spare_blocks.h"

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

static_assert(sizeof(PaletteColour) == 3, "a palette is written as it is held");

// A palette picture: `rows` (one of the thread's spare blocks) holds `height` rows of 1 + `stride`
// bytes, each a filter type byte, 0, and then the pixels at `bitDepth` bits, the leftmost in the
// highest bits of its byte.
struct IndexedPicture {
    std::vector<PaletteColour> palette;  // in the order the colours first appear
    int bitDepth = 8;
    size_t stride = 0;
    spare::Block rows;
};

// 1, 2, 4 or 8: the fewest bits a palette index of that many colours needs.
int IndexBitDepth(size_t colours);

// The picture as palette indices; nothing when it has more than 256 colours or memory is short.
std::optional<IndexedPicture> IndexColours(const BgrRows& pixels);

}  // namespace kelvane::png
