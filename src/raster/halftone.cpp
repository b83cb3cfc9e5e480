// HALFTONE stretching: each destination pixel is the coverage-weighted mean of the source area
// it covers (a 2 x 2 average at half size, an exact copy at equal size), computed separably with
// integer weights so that flat areas keep their colour exactly.
#include <algorithm>
#include <vector>

#include "raster/pixel_copy.h"
#include "raster/stretch.h"

namespace kelvane::gdi {

namespace {

struct Tap {
    int pos;         // source pixel
    int64_t weight;  // its share of the destination pixel, in 1/dstExtent source pixels
};

// The taps of every destination pixel of one axis, flattened: pixel p owns
// taps[first[p - low] .. first[p - low + 1]).
struct AxisTaps {
    int low = 0, high = 0;
    std::vector<size_t> first;
    std::vector<Tap> taps;
    std::vector<int64_t> total;  // sum of the weights of each pixel
    int64_t largest = 0;         // largest total
};

AxisTaps tapsOf(const AxisPlan& a) {
    AxisTaps t;
    t.low = a.visibleLow;
    t.high = a.visibleHigh;
    const int64_t dw = a.dstExtent, sw = a.srcExtent;
    // Readable source pixels as indices in drawing order.
    const int64_t r0 = a.srcMirrored ? a.srcHigh - a.readHigh : a.readLow - a.srcLow;
    const int64_t r1 = a.srcMirrored ? a.srcHigh - a.readLow : a.readHigh - a.srcLow;
    t.first.reserve(size_t(t.high - t.low) + 1);
    for (int p = t.low; p < t.high; ++p) {
        t.first.push_back(t.taps.size());
        int64_t sum = 0;
        const int64_t d = a.destIndex(p);
        if (d >= 0 && d < dw) {
            // Destination index d covers source indices [d * sw / dw, (d + 1) * sw / dw).
            const int64_t from = d * sw, to = (d + 1) * sw;
            const int64_t i0 = std::max(from / dw, r0);
            const int64_t i1 = std::min((to + dw - 1) / dw, r1);
            for (int64_t i = i0; i < i1; ++i) {
                const int64_t w = std::min((i + 1) * dw, to) - std::max(i * dw, from);
                if (w <= 0) continue;
                t.taps.push_back(Tap{int(a.sourceAt(i)), w});
                sum += w;
            }
        }
        t.total.push_back(sum);
        t.largest = std::max(t.largest, sum);
    }
    t.first.push_back(t.taps.size());
    return t;
}

template <class Acc>
void average(RowSource& rows, RowWriter& writer, const AxisTaps& xs, const AxisTaps& ys) {
    const size_t n = size_t(xs.high - xs.low);
    std::vector<Acc> acc(n * 3);
    std::vector<uint32_t> out(n);
    std::vector<char> covered(n);
    const int left = rows.left();
    for (int q = ys.low; q < ys.high; ++q) {
        const size_t qi = size_t(q - ys.low);
        if (ys.total[qi] == 0) continue;
        std::fill(acc.begin(), acc.end(), Acc(0));
        for (size_t k = ys.first[qi]; k < ys.first[qi + 1]; ++k) {
            const Tap& ty = ys.taps[k];
            const uint32_t* line = rows.row(ty.pos);
            for (size_t pi = 0; pi < n; ++pi) {
                // One source row's contribution to the pixel: at most 2^31 * 255 per channel.
                uint64_t r = 0, g = 0, b = 0;
                for (size_t j = xs.first[pi]; j < xs.first[pi + 1]; ++j) {
                    const uint32_t c = line[xs.taps[j].pos - left];
                    const uint64_t w = uint64_t(xs.taps[j].weight);
                    r += w * (c >> 16 & 0xFF);
                    g += w * (c >> 8 & 0xFF);
                    b += w * (c & 0xFF);
                }
                acc[pi * 3] += Acc(ty.weight) * Acc(r);
                acc[pi * 3 + 1] += Acc(ty.weight) * Acc(g);
                acc[pi * 3 + 2] += Acc(ty.weight) * Acc(b);
            }
        }
        for (size_t pi = 0; pi < n; ++pi) {
            const Acc total = Acc(xs.total[pi]) * Acc(ys.total[qi]);
            covered[pi] = total != 0;
            if (!covered[pi]) continue;
            auto mean = [&](Acc v) { return uint32_t((v + total / 2) / total); };
            out[pi] = mean(acc[pi * 3]) << 16 | mean(acc[pi * 3 + 1]) << 8 | mean(acc[pi * 3 + 2]);
        }
        size_t p = 0;
        while (p < n) {
            while (p < n && !covered[p]) ++p;
            const size_t from = p;
            while (p < n && covered[p]) ++p;
            if (p > from) writer.write(q, xs.low + int(from), int(p - from), out.data() + from);
        }
    }
}

// True when every pixel of the axis averages exactly two source pixels of equal weight (an
// exact halving), so that the mean of four is (sum + 2) / 4 with no weights at all.
bool halvesEveryPixel(const AxisTaps& t) {
    for (size_t p = 0; p + 1 < t.first.size(); ++p) {
        if (t.first[p + 1] - t.first[p] != 2) return false;
        if (t.taps[t.first[p]].weight != t.taps[t.first[p] + 1].weight) return false;
    }
    return true;
}

// The 2 x 2 average of the half-size shrink, the common case of chroma sampling.
void averagePairs(RowSource& rows, RowWriter& writer, const AxisTaps& xs, const AxisTaps& ys, size_t rowWidth) {
    const size_t n = size_t(xs.high - xs.low);
    std::vector<uint32_t> out(n), upper;
    const int left = rows.left();
    for (int q = ys.low; q < ys.high; ++q) {
        const size_t qi = size_t(q - ys.low);
        // The row source keeps one row at a time: hold the upper row while reading the lower.
        const uint32_t* first = rows.row(ys.taps[ys.first[qi]].pos);
        upper.assign(first, first + rowWidth);
        const uint32_t* a = upper.data();
        const uint32_t* b = rows.row(ys.taps[ys.first[qi] + 1].pos);
        for (size_t pi = 0; pi < n; ++pi) {
            const size_t j = xs.first[pi];
            const int c0 = xs.taps[j].pos - left, c1 = xs.taps[j + 1].pos - left;
            const uint32_t p0 = a[c0], p1 = a[c1], p2 = b[c0], p3 = b[c1];
            auto channel = [&](int shift) {
                const uint32_t sum = (p0 >> shift & 0xFF) + (p1 >> shift & 0xFF) + (p2 >> shift & 0xFF) +
                                     (p3 >> shift & 0xFF);
                return (sum + 2) / 4;
            };
            out[pi] = channel(16) << 16 | channel(8) << 8 | channel(0);
        }
        writer.write(q, xs.low, int(n), out.data());
    }
}

// The same 2 x 2 average straight from the rows of a 24- or 32-bit source (the canvas), without
// converting each row first.
void averagePairsDirect(const Surface& src, RowWriter& writer, const AxisTaps& xs, const AxisTaps& ys) {
    const size_t n = size_t(xs.high - xs.low);
    const size_t step = size_t(src.bpp() / 8);
    std::vector<uint32_t> out(n);
    for (int q = ys.low; q < ys.high; ++q) {
        const size_t qi = size_t(q - ys.low);
        const uint8_t* a = src.row(ys.taps[ys.first[qi]].pos);
        const uint8_t* b = src.row(ys.taps[ys.first[qi] + 1].pos);
        for (size_t pi = 0; pi < n; ++pi) {
            const size_t j = xs.first[pi];
            const size_t c0 = size_t(xs.taps[j].pos) * step, c1 = size_t(xs.taps[j + 1].pos) * step;
            uint32_t pixel = 0;
            for (int k = 0; k < 3; ++k) {  // blue, green, red bytes
                const uint32_t sum = uint32_t(a[c0 + k]) + a[c1 + k] + b[c0 + k] + b[c1 + k];
                pixel |= ((sum + 2) / 4) << (8 * k);
            }
            out[pi] = pixel;
        }
        writer.write(q, xs.low, int(n), out.data());
    }
}

}  // namespace

void halftonePixels(const Surface& src, Surface& dst, const AxisPlan& x, const AxisPlan& y) {
    const AxisTaps xs = tapsOf(x), ys = tapsOf(y);
    if (xs.largest == 0 || ys.largest == 0) return;
    RowWriter writer(dst);
    const bool halving = halvesEveryPixel(xs) && halvesEveryPixel(ys);
    if (halving && &src != &dst && (src.bpp() == 24 || src.bpp() == 32)) {
        averagePairsDirect(src, writer, xs, ys);
        return;
    }
    RowSource rows(src, x.readLow, x.readHigh, y.readLow, y.readHigh, &src == &dst);
    if (halving) {
        averagePairs(rows, writer, xs, ys, size_t(x.readHigh - x.readLow));
        return;
    }
    // 64-bit sums suffice unless the weights of both axes are large.
    const unsigned __int128 bound = (unsigned __int128)xs.largest * ys.largest * 255;
    if (bound < (unsigned __int128)(uint64_t{1} << 62)) average<uint64_t>(rows, writer, xs, ys);
    else average<unsigned __int128>(rows, writer, xs, ys);
}

}  // namespace kelvane::gdi
