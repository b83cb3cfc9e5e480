// The LZW coder of GIF image data: pixel indices in, data sub-blocks out.
#pragma once

#include <cstdint>
#include <vector>

namespace kelvane::gif {

// The pixels of an 8-bit picture, top row first, each row `stride` bytes apart.
struct IndexRows {
    const uint8_t* bits = nullptr;
    int32_t width = 0, height = 0, stride = 0;
    // Rows in the four interlaced passes (every 8th from 0, every 8th from 4, every 4th from
    // 2, every 2nd from 1) instead of top to bottom.
    bool interlaced = false;
};

// Appends the picture's LZW codes for the minimum code size (2 to 8), starting with a clear
// code and ending with the end code, packed least significant bit first into sub-blocks of at
// most 254 bytes, each preceded by its length. The block terminator is the caller's.
void CompressLZW(const IndexRows& picture, int32_t minimumCodeSize, std::vector<uint8_t>& out);

}  // namespace kelvane::gif
