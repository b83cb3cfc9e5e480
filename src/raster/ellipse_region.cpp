// Elliptic regions: the pixels an ellipse without a pen fills, row by row between the outline's
// extreme pixels; rows with equal spans share one band.
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "raster/ellipse_outline.h"
#include "raster/region.h"

namespace kelvane::gdi {

namespace {

// Boxes too big to walk use the ideal ellipse through the pixel centres of the box's extremes,
// up to this many rows; taller ones keep only their box.
constexpr long kMaxSampledRows = long{1} << 20;

}  // namespace

Region Region::fromEllipse(long left, long top, long right, long bottom) {
    const EllipseBox box = EllipseBox::ordered(left, top, right, bottom);
    if (box.width() < 1 || box.height() < 1) return Region();
    if (box.width() <= 2 || box.height() <= 2)
        return Region::fromRect(box.left, box.top, box.right - 1, box.bottom - 1);
    std::vector<RowSpan> spans;
    if (box.width() <= kMaxWalkedSide && box.height() <= kMaxWalkedSide) {
        EllipseOutline outline;
        buildEllipseOutline(box, RECT{0, 0, 0, 0}, outline);
        outlineRowSpans(outline, box.top, box.bottom, spans);
    } else if (box.height() <= kMaxSampledRows) {
        const double cx = (double(box.left) + double(box.right - 1)) / 2;
        const double cy = (double(box.top) + double(box.bottom - 1)) / 2;
        const double rx = double(box.width() - 1) / 2, ry = double(box.height() - 1) / 2;
        spans.resize(size_t(box.height()));
        for (long y = box.top; y < box.bottom; ++y) {
            const double d = (double(y) - cy) / ry;
            const double half = rx * std::sqrt(std::max(0.0, 1 - d * d));
            spans[size_t(y - box.top)] = RowSpan{long(std::floor(cx - half + 0.5)),
                                                 long(std::floor(cx + half + 0.5))};
        }
    } else {
        return Region::fromRect(box.left, box.top, box.right, box.bottom);
    }
    std::vector<RECT> rects;
    for (long y = box.top; y < box.bottom; ++y) {
        const RowSpan& s = spans[size_t(y - box.top)];
        if (s.x0 > s.x1) continue;
        const LONG l = LONG(s.x0), r = LONG(s.x1 + 1);
        if (!rects.empty() && rects.back().bottom == y && rects.back().left == l && rects.back().right == r)
            rects.back().bottom = LONG(y + 1);
        else
            rects.push_back(RECT{l, LONG(y), r, LONG(y + 1)});
    }
    return Region(std::move(rects));
}

}  // namespace kelvane::gdi
