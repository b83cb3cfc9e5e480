// The pixels of a one-pixel line, step by step: shared by the lines that are drawn at once and
// by the ones whose painting is put off (deferred_paint.h), so that both choose the same pixels.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "raster/surface.h"

namespace kelvane::gdi {

namespace line_walk {

// ceil(a / b) for b > 0.
inline __int128 ceilDiv(__int128 a, __int128 b) { return a >= 0 ? (a + b - 1) / b : -((-a) / b); }

// Minor-axis offset at step i (0 <= i < n): nearest to i * d / n, ties to the smaller value. Lines
// shorter than 2^30 both ways, all but those near the coordinate limits, fit 64 bits.
inline long minorOffset(long i, long d, long n) {
    if (d == 0) return 0;  // a level or upright line: the nearest offset is 0 (ceil(-1/2))
    constexpr long kNarrow = long{1} << 30;
    if (n < kNarrow && d > -kNarrow && d < kNarrow) {
        const int64_t a = 2 * int64_t(i) * d - n, b = 2 * int64_t(n);
        return long(a >= 0 ? (a + b - 1) / b : -((-a) / b));
    }
    return long(ceilDiv(__int128(2) * i * d - n, __int128(2) * n));
}

}  // namespace line_walk

// Calls skip(k) for runs of steps whose major coordinate is off the surface and visit(x, y)
// for the others, in drawing order; returns without a call for a line of no length.
template <class Skip, class Visit>
inline void walkLine(const Surface& s, long x0, long y0, long x1, long y1, Skip&& skip, Visit&& visit) {
    const long dx = x1 - x0, dy = y1 - y0;
    if (dx == 0 && dy == 0) return;
    const bool xMajor = std::labs(dx) >= std::labs(dy);
    const long n = xMajor ? std::labs(dx) : std::labs(dy);
    const long step = (xMajor ? dx : dy) > 0 ? 1 : -1;
    const long major0 = xMajor ? x0 : y0;
    const long minor0 = xMajor ? y0 : x0;
    const long minorDelta = xMajor ? dy : dx;
    const long majorLimit = xMajor ? s.width() : s.height();
    // Steps whose major coordinate lies on the surface: major0 + i * step in [0, majorLimit).
    long first, last;
    if (step > 0) {
        first = std::max(0L, -major0);
        last = std::min(n - 1, majorLimit - 1 - major0);
    } else {
        first = std::max(0L, major0 - (majorLimit - 1));
        last = std::min(n - 1, major0);
    }
    if (first > last) {
        skip(n);
        return;
    }
    skip(first);
    constexpr long kNarrow = long{1} << 30;
    if (n < kNarrow && minorDelta > -kNarrow && minorDelta < kNarrow) {
        // minorOffset stepped instead of divided: the offset is ceil(N / D) with N = 2 i d - n and
        // D = 2 n, kept as N = q D + r (0 <= r < D) while N grows by 2 d a step.
        const int64_t den = 2 * int64_t(n), num = 2 * int64_t(first) * minorDelta - n;
        int64_t q = num / den, r = num % den;
        if (r < 0) r += den, --q;
        int64_t stepQ = 2 * int64_t(minorDelta) / den, stepR = 2 * int64_t(minorDelta) % den;
        if (stepR < 0) stepR += den, --stepQ;
        for (long i = first; i <= last; ++i) {
            const long major = major0 + i * step;
            const long minor = minor0 + long(q + (r > 0 ? 1 : 0));
            if (xMajor) visit(major, minor);
            else visit(minor, major);
            q += stepQ;
            r += stepR;
            if (r >= den) r -= den, ++q;
        }
    } else {
        for (long i = first; i <= last; ++i) {
            const long major = major0 + i * step;
            const long minor = minor0 + line_walk::minorOffset(i, minorDelta, n);
            if (xMajor) visit(major, minor);
            else visit(minor, major);
        }
    }
    skip(n - 1 - last);
}

}  // namespace kelvane::gdi
