// Stream assembly: SOI, APP0, COM, DQT, SOF0, DHT, then each scan's header and data, EOI.
#include "output/jpeg/jpeg_stream.h"

#include "output/jpeg/jpeg_huffman.h"
#include "output/jpeg/jpeg_segments.h"

namespace kelvane::jpeg {

std::vector<uint8_t> assembleStream(const StreamContents& contents) {
    const Frame& frame = contents.frame;
    std::vector<SegmentComponent> segments;
    for (const FrameComponent& c : frame.components) segments.push_back(c.segment);
    const std::vector<ScanGroup> groups = groupScans(frame);

    // First pass: symbol statistics, then tables made for exactly these symbols.
    SlotFrequencies frequencies{};
    for (const ScanGroup& group : groups) countScanSymbols(frame, group, frequencies);
    const int tableCount = int(contents.tables.size());
    const int maxDcSymbol = contents.precision == 12 ? 15 : 11;
    std::array<HuffmanTable, kTableSlots> tables;
    std::array<const HuffmanTable*, kTableSlots> used{};
    uint64_t estimatedBits = 0;
    for (int slot = 0; slot < 2 * tableCount; ++slot) {
        const bool dc = isDcSlot(slot);
        tables[size_t(slot)] = buildHuffmanTable(frequencies[size_t(slot)], dc ? maxDcSymbol : 255);
        used[size_t(slot)] = &tables[size_t(slot)];
        for (int s = 0; s < 256; ++s) {
            const uint64_t n = frequencies[size_t(slot)][size_t(s)];
            if (n) estimatedBits += n * uint64_t(tables[size_t(slot)].length[size_t(s)] + (dc ? s : s & 15));
        }
    }
    // The coded data's size, with room for its stuffed bytes (a 0x00 after each 0xFF: about one
    // byte in 256 of coded data) and for the segments, whose Huffman tables take at most
    // 4 x 275 bytes; the sink grows if that falls short.
    const size_t coded = size_t((estimatedBits + 7) / 8);
    ByteSink sink(coded + coded / 64 + 2048 + contents.hostComment.size() + contents.ownComment.size());

    writeMarker(sink, kStartOfImage);
    writeJfifHeader(sink);
    if (!contents.hostComment.empty()) writeComment(sink, contents.hostComment);
    writeComment(sink, contents.ownComment);
    for (int t = 0; t < tableCount; ++t) writeQuantTable(sink, t, contents.tables[size_t(t)], contents.precision);
    writeFrameHeader(sink, contents.precision, frame.width, frame.height, segments);
    for (int t = 0; t < tableCount; ++t) {
        writeHuffmanTable(sink, 0, t, tables[size_t(dcSlot(t))]);
        writeHuffmanTable(sink, 1, t, tables[size_t(acSlot(t))]);
    }
    for (const ScanGroup& group : groups) {
        writeScanHeader(sink, std::span(segments).subspan(group.first, group.count));
        writeScanData(sink, frame, group, used);
    }
    writeMarker(sink, kEndOfImage);
    return sink.finish();
}

}  // namespace kelvane::jpeg
