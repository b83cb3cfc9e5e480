// Where the pieces of one wide-pen stroke are painted: the surface in the pen's colour, with a
// record of what the stroke has painted already on each row when its pen is very wide. Such
// pieces overlap a great deal (a pen far wider than the surface paints all of it at every
// join), and painting a pixel again in the same colour changes nothing, so painted stretches
// are skipped and a surface painted from edge to edge ends the stroke. Narrower pens paint
// small pieces that overlap little: they are painted as they come.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "raster/surface.h"

namespace kelvane::gdi {

class StrokeCanvas {
public:
    // Pens at most this wide are not tracked.
    static constexpr int64_t kLargestUntrackedPen = 64;

    // The stroke of a pen `penWidth` wide paints rows [rowFrom, rowTo) at most.
    StrokeCanvas(Surface& surface, COLORREF colour, int64_t penWidth, int64_t rowFrom, int64_t rowTo);

    bool tracking() const { return m_tracking; }

    int64_t width() const { return m_width; }
    int64_t height() const { return m_height; }
    // The first row at or after y that the stroke has not yet painted from edge to edge;
    // height() when there is none.
    int64_t openRow(int64_t y);
    // Every pixel of the surface painted: nothing further can change it.
    bool full() const { return m_fullRows == m_height; }
    // Paints [x0, x1) of row y (0 <= y < height()), clipped to the surface.
    void fill(int64_t y, int64_t x0, int64_t x1);

private:
    void paint(int64_t y, int64_t x0, int64_t x1);

    // A few painted stretches [from, to) of a row, in order and apart; a row painted in more
    // places keeps the longest.
    struct Stretch {
        int32_t from, to;
    };
    static constexpr int kStretchesPerRow = 4;
    struct Row {
        int count = 0;
        std::array<Stretch, kStretchesPerRow> stretches;
    };

    Surface& m_surface;
    COLORREF m_colour;
    bool m_tracking;
    int64_t m_width, m_height, m_rowFrom, m_rowTo;
    std::vector<Row> m_rows;  // rows [m_rowFrom, m_rowTo)
    // Row y is open while m_next[y - m_rowFrom] == y; full rows point further on (shortened as
    // they are read).
    std::vector<int64_t> m_next;
    int64_t m_fullRows = 0;
};

}  // namespace kelvane::gdi
