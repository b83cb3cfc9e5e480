// DrawBarChart's plot frame with the numbers of the typical request, its legend and error rules.
#include <gtest/gtest.h>

#include "error_raised.h"
#include "kelvane/cChart.h"
#include "trace_capture.h"
#include "typical_request.h"

namespace kelvane {
namespace {

using test::typicalRequest;

TEST(BarFrame, TypicalRequestGivesTheDocumentedFrame) {
    cChart c;
    typicalRequest(c);
    c.LegendVisible(kFalse);
    c.LegendWidth(50);  // dropped because the legend is off
    c.InitChart();
    EXPECT_EQ(c.DrawBarChart(100, 5, 0), 0);
    const PlotFrame& f = c.plotFrame();
    EXPECT_EQ(f.plotLeft, 35);
    EXPECT_EQ(f.plotBottom, 265.0f);
    EXPECT_EQ(f.plotWidth, 325.0f);
    EXPECT_EQ(f.slotWidth, 81.25f);
    EXPECT_EQ(f.barWidth, 32.5f);
    EXPECT_EQ(f.slotGap, 8.125f);
    EXPECT_EQ(f.axisHeight, 230.0f);
    EXPECT_EQ(f.valueScale, 2.25f);
    EXPECT_EQ(f.axisRight, 365.0f);
    EXPECT_EQ(f.axisStartValue, 0.0f);
    EXPECT_EQ(c.BarWidth(), 81.25f);
    EXPECT_EQ(c.settings().LegendWidth, 0);
    EXPECT_EQ(c.ErrorInfo(), "");
}

TEST(BarFrame, LegendWidthAndRightAxisTakeRoomFromThePlot) {
    cChart c;
    typicalRequest(c);
    c.LegendWidth(80);
    c.RightAxisVisible(kTrue);
    c.InitChart();
    c.DrawBarChart(100, 5, 0);
    EXPECT_EQ(c.plotFrame().plotWidth, 325.0f - 80 - 15);
    // The reserve stays once made, even with the right axis switched off again.
    c.RightAxisVisible(kFalse);
    c.DrawBarChart(100, 5, 0);
    EXPECT_EQ(c.plotFrame().plotWidth, 325.0f - 80 - 15);
}

TEST(BarFrame, OnePoleBarsFillTheirShareOfTheSlot) {
    cChart c;
    typicalRequest(c);
    c.DrawBarMode(kvOnePole);
    c.LegendVisible(kFalse);
    c.InitChart();
    c.DrawBarChart(100, 5, 0);
    EXPECT_EQ(c.plotFrame().barWidth, 65.0f);
    EXPECT_EQ(c.plotFrame().slotGap, 8.125f);
    // Another number of bar positions cannot reshape the stack table.
    c.SerialBars(5);
    c.DrawBarChart(100, 5, 0);
    EXPECT_EQ(c.ErrorInfo(), "9:Subscript out of range");
    c.SerialBars(4);
    c.SerialItems(3);
    c.DrawBarChart(100, 5, 0);
    EXPECT_EQ(c.ErrorInfo(), "9:Subscript out of range");
}

TEST(BarFrame, StackTablesBeyondFourMebiCellsAreOutOfMemoryAndKeepTheTableUsable) {
    cChart c;
    typicalRequest(c, kvOnePole);
    c.SerialBars(2);
    c.SerialItems(1 << 21);  // 2 x 2^21 cells: the most a table holds
    c.LegendVisible(kFalse);
    c.InitChart();
    c.DrawBarChart(100, 5, 0);
    EXPECT_EQ(c.ErrorInfo(), "");
    for (int32_t items : {(1 << 21) + 1, 2147483647}) {
        c.SerialItems(items);
        c.DrawBarChart(100, 5, 0);
    }
    EXPECT_EQ(c.ErrorInfo(), "7:Out of memory7:Out of memory");
    // The table kept its size: a stacked segment still lands on the one below it.
    c.AddBarData("a", 20, 1, 1);
    c.AddBarData("b", 10, 1, 2);
    EXPECT_EQ(c.ErrorInfo(), "7:Out of memory7:Out of memory");
}

TEST(BarFrame, ErrorsAreAppendedAsNumberColonDescription) {
    cChart c;
    typicalRequest(c);
    c.InitChart();
    EXPECT_EQ(c.DrawBarChart(100, 0, 0), 0);
    EXPECT_EQ(c.ErrorInfo(), "11:Division by zero");
    c.SerialBars(0);
    c.DrawBarChart(100, 5, 0);
    EXPECT_EQ(c.ErrorInfo(), "11:Division by zero11:Division by zero");
    c.SerialBars(4);
    c.DrawBarChart(50, 5, 50);  // VMax = VStartValue: the scale divides by zero
    EXPECT_EQ(c.ErrorInfo(), "11:Division by zero11:Division by zero11:Division by zero");
    c.SerialBars(40000);
    c.DrawBarChart(100, 5, 0);
    EXPECT_EQ(c.ErrorInfo().substr(c.ErrorInfo().size() - 10), "6:Overflow");
}

TEST(BarFrame, SinglesBeyondTheirRangeAreOverflowsNotLabels) {
    struct Case {
        float vMax, vStart, barSpaceRate;
    };
    // The span of the axis, and a bar width from an absurd space rate.
    for (const Case& k : {Case{3e38f, -3e38f, 0.8f}, Case{-3e38f, 3e38f, 0.8f}, Case{100, 0, 3e38f}}) {
        cChart c;
        typicalRequest(c);
        c.BarSpaceRate(k.barSpaceRate);
        c.SerialItems(1);
        c.InitChart();
        const std::string script = test::traced(c, [&] { c.DrawBarChart(k.vMax, 5, k.vStart); });
        EXPECT_EQ(c.ErrorInfo(), "6:Overflow") << k.vMax << " " << k.barSpaceRate;
        if (k.barSpaceRate < 1) {
            c.RightAxisVisible(kTrue);
            EXPECT_EQ(test::errorRaisedBy([&] { c.DrawRightAxis(k.vMax, 5, k.vStart); }), kErrOverflow);
        }
        for (const std::string& line : test::linesOf(script, "textout")) {
            EXPECT_EQ(line.find("Inf"), std::string::npos) << line;
            EXPECT_EQ(line.find("NaN"), std::string::npos) << line;
        }
    }
}

TEST(BarFrame, NumberPatternsAndAxisStart) {
    cChart c;
    typicalRequest(c);
    c.InitChart();
    c.DrawBarChart(100, 5, 50, 2, "%");
    EXPECT_EQ(c.plotFrame().axisStartValue, 50.0f);
    EXPECT_EQ(c.plotFrame().valueScale, 4.5f);
}

TEST(BarFrame, RightAxisDrawsNothingWhenNotVisibleAndFailsOnZeroSteps) {
    cChart c;
    typicalRequest(c);
    c.InitChart();
    c.DrawBarChart(100, 5, 0);
    EXPECT_EQ(c.DrawRightAxis(1000, 0, 0), 0);  // not visible: not even the division happens
    c.RightAxisVisible(kTrue);
    EXPECT_THROW(c.DrawRightAxis(1000, 0, 0), AutomationError);
    EXPECT_EQ(c.DrawRightAxis(5, 5, 5), 0);
}

}  // namespace
}  // namespace kelvane
