// Pies of 32767 slices, each drawn in a child process: whole discs for thin slices, the solid
// pie's faces, labels of 32767 decimals. The work must follow the canvas, not the number of
// slices: the bounds are 0.2 s on 400 x 300 and 1 s on 2000 x 2000 of running time (a busy
// machine's waits for a core not counted), with at most three times the canvas and 64 MiB more
// than the process had, in an optimised build; sanitizer and unoptimised builds get ten times the
// time (at least a second) and room for the sanitizers' own memory. The figures are printed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "kelvane/cChart.h"
#include "resource_usage.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__) || !defined(__OPTIMIZE__)
#define KELVANE_TEST_SLOW_BUILD 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define KELVANE_TEST_SLOW_BUILD 1
#endif
#endif

namespace kelvane {
namespace {

#ifdef KELVANE_TEST_SLOW_BUILD
constexpr double kTimeScale = 10, kLeastSeconds = 1, kMemoryScale = 4, kExtraMiB = 256;
#else
constexpr double kTimeScale = 1, kLeastSeconds = 0, kMemoryScale = 1, kExtraMiB = 0;
#endif

constexpr int kSlices = 32767;

struct Case {
    const char* name;
    bool solid;
    bool varied;
    int32_t percentDigits;
};

// A pie of 32767 slices with its labels, drawn as an output method draws it.
void drawPie(int32_t width, int32_t height, const Case& c) {
    cChart chart;
    chart.Width(width);
    chart.Height(height);
    chart.Chart_3D(c.solid ? kTrue : kFalse);
    chart.MValueVisible(kTrue);
    chart.PercentDigits(c.percentDigits);
    chart.InitChart();
    uint32_t seed = 12345;
    for (int i = 0; i < kSlices; ++i) {
        seed = seed * 1103515245u + 12345u;
        const float value = c.varied ? float((seed >> 16) % 1000 + 1) : 1.0f;
        chart.AddPieData("slice", value, 0, kFalse, kFalse, int32_t(seed & 0xFFFFFF));
    }
    chart.DrawPieChart();
    chart.ExportToDC(nullptr);
}

TEST(ResourceBoundsPie, PiesOf32767SlicesFollowTheCanvasNotTheSlices) {
    const std::vector<Case> cases = {
        {"flat, equal slices", false, false, 0},
        {"flat, varied slices", false, true, 0},
        {"solid, equal slices", true, false, 0},
        {"solid, varied slices", true, true, 0},
        {"flat, 32767 decimals", false, true, 32767},
    };
    const double baseline = test::measureInChild([] {}).peakMiB;
    for (const auto& [width, height, seconds] : {std::tuple{400, 300, 0.2}, std::tuple{2000, 2000, 1.0}}) {
        const double canvasMiB = double(width) * height * 3 / (1024 * 1024);
        const double mostSeconds = std::max(kLeastSeconds, seconds * kTimeScale);
        const double mostMiB = (3 * canvasMiB + 64) * kMemoryScale + kExtraMiB;
        for (const Case& c : cases) {
            const test::ResourceUse use = test::measureInChild([&] { drawPie(width, height, c); });
            const std::string name = std::string(c.name) + " on " + std::to_string(width) + " x " + std::to_string(height);
            std::printf("[ resource ] %-44s %7.3f s (%.3f s running) %7.1f MiB\n", name.c_str(), use.seconds,
                        use.cpuSeconds, use.peakMiB - baseline);
            EXPECT_TRUE(use.completed) << name;
            EXPECT_LT(use.cpuSeconds, mostSeconds) << name;
            EXPECT_LT(use.peakMiB - baseline, mostMiB) << name;
        }
    }
}

}  // namespace
}  // namespace kelvane
