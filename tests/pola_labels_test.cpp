// DrawPolaLine labels with many decimals: every decimal of a single past the 149th is 0, the
// labels keep all their decimals, and they draw what the whole label texts draw.
#include <gtest/gtest.h>

#include <bit>
#include <random>
#include <string>
#include <vector>

#include "kelvane/cChart.h"
#include "raster/objects.h"
#include "trace_capture.h"

namespace kelvane {
namespace {

using namespace gdi;

TEST(PolaLabels, ASingleHasNoDecimalPastThe149th) {
    std::mt19937 rng(149);
    std::vector<float> values = {0.0f, -0.0f, 1.0f, 33.333332f, -2.675f, 0x1p-149f, -0x1p-149f, 0x1.fffffep-127f,
                                 0x1p-126f, 3.4e38f, 1e-20f};
    for (int i = 0; i < 300; ++i) {
        const float v = std::bit_cast<float>(uint32_t(rng()));
        if (std::isfinite(v)) values.push_back(v);
    }
    const std::string upTo149 = cChart::BuildNumberFormat(149);
    for (const float v : values)
        for (const int16_t decimals : {150, 151, 400, 32767})
            EXPECT_EQ(FormatPattern(v, cChart::BuildNumberFormat(decimals)),
                      FormatPattern(v, upTo149) + std::string(size_t(decimals - 149), '0'))
                << v << " to " << decimals;
}

void frame(cChart& c, int16_t bars) {
    c.Width(400);
    c.Height(300);
    c.SerialBars(bars);
    c.SerialItems(1);
    c.BarSpaceRate(0.5f);
    c.DrawBarMode(kvSingleColor);
    c.LegendVisible(kFalse);
    c.InitChart();
    c.DrawBarChart(225, 5, 0);
}

// The texts of the textout lines of a trace script.
std::vector<std::string> texts(const std::string& script) {
    std::vector<std::string> out;
    for (const std::string& line : test::linesOf(script, "textout")) {
        const size_t open = line.find('"');
        out.push_back(line.substr(open + 1, line.size() - open - 2));
    }
    return out;
}

TEST(PolaLabels, KeepEveryDecimal) {
    cChart c;
    frame(c, 3);
    const std::string script =
        test::traced(c, [&] { c.DrawPolaLine(Variant::Array{1, 1, 1}, 32767, 0, "1", 0); });
    const std::string pattern = cChart::BuildNumberFormat(32767);
    const std::vector<std::string> expected = {FormatPattern(float(100.0 / 3), pattern) + "%",
                                               FormatPattern(float(200.0 / 3), pattern) + "%",
                                               "100." + std::string(32767, '0') + "%"};
    EXPECT_EQ(texts(script), expected);
}

std::vector<uint8_t> pixels(const cChart& c) {
    const Surface* s = surfaceOf(c.canvasDC());
    return std::vector<uint8_t>(s->bits(), s->bits() + s->byteSize());
}

// A traced canvas gets each label as one whole text, as the labels were always drawn.
TEST(PolaLabels, DrawWhatTheWholeLabelsDraw) {
    const Variant::Array ones(60, Variant(1.0));
    Variant::Array mixed;
    for (int i = 0; i < 25; ++i) mixed.emplace_back(double(i % 7) - 1.5);
    const struct {
        const char* name;
        Variant::Array values;
        int16_t bars, decimals;
        VBBool back;
        double offsetX;
    } cases[] = {
        {"few decimals", {50, 30, 20}, 3, 2, kFalse, 0},
        {"149 decimals", {50, 30, 20}, 3, 149, kFalse, 0},
        {"150 decimals", {1, 1, 1}, 3, 150, kTrue, 0},
        {"many decimals on boxes", {1, 1, 1}, 3, 32767, kTrue, 0},
        {"labels across the canvas", ones, 60, 32767, kFalse, 0},
        {"boxes across the canvas", ones, 60, 400, kTrue, 0},
        {"labels off the canvas", ones, 3, 32767, kTrue, 0},
        {"falling totals", mixed, 25, 1000, kTrue, -300},
        {"moved far left", {1, 2}, 3, 32767, kFalse, -200000},
    };
    for (const auto& k : cases) {
        cChart plain, traced;
        frame(plain, k.bars);
        frame(traced, k.bars);
        auto draw = [&](cChart& c) {
            c.DrawPolaLine(Variant(k.values), k.decimals, 0, "1", 0xFF, Variant(k.offsetX), Variant(0), kTrue, k.back);
        };
        draw(plain);
        test::traced(traced, [&] { draw(traced); });
        EXPECT_TRUE(pixels(plain) == pixels(traced)) << k.name;
    }
}

}  // namespace
}  // namespace kelvane
