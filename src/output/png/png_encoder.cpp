// Rows filtered in place in one of the thread's spare blocks, then written as one stream.
#include "output/png/png_encoder.h"


namespace kelvane::png {

std::string EncodeIndexed(IndexedPicture& picture, int32_t width, int32_t height, const EncodeSettings& settings,
                          std::vector<uint8_t>& out) {
    const size_t rowBytes = picture.stride + 1;
    FilterRows(picture.rows.get(), rowBytes, size_t(height), 1, settings.palette.filter);
    const StreamHeader header{uint32_t(width), uint32_t(height), uint8_t(picture.bitDepth), 3};
    return WriteStream(header, picture.palette, {picture.rows.get(), rowBytes * size_t(height)},
                       settings.palette.deflate, out);
}

std::string EncodeRgb(const BgrRows& pixels, const EncodeSettings& settings, std::vector<uint8_t>& out) {
    const size_t width = size_t(pixels.width), height = size_t(pixels.height);
    const size_t rowBytes = width * 3 + 1;
    const spare::Block rows(spare::take(rowBytes * height, false));
    if (!rows) return "out of memory for the rows";
    for (size_t y = 0; y < height; ++y) {
        const uint8_t* bgr = pixels.top + ptrdiff_t(y) * pixels.stride;
        uint8_t* rgb = rows.get() + y * rowBytes + 1;
        for (size_t x = 0; x < width; ++x, bgr += 3, rgb += 3) rgb[0] = bgr[2], rgb[1] = bgr[1], rgb[2] = bgr[0];
    }
    FilterRows(rows.get(), rowBytes, height, 3, settings.rgb.filter);
    const StreamHeader header{uint32_t(width), uint32_t(height), 8, 2};
    return WriteStream(header, {}, {rows.get(), rowBytes * height}, settings.rgb.deflate, out);
}

std::string EncodePicture(const BgrRows& pixels, const EncodeSettings& settings, std::vector<uint8_t>& out) {
    if (std::optional<IndexedPicture> indexed = IndexColours(pixels))
        return EncodeIndexed(*indexed, pixels.width, pixels.height, settings, out);
    return EncodeRgb(pixels, settings, out);
}

}  // namespace kelvane::png
