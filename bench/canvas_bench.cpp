// Canvas creation and BMP output of common chart sizes.
#include <benchmark/benchmark.h>

#include "kelvane/cChart.h"

namespace {

void BM_InitChart(benchmark::State& state) {
    kelvane::cChart chart;
    chart.Width(int32_t(state.range(0)));
    chart.Height(int32_t(state.range(1)));
    chart.BorderWidth(3);
    for (auto _ : state) benchmark::DoNotOptimize(chart.InitChart());
    state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(1));
}
BENCHMARK(BM_InitChart)->Args({400, 300})->Args({1920, 1080});

void BM_SaveBinaryBmp(benchmark::State& state) {
    kelvane::cChart chart;
    chart.Width(int32_t(state.range(0)));
    chart.Height(int32_t(state.range(1)));
    for (auto _ : state) {
        state.PauseTiming();
        chart.InitChart();
        state.ResumeTiming();
        kelvane::Variant image = chart.SaveBinary("bmp");
        benchmark::DoNotOptimize(image);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0) * state.range(1) * 3);
}
BENCHMARK(BM_SaveBinaryBmp)->Args({400, 300})->Args({1920, 1080});

}  // namespace
