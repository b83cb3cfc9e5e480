// Colour counting and palette building for PNG output. Charts hold runs of one colour, so each
// pixel is first compared with the one before it; a new colour goes through a small open hash.
#include "output/png_colours.h"

namespace kelvane::png {

namespace {

// An open-addressing map from 24-bit colours to palette indices; twice as many slots as colours
// keeps the probe chains short.
class ColourIndex {
public:
    // The colour's index, a new one when it is new; -1 once a colour beyond the 256th appears.
    int find(uint32_t colour, std::vector<PaletteColour>& palette) {
        size_t slot = (colour * 0x9E3779B1u) >> (32 - kSlotBits);
        while (keys_[slot] != kEmpty) {
            if (keys_[slot] == colour) return indices_[slot];
            slot = (slot + 1) & (kSlots - 1);
        }
        if (palette.size() == kMaxPaletteColours) return -1;
        keys_[slot] = colour;
        indices_[slot] = uint8_t(palette.size());
        palette.push_back({uint8_t(colour >> 16), uint8_t(colour >> 8), uint8_t(colour)});
        return indices_[slot];
    }

private:
    static constexpr int kSlotBits = 9;
    static constexpr size_t kSlots = size_t{1} << kSlotBits;
    static constexpr uint32_t kEmpty = 0xFFFFFFFFu;  // no 24-bit colour
    std::array<uint32_t, kSlots> keys_ = filled();
    std::array<uint8_t, kSlots> indices_{};

    static std::array<uint32_t, kSlots> filled() {
        std::array<uint32_t, kSlots> keys;
        keys.fill(kEmpty);
        return keys;
    }
};

// Packs the 8-bit indices of one row into `out` at the given depth (below 8).
void packRow(const uint8_t* indices, int32_t width, int bitDepth, uint8_t* out) {
    const int perByte = 8 / bitDepth;
    for (int32_t x = 0; x < width; x += perByte) {
        unsigned byte = 0;
        for (int i = 0; i < perByte; ++i) {
            byte <<= bitDepth;
            if (x + i < width) byte |= indices[x + i];
        }
        *out++ = uint8_t(byte);
    }
}

}  // namespace

int IndexBitDepth(size_t colours) {
    if (colours <= 2) return 1;
    if (colours <= 4) return 2;
    if (colours <= 16) return 4;
    return 8;
}

std::optional<IndexedPicture> IndexColours(const BgrRows& pixels) {
    IndexedPicture picture;
    const size_t width = size_t(pixels.width);
    std::vector<uint8_t> indices(width * size_t(pixels.height));
    ColourIndex map;
    uint32_t previous = 0xFFFFFFFFu;
    int index = 0;
    for (int32_t y = 0; y < pixels.height; ++y) {
        const uint8_t* p = pixels.top + size_t(y) * pixels.stride;
        uint8_t* out = indices.data() + size_t(y) * width;
        for (size_t x = 0; x < width; ++x, p += 3) {
            const uint32_t colour = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
            if (colour != previous) {
                index = map.find(colour, picture.palette);
                if (index < 0) return std::nullopt;
                previous = colour;
            }
            out[x] = uint8_t(index);
        }
    }
    picture.bitDepth = IndexBitDepth(picture.palette.size());
    if (picture.bitDepth == 8) {
        picture.stride = width;
        picture.rows = std::move(indices);
        return picture;
    }
    picture.stride = (width * size_t(picture.bitDepth) + 7) / 8;
    picture.rows.resize(picture.stride * size_t(pixels.height));
    for (int32_t y = 0; y < pixels.height; ++y)
        packRow(indices.data() + size_t(y) * width, pixels.width, picture.bitDepth,
                picture.rows.data() + size_t(y) * picture.stride);
    return picture;
}

}  // namespace kelvane::png
