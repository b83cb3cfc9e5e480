// Colour counting and palette building for PNG output. Charts hold runs of one colour and rows
// like the one above, so each row is first compared with the one above and each pixel with the
// one before it; a new colour goes through a small open hash.
#include "output/png/png_colours.h"

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
template <int kBits>
void packRowAt(const uint8_t* indices, size_t width, uint8_t* out) {
    constexpr size_t kPerByte = 8 / kBits;
    const size_t whole = width / kPerByte;
    for (size_t b = 0; b < whole; ++b, indices += kPerByte) {
        unsigned byte = 0;
        for (size_t i = 0; i < kPerByte; ++i) byte = byte << kBits | indices[i];
        out[b] = uint8_t(byte);
    }
    if (const size_t rest = width - whole * kPerByte) {
        unsigned byte = 0;
        for (size_t i = 0; i < kPerByte; ++i) byte = byte << kBits | (i < rest ? indices[i] : 0u);
        out[whole] = uint8_t(byte);
    }
}

void packRow(const uint8_t* indices, size_t width, int bitDepth, uint8_t* out) {
    if (bitDepth == 1) return packRowAt<1>(indices, width, out);
    if (bitDepth == 2) return packRowAt<2>(indices, width, out);
    packRowAt<4>(indices, width, out);
}

uint32_t colourAt(const uint8_t* bgr) { return uint32_t(bgr[2]) << 16 | uint32_t(bgr[1]) << 8 | bgr[0]; }

// One row's 8-bit indices; false once a colour beyond the 256th appears. A run of one colour
// goes eight pixels at a time: 24 bytes equal to the 24 that start a pixel later hold eight
// more pixels of the colour before them.
bool indexRow(const uint8_t* bgr, size_t width, ColourIndex& map, std::vector<PaletteColour>& palette, uint8_t* out) {
    const uint8_t* const end = bgr + width * 3;
    uint32_t previous = kNoColour;
    uint8_t index = 0;
    for (const uint8_t* p = bgr; p != end;) {
        if (previous != kNoColour && end - p >= 24 && std::memcmp(p - 3, p, 24) == 0) {
            std::memset(out, index, 8);
            p += 24, out += 8;
            continue;
        }
        const uint32_t colour = colourAt(p);
        if (colour != previous) {
            const int found = map.find(colour, palette);
            if (found < 0) return false;
            index = uint8_t(found);
            previous = colour;
        }
        *out++ = index;
        p += 3;
    }
    return true;
}

}  // namespace

int IndexBitDepth(size_t colours) {
    if (colours <= 2) return 1;
    if (colours <= 4) return 2;
    if (colours <= 16) return 4;
    return 8;
}

std::optional<IndexedPicture> IndexColours(const BgrRows& pixels) {
    // First the palette and each row's 8-bit indices, in place of the packed rows: row y's indices
    // start at y * (width + 1) + 1. A row like the one above it (most rows of a chart) adds
    // nothing and later takes that row's packed bytes.
    const size_t width = size_t(pixels.width), height = size_t(pixels.height);
    const size_t rowBytes = width * 3;
    const auto row = [&](size_t y) { return pixels.top + ptrdiff_t(y) * pixels.stride; };
    IndexedPicture picture;
    picture.rows.reset(spare::take((width + 1) * height, false));
    if (!picture.rows) return std::nullopt;
    std::vector<bool> sameAsAbove(height, false);
    ColourIndex map;
    for (size_t y = 0; y < height; ++y) {
        if (y > 0 && std::memcmp(row(y), row(y - 1), rowBytes) == 0) {
            sameAsAbove[y] = true;
            continue;
        }
        if (!indexRow(row(y), width, map, picture.palette, picture.rows.get() + y * (width + 1) + 1))
            return std::nullopt;
    }
    // Then the rows at the depth the palette needs, packed forwards in place: a packed row never
    // reaches past the indices it is made from.
    picture.bitDepth = IndexBitDepth(picture.palette.size());
    picture.stride = (width * size_t(picture.bitDepth) + 7) / 8;
    const size_t packedRow = picture.stride + 1;
    for (size_t y = 0; y < height; ++y) {
        uint8_t* out = picture.rows.get() + y * packedRow;
        if (sameAsAbove[y])
            std::memcpy(out, out - packedRow, packedRow);
        else if (picture.bitDepth == 8)
            std::memmove(out + 1, picture.rows.get() + y * (width + 1) + 1, width);
        else
            packRow(picture.rows.get() + y * (width + 1) + 1, width, picture.bitDepth, out + 1);
        out[0] = 0;
    }
    return picture;
}

}  // namespace kelvane::png
