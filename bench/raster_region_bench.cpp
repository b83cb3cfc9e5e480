// Regions: building polygon regions, combining them, and painting them with FillRgn (fixed seeds).
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "kelvane/gdi.h"
#include "raster_fill_canvas.h"

namespace {

using namespace kelvane::gdi;
using kelvane::bench::FillCanvas;

std::vector<POINT> randomPoints(std::mt19937& rng, int n, int lo, int hi) {
    std::uniform_int_distribution<int> coord(lo, hi);
    std::vector<POINT> p(static_cast<size_t>(n));
    for (POINT& q : p) q = POINT{coord(rng), coord(rng)};
    return p;
}

void BM_Region_Create1000PolygonRegions(benchmark::State& state) {
    std::mt19937 rng(21);
    std::vector<std::vector<POINT>> polygons;
    for (int i = 0; i < 1000; ++i) polygons.push_back(randomPoints(rng, 6, -20, 420));
    for (auto _ : state)
        for (const auto& p : polygons) {
            HRGN r = CreatePolygonRgn(p.data(), int(p.size()), ALTERNATE);
            benchmark::DoNotOptimize(r);
            DeleteObject(r);
        }
    state.SetItemsProcessed(int64_t(state.iterations()) * 1000);
}
BENCHMARK(BM_Region_Create1000PolygonRegions);

void BM_Region_CombineAllModes(benchmark::State& state) {
    std::mt19937 rng(22);
    const auto a = randomPoints(rng, 40, 0, 400), b = randomPoints(rng, 40, 0, 400);
    HRGN ra = CreatePolygonRgn(a.data(), int(a.size()), WINDING);
    HRGN rb = CreatePolygonRgn(b.data(), int(b.size()), ALTERNATE);
    HRGN d = CreateRectRgn(0, 0, 0, 0);
    for (auto _ : state)
        for (int mode : {RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF}) benchmark::DoNotOptimize(CombineRgn(d, ra, rb, mode));
    for (HRGN r : {ra, rb, d}) DeleteObject(r);
}
BENCHMARK(BM_Region_CombineAllModes);

void BM_Region_FillRgn1000ChartFaces(benchmark::State& state) {
    FillCanvas c;
    std::mt19937 rng(23);
    std::vector<HRGN> regions;
    for (int i = 0; i < 1000; ++i) {
        const int l = int(rng() % 380), t = 30 + int(rng() % 260), r = l + int(rng() % 40);
        const int dx = 5 + int(rng() % 16), dy = 5 + int(rng() % 16);
        const POINT p[4] = {{l, t}, {l + dx, t - dy}, {r + dx, t - dy}, {r, t}};
        regions.push_back(CreatePolygonRgn(p, 4, ALTERNATE));
    }
    HBRUSH brush = CreateSolidBrush(RGB(200, 60, 60));
    for (auto _ : state)
        for (HRGN r : regions) FillRgn(c.dc(), r, brush);
    state.SetItemsProcessed(int64_t(state.iterations()) * 1000);
    DeleteObject(brush);
    for (HRGN r : regions) DeleteObject(r);
}
BENCHMARK(BM_Region_FillRgn1000ChartFaces);

}  // namespace
