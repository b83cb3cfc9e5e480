// The vector is lengthened a step at a time, each step filled with zeros before the compressor
// writes there; the caller reserves room for the whole stream, so that the bytes are never
// moved and the pages beyond the stream are never touched.
#include "output/png/png_idat.h"

#include <libdeflate.h>

#include <algorithm>
#include <cstring>

namespace kelvane::png {

namespace {

constexpr uint8_t kType[4] = {'I', 'D', 'A', 'T'};
// Steps grow with the stream from the first to the last: few for a chart, little beyond the end.
constexpr size_t kFirstStep = size_t{16} << 10;
constexpr size_t kLastStep = size_t{1} << 20;

}  // namespace

void IdatChunks::extendBy(size_t bytes) {
    if (out_.size() - end_ >= bytes) return;
    const size_t step = std::clamp(end_, kFirstStep, kLastStep);
    size_t size = std::max(end_ + bytes, end_ + step);
    if (end_ + bytes <= out_.capacity()) size = std::min(size, out_.capacity());
    out_.resize(size);
}

void IdatChunks::open() {
    extendBy(8);
    chunkAt_ = end_;
    std::memcpy(out_.data() + end_ + 4, kType, 4);
    crc_ = uint32_t(libdeflate_crc32(0, kType, 4));
    end_ += 8;
    inChunk_ = 0;
}

void IdatChunks::close() {
    extendBy(4);
    StoreBigEndian(out_.data() + chunkAt_, uint32_t(inChunk_));
    StoreBigEndian(out_.data() + end_, crc_);
    end_ += 4;
    chunkAt_ = SIZE_MAX;
}

std::span<uint8_t> IdatChunks::room() {
    if (chunkAt_ != SIZE_MAX && inChunk_ == maxBytes_) close();
    if (chunkAt_ == SIZE_MAX) open();
    extendBy(1);
    return {out_.data() + end_, std::min(out_.size() - end_, maxBytes_ - inChunk_)};
}

void IdatChunks::wrote(size_t bytes) {
    crc_ = uint32_t(libdeflate_crc32(crc_, out_.data() + end_, bytes));
    end_ += bytes;
    inChunk_ += bytes;
}

void IdatChunks::put(std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
        const std::span<uint8_t> to = room();
        const size_t n = std::min(to.size(), bytes.size());
        std::memcpy(to.data(), bytes.data(), n);
        wrote(n);
        bytes = bytes.subspan(n);
    }
}

void IdatChunks::finish() {
    if (chunkAt_ != SIZE_MAX) close();
    out_.resize(end_);
}

}  // namespace kelvane::png
