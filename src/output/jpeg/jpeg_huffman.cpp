// Huffman code lengths by repeatedly merging the two least frequent subtrees, limited to 16 bits.
#include "output/jpeg/jpeg_huffman.h"

#include <algorithm>

#include "output/jpeg/jpeg_errors.h"

namespace kelvane::jpeg {

namespace {

constexpr int kSymbols = kReservedSymbol + 1;
// A chain of 257 symbols can grow no longer than this.
constexpr int kMaxBuiltLength = kSymbols;
constexpr int kMaxCodeLength = 16;

}  // namespace

HuffmanTable buildHuffmanTable(const SymbolFrequencies& frequencies, int maxSymbol) {
    SymbolFrequencies freq = frequencies;
    // The reserved symbol takes the longest code, so that no real code is all ones.
    freq[kReservedSymbol] = 1;
    std::array<int, kSymbols> codeSize{};
    std::array<int, kSymbols> others;
    others.fill(-1);

    // The symbols still heading a subtree, in increasing order; a merged-away one leaves the list.
    std::array<int, kSymbols> present;
    int presentCount = 0;
    for (int i = 0; i < kSymbols; ++i)
        if (freq[size_t(i)] != 0) present[size_t(presentCount++)] = i;

    while (presentCount >= 2) {
        // The least and next least frequencies in one pass; "<=" lets a later (higher) symbol win
        // a tie, and a new least pushes the old one to second place.
        int v1 = -1, v2 = -1;
        for (int n = 0; n < presentCount; ++n) {
            const int i = present[size_t(n)];
            if (v1 < 0 || freq[size_t(i)] <= freq[size_t(v1)]) {
                v2 = v1;
                v1 = i;
            } else if (v2 < 0 || freq[size_t(i)] <= freq[size_t(v2)]) {
                v2 = i;
            }
        }
        freq[size_t(v1)] += freq[size_t(v2)];
        freq[size_t(v2)] = 0;
        int* const end = present.data() + presentCount;
        int* const at = std::find(present.data(), end, v2);
        std::copy(at + 1, end, at);
        --presentCount;
        // Every symbol of both subtrees moves one level down; v2's chain joins v1's.
        ++codeSize[size_t(v1)];
        while (others[size_t(v1)] >= 0) {
            v1 = others[size_t(v1)];
            ++codeSize[size_t(v1)];
        }
        others[size_t(v1)] = v2;
        ++codeSize[size_t(v2)];
        while (others[size_t(v2)] >= 0) {
            v2 = others[size_t(v2)];
            ++codeSize[size_t(v2)];
        }
    }

    std::array<int, kMaxBuiltLength + 1> bits{};
    int longest = 0;
    for (int i = 0; i < kSymbols; ++i) {
        if (codeSize[size_t(i)] == 0) continue;
        ++bits[size_t(codeSize[size_t(i)])];
        longest = std::max(longest, codeSize[size_t(i)]);
    }

    // Codes longer than 16 bits: a pair of them at length i becomes one code at i - 1 plus a
    // prefix taken from the longest shorter code j, which splits into two codes at j + 1.
    for (int i = longest; i > kMaxCodeLength; --i) {
        while (bits[size_t(i)] > 0) {
            int j = i - 2;
            while (j > 0 && bits[size_t(j)] == 0) --j;
            if (j == 0) raiseJpeg(kBadHuffmanTable);  // no shorter code to split: not a tree
            bits[size_t(i)] -= 2;
            bits[size_t(i - 1)] += 1;
            bits[size_t(j + 1)] += 2;
            bits[size_t(j)] -= 1;
        }
    }
    // Drop the reserved code: it is one of the longest.
    for (int i = kMaxCodeLength; i > 0; --i) {
        if (bits[size_t(i)] > 0) {
            --bits[size_t(i)];
            break;
        }
    }

    HuffmanTable table;
    for (int i = 1; i <= kMaxCodeLength; ++i) table.bits[size_t(i)] = uint8_t(bits[size_t(i)]);
    // Symbols by their unlimited length, then by value: the order their codes are given in.
    for (int size = 1; size <= longest; ++size)
        for (int symbol = 0; symbol < kReservedSymbol; ++symbol)
            if (codeSize[size_t(symbol)] == size) table.values.push_back(uint8_t(symbol));
    assignCodes(table, maxSymbol);
    return table;
}

void assignCodes(HuffmanTable& table, int maxSymbol) {
    size_t total = 0;
    for (int i = 1; i <= kMaxCodeLength; ++i) total += table.bits[size_t(i)];
    if (total == 0 || total > 256 || total != table.values.size()) raiseJpeg(kBadHuffmanTable);
    table.length.fill(-1);
    table.code.fill(0);
    uint32_t code = 0;
    size_t k = 0;
    for (int size = 1; size <= kMaxCodeLength; ++size) {
        for (int n = 0; n < table.bits[size_t(size)]; ++n, ++k, ++code) {
            const uint8_t symbol = table.values[k];
            if (symbol > maxSymbol || table.length[symbol] >= 0) raiseJpeg(kBadHuffmanTable);
            table.code[symbol] = uint16_t(code);
            table.length[symbol] = int8_t(size);
        }
        if (code > (uint32_t{1} << size)) raiseJpeg(kBadHuffmanTable);
        code <<= 1;
    }
}

}  // namespace kelvane::jpeg
