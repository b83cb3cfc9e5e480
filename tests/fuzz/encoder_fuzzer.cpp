// libFuzzer target for the picture encoders: a canvas of any size up to 48 x 48 with pixels from
// the input goes through our BMP, JPEG, PNG and GIF writers, and each result is read back by a
// decoder that shares no code with them: a small BMP reader here and libpng (which must see every
// pixel unchanged), libjpeg-turbo and giflib (which must decode the picture at the canvas's size
// without a warning).
#include <gif_lib.h>
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include "chart/canvas.h"
#include "fuzz_bytes.h"
#include "kelvane/messages.h"
#include "output/bmp/bmp.h"
#include "output/gif/gif_output.h"
#include "output/jpeg/jpeg_output.h"
#include "output/png/png_output.h"

namespace {

using namespace kelvane;
using namespace kelvane::gdi;
using kelvane::fuzz::FuzzBytes;

constexpr size_t kMaxInput = 48 * 48 * 3 + 16;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "encoder round trip: %s\n", what);
    std::abort();
}

struct Picture {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;  // top row first
};

bool Paint(Canvas& canvas, const Picture& p) {
    if (!canvas.create(p.width, p.height)) return false;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) SetPixel(canvas.dc(), x, y, p.pixels[size_t(y * p.width + x)]);
    return true;
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

// A 24-bit uncompressed bottom-up BMP, read from its headers alone.
void CheckBmp(const std::vector<uint8_t>& b, const Picture& p) {
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') Fail("BMP: no BM header");
    if (Le32(b, 2) != b.size()) Fail("BMP: the file size field is wrong");
    const uint32_t offset = Le32(b, 10);
    if (Le32(b, 14) != 40 || int32_t(Le32(b, 18)) != p.width || int32_t(Le32(b, 22)) != p.height)
        Fail("BMP: the info header has the wrong size or dimensions");
    if ((Le32(b, 26) & 0xFFFF) != 1 || (Le32(b, 26) >> 16) != 24 || Le32(b, 30) != 0)
        Fail("BMP: not 24-bit uncompressed");
    const size_t stride = (size_t(p.width) * 3 + 3) / 4 * 4;
    if (offset < 54 || offset + stride * size_t(p.height) != b.size()) Fail("BMP: rows do not fill the file");
    for (int y = 0; y < p.height; ++y) {
        const uint8_t* row = &b[offset + stride * size_t(p.height - 1 - y)];
        for (int x = 0; x < p.width; ++x) {
            const COLORREF c = p.pixels[size_t(y * p.width + x)];
            if (row[3 * x] != GetBValue(c) || row[3 * x + 1] != GetGValue(c) || row[3 * x + 2] != GetRValue(c))
                Fail("BMP: a pixel changed");
        }
    }
}

struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void CheckJpeg(const std::vector<uint8_t>& bytes, const Picture& p) {
    jpeg_decompress_struct d;
    JpegErrors errors;
    d.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = [](j_common_ptr info) { std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1); };
    errors.manager.output_message = [](j_common_ptr) {};
    std::vector<uint8_t> row;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&d);
        Fail("JPEG: libjpeg refused the stream");
    }
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&d, TRUE);
    jpeg_start_decompress(&d);
    if (int(d.output_width) != p.width || int(d.output_height) != p.height || d.output_components != 3)
        Fail("JPEG: wrong dimensions or components");
    row.resize(size_t(d.output_width) * 3);
    while (d.output_scanline < d.output_height) {
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&d, rows, 1);
    }
    jpeg_finish_decompress(&d);
    const long warnings = errors.manager.num_warnings;
    jpeg_destroy_decompress(&d);
    if (warnings != 0) Fail("JPEG: libjpeg warned about the stream");
}

// Every pixel, as libpng's own reader gives it in red, green, blue.
void CheckPng(const std::vector<uint8_t>& bytes, const Picture& p) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) Fail("PNG: libpng cannot open the stream");
    if (int(image.width) != p.width || int(image.height) != p.height) Fail("PNG: wrong dimensions");
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) Fail("PNG: libpng refused the stream");
    for (size_t i = 0; i < p.pixels.size(); ++i) {
        const COLORREF c = p.pixels[i];
        if (rgb[3 * i] != GetRValue(c) || rgb[3 * i + 1] != GetGValue(c) || rgb[3 * i + 2] != GetBValue(c))
            Fail("PNG: a pixel changed");
    }
}

struct GifSource {
    const std::vector<uint8_t>* bytes;
    size_t pos = 0;
};

void CheckGif(const std::vector<uint8_t>& bytes, const Picture& p) {
    GifSource source{&bytes};
    int error = 0;
    GifFileType* gif = DGifOpen(&source, [](GifFileType* g, GifByteType* out, int n) {
        auto* s = static_cast<GifSource*>(g->UserData);
        const size_t count = std::min(size_t(n), s->bytes->size() - s->pos);
        std::memcpy(out, s->bytes->data() + s->pos, count);
        s->pos += count;
        return int(count);
    }, &error);
    if (!gif) Fail("GIF: giflib cannot open the stream");
    const bool read = DGifSlurp(gif) == GIF_OK;
    bool ok = read && gif->ImageCount == 1 && gif->SWidth == p.width && gif->SHeight == p.height;
    if (ok) {
        const SavedImage& image = gif->SavedImages[0];
        const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
        ok = map && image.ImageDesc.Width == p.width && image.ImageDesc.Height == p.height;
        for (int i = 0; ok && i < p.width * p.height; ++i) ok = image.RasterBits[i] < map->ColorCount;
    }
    DGifCloseFile(gif, &error);
    if (!ok) Fail("GIF: giflib read a different picture or an index beyond the palette");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxInput) return 0;
    SetMessageHandler([](const std::string&) {});
    FuzzBytes in(data, size);
    Picture p;
    p.width = 1 + int(in.byte() % 48);
    p.height = 1 + int(in.byte() % 48);
    const int quality = int(in.byte()) - 20;
    const VBBool pictureFlag = in.byte() % 2 ? kTrue : kFalse;
    // A few colours repeated, or every pixel its own: palettes and smooth areas both get tried.
    std::vector<COLORREF> palette(1 + in.below(16));
    for (COLORREF& c : palette) c = in.raw<COLORREF>() & 0xFFFFFF;
    const bool everyPixel = in.byte() % 4 == 0;
    p.pixels.resize(size_t(p.width * p.height));
    for (COLORREF& c : p.pixels) c = everyPixel ? in.raw<COLORREF>() & 0xFFFFFF : palette[in.below(palette.size())];

    Canvas canvas;
    if (!Paint(canvas, p)) return 0;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    canvas.handOver(dc, bitmap);
    CheckBmp(BuildBmpImage(dc, bitmap), p);

    if (!Paint(canvas, p)) return 0;
    const Variant jpeg = JpegByteArray(canvas.dc(), p.width, p.height, quality);
    if (!jpeg.isBytes()) Fail("JPEG: no byte array");
    CheckJpeg(jpeg.bytes(), p);

    std::string errorText;
    const Variant png = PngByteArray(canvas, errorText);
    if (!png.isBytes() || !errorText.empty()) Fail("PNG: no byte array");
    CheckPng(png.bytes(), p);

    const Variant gif = GifByteArray(canvas, pictureFlag, errorText);
    if (!gif.isBytes() || !errorText.empty()) Fail("GIF: no byte array");
    CheckGif(gif.bytes(), p);
    return 0;
}
