// Test helper: pieces of drawing work whose time and memory must follow the canvas, each run in a
// child process on a fresh chart, its figures printed. The bounds hold for optimised builds, and
// ten times over (at least a second) for sanitizer and unoptimised ones.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "kelvane/cChart.h"
#include "resource_usage.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define KELVANE_SLOW_BUILD 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define KELVANE_SLOW_BUILD 1
#endif
#endif
#if !defined(KELVANE_SLOW_BUILD) && !defined(__OPTIMIZE__)
#define KELVANE_SLOW_BUILD 1
#endif

namespace kelvane::test {

struct CanvasWork {
    const char* name;
    int32_t width, height;
    double seconds;  // processor time allowed, optimised build
    std::function<void(cChart&)> call;
};

// Runs each piece after `setup` made the chart's canvas of its size; memory may grow by three
// canvases and 64 MiB.
inline void ExpectWithinBounds(const std::vector<CanvasWork>& cases,
                               const std::function<void(cChart&, int32_t, int32_t)>& setup) {
#ifdef KELVANE_SLOW_BUILD
    constexpr double looser = 10, slower = 10, leastSeconds = 1;
#else
    // The time bounds are what a case may take on an idle machine; ctest runs it beside other
    // tests, whose use of the shared caches adds processor time, so half as much again is allowed.
    constexpr double looser = 1, slower = 1.5, leastSeconds = 0;
#endif
    // What a child that does nothing holds already: the test process's pages at the fork.
    const double baseMiB = measureInChild([] {}).peakMiB;
    for (const CanvasWork& k : cases) {
        const auto run = [&] {
            return measureInChild([&] {
                cChart c;
                setup(c, k.width, k.height);
                k.call(c);
            });
        };
        const double canvasMiB = double(((k.width * 24 + 31) / 32) * 4) * k.height / (1024.0 * 1024.0);
        const double mostMiB = (3 * canvasMiB + 64) * looser, mostSeconds = std::max(k.seconds * slower, leastSeconds);
        // Other work on the machine only ever adds processor time (caches, frequency), so a case
        // over its time is run again, at most twice, and judged by its quickest run.
        ResourceUse use = run();
        for (int again = 0; again < 2 && use.completed && use.cpuSeconds >= mostSeconds; ++again) {
            const ResourceUse next = run();
            if (next.cpuSeconds < use.cpuSeconds) use = next;
        }
        const double grownMiB = use.peakMiB - baseMiB;
        std::printf("[ resource ] %-50s %4d x %-4d %7.3f s (%.3f s processor) %7.1f MiB more (at most %.3f s, %.1f MiB)\n",
                    k.name, k.width, k.height, use.seconds, use.cpuSeconds, grownMiB, mostSeconds, mostMiB);
        EXPECT_TRUE(use.completed) << k.name;
        EXPECT_LT(use.cpuSeconds, mostSeconds) << k.name;
        EXPECT_LT(grownMiB, mostMiB) << k.name;
    }
}

}  // namespace kelvane::test
