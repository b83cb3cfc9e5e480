// PNG output of large canvases of noise, where the stream is as large as the pixels: the file and
// the byte array each need the canvas and the finished stream, and no other copy of the picture.
// The canvas is painted before the child starts, so that the child's figures beyond what it
// shares with the test process are the output's alone; they are printed with the bound.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "kelvane/cChart.h"
#include "resource_usage.h"

namespace kelvane {
namespace {

constexpr double kMiB = 1024.0 * 1024.0;

// This process's anonymous resident memory, the part a forked child starts with.
double residentAnonMiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("RssAnon:")) return std::stod(line.substr(8)) / 1024.0;  // in kB
    return 0;
}

// A width x height canvas of random pixels: `colours` random colours, or any colour when 0.
void paintNoise(cChart& chart, int width, int height, uint32_t colours) {
    chart.Width(width);
    chart.Height(height);
    ASSERT_EQ(chart.InitChart(), 0);
    gdi::BITMAP bm{};
    gdi::GetObjectA(gdi::GetCurrentObject(chart.canvasDC(), gdi::OBJ_BITMAP), sizeof bm, &bm);
    std::mt19937 random(uint32_t(width) + colours);
    std::vector<uint32_t> palette(colours);
    for (uint32_t& c : palette) c = random();
    for (int y = 0; y < height; ++y) {
        uint8_t* p = static_cast<uint8_t*>(bm.bmBits) + size_t(y) * size_t(bm.bmWidthBytes);
        for (int x = 0; x < width; ++x, p += 3) {
            const uint32_t c = colours ? palette[random() % colours] : random();
            std::memcpy(p, &c, 3);
        }
    }
}

TEST(ResourceBoundsPng, NoiseCanvasesNeedTheCanvasAndTheStreamOnly) {
    struct Case {
        const char* name;
        int side;
        uint32_t colours;
        bool file;
    };
    const Case cases[] = {
        {"4096 x 4096 noise, SaveBinary", 4096, 0, false},
        {"4096 x 4096 noise, makeChart", 4096, 0, true},
        {"4096 x 4096 of 256 colours, SaveBinary", 4096, 256, false},
        {"4096 x 4096 of 256 colours, makeChart", 4096, 256, true},
#if !defined(__SANITIZE_ADDRESS__)  // a minute and more under the sanitizers
        {"8192 x 8192 noise, SaveBinary", 8192, 0, false},
        {"8192 x 8192 noise, makeChart", 8192, 0, true},
#endif
    };
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer's shadow memory and its redzones and quarantine around the stream.
    constexpr double kCanvases = 4.0, kSlackMiB = 256;
#else
    // Measured: the canvas and a stream of its size, 2.0 canvases; one more copy of the picture
    // would make 3.
    constexpr double kCanvases = 2.5, kSlackMiB = 64;
#endif
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("kelvane_resource_png_" + std::to_string(::getpid()) + ".png"))
                                 .string();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cChart chart;
        paintNoise(chart, c.side, c.side, c.colours);
        const double canvasMiB = 3.0 * c.side * c.side / kMiB;
        const double sharedMiB = residentAnonMiB();
        const test::ResourceUse use = test::measureInChild([&] {
            const bool made = c.file ? (chart.makeChart(path), std::filesystem::file_size(path) > 0)
                                     : !chart.SaveBinary("png").bytes().empty();
            if (!made || !chart.ErrorInfo().empty()) ::_exit(1);
        });
        // As if the process held nothing but the canvas.
        const double peakMiB = use.peakMiB - sharedMiB + canvasMiB;
        const double boundMiB = kCanvases * canvasMiB + kSlackMiB;
        std::printf("[ resource ] %-40s %8.3f s %8.1f MiB (canvas %.0f MiB, bound %.0f MiB)\n", c.name, use.seconds,
                    peakMiB, canvasMiB, boundMiB);
        EXPECT_TRUE(use.completed);
        EXPECT_LT(peakMiB, boundMiB);
    }
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace kelvane
