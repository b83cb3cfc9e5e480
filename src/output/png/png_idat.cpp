// A chunk is opened only for bytes to put in it, so that no chunk is empty.
#include "output/png/png_idat.h"

#include <libdeflate.h>

#include <algorithm>

namespace kelvane::png {

namespace {

constexpr uint8_t kType[4] = {'I', 'D', 'A', 'T'};

}  // namespace

void IdatChunks::append(std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
        if (chunkAt_ != SIZE_MAX && inChunk_ == maxBytes_) close();
        if (chunkAt_ == SIZE_MAX) {
            chunkAt_ = out_.size();
            out_.insert(out_.end(), 4, 0);  // the length, once known
            out_.insert(out_.end(), kType, kType + 4);
            crc_ = uint32_t(libdeflate_crc32(0, kType, 4));
            inChunk_ = 0;
        }
        const size_t n = std::min(bytes.size(), maxBytes_ - inChunk_);
        out_.insert(out_.end(), bytes.begin(), bytes.begin() + ptrdiff_t(n));
        crc_ = uint32_t(libdeflate_crc32(crc_, bytes.data(), n));
        inChunk_ += n;
        bytes = bytes.subspan(n);
    }
}

void IdatChunks::close() {
    StoreBigEndian(out_.data() + chunkAt_, uint32_t(inChunk_));
    uint8_t crc[4];
    StoreBigEndian(crc, crc_);
    out_.insert(out_.end(), crc, crc + 4);
    chunkAt_ = SIZE_MAX;
}

void IdatChunks::finish() {
    if (chunkAt_ != SIZE_MAX) close();
}

}  // namespace kelvane::png
