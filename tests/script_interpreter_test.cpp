// Tests of running chart scripts against a real chart: conversions of assigned values, printed
// text, failure messages, On Error Resume Next, and the files that save and makeChart write.
#include "interpreter.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "picture_helpers.h"
#include "print_text.h"

namespace kelvane::script {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    bool completed = false;
    std::string out;
    std::string err;
};

Outcome RunOn(cChart& chart, std::string_view text, const fs::path& outputFolder = {}) {
    std::ostringstream out, err;
    Outcome r;
    r.completed = RunScript(text, chart, RunOptions{"s.kvs", outputFolder}, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

Outcome RunText(std::string_view text, const fs::path& outputFolder = {}) {
    cChart chart;
    return RunOn(chart, text, outputFolder);
}

TEST(ScriptProperties, AssignedValuesAreConvertedByTheSettingsType) {
    cChart chart;
    Outcome r = RunOn(chart,
        "Width = \"400\"\n"
        "Height = 2.5\n"
        "LineWidth = 3.5\n"
        "BackGrid = 5\n"
        "LegendTitle = 12\n"
        "BarSpaceRate = 0.5\n"
        "DrawBarMode = kvDot\n"
        "LineDotType = dtRect\n"
        "FillColor = &H00FF00\n"
        "BackgroundColor = &H80000005\n"
        "LineColor = RGB(1, 2, 3)\n"
        "Chart_3D = True\n");
    ASSERT_TRUE(r.completed) << r.err;
    const ChartSettings& s = chart.settings();
    EXPECT_EQ(s.Width, 400);
    EXPECT_EQ(s.Height, 2) << "halves round to even";
    EXPECT_EQ(s.LineWidth, 4);
    EXPECT_EQ(s.BackGrid, kTrue) << "a boolean setting takes any non-zero number as True";
    EXPECT_EQ(s.LegendTitle, "12");
    EXPECT_EQ(s.BarSpaceRate, 0.5f);
    EXPECT_EQ(s.DrawBarMode, kvDot);
    EXPECT_EQ(s.LineDotType, dtRect);
    EXPECT_EQ(s.FillColor, 0x00FF00);
    EXPECT_EQ(s.BackgroundColor, -2147483643) << "a system colour's eight hex digits read as a Long";
    EXPECT_EQ(s.LineColor, 0x030201);
    EXPECT_EQ(s.Chart_3D, kTrue);
}

TEST(ScriptProperties, AFailedAssignmentNamesThePropertyAndEndsTheScript) {
    Outcome overflow = RunText("LineDotFlagOutlineMode = 40000\nprint \"after\"\n");
    EXPECT_FALSE(overflow.completed);
    EXPECT_EQ(overflow.err, "s.kvs:1: LineDotFlagOutlineMode: error 6: Overflow\n");
    EXPECT_EQ(overflow.out, "");
    EXPECT_EQ(RunText("FillColor = 4294967295").err, "s.kvs:1: FillColor: error 6: Overflow\n");
    EXPECT_EQ(RunText("Width = \"wide\"").err, "s.kvs:1: Width: error 13: Type mismatch\n");
    EXPECT_EQ(RunText("Width = Array(1)").err, "s.kvs:1: Width: error 13: Type mismatch\n");
}

TEST(ScriptPrint, ShowsEachKindOfValue) {
    Outcome r = RunText(
        "print BarWidth\n"
        "print 400\n"
        "print 0.1\n"
        "print 2147483648\n"
        "print \"text \"\"quoted\"\"\"\n"
        "print True\n"
        "print False\n"
        "print\n"
        "print ErrorInfo\n"
        "print Array(\"Q1\", 2, Array(True), \"a\"\"b\")\n"
        "print &H00FF00\n");
    ASSERT_TRUE(r.completed) << r.err;
    EXPECT_EQ(r.out,
              "0\n400\n0.1\n2147483648\ntext \"quoted\"\nTrue\nFalse\n\n\n"
              "Array(\"Q1\", 2, Array(True), \"a\"\"b\")\n65280\n");
}

TEST(ScriptPrint, ShowsSinglesWithSevenDigitsAndDoublesWithFifteen) {
    EXPECT_EQ(PrintText(Value::Single(1.0f / 3.0f)), "0.3333333");
    EXPECT_EQ(PrintText(Value(1.0 / 3.0)), "0.333333333333333");
    EXPECT_EQ(PrintText(Value(Variant::Bytes(1234, 0))), "<1234 bytes>");
    EXPECT_EQ(PrintText(Value(Variant())), "");
}

TEST(ScriptPrint, ShowsTheSizeOfAByteArray) {
    Outcome r = RunText("Width = 4\nHeight = 2\nInitChart\nprint SaveBinary(\"bmp\")\n");
    ASSERT_TRUE(r.completed) << r.err;
    EXPECT_EQ(r.out.front(), '<');
    EXPECT_NE(r.out.find(" bytes>\n"), std::string::npos) << r.out;
}

TEST(ScriptPrint, NegationFollowsBasic) {
    Outcome r = RunText("print -True\nprint -\"2.5\"\nprint -RGB(0, 0, 1)\nprint -BarWidth\n");
    ASSERT_TRUE(r.completed) << r.err;
    EXPECT_EQ(r.out, "1\n-2.5\n-65536\n0\n");
    EXPECT_EQ(RunText("print -Array()").err, "s.kvs:1: print: error 13: Type mismatch\n");
}

TEST(ScriptFailures, AFailingMethodIsReportedWithItsNameAndEndsTheScript) {
    Outcome r = RunText("print \"before\"\nprint SaveBinary(Array(1))\nprint \"after\"\n");
    EXPECT_FALSE(r.completed);
    EXPECT_EQ(r.out, "before\n");
    EXPECT_EQ(r.err, "s.kvs:2: SaveBinary: error 13: Type mismatch\n");
}

TEST(ScriptFailures, AreAttributedToTheInnermostFunctionOrStatement) {
    EXPECT_EQ(RunText("print SaveBinary(RGB(0, 256, 0))").err,
              "s.kvs:1: RGB: error 5: Invalid procedure call or argument\n");
    EXPECT_EQ(RunText("FillColor = RGB(0, 0, -1)").err,
              "s.kvs:1: RGB: error 5: Invalid procedure call or argument\n");
    EXPECT_EQ(RunText("print SaveBinary(-Array())").err, "s.kvs:1: SaveBinary: error 13: Type mismatch\n");
    EXPECT_EQ(RunText("Width = -Array()").err, "s.kvs:1: Width: error 13: Type mismatch\n");
}

TEST(ScriptFailures, ExportToDcIsReportedAsUnavailable) {
    Outcome r = RunText("ExportToDC 0\n");
    EXPECT_FALSE(r.completed);
    EXPECT_NE(r.err.find("s.kvs:1: ExportToDC: not available in scripts"), std::string::npos) << r.err;
}

TEST(ScriptFailures, ResumeNextReportsFailuresAndGoesOnUntilGoToZero) {
    Outcome r = RunText(
        "On Error Resume Next\n"
        "Width = \"wide\"\n"
        "print \"one\"\n"
        "On Error GoTo 0\n"
        "Width = \"wide\"\n"
        "print \"two\"\n");
    EXPECT_FALSE(r.completed);
    EXPECT_EQ(r.out, "one\n");
    EXPECT_EQ(r.err, "s.kvs:2: Width: error 13: Type mismatch\ns.kvs:5: Width: error 13: Type mismatch\n");
}

TEST(ScriptFailures, AScriptThatResumedPastItsFailuresCompletes) {
    Outcome r = RunText("On Error Resume Next\nExportToDC 0\nprint \"done\"\n");
    EXPECT_TRUE(r.completed);
    EXPECT_EQ(r.out, "done\n");
    EXPECT_NE(r.err.find("s.kvs:2: ExportToDC:"), std::string::npos);
}

TEST(ScriptFailures, MessagesTheChartRecordsInErrorInfoAreReportedAndEndTheScript) {
    const struct {
        const char* script;
        const char* err;
    } cases[] = {
        {"makeChart \"x.bmp\"\n",
         "s.kvs:1: makeChart: Unexpected error Saving BMP file (InitChart was never called; call InitChart first)\n"},
        {"Width = -1\nInitChart\n", "s.kvs:2: InitChart: Canvas could not be created\n"},
        {"InitChart\nDrawBarChart 100, 0, 0\n", "s.kvs:2: DrawBarChart: 11:Division by zero\n"},
        // A call inside a statement that fails afterwards: the chart's message comes first.
        {"save SaveBinary(\"gif\"), \"x.gif\"\n",
         "s.kvs:1: SaveBinary: Unexpected error Createing Gif DIB (InitChart was never called; call InitChart first)\n"
         "s.kvs:1: save: nothing written to 'x.gif': SaveBinary(\"gif\") made no picture\n"},
    };
    for (const auto& c : cases) {
        Outcome r = RunText(std::string(c.script) + "print \"not reached\"\n");
        EXPECT_FALSE(r.completed) << c.script;
        EXPECT_EQ(r.err, c.err) << c.script;
        EXPECT_EQ(r.out, "") << c.script;
    }
}

TEST(ScriptFailures, ResumeNextReportsEveryRecordedMessageOnceAndGoesOn) {
    test::MessageLog messages;  // the picture loader's "File not found" box
    Outcome r = RunText(
        "On Error Resume Next\n"
        "DrawImage \"missing.bmp\", 0, 0\n"
        "DrawImage \"missing.bmp\", 0, 0\n"
        "makeChart \"x.bmp\"\n"
        "print ErrorInfo\n"
        "print \"went on\"\n");
    EXPECT_TRUE(r.completed);
    const std::string loadFailed = "装载图片失败,请检查图片路径或者是否是合法图片!";
    EXPECT_EQ(r.err, "s.kvs:2: DrawImage: " + loadFailed + "\n" +
                     "s.kvs:3: DrawImage: " + loadFailed + "\n"
                     "s.kvs:4: makeChart: Unexpected error Saving BMP file"
                     " (InitChart was never called; call InitChart first)\n")
        << "the second DrawImage left the same text but replaced it";
    EXPECT_EQ(r.out, loadFailed + "Unexpected error Saving BMP file\r\n\nwent on\n");
}

TEST(ScriptFailures, ASyntaxErrorAnywhereStopsTheWholeScriptFromRunning) {
    cChart chart;
    Outcome r = RunOn(chart, "Width = 300\nprint \"first\"\nprint (\n");
    EXPECT_FALSE(r.completed);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "s.kvs:3:8: syntax error: expected a value, found the end of the line\n");
    EXPECT_EQ(chart.settings().Width, 0) << "nothing ran";
}

class ScriptFiles : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        m_folder = fs::temp_directory_path() /
                   ("kelvane_script_" + std::string(test->name()) + "_" + std::to_string(::getpid()));
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
    }
    void TearDown() override { fs::remove_all(m_folder); }

    static std::string Read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::vector<std::string> FileNames() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_folder)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path m_folder;
};

