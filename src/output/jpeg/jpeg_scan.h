// Baseline Huffman coding of the coefficient planes: grouping components into scans, the block
// order of interleaved and non-interleaved scans (with dummy blocks), symbol statistics and the
// coded scan data with byte stuffing.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "output/jpeg/jpeg_blocks.h"
#include "output/jpeg/jpeg_huffman.h"
#include "output/jpeg/jpeg_segments.h"

namespace kelvane::jpeg {

struct FrameComponent {
    SegmentComponent segment;
    const Plane* plane;
};

struct Frame {
    int32_t width = 0, height = 0;
    int32_t hmax = 1, vmax = 1;
    std::vector<FrameComponent> components;
};

// Components first .. first + count - 1 of the frame, coded in one scan.
struct ScanGroup {
    size_t first = 0, count = 0;
};

// Components in order, at most three per scan and at most 10 blocks per MCU; a component that
// alone exceeds that gets a scan of its own.
std::vector<ScanGroup> groupScans(const Frame& frame);

// Huffman tables by slot: DC 0, AC 0, DC 1, AC 1.
inline constexpr int kTableSlots = 4;
inline constexpr int dcSlot(int table) { return table * 2; }
inline constexpr int acSlot(int table) { return table * 2 + 1; }
inline constexpr bool isDcSlot(int slot) { return slot % 2 == 0; }

using SlotFrequencies = std::array<SymbolFrequencies, kTableSlots>;

// Adds the symbols the scan will code to the frequencies of their tables.
void countScanSymbols(const Frame& frame, const ScanGroup& group, SlotFrequencies& frequencies);

// Codes the scan's blocks with the given tables (null for slots the scan does not use) and ends
// it on a byte boundary, padded with 1 bits.
void writeScanData(ByteSink& sink, const Frame& frame, const ScanGroup& group,
                   const std::array<const HuffmanTable*, kTableSlots>& tables);

}  // namespace kelvane::jpeg
