// The stroke's painted stretches, merged as spans touch them.
#include "raster/stroke_canvas.h"

#include <algorithm>
#include <array>

namespace kelvane::gdi {

StrokeCanvas::StrokeCanvas(Surface& surface, COLORREF colour, int64_t penWidth, int64_t rowFrom, int64_t rowTo)
    : m_surface(surface), m_colour(colour), m_tracking(penWidth > kLargestUntrackedPen), m_width(surface.width()),
      m_height(surface.height()) {
    m_rowFrom = std::clamp<int64_t>(rowFrom, 0, m_height);
    m_rowTo = std::clamp<int64_t>(rowTo, m_rowFrom, m_height);
    if (!m_tracking) return;
    m_rows.resize(size_t(m_rowTo - m_rowFrom));
    m_next.resize(m_rows.size() + 1);
    for (size_t i = 0; i < m_next.size(); ++i) m_next[i] = m_rowFrom + int64_t(i);
    // Rows the stroke cannot reach count as painted: nothing is left to do there.
    m_fullRows = m_height - (m_rowTo - m_rowFrom);
}

int64_t StrokeCanvas::openRow(int64_t y) {
    y = std::max(y, m_rowFrom);
    if (y >= m_rowTo) return m_height;
    if (!m_tracking) return y;
    int64_t open = y;
    while (open < m_rowTo && m_next[size_t(open - m_rowFrom)] != open) open = m_next[size_t(open - m_rowFrom)];
    while (y != open) {  // later look-ups jump straight there
        const int64_t next = m_next[size_t(y - m_rowFrom)];
        m_next[size_t(y - m_rowFrom)] = open;
        y = next;
    }
    return open < m_rowTo ? open : m_height;
}

void StrokeCanvas::paint(int64_t y, int64_t x0, int64_t x1) {
    if (x0 < x1) m_surface.fillSpan(int(y), int(x0), int(x1), m_colour);
}

void StrokeCanvas::fill(int64_t y, int64_t x0, int64_t x1) {
    x0 = std::max<int64_t>(x0, 0);
    x1 = std::min<int64_t>(x1, m_width);
    if (x0 >= x1 || y < m_rowFrom || y >= m_rowTo) return;
    if (!m_tracking) {
        paint(y, x0, x1);
        return;
    }
    Row& row = m_rows[size_t(y - m_rowFrom)];
    auto* const first = row.stretches.data();
    auto* const last = first + row.count;
    // The stretches the span touches form a run; paint the gaps between them.
    auto* touched = std::find_if(first, last, [&](const Stretch& s) { return s.to >= x0; });
    auto* past = touched;
    int64_t at = x0;
    for (; past != last && past->from <= x1; ++past) {
        paint(y, at, past->from);
        at = std::max<int64_t>(at, past->to);
    }
    paint(y, at, x1);
    // The run and the span become one stretch.
    Stretch merged{int32_t(x0), int32_t(x1)};
    if (touched != past) {
        merged.from = std::min(merged.from, touched->from);
        merged.to = std::max(merged.to, (past - 1)->to);
    }
    std::array<Stretch, kStretchesPerRow + 1> kept;
    auto* end = std::copy(first, touched, kept.data());
    *end++ = merged;
    end = std::copy(static_cast<const Stretch*>(past), static_cast<const Stretch*>(last), end);
    if (end - kept.data() > kStretchesPerRow) {
        auto* shortest = std::min_element(kept.data(), end, [](const Stretch& a, const Stretch& b) {
            return a.to - a.from < b.to - b.from;
        });
        end = std::copy(shortest + 1, end, shortest);
    }
    row.count = int(end - kept.data());
    std::copy(kept.data(), end, first);
    const size_t index = size_t(y - m_rowFrom);
    if (row.count == 1 && first->from == 0 && first->to == m_width && m_next[index] == y) {
        m_next[index] = y + 1;
        ++m_fullRows;
    }
}

}  // namespace kelvane::gdi
