// Geometric pens: the chart's line-mode pens (flat caps, bevel joins, user dashes) on 1 000
// random lines and rectangle outlines, and mitered polylines (fixed seeds).
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "kelvane/gdi.h"
#include "raster_fill_canvas.h"

namespace {

using namespace kelvane::gdi;
using kelvane::bench::drawLinePairs;
using kelvane::bench::FillCanvas;
using kelvane::bench::randomPointsIn;

HPEN chartPen(int width) {
    const LOGBRUSH brush{BS_SOLID, RGB(0, 0, 200), 0};
    const DWORD style[4] = {16, 8, 4, 8};
    return ExtCreatePen(0x00011207, DWORD(width), &brush, 4, style);
}

void BM_GeometricPen_1000ChartLines(benchmark::State& state) {
    FillCanvas c;
    HPEN pen = chartPen(int(state.range(0)));
    SelectObject(c.dc(), pen);
    const std::vector<POINT> p = randomPointsIn(71, 2000, -50, -50, 500, 400);
    for (auto _ : state)
        drawLinePairs(c.dc(), p);
    state.SetItemsProcessed(int64_t(state.iterations()) * 1000);
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}
BENCHMARK(BM_GeometricPen_1000ChartLines)->Arg(1)->Arg(3)->Arg(5);

void BM_GeometricPen_1000ChartRectangles(benchmark::State& state) {
    FillCanvas c;
    HPEN pen = chartPen(3);
    SelectObject(c.dc(), pen);
    SelectObject(c.dc(), GetStockObject(NULL_BRUSH));
    std::mt19937 rng(72);
    std::vector<RECT> boxes;
    for (int i = 0; i < 1000; ++i) {
        const int l = int(rng() % 400) - 20, t = int(rng() % 300) - 20;
        boxes.push_back(RECT{l, t, l + 5 + int(rng() % 120), t + 5 + int(rng() % 90)});
    }
    for (auto _ : state)
        for (const RECT& b : boxes) Rectangle(c.dc(), b.left, b.top, b.right, b.bottom);
    state.SetItemsProcessed(int64_t(state.iterations()) * 1000);
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}
BENCHMARK(BM_GeometricPen_1000ChartRectangles);

void BM_GeometricPen_MiteredPolyline1000Points(benchmark::State& state) {
    FillCanvas c;
    const LOGBRUSH brush{BS_SOLID, RGB(0, 0, 0), 0};
    HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_ENDCAP_SQUARE | PS_JOIN_MITER, 5, &brush, 0, nullptr);
    SelectObject(c.dc(), pen);
    const std::vector<POINT> p = randomPointsIn(73, 1000, 0, 0, 400, 300);
    for (auto _ : state) Polyline(c.dc(), p.data(), int(p.size()));
    state.SetItemsProcessed(int64_t(state.iterations()) * 1000);
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}
BENCHMARK(BM_GeometricPen_MiteredPolyline1000Points);

}  // namespace
