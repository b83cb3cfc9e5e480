// The IDAT chunks of a PNG stream, appended to the stream's vector as the zlib stream is made: a
// chunk's length and CRC are filled in when it closes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kelvane::png {

// PNG's numbers: four bytes, most significant first.
inline void StoreBigEndian(uint8_t* to, uint32_t value) {
    for (int i = 0; i < 4; ++i) to[i] = uint8_t(value >> (24 - 8 * i));
}

class IdatChunks {
public:
    // The chunks go at the end of `out`, `maxBytes` of the zlib stream in each but the last.
    IdatChunks(std::vector<uint8_t>& out, size_t maxBytes) : out_(out), maxBytes_(maxBytes) {}

    // The next bytes of the zlib stream.
    void append(std::span<const uint8_t> bytes);

    // Closes the last chunk.
    void finish();

private:
    void close();

    std::vector<uint8_t>& out_;
    const size_t maxBytes_;
    size_t chunkAt_ = SIZE_MAX;  // where the open chunk's length goes; SIZE_MAX when none is open
    size_t inChunk_ = 0;         // the open chunk's data bytes so far
    uint32_t crc_ = 0;           // of its type and data so far
};

}  // namespace kelvane::png
