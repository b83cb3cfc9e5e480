// The libpng side of PNG output. libpng reports errors by a long jump back into the function
// that set it up, so that function keeps no object with a destructor of its own: everything it
// uses is made by its caller, and the written bytes go to the caller's vector.
#include "output/png_encoder.h"

#include <png.h>
#include <zlib.h>

#include <cstring>

namespace kelvane::png {

namespace {

// What the callbacks share with the writing function.
struct WriteContext {
    std::vector<uint8_t>* out;
    char error[160];
};

[[noreturn]] void onError(png_structp png, png_const_charp message) {
    auto* context = static_cast<WriteContext*>(png_get_error_ptr(png));
    std::strncpy(context->error, message ? message : "libpng error", sizeof context->error - 1);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void onWrite(png_structp png, png_bytep data, size_t size) {
    auto* context = static_cast<WriteContext*>(png_get_io_ptr(png));
    bool stored = true;
    try {
        context->out->insert(context->out->end(), data, data + size);
    } catch (...) {
        stored = false;  // no C++ exception may pass through libpng
    }
    if (!stored) png_error(png, "out of memory for the PNG stream");
}

void onFlush(png_structp) {}

int filterFlags(RowFilter filter) {
    switch (filter) {
    case RowFilter::None: return PNG_FILTER_NONE;
    case RowFilter::Sub: return PNG_FILTER_SUB;
    case RowFilter::Up: return PNG_FILTER_UP;
    case RowFilter::Paeth: return PNG_FILTER_PAETH;
    case RowFilter::Adaptive: return PNG_ALL_FILTERS;
    }
    return PNG_FILTER_NONE;
}

// One picture's header and rows as libpng takes them.
struct Layout {
    int32_t width, height;
    int bitDepth, colourType;
    Compression compression;
    bool bgr;
    const png_color* palette;
    int paletteSize;
    png_bytep* rows;
};

void writeStream(png_structp png, png_infop info, const Layout& layout) {
    png_set_IHDR(png, info, png_uint_32(layout.width), png_uint_32(layout.height), layout.bitDepth,
                 layout.colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (layout.palette) {
        png_set_PLTE(png, info, layout.palette, layout.paletteSize);
        // The indices come from that palette; libpng's scan of every row for larger ones took a
        // fifth of the time of a large chart.
        png_set_check_for_invalid_index(png, 0);
    }
    png_set_filter(png, PNG_FILTER_TYPE_BASE, filterFlags(layout.compression.filter));
    png_set_compression_level(png, layout.compression.level);
    if (layout.compression.runLength) png_set_compression_strategy(png, Z_RLE);
    png_write_info(png, info);
    if (layout.bgr) png_set_bgr(png);
    png_write_image(png, layout.rows);
    png_write_end(png, nullptr);
}

std::string encode(const Layout& layout, std::vector<uint8_t>& out) {
    WriteContext context{&out, {}};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &context, onError, onWarning);
    if (!png) return "libpng could not start";
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return "libpng could not start";
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return context.error;
    }
    png_set_write_fn(png, &context, onWrite, onFlush);
    writeStream(png, info, layout);
    png_destroy_write_struct(&png, &info);
    return {};
}

std::vector<png_bytep> rowPointers(const uint8_t* top, ptrdiff_t stride, int32_t height) {
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (size_t y = 0; y < rows.size(); ++y) rows[y] = const_cast<png_bytep>(top + ptrdiff_t(y) * stride);
    return rows;
}

}  // namespace

std::string EncodeIndexed(const IndexedPicture& picture, int32_t width, int32_t height,
                          const EncodeSettings& settings, std::vector<uint8_t>& out) {
    std::vector<png_color> palette;
    palette.reserve(picture.palette.size());
    for (const PaletteColour& c : picture.palette) palette.push_back({c.red, c.green, c.blue});
    std::vector<png_bytep> rows = rowPointers(picture.rows.data(), ptrdiff_t(picture.stride), height);
    const Layout layout{width, height, picture.bitDepth, PNG_COLOR_TYPE_PALETTE, settings.palette,
                        false, palette.data(), int(palette.size()), rows.data()};
    return encode(layout, out);
}

std::string EncodeRgb(const BgrRows& pixels, const EncodeSettings& settings, std::vector<uint8_t>& out) {
    std::vector<png_bytep> rows = rowPointers(pixels.top, pixels.stride, pixels.height);
    const Layout layout{pixels.width, pixels.height, 8, PNG_COLOR_TYPE_RGB, settings.rgb,
                        true, nullptr, 0, rows.data()};
    return encode(layout, out);
}

std::string EncodePicture(const BgrRows& pixels, const EncodeSettings& settings, std::vector<uint8_t>& out) {
    if (const std::optional<IndexedPicture> indexed = IndexColours(pixels))
        return EncodeIndexed(*indexed, pixels.width, pixels.height, settings, out);
    return EncodeRgb(pixels, settings, out);
}

}  // namespace kelvane::png
