// Paths: the chart's solid pie faces (ArcTo figures filled and stroked) and 1 000 random line
// figures filled with both fill modes (fixed seeds).
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <random>

#include "kelvane/gdi.h"
#include "raster_fill_canvas.h"

namespace {

using namespace kelvane::gdi;
using kelvane::bench::FillCanvas;

void BM_Path_100SolidPieTopAndWallFaces(benchmark::State& state) {
    FillCanvas c;
    HBRUSH brush = CreateSolidBrush(RGB(60, 160, 100));
    SelectObject(c.dc(), brush);
    std::mt19937 rng(71);
    struct Face {
        RECT top, bottom;
        POINT st, et, sb, eb, ct;
    };
    std::vector<Face> faces;
    for (int i = 0; i < 100; ++i) {
        const int r = 40 + int(rng() % 81), h = int(std::lround(2 * r * std::cos(0.785398))), d = 10 + int(rng() % 11);
        const int cx = 200, cy = 140;
        const double a0 = (rng() % 360) * std::numbers::pi / 180, a1 = a0 + (20 + rng() % 120) * std::numbers::pi / 180;
        Face f;
        f.top = RECT{cx - r, cy - h / 2, cx + r, cy - h / 2 + h};
        f.bottom = RECT{f.top.left, f.top.top + d, f.top.right, f.top.bottom + d};
        f.st = POINT{int(std::lround(cx + r * std::cos(a0))), int(std::lround(cy - h / 2.0 * std::sin(a0)))};
        f.et = POINT{int(std::lround(cx + r * std::cos(a1))), int(std::lround(cy - h / 2.0 * std::sin(a1)))};
        f.sb = POINT{f.st.x, f.st.y + d};
        f.eb = POINT{f.et.x, f.et.y + d};
        f.ct = POINT{cx, cy};
        faces.push_back(f);
    }
    for (auto _ : state) {
        for (const Face& f : faces) {
            MoveToEx(c.dc(), f.eb.x, f.eb.y, nullptr);
            BeginPath(c.dc());
            ArcTo(c.dc(), f.bottom.left, f.bottom.top, f.bottom.right, f.bottom.bottom, f.eb.x, f.eb.y, f.sb.x, f.sb.y);
            SetArcDirection(c.dc(), AD_CLOCKWISE);
            ArcTo(c.dc(), f.top.left, f.top.top, f.top.right, f.top.bottom, f.st.x, f.st.y, f.et.x, f.et.y);
            SetArcDirection(c.dc(), AD_COUNTERCLOCKWISE);
            EndPath(c.dc());
            FillPath(c.dc());
            MoveToEx(c.dc(), f.ct.x, f.ct.y, nullptr);
            BeginPath(c.dc());
            ArcTo(c.dc(), f.top.left, f.top.top, f.top.right, f.top.bottom, f.et.x, f.et.y, f.st.x, f.st.y);
            EndPath(c.dc());
            StrokeAndFillPath(c.dc());
        }
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 100);
    SelectObject(c.dc(), GetStockObject(WHITE_BRUSH));
    DeleteObject(brush);
}
BENCHMARK(BM_Path_100SolidPieTopAndWallFaces);

void BM_Path_1000LineFigures(benchmark::State& state) {
    FillCanvas c;
    SetPolyFillMode(c.dc(), int(state.range(0)));
    std::mt19937 rng(72);
    std::vector<POINT> points;
    for (int i = 0; i < 1000 * 6; ++i) points.push_back(POINT{int(rng() % 440) - 20, int(rng() % 340) - 20});
    for (auto _ : state) {
        for (int f = 0; f < 1000; ++f) {
            BeginPath(c.dc());
            MoveToEx(c.dc(), points[6 * f].x, points[6 * f].y, nullptr);
            for (int k = 1; k < 6; ++k) LineTo(c.dc(), points[6 * f + k].x, points[6 * f + k].y);
            EndPath(c.dc());
            FillPath(c.dc());
        }
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 1000);
}
BENCHMARK(BM_Path_1000LineFigures)->Arg(ALTERNATE)->Arg(WINDING);

}  // namespace
