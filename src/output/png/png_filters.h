// PNG row filters, applied in place to rows that each begin with their filter type byte.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kelvane::png {

// The filters by their type byte (Average, 3, is not used).
enum class RowFilter : uint8_t { None = 0, Sub = 1, Up = 2, Paeth = 4 };

// Filters `height` rows of `rowBytes` bytes (the type byte included) with the same filter, a
// pixel `pixelBytes` bytes (1 for palette rows of any depth). The rows hold raw bytes before.
void FilterRows(uint8_t* rows, size_t rowBytes, size_t height, size_t pixelBytes, RowFilter filter);

}  // namespace kelvane::png
