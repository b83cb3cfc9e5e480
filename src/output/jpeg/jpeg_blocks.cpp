// Colour conversion of a component's padded picture and its walk in 8 x 8 blocks.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <span>
#include <vector>

#include "output/jpeg/jpeg_blocks.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace kelvane::jpeg {

namespace {

// Per-channel products for one component, tabulated: each entry is the single-precision
// product that the conversion formula forms for that channel value, so a sum of three entries
// equals the formula evaluated term by term.
struct ColourTable {
    std::array<float, 256> red{}, green{}, blue{};
    float redFactor = 0, greenFactor = 0, blueFactor = 0;
    float offset = 0;

    float sample(uint8_t r, uint8_t g, uint8_t b) const {
        return red[r] + green[g] + blue[b] - offset;
    }
};

constexpr ColourTable makeTable(float red, float green, float blue, float offset) {
    ColourTable t;
    for (int i = 0; i < 256; ++i) {
        t.red[size_t(i)] = red * float(i);
        t.green[size_t(i)] = green * float(i);
        t.blue[size_t(i)] = blue * float(i);
    }
    t.redFactor = red;
    t.greenFactor = green;
    t.blueFactor = blue;
    t.offset = offset;
    return t;
}

// Y = 0.299 R + 0.587 G + 0.114 B - 128; Cb = -0.16874 R - 0.33126 G + 0.5 B;
// Cr = 0.5 R - 0.41869 G - 0.08131 B. A subtraction is the addition of the negated product, so
// the subtracted terms are tabulated negated.
constexpr ColourTable kLuminance = makeTable(0.299f, 0.587f, 0.114f, 128.0f);
constexpr ColourTable kBlueDifference = makeTable(-0.16874f, -0.33126f, 0.5f, 0.0f);
constexpr ColourTable kRedDifference = makeTable(0.5f, -0.41869f, -0.08131f, 0.0f);

const ColourTable& tableOf(ColourComponent component) {
    switch (component) {
    case ColourComponent::Luminance: return kLuminance;
    case ColourComponent::BlueDifference: return kBlueDifference;
    case ColourComponent::RedDifference: return kRedDifference;
    }
    return kLuminance;
}

constexpr int kRowBytes = 8 * 3;

// round-half-even(v) for a quantised coefficient, as the vector kernels' conversion rounds under
// the default rounding mode.
inline int16_t roundCoefficient(float v) {
#if defined(__SSE2__)
    return int16_t(_mm_cvtss_si32(_mm_set_ss(v)));
#else
    return int16_t(std::nearbyint(v));
#endif
}

// True when all 64 pixels of the block (eight rows of 24 bytes) have one colour.
bool oneColour(const uint8_t* const rows[8]) {
#if defined(__SSE2__)
    const uint8_t* first = rows[0];
    auto load16 = [](const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
    auto load8 = [](const uint8_t* p) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)); };
    // The first row repeats its first pixel when every byte equals the one three bytes on.
    __m128i same = _mm_and_si128(_mm_cmpeq_epi8(load16(first), load16(first + 3)),
                                 _mm_cmpeq_epi8(load16(first + 5), load16(first + 8)));
    const __m128i head = load16(first), tail = load8(first + 16);
    for (int r = 1; r < 8; ++r) {
        same = _mm_and_si128(same, _mm_cmpeq_epi8(load16(rows[r]), head));
        // Only the low eight bytes of the tail comparison count; the rest compare zeros.
        same = _mm_and_si128(same, _mm_cmpeq_epi8(load8(rows[r] + 16), tail));
    }
    return _mm_movemask_epi8(same) == 0xFFFF;
#else
    for (int i = 3; i < kRowBytes; ++i)
        if (rows[0][i] != rows[0][i - 3]) return false;
    for (int r = 1; r < 8; ++r)
        if (std::memcmp(rows[r], rows[0], kRowBytes) != 0) return false;
    return true;
#endif
}

using ConvertBlock = void (*)(const uint8_t* const rows[8], const ColourTable& table,
                             float samples[kBlockCoefficients]);

void convertBlock(const uint8_t* const rows[8], const ColourTable& table,
                  float samples[kBlockCoefficients]) {
    for (int r = 0; r < 8; ++r) {
        const uint8_t* p = rows[r];
        float* out = samples + r * 8;
        for (int c = 0; c < 8; ++c, p += 3) out[c] = table.sample(p[2], p[1], p[0]);
    }
}

#if defined(__x86_64__) || defined(__i386__)

// ((red x R + green x G) + blue x B) - offset for the four pixels the masks pick out of the bytes.
__attribute__((target("ssse3"))) inline __m128 fourSamples(__m128i bytes, __m128i r, __m128i g, __m128i b,
                                                           const __m128 factors[3], __m128 offset) {
    const __m128 rs = _mm_mul_ps(_mm_cvtepi32_ps(_mm_shuffle_epi8(bytes, r)), factors[0]);
    const __m128 gs = _mm_mul_ps(_mm_cvtepi32_ps(_mm_shuffle_epi8(bytes, g)), factors[1]);
    const __m128 bs = _mm_mul_ps(_mm_cvtepi32_ps(_mm_shuffle_epi8(bytes, b)), factors[2]);
    return _mm_sub_ps(_mm_add_ps(_mm_add_ps(rs, gs), bs), offset);
}

