// PNG row filters: a whole picture in place, or one row at a time into another buffer.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kelvane::png {

// The filters by their type byte (Average, 3, is not used).
enum class RowFilter : uint8_t { None = 0, Sub = 1, Up = 2, Paeth = 4 };

// Filters `height` rows of `rowBytes` bytes (the type byte included) with the same filter, a
// pixel `pixelBytes` bytes (1 for palette rows of any depth). The rows hold raw bytes before.
void FilterRows(uint8_t* rows, size_t rowBytes, size_t height, size_t pixelBytes, RowFilter filter);

// Filters the `bytes` raw bytes of `row` into `out`: the type byte, then `bytes` filtered bytes.
// `above` holds the raw row above, or is null for the top row.
void FilterRow(const uint8_t* row, const uint8_t* above, size_t bytes, size_t pixelBytes, RowFilter filter,
               uint8_t* out);

}  // namespace kelvane::png
