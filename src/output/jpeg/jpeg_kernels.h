// The block transform's kernels for each instruction set, behind transformBlock(isa, ...).
#pragma once

#include <cstdint>

#include "output/jpeg/jpeg_blocks.h"

namespace kelvane::jpeg {

uint64_t transformBlockScalar(const float samples[kBlockCoefficients], const BlockQuantiser& quantiser,
                              int16_t out[kBlockCoefficients]);
uint64_t transformBlockSse(const float samples[kBlockCoefficients], const BlockQuantiser& quantiser,
                           int16_t out[kBlockCoefficients]);
uint64_t transformBlockAvx2(const float samples[kBlockCoefficients], const BlockQuantiser& quantiser,
                            int16_t out[kBlockCoefficients]);

// Puts the quantised coefficients of a block, in the transform's transposed order (column x 8 +
// row), into zigzag order and returns their AC mask; out[0] is already written.
uint64_t zigzagFromTransposed(const int16_t transposed[kBlockCoefficients], const BlockQuantiser& quantiser,
                              int16_t out[kBlockCoefficients]);

}  // namespace kelvane::jpeg