constexpr std::string_view kSmallChart = "Width = 6\nHeight = 4\nInitChart\n";

TEST_F(ScriptFiles, SaveWritesTheBytesIntoTheOutputFolderLeavingNoTemporaryFile) {
    Outcome r = RunText(std::string(kSmallChart) + "save SaveBinary(\"bmp\"), \"pic.bmp\"\n", m_folder);
    ASSERT_TRUE(r.completed) << r.err;
    EXPECT_EQ(FileNames(), std::vector<std::string>{"pic.bmp"});
    EXPECT_EQ(Read(m_folder / "pic.bmp").substr(0, 2), "BM");
}

TEST_F(ScriptFiles, SaveReplacesAnExistingFile) {
    std::ofstream(m_folder / "pic.bmp") << std::string(100000, 'x');
    Outcome r = RunText(std::string(kSmallChart) + "save SaveBinary(\"bmp\"), \"pic.bmp\"\n", m_folder);
    ASSERT_TRUE(r.completed) << r.err;
    std::string content = Read(m_folder / "pic.bmp");
    EXPECT_EQ(content.substr(0, 2), "BM");
    EXPECT_LT(content.size(), 100000u);
    EXPECT_EQ(FileNames().size(), 1u);
}

TEST_F(ScriptFiles, SaveRefusesAnythingButAByteArrayOrText) {
    Outcome empty = RunText("save SaveBinary(\"bmp\"), \"x.bmp\"\n", m_folder);
    EXPECT_EQ(empty.err, "s.kvs:1: save: nothing written to '" + (m_folder / "x.bmp").string() +
                             "': SaveBinary(\"bmp\") made no picture"
                             " (InitChart was never called; call InitChart first)\n");
    Outcome number = RunText("save 5, \"x.bmp\"\n", m_folder);
    EXPECT_EQ(number.err, "s.kvs:1: save: error 13: Type mismatch\n");
    EXPECT_TRUE(FileNames().empty());
}

