// Styled one-pixel lines: the chart's dotted grid, 10 000 random dashed lines with opaque gaps,
// and dashed outlines of many segments (fixed seeds).
#include <benchmark/benchmark.h>

#include <vector>

#include "kelvane/gdi.h"
#include "raster_fill_canvas.h"

namespace {

using namespace kelvane::gdi;
using kelvane::bench::drawLinePairs;
using kelvane::bench::FillCanvas;
using kelvane::bench::randomPointsIn;

void BM_StyledLine_DottedGrid(benchmark::State& state) {
    FillCanvas c;
    HPEN pen = CreatePen(PS_DOT, 0, RGB(192, 192, 192));
    SelectObject(c.dc(), pen);
    for (auto _ : state)
        for (int y = 10; y < 290; y += 4) {
            MoveToEx(c.dc(), 20, y, nullptr);
            LineTo(c.dc(), 380, y);
        }
    state.SetItemsProcessed(int64_t(state.iterations()) * 70);
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}
BENCHMARK(BM_StyledLine_DottedGrid);

void BM_StyledLine_10000RandomDashDotLinesOpaque(benchmark::State& state) {
    FillCanvas c;
    HPEN pen = CreatePen(PS_DASHDOT, 1, RGB(0, 0, 160));
    SelectObject(c.dc(), pen);
    SetBkMode(c.dc(), OPAQUE);
    const std::vector<POINT> p = randomPointsIn(51, 20000, -100, -100, 600, 500);
    for (auto _ : state)
        drawLinePairs(c.dc(), p);
    state.SetItemsProcessed(int64_t(state.iterations()) * 10000);
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}
BENCHMARK(BM_StyledLine_10000RandomDashDotLinesOpaque);

void BM_StyledLine_UserStylePolygon1000Points(benchmark::State& state) {
    FillCanvas c;
    const LOGBRUSH brush{BS_SOLID, RGB(200, 0, 0), 0};
    const DWORD style[4] = {3, 1, 1, 2};
    HPEN pen = ExtCreatePen(PS_COSMETIC | PS_USERSTYLE, 1, &brush, 4, style);
    SelectObject(c.dc(), pen);
    SelectObject(c.dc(), GetStockObject(NULL_BRUSH));
    const std::vector<POINT> p = randomPointsIn(52, 1000, 0, 0, 400, 300);
    for (auto _ : state) Polygon(c.dc(), p.data(), int(p.size()));
    state.SetItemsProcessed(int64_t(state.iterations()) * 1000);
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}
BENCHMARK(BM_StyledLine_UserStylePolygon1000Points);

}  // namespace
