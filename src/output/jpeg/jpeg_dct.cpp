// The float forward DCT (Arai, Agui and Nakajima's factorisation) and quantisation of one block,
// in plain C++ and 4-wide SSE2; the 8-wide AVX2 kernel is in jpeg_dct_avx2.cpp.
#include <cmath>

#include "output/jpeg/jpeg_aan.h"
#include "output/jpeg/jpeg_blocks.h"
#include "output/jpeg/jpeg_kernels.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kelvane::jpeg {

namespace {

#if defined(__SSE2__)

struct F4 {
    __m128 v;
};
inline F4 operator+(F4 a, F4 b) { return {_mm_add_ps(a.v, b.v)}; }
inline F4 operator-(F4 a, F4 b) { return {_mm_sub_ps(a.v, b.v)}; }
inline F4 operator*(F4 a, float c) { return {_mm_mul_ps(a.v, _mm_set1_ps(c))}; }

inline void aanPass(F4* d) { aan8(d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7]); }

inline void transpose(F4& a, F4& b, F4& c, F4& d) { _MM_TRANSPOSE4_PS(a.v, b.v, c.v, d.v); }

#endif

}  // namespace

BlockQuantiser::BlockQuantiser(const QuantTable& table) {
    for (int row = 0; row < 8; ++row) {
        for (int column = 0; column < 8; ++column) {
            const uint8_t z = kZigzag[size_t(row * 8 + column)];
            transposedDivisors[column * 8 + row] = table.divisors[z];
            transposedZigzag[column * 8 + row] = z;
        }
    }
    dcDivisor = table.divisors[0];
}

#if defined(__SSE2__)

uint64_t acMask(const int16_t coefficients[kBlockCoefficients]) {
    uint64_t mask = 0;
    const __m128i zero = _mm_setzero_si128();
    for (int i = 0; i < 4; ++i) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(coefficients + 16 * i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(coefficients + 16 * i + 8));
        const __m128i zeros = _mm_packs_epi16(_mm_cmpeq_epi16(a, zero), _mm_cmpeq_epi16(b, zero));
        mask |= uint64_t(~uint32_t(_mm_movemask_epi8(zeros)) & 0xFFFFu) << (16 * i);
    }
    return mask & ~uint64_t{1};
}

uint64_t transformBlockSse(const float samples[kBlockCoefficients], const BlockQuantiser& quantiser,
                           int16_t out[kBlockCoefficients]) {
    // Columns first: lane c of left[r] is sample (r, c), of right[r] sample (r, c + 4).
    F4 left[8], right[8];
    for (int r = 0; r < 8; ++r) {
        left[r].v = _mm_loadu_ps(samples + r * 8);
        right[r].v = _mm_loadu_ps(samples + r * 8 + 4);
    }
    aanPass(left);
    aanPass(right);

    // Transposed, each vector runs down a column of vertical frequencies; the row pass then works
    // on rows 0..3 (lo) and 4..7 (hi) side by side.
    transpose(left[0], left[1], left[2], left[3]);
    transpose(left[4], left[5], left[6], left[7]);
    transpose(right[0], right[1], right[2], right[3]);
    transpose(right[4], right[5], right[6], right[7]);
    F4 lo[8] = {left[0], left[1], left[2], left[3], right[0], right[1], right[2], right[3]};
    F4 hi[8] = {left[4], left[5], left[6], left[7], right[4], right[5], right[6], right[7]};
    aanPass(lo);
    aanPass(hi);

    // lo[c] lane r holds DCT(r, c) for r < 4, hi[c] lane r - 4 the rest: index c x 8 + r.
    // The conversion rounds half to even under the default rounding mode.
    alignas(16) int16_t transposed[kBlockCoefficients];
    __m128i nonzeroAc = _mm_setzero_si128();
    for (int c = 0; c < 8; ++c) {
        const __m128 dl = _mm_load_ps(quantiser.transposedDivisors + c * 8);
        const __m128 dh = _mm_load_ps(quantiser.transposedDivisors + c * 8 + 4);
        const __m128i ql = _mm_cvtps_epi32(_mm_mul_ps(dl, lo[c].v));
        const __m128i qh = _mm_cvtps_epi32(_mm_mul_ps(dh, hi[c].v));
        const __m128i packed = _mm_packs_epi32(ql, qh);
        _mm_store_si128(reinterpret_cast<__m128i*>(transposed + c * 8), packed);
        nonzeroAc = _mm_or_si128(nonzeroAc, c == 0 ? _mm_srli_si128(packed, 2) : packed);
    }
    out[0] = transposed[0];
    // Most blocks of a chart are flat: nothing but the DC coefficient.
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(nonzeroAc, _mm_setzero_si128())) == 0xFFFF) return 0;
    return zigzagFromTransposed(transposed, quantiser, out);
}

#else

uint64_t acMask(const int16_t coefficients[kBlockCoefficients]) {
    uint64_t mask = 0;
    for (int i = 1; i < kBlockCoefficients; ++i)
        if (coefficients[i] != 0) mask |= uint64_t{1} << i;
    return mask;
}

#endif

uint64_t zigzagFromTransposed(const int16_t transposed[kBlockCoefficients], const BlockQuantiser& quantiser,
                              int16_t out[kBlockCoefficients]) {
    for (int i = 1; i < kBlockCoefficients; ++i) out[quantiser.transposedZigzag[i]] = transposed[i];
    return acMask(out);
}

uint64_t transformBlockScalar(const float samples[kBlockCoefficients], const BlockQuantiser& quantiser,
                              int16_t out[kBlockCoefficients]) {
    float block[kBlockCoefficients];
    for (int i = 0; i < kBlockCoefficients; ++i) block[i] = samples[i];
    for (int c = 0; c < 8; ++c) {
        float* d = block + c;
        aan8(d[0], d[8], d[16], d[24], d[32], d[40], d[48], d[56]);
    }
    for (int r = 0; r < 8; ++r) {
        float* d = block + r * 8;
        aan8(d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7]);
    }
    for (int r = 0; r < 8; ++r) {
        for (int c = 0; c < 8; ++c) {
            const float q = quantiser.transposedDivisors[c * 8 + r] * block[r * 8 + c];
            out[quantiser.transposedZigzag[c * 8 + r]] = int16_t(std::nearbyint(q));
        }
    }
    return acMask(out);
}

uint64_t transformBlock(VectorIsa isa, const float samples[kBlockCoefficients], const BlockQuantiser& quantiser,
                        int16_t out[kBlockCoefficients]) {
    switch (isa) {
#if defined(__SSE2__)
    case VectorIsa::Sse: return transformBlockSse(samples, quantiser, out);
#endif
#if defined(__x86_64__) || defined(__i386__)
    case VectorIsa::Avx2: return transformBlockAvx2(samples, quantiser, out);
#endif
    default: return transformBlockScalar(samples, quantiser, out);
    }
}

uint64_t transformBlock(const float samples[kBlockCoefficients], const BlockQuantiser& quantiser,
                        int16_t out[kBlockCoefficients]) {
    return transformBlock(blockVectorIsa(), samples, quantiser, out);
}

}  // namespace kelvane::jpeg
