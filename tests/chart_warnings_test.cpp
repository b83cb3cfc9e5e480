// Tests of the chart's warnings: each situation, set up with the defaults that cause it, gives
// exactly its one line where the script outputs the picture; the examples give only the listed;
// asking for warnings never changes an output byte; the GIF colour check finds the colours the
// cube changes visibly and only those.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "bmp_file.h"
#include "example_scripts.h"
#include "interpreter.h"
#include "kelvane/cChart.h"
#include "output/gif/gif_colour_check.h"
#include "output/palette/dither8bpp.h"
#include "raster/cdib.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;

// A bar frame whose legend is off, so that it warns of nothing by itself.
const std::string kBars =
    "Width = 300\nHeight = 200\nSerialBars = 3\nSerialItems = 1\nBarSpaceRate = 0.6\n"
    "DrawBarMode = kvSingleColor\nLegendVisible = False\n";

struct Outcome {
    bool completed = false;
    std::string out, err;
};

// Runs a script as the kelvane command does (warnings on), its files going to a scratch folder.
Outcome RunWithWarnings(const std::string& script, bool warnings = true) {
    const std::string dir = test::tempDir();
    cChart chart;
    std::ostringstream out, err;
    Outcome r;
    r.completed = script::RunScript(script, chart, script::RunOptions{"s.kvs", dir, warnings}, out, err);
    r.out = out.str();
    r.err = err.str();
    fs::remove_all(dir);
    return r;
}

struct Situation {
    const char* name;
    std::string script;
    std::string warning;  // the one line expected, without "s.kvs:LINE: warning: "; empty for none
    int line;             // the output statement's line
};

