// Wide solid pens. A pen of width w covers, across a horizontal or vertical segment, the w pixels
// starting w/2 before the path; every vertex gets a round join (or cap) of diameter w in the same
// box. Slanted segments fill the band of the pen's width around the ideal line.
#include <algorithm>
#include <cmath>
#include <vector>

#include "raster/paint.h"
#include "raster/stroke.h"

namespace kelvane::gdi {

namespace {

// The round join: a disc of diameter w in the box starting w/2 before the vertex. The small
// discs shed their corner pixels as the platform's do (3 px: the four corners, 2 px: none).
void fillDisc(Surface& s, long cx, long cy, int w, COLORREF c) {
    const long left = cx - w / 2, top = cy - w / 2;
    const double r = w / 2.0;
    const double limit = r * r - r / 2;
    for (int j = 0; j < w; ++j) {
        const double py = j + 0.5 - r;
        long runStart = -1;
        for (int i = 0; i <= w; ++i) {
            const double px = i + 0.5 - r;
            const bool inside = i < w && px * px + py * py <= limit;
            if (inside && runStart < 0) runStart = i;
            if (!inside && runStart >= 0) {
                fillBox(s, left + runStart, top + j, left + i, top + j + 1, c);
                runStart = -1;
            }
        }
    }
}

void fillSegment(Surface& s, const POINT& a, const POINT& b, int w, COLORREF c) {
    const long half = w / 2;
    if (a.y == b.y) {
        fillBox(s, std::min(a.x, b.x), a.y - half, std::max(a.x, b.x) + 1, a.y - half + w, c);
        return;
    }
    if (a.x == b.x) {
        fillBox(s, a.x - half, std::min(a.y, b.y), a.x - half + w, std::max(a.y, b.y) + 1, c);
        return;
    }
    // Slanted: pixel centres within w/2 of the segment (between its end perpendiculars).
    const double ax = a.x, ay = a.y, bx = b.x, by = b.y;
    const double dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy;
    const double r = w / 2.0;
    const long y0 = std::max(0L, long(std::floor(std::min(ay, by) - r)));
    const long y1 = std::min(long(s.height()) - 1, long(std::ceil(std::max(ay, by) + r)));
    const long x0 = std::max(0L, long(std::floor(std::min(ax, bx) - r)));
    const long x1 = std::min(long(s.width()) - 1, long(std::ceil(std::max(ax, bx) + r)));
    for (long y = y0; y <= y1; ++y) {
        for (long x = x0; x <= x1; ++x) {
            const double px = x - ax, py = y - ay;
            const double t = (px * dx + py * dy) / len2;
            if (t < 0 || t > 1) continue;
            const double cross = px * dy - py * dx;
            if (cross * cross <= r * r * len2) s.setPixel(int(x), int(y), c);
        }
    }
}

}  // namespace

void strokeWidePolyline(Surface& s, const POINT* points, int count, bool closed, int width,
                        COLORREF c) {
    for (int i = 0; i + 1 < count; ++i) fillSegment(s, points[i], points[i + 1], width, c);
    if (closed) fillSegment(s, points[count - 1], points[0], width, c);
    for (int i = 0; i < count; ++i) fillDisc(s, points[i].x, points[i].y, width, c);
}

}  // namespace kelvane::gdi
