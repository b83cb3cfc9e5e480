// Pie charts: the recorded pie, its layout, the solid pie's order, labels, legend and the output
// methods that draw it. The call sequences are checked against an independent model of the
// renderer (tests/reference/gen_pie_calls.py, its outputs in tests/reference/pie_calls).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "chart/chart_state.h"
#include "chart/pie_chart.h"
#include "draw/label_box.h"
#include "error_raised.h"
#include "kelvane/cChart.h"
#include "trace_capture.h"

namespace kelvane {
namespace {

using namespace gdi;

struct Slice {
    const char* name;
    float value;
    bool hidden = false, out = false;
    Colour colour = 0;
};

void addSlices(cChart& chart, const std::vector<Slice>& slices) {
    for (const Slice& s : slices)
        chart.AddPieData(s.name, s.value, 0, ToVBBool(s.hidden), ToVBBool(s.out), s.colour);
}

// A 400 x 300 pie chart with the given slices, ready for output.
void makePie(cChart& chart, const std::vector<Slice>& slices, const std::function<void(cChart&)>& settings = {}) {
    chart.Width(400);
    chart.Height(300);
    if (settings) settings(chart);
    chart.InitChart();
    addSlices(chart, slices);
    chart.DrawPieChart();
}

// The pie's calls during one output, as the model writes them: creations and drawing, without the
// objects selected back (the stock pen, brush and 16-pixel font) and without surface copies.
std::vector<std::string> pieCalls(cChart& chart) {
    static const std::vector<std::string> kept = {"brush", "pen", "font", "moveto", "lineto", "arcto", "pie",
                                                  "beginpath", "endpath", "fillpath", "strokeandfillpath", "rect",
                                                  "textout", "arcdir", "textcolor"};
    std::istringstream in(test::traced(chart, [&] { chart.ExportToDC(nullptr); }));
    std::vector<std::string> calls;
    // The script's opening lines describe the canvas as it was; they end with its position.
    for (std::string line; std::getline(in, line) && line.rfind("moveto ", 0) != 0;) {
    }
    for (std::string line; std::getline(in, line);) {
        while (!line.empty() && line.back() == ' ') line.pop_back();
        const std::string command = line.substr(0, line.find(' '));
        if (std::find(kept.begin(), kept.end(), command) == kept.end() || line == "font 16 0 700") continue;
        calls.push_back(line);
    }
    return calls;
}

std::vector<std::string> modelCalls(const std::string& name) {
    std::ifstream in(std::filesystem::path(KELVANE_TEST_DATA).parent_path() / "reference" / "pie_calls" /
                     (name + ".calls"));
    std::vector<std::string> calls;
    for (std::string line; std::getline(in, line);) calls.push_back(line);
    return calls;
}

// The cases of tests/reference/pie_cases.json.
struct ModelCase {
    const char* name;
    std::function<void(cChart&)> settings;
    std::vector<Slice> slices;
};

const std::vector<ModelCase>& modelCases() {
    static const std::vector<ModelCase> cases = {
        {"pie_flat_out",
         [](cChart& c) { c.LegendWidth(100); c.MValueVisible(kTrue); },
         {{"North", 30, false, false, 3968240}, {"South", 20, false, true, 5294200},
          {"East", 25, false, false, 15769660}, {"West", 25, false, false, 6579420}}},
        {"pie_solid_mixed",
         [](cChart& c) { c.Chart_3D(kTrue); c.LegendWidth(100); c.MValueVisible(kTrue); c.PercentDigits(2); },
         {{"A", 20, false, false, 3968240}, {"B", 15, false, true, 5294200}, {"C", 10, true, false, 15769660},
          {"D", 25, false, false, 6579420}, {"E", 30, false, false, 11842740}}},
        {"pie_solid_first_out",
         [](cChart& c) { c.Chart_3D(kTrue); c.Depth_3D(20); c.LegendWidth(90); },
         {{"One", 40, false, true, 2117824}, {"Two", 35, false, false, 4235328}, {"Three", 25, false, false, 12615712}}},
        {"pie_solid_single",
         [](cChart& c) { c.Chart_3D(kTrue); c.LegendVisible(kFalse); c.MValueVisible(kTrue); },
         {{"All", 5, false, false, 0xFFFFFF}}},
    };
    return cases;
}

class PieModel : public ::testing::TestWithParam<size_t> {};

TEST_P(PieModel, CallsAreThoseOfTheIndependentModel) {
    const ModelCase& c = modelCases()[GetParam()];
    const UINT codePage = GetSystemCodePage();
    SetSystemCodePage(1252);
    cChart chart;
    makePie(chart, c.slices, c.settings);
    const std::vector<std::string> expected = modelCalls(c.name);
    ASSERT_FALSE(expected.empty()) << c.name;
    EXPECT_EQ(pieCalls(chart), expected) << c.name;
    SetSystemCodePage(codePage);
}

INSTANTIATE_TEST_SUITE_P(Cases, PieModel, ::testing::Range(size_t(0), size_t(4)));

TEST(PieData, ItemsAreKeptInCallOrderAndOmittedArgumentsTakeTheirDefaults) {
    cChart chart;
    EXPECT_EQ(chart.pieItems(), nullptr);
    EXPECT_TRUE(chart.AddPieData("a", 1.5f, 3).isEmpty());
    EXPECT_TRUE(chart.AddPieData("b", -2, 0, kTrue, kTrue, 0x123456, 0x654321, "x.bmp").isEmpty());
    EXPECT_TRUE(chart.AddPieData("c", 0, 0).isEmpty());
    ASSERT_NE(chart.pieItems(), nullptr);
    const std::vector<PieItem>& items = *chart.pieItems();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(chart.pieItemCount(), 3);
    EXPECT_EQ(items[0].Name, "a");
    EXPECT_EQ(items[0].Value, 1.5f);
    EXPECT_EQ(items[0].FillStyle, 3);
    EXPECT_EQ(items[0].ItemHidden, kFalse);
    EXPECT_EQ(items[0].ItemOut, kFalse);
    EXPECT_EQ(items[0].FillColor1, 0);
    EXPECT_EQ(items[0].FillColor2, 0);
    EXPECT_EQ(items[0].FillImage, "");
    EXPECT_EQ(items[1].ItemHidden, kTrue);
    EXPECT_EQ(items[1].FillColor2, 0x654321);
    EXPECT_EQ(items[1].FillImage, "x.bmp");
    EXPECT_EQ(items[2].Name, "c");
    EXPECT_EQ(items[1].Share, 0.0f);  // until the pie is drawn
}

TEST(PieData, TheCountStopsAt32767WithTheNewEntryKeptAndTheOutputFails) {
    cChart chart;
    for (int i = 0; i < 32767; ++i) chart.AddPieData("", 1, 0);
    EXPECT_EQ(test::errorRaisedBy([&] { chart.AddPieData("last", 1, 0); }), kErrOverflow);
    EXPECT_EQ(chart.pieItemCount(), 32767);
    ASSERT_EQ(chart.pieItems()->size(), 32768u);
    EXPECT_EQ(chart.pieItems()->back().Name, "last");
    chart.Width(50);
    chart.Height(50);
    chart.InitChart();
    chart.DrawPieChart();
    EXPECT_EQ(test::errorRaisedBy([&] { chart.SaveBinary("jpg"); }), kErrOverflow);
}

TEST(PieData, DestroyReleasesTheListButKeepsTheCount) {
    cChart chart;
    makePie(chart, {{"a", 1}, {"b", 2}});
    chart.Destroy();
    EXPECT_EQ(chart.pieItems(), nullptr);
    EXPECT_EQ(chart.pieItemCount(), 2);
    chart.InitChart();
    EXPECT_EQ(test::errorRaisedBy([&] { chart.SaveBinary("jpg"); }), kErrSubscript);
    chart.AddPieData("c", 3, 0, kFalse, kFalse, 0xFF);
    const std::vector<PieItem>& items = *chart.pieItems();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].Name, "");
    EXPECT_EQ(items[1].Value, 0.0f);
    EXPECT_EQ(items[2].Name, "c");
    EXPECT_EQ(chart.pieItemCount(), 3);
}

