// Pixel rows in and out of surfaces of every depth, and rectangle copies between surfaces. Rows
// travel as 0x00RRGGBB values; writing them to a palette depth picks the nearest table entry.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "raster/surface.h"

namespace kelvane::gdi {

inline uint32_t rgbOf(COLORREF c) {
    return (c & 0xFFu) << 16 | (c & 0xFF00u) | (c >> 16 & 0xFFu);
}
inline COLORREF colourOf(uint32_t rgb) { return RGB(BYTE(rgb >> 16), BYTE(rgb >> 8), BYTE(rgb)); }

// Reads runs of a surface's pixels as 0x00RRGGBB; the colour table is looked up once, up front.
class RowReader {
public:
    explicit RowReader(const Surface& s);
    // n pixels of row y (counted from the top) starting at column x0; all must lie inside.
    void read(int y, int x0, int n, uint32_t* out) const;

private:
    const Surface& m_s;
    std::array<uint32_t, 256> m_table{};
};

// Writes runs of 0x00RRGGBB into a surface in its own format. For the palette depths the nearest
// colour-table entry is searched once per distinct colour and remembered in a small cache, so a
// copy of many pixels does not repeat the search.
class RowWriter {
public:
    explicit RowWriter(Surface& s);
    // n pixels of row y starting at column x0; all must lie inside.
    void write(int y, int x0, int n, const uint32_t* rgb);

private:
    uint32_t index(uint32_t rgb);

    Surface& m_s;
    std::vector<uint64_t> m_cache;  // (rgb + 1) << 8 | index, direct-mapped by colour
};

// The readable block [x0, x1) x [y0, y1) of a copy's source, handed out one converted row at a
// time; the last row is kept, as stretching reads rows repeatedly. When source and destination
// are one surface the block is copied first, so that writes cannot change what is still to be
// read.
class RowSource {
public:
    RowSource(const Surface& s, int x0, int x1, int y0, int y1, bool snapshot);
    // Pixels x0 .. x1 - 1 of row y (y0 <= y < y1).
    const uint32_t* row(int y);
    int left() const { return m_x0; }

private:
    RowReader m_reader;
    int m_x0, m_width, m_y0;
    int m_current = -1;
    std::vector<uint32_t> m_line;
    std::vector<uint32_t> m_snapshot;
};

// Copies the w x h block at (sx, sy) of src to (dx, dy) of dst. Both rectangles must already lie
// inside their surfaces. Equal formats copy bytes (indices for palette depths with equal colour
// tables); other pairs convert through RGB. Overlapping blocks of one surface are handled.
void copyPixels(const Surface& src, int sx, int sy, Surface& dst, int dx, int dy, int w, int h);

}  // namespace kelvane::gdi
