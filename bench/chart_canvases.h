// Chart canvases the encoder benchmarks share: a bar chart like the typical request, and a
// photograph-like canvas of smooth gradients with noise.
#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <random>

#include "kelvane/cChart.h"
#include "kelvane/gdi.h"

namespace kelvane::bench {

// A bar chart like the typical request, at the given size: axis, grid, legend, labels, title.
inline std::unique_ptr<cChart> barChart(int width, int height) {
    auto chart = std::make_unique<cChart>();
    chart->Width(width);
    chart->Height(height);
    chart->SerialBars(6);
    chart->SerialItems(3);
    chart->BarSpaceRate(0.8f);
    chart->DrawBarMode(kvSingleColor);
    chart->BackGrid(kTrue);
    chart->LegendWidth(width / 5);
    chart->InitChart();
    chart->DrawBarChart(100, 5, 0);
    const Colour colours[3] = {0xCC6600, 0x0078E6, 0x30A040};
    const char* names[3] = {"North", "South", "West"};
    std::mt19937 random(42);
    for (int16_t s = 1; s <= 3; ++s) {
        chart->FillColor(colours[s - 1]);
        for (int16_t b = 1; b <= 6; ++b) chart->AddBarData(names[s - 1], float(10 + random() % 90), b, s);
    }
    chart->DrawAreaText(Variant(Variant::Array{"Jan", "Feb", "Mar", "Apr", "May", "Jun"}));
    chart->DrawChartTiTle("Sales by month");
    // What the output methods draw first.
    chart->ExportToDC(nullptr);
    return chart;
}

// The typical request: a 400 x 300 chart of eight bars (four positions, two series), dressed with
// grid, legend, value labels, category labels and title, or plain (bars and value axis only).
// Other sizes scale the canvas and the legend's width with it.
inline void typicalRequestChart(cChart& c, bool dressed, int width = 400, int height = 300) {
    c.Width(width);
    c.Height(height);
    c.SerialBars(4);
    c.SerialItems(2);
    c.BarSpaceRate(0.8f);
    c.DrawBarMode(kvSingleColor);
    if (dressed) {
        c.BackGrid(kTrue);
        c.LegendWidth(width / 5);
    }
    c.InitChart();
    c.DrawBarChart(100, 5, 0);
    const float values[2][4] = {{40, 50, 30, 90}, {20, 40, 60, 70}};
    for (int16_t s = 1; s <= 2; ++s) {
        c.FillColor(s == 1 ? 0xCC6600 : 0x0078E6);
        for (int16_t b = 1; b <= 4; ++b) c.AddBarData(s == 1 ? "North" : "South", values[s - 1][b - 1], b, s);
    }
    if (dressed) {
        c.DrawAreaText(Variant(Variant::Array{"Q1", "Q2", "Q3", "Q4"}));
        c.DrawChartTiTle("Sales by quarter");
    }
}

// A photograph-like canvas (smooth gradients with noise): every block takes the full transform.
inline std::unique_ptr<cChart> noisyCanvas(int width, int height) {
    auto chart = std::make_unique<cChart>();
    chart->Width(width);
    chart->Height(height);
    chart->InitChart();
    gdi::BITMAP bm{};
    gdi::GetObjectA(gdi::GetCurrentObject(chart->canvasDC(), gdi::OBJ_BITMAP), sizeof bm, &bm);
    std::mt19937 random(7);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = static_cast<uint8_t*>(bm.bmBits) + size_t(y) * size_t(bm.bmWidthBytes);
        for (int x = 0; x < width; ++x) {
            row[x * 3] = uint8_t(x * 255 / width + int(random() % 24));
            row[x * 3 + 1] = uint8_t(y * 255 / height + int(random() % 24));
            row[x * 3 + 2] = uint8_t((x + y) % 256);
        }
    }
    return chart;
}

// Arguments: width, height, 0 for a bar chart or 1 for the noisy picture.
inline void canvasSizes(benchmark::internal::Benchmark* b) {
    b->Args({400, 300, 0})->Args({1920, 1080, 0})->Args({1920, 1080, 1})->Unit(benchmark::kMillisecond);
}

}  // namespace kelvane::bench