TEST_F(ScriptFiles, SaveReportsAFileItCannotWrite) {
    Outcome r = RunText(std::string(kSmallChart) + "save SaveBinary(\"bmp\"), \"missing/pic.bmp\"\n",
                    m_folder);
    EXPECT_FALSE(r.completed);
    EXPECT_NE(r.err.find("s.kvs:4: save: cannot write '" + (m_folder / "missing/pic.bmp").string() + "'"),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(FileNames().empty());
}

TEST_F(ScriptFiles, MakeChartTakesRelativeNamesInsideTheOutputFolder) {
    Outcome r = RunText(std::string(kSmallChart) + "makeChart \"rel.bmp\"\n", m_folder);
    ASSERT_TRUE(r.completed) << r.err;
    EXPECT_TRUE(fs::exists(m_folder / "rel.bmp"));
}

TEST_F(ScriptFiles, APictureNameOrTypeTheChartDoesNotWriteFailsSayingNothingWasWritten) {
    // The script agrees with the chart on every name: what it writes passes, the rest fail.
    for (const char* name : {"a.BMP", "b.Jpeg", "c.jpg", "d.gif", "ebmp", "f.Png"}) {
        Outcome r = RunText(std::string(kSmallChart) + "makeChart \"" + name + "\"\n", m_folder);
        EXPECT_TRUE(r.completed) << name << ": " << r.err;
        EXPECT_TRUE(fs::exists(m_folder / name)) << name;
    }
    for (const char* name : {"chart.tiff", "x.png.bak", "x.gif.bak", "noext"}) {
        Outcome r = RunText(std::string(kSmallChart) + "makeChart \"" + name + "\"\nprint \"not reached\"\n", m_folder);
        EXPECT_FALSE(r.completed) << name;
        EXPECT_EQ(r.err, "s.kvs:4: makeChart: nothing written to '" + (m_folder / name).string() +
                             "': the name does not end in bmp, jpg, jpeg, gif or png\n");
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(fs::exists(m_folder / name)) << name;
    }
    Outcome saved = RunText(std::string(kSmallChart) + "save SaveBinary(\"tiff\"), \"x.tiff\"\n", m_folder);
    EXPECT_FALSE(saved.completed);
    EXPECT_EQ(saved.err, "s.kvs:4: save: nothing written to '" + (m_folder / "x.tiff").string() +
                             "': SaveBinary makes no 'tiff' pictures, only bmp, jpg, jpeg, gif or png\n");
    EXPECT_EQ(FileNames().size(), 6u);
}

TEST_F(ScriptFiles, AbsoluteNamesIgnoreTheOutputFolder) {
    fs::path elsewhere = m_folder / "elsewhere";
    fs::create_directories(elsewhere);
    fs::path absolute = m_folder / "abs.bmp";
    Outcome r = RunText(std::string(kSmallChart) + "makeChart \"" + absolute.string() + "\"\n",
                    elsewhere);
    ASSERT_TRUE(r.completed) << r.err;
    EXPECT_TRUE(fs::exists(absolute));
    EXPECT_TRUE(fs::is_empty(elsewhere));
}

}  // namespace
}  // namespace kelvane::script

