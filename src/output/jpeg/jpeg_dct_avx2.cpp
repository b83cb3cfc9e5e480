// The block transform eight lanes wide: one AVX2 register holds a whole row of the block, so each
// pass of the AAN DCT runs once over eight registers. The operations and their order are those of
// the scalar and SSE2 kernels, without fused multiply-adds, so the coefficients are the same bit
// for bit. Built for AVX2 function by function: the library still runs where AVX2 is missing.
#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include "output/jpeg/jpeg_aan.h"
#include "output/jpeg/jpeg_kernels.h"
#include "output/jpeg/jpeg_tables.h"

namespace kelvane::jpeg {

namespace {

// Rows become columns: lane c of d[r] moves to lane r of d[c].
__attribute__((target("avx2"))) inline void transpose8(__m256 d[8]) {
    const __m256 t0 = _mm256_unpacklo_ps(d[0], d[1]), t1 = _mm256_unpackhi_ps(d[0], d[1]);
    const __m256 t2 = _mm256_unpacklo_ps(d[2], d[3]), t3 = _mm256_unpackhi_ps(d[2], d[3]);
    const __m256 t4 = _mm256_unpacklo_ps(d[4], d[5]), t5 = _mm256_unpackhi_ps(d[4], d[5]);
    const __m256 t6 = _mm256_unpacklo_ps(d[6], d[7]), t7 = _mm256_unpackhi_ps(d[6], d[7]);
    const __m256 u0 = _mm256_shuffle_ps(t0, t2, 0x44), u1 = _mm256_shuffle_ps(t0, t2, 0xEE);
    const __m256 u2 = _mm256_shuffle_ps(t1, t3, 0x44), u3 = _mm256_shuffle_ps(t1, t3, 0xEE);
    const __m256 u4 = _mm256_shuffle_ps(t4, t6, 0x44), u5 = _mm256_shuffle_ps(t4, t6, 0xEE);
    const __m256 u6 = _mm256_shuffle_ps(t5, t7, 0x44), u7 = _mm256_shuffle_ps(t5, t7, 0xEE);
    d[0] = _mm256_permute2f128_ps(u0, u4, 0x20);
    d[1] = _mm256_permute2f128_ps(u1, u5, 0x20);
    d[2] = _mm256_permute2f128_ps(u2, u6, 0x20);
    d[3] = _mm256_permute2f128_ps(u3, u7, 0x20);
    d[4] = _mm256_permute2f128_ps(u0, u4, 0x31);
    d[5] = _mm256_permute2f128_ps(u1, u5, 0x31);
    d[6] = _mm256_permute2f128_ps(u2, u6, 0x31);
    d[7] = _mm256_permute2f128_ps(u3, u7, 0x31);
}

__attribute__((target("avx2"))) inline void aanPass(__m256 d[8]) {
    aan8(d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7]);
}

// Byte shuffles that put the coefficients into zigzag order: zigzag positions 16 j .. 16 j + 15
// are gathered from the eight columns of the transposed block (column k, eight values, in both
// halves of a register), each through shuffle j of column k; a byte of -128 takes nothing.
struct ZigzagShuffles {
    alignas(32) int8_t bytes[4][8][32];
};

constexpr ZigzagShuffles makeZigzagShuffles() {
    ZigzagShuffles s{};
    for (auto& group : s.bytes)
        for (auto& column : group)
            for (int8_t& b : column) b = -128;
    for (int z = 0; z < kBlockCoefficients; ++z) {
        const int row = kNatural[size_t(z)] / 8, column = kNatural[size_t(z)] % 8;
        // Position z % 16 of the group is in the register's half z % 16 / 8, at byte 2 (z % 16)
        // of the whole; the value is element `row` of its column.
        int8_t* to = &s.bytes[z / 16][column][2 * (z % 16)];
        to[0] = int8_t(2 * row);
        to[1] = int8_t(2 * row + 1);
    }
    return s;
}

constexpr ZigzagShuffles kZigzagShuffles = makeZigzagShuffles();

// Bit i set where a[i] (i < 16) or b[i - 16] is zero.
__attribute__((target("avx2"))) inline uint32_t zeroBits(__m256i a, __m256i b) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i bytes = _mm256_packs_epi16(_mm256_cmpeq_epi16(a, zero), _mm256_cmpeq_epi16(b, zero));
    return uint32_t(_mm256_movemask_epi8(_mm256_permute4x64_epi64(bytes, 0xD8)));
}

