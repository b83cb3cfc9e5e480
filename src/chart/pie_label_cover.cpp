// Row coverage: per row, each pixel points at the first uncovered one at or after it.
#include "chart/pie_label_cover.h"

#include <algorithm>

namespace kelvane {

int32_t RowCover::next(size_t y, int32_t x) {
    std::vector<int32_t>& row = m_rows[y];
    if (row.empty()) {
        row.resize(size_t(m_width) + 1);
        for (int32_t i = 0; i <= m_width; ++i) row[size_t(i)] = i;
    }
    while (row[size_t(x)] != x) {
        row[size_t(x)] = row[size_t(row[size_t(x)])];
        x = row[size_t(x)];
    }
    return x;
}

bool RowCover::covers(int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    x0 = std::max<int64_t>(x0, 0), x1 = std::min<int64_t>(x1, int64_t(m_width) - 1);
    y0 = std::max<int64_t>(y0, 0), y1 = std::min<int64_t>(y1, int64_t(m_rows.size()) - 1);
    for (int64_t y = y0; x0 <= x1 && y <= y1; ++y)
        if (next(size_t(y), int32_t(x0)) <= x1) return false;
    return true;
}

void RowCover::add(int64_t y, int64_t x0, int64_t x1) {
    x0 = std::max<int64_t>(x0, 0), x1 = std::min<int64_t>(x1, int64_t(m_width) - 1);
    if (y < 0 || y >= int64_t(m_rows.size()) || x0 > x1) return;
    std::vector<int32_t>& row = m_rows[size_t(y)];
    for (int32_t x = next(size_t(y), int32_t(x0)); x <= x1; x = next(size_t(y), x)) row[size_t(x)] = x + 1;
}

}  // namespace kelvane
