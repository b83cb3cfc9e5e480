// Geometry and pixel selection of stretched copies: the visible rectangles of a copy, the
// nearest-pixel mapping in both directions, and the AND/OR/pick combination of the stretch modes.
#include "raster/stretch.h"

#include <algorithm>
#include <vector>

#include "raster/pixel_copy.h"

namespace kelvane::gdi {

namespace {

// Products of coordinates and extents need up to 64 bits; quotients are clamped well inside
// int64 so that the sums that follow cannot overflow either.
constexpr int64_t kFar = int64_t{1} << 40;

int64_t clampFar(__int128 v) { return v < -kFar ? -kFar : v > kFar ? kFar : int64_t(v); }

// a * b / c, rounded towards zero as integer division does.
int64_t scaled(int64_t a, int64_t b, int64_t c) { return clampFar(__int128(a) * b / c); }

int64_t ceilDiv(int64_t a, int64_t b) { return a >= 0 ? (a + b - 1) / b : -((-a) / b); }

struct Span {
    int64_t low, high;
    bool empty() const { return low >= high; }
};

Span normalised(int64_t origin, int64_t extent) {
    return extent >= 0 ? Span{origin, origin + extent} : Span{origin + extent + 1, origin + 1};
}

Span intersect(Span a, Span b) { return Span{std::max(a.low, b.low), std::min(a.high, b.high)}; }

Span ordered(int64_t a, int64_t b) { return a <= b ? Span{a, b} : Span{b, a}; }

}  // namespace

int64_t AxisPlan::destIndex(int64_t p) const {
    const int64_t e = p - shift;
    return dstMirrored ? dstHigh - 1 - e : e - dstLow;
}

bool planAxis(int64_t dst, int64_t dstExtent, int64_t src, int64_t srcExtent, int srcLimit,
              int dstLimit, AxisPlan& plan) {
    if (dstExtent == 0 || srcExtent == 0) return false;
    const Span d = normalised(dst, dstExtent), s = normalised(src, srcExtent);
    Span visible = intersect(d, Span{0, dstLimit});
    Span readable = intersect(s, Span{0, srcLimit});
    if (visible.empty() || readable.empty()) return false;
    plan.dstLow = d.low;
    plan.dstHigh = d.high;
    plan.srcLow = s.low;
    plan.srcHigh = s.high;
    plan.dstExtent = d.high - d.low;
    plan.srcExtent = s.high - s.low;
    plan.dstMirrored = dstExtent < 0;
    plan.srcMirrored = srcExtent < 0;
    plan.shift = 0;
    if (dstExtent == srcExtent) {
        // A straight copy: the rectangles correspond pixel for pixel.
        const int64_t offset = dst - src;
        visible = intersect(visible, Span{readable.low + offset, readable.high + offset});
        if (visible.empty()) return false;
        readable = Span{visible.low - offset, visible.high - offset};
    } else {
        // Map the readable source onto the destination through the rectangles' origin edges.
        const int64_t dstOrigin = dstExtent < 0 ? dst + 1 : dst;
        const int64_t srcOrigin = srcExtent < 0 ? src + 1 : src;
        Span mapped = ordered(dstOrigin + scaled(readable.low - srcOrigin, dstExtent, srcExtent),
                              dstOrigin + scaled(readable.high - srcOrigin, dstExtent, srcExtent));
        // When a mirrored copy is trimmed at the source edge, the reference renderer lays the
        // trimmed part at the opposite end of the destination, as if the copy were not mirrored,
        // and moves the picture with it (a source mirror trimmed by one pixel on the far side is
        // the exception).
        bool flip = false;
        if (dstExtent < 0 && srcExtent > 0) flip = s.low < 0 || s.high > srcLimit;
        else if (srcExtent < 0 && dstExtent > 0) flip = s.low < 0 || s.high > int64_t(srcLimit) + 1;
        if (flip) {
            const Span moved{d.low + d.high - mapped.high, d.low + d.high - mapped.low};
            plan.shift = moved.low - mapped.low;
            mapped = moved;
        }
        // One pixel of slack on each side absorbs the rounding of the mapping.
        visible = intersect(visible, Span{mapped.low - 1, mapped.high + 1});
        if (visible.empty()) return false;
        const int64_t back0 = visible.low - plan.shift - dstOrigin;
        const int64_t back1 = visible.high - plan.shift - dstOrigin;
        const Span source = ordered(srcOrigin + scaled(back0, srcExtent, dstExtent),
                                    srcOrigin + scaled(back1, srcExtent, dstExtent));
        readable = intersect(readable, Span{source.low - 1, source.high + 1});
        if (readable.empty()) return false;
    }
    plan.visibleLow = int(visible.low);
    plan.visibleHigh = int(visible.high);
    plan.readLow = int(readable.low);
    plan.readHigh = int(readable.high);
    return true;
}

namespace {

// The source run feeding one destination pixel, as positions in the source: the first and the
// last pixel in drawing order. Empty when the pixel has no readable source.
struct Run {
    int first = 0, last = -1;
    bool empty = true;
    int low() const { return std::min(first, last); }
    int high() const { return std::max(first, last); }
};

// Source indices [i0, i1) (in drawing order) of destination index d, before trimming.
void runIndices(const AxisPlan& a, int64_t d, bool dropLast, int64_t& i0, int64_t& i1) {
    const int64_t dw = a.dstExtent, sw = a.srcExtent;
    if (!a.shrinks()) {
        // Enlarging: every destination pixel samples one source pixel.
        i0 = (d * sw + (sw - 1) / 2) / dw;
        i1 = i0 + 1;
        return;
    }
    // Shrinking: source index i lands in destination index (i * dw + (dw - 1) / 2) / sw.
    const int64_t c = (dw - 1) / 2;
    auto first = [&](int64_t k) { return k == 0 ? 0 : ceilDiv(k * sw - c, dw); };
    i0 = first(d);
    i1 = d + 1 >= dw ? sw : first(d + 1);
    if (dropLast && dw == 1) i1 = sw - 1;
}

Run runOf(const AxisPlan& a, int p, bool dropLast) {
    Run run;
    const int64_t d = a.destIndex(p);
    if (d < 0 || d >= a.dstExtent) return run;
    int64_t i0, i1;
    runIndices(a, d, dropLast, i0, i1);
    // Readable source pixels as indices in drawing order.
    const int64_t r0 = a.srcMirrored ? a.srcHigh - a.readHigh : a.readLow - a.srcLow;
    const int64_t r1 = a.srcMirrored ? a.srcHigh - a.readLow : a.readHigh - a.srcLow;
    i0 = std::max(i0, r0);
    i1 = std::min(i1, r1);
    if (i0 >= i1) return run;
    run.first = int(a.sourceAt(i0));
    run.last = int(a.sourceAt(i1 - 1));
    run.empty = false;
    return run;
}

// The runs of every destination pixel in [visibleLow, visibleHigh), and the sub-range that has
// any: the pixels with a source always form one interval.
struct AxisRuns {
    std::vector<Run> runs;
    int low = 0, high = 0;  // destination pixels with a run
    const Run& at(int p) const { return runs[size_t(p - offset)]; }
    int offset = 0;
};

AxisRuns runsOf(const AxisPlan& a, bool dropLast) {
    AxisRuns out;
    out.offset = a.visibleLow;
    out.runs.resize(size_t(a.visibleHigh - a.visibleLow));
    out.low = a.visibleHigh;
    out.high = a.visibleLow;
    for (int p = a.visibleLow; p < a.visibleHigh; ++p) {
        const Run r = runOf(a, p, dropLast);
        out.runs[size_t(p - a.visibleLow)] = r;
        if (!r.empty) {
            out.low = std::min(out.low, p);
            out.high = std::max(out.high, p + 1);
        }
    }
    return out;
}

bool straightCopy(const AxisPlan& a) {
    return a.dstExtent == a.srcExtent && a.dstMirrored == a.srcMirrored && a.shift == 0;
}

}  // namespace

void stretchPixels(const StretchRequest& rq) {
    const Surface& src = *rq.src;
    Surface& dst = *rq.dst;
    const AxisPlan& ax = rq.x;
    const AxisPlan& ay = rq.y;
    if (straightCopy(ax) && straightCopy(ay)) {
        copyPixels(src, ax.readLow, ay.readLow, dst, ax.visibleLow, ay.visibleLow,
                   ax.visibleHigh - ax.visibleLow, ay.visibleHigh - ay.visibleLow);
        return;
    }
    if (rq.mode == HALFTONE) {
        halftonePixels(src, dst, ax, ay);
        return;
    }
    const bool pick = rq.mode != BLACKONWHITE && rq.mode != WHITEONBLACK;
    const bool dropX = rq.singlePixelDropsLast && !ax.dstMirrored && !ax.srcMirrored;
    const bool dropY = rq.singlePixelDropsLast && !ay.dstMirrored && !ay.srcMirrored;
    const AxisRuns xs = runsOf(ax, dropX);
    // Picking keeps the first source row of a run and so never reaches the left-out last one.
    const AxisRuns ys = runsOf(ay, dropY && !pick);
    if (xs.low >= xs.high || ys.low >= ys.high) return;

    RowSource rows(src, ax.readLow, ax.readHigh, ay.readLow, ay.readHigh, &src == &dst);
    RowWriter writer(dst);
    const int width = xs.high - xs.low;
    const int left = rows.left();
    std::vector<uint32_t> out(static_cast<size_t>(width));
    const uint32_t start = rq.mode == BLACKONWHITE ? 0x00FFFFFFu : 0u;
    for (int q = ys.low; q < ys.high; ++q) {
        const Run& ry = ys.at(q);
        if (ry.empty) continue;
        if (pick) {
            // COLORONCOLOR: the first source row of the run, the last pixel of each column run.
            const uint32_t* line = rows.row(ry.first);
            for (int p = xs.low; p < xs.high; ++p) {
                const Run& rx = xs.at(p);
                if (!rx.empty) out[size_t(p - xs.low)] = line[rx.last - left];
            }
        } else {
            // BLACKONWHITE keeps dark pixels (AND), WHITEONBLACK light ones (OR).
            std::fill(out.begin(), out.end(), start);
            for (int r = ry.low(); r <= ry.high(); ++r) {
                const uint32_t* line = rows.row(r);
                for (int p = xs.low; p < xs.high; ++p) {
                    const Run& rx = xs.at(p);
                    if (rx.empty) continue;
                    uint32_t v = out[size_t(p - xs.low)];
                    if (rq.mode == BLACKONWHITE) {
                        for (int c = rx.low(); c <= rx.high(); ++c) v &= line[c - left];
                    } else {
                        for (int c = rx.low(); c <= rx.high(); ++c) v |= line[c - left];
                    }
                    out[size_t(p - xs.low)] = v;
                }
            }
        }
        // Columns without a source keep their pixels (they can only occur at the ends).
        int p = xs.low;
        while (p < xs.high) {
            while (p < xs.high && xs.at(p).empty) ++p;
            const int from = p;
            while (p < xs.high && !xs.at(p).empty) ++p;
            if (p > from) writer.write(q, from, p - from, out.data() + (from - xs.low));
        }
    }
}

}  // namespace kelvane::gdi