const std::vector<Situation>& Situations() {
    static const std::vector<Situation> situations = {
        {"template canvas", "BackgroundColor = RGB(255, 0, 0)\nInitChart\nmakeChart \"t.bmp\"\n",
         "Width and Height were not set: the canvas is the 21 x 21 template; set Width and Height before InitChart",
         3},
        {"height left unset", "Width = 50\nInitChart\nmakeChart \"t.bmp\"\n",
         "Height was not set: the canvas is 21 pixels high, the template's size; set Height before InitChart", 3},
        {"no bar mode",
         "Width = 300\nHeight = 200\nSerialBars = 3\nSerialItems = 1\nBarSpaceRate = 0.6\nLegendVisible = False\n"
         "InitChart\nDrawBarChart 100, 5, 0\nAddBarData \"a\", 10, 1, 1\nAddBarData \"a\", 20, 2, 1\n"
         "AddBarData \"a\", 30, 3, 1\nmakeChart \"t.bmp\"\n",
         "AddBarData drew nothing in 3 calls: DrawBarMode was 0, not a drawing mode; set DrawBarMode to "
         "kvSingleColor, kvline, kvFillImage, kvOnePole or kvDot before AddBarData",
         12},
        {"bar space rate 0",
         kBars + "BarSpaceRate = 0\nInitChart\nDrawBarChart 100, 5, 0\nAddBarData \"a\", 10, 1, 1\n"
                 "AddBarData \"a\", 20, 2, 1\nmakeChart \"t.bmp\"\n",
         "BarSpaceRate was 0 at DrawBarChart, so 2 bars are 1 pixel wide; set BarSpaceRate (the share of a bar "
         "position its bars cover, such as 0.8) before DrawBarChart",
         13},
        {"bar space rate 0 with lines", kBars + "BarSpaceRate = 0\nDrawBarMode = kvline\nInitChart\n"
                                                "DrawBarChart 100, 5, 0\nAddBarData \"a\", 10, 1, 1\n"
                                                "AddBarData \"a\", 20, 2, 1\nmakeChart \"t.bmp\"\n",
         "", 14},
        {"bar legend without a width",
         kBars + "LegendVisible = True\nInitChart\nDrawBarChart 100, 5, 0\nAddBarData \"North\", 10, 1, 1\n"
                 "makeChart \"t.bmp\"\n",
         "the legend extends past the right edge of the canvas; set LegendWidth to at least 64 (it is 0)", 12},
        {"bar legend wide enough",
         kBars + "LegendVisible = True\nLegendWidth = 64\nInitChart\nDrawBarChart 100, 5, 0\n"
                 "AddBarData \"North\", 10, 1, 1\nmakeChart \"t.bmp\"\n",
         "", 13},
        {"pie legend without a width",
         "Width = 300\nHeight = 200\nInitChart\nAddPieData \"North\", 30, 0\nAddPieData \"South\", 20, 0\n"
         "DrawPieChart\nmakeChart \"t.bmp\"\n",
         "the legend extends past the right edge of the canvas; set LegendWidth to at least 71 (it is 0)", 7},
        {"title wider than the canvas",
         kBars + "InitChart\nDrawChartTiTle \"Sales of the whole year by quarter and region\", \"Arial\", 20\n"
                 "makeChart \"t.bmp\"\n",
         "the title \"Sales of the whole year by qua...\" extends past the left and right edges of the canvas; "
         "lower DrawChartTiTle's Size (now 20), shorten the title or change its offsetX",
         10},
        {"value-axis labels past the left edge", kBars + "InitChart\nDrawBarChart 2000000, 4, 0, 2\nmakeChart \"t.bmp\"\n",
         "DrawBarChart's value-axis labels extend past the left edge of the canvas (\"500000.00\"); raise "
         "MarginLeft by at least 39, or shorten them (DecimalNum, bStr)",
         10},
        {"value-axis labels one step apart too few pixels",
         kBars + "Height = 120\nInitChart\nDrawBarChart 100, 10, 0\nmakeChart \"t.bmp\"\n",
         "DrawBarChart's value-axis labels overlap: steps of 4 pixels for labels 9 pixels high; lower "
         "DrawBarChart's Vstep or raise Height",
         11},
        {"right-axis labels past the right edge",
         kBars + "RightAxisVisible = True\nInitChart\nDrawBarChart 100, 5, 0\n"
                 "DrawRightAxis 100000, 5, 0, 0, \" units\"\nmakeChart \"t.bmp\"\n",
         "DrawRightAxis labels extend past the right edge of the canvas (\"20000 units\"); raise MarginRight by at "
         "least 27, or shorten them (DecimalNum, bStr)",
         12},
        {"category labels over each other",
         kBars + "InitChart\nDrawBarChart 100, 5, 0\n"
                 "DrawAreaText Array(\"January 2025\", \"February 2025\", \"March 2025\")\nmakeChart \"t.bmp\"\n",
         "DrawAreaText labels overlap (\"January 2025\" and \"February 2025\"); shorten them, lower DrawAreaText's "
         "Size (now 14), label every other position (stepNum 1) or turn them (Angle)",
         11},
        {"category labels past the bottom edge",
         kBars + "InitChart\nDrawBarChart 100, 5, 0\n"
                 "DrawAreaText Array(\"Q1\", \"Q2\", \"Q3\"), 0, \"Arial\", 14, True, 0, 0, 0, 30\n"
                 "makeChart \"t.bmp\"\n",
         "DrawAreaText labels extend past the bottom edge of the canvas (\"Q1\"); raise MarginBottom by at least "
         "13, or shorten them or lower DrawAreaText's Size (now 14)",
         11},
        {"pie labels over each other",
         "Width = 300\nHeight = 200\nLegendVisible = False\nMValueVisible = True\nInitChart\n"
         "AddPieData \"Most\", 96, 0, False, False, RGB(0, 102, 204)\n"
         "AddPieData \"One\", 1, 0, False, False, RGB(255, 0, 0)\n"
         "AddPieData \"Two\", 1, 0, False, False, RGB(0, 255, 0)\n"
         "AddPieData \"Three\", 2, 0, False, False, RGB(0, 0, 255)\nDrawPieChart\nmakeChart \"t.bmp\"\n",
         "pie labels overlap (\"One\" and \"Two\", 3 pairs in all); hide them (MValueVisible = False) or give the "
         "pie more room (PieSizeRate, Width, Height)",
         11},
        {"GIF of a colour far from the cube",
         "Width = 100\nHeight = 80\nBackgroundColor = RGB(128, 128, 128)\nInitChart\nmakeChart \"t.gif\"\n",
         "GIF output: colours not in the GIF's 216-colour cube cover 1 % or more of the picture: RGB(128, 128, 128) "
         "on 95 % (nearest RGB(153, 153, 153), 43 away); write PNG instead to keep them (a .png name for "
         "makeChart, or SaveBinary(\"png\"))",
         5},
        {"GIF of a colour close to the cube",
         "Width = 100\nHeight = 80\nBackgroundColor = RGB(140, 140, 140)\nInitChart\nmakeChart \"t.gif\"\n", "", 5},
        {"PNG of a colour far from the cube",
         "Width = 100\nHeight = 80\nBackgroundColor = RGB(128, 128, 128)\nInitChart\nmakeChart \"t.png\"\n", "", 5},
    };
    return situations;
}

TEST(ChartWarnings, EachSituationGivesExactlyItsLineAtTheOutput) {
    for (const Situation& s : Situations()) {
        const Outcome r = RunWithWarnings(s.script);
        EXPECT_TRUE(r.completed) << s.name << ": " << r.err;
        const std::string expected =
            s.warning.empty() ? "" : "s.kvs:" + std::to_string(s.line) + ": warning: " + s.warning + "\n";
        EXPECT_EQ(r.err, expected) << s.name;
    }
}

