// The JPEG encoder's quantisation side: zigzag order, the two base tables, the AAN scale factors
// and the scaling of the base tables by a quality setting into values and float divisors.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace kelvane::jpeg {

inline constexpr int kBlockCoefficients = 64;

using ZigzagTable = std::array<uint8_t, kBlockCoefficients>;

namespace detail {

// Walks the zigzag path through the 8 x 8 block: up and to the right on even diagonals, down and
// to the left on odd ones, turning at the block's edges.
constexpr ZigzagTable walkZigzag() {
    ZigzagTable zigzag{};
    int row = 0, column = 0;
    for (int position = 0; position < kBlockCoefficients; ++position) {
        zigzag[size_t(row * 8 + column)] = uint8_t(position);
        if ((row + column) % 2 == 0) {
            if (column == 7) ++row;
            else if (row == 0) ++column;
            else { --row; ++column; }
        } else {
            if (row == 7) ++column;
            else if (column == 0) ++row;
            else { ++row; --column; }
        }
    }
    return zigzag;
}

constexpr ZigzagTable invert(const ZigzagTable& zigzag) {
    ZigzagTable natural{};
    for (int n = 0; n < kBlockCoefficients; ++n) natural[zigzag[size_t(n)]] = uint8_t(n);
    return natural;
}

}  // namespace detail

// Zigzag position of each natural-order coefficient (row x 8 + column).
inline constexpr ZigzagTable kZigzag = detail::walkZigzag();
// Natural-order index of each zigzag position.
inline constexpr ZigzagTable kNatural = detail::invert(kZigzag);

using TableValues = std::array<uint16_t, kBlockCoefficients>;

// The base tables in zigzag order: 0 luminance, 1 chrominance.
const TableValues& baseTable(int which);

// AAN scale factors f(k) = 1 / (2 sqrt(2) s(k)), s(0) = 1, s(k) = sqrt(2) cos(k pi / 16).
inline constexpr std::array<double, 8> kAanScale = {
    0.353553390593273, 0.25489778955208,  0.270598050073098, 0.300672443467523,
    0.353553390593273, 0.449988111568207, 0.653281482438186, 1.28145772387074,
};

// A quantisation table: its values as written to the stream and the factors that turn an
// unscaled DCT output into a quantised coefficient, both in zigzag order.
struct QuantTable {
    TableValues values{};
    std::array<float, kBlockCoefficients> divisors{};
};

// 200 - 2q from quality 50 up; 5000 / q rounded (ties to even) below.
int32_t qualityScale(int32_t quality);
// (base x scale + 50) / 100 rounded to the nearest integer, ties to even, clamped to 1..255.
TableValues scaleTable(const TableValues& base, int32_t scale);
// Fills the divisors from the values; a value outside 1..255 (1..65535 at precision 12) raises
// error 1 "Bad Quantization Table".
void computeDivisors(QuantTable& table, int32_t precision);

}  // namespace kelvane::jpeg
