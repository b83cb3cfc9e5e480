// The filters run within a row from the right, so that a row filtered in place still holds the
// raw byte to its left when a filter predicts from it; the rows of a picture filtered in place
// run from the last up, so that the row above is still raw.
#include "output/png/png_filters.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace kelvane::png {

namespace {

uint8_t paethPredictor(int left, int above, int aboveLeft) {
    const int estimate = left + above - aboveLeft;
    const int toLeft = std::abs(estimate - left), toAbove = std::abs(estimate - above),
              toAboveLeft = std::abs(estimate - aboveLeft);
    if (toLeft <= toAbove && toLeft <= toAboveLeft) return uint8_t(left);
    return toAbove <= toAboveLeft ? uint8_t(above) : uint8_t(aboveLeft);
}

using Bytes16 = uint8_t __attribute__((vector_size(16)));
using Bytes8 = uint8_t __attribute__((vector_size(8)));
using Shorts8 = int16_t __attribute__((vector_size(16)));

// out[i] = row[i] - above[i], sixteen bytes at a time.
void subtractRow(const uint8_t* row, const uint8_t* above, size_t bytes, uint8_t* out) {
    size_t i = 0;
    for (; i + 16 <= bytes; i += 16) {
        Bytes16 a, b;
        std::memcpy(&a, row + i, 16);
        std::memcpy(&b, above + i, 16);
        a -= b;
        std::memcpy(out + i, &a, 16);
    }
    for (; i < bytes; ++i) out[i] = uint8_t(row[i] - above[i]);
}

Shorts8 widen(const uint8_t* bytes) {
    Bytes8 v;
    std::memcpy(&v, bytes, 8);
    return __builtin_convertvector(v, Shorts8);
}

Shorts8 magnitude(Shorts8 v) { return v < 0 ? -v : v; }

// The Paeth filter of row bytes from `from` to `to` (`to - from` a multiple of 8, `from` at least
// one pixel in), eight at a time from the right, as paethPredictor chooses: the estimate's
// distance to the left byte is |above - above left|, to the byte above |left - above left|.
void paethBlocks(const uint8_t* row, const uint8_t* above, size_t from, size_t to, size_t pixelBytes,
                 uint8_t* out) {
    for (size_t i = to; i > from;) {
        i -= 8;
        const Shorts8 left = widen(row + i - pixelBytes), up = widen(above + i),
                       upLeft = widen(above + i - pixelBytes);
        const Shorts8 fromUp = up - upLeft, fromLeft = left - upLeft;
        const Shorts8 toLeft = magnitude(fromUp), toAbove = magnitude(fromLeft),
                      toAboveLeft = magnitude(fromUp + fromLeft);
        const Shorts8 predicted =
            (toLeft <= toAbove) & (toLeft <= toAboveLeft) ? left : (toAbove <= toAboveLeft ? up : upLeft);
        const Bytes8 filtered = __builtin_convertvector(widen(row + i) - predicted, Bytes8);
        std::memcpy(out + i, &filtered, 8);
    }
}

// One row's bytes after its type byte, from `row` into `out`, which may be `row` itself; `above`
// is null for the top row (read as zeros).
void filterRow(const uint8_t* row, const uint8_t* above, size_t bytes, size_t pixelBytes, RowFilter filter,
               uint8_t* out) {
    switch (filter) {
    case RowFilter::None:
        if (out != row) std::memcpy(out, row, bytes);
        return;
    case RowFilter::Sub:
        for (size_t i = bytes; i-- > pixelBytes;) out[i] = uint8_t(row[i] - row[i - pixelBytes]);
        if (out != row) std::memcpy(out, row, std::min(pixelBytes, bytes));
        return;
    case RowFilter::Up:
        if (above) subtractRow(row, above, bytes, out);
        else if (out != row) std::memcpy(out, row, bytes);
        return;
    case RowFilter::Paeth:
        // The top row has nothing above: Paeth then predicts from the left alone, as Sub does.
        if (!above) return filterRow(row, nullptr, bytes, pixelBytes, RowFilter::Sub, out);
        if (bytes > pixelBytes) {
            const size_t blocksFrom = bytes - (bytes - pixelBytes) / 8 * 8;
            paethBlocks(row, above, blocksFrom, bytes, pixelBytes, out);
            for (size_t i = blocksFrom; i-- > pixelBytes;)
                out[i] = uint8_t(row[i] - paethPredictor(row[i - pixelBytes], above[i], above[i - pixelBytes]));
        }
        for (size_t i = std::min(pixelBytes, bytes); i-- > 0;) out[i] = uint8_t(row[i] - above[i]);
        return;
    }
}

}  // namespace

void FilterRows(uint8_t* rows, size_t rowBytes, size_t height, size_t pixelBytes, RowFilter filter) {
    for (size_t y = height; y-- > 0;) {
        uint8_t* row = rows + y * rowBytes;
        row[0] = uint8_t(filter);
        filterRow(row + 1, y > 0 ? row + 1 - rowBytes : nullptr, rowBytes - 1, pixelBytes, filter, row + 1);
    }
}

void FilterRow(const uint8_t* row, const uint8_t* above, size_t bytes, size_t pixelBytes, RowFilter filter,
               uint8_t* out) {
    out[0] = uint8_t(filter);
    filterRow(row, above, bytes, pixelBytes, filter, out + 1);
}

}  // namespace kelvane::png