namespace kelvane::script {
namespace {

TEST(ScriptText, AmpersandJoinsTextAndHexLiteralsStillRead) {
    Outcome r = RunText("print \"a\" & 1 & \"-\" & &H10 & \"\"\nprint &HFF&\n");
    ASSERT_TRUE(r.completed) << r.err;
    EXPECT_EQ(r.out, "a1-16\n255\n");
}

TEST(ScriptText, AChainOfThirtyThousandTermsRunsWithoutNesting) {
    std::string line = "print 7";
    for (int i = 0; i < 30000; ++i) line += " & -1";
    Outcome r = RunText(line + "\n");
    ASSERT_TRUE(r.completed) << r.err;
    std::string expected = "7";
    for (int i = 0; i < 30000; ++i) expected += "-1";
    EXPECT_EQ(r.out, expected + "\n");
}

TEST(ScriptText, SavedTextIsWrittenAsItsBytes) {
    const fs::path dir = fs::temp_directory_path() / ("kelvane-text-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    Outcome r = RunText("save \"<p>\" & \"é\", \"page.html\"\n", dir);
    ASSERT_TRUE(r.completed) << r.err;
    std::ifstream in(dir / "page.html");
    std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(text, "<p>é");
    fs::remove_all(dir);
}

}  // namespace
}  // namespace kelvane::script
