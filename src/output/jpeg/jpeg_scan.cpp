// Block order, symbol coding and bit output of the scans. The statistics and the coding walk the
// same blocks in the same order, and AC symbols come from one template both when the planes count
// them and when they are coded, so the two cannot disagree about a symbol.
#include "output/jpeg/jpeg_scan.h"

#include <bit>

namespace kelvane::jpeg {

namespace {

constexpr int kMaxBlocksPerMcu = 10;
constexpr int kMaxScanComponents = 3;

// Category (bit count of the magnitude) and the extra bits that follow a symbol: the value
// itself when positive, value - 1 in the low bits when negative.
struct Magnitude {
    int category;
    uint32_t bits;
};
inline Magnitude magnitude(int32_t value) {
    const int32_t sign = value >> 31;
    const uint32_t absolute = uint32_t((value ^ sign) - sign);
    const int category = std::bit_width(absolute);
    return {category, uint32_t(value + sign) & ((uint32_t{1} << category) - 1)};
}

// Codes one block into the symbol sink; a null block is a dummy block (DC difference 0, no AC).
template <class Sink>
inline void codeBlock(const Plane& plane, const BlockCode* block, int32_t& predictor, int dc, int ac,
                      Sink& sink) {
    if (!block || (block->acMask == 0 && block->dc == predictor)) {
        // A dummy block, or a flat one like the block before it: DC difference 0, then EOB.
        sink.unchangedBlock(dc, ac);
        return;
    }
    const Magnitude d = magnitude(block->dc - predictor);
    predictor = block->dc;
    sink.symbol(dc, uint8_t(d.category), d.bits);

    const int16_t* values = block->acMask ? plane.values.data() + block->values : nullptr;
    forEachAcSymbol(values, block->acMask,
                    [&](uint8_t symbol, int32_t value) { sink.symbol(ac, symbol, magnitude(value).bits); });
}

// Calls visit(component index, block or null for a dummy block) in coding order.
template <class Visit>
void forEachBlock(const Frame& frame, const ScanGroup& group, Visit&& visit) {
    if (group.count == 1) {
        const Plane& plane = *frame.components[group.first].plane;
        for (int32_t row = 0; row < plane.blocksHigh; ++row)
            for (int32_t column = 0; column < plane.blocksWide; ++column)
                visit(group.first, &plane.block(column, row));
        return;
    }
    const int64_t mcuColumns = (int64_t{frame.width} + 8 * frame.hmax - 1) / (8 * frame.hmax);
    const int64_t mcuRows = (int64_t{frame.height} + 8 * frame.vmax - 1) / (8 * frame.vmax);
    for (int64_t my = 0; my < mcuRows; ++my) {
        for (int64_t mx = 0; mx < mcuColumns; ++mx) {
            for (size_t i = group.first; i < group.first + group.count; ++i) {
                const FrameComponent& c = frame.components[i];
                const Plane& plane = *c.plane;
                for (int by = 0; by < c.segment.v; ++by) {
                    const int64_t row = my * c.segment.v + by;
                    for (int bx = 0; bx < c.segment.h; ++bx) {
                        const int64_t column = mx * c.segment.h + bx;
                        const bool real = column < plane.blocksWide && row < plane.blocksHigh;
                        visit(i, real ? &plane.block(int32_t(column), int32_t(row)) : nullptr);
                    }
                }
            }
        }
    }
}

// Bits collected most significant first in a 64-bit accumulator and written 32 at a time; a byte
// 0xFF in the data is followed by a stuffed 0x00.
class BitWriter {
public:
    explicit BitWriter(ByteSink& sink) : m_sink(sink) {}

    // Room for one block's worth of coded bytes, doubled for stuffing.
    void reserveBlock() {
        constexpr size_t kWorstBlockBytes = 2 * (kBlockCoefficients * 27 / 8 + 8);
        m_sink.ensure(kWorstBlockBytes);
    }

    void put(uint32_t bits, int count) {
        m_accumulator = (m_accumulator << count) | bits;
        m_count += count;
        if (m_count >= 32) {
            m_count -= 32;
            writeWord(uint32_t(m_accumulator >> m_count));
        }
    }

    // Completes the last byte with 1 bits and writes what is left.
    void finish() {
        m_sink.ensure(16);
        if (m_count % 8) put((uint32_t{1} << (8 - m_count % 8)) - 1, 8 - m_count % 8);
        while (m_count >= 8) {
            m_count -= 8;
            writeByte(uint8_t(m_accumulator >> m_count));
        }
    }

private:
    void writeByte(uint8_t byte) {
        uint8_t* out = m_sink.cursor();
        out[0] = byte;
        if (byte == 0xFF) {
            out[1] = 0x00;
            m_sink.advance(2);
        } else {
            m_sink.advance(1);
        }
    }

