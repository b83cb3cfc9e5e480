// 2 x 2 averaging of a canvas rectangle, rounded as the halftone stretch rounds: (sum + 2) / 4
// for each byte.
#include "output/jpeg/jpeg_halving.h"

#include "output/jpeg/jpeg_blocks.h"
#include "raster/objects.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace kelvane::jpeg {

namespace {

// One row of `width` means of the pixel pairs of rows a and b, `step` bytes a source pixel.
template <size_t step>
void halveRow(const uint8_t* a, const uint8_t* b, int32_t width, uint8_t* to) {
    for (int32_t x = 0; x < width; ++x, a += 2 * step, b += 2 * step, to += 3)
        for (size_t k = 0; k < 3; ++k) to[k] = uint8_t((unsigned(a[k]) + a[step + k] + b[k] + b[step + k] + 2) / 4);
}

#if defined(__x86_64__) || defined(__i386__)

// The sums of the four source pixel pairs at row[0..23] byte by byte, in 16 bits: each 16-byte
// half of the register takes the twelve bytes of two pairs, a shuffle puts the bytes of a pair
// side by side and a multiply-add by ones sums them.
__attribute__((target("avx2"))) inline __m256i pairSums(const uint8_t* row) {
    const __m256i pairs = _mm256_setr_epi8(0, 3, 1, 4, 2, 5, 6, 9, 7, 10, 8, 11, -1, -1, -1, -1,  //
                                           0, 3, 1, 4, 2, 5, 6, 9, 7, 10, 8, 11, -1, -1, -1, -1);
    const __m256i bytes =
        _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(row + 12), reinterpret_cast<const __m128i*>(row));
    return _mm256_maddubs_epi16(_mm256_shuffle_epi8(bytes, pairs), _mm256_set1_epi8(1));
}

// halveRow for 24-bit rows, four means at a time.
__attribute__((target("avx2"))) void halveRow24Avx2(const uint8_t* a, const uint8_t* b, int32_t width, uint8_t* to) {
    const __m256i two = _mm256_set1_epi16(2);
    // Each step reads 28 bytes of a source row and writes 14 bytes, the last two of them
    // overwritten by the next step: at least one mean is left for the plain loop.
    int32_t x = 0;
    for (; x + 5 <= width; x += 4, a += 24, b += 24, to += 12) {
        const __m256i sums = _mm256_add_epi16(_mm256_add_epi16(pairSums(a), pairSums(b)), two);
        const __m256i means = _mm256_srli_epi16(sums, 2);
        const __m256i bytes = _mm256_packus_epi16(means, means);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(to), _mm256_castsi256_si128(bytes));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(to + 6), _mm256_extracti128_si256(bytes, 1));
    }
    halveRow<3>(a, b, width - x, to);
}

#endif

using HalveRow = void (*)(const uint8_t* a, const uint8_t* b, int32_t width, uint8_t* to);

HalveRow rowHalving(size_t step) {
    if (step == 4) return halveRow<4>;
#if defined(__x86_64__) || defined(__i386__)
    if (blockVectorIsa() == VectorIsa::Avx2) return halveRow24Avx2;
#endif
    return halveRow<3>;
}

}  // namespace

const gdi::Surface* halvableSource(gdi::HDC source, int32_t left, int32_t top, int64_t width, int64_t height) {
    const gdi::Surface* surface = gdi::surfaceOf(source);
    if (!surface || (surface->bpp() != 24 && surface->bpp() != 32)) return nullptr;
    if (width <= 0 || height <= 0 || left < 0 || top < 0) return nullptr;
    if (left + 2 * width > surface->width() || top + 2 * height > surface->height()) return nullptr;
    return surface;
}

PixelView copyableView(gdi::HDC source, int32_t left, int32_t top, int32_t width, int32_t height) {
    const gdi::Surface* surface = gdi::surfaceOf(source);
    if (!surface || surface->bpp() != 24 || width <= 0 || height <= 0 || left < 0 || top < 0) return {};
    if (int64_t{left} + width > surface->width() || int64_t{top} + height > surface->height()) return {};
    const ptrdiff_t stride = surface->topDown() ? surface->stride() : -ptrdiff_t(surface->stride());
    return {surface->row(top) + size_t(left) * 3, stride, width, height};
}

void halveRows(const gdi::Surface& source, int32_t left, int32_t top, int32_t width, int32_t firstRow,
               int32_t rows, uint8_t* out) {
    const size_t step = size_t(source.bpp() / 8);
    const size_t rowBytes = size_t(width) * 3;
    const HalveRow halve = rowHalving(step);
    for (int32_t y = firstRow; y < firstRow + rows; ++y) {
        const uint8_t* a = source.row(top + 2 * y) + size_t(left) * step;
        const uint8_t* b = source.row(top + 2 * y + 1) + size_t(left) * step;
        halve(a, b, width, out + size_t(y - firstRow) * rowBytes);
    }
}

spare::Block halvePixels(const gdi::Surface& source, int32_t left, int32_t top, int32_t width,
                         int32_t height) {
    spare::Block out(spare::take(size_t(width) * 3 * size_t(height), false));  // every byte is written
    if (out) halveRows(source, left, top, width, 0, height, out.get());
    return out;
}

}  // namespace kelvane::jpeg