TEST(ChartWarnings, NoWarningsAreShownWhenNotAskedFor) {
    for (const Situation& s : Situations()) EXPECT_EQ(RunWithWarnings(s.script, false).err, "") << s.name;
}

TEST(ChartWarnings, AWarningIsShownOnceAtTheFirstOutputThatHasIt) {
    const Outcome r = RunWithWarnings(kBars + "InitChart\nDrawBarChart 100, 5, 0\nmakeChart \"a.bmp\"\n"
                                          "DrawAreaText Array(\"Q1\", \"Q2\", \"Q3\"), 0, \"Arial\", 14, True, 0, 0, 0, 30\n"
                                          "print \"drawn\"\nmakeChart \"b.bmp\"\nmakeChart \"c.bmp\"\n"
                                          "InitChart\nDrawAreaText Array(\"Q1\", \"Q2\", \"Q3\"), 0, \"Arial\", 14, True, 0, 0, 0, 30\n"
                                          "makeChart \"d.bmp\"\n");
    EXPECT_TRUE(r.completed) << r.err;
    EXPECT_EQ(r.out, "drawn\n");
    // Line 13's output has the labels' warning, which the same labels of a new picture do not repeat.
    EXPECT_EQ(r.err, "s.kvs:13: warning: DrawAreaText labels extend past the bottom edge of the canvas (\"Q1\"); "
                     "raise MarginBottom by at least 13, or shorten them or lower DrawAreaText's Size (now 14)\n");
}

TEST(ChartWarnings, TheExamplesGiveExactlyTheListedWarnings) {
    // examples/expected-warnings.txt lists them as the kelvane command prints them; every other
    // example (bars_flat, the pies, ...) gives none.
    std::ifstream listed(test::kExamples / "expected-warnings.txt");
    std::multiset<std::string> expected, got;
    for (std::string line; std::getline(listed, line);)
        if (!line.empty() && line[0] != '#') expected.insert(line);
    const fs::path previous = fs::current_path();
    fs::current_path(test::kExamples.parent_path());  // the scripts name their pictures from there
    for (const auto& entry : fs::directory_iterator(test::kExamples)) {
        if (entry.path().extension() != ".kvs") continue;
        // Each script starts with the colour reduction of a new thread, as in the command.
        mDither8bpp::SetPaletteMode(mDither8bpp::kPaletteCube);
        mDither8bpp::SetDitherMode(mDither8bpp::kDitherNone);
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        const std::string dir = test::tempDir();
        cChart chart;
        std::ostringstream out, err;
        const std::string name = "examples/" + entry.path().filename().string();
        EXPECT_TRUE(script::RunScript(text.str(), chart, script::RunOptions{name, dir, true}, out, err)) << name;
        fs::remove_all(dir);
        std::istringstream lines(err.str());
        for (std::string line; std::getline(lines, line);) got.insert(line);
    }
    fs::current_path(previous);
    EXPECT_EQ(got, expected);
    EXPECT_EQ(expected.size(), 2u) << "the template canvas and the grey of pie_solid's GIF";
}

// Draws a chart with colours far from the cube, text past the canvas and overlapping labels;
// asks for its warnings first when `warned`.
cChart& DrawnChart(cChart& chart, bool warned) {
    if (warned) {
        EXPECT_EQ(chart.Warnings(), "");
    }
    chart.Width(300);
    chart.Height(120);
    chart.SerialBars(3);
    chart.SerialItems(1);
    chart.BarSpaceRate(0.6f);
    chart.DrawBarMode(kvSingleColor);
    chart.BackgroundColor(0x808080);
    chart.InitChart();
    chart.DrawBarChart(2000000, 10, 0, 2);
    chart.FillColor(0xB4B4B4);
    for (int16_t b = 1; b <= 3; ++b) chart.AddBarData("series", float(b) * 500000, b, 1);
    chart.DrawChartTiTle("A title wider than this small canvas is", "Arial", 24);
    return chart;
}

TEST(ChartWarnings, AskingForThemChangesNoOutputByte) {
    for (const char* type : {"bmp", "gif", "png", "jpg"}) {
        cChart plain, warned;
        const Variant a = DrawnChart(plain, false).SaveBinary(type);
        const Variant b = DrawnChart(warned, true).SaveBinary(type);
        ASSERT_TRUE(a.isBytes()) << type;
        EXPECT_TRUE(a.bytes() == b.bytes()) << type;
        const std::string warnings = warned.Warnings();
        EXPECT_NE(warnings.find("value-axis labels"), std::string::npos) << warnings;
        EXPECT_EQ(warnings.find("GIF output") != std::string::npos, std::string(type) == "gif") << warnings;
    }
    // The file a GIF output writes, too.
    const std::string dir = test::tempDir();
    cChart plain, warned;
    DrawnChart(plain, false).makeChart(dir + "/plain.gif");
    DrawnChart(warned, true).makeChart(dir + "/warned.gif");
    EXPECT_TRUE(test::readFile(dir + "/plain.gif") == test::readFile(dir + "/warned.gif"));
    EXPECT_NE(warned.Warnings().find("GIF output"), std::string::npos);
    fs::remove_all(dir);
}