TEST(PieData, DrawPieChartClampsTheBorderOffsetAndSetsThePlotOrigin) {
    struct Case {
        int32_t borderOffset, clamped, plotLeft;
        float plotBottom;
    };
    for (const Case& c : {Case{2, 5, 25, 275}, Case{45, 30, 50, 250}, Case{15, 15, 35, 265}}) {
        cChart chart;
        chart.Height(300);
        chart.BorderOffset(c.borderOffset);
        EXPECT_EQ(chart.DrawPieChart(), 0);
        EXPECT_EQ(chart.settings().BorderOffset, c.clamped);
        EXPECT_EQ(chart.plotFrame().plotLeft, c.plotLeft);
        EXPECT_EQ(chart.plotFrame().plotBottom, c.plotBottom);
    }
}

// A chart state as the output method sees it: 400 x 300, the default border and margins.
void setUpPie(ChartState& state, const std::vector<Slice>& slices) {
    state.settings.Width = 400;
    state.settings.Height = 300;
    state.pieList.emplace();
    for (const Slice& s : slices)
        state.pieList->push_back(PieItem{s.name, s.value, 0, ToVBBool(s.hidden), ToVBBool(s.out), s.colour, 0, "", 0});
}

TEST(PieLayout, GeometryOfTheCanvasAndTheSlices) {
    struct Case {
        const char* what;
        std::vector<Slice> slices;
        float sizeRate;
        float r, sizeRateAfter;
        std::vector<POINT> starts, ends;
    };
    const std::vector<Case> cases = {
        {"one slice: from 3 o'clock round to it", {{"a", 5}}, 1, 115, 1, {{315, 150}}, {{315, 150}}},
        {"two equal values: the lower half, then the upper", {{"a", 1}, {"b", 1}}, 1, 115, 1,
         {{315, 150}, {85, 150}}, {{85, 150}, {315, 150}}},
        {"a pulled-out slice lowers the size rate to 0.8", {{"a", 1, false, true}, {"b", 1}}, 1, 92, 0.8f,
         {{292, 170}, {108, 150}}, {{108, 170}, {292, 150}}},
        {"a smaller size rate stays", {{"a", 1, false, true}, {"b", 1}}, 0.5f, 57.5f, 0.5f,
         {{258, 170}, {143, 150}}, {{143, 170}, {258, 150}}},
    };
    for (const Case& c : cases) {
        ChartState state;
        setUpPie(state, c.slices);
        state.settings.LegendVisible = kFalse;
        state.settings.LegendWidth = 100;
        state.settings.PieSizeRate = c.sizeRate;
        const PieLayout pie = LayOutPie(state);
        EXPECT_EQ(state.settings.LegendWidth, 0) << c.what;
        EXPECT_EQ(pie.cx, 200) << c.what;
        EXPECT_EQ(pie.cy, 150) << c.what;
        EXPECT_FLOAT_EQ(pie.r, c.r) << c.what;
        EXPECT_EQ(state.settings.PieSizeRate, c.sizeRateAfter) << c.what;
        for (size_t i = 0; i < c.starts.size(); ++i) {
            EXPECT_EQ(pie.slices[i].S.x, c.starts[i].x) << c.what << " slice " << i;
            EXPECT_EQ(pie.slices[i].S.y, c.starts[i].y) << c.what << " slice " << i;
            EXPECT_EQ(pie.slices[i].E.x, c.ends[i].x) << c.what << " slice " << i;
            EXPECT_EQ(pie.slices[i].E.y, c.ends[i].y) << c.what << " slice " << i;
        }
    }
}

