// Arcs: 1 000 random arcs in both directions and 1 000 ArcTo calls chained from the current
// position (fixed seeds).
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "kelvane/gdi.h"
#include "raster_fill_canvas.h"

namespace {

using namespace kelvane::gdi;
using kelvane::bench::FillCanvas;

struct ArcCall {
    RECT box;
    POINT start, end;
};

std::vector<ArcCall> randomArcs(int count, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<ArcCall> calls;
    for (int i = 0; i < count; ++i) {
        const int l = int(rng() % 420) - 20, t = int(rng() % 320) - 20;
        const RECT box{l, t, l + int(rng() % 200), t + int(rng() % 200)};
        calls.push_back(ArcCall{box, POINT{int(rng() % 600) - 100, int(rng() % 500) - 100},
                                POINT{int(rng() % 600) - 100, int(rng() % 500) - 100}});
    }
    return calls;
}

void BM_Arc_1000Random(benchmark::State& state) {
    FillCanvas c;
    SetArcDirection(c.dc(), int(state.range(0)));
    const std::vector<ArcCall> calls = randomArcs(1000, 51);
    for (auto _ : state)
        for (const ArcCall& a : calls)
            Arc(c.dc(), a.box.left, a.box.top, a.box.right, a.box.bottom, a.start.x, a.start.y, a.end.x, a.end.y);
    state.SetItemsProcessed(int64_t(state.iterations()) * 1000);
}
BENCHMARK(BM_Arc_1000Random)->Arg(AD_COUNTERCLOCKWISE)->Arg(AD_CLOCKWISE);

void BM_Arc_1000ArcTo(benchmark::State& state) {
    FillCanvas c;
    const std::vector<ArcCall> calls = randomArcs(1000, 52);
    for (auto _ : state)
        for (const ArcCall& a : calls)
            ArcTo(c.dc(), a.box.left, a.box.top, a.box.right, a.box.bottom, a.start.x, a.start.y, a.end.x, a.end.y);
    state.SetItemsProcessed(int64_t(state.iterations()) * 1000);
}
BENCHMARK(BM_Arc_1000ArcTo);

}  // namespace
