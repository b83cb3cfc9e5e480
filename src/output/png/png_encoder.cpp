// Palette rows are filtered in place in the block that holds them; 24-bit rows are made and
// filtered a band at a time and compressed as they come, so that a 24-bit picture needs no
// copy of itself beside the canvas and the result.
#include "output/png/png_encoder.h"

#include <algorithm>

namespace kelvane::png {

namespace {

// About this many bytes of 24-bit rows are filtered before they are compressed: few enough to
// stay in the processor's caches, enough to make each call to the compressor worth its while.
constexpr size_t kBandBytes = size_t{256} << 10;

void toRgb(const uint8_t* bgr, size_t width, uint8_t* rgb) {
    for (size_t x = 0; x < width; ++x, bgr += 3, rgb += 3) rgb[0] = bgr[2], rgb[1] = bgr[1], rgb[2] = bgr[0];
}

}  // namespace

std::string EncodeIndexed(IndexedPicture& picture, int32_t width, int32_t height, const EncodeSettings& settings,
                          std::vector<uint8_t>& out) {
    const size_t rowBytes = picture.stride + 1;
    // The rows come with type byte 0: unfiltered rows are ready as they are.
    if (settings.palette.filter != RowFilter::None)
        FilterRows(picture.rows.get(), rowBytes, size_t(height), 1, settings.palette.filter);
    const StreamHeader header{uint32_t(width), uint32_t(height), uint8_t(picture.bitDepth), 3};
    return WriteStream(header, picture.palette, {picture.rows.get(), rowBytes * size_t(height)},
                       settings.palette.deflate, out);
}

std::string EncodeRgb(const BgrRows& pixels, const EncodeSettings& settings, std::vector<uint8_t>& out) {
    const size_t width = size_t(pixels.width), height = size_t(pixels.height);
    const size_t pixelBytes = width * 3, rowBytes = pixelBytes + 1;
    const size_t bandRows = std::clamp<size_t>(kBandBytes / rowBytes, 1, height);
    // The band of filtered rows, and the last two rows as red, green, blue: the filters predict
    // from the raw row above.
    const spare::Block band(spare::take(bandRows * rowBytes, false));
    const spare::Block raw(spare::take(2 * pixelBytes, false));
    if (!band || !raw) return "out of memory for the rows";
    size_t y = 0;
    const RowSource next = [&]() -> std::span<const uint8_t> {
        const size_t rows = std::min(bandRows, height - y);
        for (size_t i = 0; i < rows; ++i, ++y) {
            uint8_t* rgb = raw.get() + (y & 1) * pixelBytes;
            toRgb(pixels.top + ptrdiff_t(y) * pixels.stride, width, rgb);
            const uint8_t* above = y > 0 ? raw.get() + ((y - 1) & 1) * pixelBytes : nullptr;
            FilterRow(rgb, above, pixelBytes, 3, settings.rgb.filter, band.get() + i * rowBytes);
        }
        return {band.get(), rows * rowBytes};
    };
    const StreamHeader header{uint32_t(width), uint32_t(height), 8, 2};
    return WriteStream(header, {}, rowBytes * height, next, settings.rgb.deflate, out);
}

std::string EncodePicture(const BgrRows& pixels, const EncodeSettings& settings, std::vector<uint8_t>& out) {
    // The colour count's block is given back before a 24-bit picture is encoded.
    if (std::optional<IndexedPicture> indexed = IndexColours(pixels))
        return EncodeIndexed(*indexed, pixels.width, pixels.height, settings, out);
    return EncodeRgb(pixels, settings, out);
}

}  // namespace kelvane::png
