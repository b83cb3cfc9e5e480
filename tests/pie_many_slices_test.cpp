// Pies of many slices: what is left out or put off for speed (faces repainted by the next one,
// painting composed last-first, labels that cannot show) must leave the picture as drawing every
// call does. A traced canvas makes every call, so each random pie is drawn both ways.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "kelvane/cChart.h"
#include "trace_capture.h"

namespace kelvane {
namespace {

using Random = std::mt19937;

int pick(Random& random, int from, int to) { return std::uniform_int_distribution<int>(from, to)(random); }

struct Shape {
    const char* name;
    int slices;
    // The value of slice i.
    float (*value)(Random&, int i);
};

// A random pie: canvas, solid or flat, labels, legend, hidden and pulled-out slices.
void makePie(cChart& chart, unsigned seed, const Shape& shape) {
    Random random(seed);
    chart.Width(pick(random, 80, 260));
    chart.Height(pick(random, 60, 200));
    chart.Chart_3D(pick(random, 0, 1) ? kTrue : kFalse);
    chart.Angle_3D(float(pick(random, 0, 150)) / 100);
    chart.Depth_3D(pick(random, 0, 25));
    chart.PieItemOutOffset3D(pick(random, 0, 30));
    chart.PieSizeRate(float(pick(random, 50, 120)) / 100);
    chart.MValueVisible(pick(random, 0, 1) ? kTrue : kFalse);
    const int digits = pick(random, 0, 9);
    chart.PercentDigits(digits < 6 ? digits % 3 : digits < 9 ? 400 : 1000);
    chart.MValueBorderOffsetX(int16_t(pick(random, -3, 6)));
    chart.MValueBorderOffsetY(int16_t(pick(random, -3, 6)));
    chart.MValueBackOpacity(int16_t(pick(random, 0, 9) ? pick(random, 0, 100) : 150));
    chart.MValueBackColor(pick(random, 0, 0xFFFFFF));
    chart.LegendVisible(pick(random, 0, 1) ? kTrue : kFalse);
    chart.LegendWidth(pick(random, 0, 80));
    chart.InitChart();
    const int out = pick(random, 0, 2) == 0 ? 0 : pick(random, 2, 15);
    for (int i = 0; i < shape.slices; ++i) {
        const bool hidden = pick(random, 0, 12) == 0;
        const bool pulled = out > 0 && pick(random, 0, out) == 0;
        // Few colours, so that neighbours often share theirs.
        const int32_t colour = pick(random, 0, 3) * 0x405080;
        chart.AddPieData("s", shape.value(random, i), 0, hidden ? kTrue : kFalse, pulled ? kTrue : kFalse, colour);
    }
    chart.DrawPieChart();
}

// The picture as a BMP, drawn either with every call made or as usual.
Variant::Bytes picture(const Shape& shape, unsigned seed, bool everyCall) {
    cChart chart;
    makePie(chart, seed, shape);
    Variant bmp;
    try {
        if (everyCall) test::traced(chart, [&] { bmp = chart.SaveBinary("bmp"); });
        else bmp = chart.SaveBinary("bmp");
    } catch (const AutomationError& e) {
        return Variant::Bytes{uint8_t(e.number())};
    }
    return bmp.bytes();
}

TEST(PieManySlices, EveryPixelIsAsWhenEveryCallIsMade) {
    const std::vector<Shape> shapes = {
        {"a few slices", 7, [](Random& r, int) { return float(pick(r, 1, 50)); }},
        {"equal slices", 500, [](Random&, int) { return 1.0f; }},
        {"varied slices", 400, [](Random& r, int) { return float(pick(r, 1, 1000)); }},
        {"one large slice among thin ones", 300, [](Random& r, int i) { return i == 100 ? 5000.0f : float(pick(r, 1, 3)); }},
        {"slices of very different sizes", 300, [](Random& r, int) { return float(std::pow(10.0, pick(r, -3, 3))); }},
        {"some negative values", 200, [](Random& r, int) { return float(pick(r, -20, 100)); }},
        {"labels crowding each other", 90, [](Random& r, int) { return float(pick(r, 1, 4)); }},
        {"labels a pixel apart", 240, [](Random& r, int) { return float(pick(r, 8, 10)); }},
    };
    for (const Shape& shape : shapes) {
        // Drawing every call traces it (a script line and a picture per label box): few seeds.
        for (unsigned seed = 1; seed <= (shape.slices >= 300 ? 3u : 8u); ++seed) {
            const Variant::Bytes expected = picture(shape, seed, true);
            ASSERT_EQ(picture(shape, seed, false), expected) << shape.name << ", seed " << seed;
        }
    }
}

}  // namespace
}  // namespace kelvane