TEST(PieLayout, APulledOutSliceMovesAlongItsMiddleAndItsBaseStaysInThePie) {
    ChartState state;
    setUpPie(state, {{"a", 1, false, true}, {"b", 1}});
    state.settings.LegendVisible = kFalse;
    const PieLayout pie = LayOutPie(state);
    const PieSlice& p = pie.slices[0];
    EXPECT_EQ(p.midAngle, 90.0f);
    EXPECT_NEAR(p.ox, 0, 1e-5);
    EXPECT_EQ(p.oy, 20.0f);  // straight down
    EXPECT_DOUBLE_EQ(p.b0y, 150);
    EXPECT_DOUBLE_EQ(p.b1y, 150);
    EXPECT_EQ(state.pieList->at(0).Share, 0.5f);
}

TEST(PieLayout, FailuresAreTheRuntimesErrors) {
    struct Case {
        const char* what;
        std::vector<Slice> slices;
        bool list;
        int32_t percentDigits;
        int32_t error;
    };
    const std::vector<Case> cases = {
        {"no pie list", {}, false, 0, kErrSubscript},
        {"values summing to zero", {{"a", 1}, {"b", -1}}, true, 0, kErrDivisionByZero},
        {"only zeros", {{"a", 0}, {"b", 0}}, true, 0, kErrOverflow},
        {"a sum beyond a single", {{"a", 3e38f}, {"b", 3e38f}}, true, 0, kErrOverflow},
        {"a label pattern beyond 16 bits", {{"a", 1}}, true, 40000, kErrOverflow},
    };
    for (const Case& c : cases) {
        ChartState state;
        setUpPie(state, c.slices);
        if (!c.list) state.pieList.reset();
        state.settings.PercentDigits = c.percentDigits;
        EXPECT_EQ(test::errorRaisedBy([&] { LayOutPie(state); }), c.error) << c.what;
    }
}

