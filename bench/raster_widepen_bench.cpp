// CreatePen's wide pens at chart sizes: 10 000 random round-ended lines, the wave curves of
// the curve method (short segments, round joins), and canvas borders (fixed seeds).
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "kelvane/gdi.h"
#include "raster_fill_canvas.h"

namespace {

using namespace kelvane::gdi;
using kelvane::bench::drawLinePairs;
using kelvane::bench::FillCanvas;
using kelvane::bench::randomPointsIn;

void BM_WidePen_10000RandomLines(benchmark::State& state) {
    FillCanvas c;
    HPEN pen = CreatePen(PS_SOLID, int(state.range(0)), RGB(0, 90, 0));
    SelectObject(c.dc(), pen);
    const std::vector<POINT> p = randomPointsIn(61, 20000, -50, -50, 500, 400);
    for (auto _ : state)
        drawLinePairs(c.dc(), p);
    state.SetItemsProcessed(int64_t(state.iterations()) * 10000);
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}
BENCHMARK(BM_WidePen_10000RandomLines)->Arg(2)->Arg(4)->Arg(12);

void BM_WidePen_WaveCurve(benchmark::State& state) {
    FillCanvas c;
    HPEN pen = CreatePen(PS_SOLID, int(state.range(0)), RGB(200, 0, 0));
    SelectObject(c.dc(), pen);
    std::vector<POINT> p;
    for (int x = 0; x < 400; x += 2) p.push_back(POINT{x, int(std::lround(150 + 100 * std::sin(x / 23.0)))});
    for (auto _ : state)
        for (int k = 0; k < 10; ++k) Polyline(c.dc(), p.data(), int(p.size()));
    state.SetItemsProcessed(int64_t(state.iterations()) * 10 * int64_t(p.size()));
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}
BENCHMARK(BM_WidePen_WaveCurve)->Arg(2)->Arg(4);

void BM_WidePen_CanvasBorder(benchmark::State& state) {
    FillCanvas c;
    HPEN pen = CreatePen(PS_SOLID, int(state.range(0)), RGB(0, 0, 0));
    SelectObject(c.dc(), pen);
    SelectObject(c.dc(), GetStockObject(NULL_BRUSH));
    for (auto _ : state) Rectangle(c.dc(), 0, 0, 400, 300);
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}
BENCHMARK(BM_WidePen_CanvasBorder)->Arg(3)->Arg(8);

}  // namespace
