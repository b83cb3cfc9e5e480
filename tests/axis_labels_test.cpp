// Value-axis tick labels of any number of decimals: a short head made per tick and a tail
// measured once give, byte for byte and pixel for pixel, the whole label.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "chart/axis_labels.h"
#include "kelvane/cChart.h"
#include "kelvane/runtime.h"
#include "trace_capture.h"

namespace kelvane {
namespace {

std::string fullPattern(int decimals) { return decimals < 1 ? "0" : "0." + std::string(size_t(decimals), '0'); }

TEST(AxisLabels, HeadAndTailSpellTheValueWithAllItsDecimalsAndTheUnit) {
    const std::vector<float> values = {1.4e-45f, -1.4e-45f, 1.1754942e-38f, 3.4028235e38f, -3.4028235e38f, 0.5f,
                                       -0.25f, 2.675f, 99999.99f, 1e-30f, 9.999999e-6f, 0.0f, -0.0f};
    const std::vector<int> decimals = {0, 1, 2, 7, 45, 148, 149, 150, 151, 160, 400};
    std::mt19937 rng(7);
    std::vector<float> all = values;
    for (int i = 0; i < 200; ++i) {
        uint32_t bits = rng();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        if (std::isfinite(f)) all.push_back(f);
    }
    for (int d : decimals) {
        const std::string pattern = fullPattern(d);
        AxisLabels labels(pattern, "\xE5\x85\x83");
        for (float v : all) {
            const AxisLabels::Label label = labels(v);
            const std::string whole = (v == 0 ? std::string("0") : FormatPattern(v, pattern)) + "\xE5\x85\x83";
            ASSERT_EQ(label.head + label.tailText, whole) << v << " to " << d << " decimals";
            ASSERT_EQ(label.bytes(), int64_t(whole.size()) - 1) << v << " to " << d << " decimals";  // 元 is 2 bytes
            ASSERT_LE(label.head.size(), 1u + 39 + 1 + 149);
        }
    }
}

std::vector<gdi::COLORREF> pixels(const cChart& c, int width, int height) {
    std::vector<gdi::COLORREF> out;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) out.push_back(gdi::GetPixel(c.canvasDC(), x, y));
    return out;
}

struct AxisCase {
    int width, height, marginLeft, legendWidth;
    float vMax, vStart;
    int16_t steps, decimals;
    std::string unit;
    bool threeD, grid;
};

// Draws both axes; a traced canvas gets every label as one TextOut of the whole text.
std::vector<gdi::COLORREF> drawAxes(const AxisCase& k, bool traced, std::string& errors) {
    cChart c;
    c.Width(k.width);
    c.Height(k.height);
    c.MarginLeft(int16_t(k.marginLeft));
    c.LegendWidth(k.legendWidth);
    c.SerialBars(3);
    c.SerialItems(1);
    c.RightAxisVisible(kTrue);
    c.Chart_3D(k.threeD ? kTrue : kFalse);
    c.BackGrid(k.grid ? kTrue : kFalse);
    c.InitChart();
    auto draw = [&] {
        c.DrawBarChart(k.vMax, k.steps, k.vStart, k.decimals, k.unit);
        try {
            c.DrawRightAxis(k.vStart, k.steps, k.vMax, k.decimals, k.unit);
        } catch (const AutomationError& e) {
            errors = std::to_string(e.number());
        }
    };
    if (traced) test::traced(c, draw);
    else draw();
    errors += c.ErrorInfo();
    return pixels(c, k.width, k.height);
}

TEST(AxisLabels, AxesOfManyDecimalsDrawWhatWholeLabelsDraw) {
    std::mt19937 rng(11);
    const std::vector<float> values = {0, 100, -1, 1.4e-45f, 1e-39f, 3e38f, -2.5e-7f, 12345.678f};
    const std::vector<int16_t> decimals = {0, 2, 148, 149, 150, 151, 300};
    const std::vector<std::string> units = {"", "%", "\xE5\x85\x83/kg", std::string(40, 'x')};
    struct Size {
        int width, height, marginLeft;
    };
    // The wide canvases move the axis far enough right for the heads of long labels to show.
    const std::vector<Size> sizes = {{400, 300, 20}, {90, 60, 0}, {2600, 120, 2300}, {1300, 200, 1000}};
    for (int i = 0; i < 40; ++i) {
        const Size size = sizes[rng() % sizes.size()];
        const AxisCase k{size.width,
                         size.height,
                         size.marginLeft,
                         int(rng() % 3) * 300,
                         values[rng() % values.size()],
                         values[rng() % values.size()],
                         int16_t(1 + rng() % 12),
                         decimals[rng() % decimals.size()],
                         units[rng() % units.size()],
                         rng() % 2 == 0,
                         rng() % 2 == 0};
        std::string tracedErrors, errors;
        const auto literal = drawAxes(k, true, tracedErrors);
        ASSERT_EQ(drawAxes(k, false, errors), literal) << "case " << i;
        EXPECT_EQ(errors, tracedErrors) << "case " << i;
    }
}

}  // namespace
}  // namespace kelvane
