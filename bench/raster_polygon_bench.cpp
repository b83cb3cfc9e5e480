// Polygon fills at chart sizes: 1 000 random polygons, the chart's 3D walls, one polygon of many
// points, and polygons reaching far off the canvas (fixed seeds).
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "kelvane/gdi.h"
#include "raster_fill_canvas.h"

namespace {

using namespace kelvane::gdi;
using kelvane::bench::FillCanvas;

std::vector<std::vector<POINT>> randomPolygons(int count, int points, int lo, int hi, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> coord(lo, hi);
    std::vector<std::vector<POINT>> all(static_cast<size_t>(count));
    for (auto& p : all) {
        p.resize(static_cast<size_t>(points));
        for (POINT& q : p) q = POINT{coord(rng), coord(rng)};
    }
    return all;
}

void fillAll(benchmark::State& state, const std::vector<std::vector<POINT>>& polygons, int mode, bool pen) {
    FillCanvas c;
    HBRUSH brush = CreateSolidBrush(RGB(30, 90, 200));
    SelectObject(c.dc(), brush);
    SelectObject(c.dc(), GetStockObject(pen ? BLACK_PEN : NULL_PEN));
    SetPolyFillMode(c.dc(), mode);
    for (auto _ : state)
        for (const auto& p : polygons) Polygon(c.dc(), p.data(), int(p.size()));
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(polygons.size()));
    SelectObject(c.dc(), GetStockObject(WHITE_BRUSH));
    DeleteObject(brush);
}

void BM_Polygon_1000Random6PointAlternate(benchmark::State& state) {
    fillAll(state, randomPolygons(1000, 6, -20, 420, 11), ALTERNATE, false);
}
BENCHMARK(BM_Polygon_1000Random6PointAlternate);

void BM_Polygon_1000Random6PointWindingWithPen(benchmark::State& state) {
    fillAll(state, randomPolygons(1000, 6, -20, 420, 12), WINDING, true);
}
BENCHMARK(BM_Polygon_1000Random6PointWindingWithPen);

void BM_Polygon_ChartWalls1000(benchmark::State& state) {
    std::mt19937 rng(13);
    std::vector<std::vector<POINT>> walls;
    for (int i = 0; i < 1000; ++i) {
        const int l = int(rng() % 380), b = 40 + int(rng() % 250), t = int(rng() % 260);
        const int dx = 5 + int(rng() % 16), dy = 5 + int(rng() % 16);
        walls.push_back({{l, b}, {l + dx, b - dy}, {l + dx, t - dy}, {l, t}});
    }
    fillAll(state, walls, ALTERNATE, true);
}
BENCHMARK(BM_Polygon_ChartWalls1000);

void BM_Polygon_OneOf10000Points(benchmark::State& state) {
    fillAll(state, randomPolygons(1, 10000, -50, 450, 14), WINDING, false);
}
BENCHMARK(BM_Polygon_OneOf10000Points);

void BM_Polygon_100FarOffCanvas(benchmark::State& state) {
    fillAll(state, randomPolygons(100, 5, -1 << 30, 1 << 30, 15), ALTERNATE, false);
}
BENCHMARK(BM_Polygon_100FarOffCanvas);

}  // namespace