TEST(ChartWarnings, TheGifCheckRunsOnlyOnceWarningsWereAskedFor) {
    cChart late;
    DrawnChart(late, false).SaveBinary("gif");
    EXPECT_EQ(late.Warnings().find("GIF output"), std::string::npos) << "the picture was gone when asked";
    // The first call armed the check for the chart's later pictures.
    DrawnChart(late, false).SaveBinary("gif");
    EXPECT_NE(late.Warnings().find("GIF output"), std::string::npos);
}

TEST(ChartWarnings, EachPictureHasItsOwnWarnings) {
    cChart chart;
    EXPECT_EQ(chart.Warnings(), "") << "no picture yet";
    chart.InitChart();
    EXPECT_NE(chart.Warnings(), "");
    chart.Width(100);
    chart.Height(100);
    chart.InitChart();
    EXPECT_EQ(chart.Warnings(), "") << "a new picture forgets the last one's warnings";
}

// A 32-bit picture of `count` pixels of each colour, the colours' runs one after the other.
void FillRuns(cDIB& picture, const std::vector<std::pair<uint32_t, int>>& runs) {
    int total = 0;
    for (const auto& run : runs) total += run.second;
    ASSERT_TRUE(picture.Create(total, 1, 32));
    uint8_t* p = picture.lpBits();
    for (const auto& [rgb, count] : runs)
        for (int i = 0; i < count; ++i, p += 4) {
            p[0] = uint8_t(rgb);        // blue
            p[1] = uint8_t(rgb >> 8);   // green
            p[2] = uint8_t(rgb >> 16);  // red
        }
}

TEST(GifColourCheck, FindsTheColoursTheCubeMovesVisiblyOnAPercentOfThePicture) {
    struct Case {
        const char* name;
        uint32_t rgb;  // 0xRRGGBB
        int pixels;    // of 1000
        bool found;
    } cases[] = {
        {"grey 128 goes to 153: 43.3 away", 0x808080, 500, true},
        {"grey 180 goes to 204: 41.6 away", 0xB4B4B4, 10, true},
        {"grey 130 goes to 153: 39.8 away", 0x828282, 500, false},
        {"one channel as far as it goes: 25.5", 0x19FF00, 500, false},
        {"below one percent", 0x808080, 9, false},
        {"a cube colour", 0x3366CC, 500, false},
    };
    for (const Case& c : cases) {
        cDIB picture;
        FillRuns(picture, {{c.rgb, c.pixels}, {0xFFFFFF, 1000 - c.pixels}});
        const CubeShiftReport report = FindCubeShifts(picture);
        EXPECT_EQ(report.pixels, 1000) << c.name;
        ASSERT_EQ(report.shifts.size(), c.found ? 1u : 0u) << c.name;
        if (c.found) {
            EXPECT_EQ(report.shifts[0].pixels, c.pixels) << c.name;
        }
    }
    cDIB grey;
    FillRuns(grey, {{0x808080, 1}});
    const CubeShift s = FindCubeShifts(grey).shifts.at(0);
    EXPECT_EQ(int(s.cubeRed), 153);
    EXPECT_EQ(int(s.cubeGreen), 153);
    EXPECT_EQ(int(s.cubeBlue), 153);
    EXPECT_NEAR(s.distance, 25 * std::sqrt(3.0), 1e-9);
}

TEST(GifColourCheck, AColourOnAPercentIsFoundAmongManyRareOnes) {
    // 20000 rare colours (most of them far off the cube) and between them a grey on just over
    // 1 % of the picture: the bounded count must still find the grey and count it exactly.
    std::vector<std::pair<uint32_t, int>> runs;
    int greys = 0;
    for (int i = 0; i < 20000; ++i) {
        runs.push_back({0x800000u | uint32_t(i % 64) << 8 | uint32_t(i / 64 % 256), 1});
        if (i % 90 == 0) {
            runs.push_back({0xB4B4B4, 1});
            ++greys;
        }
    }
    cDIB picture;
    FillRuns(picture, runs);
    const CubeShiftReport report = FindCubeShifts(picture);
    ASSERT_GE(int64_t(greys) * 100, report.pixels) << "the grey covers 1 %";
    ASSERT_EQ(report.shifts.size(), 1u);
    EXPECT_EQ(int(report.shifts[0].red), 0xB4);
    EXPECT_EQ(report.shifts[0].pixels, greys);
    EXPECT_EQ(report.shifts.size(), 1u);
}

}  // namespace
}  // namespace kelvane
