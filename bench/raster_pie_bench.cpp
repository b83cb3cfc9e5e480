// Pies: 200 flat pie charts of five slices as the chart draws them, and 1 000 random wedges
// without a pen (fixed seeds).
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "kelvane/gdi.h"
#include "raster_fill_canvas.h"

namespace {

using namespace kelvane::gdi;
using kelvane::bench::FillCanvas;

struct PieCall {
    RECT box;
    POINT start, end;
};

void drawPies(benchmark::State& state, const std::vector<PieCall>& calls, bool pen) {
    FillCanvas c;
    HBRUSH brush = CreateSolidBrush(RGB(200, 120, 40));
    SelectObject(c.dc(), brush);
    if (!pen) SelectObject(c.dc(), GetStockObject(NULL_PEN));
    for (auto _ : state)
        for (const PieCall& p : calls)
            Pie(c.dc(), p.box.left, p.box.top, p.box.right, p.box.bottom, p.start.x, p.start.y, p.end.x, p.end.y);
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(calls.size()));
    SelectObject(c.dc(), GetStockObject(WHITE_BRUSH));
    DeleteObject(brush);
}

void BM_Pie_200ChartsOfFiveSlices(benchmark::State& state) {
    std::mt19937 rng(61);
    std::vector<PieCall> calls;
    for (int chart = 0; chart < 200; ++chart) {
        const double cx = 100 + rng() % 200, cy = 80 + rng() % 140, r = 20 + rng() % 100;
        double angle = 0;
        for (int k = 0; k < 5; ++k) {
            const double a0 = angle, a1 = angle + 2 * std::numbers::pi / 5;
            const double ox = k == 0 ? 6 * std::cos((a0 + a1) / 2) : 0, oy = k == 0 ? -6 * std::sin((a0 + a1) / 2) : 0;
            calls.push_back(PieCall{
                RECT{int(std::lround(cx - r + ox)), int(std::lround(cy - r + oy)), int(std::lround(cx + r + ox)),
                     int(std::lround(cy + r + oy))},
                POINT{int(std::lround(cx + r * std::cos(a0))), int(std::lround(cy - r * std::sin(a0)))},
                POINT{int(std::lround(cx + r * std::cos(a1))), int(std::lround(cy - r * std::sin(a1)))}});
            angle = a1;
        }
    }
    drawPies(state, calls, true);
}
BENCHMARK(BM_Pie_200ChartsOfFiveSlices);

void BM_Pie_1000RandomWedgesNullPen(benchmark::State& state) {
    std::mt19937 rng(62);
    std::vector<PieCall> calls;
    for (int i = 0; i < 1000; ++i) {
        const int l = int(rng() % 420) - 20, t = int(rng() % 320) - 20;
        calls.push_back(PieCall{RECT{l, t, l + int(rng() % 200), t + int(rng() % 200)},
                                POINT{int(rng() % 600) - 100, int(rng() % 500) - 100},
                                POINT{int(rng() % 600) - 100, int(rng() % 500) - 100}});
    }
    drawPies(state, calls, false);
}
BENCHMARK(BM_Pie_1000RandomWedgesNullPen);

}  // namespace
