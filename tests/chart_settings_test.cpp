// A new chart holds the documented defaults; assignments store values, 16-bit ones checked.
#include <gtest/gtest.h>

#include <bit>

#include "kelvane/cChart.h"

namespace kelvane {
namespace {

TEST(ChartSettings, NewChartHoldsTheDocumentedDefaults) {
    cChart chart;
    const ChartSettings& s = chart.settings();
    EXPECT_EQ(s.Quality, 0);
    EXPECT_EQ(s.Width, 0);
    EXPECT_EQ(s.Height, 0);
    EXPECT_EQ(s.BackgroundColor, 0xFFFFFF);
    EXPECT_EQ(s.BackGrid, kFalse);
    EXPECT_EQ(s.BarSpaceRate, 0.0f);
    EXPECT_EQ(s.LineWidth, 1);
    EXPECT_EQ(s.BorderOffset, 15);
    EXPECT_EQ(s.AxisXoutValue, 5);
    EXPECT_EQ(s.AxisYoutValue, 5);
    EXPECT_EQ(s.LegendTitle, "Legend");
    EXPECT_EQ(s.LegendTitleBond, kTrue);
    EXPECT_EQ(s.LegendTitleHeight, 20);
    EXPECT_EQ(s.LegendBackgroundColor, 0xFFFFFF);
    EXPECT_EQ(s.LegendVisible, kTrue);
    EXPECT_EQ(s.LineDotFlagOutlineWidth, 1);
    EXPECT_EQ(s.MarginTop, 20);
    EXPECT_EQ(s.MarginLeft, 20);
    EXPECT_EQ(s.MarginBottom, 20);
    EXPECT_EQ(s.MarginRight, 20);
    EXPECT_EQ(s.BackGridColor, 0xC8C8C8);
    EXPECT_EQ(s.LeftRulerHeight, 5);
    EXPECT_EQ(s.RightRulerHeight, 5);
    EXPECT_EQ(s.BottomBRulerHeight, 5);
    EXPECT_EQ(s.BottomSRulerHeight, 2);
    EXPECT_EQ(s.LegendBorderWidth, 1);
    EXPECT_EQ(s.LegendItemHeight, 20);
    EXPECT_EQ(s.LegendIconWidth, 20);
    EXPECT_EQ(s.LegendFontSize, 14);
    EXPECT_EQ(s.DrawBarMode, 0);
    EXPECT_EQ(s.LineDotType, 0);
    EXPECT_EQ(s.PieSizeRate, 1.0f);
    EXPECT_EQ(s.MValueOffset, 10);
    EXPECT_EQ(s.MValueBorderOffsetX, 1);
    EXPECT_EQ(s.MValueBorderOffsetY, 1);
    EXPECT_EQ(s.MValueBackColor, 0xFFFFFF);
    EXPECT_EQ(s.MValueBackOpacity, 60);
    EXPECT_EQ(s.BorderWidth, 0);
    EXPECT_EQ(s.BorderColor, 0);
    EXPECT_EQ(s.MValuebStr, "");
    EXPECT_EQ(s.PieItemOutOffset3D, 20);
    EXPECT_EQ(std::bit_cast<uint32_t>(s.Angle_3D), 0x3F490FDAu);
    EXPECT_EQ(s.Depth_3D, 10);
    EXPECT_EQ(s.Chart_3D, kFalse);
    EXPECT_EQ(s.AxisBackColor_3D, 0xFFFFCC);
    EXPECT_EQ(s.MaxPicturePixels, 4096 * 4096);
    EXPECT_EQ(chart.BarWidth(), 0.0f);
    EXPECT_EQ(chart.ErrorInfo(), "");
}

TEST(ChartSettings, PlotFrameStartsFromMarginsAndBorderOffset) {
    cChart chart;
    EXPECT_EQ(chart.plotFrame().plotLeft, 35);
    EXPECT_EQ(chart.plotFrame().plotBottom, -35.0f);
    EXPECT_EQ(chart.plotFrame().axisRight, 0.0f);
}

TEST(ChartSettings, OutlineModeOutOfSixteenBitsFailsWithOverflowAndKeepsTheOldValue) {
    cChart chart;
    chart.LineDotFlagOutlineMode(7);
    try {
        chart.LineDotFlagOutlineMode(40000);
        FAIL() << "no error";
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.number(), kErrOverflow);
    }
    EXPECT_EQ(chart.settings().LineDotFlagOutlineMode, 7);
    chart.LineDotFlagOutlineMode(-1);
    EXPECT_EQ(chart.settings().LineDotFlagOutlineMode, -1);
    EXPECT_THROW(chart.LineDotFlagOutlineMode(-32769), AutomationError);
    chart.LineDotFlagOutlineMode(-32768);
    EXPECT_EQ(chart.settings().LineDotFlagOutlineMode, -32768);
}

TEST(ChartSettings, StringSettingsKeepTheirOwnCopy) {
    cChart chart;
    std::string title = "Sales";
    chart.LegendTitle(title);
    title = "changed";
    EXPECT_EQ(chart.settings().LegendTitle, "Sales");
}

TEST(ChartSettings, CopyRightNamesTheComponentAndVersion) {
    cChart chart;
    EXPECT_NE(chart.CopyRight().find("Kelvane"), std::string::npos);
    EXPECT_NE(chart.CopyRight().find("0."), std::string::npos);
}

}  // namespace
}  // namespace kelvane
