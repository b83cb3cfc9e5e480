// Bézier flattening: curves halved in sixteenths of a pixel until flat, as the platform flattens
// the curves of paths.
#include "raster/bezier.h"

#include <cstdint>
#include <cstdlib>

namespace kelvane::gdi {

namespace {

constexpr int kFractionBits = 4;
constexpr int64_t kOnePixel = int64_t{1} << kFractionBits;
constexpr int kMaxDepth = 8;

struct FixedPoint {
    int64_t x, y;
};

int64_t toPixels(int64_t v) { return (v + kOnePixel / 2) >> kFractionBits; }

FixedPoint midpoint(FixedPoint a, FixedPoint b) {
    return FixedPoint{(a.x + b.x + 1) / 2, (a.y + b.y + 1) / 2};
}

// Whether c lies between the chord ends e0 and e1 along one axis. The comparison is deliberately
// lopsided when e0 > e1 (c == e0 fails), as the platform's is.
bool between(int64_t c, int64_t e0, int64_t e1) { return c < e0 ? c >= e1 : c <= e1; }

// Flat enough: measured along the chord's major axis u (minor axis v), both control points lie
// between the ends and within a pixel of the chord's slope line from the start.
bool flatAlong(int64_t u0, int64_t v0, int64_t u1, int64_t v1, int64_t u2, int64_t v2, int64_t u3,
               int64_t v3) {
    if (!between(u1, u0, u3) || !between(u2, u0, u3)) return false;
    const int64_t run = toPixels(u3 - u0);
    if (run == 0) return true;
    const int64_t slope = (v3 - v0) / run;
    return std::llabs(v1 - v0 - slope * toPixels(u1 - u0)) <= kOnePixel &&
           std::llabs(v2 - v0 - slope * toPixels(u2 - u0)) <= kOnePixel;
}

bool flat(const FixedPoint q[4]) {
    const int64_t dx = q[3].x - q[0].x, dy = q[3].y - q[0].y;
    if (std::llabs(dy) <= std::llabs(dx))
        return flatAlong(q[0].x, q[0].y, q[1].x, q[1].y, q[2].x, q[2].y, q[3].x, q[3].y);
    return flatAlong(q[0].y, q[0].x, q[1].y, q[1].x, q[2].y, q[2].x, q[3].y, q[3].x);
}

// De Casteljau halving with midpoints rounded half up (by the platform's truncating division),
// until both control points lie within a pixel of the chord and between its ends along the
// chord's major axis, or eight halvings deep. Matching the reference renderer needs exactly this
// arithmetic: with any other rounding the vertices move by a pixel.
void subdivide(const FixedPoint q[4], int depth, std::vector<POINT>& out) {
    if (depth == 0 || flat(q)) {
        out.push_back(POINT{LONG(toPixels(q[3].x)), LONG(toPixels(q[3].y))});
        return;
    }
    const FixedPoint a = midpoint(q[0], q[1]), m = midpoint(q[1], q[2]), b = midpoint(q[2], q[3]);
    const FixedPoint a2 = midpoint(a, m), b2 = midpoint(m, b);
    const FixedPoint centre = midpoint(a2, b2);
    const FixedPoint first[4] = {q[0], a, a2, centre};
    const FixedPoint second[4] = {centre, b2, b, q[3]};
    subdivide(first, depth - 1, out);
    subdivide(second, depth - 1, out);
}

}  // namespace

void flattenBezier(POINT p0, POINT c1, POINT c2, POINT p3, std::vector<POINT>& out) {
    auto fixed = [](POINT p) {
        return FixedPoint{int64_t(p.x) * kOnePixel, int64_t(p.y) * kOnePixel};
    };
    const FixedPoint q[4] = {fixed(p0), fixed(c1), fixed(c2), fixed(p3)};
    subdivide(q, kMaxDepth, out);
}

}  // namespace kelvane::gdi
