// Base quantisation tables and their scaling by quality.
#include "output/jpeg/jpeg_tables.h"

#include <algorithm>
#include <cmath>

#include "output/jpeg/jpeg_errors.h"

namespace kelvane::jpeg {

namespace {

constexpr TableValues toZigzag(const TableValues& natural) {
    TableValues zigzag{};
    for (int n = 0; n < kBlockCoefficients; ++n) zigzag[kZigzag[size_t(n)]] = natural[size_t(n)];
    return zigzag;
}

// Luminance: visually tuned step sizes, fine for the low frequencies the eye sees best.
constexpr TableValues kLuminanceNatural = {
    16, 11, 10, 16, 24,  40,  51,  61,   // row 0
    12, 12, 14, 19, 26,  58,  60,  55,   // row 1
    14, 13, 16, 24, 40,  57,  69,  56,   // row 2
    14, 17, 22, 29, 51,  87,  80,  62,   // row 3
    18, 22, 37, 56, 68,  109, 103, 77,   // row 4
    24, 35, 55, 64, 81,  104, 113, 92,   // row 5
    49, 64, 78, 87, 103, 121, 120, 101,  // row 6
    72, 92, 95, 98, 112, 100, 103, 99,   // row 7
};

// Chrominance: coarser, and flat 99 beyond the lowest frequencies.
constexpr TableValues kChrominanceNatural = {
    17, 18, 24, 47, 99, 99, 99, 99,  // row 0
    18, 21, 26, 66, 99, 99, 99, 99,  // row 1
    24, 26, 56, 99, 99, 99, 99, 99,  // row 2
    47, 66, 99, 99, 99, 99, 99, 99,  // row 3
    99, 99, 99, 99, 99, 99, 99, 99,  // row 4
    99, 99, 99, 99, 99, 99, 99, 99,  // row 5
    99, 99, 99, 99, 99, 99, 99, 99,  // row 6
    99, 99, 99, 99, 99, 99, 99, 99,  // row 7
};

constexpr TableValues kLuminance = toZigzag(kLuminanceNatural);
constexpr TableValues kChrominance = toZigzag(kChrominanceNatural);

}  // namespace

const TableValues& baseTable(int which) { return which == 0 ? kLuminance : kChrominance; }

int32_t qualityScale(int32_t quality) {
    if (quality >= 50) return 200 - 2 * quality;
    return int32_t(std::nearbyint(5000.0 / quality));
}

TableValues scaleTable(const TableValues& base, int32_t scale) {
    TableValues scaled{};
    for (int z = 0; z < kBlockCoefficients; ++z) {
        // Rounded, not truncated: 8.5 gives 8 and 8.99 gives 9. Every tie is an exact
        // multiple of 0.5 in binary, so the double quotient rounds exactly as intended.
        const double value = std::nearbyint((double(base[size_t(z)]) * scale + 50.0) / 100.0);
        scaled[size_t(z)] = uint16_t(std::clamp(value, 1.0, 255.0));
    }
    return scaled;
}

void computeDivisors(QuantTable& table, int32_t precision) {
    const int32_t largest = precision == 12 ? 65535 : 255;
    for (int row = 0; row < 8; ++row) {
        for (int column = 0; column < 8; ++column) {
            const int z = kZigzag[size_t(row * 8 + column)];
            const int32_t value = table.values[size_t(z)];
            if (value < 1 || value > largest) raiseJpeg(kBadQuantizationTable);
            // The DCT leaves its output unscaled; its AAN scale factors are folded in here once.
            table.divisors[size_t(z)] =
                float(kAanScale[size_t(row)] * kAanScale[size_t(column)] / value);
        }
    }
}

}  // namespace kelvane::jpeg
