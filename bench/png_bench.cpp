// PNG output of chart canvases beside our JPEG and GIF paths and beside libpng at its default
// settings (24-bit rows, its own filter choice, zlib level 6) on the same pixels; the typical
// request from a new chart to PNG, JPEG or GIF bytes and the image map. Compare them in one run,
// interleaved, by medians:
//   build/kelvane_bench --benchmark_filter='Png|Libpng|RequestTo|BM_KelvaneJpeg/|SaveBinaryGif'
//       --benchmark_enable_random_interleaving=true --benchmark_repetitions=15
//       --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <png.h>

#include <string>
#include <vector>

#include "chart_canvases.h"
#include "kelvane/cChart.h"
#include "kelvane/gdi.h"
#include "output/png/png_output.h"

namespace {

using namespace kelvane;

std::unique_ptr<cChart> canvasFor(const benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    return state.range(2) ? bench::noisyCanvas(w, h) : bench::barChart(w, h);
}

gdi::HBITMAP canvasBitmap(const cChart& chart) {
    return gdi::HBITMAP(gdi::GetCurrentObject(chart.canvasDC(), gdi::OBJ_BITMAP));
}

// Our PNG path from the canvas: reading the pixels, counting colours, encoding.
void BM_KelvanePng(benchmark::State& state) {
    const auto chart = canvasFor(state);
    size_t bytes = 0;
    for (auto _ : state) {
        std::string why;
        const std::vector<uint8_t> stream = CanvasPng(canvasBitmap(*chart), why);
        bytes = stream.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["png_bytes"] = double(bytes);
    state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(1));
}

void appendBytes(png_structp png, png_bytep data, size_t size) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

// libpng with nothing set but the format, on the canvas memory itself (bottom-up rows of blue,
// green, red).
void libpngDefaults(benchmark::State& state, gdi::HDC canvas) {
    gdi::BITMAP bm{};
    gdi::GetObjectA(gdi::GetCurrentObject(canvas, gdi::OBJ_BITMAP), sizeof bm, &bm);
    std::vector<png_bytep> rows(static_cast<size_t>(bm.bmHeight));
    for (size_t y = 0; y < rows.size(); ++y)
        rows[y] = static_cast<png_bytep>(bm.bmBits) + (rows.size() - 1 - y) * size_t(bm.bmWidthBytes);
    size_t bytes = 0;
    for (auto _ : state) {
        std::vector<uint8_t> out;
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        if (setjmp(png_jmpbuf(png))) {
            state.SkipWithError("libpng failed");
            png_destroy_write_struct(&png, &info);
            break;
        }
        png_set_write_fn(png, &out, appendBytes, nullptr);
        png_set_IHDR(png, info, png_uint_32(bm.bmWidth), png_uint_32(bm.bmHeight), 8, PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        png_set_bgr(png);
        png_write_image(png, rows.data());
        png_write_end(png, nullptr);
        png_destroy_write_struct(&png, &info);
        bytes = out.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["png_bytes"] = double(bytes);
    state.SetItemsProcessed(state.iterations() * int64_t(bm.bmWidth) * bm.bmHeight);
}

void BM_LibpngDefaults(benchmark::State& state) {
    const auto chart = canvasFor(state);
    libpngDefaults(state, chart->canvasDC());
}

// The whole typical request (dressed), from a new chart to the picture bytes and the image map,
// as BM_RequestToJpegAndMap does it for JPEG.
void requestToPicture(benchmark::State& state, const char* type) {
    size_t bytes = 0;
    for (auto _ : state) {
        cChart c;
        bench::typicalRequestChart(c, true);
        const Variant picture = c.SaveBinary(type);
        bytes = picture.bytes().size();
        benchmark::DoNotOptimize(bytes);
        std::string map = c.MakeMap("m", "detail.html");
        benchmark::DoNotOptimize(map);
    }
    state.counters[std::string(type) + "_bytes"] = double(bytes);
}

void BM_RequestToPngAndMap(benchmark::State& state) { requestToPicture(state, "png"); }
void BM_RequestToGifAndMap(benchmark::State& state) { requestToPicture(state, "gif"); }

// libpng's defaults on the pixels of that request alone.
void BM_LibpngDefaultsRequestPixels(benchmark::State& state) {
    cChart c;
    bench::typicalRequestChart(c, true);
    c.ExportToDC(nullptr);  // what the output methods draw first
    libpngDefaults(state, c.canvasDC());
}

using bench::canvasSizes;
BENCHMARK(BM_KelvanePng)->Apply(canvasSizes);
BENCHMARK(BM_LibpngDefaults)->Apply(canvasSizes);
BENCHMARK(BM_RequestToPngAndMap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RequestToGifAndMap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibpngDefaultsRequestPixels)->Unit(benchmark::kMillisecond);

}  // namespace
