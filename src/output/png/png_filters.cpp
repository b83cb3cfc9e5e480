// The filters run from the last row up and, within a row, from the right, so that the bytes a
// filter predicts from (left, above, above left) are still raw when it reads them.
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

// row[i] -= above[i], sixteen bytes at a time.
void subtractRow(uint8_t* row, const uint8_t* above, size_t bytes) {
    using Bytes16 = uint8_t __attribute__((vector_size(16)));
    size_t i = 0;
    for (; i + 16 <= bytes; i += 16) {
        Bytes16 a, b;
        std::memcpy(&a, row + i, 16);
        std::memcpy(&b, above + i, 16);
        a -= b;
        std::memcpy(row + i, &a, 16);
    }
    for (; i < bytes; ++i) row[i] = uint8_t(row[i] - above[i]);
}

// One row's bytes after its type byte; `above` is null for the top row (read as zeros).
void filterRow(uint8_t* row, const uint8_t* above, size_t bytes, size_t pixelBytes, RowFilter filter) {
    switch (filter) {
    case RowFilter::None: return;
    case RowFilter::Sub:
        for (size_t i = bytes; i-- > pixelBytes;) row[i] = uint8_t(row[i] - row[i - pixelBytes]);
        return;
    case RowFilter::Up:
        if (above) subtractRow(row, above, bytes);
        return;
    case RowFilter::Paeth:
        // The top row has nothing above: Paeth then predicts from the left alone, as Sub does.
        if (!above) return filterRow(row, nullptr, bytes, pixelBytes, RowFilter::Sub);
        for (size_t i = bytes; i-- > pixelBytes;)
            row[i] = uint8_t(row[i] - paethPredictor(row[i - pixelBytes], above[i], above[i - pixelBytes]));
        for (size_t i = std::min(pixelBytes, bytes); i-- > 0;) row[i] = uint8_t(row[i] - above[i]);
        return;
    }
}

}  // namespace

void FilterRows(uint8_t* rows, size_t rowBytes, size_t height, size_t pixelBytes, RowFilter filter) {
    for (size_t y = height; y-- > 0;) {
        uint8_t* row = rows + y * rowBytes;
        row[0] = uint8_t(filter);
        filterRow(row + 1, y > 0 ? row + 1 - rowBytes : nullptr, rowBytes - 1, pixelBytes, filter);
    }
}

}  // namespace kelvane::png
