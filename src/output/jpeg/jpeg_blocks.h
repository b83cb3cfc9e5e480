// From pixels to quantised coefficients: colour conversion of a component's padded picture, the
// float AAN forward DCT and quantisation, one 8 x 8 block at a time.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "output/jpeg/jpeg_tables.h"
#include "runtime/spare_blocks.h"

namespace kelvane::jpeg {

// Read-only 24-bit pixels (blue, green, red per pixel), rows from the top down; a bottom-up
// bitmap is viewed with a negative stride.
struct PixelView {
    const uint8_t* top = nullptr;
    ptrdiff_t stride = 0;
    int32_t width = 0, height = 0;

    const uint8_t* row(int32_t y) const { return top + ptrdiff_t(y) * stride; }
};

enum class ColourComponent { Luminance, BlueDifference, RedDifference };

// One block's quantised coefficients: its DC value and, when any AC coefficient is nonzero, the
// mask of those (bit k for zigzag position k) and where the block's 64 values are kept.
struct BlockCode {
    uint64_t acMask = 0;
    uint32_t values = 0;  // index of the block's first value in Plane::values
    int16_t dc = 0;
};

inline constexpr uint8_t kEndOfBlock = 0x00;
inline constexpr uint8_t kZeroRun16 = 0xF0;

// Calls emit(symbol, value) for the AC symbols of one block in coding order: runs of 16 zeros
// (value 0), each nonzero coefficient as run << 4 | category with its value, then the end of
// block (value 0) unless the last coefficient is nonzero. `mask` is the block's AC mask and
// `zigzag` its 64 values (not read when the mask is 0).
template <class Emit>
inline void forEachAcSymbol(const int16_t* zigzag, uint64_t mask, Emit&& emit) {
    int last = 0;
    while (mask) {
        const int k = std::countr_zero(mask);
        mask &= mask - 1;
        int run = k - last - 1;
        for (; run >= 16; run -= 16) emit(kZeroRun16, int32_t{0});
        const int32_t value = zigzag[k];
        const uint32_t absolute = uint32_t(value < 0 ? -value : value);
        emit(uint8_t(run << 4 | std::bit_width(absolute)), value);
        last = k;
    }
    if (last != kBlockCoefficients - 1) emit(kEndOfBlock, int32_t{0});
}

// The quantised coefficients of one component, blocks in raster order. Most blocks of a chart are
// flat (no AC coefficient), so only the others keep all 64 values (zigzag order); coefficients
// of 8-bit samples stay within +-2048, so 16 bits hold them.
struct Plane {
    int32_t blocksWide = 0, blocksHigh = 0;
    std::vector<BlockCode, spare::Allocator<BlockCode>> blocks;
    std::vector<int16_t, spare::Allocator<int16_t>> values;
    // How often each AC symbol occurs in the blocks, counted as they are quantised.
    std::array<uint64_t, 256> acSymbols{};

    const BlockCode& block(int32_t column, int32_t row) const {
        return blocks[size_t(row) * size_t(blocksWide) + size_t(column)];
    }
    // The coefficient at zigzag position k of a block (k > 0: only for blocks with an AC mask).
    int16_t coefficient(const BlockCode& b, int k) const { return k == 0 ? b.dc : values[b.values + size_t(k)]; }
};

// The quantiser of one table, laid out for the vectorised transform.
struct BlockQuantiser {
    explicit BlockQuantiser(const QuantTable& table);
    // Divisors indexed by column x 8 + row: the transform's output comes out transposed.
    alignas(16) float transposedDivisors[kBlockCoefficients];
    // Zigzag position of each transposed index.
    uint8_t transposedZigzag[kBlockCoefficients];
    float dcDivisor;
};

// The instruction sets the block kernels are built for: plain C++, 4-wide SSE2 (with SSSE3 for
// the colour conversion where the processor has it) and 8-wide AVX2. All of them run the same
// single-precision operations in the same order and give the same coefficients bit for bit.
enum class VectorIsa { Scalar, Sse, Avx2 };

// Whether this processor runs the kernels built for `isa`.
bool runsVectorIsa(VectorIsa isa);

// The widest kernels the processor runs, within this thread's limit.
VectorIsa blockVectorIsa();

// Holds this thread's block kernels to `isa` at most while it lives, so that the kernels can be
// compared with each other in one process.
class VectorIsaLimit {
public:
    explicit VectorIsaLimit(VectorIsa isa);
    ~VectorIsaLimit();
    VectorIsaLimit(const VectorIsaLimit&) = delete;
    VectorIsaLimit& operator=(const VectorIsaLimit&) = delete;

private:
    VectorIsa m_previous;
};

// The unscaled AAN forward DCT of 64 samples (row x 8 + column) followed by quantisation:
// coefficient(z) = round-half-even(divisor(z) x DCT(row, column)), stored in zigzag order.
// Returns the mask of nonzero AC coefficients; when it is 0 only out[0] is written.
uint64_t transformBlock(const float samples[kBlockCoefficients], const BlockQuantiser& quantiser,
                        int16_t out[kBlockCoefficients]);

// The same with the kernel of `isa`, which the processor must run.
uint64_t transformBlock(VectorIsa isa, const float samples[kBlockCoefficients], const BlockQuantiser& quantiser,
                        int16_t out[kBlockCoefficients]);

// Bit k set when zigzag coefficient k (k >= 1) is nonzero.
uint64_t acMask(const int16_t coefficients[kBlockCoefficients]);

// The sample value of one pixel for a component, in single precision as the conversion defines it.
float sampleOf(ColourComponent component, uint8_t red, uint8_t green, uint8_t blue);

// Hands out the eight rows of one block row (24-bit rows of at least the picture's width); rows
// below the picture repeat its last row.
using BlockRowSource = std::function<void(int32_t blockRow, const uint8_t* rows[8])>;

// Converts, transforms and quantises the paddedWidth x paddedHeight picture (multiples of 8) whose
// rows come from the source, width pixels each; columns beyond the width repeat the last one.
void transformRows(const BlockRowSource& source, int32_t width, int32_t paddedWidth,
                   int32_t paddedHeight, ColourComponent component, const QuantTable& table, Plane& out);

// The same for a picture in memory: columns and rows beyond the view repeat its last ones.
void transformPlane(const PixelView& view, int32_t paddedWidth, int32_t paddedHeight,
                    ColourComponent component, const QuantTable& table, Plane& out);

// One component of a picture transformed with others in one walk over its pixels.
struct PlaneJob {
    ColourComponent component;
    const QuantTable* table;
    Plane* plane;
};

// transformPlane for several components of the same picture at once, block by block.
void transformPlanes(const PixelView& view, int32_t paddedWidth, int32_t paddedHeight,
                     std::span<const PlaneJob> jobs);

}  // namespace kelvane::jpeg