// zigzagFromTransposed with the shuffles: the whole block is written, and its AC mask comes from
// the registers.
__attribute__((target("avx2"))) inline uint64_t zigzagAvx2(const int16_t transposed[kBlockCoefficients],
                                                           int16_t out[kBlockCoefficients]) {
    __m256i columns[8];
#pragma GCC unroll 8
    for (int k = 0; k < 8; ++k)
        columns[k] = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(transposed + 8 * k)));
    __m256i groups[4];
#pragma GCC unroll 4
    for (int j = 0; j < 4; ++j) {
        __m256i g = _mm256_setzero_si256();
#pragma GCC unroll 8
        for (int k = 0; k < 8; ++k) {
            const __m256i shuffle = _mm256_load_si256(reinterpret_cast<const __m256i*>(kZigzagShuffles.bytes[j][k]));
            g = _mm256_or_si256(g, _mm256_shuffle_epi8(columns[k], shuffle));
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 16 * j), g);
        groups[j] = g;
    }
    const uint64_t zeros = uint64_t(zeroBits(groups[2], groups[3])) << 32 | zeroBits(groups[0], groups[1]);
    return ~zeros & ~uint64_t{1};
}

}  // namespace

__attribute__((target("avx2"))) uint64_t transformBlockAvx2(const float samples[kBlockCoefficients],
                                                            const BlockQuantiser& quantiser,
                                                            int16_t out[kBlockCoefficients]) {
    // Columns first: lane c of d[r] is sample (r, c).
    __m256 d[8];
#pragma GCC unroll 8
    for (int r = 0; r < 8; ++r) d[r] = _mm256_loadu_ps(samples + r * 8);
    aanPass(d);
    // Transposed, lane r of d[c] is the column pass's (r, c); the row pass leaves DCT(r, c) there,
    // index c x 8 + r as the quantiser's tables are laid out.
    transpose8(d);
    aanPass(d);

    // Two columns of products at a time packed into sixteen coefficients: the pack works within
    // each 128-bit half, the permutation puts the halves back in order. The conversion rounds
    // half to even under the default rounding mode.
    alignas(32) int16_t transposed[kBlockCoefficients];
    const __m256i notDc = _mm256_setr_epi16(0, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    __m256i nonzeroAc = _mm256_setzero_si256();
#pragma GCC unroll 4
    for (int c = 0; c < 8; c += 2) {
        const __m256 da = _mm256_loadu_ps(quantiser.transposedDivisors + c * 8);
        const __m256 db = _mm256_loadu_ps(quantiser.transposedDivisors + c * 8 + 8);
        const __m256i qa = _mm256_cvtps_epi32(_mm256_mul_ps(da, d[c]));
        const __m256i qb = _mm256_cvtps_epi32(_mm256_mul_ps(db, d[c + 1]));
        const __m256i packed = _mm256_permute4x64_epi64(_mm256_packs_epi32(qa, qb), 0xD8);
        _mm256_store_si256(reinterpret_cast<__m256i*>(transposed + c * 8), packed);
        nonzeroAc = _mm256_or_si256(nonzeroAc, c == 0 ? _mm256_and_si256(packed, notDc) : packed);
    }
    out[0] = transposed[0];
    // Most blocks of a chart are flat: nothing but the DC coefficient.
    if (_mm256_testz_si256(nonzeroAc, nonzeroAc)) return 0;
    return zigzagAvx2(transposed, out);
}

}  // namespace kelvane::jpeg

#endif
