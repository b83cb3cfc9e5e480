// The outline polygon the platform draws for an ellipse, shared by ellipses, arcs, pies and
// elliptic regions: its vertices in drawing order, each tagged with the quarter it belongs to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "kelvane/gdi.h"

namespace kelvane::gdi {

// A box in ordered form: left <= right, top <= bottom, right and bottom exclusive. Held in 64
// bits so that sizes of boxes spanning the whole coordinate range stay exact.
struct EllipseBox {
    long left, top, right, bottom;
    static EllipseBox ordered(long l, long t, long r, long b);
    long width() const { return right - left; }
    long height() const { return bottom - top; }
};

// Quarters in drawing order: the outline starts at the right end of the middle row and runs
// clockwise on screen (down first).
enum class Quarter : uint8_t { BottomRight, BottomLeft, TopLeft, TopRight };

struct EllipseOutline {
    std::vector<POINT> points;
    std::vector<Quarter> quarters;
    // False when the box was too big to walk pixel by pixel and the outline was sampled from the
    // ideal ellipse instead (fine near the window, coarse far from it).
    bool exact = true;
    std::size_t size() const { return points.size(); }
};

// Boxes up to this size on both sides are walked pixel by pixel, as the platform does.
inline constexpr long kMaxWalkedSide = long{1} << 16;

// The outline of the ellipse in the box. `window` is the area that will be drawn into: only a
// box too big to walk uses it, to sample the curve finely where it can be seen. The box must be
// at least one pixel wide and high.
void buildEllipseOutline(const EllipseBox& box, const RECT& window, EllipseOutline& out);

// For an exactly walked outline: the span [x0, x1] of row y between its leftmost and rightmost
// outline pixel, which is what the platform fills. Rows in [rowFrom, rowTo) get an entry; rows
// without outline pixels get x0 > x1.
struct RowSpan {
    long x0, x1;
};
void outlineRowSpans(const EllipseOutline& outline, long rowFrom, long rowTo,
                     std::vector<RowSpan>& spans);

}  // namespace kelvane::gdi
