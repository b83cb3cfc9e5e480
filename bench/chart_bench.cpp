// Whole chart calls: free text and lines, the typical bar-chart request to BMP and JPEG bytes, and
// a solid pie to JPEG bytes.
#include <benchmark/benchmark.h>

#include "chart_canvases.h"
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

// The typical request to a picture of `format` and its image map.
void typicalRequest(benchmark::State& state, const char* format) {
    for (auto _ : state) {
        cChart c;
        bench::typicalRequestChart(c, false);
        Variant picture = c.SaveBinary(format);
        benchmark::DoNotOptimize(picture);
        std::string map = c.MakeMap("m", "detail.html");
        benchmark::DoNotOptimize(map);
    }
}

void BM_TypicalRequestToBmp(benchmark::State& state) { typicalRequest(state, "bmp"); }
BENCHMARK(BM_TypicalRequestToBmp)->Unit(benchmark::kMicrosecond);

void BM_TypicalRequestToJpeg(benchmark::State& state) { typicalRequest(state, "jpg"); }
BENCHMARK(BM_TypicalRequestToJpeg)->Unit(benchmark::kMicrosecond);

// A solid pie of twelve slices, one pulled out, with percentage labels and a legend.
void BM_SolidPie12ToJpeg(benchmark::State& state) {
    static const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (auto _ : state) {
        cChart c;
        c.Width(400);
        c.Height(300);
        c.Chart_3D(kTrue);
        c.LegendWidth(90);
        c.MValueVisible(kTrue);
        c.InitChart();
        for (int i = 0; i < 12; ++i)
            c.AddPieData(kMonths[i], float(5 + (i * 7) % 11), 0, kFalse, ToVBBool(i == 3),
                         Colour(0x203040 + 0x0F1713 * i));
        c.DrawPieChart();
        Variant jpeg = c.SaveBinary("jpg");
        benchmark::DoNotOptimize(jpeg);
    }
}
BENCHMARK(BM_SolidPie12ToJpeg)->Unit(benchmark::kMicrosecond);

}  // namespace
