// The JPEG block kernels of each instruction set side by side in one run (0 scalar, 1 SSE,
// 2 AVX2): one block transform, the encoder on chart canvases, and the whole typical request.
// Run interleaved, e.g. --benchmark_filter=Kernels --benchmark_enable_random_interleaving=true.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

#include "chart_canvases.h"
#include "kelvane/cChart.h"
#include "output/jpeg/jpeg_blocks.h"
#include "output/jpeg/jpeg_encoder.h"

namespace {

using namespace kelvane;

// Limits the kernels to the benchmark's instruction set; false (and the run skipped) where the
// processor lacks it.
bool limitKernels(benchmark::State& state, int argument, std::unique_ptr<jpeg::VectorIsaLimit>& limit) {
    const auto isa = jpeg::VectorIsa(state.range(argument));
    if (!jpeg::runsVectorIsa(isa)) {
        state.SkipWithError("the processor does not run these kernels");
        return false;
    }
    limit = std::make_unique<jpeg::VectorIsaLimit>(isa);
    return true;
}

void BM_JpegBlockTransformKernels(benchmark::State& state) {
    jpeg::QuantTable table;
    table.values = jpeg::scaleTable(jpeg::baseTable(0), jpeg::qualityScale(75));
    jpeg::computeDivisors(table, 8);
    const jpeg::BlockQuantiser quantiser(table);
    std::mt19937 random(3);
    std::vector<float> samples(64 * 1024);
    for (float& s : samples) s = float(int(random() % 256) - 128);
    alignas(32) int16_t out[64];
    const auto isa = jpeg::VectorIsa(state.range(0));
    if (!jpeg::runsVectorIsa(isa)) return state.SkipWithError("the processor does not run these kernels");
    size_t i = 0;
    for (auto _ : state) {
        jpeg::transformBlock(isa, samples.data() + (i++ % 1024) * 64, quantiser, out);
        benchmark::DoNotOptimize(out);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_JpegBlockTransformKernels)->Arg(0)->Arg(1)->Arg(2);

void BM_KelvaneJpegKernels(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    const auto chart = bench::barChart(w, h);
    std::unique_ptr<jpeg::VectorIsaLimit> limit;
    if (!limitKernels(state, 2, limit)) return;
    for (auto _ : state) {
        cJpeg jpeg;
        jpeg.Quality(75);
        jpeg.SampleHDC(chart->canvasDC(), w, h, 0, 0);
        benchmark::DoNotOptimize(jpeg.SaveBinary());
    }
    state.SetItemsProcessed(state.iterations() * w * h);
}
BENCHMARK(BM_KelvaneJpegKernels)
    ->ArgsProduct({{400}, {300}, {1, 2}})
    ->ArgsProduct({{1920}, {1080}, {1, 2}})
    ->Unit(benchmark::kMillisecond);

void BM_RequestToJpegAndMapKernels(benchmark::State& state) {
    std::unique_ptr<jpeg::VectorIsaLimit> limit;
    if (!limitKernels(state, 0, limit)) return;
    for (auto _ : state) {
        cChart c;
        bench::typicalRequestChart(c, true);
        benchmark::DoNotOptimize(c.SaveBinary("jpg"));
        benchmark::DoNotOptimize(c.MakeMap("m", "detail.html"));
    }
}
BENCHMARK(BM_RequestToJpegAndMapKernels)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
