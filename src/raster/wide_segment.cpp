// Wide segment geometry. Across a slanted segment the pen's width is split into the two sides
// by rounding the exact offsets: the side facing +x gets the larger rounding (half a pixel
// more), since pixels are sampled at their top-left corner. A horizontal or vertical segment is
// a box: its first row (column) lies width/2 before the line. Square caps stretch the corners
// along the segment by half the width, rounded the same way (the lower end gets the larger
// rounding). Joins connect the face points of the two segments at their common point.
#include "raster/wide_segment.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>


namespace kelvane::gdi {

namespace {

int64_t roundHalfUp(double x) { return int64_t(std::floor(x + 0.5)); }
int64_t sign(int64_t v) { return v > 0 ? 1 : -1; }
P64 add(P64 p, P64 o) { return P64{p.x + o.x, p.y + o.y}; }

bool farFrom(const StrokeCanvas& s, P64 p, int64_t reach) {
    return p.x < -reach || p.y < -reach || p.x > s.width() + reach || p.y > s.height() + reach;
}

void paintBevel(StrokeCanvas& canvas, P64 au, P64 av, P64 bu, P64 bv) {
    const P64 quad[4] = {au, bu, av, bv};
    paintPolygon(canvas, quad, 4);
}

// [left, right) x [top, bottom), the rows the stroke has not painted in full.
void fillBox(StrokeCanvas& canvas, int64_t left, int64_t top, int64_t right, int64_t bottom) {
    const int64_t t = std::max<int64_t>(top, 0), b = std::min(bottom, canvas.height());
    if (std::max<int64_t>(left, 0) >= std::min(right, canvas.width())) return;
    for (int64_t y = canvas.openRow(t); y < b; y = canvas.openRow(y + 1)) canvas.fill(y, left, right);
}

__int128 abs128(__int128 v) { return v < 0 ? -v : v; }

// floor(n / d + 1/2) for d != 0.
int64_t roundedQuotient(__int128 n, __int128 d) {
    if (d < 0) n = -n, d = -d;
    __int128 q = 2 * n + d;
    __int128 r = q / (2 * d);
    if (q % (2 * d) != 0 && q < 0) --r;
    return int64_t(r);
}

}  // namespace

WideSegment::WideSegment(P64 from, P64 to, int64_t penWidth)
    : a(from), b(to), dx(to.x - from.x), dy(to.y - from.y), width(penWidth) {
    length = std::hypot(double(dx), double(dy));
    axis = dx == 0 || dy == 0;
    if (axis) return;
    const double w = double(width);
    const double wx = w * double(std::llabs(dy)) / length, wy = w * double(std::llabs(dx)) / length;
    const P64 narrow{roundHalfUp(wx / 2), roundHalfUp(wy / 2)};
    const P64 wide{roundHalfUp((wx + 1) / 2), roundHalfUp((wy + 1) / 2)};
    const int64_t sx = dy < 0 ? 1 : -1, sy = dx > 0 ? 1 : -1;
    if (dy > 0) {
        u = P64{sx * narrow.x, sy * narrow.y};
        v = P64{-sx * wide.x, -sy * wide.y};
    } else {
        u = P64{sx * wide.x, sy * wide.y};
        v = P64{-sx * narrow.x, -sy * narrow.y};
    }
    // Square caps: along x the extension is the y part of the width and the other way round.
    const bool endIsLower = dy > 0;
    extEnd = P64{sign(dx) * (endIsLower ? wide.y : narrow.y), sign(dy) * (endIsLower ? wide.x : narrow.x)};
    extStart = P64{-sign(dx) * (endIsLower ? narrow.y : wide.y), -sign(dy) * (endIsLower ? narrow.x : wide.x)};
}

P64 WideSegment::pointAt(double t) const {
    if (t >= length) return b;
    return P64{a.x + int64_t(double(dx) * t / length), a.y + int64_t(double(dy) * t / length)};
}

void WideSegment::faces(bool atEnd, P64& onU, P64& onV) const {
    const int64_t lo = -(width / 2), hi = width - width / 2;
    if (!axis) {
        const P64 p = atEnd ? b : a;
        onU = add(p, u);
        onV = add(p, v);
        return;
    }
    // A box's faces: at its end one pixel back from the end point, which the box leaves out.
    if (dy == 0) {
        const int64_t x = atEnd ? b.x - sign(dx) : a.x, y = a.y;
        onU = P64{x, y + (dx > 0 ? hi : lo)};
        onV = P64{x, y + (dx > 0 ? lo : hi)};
    } else {
        const int64_t y = atEnd ? b.y - sign(dy) : a.y, x = a.x;
        onU = P64{x + (dy > 0 ? lo : hi), y};
        onV = P64{x + (dy > 0 ? hi : lo), y};
    }
}

void WideSegment::paintPiece(StrokeCanvas& canvas, P64 s, P64 e, bool squareStart, bool squareEnd) const {
    if (axis) {
        const int64_t lo = -(width / 2), hi = width - width / 2;
        const int64_t e0 = squareStart ? width / 2 : 0, e1 = squareEnd ? width / 2 : 0;
        int64_t from, to;
        if (dy == 0) {
            if (dx > 0) from = s.x - e0, to = e.x + e1;
            else from = e.x - e1, to = s.x + e0;
            if (from < to) fillBox(canvas, from, s.y + lo, to, s.y + hi);
        } else {
            if (dy > 0) from = s.y - e0, to = e.y + e1;
            else from = e.y - e1, to = s.y + e0;
            if (from < to) fillBox(canvas, s.x + lo, from, s.x + hi, to);
        }
        return;
    }
    if (s == e && !squareStart && !squareEnd) return;
    const P64 es = squareStart ? extStart : P64{0, 0}, ee = squareEnd ? extEnd : P64{0, 0};
    const P64 quad[4] = {add(add(s, u), es), add(add(e, u), ee), add(add(e, v), ee), add(add(s, v), es)};
    paintPolygon(canvas, quad, 4);
}

void paintJoin(StrokeCanvas& canvas, const WideSegment& in, const WideSegment& out, JoinKind kind,
               const Disc* disc) {
    const P64 p = in.b;
    const int64_t w = in.width;
    // Nothing of a join reaches further than a miter: five widths.
    if (farFrom(canvas, p, 6 * w + 4)) return;
    if (kind == JoinKind::Round) {
        if (disc) disc->paint(canvas, p.x, p.y);
        return;
    }
    P64 au, av, bu, bv;
    in.faces(true, au, av);
    out.faces(false, bu, bv);
    const __int128 cross = __int128(in.dx) * out.dy - __int128(in.dy) * out.dx;
    if (kind == JoinKind::Bevel || cross == 0) {
        paintBevel(canvas, au, av, bu, bv);
        return;
    }
    // The miter point: where the outer faces' lines meet, AO + t * dA with t = num / cross.
    const P64 ai = cross > 0 ? au : av, ao = cross > 0 ? av : au;
    const P64 bi = cross > 0 ? bu : bv, bo = cross > 0 ? bv : bu;
    const __int128 num = __int128(bo.x - ao.x) * out.dy - __int128(bo.y - ao.y) * out.dx;
    // M - p = q / cross; the miter stays while its length (twice |M - p|) is at most ten widths.
    const __int128 qx = __int128(ao.x - p.x) * cross + num * in.dx;
    const __int128 qy = __int128(ao.y - p.y) * cross + num * in.dy;
    bool within;
    const __int128 small = __int128(1) << 61;
    if (abs128(qx) < small && abs128(qy) < small && abs128(cross) < small / (5 * w + 1)) {
        const __int128 limit = __int128(5 * w) * cross;
        within = qx * qx + qy * qy <= limit * limit;
    } else {
        const long double lx = (long double)qx, ly = (long double)qy, lc = (long double)cross * 5 * w;
        within = lx * lx + ly * ly <= lc * lc;
    }
    if (!within) {
        paintBevel(canvas, au, av, bu, bv);
        return;
    }
    const P64 m{ao.x + roundedQuotient(num * in.dx, cross), ao.y + roundedQuotient(num * in.dy, cross)};
    const P64 shape[5] = {ai, bi, ao, m, bo};
    paintPolygon(canvas, shape, 5);
}

}  // namespace kelvane::gdi
