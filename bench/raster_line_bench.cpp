// One-pixel solid lines at chart sizes: 10 000 random lines (some far off the canvas), a polyline
// of 10 000 points, and axis lines (fixed seeds).
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "kelvane/gdi.h"
#include "raster_fill_canvas.h"

namespace {

using namespace kelvane::gdi;
using kelvane::bench::drawLinePairs;
using kelvane::bench::FillCanvas;

std::vector<POINT> randomPoints(int count, int spread, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<POINT> points;
    for (int i = 0; i < count; ++i)
        points.push_back(POINT{int(rng() % unsigned(spread)) - spread / 4, int(rng() % unsigned(spread)) - spread / 4});
    return points;
}

void BM_Line_10000RandomLines(benchmark::State& state) {
    FillCanvas c;
    const std::vector<POINT> p = randomPoints(20000, int(state.range(0)), 41);
    for (auto _ : state)
        drawLinePairs(c.dc(), p);
    state.SetItemsProcessed(int64_t(state.iterations()) * 10000);
}
BENCHMARK(BM_Line_10000RandomLines)->Arg(500)->Arg(100000);

void BM_Line_Polyline10000Points(benchmark::State& state) {
    FillCanvas c;
    const std::vector<POINT> p = randomPoints(10000, 500, 42);
    for (auto _ : state) Polyline(c.dc(), p.data(), int(p.size()));
    state.SetItemsProcessed(int64_t(state.iterations()) * 10000);
}
BENCHMARK(BM_Line_Polyline10000Points);

void BM_Line_AxisLines(benchmark::State& state) {
    FillCanvas c;
    for (auto _ : state)
        for (int i = 0; i < 300; ++i) {
            MoveToEx(c.dc(), 10, i, nullptr);
            LineTo(c.dc(), 390, i);
            MoveToEx(c.dc(), i, 10, nullptr);
            LineTo(c.dc(), i, 290);
        }
    state.SetItemsProcessed(int64_t(state.iterations()) * 600);
}
BENCHMARK(BM_Line_AxisLines);

}  // namespace
