// Pies of 32767 slices with their labels: whole discs for thin slices, the solid pie's faces,
// labels of 32767 decimals, legends of 32767 names. The work follows the canvas, not the number
// of slices: 0.2 s on 400 x 300 and 1 s on 2000 x 2000.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "canvas_work_bounds.h"
#include "kelvane/cChart.h"

namespace kelvane {
namespace {

// 32767 slices, all equal or of pseudo-random values, drawn as an output method draws them.
void drawPie(cChart& c, bool solid, bool varied, int32_t percentDigits) {
    c.Chart_3D(solid ? kTrue : kFalse);
    c.MValueVisible(kTrue);
    c.PercentDigits(percentDigits);
    uint32_t seed = 12345;
    for (int i = 0; i < 32767; ++i) {
        seed = seed * 1103515245u + 12345u;
        const float value = varied ? float((seed >> 16) % 1000 + 1) : 1.0f;
        c.AddPieData("slice", value, 0, kFalse, kFalse, int32_t(seed & 0xFFFFFF));
    }
    c.DrawPieChart();
    c.ExportToDC(nullptr);
}

TEST(ResourceBoundsPie, PiesOf32767SlicesFollowTheCanvasNotTheSlices) {
    std::vector<test::CanvasWork> cases;
    for (const auto& [width, height, seconds] : {std::tuple{400, 300, 0.2}, std::tuple{2000, 2000, 1.0}}) {
        cases.push_back({"32767 equal flat slices", width, height, seconds, [](cChart& c) { drawPie(c, false, false, 0); }});
        cases.push_back({"32767 varied flat slices", width, height, seconds, [](cChart& c) { drawPie(c, false, true, 0); }});
        cases.push_back({"32767 equal solid slices", width, height, seconds, [](cChart& c) { drawPie(c, true, false, 0); }});
        cases.push_back({"32767 varied solid slices", width, height, seconds, [](cChart& c) { drawPie(c, true, true, 0); }});
        cases.push_back({"32767 flat slices, labels of 32767 decimals", width, height, seconds,
                         [](cChart& c) { drawPie(c, false, true, 32767); }});
    }
    test::ExpectWithinBounds(cases, [](cChart& c, int32_t width, int32_t height) {
        c.Width(width);
        c.Height(height);
        c.InitChart();
    });
}

}  // namespace
}  // namespace kelvane