// The same products and sums four pixels at a time; the byte shuffles that pick the channels out
// of the packed rows need SSSE3, which nearly every x86 processor has.
__attribute__((target("ssse3"))) void convertBlockSsse3(const uint8_t* const rows[8], const ColourTable& table,
                                                        float samples[kBlockCoefficients]) {
    // Pixels 0..3 from bytes 0..15 of a row; pixels 4..7 from bytes 8..23.
    const __m128i redLow = _mm_setr_epi8(2, -1, -1, -1, 5, -1, -1, -1, 8, -1, -1, -1, 11, -1, -1, -1);
    const __m128i greenLow = _mm_setr_epi8(1, -1, -1, -1, 4, -1, -1, -1, 7, -1, -1, -1, 10, -1, -1, -1);
    const __m128i blueLow = _mm_setr_epi8(0, -1, -1, -1, 3, -1, -1, -1, 6, -1, -1, -1, 9, -1, -1, -1);
    const __m128i redHigh = _mm_setr_epi8(6, -1, -1, -1, 9, -1, -1, -1, 12, -1, -1, -1, 15, -1, -1, -1);
    const __m128i greenHigh = _mm_setr_epi8(5, -1, -1, -1, 8, -1, -1, -1, 11, -1, -1, -1, 14, -1, -1, -1);
    const __m128i blueHigh = _mm_setr_epi8(4, -1, -1, -1, 7, -1, -1, -1, 10, -1, -1, -1, 13, -1, -1, -1);
    const __m128 factors[3] = {_mm_set1_ps(table.redFactor), _mm_set1_ps(table.greenFactor),
                               _mm_set1_ps(table.blueFactor)};
    const __m128 offset = _mm_set1_ps(table.offset);
    for (int r = 0; r < 8; ++r) {
        const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[r]));
        const __m128i tail = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(rows[r] + 16));
        const __m128i middle = _mm_alignr_epi8(tail, head, 8);
        _mm_storeu_ps(samples + r * 8, fourSamples(head, redLow, greenLow, blueLow, factors, offset));
        _mm_storeu_ps(samples + r * 8 + 4, fourSamples(middle, redHigh, greenHigh, blueHigh, factors, offset));
    }
}

// Eight pixels at once: the low half of the register takes bytes 0..15 of a row (pixels 0..3),
// the high half bytes 8..23 (pixels 4..7), and one shuffle picks a channel for all eight.
__attribute__((target("avx2"))) void convertBlockAvx2(const uint8_t* const rows[8], const ColourTable& table,
                                                      float samples[kBlockCoefficients]) {
    const __m256i red = _mm256_setr_epi8(2, -1, -1, -1, 5, -1, -1, -1, 8, -1, -1, -1, 11, -1, -1, -1,  //
                                         6, -1, -1, -1, 9, -1, -1, -1, 12, -1, -1, -1, 15, -1, -1, -1);
    const __m256i green = _mm256_setr_epi8(1, -1, -1, -1, 4, -1, -1, -1, 7, -1, -1, -1, 10, -1, -1, -1,  //
                                           5, -1, -1, -1, 8, -1, -1, -1, 11, -1, -1, -1, 14, -1, -1, -1);
    const __m256i blue = _mm256_setr_epi8(0, -1, -1, -1, 3, -1, -1, -1, 6, -1, -1, -1, 9, -1, -1, -1,  //
                                          4, -1, -1, -1, 7, -1, -1, -1, 10, -1, -1, -1, 13, -1, -1, -1);
    const __m256 redFactor = _mm256_set1_ps(table.redFactor), greenFactor = _mm256_set1_ps(table.greenFactor),
                 blueFactor = _mm256_set1_ps(table.blueFactor), offset = _mm256_set1_ps(table.offset);
    for (int r = 0; r < 8; ++r) {
        const __m256i bytes = _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(rows[r] + 8),
                                                  reinterpret_cast<const __m128i*>(rows[r]));
        const __m256 rs = _mm256_mul_ps(_mm256_cvtepi32_ps(_mm256_shuffle_epi8(bytes, red)), redFactor);
        const __m256 gs = _mm256_mul_ps(_mm256_cvtepi32_ps(_mm256_shuffle_epi8(bytes, green)), greenFactor);
        const __m256 bs = _mm256_mul_ps(_mm256_cvtepi32_ps(_mm256_shuffle_epi8(bytes, blue)), blueFactor);
        _mm256_storeu_ps(samples + r * 8, _mm256_sub_ps(_mm256_add_ps(_mm256_add_ps(rs, gs), bs), offset));
    }
}

ConvertBlock conversionFor(VectorIsa isa) {
    if (isa == VectorIsa::Avx2) return convertBlockAvx2;
    if (isa == VectorIsa::Sse && __builtin_cpu_supports("ssse3")) return convertBlockSsse3;
    return convertBlock;
}

#else

