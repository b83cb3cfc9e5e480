// Picture-specific Huffman tables: code lengths from symbol frequencies (the classic procedure
// with a reserved all-ones code and lengths limited to 16), code assignment and its checks.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace kelvane::jpeg {

inline constexpr int kReservedSymbol = 256;
using SymbolFrequencies = std::array<uint64_t, kReservedSymbol + 1>;

struct HuffmanTable {
    std::array<uint8_t, 17> bits{};  // bits[n]: number of codes of length n (1..16)
    std::vector<uint8_t> values;     // symbols ordered by code length
    std::array<uint16_t, 256> code{};
    std::array<int8_t, 256> length{};  // -1: the symbol has no code

    bool empty() const { return values.empty(); }
};

// Builds the table for the given frequencies (entry 256 is ignored: it is the reserved symbol).
// Among equal frequencies the higher symbol is taken first. The result has passed the checks of
// assignCodes; a DC table holds symbols up to maxSymbol.
HuffmanTable buildHuffmanTable(const SymbolFrequencies& frequencies, int maxSymbol);

// Gives every symbol of bits/values its code: from 0 upwards in value order, doubled at each
// longer length. Raises error 1 "Bad Huffman Table" for a table without codes, with more than 256,
// with a symbol above maxSymbol or twice, or with more codes of a length than it can hold.
void assignCodes(HuffmanTable& table, int maxSymbol);

}  // namespace kelvane::jpeg
