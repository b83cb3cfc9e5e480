// Picture-specific Huffman tables: lengths from frequencies with the reserved code, the tie rule,
// the 16-bit limit, and the checks that refuse a broken table.
#include <gtest/gtest.h>

#include <random>

#include "kelvane/runtime.h"
#include "output/jpeg/jpeg_huffman.h"

namespace kelvane::jpeg {
namespace {

SymbolFrequencies frequencies(std::initializer_list<std::pair<int, uint64_t>> entries) {
    SymbolFrequencies f{};
    for (const auto& [symbol, count] : entries) f[size_t(symbol)] = count;
    return f;
}

// Sum of 2^-length over the codes, in units of 2^-16.
uint64_t kraftSum(const HuffmanTable& t) {
    uint64_t sum = 0;
    for (int n = 1; n <= 16; ++n) sum += uint64_t(t.bits[size_t(n)]) << (16 - n);
    return sum;
}

void expectPrefixFreeWithoutAllOnes(const HuffmanTable& t) {
    std::vector<std::pair<uint32_t, int>> codes;
    for (uint8_t s : t.values) codes.push_back({t.code[s], t.length[s]});
    for (const auto& [code, length] : codes) {
        EXPECT_GE(length, 1);
        EXPECT_LE(length, 16);
        EXPECT_NE(code, (uint32_t{1} << length) - 1) << "an all-ones code";
    }
    for (size_t i = 0; i < codes.size(); ++i) {
        for (size_t j = 0; j < codes.size(); ++j) {
            if (i == j || codes[i].second > codes[j].second) continue;
            const uint32_t prefix = codes[j].first >> (codes[j].second - codes[i].second);
            EXPECT_NE(prefix, codes[i].first) << "code " << i << " is a prefix of code " << j;
        }
    }
}

TEST(JpegHuffmanTable, OneSymbolGetsAOneBitCodeBesideTheReservedCode) {
    const HuffmanTable t = buildHuffmanTable(frequencies({{0, 500}}), 11);
    EXPECT_EQ(t.bits[1], 1);
    ASSERT_EQ(t.values.size(), 1u);
    EXPECT_EQ(t.values[0], 0);
    EXPECT_EQ(t.length[0], 1);
    EXPECT_EQ(t.code[0], 0);
}

TEST(JpegHuffmanTable, EqualFrequenciesMergeTheHigherSymbolsFirst) {
    // Symbols 0 and 1 once, 2 and 3 twice: the reserved symbol pairs with 1, not 0 with 1, which
    // leaves 0 with a two-bit code and 1 with a three-bit one.
    const HuffmanTable t = buildHuffmanTable(frequencies({{0, 1}, {1, 1}, {2, 2}, {3, 2}}), 255);
    EXPECT_EQ(t.bits[1], 0);
    EXPECT_EQ(t.bits[2], 3);
    EXPECT_EQ(t.bits[3], 1);
    EXPECT_EQ(t.values, (std::vector<uint8_t>{0, 2, 3, 1}));
    EXPECT_EQ(t.length[1], 3);
    EXPECT_EQ(t.code[0], 0b00);
    EXPECT_EQ(t.code[2], 0b01);
    EXPECT_EQ(t.code[3], 0b10);
    EXPECT_EQ(t.code[1], 0b110);
}

TEST(JpegHuffmanTable, SkewedFrequenciesAreLimitedToSixteenBits) {
    // Fibonacci counts make the deepest possible tree: 40 symbols would need codes of 40 bits.
    SymbolFrequencies f{};
    uint64_t a = 1, b = 1;
    for (int s = 0; s < 40; ++s) {
        f[size_t(s)] = a;
        const uint64_t next = a + b;
        a = b;
        b = next;
    }
    const HuffmanTable t = buildHuffmanTable(f, 255);
    EXPECT_EQ(t.values.size(), 40u);
    EXPECT_LT(kraftSum(t), uint64_t{1} << 16) << "room is left for the reserved code";
    expectPrefixFreeWithoutAllOnes(t);
    // The most frequent symbol keeps the shortest code.
    for (int s = 0; s < 40; ++s) EXPECT_LE(t.length[39], t.length[size_t(s)]);
}

TEST(JpegHuffmanTable, RandomFrequenciesGiveValidTables) {
    std::mt19937 random(21);
    for (int trial = 0; trial < 200; ++trial) {
        SymbolFrequencies f{};
        const int symbols = 1 + int(random() % 256);
        for (int i = 0; i < symbols; ++i) f[random() % 256] = 1 + random() % (trial % 2 ? 3 : 100000);
        size_t used = 0;
        for (int s = 0; s < 256; ++s) used += f[size_t(s)] > 0;
        const HuffmanTable t = buildHuffmanTable(f, 255);
        EXPECT_EQ(t.values.size(), used);
        EXPECT_LT(kraftSum(t), uint64_t{1} << 16);
        for (int s = 0; s < 256; ++s) EXPECT_EQ(t.length[size_t(s)] > 0, f[size_t(s)] > 0) << s;
        expectPrefixFreeWithoutAllOnes(t);
    }
}

void expectBadTable(HuffmanTable t, int maxSymbol) {
    try {
        assignCodes(t, maxSymbol);
        ADD_FAILURE() << "accepted";
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.number(), 1);
        EXPECT_EQ(e.description(), "Bad Huffman Table");
    }
}

TEST(JpegHuffmanTable, BrokenTablesRaiseBadHuffmanTable) {
    HuffmanTable empty;
    expectBadTable(empty, 255);

    HuffmanTable twice;
    twice.bits[2] = 2;
    twice.values = {5, 5};
    expectBadTable(twice, 255);

    HuffmanTable tooMany;  // three one-bit codes
    tooMany.bits[1] = 3;
    tooMany.values = {1, 2, 3};
    expectBadTable(tooMany, 255);

    HuffmanTable dcTooLarge;
    dcTooLarge.bits[1] = 1;
    dcTooLarge.values = {12};
    expectBadTable(dcTooLarge, 11);

    EXPECT_THROW(buildHuffmanTable(SymbolFrequencies{}, 255), AutomationError)
        << "no symbols at all leaves a table without codes";
}

}  // namespace
}  // namespace kelvane::jpeg
