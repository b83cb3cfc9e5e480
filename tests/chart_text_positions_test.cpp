// Where the chart puts its text: titles, axis labels, right-axis labels, legend names and the
// Pareto percentages, read from the canvas's call trace.
#include <gtest/gtest.h>

#include "kelvane/cChart.h"
#include "trace_capture.h"
#include "typical_request.h"

namespace kelvane {
namespace {

using test::linesOf;
using test::traced;

class ChartText : public ::testing::Test {
protected:
    void SetUp() override {
        previousCodePage = gdi::GetSystemCodePage();
        gdi::SetSystemCodePage(936);
    }
    void TearDown() override { gdi::SetSystemCodePage(previousCodePage); }
    void typical(cChart& c) {
        test::typicalRequest(c);
        c.InitChart();
    }
    gdi::UINT previousCodePage = 936;
};

TEST_F(ChartText, TitleIsCentredOnHalfAFontHeightPerByte) {
    cChart c;
    c.Width(400);
    c.Height(300);
    c.InitChart();
    EXPECT_EQ(linesOf(traced(c, [&] { c.DrawChartTiTle("ABCDEFGHIJ"); }), "textout"),
              std::vector<std::string>{"textout 165 15 \"ABCDEFGHIJ\""});
    // Five Chinese characters are ten bytes in code page 936: the same place.
    const std::vector<std::string> cjk = linesOf(traced(c, [&] { c.DrawChartTiTle("季度销售额"); }), "textout");
    ASSERT_EQ(cjk.size(), 1u);
    EXPECT_EQ(cjk[0].substr(0, 16), "textout 165 15 \"");
    EXPECT_EQ(linesOf(traced(c, [&] { c.DrawChartTiTle("ABCDEFGHIJ", "Arial", 14, kTrue, 0, 0, 3, -5); }),
                      "textout"),
              std::vector<std::string>{"textout 168 10 \"ABCDEFGHIJ\""});
}

TEST_F(ChartText, AxisLabelsAreRightAlignedAndZeroIsBare) {
    cChart c;
    typical(c);
    const std::string script = traced(c, [&] { c.DrawBarChart(100, 5, 0, 2, "%"); });
    const std::vector<std::string> labels = linesOf(script, "textout");
    ASSERT_GE(labels.size(), 6u);
    // "0%" is 2 bytes: 35 - 14 - 5 = 16; "20.00%" is 6 bytes: 35 - 42 - 5 = -12.
    EXPECT_EQ(labels[0], "textout 16 258 \"0%\"");
    EXPECT_EQ(labels[1], "textout -12 213 \"20.00%\"");
    EXPECT_EQ(labels[5], "textout -19 33 \"100.00%\"");
    EXPECT_EQ(labels[6], "textout 390 120 \"Legend\"");  // the zero-width legend's heading at 385 + 5
}

TEST_F(ChartText, NegativeLabelsThatRoundToZeroKeepTheirSign) {
    cChart c;
    typical(c);
    c.LegendVisible(kFalse);
    std::vector<std::string> texts;
    for (const std::string& line : linesOf(traced(c, [&] { c.DrawBarChart(0.5f, 4, -0.5f); }), "textout"))
        texts.push_back(line.substr(line.find('"')));
    // -0.5, -0.25, an exact 0, 0.25, 0.5; halves round away from zero.
    EXPECT_EQ(texts, (std::vector<std::string>{"\"-1\"", "\"-0\"", "\"0\"", "\"0\"", "\"1\""}));
    const std::vector<std::string> running = linesOf(
        traced(c, [&] { c.DrawPolaLine(Variant(Variant::Array{Variant(-0.001), Variant(1.0)}), 0, 0, "1", 0); }),
        "textout");
    ASSERT_EQ(running.size(), 2u);
    EXPECT_NE(running[0].find("\"-0%\""), std::string::npos) << running[0];
}

TEST_F(ChartText, LegendHeadingAndEntriesSitBesideTheirIcons) {
    cChart c;
    c.LegendWidth(80);
    typical(c);
    EXPECT_EQ(linesOf(traced(c, [&] { c.DrawBarChart(100, 5, 0, 0, "", kFalse); }), "textout"),
              std::vector<std::string>{"textout 310 120 \"Legend\""});
    EXPECT_EQ(linesOf(traced(c, [&] { c.AddBarData("North", 40, 1, 1); }), "textout"),
              std::vector<std::string>{"textout 335 142 \"North\""});
    EXPECT_EQ(linesOf(traced(c, [&] { c.AddBarData("South", 40, 1, 2); }), "textout"),
              std::vector<std::string>{"textout 335 162 \"South\""});
}

TEST_F(ChartText, RightAxisLabelsStartSixPixelsRightOfTheAxis) {
    cChart c;
    c.RightAxisVisible(kTrue);
    typical(c);
    c.LegendVisible(kFalse);
    c.DrawBarChart(100, 5, 0);
    const float right = c.plotFrame().axisRight;
    const std::string script = traced(c, [&] { c.DrawRightAxis(1000, 5, 0, 0, "%"); });
    const std::vector<std::string> labels = linesOf(script, "textout");
    ASSERT_EQ(labels.size(), 6u);
    EXPECT_EQ(labels[1], "textout " + std::to_string(int(right) + 6) + " 213 \"200%\"");
}

TEST_F(ChartText, ParetoLabelsShowTheRunningPercentage) {
    cChart c;
    c.LegendVisible(kFalse);
    typical(c);
    c.DrawBarChart(100, 5, 0);
    const std::vector<std::string> labels =
        linesOf(traced(c, [&] { c.DrawPolaLine(Variant::Array{50, 30, 20}, 0, 0, "1", 0); }), "textout");
    ASSERT_EQ(labels.size(), 3u);
    EXPECT_NE(labels[0].find(" \"50%\""), std::string::npos);
    EXPECT_NE(labels[1].find(" \"80%\""), std::string::npos);
    EXPECT_NE(labels[2].find(" \"100%\""), std::string::npos);
}

}  // namespace
}  // namespace kelvane
