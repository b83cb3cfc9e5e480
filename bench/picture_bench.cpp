// Picture loading and placement: decoding a 400 x 300 BMP and JPEG held in memory, and blending
// a 400 x 300 picture onto a canvas.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include <jpeglib.h>

#include "draw/blend.h"
#include "picture/decode_picture.h"
#include "output/bmp/bmp.h"
#include "raster/gdi_handles.h"

namespace {

using namespace kelvane;
using namespace kelvane::gdi;

constexpr int kWidth = 400, kHeight = 300;

// A gradient with fixed-seed noise, as blue, green, red rows from the top.
std::vector<uint8_t> samplePixels() {
    std::mt19937 random(400300);
    std::vector<uint8_t> bgr(size_t(kWidth) * kHeight * 3);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            uint8_t* p = &bgr[(size_t(y) * kWidth + x) * 3];
            p[0] = uint8_t(x * 255 / kWidth);
            p[1] = uint8_t(y * 255 / kHeight);
            p[2] = uint8_t(128 + random() % 64);
        }
    }
    return bgr;
}

std::vector<uint8_t> bmpBytes(const std::vector<uint8_t>& bgr) {
    const int32_t stride = BmpStride24(kWidth);
    std::vector<uint8_t> out(size_t(kBmpFilePixelOffset + stride * kHeight), 0);
    const auto fileHeader = BmpFileHeader(int32_t(out.size()), kBmpFilePixelOffset);
    const auto infoHeader = SerializeInfoHeader(BmpInfoHeader24(kWidth, kHeight, stride * kHeight));
    std::copy(fileHeader.begin(), fileHeader.end(), out.begin());
    std::copy(infoHeader.begin(), infoHeader.end(), out.begin() + kBmpFileHeaderSize);
    for (int y = 0; y < kHeight; ++y)
        std::copy_n(&bgr[size_t(y) * kWidth * 3], size_t(kWidth) * 3,
                    &out[size_t(kBmpFilePixelOffset) + size_t(kHeight - 1 - y) * size_t(stride)]);
    return out;
}

std::vector<uint8_t> jpegBytes(const std::vector<uint8_t>& bgr) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = kWidth;
    cinfo.image_height = kHeight;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 85, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&bgr[size_t(cinfo.next_scanline) * kWidth * 3]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::vector<uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return out;
}

void BM_DecodeBmp(benchmark::State& state) {
    const std::vector<uint8_t> file = bmpBytes(samplePixels());
    for (auto _ : state) {
        Owned<HBITMAP> picture = decode::DecodePicture(file);
        benchmark::DoNotOptimize(picture.get());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
    state.SetBytesProcessed(state.iterations() * int64_t(file.size()));
}
BENCHMARK(BM_DecodeBmp);

void BM_DecodeJpeg(benchmark::State& state) {
    const std::vector<uint8_t> file = jpegBytes(samplePixels());
    for (auto _ : state) {
        Owned<HBITMAP> picture = decode::DecodePicture(file);
        benchmark::DoNotOptimize(picture.get());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
    state.SetBytesProcessed(state.iterations() * int64_t(file.size()));
}
BENCHMARK(BM_DecodeJpeg);

// A memory context holding a decoded picture.
struct PictureContext {
    explicit PictureContext(const std::vector<uint8_t>& file)
        : bitmap(decode::DecodePicture(file)), dc(CreateCompatibleDC(nullptr)), select(dc.get(), bitmap.get()) {}
    Owned<HBITMAP> bitmap;
    OwnedDC dc;
    Selection select;
};

void BM_BlendBitmap(benchmark::State& state) {
    const std::vector<uint8_t> bgr = samplePixels();
    PictureContext canvas(bmpBytes(std::vector<uint8_t>(bgr.size(), 200)));
    PictureContext picture(bmpBytes(bgr));
    const auto opacity = uint8_t(state.range(0));
    for (auto _ : state) {
        BlendBitmap(canvas.dc.get(), 0, 0, kWidth, kHeight, picture.dc.get(), 0, 0, opacity, 0xFFFFFF, 1);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_BlendBitmap)->Arg(127)->Arg(255);

}  // namespace
