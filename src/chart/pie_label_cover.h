// Which pixels of the canvas later drawing is sure to paint, row by row: for drawing that can leave
// out what nothing of would be seen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kelvane {

class RowCover {
public:
    RowCover(int32_t width, int32_t height) : m_width(width), m_rows(std::size_t(height > 0 ? height : 0)) {}

    // Whether every pixel of [x0, x1] x [y0, y1] (inclusive, clipped to the canvas) is covered.
    bool covers(int64_t x0, int64_t y0, int64_t x1, int64_t y1);
    // Marks [x0, x1] of row y (inclusive, clipped) as covered.
    void add(int64_t y, int64_t x0, int64_t x1);

private:
    // The first uncovered column at or after x in row y (m_width when none).
    int32_t next(std::size_t y, int32_t x);

    int32_t m_width;
    std::vector<std::vector<int32_t>> m_rows;  // per row, made on first use
};

}  // namespace kelvane