TEST(PieSolid, TheExchangeSortLeavesTiesWhereItsSwapsPutThem) {
    struct Case {
        std::vector<double> keys;
        std::vector<int32_t> order;
    };
    for (const Case& c : {Case{{2, 2, 1}, {2, 1, 0}}, Case{{1, 1, 1}, {0, 1, 2}}, Case{{3, 1, 2}, {1, 2, 0}},
                          Case{{5, 3, 3, 1}, {3, 2, 1, 0}}})
        EXPECT_EQ(ExchangeSortOrder(c.keys), c.order);
}

TEST(PieSolid, WallsAndSidesAreTheSliceColourLessFiftyPerChannel) {
    EXPECT_EQ(Darkened(0xFFFFFF), 0xCDCDCD);
    EXPECT_EQ(Darkened(0x000000), 0x000000);
    EXPECT_EQ(Darkened(0x323232), 0x000000);
    EXPECT_EQ(Darkened(0xFF0A3C), 0xCD000A);
}

TEST(PieLabels, ShareTextInThePatternEstimatedTenPixelsPerByte) {
    struct Case {
        const char* what;
        std::vector<Slice> slices;
        int32_t digits;
        std::string firstLabel;
    };
    // Four equal flat slices: the first one's mid-arc point is (281, 231) and its anchor
    // (254, 204); a single slice's anchor is (123.33, 150).
    const std::vector<Slice> quarters = {{"a", 1}, {"b", 1}, {"c", 1}, {"d", 1}};
    const std::vector<Case> cases = {
        {"no decimals: 3 bytes start 15 px left of the anchor, 10 px above", quarters, 0, "textout 239 194 \"25%\""},
        {"two decimals", quarters, 2, "textout 224 194 \"25.00%\""},
        {"negative digits are none", quarters, -3, "textout 239 194 \"25%\""},
        {"the whole circle", {{"a", 7}}, 0, "textout 103 140 \"100%\""},
        {"a zero share keeps its decimals", {{"a", 0}, {"b", 1}}, 2, "textout 252 140 \"0.00%\""},
    };
    for (const Case& c : cases) {
        cChart chart;
        makePie(chart, c.slices, [&](cChart& ch) {
            ch.LegendVisible(kFalse);
            ch.MValueVisible(kTrue);
            ch.PercentDigits(c.digits);
        });
        const std::vector<std::string> texts = test::linesOf(test::traced(chart, [&] { chart.ExportToDC(nullptr); }),
                                                             "textout");
        ASSERT_FALSE(texts.empty()) << c.what;
        EXPECT_EQ(texts[0], c.firstLabel) << c.what;
    }
}

TEST(PieLabels, HiddenSlicesAndLabelsOtherThanTrueShowNone) {
    for (VBBool visible : {kFalse, VBBool(1)}) {
        cChart chart;
        makePie(chart, {{"a", 1}, {"b", 1, true}}, [&](cChart& c) { c.LegendVisible(kFalse); c.MValueVisible(visible); });
        EXPECT_TRUE(test::linesOf(test::traced(chart, [&] { chart.ExportToDC(nullptr); }), "textout").empty());
    }
    cChart chart;
    makePie(chart, {{"a", 1}, {"b", 1, true}}, [&](cChart& c) { c.LegendVisible(kFalse); c.MValueVisible(kTrue); });
    EXPECT_EQ(test::linesOf(test::traced(chart, [&] { chart.ExportToDC(nullptr); }), "textout").size(), 1u);
}

