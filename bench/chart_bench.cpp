// Whole chart calls: free text and lines, and the typical bar-chart request to BMP bytes.
#include <benchmark/benchmark.h>

#include "kelvane/cChart.h"

namespace {

using namespace kelvane;

void canvas(cChart& c) {
    c.Width(400);
    c.Height(300);
    c.InitChart();
}

void BM_DrawText1000(benchmark::State& state) {
    cChart c;
    canvas(c);
    for (auto _ : state)
        for (int i = 0; i < 1000; ++i) c.DrawText("Label 0123", "Arial", 14, kFalse, 0, 0, float(i % 300), float(i % 250));
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_DrawText1000)->Unit(benchmark::kMillisecond);

void BM_DrawLine1000(benchmark::State& state) {
    cChart c;
    canvas(c);
    for (auto _ : state)
        for (int i = 0; i < 1000; ++i)
            c.DrawLine(int16_t(i % 6), "2", 0x0000FF, float(i % 400), 0, float(399 - i % 400), 299);
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_DrawLine1000)->Unit(benchmark::kMillisecond);

void BM_TypicalRequestToBmp(benchmark::State& state) {
    for (auto _ : state) {
        cChart c;
        c.Width(400);
        c.Height(300);
        c.SerialBars(4);
        c.SerialItems(2);
        c.BarSpaceRate(0.8f);
        c.DrawBarMode(kvSingleColor);
        c.InitChart();
        c.DrawBarChart(100, 5, 0);
        const float values[2][4] = {{40, 50, 30, 90}, {20, 40, 60, 70}};
        for (int16_t s = 1; s <= 2; ++s) {
            c.FillColor(s == 1 ? 0xCC6600 : 0x0078E6);
            for (int16_t b = 1; b <= 4; ++b) c.AddBarData(s == 1 ? "North" : "South", values[s - 1][b - 1], b, s);
        }
        Variant bmp = c.SaveBinary("bmp");
        benchmark::DoNotOptimize(bmp);
        std::string map = c.MakeMap("m", "detail.html");
        benchmark::DoNotOptimize(map);
    }
}
BENCHMARK(BM_TypicalRequestToBmp)->Unit(benchmark::kMicrosecond);

}  // namespace
