// Calls whose work once grew with one number or one small file: each runs in a child process
// and must stay within bounds generous enough for sanitizer builds. The measured figures are
// printed so that a run shows how far below the bounds they are.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "kelvane/cChart.h"
#include "resource_usage.h"

namespace kelvane {
namespace {

constexpr double kMostSeconds = 2.0;
constexpr double kMostMiB = 400.0;

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// 64 bytes: an 8-bit RLE BMP of the given size whose data ends the bitmap at once (all index 0).
std::vector<uint8_t> rle8Claiming(int32_t width, int32_t height) {
    std::vector<uint8_t> b = {'B', 'M'};
    put32(b, 64);
    put32(b, 0);
    put32(b, 14 + 40 + 8);  // pixel data after the two-colour table
    put32(b, 40);
    put32(b, uint32_t(width));
    put32(b, uint32_t(height));
    put16(b, 1);
    put16(b, 8);
    put32(b, 1);  // RLE8
    put32(b, 2);
    put32(b, 0);
    put32(b, 0);
    put32(b, 2);
    put32(b, 0);
    for (uint8_t v : {0x20, 0x80, 0xE0, 0, 0xFF, 0xFF, 0xFF, 0}) b.push_back(v);
    b.push_back(0);
    b.push_back(1);  // end of bitmap
    return b;
}

// A complete GIF of one colour: every LZW code is the longest run of index 0 in the table, so a
// picture of millions of pixels takes a few hundred kilobytes.
std::vector<uint8_t> flatGif(uint16_t width, uint16_t height) {
    std::vector<uint8_t> b = {'G', 'I', 'F', '8', '9', 'a'};
    put16(b, width);
    put16(b, height);
    for (uint8_t v : {0x81, 0, 0}) b.push_back(v);  // a global table of 4 colours
    for (int i = 0; i < 12; ++i) b.push_back(uint8_t(i * 20));
    b.push_back(0x2C);
    put16(b, 0);
    put16(b, 0);
    put16(b, width);
    put16(b, height);
    b.push_back(0);
    const uint32_t clear = 4, end = 5;
    std::vector<uint8_t> data;
    uint32_t acc = 0, bits = 0, codeSize = 3, maxCode = end;
    auto emit = [&](uint32_t code) {
        acc |= code << bits;
        for (bits += codeSize; bits >= 8; bits -= 8, acc >>= 8) data.push_back(uint8_t(acc));
    };
    emit(clear);
    for (uint64_t left = uint64_t(width) * height; left > 0;) {
        const uint64_t longest = maxCode > end ? maxCode - 4 : 1;
        const uint64_t run = std::min(longest, left);
        emit(run == 1 ? 0 : uint32_t(end + run - 1));
        left -= run;
        if (left == 0) break;
        if (++maxCode >= (1u << codeSize)) ++codeSize;
        if (maxCode == 4095) {
            emit(clear);
            codeSize = 3;
            maxCode = end;
        }
    }
    emit(end);
    if (bits > 0) data.push_back(uint8_t(acc));
    b.push_back(2);  // the minimum code size
    for (size_t at = 0; at < data.size(); at += 255) {
        const size_t n = std::min<size_t>(255, data.size() - at);
        b.push_back(uint8_t(n));
        b.insert(b.end(), data.begin() + long(at), data.begin() + long(at + n));
    }
    b.push_back(0);
    b.push_back(0x3B);
    return b;
}

std::string writeFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = (std::filesystem::temp_directory_path() / name).string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
    return path;
}

void barFrame(cChart& c, int32_t bars, iDrawBarMode mode, int32_t width = 400, int32_t height = 300) {
    c.Width(width);
    c.Height(height);
    c.SerialBars(bars);
    c.SerialItems(1);
    c.BarSpaceRate(0.8f);
    c.DrawBarMode(mode);
    c.InitChart();
    c.DrawBarChart(100, 5, 0);
}

// Each call is made as a host would make it; failures are part of the work measured.
void ignoringErrors(const std::function<void()>& call) {
    try {
        call();
    } catch (const AutomationError&) {
    }
}

struct Repro {
    const char* name;
    std::function<void()> work;
};

TEST(ResourceBounds, CallsDrivenByHugeNumbersOrSmallFilesStayWithinBounds) {
    const std::string rle = writeFile("kelvane_resource_rle8.bmp", rle8Claiming(32767, 8000));
    const std::string atCap = writeFile("kelvane_resource_cap.bmp", rle8Claiming(4096, 4096));
    const std::string gif = writeFile("kelvane_resource_flat.gif", flatGif(16000, 16000));
    const std::string suffix(100000, 'x');
    const std::vector<Repro> repros = {
        {"stacked table of 2 x 2147483647 items",
         [] {
             cChart c;
             c.Width(400);
             c.Height(300);
             c.SerialBars(2);
             c.SerialItems(2147483647);
             c.DrawBarMode(kvOnePole);
             c.LegendVisible(kFalse);
             c.InitChart();
             c.DrawBarChart(100, 5, 0);
         }},
        {"Pareto point markers of a 32767-pixel line",
         [] {
             cChart c;
             barFrame(c, 3, kvSingleColor);
             c.LineDotFlag(kTrue);
             ignoringErrors([&] { c.DrawPolaLine(Variant::Array{50, 30, 20}, 0, 0, "32767", 0xFF); });
         }},
        {"the same on 1000 x 1000",
         [] {
             cChart c;
             barFrame(c, 3, kvSingleColor, 1000, 1000);
             c.LineDotFlag(kTrue);
             ignoringErrors([&] { c.DrawPolaLine(Variant::Array{50, 30, 20}, 0, 0, "32767", 0xFF); });
         }},
        {"three value labels of size 32767 on boxes",
         [] {
             cChart c;
             c.MValueVisible(kTrue);
             c.MValueSize(32767);
             c.MValueBackVisible(kTrue);
             barFrame(c, 3, kvSingleColor);
             for (int16_t i = 1; i <= 3; ++i) ignoringErrors([&] { c.AddBarData("bar", 35, i, 1); });
         }},
        {"ten bars filled with a 64-byte BMP of 32767 x 8000",
         [&] {
             cChart c;
             c.FillImage(rle);
             barFrame(c, 10, kvFillImage);
             for (int16_t i = 1; i <= 10; ++i) ignoringErrors([&] { c.AddBarData("bar", 50, i, 1); });
         }},
        {"ten bars filled with a 64-byte BMP of 4096 x 4096",
         [&] {
             cChart c;
             c.FillImage(atCap);
             barFrame(c, 10, kvFillImage);
             for (int16_t i = 1; i <= 10; ++i) c.AddBarData("bar", 50, i, 1);
         }},
        {"a GIF of 16000 x 16000",
         [&] {
             cChart c;
             c.Width(400);
             c.Height(300);
             c.InitChart();
             c.DrawImage(gif, 0, 0);
         }},
        {"32768 axis labels with a 100000-character suffix",
         [&] {
             cChart c;
             c.Width(400);
             c.Height(300);
             c.SerialBars(3);
             c.SerialItems(1);
             c.InitChart();
             c.DrawBarChart(99999.99f, 32767, 0, 0, suffix);
         }},
        {"a circle of radius 32767 with a pen 2000000000 wide",
         [] {
             cChart c;
             c.Width(400);
             c.Height(300);
             c.InitChart();
             c.DrawCircle(32767, 0, 2000000000, 0, 200, 150);
         }},
        {"a line with a pen 100000 wide",
         [] {
             cChart c;
             c.Width(400);
             c.Height(300);
             c.InitChart();
             c.DrawLine(0, "100000", 0xFF, -30000, -30000, 30000, 30000);
         }},
    };
    for (const Repro& r : repros) {
        const test::ResourceUse use = test::measureInChild(r.work);
        std::printf("[ resource ] %-52s %8.3f s %8.1f MiB\n", r.name, use.seconds, use.peakMiB);
        EXPECT_TRUE(use.completed) << r.name;
        EXPECT_LT(use.seconds, kMostSeconds) << r.name;
        EXPECT_LT(use.peakMiB, kMostMiB) << r.name;
    }
    std::filesystem::remove(rle);
    std::filesystem::remove(atCap);
    std::filesystem::remove(gif);
}

}  // namespace
}  // namespace kelvane
