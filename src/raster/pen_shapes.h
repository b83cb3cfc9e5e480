// The pieces wide pens are painted with: small polygons (segment bodies, square caps, bevel and
// miter joins) and the round cap disc. Each is painted straight onto the stroke's canvas,
// clipped; a stroke is the union of its pieces, and with one colour painting them in turn gives
// the union. Only rows where a piece can reach the surface are visited.
#pragma once

#include <cstdint>
#include <vector>

#include "raster/stroke_canvas.h"

namespace kelvane::gdi {

struct P64 {
    int64_t x, y;
    bool operator==(const P64&) const = default;
};

// Fills a polygon of up to 8 points by the platform's polygon rule (alternate filling): on row
// y the edges are crossed at their exact x, and the pixels from the rounded-up first crossing
// to before the rounded-up second crossing are inside; rows run from the top point to before
// the bottom one.
void paintPolygon(StrokeCanvas& s, const P64* points, int count);

// The round cap and join of a pen width: the pixels of the circle drawn in the box of that
// width starting width/2 before the point, as the platform's ellipse draws it.
class Disc {
public:
    explicit Disc(int64_t width);
    void paint(StrokeCanvas& s, int64_t x, int64_t y) const;

private:
    int64_t m_width;
    std::vector<std::pair<int64_t, int64_t>> m_rows;  // [x0, x1) of each row, box-relative
};

}  // namespace kelvane::gdi
