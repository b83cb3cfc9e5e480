// Scan coding against a plain transcription of baseline Huffman coding: blocks visited MCU by
// MCU with dummy blocks, every bit written one at a time with byte stuffing and 1-bit padding.
// The fast coder (word-wide bit output, shortcuts for unchanged flat blocks) must match it.
#include <gtest/gtest.h>

#include <random>

#include "output/jpeg/jpeg_blocks.h"
#include "output/jpeg/jpeg_huffman.h"
#include "output/jpeg/jpeg_scan.h"
#include "output/jpeg/jpeg_segments.h"

namespace kelvane::jpeg {
namespace {

struct BitByBit {
    std::vector<uint8_t> bytes;
    int byte = 0, mask = 128;

    void bit(int b) {
        if (b) byte |= mask;
        mask >>= 1;
        if (mask == 0) flush();
    }
    void bits(uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) bit(int(value >> i & 1));
    }
    void flush() {
        bytes.push_back(uint8_t(byte));
        if (byte == 0xFF) bytes.push_back(0);
        byte = 0;
        mask = 128;
    }
    void finish() {
        while (mask != 128) bit(1);
    }
};

int category(int v) {
    int a = v < 0 ? -v : v, s = 0;
    while (a) {
        ++s;
        a >>= 1;
    }
    return s;
}

// Codes (when tables are given) or counts one block given as 64 zigzag coefficients.
void referenceBlock(const int16_t* z, int& predictor, int table, const std::array<const HuffmanTable*, 4>* tables,
                    SlotFrequencies& counts, BitByBit& out) {
    auto emit = [&](int slot, int symbol, int extraBits, int value) {
        ++counts[size_t(slot)][size_t(symbol)];
        if (!tables) return;
        const HuffmanTable& t = *(*tables)[size_t(slot)];
        ASSERT_GE(t.length[size_t(symbol)], 1) << "symbol " << symbol << " has no code";
        out.bits(t.code[size_t(symbol)], t.length[size_t(symbol)]);
        if (extraBits) out.bits(uint32_t(value < 0 ? value - 1 : value) & ((1u << extraBits) - 1), extraBits);
    };
    const int diff = z[0] - predictor;
    predictor = z[0];
    emit(table * 2, category(diff), category(diff), diff);
    int run = 0;
    int lastNonzero = 0;
    for (int k = 1; k < 64; ++k)
        if (z[k]) lastNonzero = k;
    for (int k = 1; k <= lastNonzero; ++k) {
        if (z[k] == 0) {
            ++run;
            continue;
        }
        while (run > 15) {
            emit(table * 2 + 1, 0xF0, 0, 0);
            run -= 16;
        }
        emit(table * 2 + 1, run << 4 | category(z[k]), category(z[k]), z[k]);
        run = 0;
    }
    if (lastNonzero != 63) emit(table * 2 + 1, 0x00, 0, 0);
}

std::vector<int16_t> coefficientsOf(const Plane& plane, int column, int row) {
    std::vector<int16_t> z(64, 0);
    const BlockCode& b = plane.block(column, row);
    for (int k = 0; k < 64; ++k)
        if (k == 0 || (b.acMask >> k & 1)) z[size_t(k)] = plane.coefficient(b, k);
    return z;
}

void referenceScan(const Frame& frame, const ScanGroup& group, const std::array<const HuffmanTable*, 4>* tables,
                   SlotFrequencies& counts, BitByBit& out) {
    std::vector<int> predictors(group.count, 0);
    auto visit = [&](size_t i, int column, int row) {
        const FrameComponent& c = frame.components[i];
        std::vector<int16_t> z(64, 0);
        if (column < c.plane->blocksWide && row < c.plane->blocksHigh) z = coefficientsOf(*c.plane, column, row);
        else z[0] = int16_t(predictors[i - group.first]);  // dummy block
        referenceBlock(z.data(), predictors[i - group.first], c.segment.table, tables, counts, out);
    };
    if (group.count == 1) {
        const Plane& p = *frame.components[group.first].plane;
        for (int row = 0; row < p.blocksHigh; ++row)
            for (int column = 0; column < p.blocksWide; ++column) visit(group.first, column, row);
    } else {
        const int across = (frame.width + 8 * frame.hmax - 1) / (8 * frame.hmax);
        const int down = (frame.height + 8 * frame.vmax - 1) / (8 * frame.vmax);
        for (int my = 0; my < down; ++my)
            for (int mx = 0; mx < across; ++mx)
                for (size_t i = group.first; i < group.first + group.count; ++i) {
                    const SegmentComponent& s = frame.components[i].segment;
                    for (int by = 0; by < s.v; ++by)
                        for (int bx = 0; bx < s.h; ++bx) visit(i, mx * s.h + bx, my * s.v + by);
                }
    }
    if (tables) out.finish();
}

// A picture of flat areas, hard edges and noise in BGR, for the transform to make planes from.
std::vector<uint8_t> picture(int w, int h, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> bgr(size_t(w) * size_t(h) * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int k = 0; k < 3; ++k) {
                const bool noisy = (x / 8 + y / 8) % 4 == 1;
                bgr[(size_t(y) * size_t(w) + size_t(x)) * 3 + size_t(k)] =
                    noisy ? uint8_t(random()) : uint8_t(((x / 20) * 90 + (y / 12) * 40 + k * 70) & 0xFF);
            }
    return bgr;
}

struct Case {
    int width, height;
    std::array<int, 6> factors;  // H1 V1 H2 V2 H3 V3; zeros after the first pair: greyscale
    int quality;
};

void expectSameAsReference(const Case& c) {
    const std::vector<uint8_t> pixels = picture(c.width, c.height, unsigned(c.width * 31 + c.height));
    const PixelView view{pixels.data(), ptrdiff_t(c.width) * 3, c.width, c.height};
    const bool grey = c.factors[2] == 0;
    const int count = grey ? 1 : 3;
    int hmax = 1, vmax = 1;
    for (int i = 0; i < count; ++i) {
        hmax = std::max(hmax, grey ? 1 : c.factors[size_t(2 * i)]);
        vmax = std::max(vmax, grey ? 1 : c.factors[size_t(2 * i + 1)]);
    }
    std::vector<Plane> planes(static_cast<size_t>(count));
    Frame frame;
    frame.width = c.width;
    frame.height = c.height;
    frame.hmax = hmax;
    frame.vmax = vmax;
    for (int i = 0; i < count; ++i) {
        const int hf = grey ? 1 : c.factors[size_t(2 * i)], vf = grey ? 1 : c.factors[size_t(2 * i + 1)];
        const int w = (hf * c.width + hmax - 1) / hmax, h = (vf * c.height + vmax - 1) / vmax;
        QuantTable table;
        table.values = scaleTable(baseTable(i == 0 ? 0 : 1), qualityScale(c.quality));
        computeDivisors(table, 8);
        // The planes only need the right sizes and realistic content, not a true stretch.
        const PixelView part{view.top, view.stride, std::min(w, view.width), std::min(h, view.height)};
        transformPlane(part, (w + 7) / 8 * 8, (h + 7) / 8 * 8, ColourComponent(i), table, planes[size_t(i)]);
        frame.components.push_back({SegmentComponent{uint8_t(i + 1), uint8_t(hf), uint8_t(vf), uint8_t(i == 0 ? 0 : 1)},
                                    &planes[size_t(i)]});
    }

    SlotFrequencies fast{}, reference{};
    BitByBit unused;
    const std::vector<ScanGroup> groups = groupScans(frame);
    for (const ScanGroup& g : groups) {
        countScanSymbols(frame, g, fast);
        referenceScan(frame, g, nullptr, reference, unused);
    }
    for (int slot = 0; slot < 2 * (count == 3 ? 2 : 1); ++slot)
        EXPECT_EQ(fast[size_t(slot)], reference[size_t(slot)]) << "frequencies of table slot " << slot;

    std::array<HuffmanTable, 4> built;
    std::array<const HuffmanTable*, 4> tables{};
    for (int slot = 0; slot < 2 * (count == 3 ? 2 : 1); ++slot) {
        built[size_t(slot)] = buildHuffmanTable(fast[size_t(slot)], slot % 2 ? 255 : 11);
        tables[size_t(slot)] = &built[size_t(slot)];
    }
    for (const ScanGroup& g : groups) {
        ByteSink sink(16);
        writeScanData(sink, frame, g, tables);
        SlotFrequencies again{};
        BitByBit expected;
        referenceScan(frame, g, &tables, again, expected);
        EXPECT_EQ(sink.finish(), expected.bytes) << c.width << "x" << c.height << " scan of component " << g.first + 1;
    }
}

TEST(JpegScanCoding, MatchesBitByBitCodingWithDummyBlocks) {
    for (const Case& c : {Case{17, 9, {2, 2, 1, 1, 1, 1}, 75}, Case{9, 9, {2, 2, 1, 1, 1, 1}, 75},
                          Case{1, 1, {2, 2, 1, 1, 1, 1}, 100}, Case{83, 57, {2, 2, 1, 1, 1, 1}, 30},
                          Case{64, 40, {2, 1, 1, 1, 1, 1}, 90}})
        expectSameAsReference(c);
}

TEST(JpegScanCoding, MatchesBitByBitCodingForGreyAndSplitScans) {
    for (const Case& c : {Case{45, 23, {1, 1, 0, 0, 0, 0}, 75}, Case{70, 50, {4, 4, 1, 1, 1, 1}, 50},
                          Case{40, 40, {2, 2, 2, 2, 2, 2}, 100}, Case{33, 35, {1, 1, 1, 1, 1, 1}, 1}})
        expectSameAsReference(c);
}

TEST(JpegScanGroups, FollowTheBlockLimitOfAnMcu) {
    auto groupsOf = [](std::vector<std::pair<int, int>> factors) {
        Frame frame;
        for (size_t i = 0; i < factors.size(); ++i)
            frame.components.push_back({SegmentComponent{uint8_t(i + 1), uint8_t(factors[i].first),
                                                         uint8_t(factors[i].second), 0},
                                        nullptr});
        std::vector<std::pair<size_t, size_t>> out;
        for (const ScanGroup& g : groupScans(frame)) out.push_back({g.first, g.count});
        return out;
    };
    using Groups = std::vector<std::pair<size_t, size_t>>;
    EXPECT_EQ(groupsOf({{2, 2}, {1, 1}, {1, 1}}), (Groups{{0, 3}}));
    EXPECT_EQ(groupsOf({{1, 1}}), (Groups{{0, 1}}));
    EXPECT_EQ(groupsOf({{4, 4}, {1, 1}, {1, 1}}), (Groups{{0, 1}, {1, 2}}));
    EXPECT_EQ(groupsOf({{2, 2}, {2, 2}, {2, 2}}), (Groups{{0, 2}, {2, 1}}));
    EXPECT_EQ(groupsOf({{3, 3}, {1, 1}, {1, 1}}), (Groups{{0, 2}, {2, 1}}));
    EXPECT_EQ(groupsOf({{2, 4}, {1, 2}, {2, 1}}), (Groups{{0, 2}, {2, 1}}));
    EXPECT_EQ(groupsOf({{1, 4}, {4, 1}, {1, 1}}), (Groups{{0, 3}}));
}

}  // namespace
}  // namespace kelvane::jpeg
