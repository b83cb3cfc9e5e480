// JPEG encoding of chart canvases by cJpeg, next to libjpeg-turbo (quality 75, 4:2:0, optimised
// Huffman tables; the float DCT as the reference, the integer one beside it) reading the same
// canvas pixels in the same run; the typical request against the reference encoding its pixels;
// plus the encoder's parts. bench/compare.sh runs them interleaved and prints the comparison.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <malloc.h>

#include "chart_canvases.h"
#include "kelvane/cChart.h"
#include "kelvane/gdi.h"
#include "output/jpeg/jpeg_blocks.h"
#include "output/jpeg/jpeg_encoder.h"

namespace {

// glibc raises its mmap threshold once a program frees its first large malloc block, and from then
// on serves such blocks from a heap that is already paged in. Our encoder's large buffers do not come
// from malloc, so without this the reference would take fresh, kernel-zeroed pages on every encode;
// give it the warmed heap it has in any longer-running program.
const bool kReferenceHeapWarmed = [] {
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    return true;
}();

using namespace kelvane;

std::unique_ptr<cChart> canvasFor(const benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    return state.range(2) ? bench::noisyCanvas(w, h) : bench::barChart(w, h);
}

void BM_KelvaneJpeg(benchmark::State& state) {
    const auto chart = canvasFor(state);
    const int w = int(state.range(0)), h = int(state.range(1));
    size_t bytes = 0;
    for (auto _ : state) {
        cJpeg jpeg;
        jpeg.Quality(75);
        jpeg.SampleHDC(chart->canvasDC(), w, h, 0, 0);
        const Variant stream = jpeg.SaveBinary();
        bytes = stream.bytes().size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["jpeg_bytes"] = double(bytes);
    state.SetItemsProcessed(state.iterations() * w * h);
}

// libjpeg-turbo on the canvas memory itself (bottom-up rows of blue, green, red), with the given
// DCT.
void libjpegTurbo(benchmark::State& state, gdi::HDC canvas, int w, int h, J_DCT_METHOD dct) {
    gdi::BITMAP bm{};
    gdi::GetObjectA(gdi::GetCurrentObject(canvas, gdi::OBJ_BITMAP), sizeof bm, &bm);
    std::vector<JSAMPROW> rows(static_cast<size_t>(h));
    for (int y = 0; y < h; ++y)
        rows[size_t(y)] = static_cast<JSAMPLE*>(bm.bmBits) + size_t(h - 1 - y) * size_t(bm.bmWidthBytes);
    size_t bytes = 0;
    for (auto _ : state) {
        jpeg_compress_struct info;
        jpeg_error_mgr errors;
        info.err = jpeg_std_error(&errors);
        jpeg_create_compress(&info);
        unsigned char* buffer = nullptr;
        unsigned long size = 0;
        jpeg_mem_dest(&info, &buffer, &size);
        info.image_width = JDIMENSION(w);
        info.image_height = JDIMENSION(h);
        info.input_components = 3;
        info.in_color_space = JCS_EXT_BGR;
        jpeg_set_defaults(&info);
        jpeg_set_quality(&info, 75, TRUE);  // 4:2:0 is the default for colour pictures
        info.optimize_coding = TRUE;
        info.dct_method = dct;
        jpeg_start_compress(&info, TRUE);
        jpeg_write_scanlines(&info, rows.data(), JDIMENSION(h));
        jpeg_finish_compress(&info);
        jpeg_destroy_compress(&info);
        bytes = size;
        std::free(buffer);
    }
    state.counters["jpeg_bytes"] = double(bytes);
    state.SetItemsProcessed(state.iterations() * w * h);
}

// The reference: float DCT, as cJpeg's transform.
void BM_LibjpegTurbo(benchmark::State& state) {
    const auto chart = canvasFor(state);
    libjpegTurbo(state, chart->canvasDC(), int(state.range(0)), int(state.range(1)), JDCT_FLOAT);
}

// The integer DCT, for comparison with earlier runs.
void BM_LibjpegTurboIslow(benchmark::State& state) {
    const auto chart = canvasFor(state);
    libjpegTurbo(state, chart->canvasDC(), int(state.range(0)), int(state.range(1)), JDCT_ISLOW);
}

// The whole typical request (dressed), from a new chart to the JPEG bytes and the image map.
void BM_RequestToJpegAndMap(benchmark::State& state) {
    size_t bytes = 0;
    for (auto _ : state) {
        cChart c;
        bench::typicalRequestChart(c, true);
        const Variant picture = c.SaveBinary("jpg");
        bytes = picture.bytes().size();
        benchmark::DoNotOptimize(bytes);
        std::string map = c.MakeMap("m", "detail.html");
        benchmark::DoNotOptimize(map);
    }
    state.counters["jpeg_bytes"] = double(bytes);
}
BENCHMARK(BM_RequestToJpegAndMap)->Unit(benchmark::kMillisecond);

// The reference encoding the pixels of that request alone.
void BM_LibjpegTurboRequestPixels(benchmark::State& state) {
    cChart c;
    bench::typicalRequestChart(c, true);
    c.ExportToDC(nullptr);  // what the output methods draw first
    libjpegTurbo(state, c.canvasDC(), 400, 300, JDCT_FLOAT);
}
BENCHMARK(BM_LibjpegTurboRequestPixels)->Unit(benchmark::kMillisecond);

// The parts of cJpeg: sampling (copy, halftone stretch of the chroma, transform), then the two
// Huffman passes and the segments.
void BM_KelvaneJpegSampling(benchmark::State& state) {
    const auto chart = canvasFor(state);
    const int w = int(state.range(0)), h = int(state.range(1));
    cJpeg jpeg;
    for (auto _ : state) benchmark::DoNotOptimize(jpeg.SampleHDC(chart->canvasDC(), w, h, 0, 0));
    state.SetItemsProcessed(state.iterations() * w * h);
}

void BM_KelvaneJpegEntropyCoding(benchmark::State& state) {
    const auto chart = canvasFor(state);
    const int w = int(state.range(0)), h = int(state.range(1));
    cJpeg jpeg;
    jpeg.SampleHDC(chart->canvasDC(), w, h, 0, 0);
    for (auto _ : state) {
        const Variant stream = jpeg.SaveBinary();
        benchmark::DoNotOptimize(stream.bytes().data());
    }
    state.SetItemsProcessed(state.iterations() * w * h);
}

// The raster layer's halftone stretch that makes the chroma planes.
void BM_HalftoneHalving(benchmark::State& state) {
    const auto chart = canvasFor(state);
    const int w = int(state.range(0)), h = int(state.range(1));
    gdi::HDC dc = gdi::CreateCompatibleDC(nullptr);
    gdi::BITMAPINFO info{};
    info.bmiHeader = {sizeof(gdi::BITMAPINFOHEADER), (w + 1) / 2, (h + 1) / 2, 1, 24, 0, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    gdi::HBITMAP section = gdi::CreateDIBSection(dc, &info, gdi::DIB_RGB_COLORS, &bits, nullptr, 0);
    gdi::HGDIOBJ previous = gdi::SelectObject(dc, section);
    gdi::SetStretchBltMode(dc, gdi::HALFTONE);
    for (auto _ : state)
        benchmark::DoNotOptimize(gdi::StretchBlt(dc, 0, 0, (w + 1) / 2, (h + 1) / 2, chart->canvasDC(), 0, 0, w, h, gdi::SRCCOPY));
    gdi::SelectObject(dc, previous);
    gdi::DeleteObject(section);
    gdi::DeleteDC(dc);
    state.SetItemsProcessed(state.iterations() * w * h);
}

using bench::canvasSizes;
BENCHMARK(BM_KelvaneJpeg)->Apply(canvasSizes);
BENCHMARK(BM_LibjpegTurbo)->Apply(canvasSizes);
BENCHMARK(BM_LibjpegTurboIslow)->Apply(canvasSizes);
BENCHMARK(BM_KelvaneJpegSampling)->Apply(canvasSizes);
BENCHMARK(BM_KelvaneJpegEntropyCoding)->Apply(canvasSizes);
BENCHMARK(BM_HalftoneHalving)->Apply(canvasSizes);

}  // namespace
