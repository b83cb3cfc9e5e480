// DrawPolaLine: the running-total line over a bar chart, its markers and its failure rules.
#include <gtest/gtest.h>

#include <functional>

#include "bmp_file.h"
#include "kelvane/cChart.h"

namespace kelvane {
namespace {

void frame(cChart& c) {
    c.Width(400);
    c.Height(300);
    c.SerialBars(3);
    c.SerialItems(1);
    c.BarSpaceRate(0.5f);
    c.DrawBarMode(kvSingleColor);
    c.LegendVisible(kFalse);
    c.InitChart();
    c.DrawBarChart(225, 5, 0);  // one pixel per value unit
}

int32_t errorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const AutomationError& e) {
        return e.number();
    }
    return 0;
}

TEST(PolaLine, PointsStandOnSlotBoundariesAtTheRunningTotal) {
    cChart c;
    frame(c);
    c.LineDotFlag(kTrue);
    EXPECT_EQ(c.DrawPolaLine(Variant::Array{50, 30, 20}, 0, 0, "4", 0x0000FF, Variant(0), Variant(0), kFalse), 0);
    EXPECT_EQ(c.settings().LineDotFlagSize, 3);
    test::Picture p;
    ASSERT_TRUE(test::decodeBmp24(c.SaveBinary("bmp").bytes(), p));
    const float slot = c.plotFrame().slotWidth;  // 108.333
    // Marker centres at the running totals 50, 80 and 100 above the plot bottom (265).
    EXPECT_EQ(p.at(35 + int(slot + 0.5f), 215), 0xFF0000u);
    EXPECT_EQ(p.at(35 + int(2 * slot + 0.5f), 185), 0xFF0000u);
    EXPECT_EQ(p.at(35 + int(3 * slot + 0.5f), 165), 0xFF0000u);
}

TEST(PolaLine, MarkerSizeOnceSetStaysForLaterCalls) {
    cChart c;
    frame(c);
    c.LineDotFlag(kTrue);
    c.DrawPolaLine(Variant::Array{1, 2}, 0, 0, "4", 0);
    c.DrawPolaLine(Variant::Array{1, 2}, 0, 0, "1", 0);
    EXPECT_EQ(c.settings().LineDotFlagSize, 3);
}

TEST(PolaLine, BadInputFailsBeforeDrawing) {
    cChart c;
    frame(c);
    EXPECT_EQ(errorOf([&] { c.DrawPolaLine(Variant("5"), 0, 0, "1", 0); }), kErrTypeMismatch);
    EXPECT_EQ(errorOf([&] { c.DrawPolaLine(Variant::Array{1, "x"}, 0, 0, "1", 0); }), kErrTypeMismatch);
    EXPECT_EQ(errorOf([&] { c.DrawPolaLine(Variant::Array{5, -5}, 0, 0, "1", 0); }), kErrDivisionByZero);
    EXPECT_EQ(errorOf([&] { c.DrawPolaLine(Variant::Array{0, 0}, 0, 0, "1", 0); }), kErrOverflow);
    EXPECT_EQ(errorOf([&] { c.DrawPolaLine(Variant::Array{5}, 0, 0, "thick", 0); }), kErrTypeMismatch);
    EXPECT_EQ(c.DrawPolaLine(Variant::Array{}, 0, 0, "1", 0), 0);
}

TEST(PolaLine, LabelBoxesBeyondTheLongRangeAreOverflows) {
    const struct {
        double x, y;
        int32_t error;
    } cases[] = {
        {1, 1, 0},
        {2147483647, 1, kErrOverflow},
        {1, 2147483647, kErrOverflow},
        {-2147483648.0, 1, kErrOverflow},
        {1073741823, 1, kErrOverflow},  // twice the offset fits, the width of the box does not
        {1, -2147483648.0, kErrOverflow},
    };
    for (const auto& k : cases) {
        cChart c;
        frame(c);
        EXPECT_EQ(errorOf([&] {
                      c.DrawPolaLine(Variant::Array{5, 5}, 0, 0, "1", 0, Variant(0), Variant(0), kTrue, kTrue,
                                     Variant(k.x), Variant(k.y));
                  }),
                  k.error)
            << k.x << ", " << k.y;
    }
}

}  // namespace
}  // namespace kelvane
