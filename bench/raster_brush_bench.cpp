// Brush painting over a 400x300 canvas: solid, every hatch (transparent and opaque) and DIB
// pattern fills of the whole canvas.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "kelvane/gdi.h"
#include "raster_fill_canvas.h"

namespace {

using namespace kelvane::gdi;
using kelvane::bench::FillCanvas;

void paintWith(benchmark::State& state, HBRUSH brush, int bkMode) {
    FillCanvas c;
    SetBkMode(c.dc(), bkMode);
    const RECT all{0, 0, 400, 300};
    for (auto _ : state) FillRect(c.dc(), &all, brush);
    state.SetItemsProcessed(int64_t(state.iterations()) * 400 * 300);
    DeleteObject(brush);
}

void BM_Brush_SolidFill(benchmark::State& state) { paintWith(state, CreateSolidBrush(RGB(1, 2, 3)), OPAQUE); }
BENCHMARK(BM_Brush_SolidFill);

void BM_Brush_HatchFill(benchmark::State& state) {
    paintWith(state, CreateHatchBrush(int(state.range(0)), RGB(0, 0, 128)), int(state.range(1)));
}
BENCHMARK(BM_Brush_HatchFill)->ArgsProduct({{0, 1, 2, 3, 4, 5}, {TRANSPARENT, OPAQUE}});

void BM_Brush_PatternFill(benchmark::State& state) {
    // A 16x16 24-bit tile.
    const int bpp = int(state.range(0));
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = 16;
    h.biHeight = 16;
    h.biPlanes = 1;
    h.biBitCount = WORD(bpp);
    const size_t stride = size_t((16 * bpp + 31) / 32 * 4);
    std::vector<uint8_t> dib(sizeof h + (bpp == 8 ? 256 * 4 : 0) + stride * 16);
    std::memcpy(dib.data(), &h, sizeof h);
    for (size_t i = sizeof h; i < dib.size(); ++i) dib[i] = uint8_t(i * 37);
    paintWith(state, CreateDIBPatternBrushPt(dib.data(), DIB_RGB_COLORS), OPAQUE);
}
BENCHMARK(BM_Brush_PatternFill)->Arg(8)->Arg(24);

}  // namespace
