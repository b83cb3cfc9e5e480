// Assembles a whole JFIF stream from sampled planes: the statistics pass, picture-specific
// Huffman tables, the marker segments and the coded scans.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "output/jpeg/jpeg_scan.h"
#include "output/jpeg/jpeg_tables.h"

namespace kelvane::jpeg {

struct StreamContents {
    int32_t precision = 8;
    Frame frame;                           // size, largest factors, components with planes
    std::span<const QuantTable> tables;    // 1 (greyscale) or 2, written as DQT 0 and 1
    std::span<const uint8_t> hostComment;  // written when not empty
    std::span<const uint8_t> ownComment;
};

// A table without any symbol to code raises error 1 "Bad Huffman Table".
std::vector<uint8_t> assembleStream(const StreamContents& contents);

}  // namespace kelvane::jpeg
