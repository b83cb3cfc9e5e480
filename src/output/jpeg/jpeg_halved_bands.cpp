// The half-size chrominance picture transformed band by band: each band is averaged from the
// canvas into a small buffer and transformed while it is still in cache, and the band's planes are
// appended to the picture's. Blocks never straddle bands, and a plane keeps each block's own DC
// (differences are taken when the scan is written), so the planes are those of the whole picture.
#include <algorithm>
#include <vector>

#include "output/jpeg/jpeg_halving.h"

namespace kelvane::jpeg {

namespace {

constexpr size_t kBandBytes = size_t{256} << 10;

// Appends a band's plane (whole block rows) to the picture's.
void appendBand(const Plane& band, Plane& out) {
    const uint32_t base = uint32_t(out.values.size());
    for (BlockCode code : band.blocks) {
        if (code.acMask) code.values += base;
        out.blocks.push_back(code);
    }
    out.values.insert(out.values.end(), band.values.begin(), band.values.end());
    for (size_t s = 0; s < out.acSymbols.size(); ++s) out.acSymbols[s] += band.acSymbols[s];
}

}  // namespace

int32_t halvedBandRows(int32_t width) {
    const size_t rows = kBandBytes / (size_t(std::max(width, 1)) * 3);
    return int32_t(std::clamp<size_t>(rows / 8 * 8, 8, size_t{1} << 20));
}

bool transformHalved(const gdi::Surface& source, int32_t left, int32_t top, int32_t width, int32_t height,
                     int32_t paddedWidth, int32_t paddedHeight, std::span<const PlaneJob> jobs,
                     int32_t bandRows) {
    const size_t rowBytes = size_t(width) * 3;
    if (bandRows >= height) {
        // One band: transformed straight into the planes.
        const spare::Block pixels = halvePixels(source, left, top, width, height);
        if (!pixels) return false;
        transformPlanes({pixels.get(), ptrdiff_t(rowBytes), width, height}, paddedWidth, paddedHeight, jobs);
        return true;
    }
    const spare::Block pixels(spare::take(rowBytes * size_t(bandRows), false));
    if (!pixels) return false;
    const size_t blockCount = size_t(paddedWidth / 8) * size_t(paddedHeight / 8);
    std::vector<Plane> bands(jobs.size());
    std::vector<PlaneJob> bandJobs(jobs.begin(), jobs.end());
    for (size_t j = 0; j < jobs.size(); ++j) {
        Plane& out = *jobs[j].plane;
        out = Plane{};
        out.blocksWide = paddedWidth / 8;
        out.blocksHigh = paddedHeight / 8;
        out.blocks.reserve(blockCount);
        bandJobs[j].plane = &bands[j];
    }
    for (int32_t first = 0; first < height; first += bandRows) {
        const int32_t rows = std::min(bandRows, height - first);
        halveRows(source, left, top, width, first, rows, pixels.get());
        // The last band takes the padding below the picture (its last row repeated).
        const int32_t padded = first + bandRows >= height ? paddedHeight - first : rows;
        transformPlanes({pixels.get(), ptrdiff_t(rowBytes), width, rows}, paddedWidth, padded, bandJobs);
        for (size_t j = 0; j < jobs.size(); ++j) appendBand(bands[j], *jobs[j].plane);
    }
    return true;
}

}  // namespace kelvane::jpeg
