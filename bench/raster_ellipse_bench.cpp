// Ellipses at chart sizes: 1 000 marker circles, 1 000 random ellipses with the stock pen, a wide
// pen and no pen, and a few big ones mostly off the canvas (fixed seeds).
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "kelvane/gdi.h"
#include "raster_fill_canvas.h"

namespace {

using namespace kelvane::gdi;
using kelvane::bench::FillCanvas;

std::vector<RECT> randomBoxes(int count, int maxSide, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<RECT> boxes;
    for (int i = 0; i < count; ++i) {
        const int l = int(rng() % 420) - 20, t = int(rng() % 320) - 20;
        boxes.push_back(RECT{l, t, l + int(rng() % unsigned(maxSide)), t + int(rng() % unsigned(maxSide))});
    }
    return boxes;
}

void drawEllipses(benchmark::State& state, HPEN pen, const std::vector<RECT>& boxes) {
    FillCanvas c;
    HBRUSH brush = CreateSolidBrush(RGB(40, 90, 200));
    SelectObject(c.dc(), brush);
    if (pen) SelectObject(c.dc(), pen);
    for (auto _ : state)
        for (const RECT& b : boxes) Ellipse(c.dc(), b.left, b.top, b.right, b.bottom);
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(boxes.size()));
    SelectObject(c.dc(), GetStockObject(BLACK_PEN));
    SelectObject(c.dc(), GetStockObject(WHITE_BRUSH));
    if (pen) DeleteObject(pen);
    DeleteObject(brush);
}

void BM_Ellipse_1000MarkerCircles(benchmark::State& state) {
    std::mt19937 rng(41);
    std::vector<RECT> boxes;
    for (int i = 0; i < 1000; ++i) {
        const int x = int(rng() % 400), y = int(rng() % 300), s = 2 + int(rng() % 5);
        boxes.push_back(RECT{x - s, y - s, x + s, y + s});
    }
    drawEllipses(state, CreatePen(PS_SOLID, int(state.range(0)), RGB(0, 0, 0)), boxes);
}
BENCHMARK(BM_Ellipse_1000MarkerCircles)->Arg(1)->Arg(3);

void BM_Ellipse_1000StockPen(benchmark::State& state) { drawEllipses(state, nullptr, randomBoxes(1000, 200, 42)); }
BENCHMARK(BM_Ellipse_1000StockPen);

void BM_Ellipse_1000WidePen(benchmark::State& state) {
    drawEllipses(state, CreatePen(PS_SOLID, 4, RGB(0, 0, 0)), randomBoxes(1000, 200, 43));
}
BENCHMARK(BM_Ellipse_1000WidePen);

void BM_Ellipse_1000NullPen(benchmark::State& state) {
    drawEllipses(state, CreatePen(PS_NULL, 1, 0), randomBoxes(1000, 200, 44));
}
BENCHMARK(BM_Ellipse_1000NullPen);

void BM_Ellipse_10BigMostlyOffCanvas(benchmark::State& state) {
    std::mt19937 rng(45);
    std::vector<RECT> boxes;
    for (int i = 0; i < 10; ++i) {
        const int l = -int(rng() % 30000), t = -int(rng() % 30000);
        boxes.push_back(RECT{l, t, 420 + int(rng() % 30000), 320 + int(rng() % 30000)});
    }
    drawEllipses(state, nullptr, boxes);
}
BENCHMARK(BM_Ellipse_10BigMostlyOffCanvas);

}  // namespace
