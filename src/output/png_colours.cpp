// Colour counting and palette building for PNG output. Charts hold runs of one colour and rows
// like the one above, so each row is first compared with the one above and each pixel with the
// one before it; a new colour goes through a small open hash.
#include "output/png_colours.h"

#include <cstring>

namespace kelvane::png {

namespace {

constexpr uint32_t kNoColour = 0xFFFFFFFFu;  // above every 24-bit colour

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
    static constexpr uint32_t kEmpty = kNoColour;
    std::array<uint32_t, kSlots> keys_ = filled();
    std::array<uint8_t, kSlots> indices_{};

    static std::array<uint32_t, kSlots> filled() {
        std::array<uint32_t, kSlots> keys;
        keys.fill(kEmpty);
        return keys;
    }
};

// Packs one row of 8-bit indices at a depth below 8, the leftmost pixel in the highest bits.
void packRow(const uint8_t* indices, size_t width, int bitDepth, uint8_t* out) {
    const size_t perByte = size_t(8 / bitDepth);
    for (size_t x = 0; x < width; x += perByte) {
        unsigned byte = 0;
        for (size_t i = 0; i < perByte; ++i) byte = byte << bitDepth | (x + i < width ? indices[x + i] : 0u);
        *out++ = uint8_t(byte);
    }
}

uint32_t colourAt(const uint8_t* bgr) { return uint32_t(bgr[2]) << 16 | uint32_t(bgr[1]) << 8 | bgr[0]; }

}  // namespace

int IndexBitDepth(size_t colours) {
    if (colours <= 2) return 1;
    if (colours <= 4) return 2;
    if (colours <= 16) return 4;
    return 8;
}

std::optional<IndexedPicture> IndexColours(const BgrRows& pixels) {
    // First the palette and each row's 8-bit indices. A row like the one above it (most rows of
    // a chart) adds nothing and later takes that row's indices.
    const size_t width = size_t(pixels.width);
    const size_t rowBytes = width * 3;
    const auto row = [&](int32_t y) { return pixels.top + ptrdiff_t(y) * pixels.stride; };
    std::vector<bool> sameAsAbove(size_t(pixels.height), false);
    std::vector<uint8_t> indices;  // of the rows unlike the one above, one after another
    IndexedPicture picture;
    ColourIndex map;
    for (int32_t y = 0; y < pixels.height; ++y) {
        if (y > 0 && std::memcmp(row(y), row(y - 1), rowBytes) == 0) {
            sameAsAbove[size_t(y)] = true;
            continue;
        }
        indices.resize(indices.size() + width);
        uint8_t* out = indices.data() + indices.size() - width;
        uint32_t previous = kNoColour;
        int index = 0;
        const uint8_t* const end = row(y) + rowBytes;
        for (const uint8_t* p = row(y); p != end; p += 3, ++out) {
            const uint32_t colour = colourAt(p);
            if (colour != previous) {
                index = map.find(colour, picture.palette);
                if (index < 0) return std::nullopt;
                previous = colour;
            }
            *out = uint8_t(index);
        }
    }
    // Then the rows at the depth the palette needs.
    picture.bitDepth = IndexBitDepth(picture.palette.size());
    picture.stride = (width * size_t(picture.bitDepth) + 7) / 8;
    picture.rows.resize(picture.stride * size_t(pixels.height));
    const uint8_t* next = indices.data();
    for (size_t y = 0; y < size_t(pixels.height); ++y) {
        uint8_t* out = picture.rows.data() + y * picture.stride;
        if (sameAsAbove[y]) {
            std::memcpy(out, out - picture.stride, picture.stride);
            continue;
        }
        if (picture.bitDepth == 8)
            std::memcpy(out, next, width);
        else
            packRow(next, width, picture.bitDepth, out);
        next += width;
    }
    return picture;
}

}  // namespace kelvane::png
