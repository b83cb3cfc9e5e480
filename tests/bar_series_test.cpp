// AddBarData and MakeMap with the numbers of the typical request: bar rectangles, image-map
// records and text, stacked segments, point markers and legend icons.
#include <gtest/gtest.h>

#include <filesystem>

#include "bmp_file.h"
#include "chart/bar_item.h"
#include "chart/image_map.h"
#include "kelvane/cChart.h"
#include "picture_helpers.h"
#include "typical_request.h"

namespace kelvane {
namespace {

using test::typicalRequest;

test::Picture picture(cChart& c) {
    test::Picture p;
    test::decodeBmp24(c.SaveBinary("bmp").bytes(), p);
    return p;
}

TEST(BarSeries, BarOfTheTypicalRequestCoversItsDocumentedRectangle) {
    cChart c;
    typicalRequest(c);
    c.LegendVisible(kFalse);
    c.InitChart();
    c.DrawBarChart(100, 5, 0);
    c.FillColor(0x00FF00);
    EXPECT_TRUE(c.AddBarData("North", 40, 2, 2).isEmpty());
    EXPECT_EQ(c.MakeMap("m"),
              "<map name=\"m\"><area shape=\"rect\" coords=\"156.875,175,190.375,266\" alt=\"40\"></map>");
    const test::Picture p = picture(c);
    EXPECT_EQ(p.at(157, 175), 0u);         // outline, top-left
    EXPECT_EQ(p.at(189, 265), 0u);         // outline, bottom-right: the last column is x + bar width
    EXPECT_EQ(p.at(170, 200), 0x00FF00u);  // fill
    EXPECT_EQ(p.at(190, 200), 0xFFFFFFu);  // right edge excluded
    EXPECT_EQ(p.at(170, 174), 0xFFFFFFu);
}

TEST(BarSeries, RecordsCarryTheExtraParameterAndComeOutLastFirst) {
    cChart c;
    typicalRequest(c);
    c.InitChart();
    c.DrawBarChart(100, 5, 0);
    c.AddBarData("North", 50, 2, 1);
    c.AddBarData("South", 40, 2, 2, "id=7");
    const std::string map = c.MakeMap("m", "detail.html", "y=5", "_self");
    EXPECT_EQ(map,
              "<map name=\"m\">"
              "<area href=\"detail.html?Index=2,2&sAddParam=id=7&y=5\" target=\"_self\" shape=\"rect\" "
              "coords=\"156.875,175,190.375,266\" alt=\"40\">"
              "<area href=\"detail.html?Index=2,1&sAddParam=&y=5\" target=\"_self\" shape=\"rect\" "
              "coords=\"124.375,152.5,157.875,266\" alt=\"50\">"
              "</map>");
    EXPECT_EQ(c.MakeMap("m", "detail.html", "y=5", "_self"), map);  // reading changes nothing
}

TEST(ImageMap, DocumentedExampleIsReproducedExactly) {
    const std::vector<MapRecord> records = {{1, 1, "", 35, 100, 68, 266, 10}, {2, 1, "x", 116, 50, 149, 266, 20}};
    EXPECT_EQ(BuildImageMap(records, "m", "detail", "", "_blank"),
              "<map name=\"m\"><area href=\"detail?Index=2,1&sAddParam=x\" target=\"_blank\" shape=\"rect\" "
              "coords=\"116,50,149,266\" alt=\"20\"><area href=\"detail?Index=1,1&sAddParam=\" "
              "target=\"_blank\" shape=\"rect\" coords=\"35,100,68,266\" alt=\"10\"></map>");
    EXPECT_EQ(BuildImageMap(records, "m", "", "", "_blank"),
              "<map name=\"m\"><area shape=\"rect\" coords=\"116,50,149,266\" alt=\"20\">"
              "<area shape=\"rect\" coords=\"35,100,68,266\" alt=\"10\"></map>");
}

TEST(ImageMap, SeparatorsInParametersNoLongerBreakTheMapAndQuotesAreEscaped) {
    const std::vector<MapRecord> records = {{1, 1, "a+b|c:d", 1, 2, 3, 4, 5}};
    EXPECT_EQ(BuildImageMap(records, "m\"x", "p<q>", "r&s", "_blank"),
              "<map name=\"m&quot;x\"><area href=\"p&lt;q&gt;?Index=1,1&sAddParam=a+b|c:d&r&s\" target=\"_blank\" "
              "shape=\"rect\" coords=\"1,2,3,4\" alt=\"5\"></map>");
    try {
        BuildImageMap({}, "m", "", "", "_blank");
        FAIL();
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.number(), kErrInvalidCall);
    }
}

TEST(BarSeries, StackedSegmentsRestOnTheOnesBeneath) {
    cChart c;
    typicalRequest(c, kvOnePole);
    c.SerialItems(3);
    c.LegendVisible(kFalse);
    c.InitChart();
    c.DrawBarChart(225, 5, 0);  // one pixel per value unit
    ASSERT_EQ(c.plotFrame().valueScale, 1.0f);
    c.AddBarData("a", 20, 1, 1);
    c.AddBarData("b", 30, 1, 2);
    c.AddBarData("c", 10, 1, 3);
    EXPECT_EQ(c.MakeMap("m"),
              "<map name=\"m\"><area shape=\"rect\" coords=\"43.125,205,109.125,216\" alt=\"10\">"
              "<area shape=\"rect\" coords=\"43.125,215,109.125,246\" alt=\"30\">"
              "<area shape=\"rect\" coords=\"43.125,245,109.125,266\" alt=\"20\"></map>");
    EXPECT_THROW(c.AddBarData("d", 5, 5, 1), AutomationError);  // beyond the stack table
}

TEST(BarSeries, LineMarkersTakeTheirSizeFromTheLineWidth) {
    cChart c;
    typicalRequest(c, kvline);
    c.LineWidth(4);
    c.LineDotFlag(kTrue);
    c.LineDotType(dtCir);
    c.InitChart();
    c.DrawBarChart(100, 5, 0);
    c.AddBarData("a", 40, 1, 1);
    EXPECT_EQ(c.settings().LineDotFlagSize, 3);
    c.LineMode(6);
    EXPECT_THROW(c.AddBarData("a", 40, 2, 1), AutomationError);
}

TEST(BarSeries, LegendIconsStackBelowTheHeadingInTheBarsColourAlsoIn3D) {
    for (VBBool solid : {kFalse, kTrue}) {
        cChart c;
        typicalRequest(c);
        c.LegendWidth(80);
        c.Chart_3D(solid);
        c.InitChart();
        c.DrawBarChart(100, 5, 0);
        c.FillColor(0x0000FF);
        c.AddBarData("North", 40, 1, 1);
        c.FillColor(0x00FF00);
        c.AddBarData("South", 40, 1, 2);
        const test::Picture p = picture(c);
        EXPECT_EQ(p.at(310, 140), 0u);
        EXPECT_EQ(p.at(329, 155), 0u);
        EXPECT_EQ(p.at(320, 148), 0xFF0000u) << "3D " << solid;  // not the darkened side colour
        EXPECT_EQ(p.at(330, 150), 0xFFFFFFu);
        EXPECT_EQ(p.at(310, 160), 0u);
        EXPECT_EQ(p.at(320, 168), 0x00FF00u) << "3D " << solid;
    }
}

TEST(BarSeries, ModesOutsideTheEnumerationDrawNothing) {
    cChart c;
    typicalRequest(c, iDrawBarMode(0));
    c.InitChart();
    c.DrawBarChart(100, 5, 0);
    EXPECT_TRUE(c.AddBarData("x", 40, 1, 1).isEmpty());
    EXPECT_THROW(c.MakeMap("m"), AutomationError);
}

}  // namespace
}  // namespace kelvane