    void writeWord(uint32_t word) {
        // A byte of 0xFF in the word is a zero byte of its complement.
        const uint32_t inverted = ~word;
        if (((inverted - 0x01010101u) & ~inverted & 0x80808080u) == 0) {
            uint8_t* out = m_sink.cursor();
            out[0] = uint8_t(word >> 24);
            out[1] = uint8_t(word >> 16);
            out[2] = uint8_t(word >> 8);
            out[3] = uint8_t(word);
            m_sink.advance(4);
            return;
        }
        for (int shift = 24; shift >= 0; shift -= 8) writeByte(uint8_t(word >> shift));
    }

    ByteSink& m_sink;
    uint64_t m_accumulator = 0;
    int m_count = 0;
};

// Looks up each symbol's code and appends it with its extra bits.
struct SymbolEmitter {
    struct Entry {
        uint32_t code;
        int length;  // code length plus the extra bits the symbol announces
        int extra;
    };
    std::array<std::array<Entry, 256>, kTableSlots> entries{};
    BitWriter& writer;

    SymbolEmitter(const std::array<const HuffmanTable*, kTableSlots>& tables, BitWriter& w) : writer(w) {
        for (int slot = 0; slot < kTableSlots; ++slot) {
            if (!tables[size_t(slot)]) continue;
            const HuffmanTable& t = *tables[size_t(slot)];
            for (int s = 0; s < 256; ++s) {
                // A DC symbol is its category (at most 15); larger ones never get a code.
                const int extra = isDcSlot(slot) ? (s < 16 ? s : 0) : s & 15;
                // A symbol without a code never occurs: the tables come from these very blocks.
                const int length = std::max<int>(t.length[size_t(s)], 0);
                entries[size_t(slot)][size_t(s)] = {uint32_t(t.code[size_t(s)]) << extra, length + extra, extra};
            }
        }
    }

    void symbol(int slot, uint8_t symbol, uint32_t bits) {
        const Entry& e = entries[size_t(slot)][symbol];
        writer.put(e.code | bits, e.length);
    }
    void unchangedBlock(int dc, int ac) {
        // Two codes of at most 16 bits each: one write.
        const Entry& d = entries[size_t(dc)][0];
        const Entry& e = entries[size_t(ac)][kEndOfBlock];
        writer.put(d.code << e.length | e.code, d.length + e.length);
    }
};

}  // namespace

std::vector<ScanGroup> groupScans(const Frame& frame) {
    std::vector<ScanGroup> groups;
    ScanGroup current;
    int blocks = 0;
    for (size_t i = 0; i < frame.components.size(); ++i) {
        const SegmentComponent& c = frame.components[i].segment;
        const int own = c.h * c.v;
        if (current.count > 0 && blocks + own > kMaxBlocksPerMcu) {
            groups.push_back(current);
            current = {i, 0};
            blocks = 0;
        }
        if (current.count == 0) current.first = i;
        ++current.count;
        blocks += own;
        if (current.count == kMaxScanComponents || blocks > kMaxBlocksPerMcu) {
            groups.push_back(current);
            current = {i + 1, 0};
            blocks = 0;
        }
    }
    if (current.count > 0) groups.push_back(current);
    return groups;
}

void countScanSymbols(const Frame& frame, const ScanGroup& group, SlotFrequencies& frequencies) {
    // The AC symbols of real blocks were counted as they were quantised; a dummy block adds an end
    // of block. DC symbols are the categories of the differences in coding order.
    std::array<int32_t, kMaxScanComponents> predictors{};
    forEachBlock(frame, group, [&](size_t i, const BlockCode* block) {
        const int table = frame.components[i].segment.table;
        SymbolFrequencies& dc = frequencies[size_t(dcSlot(table))];
        if (!block) {
            ++dc[0];
            ++frequencies[size_t(acSlot(table))][kEndOfBlock];
            return;
        }
        int32_t& predictor = predictors[i - group.first];
        ++dc[size_t(magnitude(block->dc - predictor).category)];
        predictor = block->dc;
    });
    for (size_t i = group.first; i < group.first + group.count; ++i) {
        const FrameComponent& c = frame.components[i];
        SymbolFrequencies& ac = frequencies[size_t(acSlot(c.segment.table))];
        for (int s = 0; s < 256; ++s) ac[size_t(s)] += c.plane->acSymbols[size_t(s)];
    }
}

void writeScanData(ByteSink& sink, const Frame& frame, const ScanGroup& group,
                   const std::array<const HuffmanTable*, kTableSlots>& tables) {
    BitWriter writer(sink);
    SymbolEmitter emitter(tables, writer);
    std::array<int32_t, kMaxScanComponents> predictors{};
    forEachBlock(frame, group, [&](size_t i, const BlockCode* block) {
        const FrameComponent& c = frame.components[i];
        const int table = c.segment.table;
        writer.reserveBlock();
        codeBlock(*c.plane, block, predictors[i - group.first], dcSlot(table), acSlot(table), emitter);
    });
    writer.finish();
}

}  // namespace kelvane::jpeg
