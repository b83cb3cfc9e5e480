// Wave curves of the highest precision and running-total labels of the most decimals: the work
// follows the canvas and the points given, not those numbers. Each case runs in a child process
// on a fresh chart (canvas, bar chart frame, then the call) and prints its figures; the bounds
// hold for optimised builds, and ten times over (at least a second) for sanitizer and
// unoptimised ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "kelvane/cChart.h"
#include "resource_usage.h"
#include "wave_chart.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define KELVANE_CURVE_SLOW_BUILD 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define KELVANE_CURVE_SLOW_BUILD 1
#endif
#endif
#if !defined(KELVANE_CURVE_SLOW_BUILD) && !defined(__OPTIMIZE__)
#define KELVANE_CURVE_SLOW_BUILD 1
#endif

namespace kelvane {
namespace {

#ifdef KELVANE_CURVE_SLOW_BUILD
constexpr double kLooser = 10;
constexpr double kLeastSeconds = 1;
#else
constexpr double kLooser = 1;
constexpr double kLeastSeconds = 0;
#endif

// 3000 points in plot coordinates, (i mod 100 + shift, 37 i mod 100).
Variant curvePoints(int shift) {
    Variant::Array points;
    for (int i = 0; i < 3000; ++i)
        points.push_back(Variant(std::to_string(i % 100 + shift) + "," + std::to_string(37 * i % 100)));
    return Variant(points);
}

Variant ones(int count) {
    return Variant(Variant::Array(size_t(count), Variant(1.0)));
}

struct Case {
    const char* name;
    int32_t width, height;
    double seconds;  // processor time allowed, optimised build
    std::function<void(cChart&)> call;
};

TEST(ResourceBoundsCurve, HugePrecisionsAndDecimalsStayWithinBounds) {
    const std::vector<Case> cases = {
        {"3000 wave segments of 32767 samples", 400, 300, 0.2,
         [](cChart& c) { c.DrawCurve(curvePoints(0), "1", 0xFF, 0.5f, 32767, 2); }},
        {"the same with every point off the canvas", 400, 300, 0.2,
         [](cChart& c) { c.DrawCurve(curvePoints(200), "1", 0xFF, 0.5f, 32767, 2); }},
        {"the same on 2000 x 2000", 2000, 2000, 1.0,
         [](cChart& c) { c.DrawCurve(curvePoints(0), "1", 0xFF, 0.5f, 32767, 2); }},
        {"the same with a 5-pixel pen", 400, 300, 1.0,
         [](cChart& c) { c.DrawCurve(curvePoints(0), "5", 0xFF, 0.5f, 32767, 2); }},
        {"32767 running totals to 32767 decimals", 400, 300, 0.2,
         [](cChart& c) { c.DrawPolaLine(ones(32767), 32767, 0, "1", 0xFF); }},
        {"the same on 2000 x 2000", 2000, 2000, 1.0,
         [](cChart& c) { c.DrawPolaLine(ones(32767), 32767, 0, "1", 0xFF); }},
        {"the same, every label across the canvas on a box", 400, 300, 1.0,
         [](cChart& c) {
             c.SerialBars(32767);
             c.DrawBarChart(100, 5, 0);
             c.DrawPolaLine(ones(32767), 32767, 0, "1", 0xFF, Variant(0), Variant(0), kTrue, kTrue);
         }},
    };
    // What a child that does nothing holds already: the test process's pages at the fork.
    const double baseMiB = test::measureInChild([] {}).peakMiB;
    for (const Case& k : cases) {
        const test::ResourceUse use = test::measureInChild([&] {
            cChart c;
            test::waveFrame(c, k.width, k.height);
            k.call(c);
        });
        const double canvasMiB = double(((k.width * 24 + 31) / 32) * 4) * k.height / (1024.0 * 1024.0);
        const double mostMiB = (3 * canvasMiB + 64) * kLooser, mostSeconds = std::max(k.seconds * kLooser, kLeastSeconds);
        const double grownMiB = use.peakMiB - baseMiB;
        std::printf("[ resource ] %-50s %4d x %-4d %7.3f s (%.3f s processor) %7.1f MiB more (at most %.3f s, %.1f MiB)\n",
                    k.name, k.width, k.height, use.seconds, use.cpuSeconds, grownMiB, mostSeconds, mostMiB);
        EXPECT_TRUE(use.completed) << k.name;
        EXPECT_LT(use.cpuSeconds, mostSeconds) << k.name;
        EXPECT_LT(grownMiB, mostMiB) << k.name;
    }
}

}  // namespace
}  // namespace kelvane