namespace kelvane {
namespace {

using gdi::POINT;
using gdi::SIZE;

TEST(ValueLabel, SitsCentredAboveItsBarOrInItsSegment) {
    PlotFrame f;
    f.plotLeft = 35;
    f.plotBottom = 265;
    f.barWidth = 32.5f;
    ChartSettings s;
    const BarItem bar{kvSingleColor, 2, 2, 156.875f, 90, 0, "", "40"};
    const POINT p = ValueLabelOrigin(bar, f, s, SIZE{20, 16});
    EXPECT_EQ(p.x, 163);
    EXPECT_EQ(p.y, 149);
    // Stacked segments of 20 and 30 pixels with 16-pixel text: 2 and 7 pixels below their tops.
    const BarItem first{kvOnePole, 1, 1, 100, 20, 0, "", "x"};
    EXPECT_EQ(ValueLabelOrigin(first, f, s, SIZE{10, 16}).y, 265 - 20 + 2);
    const BarItem second{kvOnePole, 1, 2, 100, 30, 20, "", "x"};
    EXPECT_EQ(ValueLabelOrigin(second, f, s, SIZE{10, 16}).y, 265 - 50 + 7);
    // A label wider than its bar still centres on it; points centre on the point.
    EXPECT_EQ(ValueLabelOrigin(bar, f, s, SIZE{60, 16}).x, 143);
    const BarItem point{kvline, 1, 1, 100, 40, 0, "", "x"};
    EXPECT_EQ(ValueLabelOrigin(point, f, s, SIZE{20, 16}).x, 90);
}

}  // namespace
}  // namespace kelvane