TEST(PieLegend, BoxIconsAndNamesAtTheirPlaces) {
    struct Case {
        const char* what;
        int32_t legendWidth;
        std::vector<std::string> rects, texts;
    };
    const std::vector<Slice> slices = {{"a", 1}, {"b", 1, true}, {"c", 1}};
    const std::vector<Case> cases = {
        {"hidden items centre the box but are not listed", 100,
         {"rect 270 125 365 195", "rect 275 152 295 166", "rect 275 172 295 186"},
         {"textout 275 130 \"Legend\"", "textout 300 152 \"a\"", "textout 300 172 \"c\""}},
        // With the default width of 0 the box's right edge lies left of its left edge, and the
        // text starts inside the right margin.
        {"the default width", 0,
         {"rect 370 125 365 195", "rect 375 152 395 166", "rect 375 172 395 186"},
         {"textout 375 130 \"Legend\"", "textout 400 152 \"a\"", "textout 400 172 \"c\""}},
    };
    for (const Case& c : cases) {
        cChart chart;
        makePie(chart, slices, [&](cChart& ch) { ch.LegendWidth(c.legendWidth); ch.LegendIconWidth(50); });
        const std::string script = test::traced(chart, [&] { chart.ExportToDC(nullptr); });
        EXPECT_EQ(test::linesOf(script, "rect"), c.rects) << c.what;
        EXPECT_EQ(test::linesOf(script, "textout"), c.texts) << c.what;
    }
}

TEST(PieOutput, EveryOutputDrawsThePieAgainWithTheSettingsOfThatMoment) {
    cChart chart;
    makePie(chart, {{"a", 1, false, true}, {"b", 2}}, [](cChart& c) { c.LegendVisible(kFalse); });
    chart.PieSizeRate(1);
    const std::string twice = test::traced(chart, [&] {
        chart.ExportToDC(nullptr);
        chart.Chart_3D(kTrue);
        chart.SaveBinary("jpg");
    });
    EXPECT_EQ(test::linesOf(twice, "pie").size(), 2u);  // the flat pie first
    EXPECT_GT(test::linesOf(twice, "arcto").size(), 0u);
    EXPECT_EQ(chart.settings().PieSizeRate, 0.8f);
}

TEST(PieOutput, AChart3DValueOtherThanTrueOrFalseDrawsNoSlicesButLabelsAndLegend) {
    cChart chart;
    makePie(chart, {{"a", 1}, {"b", 3}}, [](cChart& c) {
        c.Chart_3D(1);
        c.MValueVisible(kTrue);
    });
    const std::string script = test::traced(chart, [&] { chart.ExportToDC(nullptr); });
    EXPECT_TRUE(test::linesOf(script, "pie").empty());
    EXPECT_TRUE(test::linesOf(script, "arcto").empty());
    EXPECT_EQ(test::linesOf(script, "textout").size(), 5u);  // two labels, the title, two names
}

TEST(PieOutput, NoObjectStaysSelectedAndTheLegendColourStaysForText) {
    for (bool fails : {false, true}) {
        cChart chart;
        makePie(chart, {{"a", 1}, {"b", fails ? -1.0f : 2.0f, false, true}}, [](cChart& c) {
            c.Chart_3D(kTrue);
            c.MValueVisible(kTrue);
            c.LegendTxtColor(0x0000FF);
        });
        const HDC dc = chart.canvasDC();
        EXPECT_EQ(test::errorRaisedBy([&] { chart.SaveBinary("jpg"); }), fails ? kErrDivisionByZero : 0);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(SYSTEM_FONT));
        EXPECT_EQ(GetArcDirection(dc), AD_COUNTERCLOCKWISE);
        EXPECT_EQ(GetTextColor(dc), fails ? COLORREF(0) : COLORREF(0x0000FF));
    }
}

TEST(PieOutput, ThePieIsInEveryFormatAndAFailureEndsTheMethod) {
    cChart chart;
    makePie(chart, {{"a", 1, false, false, 0x00FF00}, {"b", 1, false, false, 0xFF0000}},
            [](cChart& c) { c.LegendVisible(kFalse); });
    chart.makeChart(test::tempDir() + "/pie.bmp");
    const Variant bmp = chart.SaveBinary("bmp");
    test::Picture picture;
    ASSERT_TRUE(test::decodeBmp24(bmp.bytes(), picture));
    EXPECT_EQ(picture.at(200, 200), 0x00FF00u);  // the lower half is the first slice
    EXPECT_EQ(picture.at(200, 100), 0x0000FFu);

    cChart empty;
    empty.Width(100);
    empty.Height(100);
    empty.InitChart();
    empty.DrawPieChart();
    EXPECT_EQ(test::errorRaisedBy([&] { empty.makeChart(test::tempDir() + "/x.bmp"); }), kErrSubscript);
    EXPECT_EQ(test::errorRaisedBy([&] { empty.SaveBinary("bmp"); }), kErrSubscript);
    EXPECT_EQ(empty.ExportToDC(nullptr), 0);
}

}  // namespace
}  // namespace kelvane
