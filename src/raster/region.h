// Regions: sets of pixels kept as y-x banded rectangles (rows of equal spans grouped into bands),
// the form in which polygons, ellipses and wide-pen outlines are filled.
#pragma once

#include <vector>

#include "kelvane/gdi.h"

namespace kelvane::gdi {

class Region {
public:
    Region() = default;
    static Region fromRect(long left, long top, long right, long bottom);
    // The pixels a polygon covers under the fill mode (ALTERNATE or WINDING), by the platform's
    // scan-conversion rules.
    static Region fromPolygon(const POINT* points, int count, int fillMode);
    // The same pixels, only those inside the clip box: what a drawing call on a surface needs,
    // in time bounded by the box, however far the points lie.
    static Region fromPolygon(const POINT* points, int count, int fillMode, const RECT& clip);
    // The pixels of the ellipse inscribed in the box (right and bottom exclusive).
    static Region fromEllipse(long left, long top, long right, long bottom);

    void unite(const Region& other);
    void intersect(const Region& other);
    void subtract(const Region& other);
    void exclusiveOr(const Region& other);
    void offset(long dx, long dy);

    bool empty() const { return m_rects.empty(); }
    RECT bounds() const;
    bool contains(long x, long y) const;
    // Banded rectangles: sorted by top, then left; rectangles of one band share top and bottom.
    const std::vector<RECT>& rects() const { return m_rects; }

    // Visits every row of every rectangle as a span [x0, x1) of row y, clipped to the box
    // [0, width) x [0, height).
    template <class Visit>
    void forEachSpan(long width, long height, Visit&& visit) const {
        for (const RECT& r : m_rects) {
            const long x0 = r.left < 0 ? 0 : r.left, x1 = r.right > width ? width : r.right;
            if (x0 >= x1) continue;
            const long y0 = r.top < 0 ? 0 : r.top, y1 = r.bottom > height ? height : r.bottom;
            for (long y = y0; y < y1; ++y) visit(y, x0, x1);
        }
    }

private:
    explicit Region(std::vector<RECT> rects) : m_rects(std::move(rects)) {}
    std::vector<RECT> m_rects;
};

}  // namespace kelvane::gdi
