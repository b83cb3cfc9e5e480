// cPal8bpp: the palette of an 8-bit picture, up to 256 entries kept as a DIB colour table
// (blue, green, red, 0), built as a fixed colour cube or as an octree palette of a picture.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace kelvane {

class cDIB;

class cPal8bpp {
public:
    static constexpr int32_t kMaxEntries = 256;
    static constexpr int32_t kTableBytes = kMaxEntries * 4;

    // entries (0 to 256) entries, all black; the rest of the table is zero too.
    void Initialize(int16_t entries);

    // The halftone cube: levels 0 to 4 give 8, 27, 64, 125 or 216 entries; entry r + n*g + n*n*b
    // holds the channel steps r, g, b (red varies fastest). Other levels raise error 5.
    void CreateHalftone(int32_t levels);

    // An octree palette of a 32-bit picture: at most nColors (1 to 256) entries, leaves nLevels
    // (1 to 8) steps below the root, each channel weighted before it chooses a branch. A picture
    // of another depth leaves the palette unchanged.
    void CreateOptimal(const cDIB& picture, int32_t nColors, int32_t nLevels, float rWeight,
                       float gWeight, float bWeight);

    // The entry nearest to the colour (Euclidean distance); the lowest index wins a tie.
    uint8_t ClosestIndex(uint8_t r, uint8_t g, uint8_t b) const;

    const uint8_t* lpPalette() const { return m_table.data(); }
    int16_t Entries() const { return m_entries; }
    void Entries(int16_t entries);

    // One channel of one entry (index 0 to 255; others raise error 9).
    uint8_t rgbR(int32_t index) const { return m_table[offset(index) + 2]; }
    uint8_t rgbG(int32_t index) const { return m_table[offset(index) + 1]; }
    uint8_t rgbB(int32_t index) const { return m_table[offset(index)]; }
    void rgbR(int32_t index, uint8_t v) { m_table[offset(index) + 2] = v; }
    void rgbG(int32_t index, uint8_t v) { m_table[offset(index) + 1] = v; }
    void rgbB(int32_t index, uint8_t v) { m_table[offset(index)] = v; }

private:
    static std::size_t offset(int32_t index);
    void append(uint8_t r, uint8_t g, uint8_t b);

    int16_t m_entries = 0;
    std::array<uint8_t, kTableBytes> m_table{};
};

}  // namespace kelvane
