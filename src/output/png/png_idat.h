// The IDAT chunks of a PNG stream, written straight into the stream's vector as the zlib stream
// is made: a chunk's length and CRC are filled in when it closes.
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
    IdatChunks(std::vector<uint8_t>& out, size_t maxBytes) : out_(out), maxBytes_(maxBytes), end_(out.size()) {}

    // Room for the next bytes of the zlib stream, within the open chunk (a new one when it is
    // full): never empty. `wrote` then says how much of it now holds the stream.
    std::span<uint8_t> room();
    void wrote(size_t bytes);
    void put(std::span<const uint8_t> bytes);

    // Closes the last chunk; `out` then ends with it.
    void finish();

private:
    void open();
    void close();
    // Makes `out` at least `bytes` longer than the stream written so far.
    void extendBy(size_t bytes);

    std::vector<uint8_t>& out_;
    const size_t maxBytes_;
    size_t end_;                  // the end of what is written; `out` may be longer
    size_t chunkAt_ = SIZE_MAX;   // where the open chunk's length goes; SIZE_MAX when none is open
    size_t inChunk_ = 0;          // the open chunk's data bytes so far
    uint32_t crc_ = 0;            // of its type and data so far
};

}  // namespace kelvane::png