ConvertBlock conversionFor(VectorIsa) { return convertBlock; }

#endif

}  // namespace

float sampleOf(ColourComponent component, uint8_t red, uint8_t green, uint8_t blue) {
    return tableOf(component).sample(red, green, blue);
}

namespace {

// One plane being made: its conversion, quantiser, next block and symbol statistics.
struct PlaneWork {
    PlaneWork(const PlaneJob& job, size_t count)
        : colours(tableOf(job.component)), quantiser(*job.table), out(*job.plane) {
        out.blocks.assign(count, BlockCode{});
        out.values.clear();
        out.acSymbols.fill(0);
        // Room for every block at once: pages that busy blocks never reach are never touched.
        out.values.reserve(count * kBlockCoefficients);
        code = out.blocks.data();
    }

    const ColourTable& colours;
    const BlockQuantiser quantiser;
    Plane& out;
    BlockCode* code = nullptr;
    uint64_t flatBlocks = 0;
};

void transformJobs(const BlockRowSource& source, int32_t width, int32_t paddedWidth, int32_t paddedHeight,
                   std::span<const PlaneJob> jobs) {
    const size_t count = size_t(paddedWidth / 8) * size_t(paddedHeight / 8);
    std::vector<PlaneWork> work;
    work.reserve(jobs.size());
    for (const PlaneJob& job : jobs) {
        job.plane->blocksWide = paddedWidth / 8;
        job.plane->blocksHigh = paddedHeight / 8;
        work.emplace_back(job, count);
    }
    if (count == 0 || width <= 0) return;

    const VectorIsa isa = blockVectorIsa();
    const ConvertBlock convert = conversionFor(isa);
    // Columns of the last, partial block of a row are repeated into this block-sized copy.
    uint8_t edge[8][kRowBytes];
    alignas(16) float samples[kBlockCoefficients];
    alignas(16) int16_t coefficients[kBlockCoefficients];

    for (int32_t by = 0; by < paddedHeight / 8; ++by) {
        const uint8_t* strip[8];
        source(by, strip);
        for (int32_t bx = 0; bx < paddedWidth / 8; ++bx) {
            const int32_t x0 = bx * 8;
            const uint8_t* rows[8];
            if (x0 + 8 <= width) {
                for (int r = 0; r < 8; ++r) rows[r] = strip[r] + ptrdiff_t(x0) * 3;
            } else {
                for (int r = 0; r < 8; ++r) {
                    for (int c = 0; c < 8; ++c)
                        std::memcpy(edge[r] + c * 3, strip[r] + ptrdiff_t(std::min(x0 + c, width - 1)) * 3, 3);
                    rows[r] = edge[r];
                }
            }
            const bool flat = oneColour(rows);
            for (PlaneWork& w : work) {
                BlockCode* code = w.code++;
                if (flat) {
                    // A block of one value v transforms exactly to DCT(0, 0) = 64 v (each
                    // butterfly stage doubles it) and zero elsewhere, so the transform can be
                    // skipped.
                    const float v = w.colours.sample(rows[0][2], rows[0][1], rows[0][0]);
                    code->dc = roundCoefficient(w.quantiser.dcDivisor * (v * 64.0f));
                    ++w.flatBlocks;
                    continue;
                }
                convert(rows, w.colours, samples);
                code->acMask = transformBlock(isa, samples, w.quantiser, coefficients);
                code->dc = coefficients[0];
                forEachAcSymbol(coefficients, code->acMask,
                                [&w](uint8_t symbol, int32_t) { ++w.out.acSymbols[symbol]; });
                if (code->acMask) {
                    code->values = uint32_t(w.out.values.size());
                    w.out.values.insert(w.out.values.end(), coefficients, coefficients + kBlockCoefficients);
                }
            }
        }
    }
    // A flat block is its DC and the end of block.
    for (PlaneWork& w : work) w.out.acSymbols[kEndOfBlock] += w.flatBlocks;
}

}  // namespace

void transformRows(const BlockRowSource& source, int32_t width, int32_t paddedWidth,
                   int32_t paddedHeight, ColourComponent component, const QuantTable& table, Plane& out) {
    const PlaneJob job{component, &table, &out};
    transformJobs(source, width, paddedWidth, paddedHeight, std::span(&job, 1));
}

void transformPlanes(const PixelView& view, int32_t paddedWidth, int32_t paddedHeight,
                     std::span<const PlaneJob> jobs) {
    const int32_t width = view.height > 0 ? view.width : 0;
    const auto rowsOf = [&view](int32_t blockRow, const uint8_t* rows[8]) {
        for (int r = 0; r < 8; ++r) rows[r] = view.row(std::min(blockRow * 8 + r, view.height - 1));
    };
    transformJobs(rowsOf, width, paddedWidth, paddedHeight, jobs);
}

void transformPlane(const PixelView& view, int32_t paddedWidth, int32_t paddedHeight,
                    ColourComponent component, const QuantTable& table, Plane& out) {
    const PlaneJob job{component, &table, &out};
    transformPlanes(view, paddedWidth, paddedHeight, std::span(&job, 1));
}

}  // namespace kelvane::jpeg
