// GIF encoding of chart canvases next to giflib on the same pixels in the same run. The
// reference maps each pixel to the 216-colour cube through level tables and writes the rows
// with EGifPutLine; ours runs the colour reduction and the byte-array writer as the GIF output
// does. Compare them interleaved, by medians:
//   build/kelvane_bench --benchmark_filter=Gif --benchmark_enable_random_interleaving=true
//                       --benchmark_repetitions=15 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <gif_lib.h>

#include <array>
#include <vector>

#include "chart_canvases.h"
#include "output/palette/dither8bpp.h"
#include "output/gif/gif_writers.h"
#include "output/palette/pal8bpp.h"
#include "raster/cdib.h"

namespace {

using namespace kelvane;

// The canvas of the state's chart as the 32-bit picture the reduction reads.
struct Source {
    std::unique_ptr<cChart> chart;
    cDIB picture;
    explicit Source(const benchmark::State& state) {
        const int w = int(state.range(0)), h = int(state.range(1));
        chart = state.range(2) ? bench::noisyCanvas(w, h) : bench::barChart(w, h);
        picture.Create(w, h, 32);
        gdi::BitBlt(picture.hDIBDC(), 0, 0, w, h, chart->canvasDC(), 0, 0, gdi::SRCCOPY);
    }
};

void setModes(int32_t palette, int32_t dither) {
    mDither8bpp::SetPaletteMode(palette);
    mDither8bpp::SetDitherMode(dither);
}

// Reduction and byte-array writer, as the GIF output of a chart runs them.
void kelvaneGif(benchmark::State& state, int32_t paletteMode, int32_t ditherMode) {
    const Source source(state);
    setModes(paletteMode, ditherMode);
    size_t bytes = 0;
    for (auto _ : state) {
        cDIB reduced;
        cPal8bpp palette;
        mDither8bpp::ReduceTo8bpp(source.picture, reduced, palette);
        const Variant gif = mGIFBinary::SaveGIFBinary(reduced, palette, -1, kFalse, "");
        bytes = gif.bytes().size();
        benchmark::DoNotOptimize(bytes);
    }
    setModes(mDither8bpp::kPaletteCube, mDither8bpp::kDitherNone);
    state.counters["gif_bytes"] = double(bytes);
    state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(1));
}

void BM_KelvaneGifCube(benchmark::State& state) {
    kelvaneGif(state, mDither8bpp::kPaletteCube, mDither8bpp::kDitherNone);
}

// What a chart with a picture gets: the octree palette and the ordered dither.
void BM_KelvaneGifOptimalDithered(benchmark::State& state) {
    kelvaneGif(state, mDither8bpp::kPaletteOptimal, mDither8bpp::kDitherOrdered);
}

int appendBytes(GifFileType* gif, const GifByteType* data, int n) {
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), data, data + n);
    return n;
}

// giflib: the same cube (216 entries, padded to 256) and one EGifPutLine per row.
void BM_GiflibCube(benchmark::State& state) {
    const Source source(state);
    const int w = int(state.range(0)), h = int(state.range(1));
    std::array<GifColorType, 256> colours{};
    for (int i = 0; i < 216; ++i)
        colours[size_t(i)] = {GifByteType(51 * (i % 6)), GifByteType(51 * (i / 6 % 6)), GifByteType(51 * (i / 36))};
    std::array<uint8_t, 256> red{}, green{}, blue{};
    for (int v = 0; v < 256; ++v) {
        red[size_t(v)] = uint8_t(mDither8bpp::CubeLevel(v));
        green[size_t(v)] = uint8_t(6 * red[size_t(v)]);
        blue[size_t(v)] = uint8_t(36 * red[size_t(v)]);
    }
    std::vector<GifPixelType> line(static_cast<size_t>(w));
    size_t bytes = 0;
    for (auto _ : state) {
        std::vector<uint8_t> out;
        int error = 0;
        GifFileType* gif = EGifOpen(&out, appendBytes, &error);
        ColorMapObject* map = GifMakeMapObject(256, colours.data());
        EGifPutScreenDesc(gif, w, h, 8, 0, map);
        EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr);
        for (int y = 0; y < h; ++y) {
            const uint8_t* p = source.picture.lpBits() + size_t(y) * size_t(source.picture.BytesPerScanLine());
            for (int x = 0; x < w; ++x, p += 4) line[size_t(x)] = GifPixelType(red[p[2]] + green[p[1]] + blue[p[0]]);
            EGifPutLine(gif, line.data(), w);
        }
        EGifCloseFile(gif, &error);
        GifFreeMapObject(map);
        bytes = out.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["gif_bytes"] = double(bytes);
    state.SetItemsProcessed(state.iterations() * w * h);
}

// The whole byte-array path of a chart: the finishing step, the in-memory BMP, the picture,
// the reduction and the writer. A fresh canvas with the same pixels is made outside the timing.
void BM_KelvaneSaveBinaryGif(benchmark::State& state) {
    const Source source(state);
    const int w = int(state.range(0)), h = int(state.range(1));
    cChart chart;
    chart.Width(w);
    chart.Height(h);
    size_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        chart.InitChart();
        gdi::BitBlt(chart.canvasDC(), 0, 0, w, h, source.chart->canvasDC(), 0, 0, gdi::SRCCOPY);
        state.ResumeTiming();
        const Variant gif = chart.SaveBinary("gif");
        bytes = gif.bytes().size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["gif_bytes"] = double(bytes);
    state.SetItemsProcessed(state.iterations() * w * h);
}

using bench::canvasSizes;
BENCHMARK(BM_KelvaneGifCube)->Apply(canvasSizes);
BENCHMARK(BM_GiflibCube)->Apply(canvasSizes);
BENCHMARK(BM_KelvaneGifOptimalDithered)->Apply(canvasSizes);
BENCHMARK(BM_KelvaneSaveBinaryGif)->Apply(canvasSizes);

}  // namespace
