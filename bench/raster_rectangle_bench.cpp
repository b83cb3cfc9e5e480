// Rectangles at chart sizes: 10 000 bars with the stock pen, legend boxes with wide pens, and
// inside-frame rectangles (fixed seeds).
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "kelvane/gdi.h"
#include "raster_fill_canvas.h"

namespace {

using namespace kelvane::gdi;
using kelvane::bench::FillCanvas;

void drawBoxes(benchmark::State& state, HPEN pen, int count, int maxSide, unsigned seed) {
    FillCanvas c;
    std::mt19937 rng(seed);
    std::vector<RECT> boxes;
    for (int i = 0; i < count; ++i) {
        const int l = int(rng() % 400) - 10, t = int(rng() % 300) - 10;
        boxes.push_back(RECT{l, t, l + 1 + int(rng() % unsigned(maxSide)), t + 1 + int(rng() % unsigned(maxSide))});
    }
    HBRUSH brush = CreateSolidBrush(RGB(40, 160, 90));
    SelectObject(c.dc(), brush);
    if (pen) SelectObject(c.dc(), pen);
    for (auto _ : state)
        for (const RECT& b : boxes) Rectangle(c.dc(), b.left, b.top, b.right, b.bottom);
    state.SetItemsProcessed(int64_t(state.iterations()) * count);
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    SelectObject(c.dc(), GetStockObject(WHITE_BRUSH));
    if (pen) DeleteObject(pen);
    DeleteObject(brush);
}

void BM_Rectangle_10000BarsStockPen(benchmark::State& state) { drawBoxes(state, nullptr, 10000, 60, 31); }
BENCHMARK(BM_Rectangle_10000BarsStockPen);

void BM_Rectangle_1000LegendBoxesWidePen(benchmark::State& state) {
    drawBoxes(state, CreatePen(PS_SOLID, int(state.range(0)), RGB(0, 0, 0)), 1000, 12, 32);
}
BENCHMARK(BM_Rectangle_1000LegendBoxesWidePen)->Arg(2)->Arg(3);

void BM_Rectangle_1000InsideFrame(benchmark::State& state) {
    drawBoxes(state, CreatePen(PS_INSIDEFRAME, 4, RGB(0, 0, 0)), 1000, 60, 33);
}
BENCHMARK(BM_Rectangle_1000InsideFrame);

void BM_Rectangle_10000FillRects(benchmark::State& state) {
    FillCanvas c;
    std::mt19937 rng(34);
    HBRUSH brush = CreateSolidBrush(RGB(90, 40, 160));
    std::vector<RECT> boxes;
    for (int i = 0; i < 10000; ++i) {
        const int l = int(rng() % 420) - 10, t = int(rng() % 320) - 10;
        boxes.push_back(RECT{l, t, l + int(rng() % 80), t + int(rng() % 80)});
    }
    for (auto _ : state)
        for (const RECT& b : boxes) FillRect(c.dc(), &b, brush);
    state.SetItemsProcessed(int64_t(state.iterations()) * 10000);
    DeleteObject(brush);
}
BENCHMARK(BM_Rectangle_10000FillRects);

}  // namespace