namespace kelvane {
namespace {

TEST(BarSeries, DefaultLegendWidthLeavesAZeroWidthBoxAndIconsNearTheEdge) {
    cChart c;
    typicalRequest(c);
    c.InitChart();
    c.DrawBarChart(100, 5, 0);
    c.FillColor(0x0000FF);
    c.AddBarData("North", 40, 1, 1);
    c.AddBarData("North", 40, 1, 2);
    const test::Picture p = picture(c);
    EXPECT_EQ(p.at(385, 150), 0xFFFFFFu);  // the box has no width: nothing drawn
    EXPECT_EQ(p.at(390, 140), 0u);
    EXPECT_EQ(p.at(395, 155), 0u);  // the icon runs past the canvas edge at 399
    EXPECT_EQ(p.at(395, 150), 0xFF0000u);
    EXPECT_EQ(p.at(390, 160), 0u);
    EXPECT_EQ(p.at(395, 170), 0xFF0000u);
}

}  // namespace
}  // namespace kelvane

namespace kelvane {
namespace {

TEST(BarSeries, PictureFilledBarsRepeatThePictureFromTheirInnerCorner) {
    cChart c;
    typicalRequest(c, kvFillImage);
    c.LegendVisible(kFalse);
    c.FillImage(std::string(KELVANE_TEST_DATA) + "/pictures/rgb24.bmp");
    c.InitChart();
    c.DrawBarChart(100, 5, 0);
    c.AddBarData("x", 40, 2, 2);
    const test::Picture p = picture(c);
    test::Picture tile;
    ASSERT_TRUE(test::loadBmp24(std::string(KELVANE_TEST_DATA) + "/pictures/rgb24.bmp", tile));
    EXPECT_EQ(p.at(157, 175), 0u);  // the canvas's own black pen outlines the bar
    EXPECT_EQ(p.at(158, 176), tile.at(0, 0));
    EXPECT_EQ(p.at(158 + 1, 176 + 2), tile.at(1, 2));
}

TEST(BarSeries, TheFillPictureIsReadAgainOnlyWhenItsFileOrTheCapChanges) {
    const test::TempFolder folder;
    const gdi::COLORREF first = gdi::RGB(200, 30, 40), second = gdi::RGB(20, 160, 90);
    const std::string path = folder.write("fill.bmp", test::bmpFile(2, 1, {first, first}));
    cChart c;
    typicalRequest(c, kvFillImage);
    c.LegendVisible(kFalse);
    c.FillImage(path);
    c.InitChart();
    c.DrawBarChart(100, 5, 0);
    c.AddBarData("x", 40, 1, 1);
    EXPECT_EQ(gdi::GetPixel(c.canvasDC(), 44, 176), first);
    // Another picture under the same name: the next bar shows it.
    std::filesystem::remove(path);
    folder.write("fill.bmp", test::bmpFile(1, 1, {second}));
    c.AddBarData("x", 40, 2, 1);
    EXPECT_EQ(gdi::GetPixel(c.canvasDC(), 125, 176), second);
    // A cap lowered below the picture refuses it from then on.
    c.MaxPicturePixels(0);
    try {
        c.AddBarData("x", 40, 3, 1);
        FAIL();
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.number(), kErrObjectNotSet);
    }
}

TEST(BarSeries, AMissingFillImageFailsBeforeTheBarIsDrawn) {
    cChart c;
    typicalRequest(c, kvFillImage);
    c.FillImage("/no/such/picture.bmp");
    c.InitChart();
    c.DrawBarChart(100, 5, 0);
    try {
        c.AddBarData("x", 40, 2, 2);
        FAIL();
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.number(), kErrObjectNotSet);
    }
    EXPECT_THROW(c.MakeMap("m"), AutomationError);  // no record either
}

}  // namespace
}  // namespace kelvane
